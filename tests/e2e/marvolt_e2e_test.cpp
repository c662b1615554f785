// End-to-end: the real Marvolt.exe on the Wine desktop with PulseAudio devices,
// driven through the mouse, the keyboard and the notification area.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "app/main_window_view.h"
#include "tests/e2e/desktop_driver.h"

namespace e2e {
namespace {

using namespace marvolt;  // the control ids

// The devices script/test starts as null sinks; Wine reports them after its own
// "PulseAudio" entry, in an order of its own, names cut at 31 characters.
const std::vector<std::wstring> kDevices = {L"PulseAudio", L"Speakers", L"Headset", L"Speakers 2",
                                            L"\u041d\u0430\u0443\u0448\u043d\u0438\u043a\u0438 Realtek High Definitio"};
const std::wstring kOnTop = kSettings + std::wstring(L"\\AlwaysOnTop");
const std::wstring kMenuHead =
    L"Homepage ...\n-\nSettings ...\n-\nWindows audio settings ...\nWindows audio mixer ...\n-\n"
    L"Reload list of Soundcards\n-\n";

// The device rows in the order the multimedia layer reports them (Wine fixes a
// process's list when it first asks).
const std::vector<std::wstring>& Rows() {
    static const std::vector<std::wstring> rows = WaveOutDeviceNames();
    return rows;
}

// The whole tray menu for these defaults.
std::wstring TrayMenu(const std::wstring& playback, const std::wstring& record) {
    std::wstring text = kMenuHead;
    for (size_t i = 0; i < Rows().size(); ++i) {
        const std::wstring& row = Rows()[i];
        text += L"Soundcard " + std::to_wstring(i + 1) + L": " + row +
                (row == playback && row == record ? L"  <default>   (Play + Rec)"
                 : row == playback                ? L"  <default>  (Playback)"
                 : row == record                  ? L"  <default>  (Record)"
                                                  : L"") +
                L"\n";
    }
    return text + L"-\nExit\n";
}

std::wstring Lines(const std::vector<std::wstring>& menu) {
    std::wstring text;
    for (const std::wstring& entry : menu) text += entry + L"\n";
    return text;
}

bool SoundMapperSays(const std::wstring& playback, const std::wstring& record) {
    return WaitUntil([&] {
        return RegString(kSoundMapper, L"Playback") == playback && RegString(kSoundMapper, L"Record") == record;
    });
}

bool HasLoaded(DWORD processId, const wchar_t* dll) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
    MODULEENTRY32W module{sizeof(module)};
    bool found = false;
    for (BOOL more = Module32FirstW(snapshot, &module); more && !found; more = Module32NextW(snapshot, &module))
        found = _wcsicmp(module.szModule, dll) == 0;
    CloseHandle(snapshot);
    return found;
}

using Marvolt = Desktop;

// The first start prepares the Sound Mapper and goes to the tray; its menu marks
// the defaults and switches ("Speakers 2" contains "Speakers": its own entry must
// set it). A device added while the program runs is listed, numbered in turn,
// from its next start on.
TEST_F(Marvolt, FirstStartTrayMenuReloadAndExit) {
    Start();
    EXPECT_FALSE(IsWindowVisible(MainWindow())) << "the program starts in the notification area";
    // Its settings window makes its controls when first shown: until then the
    // common controls are not even loaded.
    EXPECT_FALSE(Control(kIdDeviceList) || HasLoaded(program_.Id(), L"comctl32.dll"));
    EXPECT_EQ(WindowText(MainWindow()), L"Marvolt Vers. 1.01");
    std::vector<std::wstring> devices = Rows(), expected = kDevices;
    std::sort(devices.begin(), devices.end());
    std::sort(expected.begin(), expected.end());
    ASSERT_EQ(devices, expected) << "the sound server does not offer the devices the tests expect";
    EXPECT_EQ(RegDword(kSoundMapper, L"PreferredOnly", 77), 1u);
    EXPECT_EQ(RegDword(kSoundMapper, L"SetupPreferredAudioDevicesCount", 77), 3u);
    EXPECT_TRUE(SoundMapperSays(Rows()[0], Rows()[0]));
    EXPECT_EQ(RegString(kOnTop, L"OnTop"), L"True");

    std::vector<std::wstring> menu = OpenTrayMenu();
    EXPECT_EQ(Lines(menu), TrayMenu(Rows()[0], Rows()[0]));
    Choose(menu, L"Speakers 2");
    EXPECT_TRUE(SoundMapperSays(L"Speakers 2", L"Speakers 2"));
    ASSERT_TRUE(WaitUntil(TrayIconShown));
    EXPECT_EQ(HoverTip(), L"Speakers 2");

    const std::wstring sink = AddSink(L"Line Out");
    ChooseFromTray(L"Reload list of Soundcards");
    menu = OpenTrayMenu();
    PressKey(VK_ESCAPE);
    EXPECT_EQ(Lines(menu), TrayMenu(L"Speakers 2", L"Speakers 2"));
    ChooseFromTray(L"Exit");
    EXPECT_EQ(program_.WaitForExit(10000), 0u);
    EXPECT_TRUE(WaitUntil([] { return !TrayIconShown(); })) << "the icon goes with the program";
    Start();
    menu = OpenTrayMenu();
    PressKey(VK_ESCAPE);
    RemoveSink(sink);
    int number = 0;
    bool listed = false;
    for (const std::wstring& entry : menu) {
        if (entry.rfind(L"Soundcard ", 0) != 0) continue;
        const std::wstring numbered = L"Soundcard " + std::to_wstring(++number) + L": ";
        EXPECT_EQ(entry.rfind(numbered, 0), 0u) << number;
        listed = listed || entry == numbered + L"Line Out";
    }
    EXPECT_EQ(number, int(kDevices.size() + 1));
    EXPECT_TRUE(listed) << "Line Out not listed after the restart";
}

// Pinned on top at start; a row and "Set Soundcard" set the ticked roles, which
// the tray menu then marks; the pin records its state; "Hide >>" sends the window
// to the tray, from where a second start, which only hands over, or a double click
// on the icon (which takes the icon away) bring it back; closing asks, and No
// sends the window to the tray; an unticked box outlives a restart.
TEST_F(Marvolt, SettingsWindowSetsTheTickedRolesHidesAndComesBack) {
    Start();
    OpenSettings();
    HWND window = MainWindow();
    EXPECT_TRUE(IsTopmost(window));
    EXPECT_EQ(ListBoxItems(Control(kIdDeviceList)), Rows());
    ClickRow(L"Headset");
    Click(Control(kIdSetBtn));
    EXPECT_TRUE(SoundMapperSays(L"Headset", L"Headset"));
    EXPECT_TRUE(WaitUntil([&] { return WindowText(Control(kIdCurrentCardTxt)) == L"Default Soundcard: Headset"; }));
    Click(Control(kIdRecordCheck));
    EXPECT_TRUE(WaitUntil([&] {
        return !IsChecked(Control(kIdRecordCheck)) &&
               RegString(kSettings + std::wstring(L"\\Settings"), L"RecordCheck") == L"0";
    }));
    ClickRow(L"Speakers");
    Click(Control(kIdSetBtn));
    EXPECT_TRUE(SoundMapperSays(L"Speakers", L"Headset")) << "Record stays when its box is clear";
    Screenshot(L"settings-window");
    for (bool pinned : {false, true}) {
        Click(Control(kIdAlwaysOnTop1));
        EXPECT_TRUE(WaitUntil([&] {
            return IsTopmost(window) == pinned && RegString(kOnTop, L"OnTop") == (pinned ? L"True" : L"False");
        }));
    }

    auto hide = [&] {
        Click(Control(kIdCommand1));
        return WaitUntil([&] { return !IsWindowVisible(window) && TrayIconShown(); });
    };
    ASSERT_TRUE(hide());
    std::vector<std::wstring> menu = OpenTrayMenu();
    Screenshot(L"tray-menu");
    PressKey(VK_ESCAPE);
    EXPECT_EQ(Lines(menu), TrayMenu(L"Speakers", L"Headset"));
    Program second;
    ASSERT_TRUE(second.Start());
    bool showedWindow = false;
    WaitUntil([&] { return (showedWindow |= !!WindowOf(second.Id(), IsWindowVisible), !second.Running()); }, 3000);
    EXPECT_EQ(second.WaitForExit(0), 0u) << "the second start did not end at once";
    EXPECT_FALSE(showedWindow);
    EXPECT_TRUE(program_.Running() && TrayIconShown());
    EXPECT_TRUE(
        WaitUntil([&] { return GetForegroundWindow() == window && IsWindowVisible(window) && !IsIconic(window); }));
    ASSERT_TRUE(hide());
    // Where the desktop was too slow to see a double click, the first click's
    // menu opens instead: a person closes it and double-clicks again.
    EXPECT_TRUE(WaitUntil(
        [&] {
            if (IsWindowVisible(FindWindowW(L"#32768", nullptr))) PressKey(VK_ESCAPE);
            ClickAt(TrayIcon(), 2);
            return WaitUntil([&] { return IsWindowVisible(window) && !IsIconic(window); }, 3000);
        },
        20000));
    EXPECT_TRUE(WaitUntil([] { return !TrayIconShown(); }));
    ASSERT_TRUE(hide());
    EXPECT_EQ(HoverTip(), L"current: Speakers");
    OpenSettings();
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    AnswerMessageBox('N');
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(window) && TrayIconShown(); }));
    EXPECT_TRUE(program_.Running());

    ChooseFromTray(L"Exit");
    EXPECT_EQ(program_.WaitForExit(10000), 0u);
    Start();
    OpenSettings();
    EXPECT_FALSE(IsChecked(Control(kIdRecordCheck)));
    EXPECT_TRUE(IsChecked(Control(kIdPlayCheck)));
}

