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
    // With the updater beside the program: the update from `server` is refused,
    // the updater's message holds `told`, and the old program, unchanged on
    // disk, runs again.
    void Refused(const std::wstring& server, const std::wstring& told) {
        SCOPED_TRACE(server);
        const std::string old = ReadFileBytes(folder_ + L"Marvolt.exe");
        EndStrayPrograms();
        Start();
        UpdateFrom(server);
        EXPECT_NE(program_.WaitForExit(30000), static_cast<DWORD>(STILL_ACTIVE));
        std::wstring text = StaticTexts(Shown(L"#32770", L"Marvolt Update"));
        EXPECT_NE(text.find(told), std::wstring::npos) << "the user was told: " << text;
        EXPECT_TRUE(Shown(L"ThunderRT5Form", L"Marvolt Vers. 1.01"))
            << "the old program is not running again";
        EXPECT_TRUE(ReadFileBytes(folder_ + L"Marvolt.exe") == old)
            << "the program on disk changed";
        EXPECT_EQ(GetFileAttributesW((folder_ + L"Marvolt.exe.old").c_str()),
                  INVALID_FILE_ATTRIBUTES);
    }

    std::wstring tests_, web_, folder_ = TempFile(L"marvolt update e2e\\"),
                               otherTestsExe_ = EnvVar(L"MARVOLT_EXE");
};

// Without a server no updater comes and the icon comes back. With the updater
// beside the program, each of these is refused and the old program runs again:
// a tampered download, an older version, and a plain-http server elsewhere,
// which is not followed (the built-in https address is tried instead); the
// native tests refuse the updater served as the program and the same version.
// Then the signed release is put in place by the updater fetched from the
// server, and started.
TEST_F(OnlineUpdate, FailsSafelyAndThenPutsTheSignedNewVersionInPlace) {
    const std::wstring served = tests_ + L"www\\Downloads\\",
                       program = L"\\Downloads\\Tools\\Marvolt\\eng\\Marvolt.exe";
    Start();
    UpdateFrom(EnvVar(L"MARVOLT_HTTP_DOWN"));
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = MessageBoxOf(program_.Id())) != nullptr; }, 30000));
    EXPECT_EQ(StaticTexts(box), L"Update.exe\r\rDownload Failed! ");
    EXPECT_EQ(GetFileAttributesW((folder_ + L"Update.exe").c_str()), INVALID_FILE_ATTRIBUTES);
    AnswerMessageBox(VK_RETURN);
    EXPECT_TRUE(WaitUntil(TrayIconShown) && program_.Running())
        << "the tray icon did not come back";

    std::string bytes = ReadFileBytes(served + L"Tools\\Marvolt\\eng\\Marvolt.exe");
    bytes[bytes.size() / 2] ^= 0x40;
    SHCreateDirectoryExW(nullptr, (tests_ + L"tampered\\Downloads\\Tools\\Marvolt\\eng").c_str(),
                         nullptr);
    CopyFileW((served + L"Tools\\Marvolt\\eng\\Marvolt.exe.sig").c_str(),
              (tests_ + L"tampered" + program + L".sig").c_str(), FALSE);
    std::ofstream((tests_ + L"tampered" + program).c_str(), std::ios::binary) << bytes;
    ASSERT_TRUE(
        CopyFileW((tests_ + L"app\\Update.exe").c_str(), (folder_ + L"Update.exe").c_str(), FALSE));
    Refused(web_ + L"tampered", L"not the signed release");
    Refused(web_ + L"older", L"Marvolt 1.00, older than Marvolt 1.01");
    Refused(L"http://updates.example.org", L"Download Failed! https://");

    EndStrayPrograms();
    DeleteFileW((folder_ + L"Update.exe").c_str());
    Start();
    UpdateFrom(web_ + L"www");
    EXPECT_NE(program_.WaitForExit(30000), static_cast<DWORD>(STILL_ACTIVE))
        << "the old program did not end";
    EXPECT_TRUE(Shown(L"ThunderRT5Form", L"Marvolt Vers. 1.02") && WaitUntil(TrayIconShown))
        << "no new version";
    EXPECT_TRUE(ReadFileBytes(folder_ + L"Marvolt.exe") ==
                ReadFileBytes(served + L"Tools\\Marvolt\\eng\\Marvolt.exe"));
    EXPECT_TRUE(WaitUntil([&] {
        return GetFileAttributesW((folder_ + L"Marvolt.exe.old").c_str()) ==
               INVALID_FILE_ATTRIBUTES;
    }));
}

}  // namespace
}  // namespace e2e
