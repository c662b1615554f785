// End-to-end: the real Marvolt.exe on the Wine desktop with PulseAudio devices,
// driven through the mouse, the keyboard and the notification area.
#include "tests/e2e/desktop_driver.h"

namespace e2e {
namespace {

using namespace marvolt;  // the control ids

const std::wstring kOnTop = kSettings + L"\\AlwaysOnTop", kOptions = kSettings + L"\\Settings",
                   kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// The device rows in the order the multimedia layer reports them (Wine fixes a
// process's list when it first asks), and where a name is among them.
const std::vector<std::wstring>& Rows() {
    static const std::vector<std::wstring> rows = WaveOutDeviceNames();
    return rows;
}
size_t RowOf(const std::wstring& name) {
    return std::find(Rows().begin(), Rows().end(), name) - Rows().begin();
}

// The tray menu's marked device entries, without their numbers, in name order.
std::wstring Marks(const std::vector<std::wstring>& menu) {
    std::vector<std::wstring> marked;
    for (const std::wstring& entry : menu)
        if (entry.find(L"  <default>  ") != std::wstring::npos)
            marked.push_back(entry.substr(entry.find(L": ") + 2));
    std::sort(marked.begin(), marked.end());
    std::wstring text;
    for (const std::wstring& entry : marked) text += entry + L"|";
    return text;
}

bool SoundMapperSays(const std::wstring& playback, const std::wstring& record) {
    return WaitUntil([&] {
        return RegString(kSoundMapper, L"Playback") == playback &&
               RegString(kSoundMapper, L"Record") == record;
    });
}

// Marvolt.exe started with `arguments` (its standard output into the file
// `output` where one is named); its exit code once it ended.
DWORD RunCommand(const std::wstring& arguments, const std::wstring& output = {}) {
    Program command;
    return command.Start({}, nullptr, arguments, output) ? command.WaitForExit(20000) : 99;
}

using Marvolt = Desktop;

// The first start prepares the Sound Mapper and goes to the tray; its menu marks
// the defaults and switches ("Speakers 2" contains "Speakers": its own entry must
// set it); "Exit" ends it and takes the icon away.
TEST_F(Marvolt, FirstStartTrayMenuAndExit) {
    // Started while a person types elsewhere (at log-on, say): the keyboard stays there.
    HWND editor = CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300,
                                  200, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(editor);
    Start();
    EXPECT_FALSE(WaitUntil([&] { return GetForegroundWindow() != editor; }, 1000))
        << "the hidden window took it";
    DestroyWindow(editor);
    EXPECT_FALSE(IsWindowVisible(MainWindow())) << "the program starts in the notification area";
    EXPECT_EQ(RegDword(kSoundMapper, L"PreferredOnly", 77), 1u);
    EXPECT_EQ(RegDword(kSoundMapper, L"SetupPreferredAudioDevicesCount", 77), 3u);
    EXPECT_TRUE(SoundMapperSays(Rows()[0], Rows()[0]));
    EXPECT_EQ(RegString(kOnTop, L"OnTop"), L"True");

    std::vector<std::wstring> menu = OpenTrayMenu();
    EXPECT_EQ(Marks(menu), Rows()[0] + L"  <default>   (Play + Rec)|");
    Choose(menu, L"Speakers 2");
    EXPECT_TRUE(SoundMapperSays(L"Speakers 2", L"Speakers 2"));
    ASSERT_TRUE(WaitUntil(TrayIconShown));
    EXPECT_EQ(HoverTip(), L"Speakers 2");

    ChooseFromTray(L"Exit");
    EXPECT_EQ(program_.WaitForExit(10000), 0u);
    EXPECT_TRUE(WaitUntil([] { return !TrayIconShown(); })) << "the icon goes with the program";
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
    ClickRow(L"Headset", 2);  // a double click sets the row
    EXPECT_TRUE(SoundMapperSays(L"Headset", L"Headset"));
    EXPECT_TRUE(WaitUntil(
        [&] { return WindowText(Control(kIdCurrentCardTxt)) == L"Default Soundcard: Headset"; }));
    Click(Control(kIdRecordCheck));
    EXPECT_TRUE(WaitUntil([&] {
        return !IsChecked(Control(kIdRecordCheck)) && RegString(kOptions, L"RecordCheck") == L"0";
    }));
    ClickRow(L"Speakers");
    Click(Control(kIdSetBtn));
    EXPECT_TRUE(SoundMapperSays(L"Speakers", L"Headset")) << "Record stays when its box is clear";
    Screenshot(L"settings-window");
    for (bool pinned : {false, true}) {
        Click(Control(kIdAlwaysOnTop1));
        EXPECT_TRUE(WaitUntil([&] {
            return IsTopmost(window) == pinned &&
                   RegString(kOnTop, L"OnTop") == (pinned ? L"True" : L"False");
        }));
    }

    // Ticked, the start-up box shows its combo; the device is kept once the combo loses the focus.
    Click(Control(kIdStartupCheck));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(Control(kIdStartupCombo)) != FALSE; }));
    Click(Control(kIdStartupCombo));
    PressKey(VK_DOWN);
    PressKey(VK_TAB);
    EXPECT_TRUE(WaitUntil([&] {
        const std::wstring chosen = WindowText(Control(kIdStartupCombo));
        return !chosen.empty() && RegString(kOptions, L"StartupDevice") == chosen;
    }));

    auto hide = [&](bool minimise = false) {
        if (minimise)
            PostMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        else
            Click(Control(kIdCommand1));
        return WaitUntil([&] { return !IsWindowVisible(window) && TrayIconShown(); });
    };
    ASSERT_TRUE(hide());
    std::vector<std::wstring> menu = OpenTrayMenu();
    Screenshot(L"tray-menu");
    PressKey(VK_ESCAPE);
    EXPECT_EQ(Marks(menu), L"Headset  <default>  (Record)|Speakers  <default>  (Playback)|");
    // Another program's window whose title starts with the caption is in front.
    HWND notes = CreateWindowExW(0, L"STATIC", L"Marvolt Vers. 1.01 notes.txt - Notepad",
                                 WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200, nullptr,
                                 nullptr, nullptr, nullptr);
    SetForegroundWindow(notes);
    Program second;
    ASSERT_TRUE(second.Start());
    bool showedWindow = false;
    WaitUntil(
        [&] {
            return (showedWindow |= !!WindowOf(second.Id(), IsWindowVisible), !second.Running());
        },
        3000);
    EXPECT_TRUE(second.WaitForExit(0) == 0 && !showedWindow)
        << "the second start did not end at once, unseen";
    EXPECT_TRUE(program_.Running() && TrayIconShown());
    EXPECT_TRUE(WaitUntil([&] {
        return GetForegroundWindow() == window && IsWindowVisible(window) && !IsIconic(window);
    }));
    Sleep(300);
    EXPECT_TRUE(IsTopmost(window)) << "the second start unpinned the window";
    Click(Control(kIdAutoRunCheck));  // and it takes the first click
    EXPECT_TRUE(WaitUntil([&] { return IsChecked(Control(kIdAutoRunCheck)); }));
    ASSERT_TRUE(hide(true));
    // Where the desktop was too slow to see a double click, the first click's
    // menu opens instead: a person closes it and double-clicks again.
    EXPECT_TRUE(WaitUntil(
        [&] {
            if (IsWindowVisible(FindWindowW(L"#32768", nullptr))) PressKey(VK_ESCAPE);
            ClickAt(TrayIcon(), 2);
            return WaitUntil(
                [&] {
                    return IsWindowVisible(window) && !IsIconic(window) &&
                           GetForegroundWindow() == window;
                },
                3000);
        },
        20000))
        << "not back in front of the look-alike";
    DestroyWindow(notes);
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

