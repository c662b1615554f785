// End-to-end: the real program switches the default endpoint through a stand-in
// for the system's audio policy class (Wine has none of its own), and lays out
// its window for the system's DPI.
#include <windows.h>
#include <mmsystem.h>
#include <mmddk.h>

#include <gtest/gtest.h>

#include <string>

#include "app/main_window_view.h"
#include "tests/e2e/desktop_driver.h"

namespace e2e {
namespace {

const wchar_t kClassKey[] = L"CLSID\\{870AF99C-171D-4F9E-AF0D-E63DF40C2BC9}";
// Wine reads the system DPI here, and keeps a copy in its font settings that
// the next program brings up to date.
const wchar_t kFonts[] = L"Software\\Fonts";
const wchar_t kWineFonts[] = L"Software\\Wine\\Fonts";
const wchar_t kCyrillic[] = L"\u041d\u0430\u0443\u0448\u043d\u0438\u043a\u0438 Realtek High Definitio";

std::wstring Temp(const wchar_t* name) {
    wchar_t folder[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, folder);
    return folder + std::wstring(name);
}

// The endpoint id that winmm gives the named device of this process's list.
std::string EndpointOf(bool output, const std::wstring& name) {
    for (UINT id = 0, count = output ? waveOutGetNumDevs() : waveInGetNumDevs(); id < count; ++id) {
        WAVEINCAPSW in = {};
        WAVEOUTCAPSW out = {};
        if (output ? waveOutGetDevCapsW(id, &out, sizeof out) : waveInGetDevCapsW(id, &in, sizeof in)) continue;
        if (name != (output ? out.szPname : in.szPname)) continue;
        wchar_t text[512] = L"";
        char utf8[1024] = "";
        auto device = static_cast<UINT_PTR>(id);
        output ? waveOutMessage(reinterpret_cast<HWAVEOUT>(device), DRV_QUERYFUNCTIONINSTANCEID, (DWORD_PTR)text, sizeof text)
               : waveInMessage(reinterpret_cast<HWAVEIN>(device), DRV_QUERYFUNCTIONINSTANCEID, (DWORD_PTR)text, sizeof text);
        WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
        return utf8;
    }
    return "";
}

class DefaultEndpoint : public ::testing::Test {
protected:
    void SetUp() override {
        GetDesktopWindow();
        ASSERT_TRUE(WaitUntil([] { return FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr; }, 30000));
        RegDeleteTree(kSoundMapper);
        RegDeleteTree(kSettingsKey);
        DeleteFileW(Temp(L"marvolt_e2e_policy.txt").c_str());
        for (int i = 0; i < 2; ++i) {
            DWORD size = sizeof dpi_[i];
            dpiSaved_[i] = !RegGetValueW(kDpiRoot[i], kDpiKey[i], L"LogPixels", RRF_RT_REG_DWORD, nullptr, &dpi_[i], &size);
        }
        std::wstring hook = EnvVar(L"MARVOLT_E2E_HOOK");
        std::wstring server = hook.substr(0, hook.find_last_of(L'\\') + 1) + L"marvolt_e2e_policy.dll";
        RegSetValueW(HKEY_CLASSES_ROOT, (kClassKey + std::wstring(L"\\InprocServer32")).c_str(), REG_SZ,
                     server.c_str(), 0);
    }
    void TearDown() override {
        program_.Kill();
        RegDeleteTreeW(HKEY_CLASSES_ROOT, kClassKey);
        RegDeleteKeyW(HKEY_CLASSES_ROOT, kClassKey);
        DeleteFileW(Temp(L"marvolt_e2e_policy.fail").c_str());
        DeleteFileW(Temp(L"marvolt_e2e_policy.txt").c_str());
        // Wine keeps a copy of the system DPI in the user's font settings: both go back.
        for (int i = 0; i < 2; ++i)
            dpiSaved_[i] ? RegSetKeyValueW(kDpiRoot[i], kDpiKey[i], L"LogPixels", REG_DWORD, &dpi_[i], sizeof dpi_[i])
                         : RegDeleteKeyValueW(kDpiRoot[i], kDpiKey[i], L"LogPixels");
    }