// Another program holds Ctrl+Alt+F12: the settings window says so beside the
// hotkey box, and nothing else changes. Typed into the box, Ctrl+Alt+F11 is
// stored and taken up at once; pressed anywhere, it makes the next ticked
// device the default (Speakers and Headset only: the others are out of the
// cycle), moves the menu's marker and names the device beside the icon.
TEST_F(Marvolt, HotkeyCyclesTheTickedDevicesAndTellsWhenItIsTaken) {
    struct Held {
        ~Held() { UnregisterHotKey(nullptr, 1); }
    } held;
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, VK_F12));
    for (const std::wstring& row : Rows())
        if (row != L"Speakers" && row != L"Headset") RegSetString(kSettings + std::wstring(L"\\CycleThrough"), row, L"0");
    RegSetString(kSoundMapper, L"Playback", L"Speakers");
    RegSetString(kSoundMapper, L"Record", L"Speakers");
    Start();
    OpenSettings();
    EXPECT_EQ(WindowText(Control(kIdHotkeyNoteTxt)), L"Taken by another program");
    UnregisterHotKey(nullptr, 1);
    // Typed once the box has the focus, as a person sees it: clicked again when a busy desktop lost the click.
    DWORD thread = GetWindowThreadProcessId(MainWindow(), nullptr);
    GUITHREADINFO input{sizeof input};
    bool focused = false;
    for (int click = 0; click < 3 && !focused; ++click) {
        Click(Control(kIdHotkeyBox));
        focused = WaitUntil(
            [&] { return GetGUIThreadInfo(thread, &input) && input.hwndFocus == Control(kIdHotkeyBox); }, 3000);
    }
    ASSERT_TRUE(focused);
    PressChord({VK_CONTROL, VK_MENU, VK_F11});
    EXPECT_TRUE(WaitUntil(
        [] { return RegString(kSettings + std::wstring(L"\\Settings"), L"CycleHotkey") == L"Ctrl+Alt+F11"; }));
    EXPECT_TRUE(WaitUntil([&] { return WindowText(Control(kIdHotkeyNoteTxt)).empty(); }));
    Screenshot(L"settings-window-hotkey");
    Click(Control(kIdCommand1));
    ASSERT_TRUE(WaitUntil(TrayIconShown));
    for (const wchar_t* next : {L"Headset", L"Speakers"}) {
        PressChord({VK_CONTROL, VK_MENU, VK_F11});
        EXPECT_TRUE(SoundMapperSays(next, next));
        EXPECT_TRUE(WaitUntil([&] { return BalloonText() == next; })) << "not told: " << (next[0] == L'H');
        if (next == std::wstring(L"Headset")) Screenshot(L"cycle-notification");
        EXPECT_EQ(Lines(OpenTrayMenu()), TrayMenu(next, next));
        PressKey(VK_ESCAPE);
        EXPECT_TRUE(WaitUntil([] { return !IsWindowVisible(FindWindowW(L"#32768", nullptr)); }));
    }
}