// Ten starts at once, from a folder with blanks and letters beyond the code page
// and in another current directory, leave one program with one icon; its
// autostart entry names that folder. A new taskbar gets the icon back, with its
// tip and its menu (Wine does not renew its own, so the test tells the program).
TEST_F(Marvolt, TenStartsLeaveOneIconThatANewTaskbarGetsBack) {
    wchar_t temp[MAX_PATH];
    const std::wstring folder = std::wstring(temp, GetTempPathW(MAX_PATH, temp)) +
                                L"Neuer Ordner \u00e4\u00df \u041f\u0430\u043f\u043a\u0430";
    const std::wstring exe = folder + L"\\Marvolt.exe";
    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(EnvVar(L"MARVOLT_EXE").c_str(), exe.c_str(), FALSE));
    Program starts[10];
    for (Program& start : starts) ASSERT_TRUE(start.Start(exe, L"C:\\windows"));
    auto running = [&] {
        return std::count_if(starts, starts + 10, [](const Program& p) { return p.Running(); });
    };
    ASSERT_TRUE(WaitUntil([&] { return running() == 1; }, 30000)) << running() << " running";
    for (Program& start : starts) {
        if (start.Running())
            program_.Swap(start);
        else
            EXPECT_EQ(start.WaitForExit(0), 0u);  // the others ended, and well
    }
    Attach();
    EXPECT_FALSE(IconInSlot(1));
    // The starts that ended may have brought the window forward already.
    if (!IsWindowVisible(MainWindow())) OpenSettings();
    SetForegroundWindow(MainWindow());
    Sleep(300);
    Click(Control(kIdAutoRunCheck));
    EXPECT_TRUE(WaitUntil([&] { return RegString(kRunKey, L"Marvolt") == L"\"" + exe + L"\""; }));
    Click(Control(kIdCommand1));
    ASSERT_TRUE(WaitUntil(TrayIconShown));

    HWND tray =
        WindowOf(program_.Id(), [](HWND window) { return WindowText(window) == L"SystemTray"; });
    SendMessageW(tray, RegisterWindowMessageW(L"MarvoltE2E.ForgetIcon"), 0, 0);
    ASSERT_TRUE(WaitUntil([] { return !TrayIconShown(); }));
    PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitUntil(TrayIconShown));
    EXPECT_EQ(HoverTip(), L"current: ");
    std::vector<std::wstring> menu = OpenTrayMenu();
    PressKey(VK_ESCAPE);
    EXPECT_EQ(Marks(menu), Rows()[0] + L"  <default>   (Play + Rec)|");

    // A hung first instance does not hold a second start up.
    program_.Hang(true);
    Program second;
    ASSERT_TRUE(second.Start(exe, L"C:\\windows"));
    EXPECT_EQ(second.WaitForExit(10000), 0u) << "the second start waited for the hung one";
    program_.Hang(false);
    program_.Kill();
    DeleteFileW(exe.c_str());
    RemoveDirectoryW(folder.c_str());
}

