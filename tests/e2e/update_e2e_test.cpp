// End-to-end online update: the real Marvolt.exe and Update.exe of the tests'
// flavour (built with the build's own test key) update from the tests' web
// server (MARVOLT_HTTP, serving build/) to the same sources built as 1.02.
#include <windows.h>
#include <tlhelp32.h>

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

void EndByName(const wchar_t* exe) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (lstrcmpiW(entry.szExeFile, exe) != 0) continue;
        if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID)) {
            TerminateProcess(process, 99);
            WaitForSingleObject(process, 5000);
            CloseHandle(process);
        }
    }
    CloseHandle(snapshot);
}

// The texts of a dialog's static controls, joined.
std::wstring DialogText(HWND box) {
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
        EndByName(L"Marvolt.exe");
        RegDeleteTree(kSettingsKey);
        wchar_t self[MAX_PATH];
        std::wstring exe(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
        std::wstring flavourDir = exe.substr(0, exe.rfind(L'\\'));
        tests_ = flavourDir + L"\\update-test\\";
        web_ = EnvVar(L"MARVOLT_HTTP") + L"/" + flavourDir.substr(flavourDir.rfind(L'\\') + 1) + L"/update-test/";
        ASSERT_FALSE(EnvVar(L"MARVOLT_HTTP").empty()) << "no test web server";
        wchar_t temp[MAX_PATH];
        folder_ = std::wstring(temp, GetTempPathW(MAX_PATH, temp)) + L"marvolt update e2e\\";
        CreateDirectoryW(folder_.c_str(), nullptr);
        program_ = folder_ + L"Marvolt.exe";
        ASSERT_TRUE(CopyFileW((tests_ + L"app\\Marvolt.exe").c_str(), program_.c_str(), FALSE));
        DeleteFileW((folder_ + L"Update.exe").c_str());
        SetEnvironmentVariableW(L"MARVOLT_EXE", program_.c_str());
        old_ = Bytes(program_);
        next_ = Bytes(tests_ + L"www\\Downloads\\Tools\\Marvolt\\eng\\Marvolt.exe");
    }
    void TearDown() override {
        marvolt_.Kill();
        EndByName(L"Update.exe");
        EndByName(L"Marvolt.exe");
        for (const wchar_t* name : {L"Marvolt.exe", L"Marvolt.exe.old", L"Marvolt.exe.new", L"Update.exe"})
            DeleteFileW((folder_ + name).c_str());
        RemoveDirectoryW(folder_.c_str());
    }

    // Starts the copy, opens the settings window from the tray and clicks
    // "Update", answering the question with Yes.
    void ClickUpdateAndSayYes(const std::wstring& server) {
        RegSetString(kSettingsKey + std::wstring(L"\\Settings"), L"UpdateServer", server);
        ASSERT_TRUE(marvolt_.Start());
        ASSERT_TRUE(WaitUntil([&] { return marvolt_.MainWindow() != nullptr && TrayIconShown(); }));
        SendMessageW(marvolt_.MainWindow(), WM_SYSCOMMAND, SC_RESTORE, 0);
        ShowWindow(marvolt_.MainWindow(), SW_SHOWNORMAL);
        SetForegroundWindow(marvolt_.MainWindow());
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(marvolt_.MainWindow()) != FALSE; }));
        Pause(300);
        Click(GetDlgItem(marvolt_.MainWindow(), marvolt::kIdLabel1));
        HWND box = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (box = FindMessageBox(marvolt_.ProcessId())) != nullptr; }));
        EXPECT_EQ(WindowText(box), L"Online Update");
        EXPECT_EQ(DialogText(box), L"Check for a new Version?");
        SetForegroundWindow(box);
        Pause(200);
        PressKey('Y');
    }

    std::wstring tests_, web_, folder_, program_;
    std::string old_, next_;
    Program marvolt_;
};

TEST_F(OnlineUpdate, YesFetchesTheUpdaterWhichPutsTheNewVersionInPlaceAndStartsIt) {
    ClickUpdateAndSayYes(web_ + L"www");
    EXPECT_NE(marvolt_.WaitForExit(30000), static_cast<DWORD>(STILL_ACTIVE)) << "the old program did not end";
    HWND next = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (next = FindWindowW(L"ThunderRT5Form", L"Marvolt Vers. 1.02")) != nullptr; },
                          60000))
        << "the new version did not start";
    EXPECT_TRUE(WaitUntil([] { return TrayIconShown(); }));
    EXPECT_TRUE(Bytes(program_) == next_) << "the file on disk is not the new version";
    EXPECT_TRUE(WaitUntil([&] {
        return GetFileAttributesW((folder_ + L"Marvolt.exe.old").c_str()) == INVALID_FILE_ATTRIBUTES;
    })) << "the backup stayed after the new version started";
    Screenshot(L"update-new-version");
}

TEST_F(OnlineUpdate, ATamperedDownloadChangesNothingAndSaysSo) {
    // The server holds the new version with one byte changed, and its signature.
    std::wstring tampered = tests_ + L"tampered\\Downloads\\Tools\\Marvolt\\eng\\";
    for (std::wstring dir : {tests_ + L"tampered", tests_ + L"tampered\\Downloads", tests_ + L"tampered\\Downloads\\Tools",
                             tests_ + L"tampered\\Downloads\\Tools\\Marvolt", tampered})
        CreateDirectoryW(dir.c_str(), nullptr);
    std::string bytes = next_;
    bytes[bytes.size() / 2] ^= 0x40;
    std::ofstream((tampered + L"Marvolt.exe").c_str(), std::ios::binary) << bytes;
    CopyFileW((tests_ + L"www\\Downloads\\Tools\\Marvolt\\eng\\Marvolt.exe.sig").c_str(),
              (tampered + L"Marvolt.exe.sig").c_str(), FALSE);
    ASSERT_TRUE(CopyFileW((tests_ + L"app\\Update.exe").c_str(), (folder_ + L"Update.exe").c_str(), FALSE));

    ClickUpdateAndSayYes(web_ + L"tampered");
    EXPECT_NE(marvolt_.WaitForExit(30000), static_cast<DWORD>(STILL_ACTIVE));
    HWND told = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (told = FindWindowW(L"#32770", L"Marvolt Update")) != nullptr; }, 60000))
        << "the user was not told";
    EXPECT_NE(DialogText(told).find(L"not the signed release"), std::wstring::npos) << DialogText(told).size();
    EXPECT_TRUE(WaitUntil([] { return FindWindowW(L"ThunderRT5Form", L"Marvolt Vers. 1.01") != nullptr; }))
        << "the old program is not running again";
    EXPECT_TRUE(Bytes(program_) == old_) << "the program on disk changed";
    Screenshot(L"update-tampered");
    PostMessageW(told, WM_COMMAND, IDOK, 0);
}

TEST_F(OnlineUpdate, NoUpdaterAndNoServerSaysDownloadFailedAndTheIconComesBack) {
    ClickUpdateAndSayYes(EnvVar(L"MARVOLT_HTTP_DOWN"));
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindMessageBox(marvolt_.ProcessId())) != nullptr; }, 30000));
    EXPECT_EQ(DialogText(box), L"Update.exe\r\rDownload Failed! ");
    EXPECT_EQ(GetFileAttributesW((folder_ + L"Update.exe").c_str()), INVALID_FILE_ATTRIBUTES);
    SetForegroundWindow(box);
    Pause(200);
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitUntil([] { return TrayIconShown(); })) << "the tray icon did not come back";
    EXPECT_TRUE(marvolt_.Running());
}

}  // namespace
}  // namespace e2e
