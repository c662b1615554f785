// End-to-end online update: the real Marvolt.exe and Update.exe of the tests'
// flavour (built with the build's own test key) update from the tests' web
// server (MARVOLT_HTTP, serving build/) to the same sources built as 1.02.
// <windows.h> before the headers that build on it: the order is kept by hand.
// clang-format off
#include "tests/e2e/desktop_driver.h"

#include <shlobj.h>
// clang-format on

namespace e2e {
namespace {

class OnlineUpdate : public Desktop {
  protected:
    void SetUp() override {
        Desktop::SetUp();
        wchar_t path[MAX_PATH];
        std::wstring exe(path, GetModuleFileNameW(nullptr, path, MAX_PATH)),
            flavour = exe.substr(0, exe.rfind(L'\\'));
        tests_ = flavour + L"\\update-test\\";
        web_ = EnvVar(L"MARVOLT_HTTP") + L"/" + flavour.substr(flavour.rfind(L'\\') + 1) +
               L"/update-test/";
        CreateDirectoryW(folder_.c_str(), nullptr);
        ASSERT_TRUE(CopyFileW((tests_ + L"app\\Marvolt.exe").c_str(),
                              (folder_ + L"Marvolt.exe").c_str(), FALSE));
        SetEnvironmentVariableW(L"MARVOLT_EXE", (folder_ + L"Marvolt.exe").c_str());
    }
    void TearDown() override {
        Desktop::TearDown();
        SetEnvironmentVariableW(L"MARVOLT_EXE", otherTestsExe_.c_str());
        for (const wchar_t* name : {L"Marvolt.exe", L"Marvolt.exe.old", L"Update.exe"})
            DeleteFileW((folder_ + name).c_str());
        RemoveDirectoryW(folder_.c_str());
    }

    // Opens the settings window, clicks "Update" and answers Yes.
    void UpdateFrom(const std::wstring& server) {
        RegSetString(kSettings + L"\\Settings", L"UpdateServer", server);
        OpenSettings();
        HWND box =
            nullptr;  // clicked again while a first start is still too slow to take the click
        ASSERT_TRUE(WaitUntil(
            [&] {
                Click(Control(marvolt::kIdLabel1));
                return WaitUntil([&] { return (box = MessageBoxOf(program_.Id())) != nullptr; },
                                 3000);
            },
            30000));
        AnswerMessageBox('Y');
    }
    static HWND Shown(const wchar_t* windowClass, const wchar_t* title) {
        HWND found = nullptr;
        WaitUntil([&] { return (found = FindWindowW(windowClass, title)) != nullptr; }, 60000);
        return found;
    }

    std::wstring tests_, web_, folder_ = TempFile(L"marvolt update e2e\\"),
                               otherTestsExe_ = EnvVar(L"MARVOLT_EXE");
};

// Without a server no updater comes and the icon comes back; a tampered download
// changes nothing on disk, the user is told and the old program runs again; the
// signed release is put in place by the updater fetched from the server, and started.
TEST_F(OnlineUpdate, FailsSafelyAndThenPutsTheSignedNewVersionInPlace) {
    const std::wstring served = tests_ + L"www\\Downloads\\Tools\\Marvolt\\eng\\",
                       tampered = tests_ + L"tampered\\Downloads\\Tools\\Marvolt\\eng\\";
    const std::string old = ReadFileBytes(folder_ + L"Marvolt.exe");
    Start();
    UpdateFrom(EnvVar(L"MARVOLT_HTTP_DOWN"));
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = MessageBoxOf(program_.Id())) != nullptr; }, 30000));
    EXPECT_EQ(StaticTexts(box), L"Update.exe\r\rDownload Failed! ");
    EXPECT_EQ(GetFileAttributesW((folder_ + L"Update.exe").c_str()), INVALID_FILE_ATTRIBUTES);
    AnswerMessageBox(VK_RETURN);
    EXPECT_TRUE(WaitUntil(TrayIconShown) && program_.Running())
        << "the tray icon did not come back";

    std::string bytes = ReadFileBytes(served + L"Marvolt.exe");
    bytes[bytes.size() / 2] ^= 0x40;
    SHCreateDirectoryExW(nullptr, tampered.c_str(), nullptr);
    std::ofstream((tampered + L"Marvolt.exe").c_str(), std::ios::binary) << bytes;
    CopyFileW((served + L"Marvolt.exe.sig").c_str(), (tampered + L"Marvolt.exe.sig").c_str(),
              FALSE);
    ASSERT_TRUE(
        CopyFileW((tests_ + L"app\\Update.exe").c_str(), (folder_ + L"Update.exe").c_str(), FALSE));
    UpdateFrom(web_ + L"tampered");
    EXPECT_NE(program_.WaitForExit(30000), static_cast<DWORD>(STILL_ACTIVE));
    EXPECT_NE(StaticTexts(Shown(L"#32770", L"Marvolt Update")).find(L"not the signed release"),
              std::wstring::npos)
        << "the user was not told";
    EXPECT_TRUE(Shown(L"ThunderRT5Form", L"Marvolt Vers. 1.01"))
        << "the old program is not running again";
    EXPECT_TRUE(ReadFileBytes(folder_ + L"Marvolt.exe") == old) << "the program on disk changed";

    EndStrayPrograms();
    DeleteFileW((folder_ + L"Update.exe").c_str());
    Start();
    UpdateFrom(web_ + L"www");
    EXPECT_NE(program_.WaitForExit(30000), static_cast<DWORD>(STILL_ACTIVE))
        << "the old program did not end";
    EXPECT_TRUE(Shown(L"ThunderRT5Form", L"Marvolt Vers. 1.02") && WaitUntil(TrayIconShown))
        << "no new version";
    EXPECT_TRUE(ReadFileBytes(folder_ + L"Marvolt.exe") == ReadFileBytes(served + L"Marvolt.exe"));
    EXPECT_TRUE(WaitUntil([&] {
        return GetFileAttributesW((folder_ + L"Marvolt.exe.old").c_str()) ==
               INVALID_FILE_ATTRIBUTES;
    }));
}

}  // namespace
}  // namespace e2e