// Every value the program reads, stored beforehand in one wrong or awkward form:
// the program starts, lists, switches and ends as ever, reads the options as
// their defaults and rewrites only what it writes anyway.
TEST_F(Marvolt, HostileStoredValuesHarmNothing) {
    struct Form {
        const char* what;
        DWORD type;
        std::wstring data;  // the bytes, two to a character
    };
    const Form forms[] = {
        {"a number", REG_DWORD, std::wstring(L"\x0007\0", 2)},
        {"empty", REG_SZ, L""},
        {"unterminated", REG_SZ, L"Headset"},
        {"1 MB", REG_SZ, std::wstring(512 * 1024 - 1, L'x') + L'\0'},
        {"awkward text", REG_SZ,
         std::wstring(L"%SystemRoot%\\&Head\tset \u041d\u0430 \u2603") + L'\0'},
    };
    std::vector<std::pair<std::wstring, const wchar_t*>> values;
    for (const wchar_t* name :
         {L"Playback", L"Record", L"PreferredOnly", L"SetupPreferredAudioDevicesCount"})
        values.push_back({kSoundMapper, name});
    for (const wchar_t* name : {L"PlaybackCheck", L"RecordCheck", L"StartupCheck", L"StartupDevice",
                                L"Homepage", L"UpdateServer"})
        values.push_back({kOptions, name});
    values.insert(values.end(), {{kOnTop, L"OnTop"}, {kRunKey, L"Marvolt"}});
    for (const Form& form : forms) {
        SCOPED_TRACE(form.what);
        // Followed by more than its size says: the system adds no NUL to text without one.
        const std::wstring buffer = form.data + L'!';
        for (const auto& [key, name] : values)
            RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name, form.type, buffer.data(),
                            static_cast<DWORD>(form.data.size() * 2));
        Start();
        std::vector<std::wstring> menu = OpenTrayMenu();
        Choose(menu, L"Speakers 2");
        EXPECT_TRUE(SoundMapperSays(L"Speakers 2", L"Speakers 2"));
        ChooseFromTray(L"Exit");
        EXPECT_EQ(program_.WaitForExit(5000), 0u);
        program_.Kill();
        EXPECT_TRUE(menu.size() == 11 + Rows().size() && menu.back() == L"Exit");
        // The option boxes read as ticked, the pin as pinned; an autostart entry
        // that reads as a text names the program again.
        EXPECT_EQ(RegString(kOptions, L"PlaybackCheck") + RegString(kOptions, L"RecordCheck"),
                  L"11");
        EXPECT_EQ(RegString(kOnTop, L"OnTop"), L"True");
        const bool text = form.type == REG_SZ && !form.data.empty() && form.data[0];
        const std::wstring written = L"|Playback|Record|PlaybackCheck|RecordCheck|OnTop|";
        for (const auto& [key, name] : values) {
            if (written.find(L"|" + std::wstring(name) + L"|") != written.npos ||
                (key == kRunKey && text))
                continue;
            DWORD type = REG_NONE, size = static_cast<DWORD>(form.data.size() * 2 + 8);
            std::wstring kept(form.data.size() + 4, L'\0');
            HKEY opened = nullptr;  // read raw: RegGetValue would add a missing NUL
            RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &opened);
            RegQueryValueExW(opened, name, nullptr, &type, reinterpret_cast<BYTE*>(kept.data()),
                             &size);
            RegCloseKey(opened);
            kept.resize(size / 2);
            EXPECT_TRUE(type == form.type && kept == form.data) << name;
        }
        EXPECT_EQ(RegString(kRunKey, L"Marvolt").find(L"Marvolt.exe") != std::wstring::npos, text);
    }
}

