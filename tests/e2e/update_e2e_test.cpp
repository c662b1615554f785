// End-to-end online update: the real Marvolt.exe and Update.exe of the tests'
// flavour (built with the build's own test key) update from the tests' web
// server (MARVOLT_HTTP, serving build/) to the same sources built as 1.02.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "app/main_window_view.h"
#include "tests/e2e/desktop_driver.h"

namespace e2e {
namespace {

std::string Bytes(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::wstring DialogText(HWND box) {  // its static controls' texts
    std::wstring text;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (ClassName(child) == L"Static") text += WindowText(child);
    return text;
}

class OnlineUpdate : public ::testing::Test {
protected:
    void SetUp() override {
        GetDesktopWindow();
        ASSERT_TRUE(WaitUntil([] { return FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr; }, 30000));
        RegDeleteTree(kSettingsKey);
        wchar_t path[MAX_PATH];
        std::wstring exe(path, GetModuleFileNameW(nullptr, path, MAX_PATH)), flavour = exe.substr(0, exe.rfind(L'\\'));
        tests_ = flavour + L"\\update-test\\";
        web_ = EnvVar(L"MARVOLT_HTTP") + L"/" + flavour.substr(flavour.rfind(L'\\') + 1) + L"/update-test/";
        folder_ = std::wstring(path, GetTempPathW(MAX_PATH, path)) + L"marvolt update e2e\\";
        CreateDirectoryW(folder_.c_str(), nullptr);
        ASSERT_TRUE(CopyFileW((tests_ + L"app\\Marvolt.exe").c_str(), (folder_ + L"Marvolt.exe").c_str(), FALSE));
        program_ = EnvVar(L"MARVOLT_EXE");  // the other tests' program, given back in TearDown
        SetEnvironmentVariableW(L"MARVOLT_EXE", (folder_ + L"Marvolt.exe").c_str());
    }
    void TearDown() override {
        for (const wchar_t* title : {L"Marvolt Vers. 1.01", L"Marvolt Vers. 1.02", L"Marvolt Update"}) {
            DWORD id = 0;  // the processes the updater started, by their windows
            if (HWND window = FindWindowW(nullptr, title)) GetWindowThreadProcessId(window, &id);
            if (HANDLE process = id ? OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id) : nullptr)
                TerminateProcess(process, 99), WaitForSingleObject(process, 5000), CloseHandle(process);
        }
        marvolt_.Kill();
        SetEnvironmentVariableW(L"MARVOLT_EXE", program_.c_str());
        for (const wchar_t* name : {L"Marvolt.exe", L"Marvolt.exe.old", L"Update.exe"}) DeleteFileW((folder_ + name).c_str());
        RemoveDirectoryW(folder_.c_str());
    }

    // Opens the settings window, clicks "Update" and answers Yes.
    void ClickUpdateAndSayYes(const std::wstring& server) {
        RegSetString(kSettingsKey + std::wstring(L"\\Settings"), L"UpdateServer", server);
        ASSERT_TRUE(marvolt_.Start());
        ASSERT_TRUE(WaitUntil([&] { return marvolt_.MainWindow() != nullptr && TrayIconShown(); }, 30000));
        ShowWindow(marvolt_.MainWindow(), SW_SHOWNORMAL);
        SetForegroundWindow(marvolt_.MainWindow());
        HWND box = nullptr;  // clicked again while a first start is still too slow to take the click
        ASSERT_TRUE(WaitUntil([&] {
            Click(GetDlgItem(marvolt_.MainWindow(), marvolt::kIdLabel1));
            return WaitUntil([&] { return (box = FindMessageBox(marvolt_.ProcessId())) != nullptr; }, 3000);
        }, 30000));
        EXPECT_EQ(WindowText(box) + L"|" + DialogText(box), L"Online Update|Check for a new Version?");
        SetForegroundWindow(box);
        Pause(200);
        PressKey('Y');
    }
    HWND Shown(const wchar_t* windowClass, const wchar_t* title) {
        HWND found = nullptr;
        WaitUntil([&] { return (found = FindWindowW(windowClass, title)) != nullptr; }, 60000);
        return found;
    }

    std::wstring tests_, web_, folder_, program_;
    Program marvolt_;
};

TEST_F(OnlineUpdate, YesFetchesTheUpdaterWhichPutsTheNewVersionInPlaceAndStartsIt) {
    ClickUpdateAndSayYes(web_ + L"www");
    EXPECT_NE(marvolt_.WaitForExit(30000), static_cast<DWORD>(STILL_ACTIVE)) << "the old program did not end";
    EXPECT_TRUE(Shown(L"ThunderRT5Form", L"Marvolt Vers. 1.02") && WaitUntil(TrayIconShown)) << "no new version";
    EXPECT_TRUE(Bytes(folder_ + L"Marvolt.exe") == Bytes(tests_ + L"www\\Downloads\\Tools\\Marvolt\\eng\\Marvolt.exe"));
    EXPECT_TRUE(WaitUntil([&] { return GetFileAttributesW((folder_ + L"Marvolt.exe.old").c_str()) == INVALID_FILE_ATTRIBUTES; }));
}

TEST_F(OnlineUpdate, ATamperedDownloadChangesNothingAndSaysSo) {
    std::wstring served = tests_ + L"www\\Downloads\\Tools\\Marvolt\\eng\\", tampered = tests_ + L"tampered\\Downloads\\Tools\\Marvolt\\eng\\";
    SHCreateDirectoryExW(nullptr, tampered.c_str(), nullptr);
    std::string bytes = Bytes(served + L"Marvolt.exe"), old = Bytes(folder_ + L"Marvolt.exe");
    bytes[bytes.size() / 2] ^= 0x40;
    std::ofstream((tampered + L"Marvolt.exe").c_str(), std::ios::binary) << bytes;
    CopyFileW((served + L"Marvolt.exe.sig").c_str(), (tampered + L"Marvolt.exe.sig").c_str(), FALSE);
    ASSERT_TRUE(CopyFileW((tests_ + L"app\\Update.exe").c_str(), (folder_ + L"Update.exe").c_str(), FALSE));
    ClickUpdateAndSayYes(web_ + L"tampered");
    EXPECT_NE(marvolt_.WaitForExit(30000), static_cast<DWORD>(STILL_ACTIVE));
    HWND told = Shown(L"#32770", L"Marvolt Update");
    EXPECT_NE(DialogText(told).find(L"not the signed release"), std::wstring::npos) << "the user was not told";
    EXPECT_TRUE(Shown(L"ThunderRT5Form", L"Marvolt Vers. 1.01")) << "the old program is not running again";
    EXPECT_TRUE(Bytes(folder_ + L"Marvolt.exe") == old) << "the program on disk changed";
}

TEST_F(OnlineUpdate, NoUpdaterAndNoServerSaysDownloadFailedAndTheIconComesBack) {
    ClickUpdateAndSayYes(EnvVar(L"MARVOLT_HTTP_DOWN"));
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindMessageBox(marvolt_.ProcessId())) != nullptr; }, 30000));
    EXPECT_EQ(DialogText(box), L"Update.exe\r\rDownload Failed! ");
    EXPECT_EQ(GetFileAttributesW((folder_ + L"Update.exe").c_str()), INVALID_FILE_ATTRIBUTES);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil(TrayIconShown) && marvolt_.Running()) << "the tray icon did not come back";
}

}  // namespace
}  // namespace e2e