// Wine scales every program to its DPI: the manifest that asks Windows to do so
// must be in the program. A second start only hands over, so the libraries that
// only a first instance uses are loaded when first used, never imported: an
// imported DLL's name is in the file as plain text with its terminator, while
// the program names the ones it loads late in wide text.
TEST(ProgramFile, CarriesItsManifestAndImportsNoLibraryThatOnlyAFirstInstanceUses) {
    HMODULE exe = LoadLibraryExW(EnvVar(L"MARVOLT_EXE").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC manifest = FindResourceW(exe, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(manifest, nullptr);
    std::string text(static_cast<const char*>(LockResource(LoadResource(exe, manifest))),
                     SizeofResource(exe, manifest));
    FreeLibrary(exe);
    for (const char* part : {"PerMonitorV2, PerMonitor", "Microsoft.Windows.Common-Controls", "\"asInvoker\"",
                             "{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})
        EXPECT_NE(text.find(part), std::string::npos) << part;
    std::string bytes = ReadFileBytes(EnvVar(L"MARVOLT_EXE"));
    for (char& c : bytes) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    // user32 shows that the names are found at all.
    for (auto [dll, imported] :
         {std::pair{"user32.dll", true}, {"winmm.dll", false}, {"comctl32.dll", false}, {"shell32.dll", false}})
        EXPECT_EQ(bytes.find(std::string(dll) + '\0') != std::string::npos, imported) << dll;
}

}  // namespace
}  // namespace e2e