// Another program holds Ctrl+Alt+F12: the settings window says so beside the
// hotkey box, and nothing else changes. Backspace clears the box; F11 typed
// alone is stored as Ctrl+Alt+F11 and taken up at once; pressed anywhere, it
// makes the next ticked device the default (Speakers and Headset only: the
// others are unticked in the cycle list), moves the menu's marker and names the
// device beside the icon.
TEST_F(Marvolt, HotkeyCyclesTheTickedDevicesAndTellsWhenItIsTaken) {
    struct Held {
        ~Held() { UnregisterHotKey(nullptr, 1); }
    } held;
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL | MOD_ALT, VK_F12));
    RegSetString(kSoundMapper, L"Playback", L"Speakers");
    RegSetString(kSoundMapper, L"Record", L"Speakers");
    Start();
    OpenSettings();
    EXPECT_EQ(WindowText(Control(kIdHotkeyNoteTxt)), L"Taken by another program");
    UnregisterHotKey(nullptr, 1);
    // Unticked in the cycle list with the keyboard: only Speakers and Headset stay in.
    Click(Control(kIdCycleList));
    PressKey(VK_HOME);
    for (const std::wstring& row : Rows()) {
        if (row != L"Speakers" && row != L"Headset") PressKey(VK_SPACE);
        PressKey(VK_DOWN);
    }
    for (const std::wstring& row : Rows()) {
        const wchar_t* ticked = row == L"Speakers" || row == L"Headset" ? L"1" : L"0";
        EXPECT_TRUE(WaitUntil([&] {
            return RegString(kSettings + L"\\CycleThrough", row) == ticked;
        })) << row.size();
    }
    // Typed once the box has the focus, as a person sees it: clicked again when a busy desktop lost
    // the click.
    DWORD thread = GetWindowThreadProcessId(MainWindow(), nullptr);
    GUITHREADINFO input{sizeof input};
    bool focused = false;
    for (int click = 0; click < 3 && !focused; ++click) {
        Click(Control(kIdHotkeyBox));
        focused = WaitUntil(
            [&] {
                return GetGUIThreadInfo(thread, &input) && input.hwndFocus == Control(kIdHotkeyBox);
            },
            3000);
    }
    ASSERT_TRUE(focused);
    PressChord({VK_BACK});
    EXPECT_TRUE(WaitUntil([] { return RegString(kOptions, L"CycleHotkey") == L"none"; }));
    PressChord({VK_F11});  // a key alone gets Ctrl+Alt
    EXPECT_TRUE(WaitUntil([] { return RegString(kOptions, L"CycleHotkey") == L"Ctrl+Alt+F11"; }));
    EXPECT_TRUE(WaitUntil([&] { return WindowText(Control(kIdHotkeyNoteTxt)).empty(); }));
    Screenshot(L"settings-window-hotkey");
    Click(Control(kIdCommand1));
    ASSERT_TRUE(WaitUntil(TrayIconShown));
    for (const wchar_t* next : {L"Headset", L"Speakers"}) {
        PressChord({VK_CONTROL, VK_MENU, VK_F11});
        EXPECT_TRUE(SoundMapperSays(next, next));
        EXPECT_TRUE(WaitUntil([&] { return ShellTip(true) == next; }))
            << "not told: " << (next[0] == L'H');
        if (next == std::wstring(L"Headset")) Screenshot(L"cycle-notification");
    }
}