    void ChooseFromTray(const std::wstring& text) {
        ASSERT_TRUE(WaitUntil([&] { return program_.MainWindow() != nullptr && TrayIconShown(); }));
        ASSERT_TRUE(hooks_.Attach(program_.UiThread()));
        ForgetRecordedMenu();
        POINT icon = TrayIconCentre();
        ClickAt(icon.x, icon.y);
        std::vector<MenuEntry> menu;
        ASSERT_TRUE(WaitUntil([&] { return !(menu = RecordedMenu()).empty() && FindWindowW(L"#32768", nullptr); }));
        Pause(300);
        int steps = 0;
        // A device entry is chosen by its name, without number and mark.
        for (const MenuEntry& entry : menu) {
            size_t colon = entry.text.find(L": ");
            std::wstring shown = entry.text.substr(colon == std::wstring::npos ? 0 : colon + 2);
            if (!entry.separator && ++steps && shown.substr(0, shown.find(L"  <")) == text) break;
        }
        for (int i = 0; i < steps; ++i) PressKey(VK_DOWN);
        PressKey(VK_RETURN);
    }

    std::string Recorded() {
        std::string text(4096, '\0');
        DWORD read = 0;
        HANDLE file = CreateFileW(Temp(L"marvolt_e2e_policy.txt").c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) ReadFile(file, text.data(), 4096, &read, nullptr), CloseHandle(file);
        text.resize(read);
        return text;
    }

    Program program_;
    Hooks hooks_;
    const HKEY kDpiRoot[2] = {HKEY_CURRENT_CONFIG, HKEY_CURRENT_USER};
    const wchar_t* kDpiKey[2] = {kFonts, kWineFonts};
    DWORD dpi_[2] = {};
    bool dpiSaved_[2] = {};
};

TEST_F(DefaultEndpoint, ChoosingADeviceMakesItsEndpointsTheDefaultForTheTickedRoles) {
    struct Case {
        std::wstring name;
        bool record;
    };
    for (const Case& c : {Case{L"Headset", true}, Case{kCyrillic, true}, Case{L"Headset", false}}) {
        DeleteFileW(Temp(L"marvolt_e2e_policy.txt").c_str());
        RegSetString(kSettingsKey + std::wstring(L"\\Settings"), L"RecordCheck", c.record ? L"1" : L"0");
        ASSERT_TRUE(program_.Start());
        ChooseFromTray(c.name);
        std::string expected;
        for (bool output : {true, false})
            for (int role = 0; role < 3 && (output || c.record); ++role)
                expected += EndpointOf(output, c.name) + " " + std::to_string(role) + "\n";
        EXPECT_TRUE(WaitUntil([&] { return Recorded() == expected; })) << Recorded() << "\nwanted\n" << expected;
        EXPECT_TRUE(WaitUntil([&] { return RegString(kSoundMapper, L"Playback") == c.name; }));
        program_.Kill();
    }
}

TEST_F(DefaultEndpoint, ARefusalIsShownWithTheDeviceName) {
    CloseHandle(CreateFileW(Temp(L"marvolt_e2e_policy.fail").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                            nullptr));
    ASSERT_TRUE(program_.Start());
    ChooseFromTray(L"Speakers 2");
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindMessageBox(program_.ProcessId())) != nullptr; }));
    std::wstring text = WindowText(GetDlgItem(box, 0xFFFF));
    Screenshot(L"switch-refused");
    EXPECT_NE(text.find(L"\"Speakers 2\""), std::wstring::npos);
    EXPECT_NE(text.find(L"0x80070005"), std::wstring::npos);
    EXPECT_EQ(RegString(kSoundMapper, L"Playback"), L"Speakers 2") << "the Sound Mapper values stay written";
}

TEST_F(DefaultEndpoint, TheWindowIsLaidOutForTheSystemsDpi) {
    // Wine scales every program to its DPI: the manifest that asks Windows to do
    // so must be in the program.
    HMODULE exe = LoadLibraryExW(EnvVar(L"MARVOLT_EXE").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC manifest = FindResourceW(exe, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(manifest, nullptr);
    std::string text(static_cast<const char*>(LockResource(LoadResource(exe, manifest))), SizeofResource(exe, manifest));
    FreeLibrary(exe);
    for (const char* part : {"PerMonitorV2, PerMonitor", "Microsoft.Windows.Common-Controls", "\"asInvoker\"",
                             "{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})
        EXPECT_NE(text.find(part), std::string::npos) << part;
    for (DWORD dpi : {96u, 192u}) {
        RegSetKeyValueW(HKEY_CURRENT_CONFIG, kFonts, L"LogPixels", REG_DWORD, &dpi, sizeof dpi);
        ASSERT_TRUE(program_.Start());
        ChooseFromTray(L"Settings ...");
        HWND window = program_.MainWindow();
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(window) != FALSE; }));
        Pause(500);
        Screenshot(L"settings-window-" + std::to_wstring(dpi) + L"dpi");
        RECT client = {};
        GetClientRect(window, &client);
        EXPECT_EQ(client.right, MulDiv(278, dpi, 96)) << dpi;
        program_.Kill();
    }
}

}  // namespace
}  // namespace e2e