// A script's commands. Without a running Marvolt: /set by name, /list into a
// file, /set by the tray's number for one side, each ending with its exit code
// and showing nothing. With one: /set and /cycle are handed to it, whose menu
// follows while its window stays hidden; a name no device has changes
// nothing, nor does a line that can't be read, and a hung Marvolt is not
// waited for.
TEST_F(Marvolt, CommandLineSwitchesWithAndWithoutTheRunningProgram) {
    EXPECT_EQ(RunCommand(L"/set \"Headset\""), 0u);
    EXPECT_TRUE(SoundMapperSays(L"Headset", L"Headset"));
    const std::wstring listed = TempFile(L"marvolt-list.txt");
    EXPECT_EQ(RunCommand(L"/LIST", listed), 0u);
    const std::string line =
        std::to_string(RowOf(L"Headset") + 1) + "\tHeadset <default> (Playback, Record)\r\n";
    EXPECT_NE(("\n" + ReadFileBytes(listed)).find("\n" + line), std::string::npos);
    DeleteFileW(listed.c_str());
    EXPECT_EQ(RunCommand(L"-set " + std::to_wstring(RowOf(L"Speakers") + 1) + L" /playback"), 0u);
    EXPECT_TRUE(SoundMapperSays(L"Speakers", L"Headset"));
    EXPECT_FALSE(TrayIconShown()) << "a command put its icon in the tray";

    Start();
    EXPECT_EQ(RunCommand(L"/set \"Speakers 2\""), 0u);
    EXPECT_TRUE(SoundMapperSays(L"Speakers 2", L"Speakers 2"));
    std::vector<std::wstring> menu = OpenTrayMenu();
    PressKey(VK_ESCAPE);
    EXPECT_EQ(Marks(menu), L"Speakers 2  <default>   (Play + Rec)|");
    EXPECT_EQ(RunCommand(L"/set \"Speakers 3\""), 2u);
    EXPECT_EQ(RunCommand(L"/set"), 1u);
    EXPECT_EQ(RunCommand(L"/?"), 0u);
    const size_t next = (RowOf(L"Speakers 2") + 1) % Rows().size();
    EXPECT_EQ(RunCommand(L"/cycle"), 0u);
    EXPECT_TRUE(SoundMapperSays(Rows()[next], Rows()[next]));
    EXPECT_FALSE(IsWindowVisible(MainWindow())) << "a command brought the window forward";
    program_.Hang(true);
    EXPECT_EQ(RunCommand(L"/cycle"), 4u);
    program_.Hang(false);
    EXPECT_TRUE(program_.Running());
}

}  // namespace
}  // namespace e2e
