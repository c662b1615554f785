// End-to-end: the real Marvolt.exe on the Wine desktop with PulseAudio devices,
// driven through the mouse, the keyboard and the notification area.
#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "app/main_window_view.h"
#include "tests/e2e/desktop_driver.h"

namespace e2e {
namespace {

using namespace marvolt;  // the control ids

// The devices script/test starts as null sinks; Wine reports them after its own
// "PulseAudio" entry, in an order of its own, names cut at 31 characters.
const std::vector<std::wstring> kDevices = {L"PulseAudio", L"Speakers", L"Headset", L"Speakers 2",
                                            L"\u041d\u0430\u0443\u0448\u043d\u0438\u043a\u0438 Realtek High Definitio"};
const std::wstring kOnTopKey = kSettingsKey + std::wstring(L"\\AlwaysOnTop");
const std::wstring kMenuHead =
    L"Homepage ...\n-\nSettings ...\n-\nWindows audio settings ...\n"
    L"Windows audio mixer ...\n-\nReload list of Soundcards\n-\n";

// The device rows in the order the multimedia layer reports them.
const std::vector<std::wstring>& Rows() {
    static const std::vector<std::wstring> rows = WaveOutDeviceNames();
    return rows;
}

int RowOf(const std::wstring& name) {
    return static_cast<int>(std::find(Rows().begin(), Rows().end(), name) - Rows().begin());
}

// The device entries of the tray menu for these defaults.
std::wstring DeviceEntries(const std::wstring& playback, const std::wstring& record) {
    std::wstring text;
    for (size_t i = 0; i < Rows().size(); ++i) {
        const std::wstring& row = Rows()[i];
        text += L"Soundcard " + std::to_wstring(i + 1) + L": " + row +
                (row == playback && row == record ? L"  <default>   (Play + Rec)"
                 : row == playback                ? L"  <default>  (Playback)"
                 : row == record                  ? L"  <default>  (Record)"
                                                  : L"") +
                L"\n";
    }
    return text;
}

std::wstring MenuText(const std::vector<MenuEntry>& menu) {
    std::wstring text;
    for (const MenuEntry& entry : menu) text += (entry.separator ? L"-" : entry.text) + L"\n";
    return text;
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

void EndStrayPrograms() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{sizeof(entry)};
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        HANDLE process = lstrcmpiW(entry.szExeFile, L"Marvolt.exe")
                             ? nullptr
                             : OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID);
        if (process && TerminateProcess(process, 99)) WaitForSingleObject(process, 5000);
        if (process) CloseHandle(process);
    }
    CloseHandle(snapshot);
}

class Marvolt : public ::testing::Test {
  protected:
    void SetUp() override {
        // Wine brings up its desktop and taskbar when a program first asks for it.
        GetDesktopWindow();
        ASSERT_TRUE(WaitUntil([] { return FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr; }, 30000));
        EndStrayPrograms();
        RegDeleteTree(kSoundMapper);
        RegDeleteTree(kSettingsKey);
        RegDeleteValueOf(kRunKey, L"Marvolt");
    }
    void TearDown() override {
        program_.Kill();
        EndStrayPrograms();
    }

    void Start() {
        ASSERT_TRUE(program_.Start());
        ASSERT_TRUE(WaitUntil([&] { return program_.MainWindow() && TrayIconShown(); }))
            << "no settings window or tray icon appeared";
        ASSERT_TRUE(hooks_.Attach(program_.UiThread()));
    }
    void ExitAndStartAgain() {
        ChooseFromTray(L"Exit");
        EXPECT_EQ(program_.WaitForExit(5000), 0u);
        EXPECT_TRUE(WaitUntil([] { return !TrayIconShown(); })) << "the icon goes with the program";
        program_.Kill();
        Start();
    }

    // A click on the icon opens the tray menu; what it shows.
    std::vector<MenuEntry> OpenTrayMenu() {
        std::vector<MenuEntry> menu;
        ForgetRecordedMenu();
        ClickAt(TrayIconCentre().x, TrayIconCentre().y);
        WaitUntil([&] { return !(menu = RecordedMenu()).empty() && IsWindowVisible(FindWindowW(L"#32768", nullptr)); });
        Pause(300);
        return menu;
    }
    // Picks an entry of the open menu with the arrow keys and Enter.
    void Choose(const std::vector<MenuEntry>& menu, const std::wstring& text) {
        int steps = 0;
        for (const MenuEntry& entry : menu) {
            steps += !entry.separator;
            if (entry.separator || entry.text != text) continue;
            for (int i = 0; i < steps; ++i) PressKey(VK_DOWN);
            PressKey(VK_RETURN);
            return Pause(300);
        }
        ADD_FAILURE() << "no menu entry " << Narrow(text) << " in\n" << Narrow(MenuText(menu));
    }
    void ChooseFromTray(const std::wstring& text) { Choose(OpenTrayMenu(), text); }

    HWND Control(int id) { return GetDlgItem(program_.MainWindow(), id); }

    void OpenSettings() {
        ChooseFromTray(L"Settings ...");
        HWND window = program_.MainWindow();
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(window) != FALSE; }));
        // A person waits for the window to come up before clicking into it.
        SetForegroundWindow(window);
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window; }));
        Pause(300);
    }
    void ClickRow(int row) {
        HWND list = Control(kIdDeviceList);
        RECT item{};
        SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        POINT centre{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
        ClientToScreen(list, &centre);
        ClickAt(centre.x, centre.y);
        EXPECT_TRUE(WaitUntil([&] { return ListBoxSelection(list) == row; })) << "row " << row << " not selected";
    }
    void AnswerMessageBox(WORD key) {
        HWND box = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (box = FindMessageBox(program_.ProcessId())) != nullptr; }));
        SetForegroundWindow(box);
        Pause(200);
        PressKey(key);
        ASSERT_TRUE(WaitUntil([&] { return !FindMessageBox(program_.ProcessId()); }));
    }
    static bool SoundMapperSays(const std::wstring& playback, const std::wstring& record) {
        return WaitUntil([&] {
            return RegString(kSoundMapper, L"Playback") == playback && RegString(kSoundMapper, L"Record") == record;
        });
    }

    Program program_;
    Hooks hooks_;
};

TEST_F(Marvolt, FirstStartGoesToTheTrayAndPreparesTheSoundMapper) {
    Start();
    EXPECT_FALSE(IsWindowVisible(program_.MainWindow())) << "the program starts in the notification area";
    EXPECT_EQ(WindowText(program_.MainWindow()), L"Marvolt Vers. 1.01");
    std::vector<std::wstring> devices = Rows(), expected = kDevices;
    std::sort(devices.begin(), devices.end());
    std::sort(expected.begin(), expected.end());
    ASSERT_EQ(devices, expected) << "the sound server does not offer the devices the tests expect";
    for (const wchar_t* name : {L"PreferredOnly", L"SetupPreferredAudioDevicesCount"})
        EXPECT_EQ(RegType(kSoundMapper, name), static_cast<DWORD>(REG_DWORD)) << Narrow(name);
    EXPECT_EQ(RegDword(kSoundMapper, L"PreferredOnly", 77), 1u);
    EXPECT_EQ(RegDword(kSoundMapper, L"SetupPreferredAudioDevicesCount", 77), 3u);
    EXPECT_TRUE(SoundMapperSays(Rows()[0], Rows()[0]));
    EXPECT_EQ(RegString(kOnTopKey, L"OnTop"), L"True");
}

// "Speakers 2" contains "Speakers": its own entry must set it.
TEST_F(Marvolt, TrayMenuListsTheDevicesAndSwitchesToTheChosenOne) {
    RegSetString(kSoundMapper, L"Playback", L"Speakers");
    RegSetString(kSoundMapper, L"Record", L"Headset");
    Start();
    std::vector<MenuEntry> menu = OpenTrayMenu();
    Screenshot(L"tray-menu");
    EXPECT_EQ(MenuText(menu), kMenuHead + DeviceEntries(L"Speakers", L"Headset") + L"-\nExit\n");
    Choose(menu, L"Soundcard " + std::to_wstring(RowOf(L"Speakers 2") + 1) + L": Speakers 2");
    EXPECT_TRUE(SoundMapperSays(L"Speakers 2", L"Speakers 2"));
    ASSERT_TRUE(WaitUntil(TrayIconShown));
    EXPECT_EQ(HoverTip(), L"Speakers 2");
    EXPECT_EQ(MenuText(OpenTrayMenu()), kMenuHead + DeviceEntries(L"Speakers 2", L"Speakers 2") + L"-\nExit\n");
    PressKey(VK_ESCAPE);
}

// Wine fixes a process's device list when it first asks, so a device added
// while the program runs is listed, numbered in turn, from its next start on.
TEST_F(Marvolt, ReloadKeepsTheListAndANewDeviceIsListedAtTheNextStart) {
    Start();
    std::wstring sink = AddSink(L"Line Out");
    ChooseFromTray(L"Reload list of Soundcards");
    std::wstring afterReload = MenuText(OpenTrayMenu());
    PressKey(VK_ESCAPE);
    EXPECT_NE(afterReload.find(DeviceEntries(Rows()[0], Rows()[0])), std::wstring::npos) << Narrow(afterReload);
    ExitAndStartAgain();
    std::vector<MenuEntry> menu = OpenTrayMenu();
    PressKey(VK_ESCAPE);
    RemoveSink(sink);
    std::vector<std::wstring> devices;
    for (const MenuEntry& entry : menu)
        if (entry.text.compare(0, 10, L"Soundcard ") == 0) devices.push_back(entry.text);
    ASSERT_EQ(devices.size(), kDevices.size() + 1) << Narrow(MenuText(menu));
    bool listed = false;
    for (size_t i = 0; i < devices.size(); ++i) {
        const std::wstring number = L"Soundcard " + std::to_wstring(i + 1) + L": ";
        EXPECT_EQ(devices[i].rfind(number, 0), 0u) << Narrow(devices[i]);
        listed = listed || devices[i] == number + L"Line Out";
    }
    EXPECT_TRUE(listed) << Narrow(MenuText(menu));
}

// Pinned on top at start; a row and "Set Soundcard" set the ticked roles; an
// unticked box is kept over a restart.
TEST_F(Marvolt, SettingsWindowSetsTheSelectedDeviceForTheTickedRoles) {
    Start();
    OpenSettings();
    EXPECT_TRUE(IsTopmost(program_.MainWindow()));
    EXPECT_EQ(ListBoxItems(Control(kIdDeviceList)), Rows());
    ClickRow(RowOf(L"Headset"));
    Click(Control(kIdSetBtn));
    EXPECT_TRUE(SoundMapperSays(L"Headset", L"Headset"));
    EXPECT_EQ(WindowText(Control(kIdCurrentCardTxt)), L"Default Soundcard: Headset");
    Click(Control(kIdRecordCheck));
    EXPECT_FALSE(IsChecked(Control(kIdRecordCheck)));
    EXPECT_TRUE(
        WaitUntil([] { return RegString(kSettingsKey + std::wstring(L"\\Settings"), L"RecordCheck") == L"0"; }));
    ClickRow(RowOf(L"Speakers"));
    Click(Control(kIdSetBtn));
    EXPECT_TRUE(SoundMapperSays(L"Speakers", L"Headset")) << "Record stays when its box is clear";
    Screenshot(L"settings-window");
    ExitAndStartAgain();
    OpenSettings();
    EXPECT_FALSE(IsChecked(Control(kIdRecordCheck)));
    EXPECT_TRUE(IsChecked(Control(kIdPlayCheck)));
}

// "Hide >>" sends the window to the tray; a double click on the icon brings it
// back and takes the icon away; hidden again, the tip reads "current: ". Closing
// asks; No sends the window to the tray and the program runs on.
TEST_F(Marvolt, WindowHidesIntoTheTrayAndComesBack) {
    Start();
    OpenSettings();
    HWND window = program_.MainWindow();
    Click(Control(kIdCommand1));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(window); }));
    ASSERT_TRUE(WaitUntil(TrayIconShown));
    EXPECT_EQ(HoverTip(), L"current: ") << "the icon left in place while the window showed";
    DoubleClickAt(TrayIconCentre().x, TrayIconCentre().y);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(window) && !IsIconic(window); }));
    if (FindWindowW(L"#32768", nullptr)) PressKey(VK_ESCAPE);  // the double click's first release opened it
    EXPECT_TRUE(WaitUntil([] { return !TrayIconShown(); }));
    Click(Control(kIdCommand1));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(window) && TrayIconShown(); }));
    EXPECT_EQ(HoverTip(), L"current: ");
    OpenSettings();
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    AnswerMessageBox('N');
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(window) && TrayIconShown(); }));
    EXPECT_TRUE(program_.Running());
}

// The second start ends, at once and without ever showing a window of its own,
// and brings the running one forward out of the tray, ready for input, not
// another program's window whose title starts with the name.
TEST_F(Marvolt, SecondStartBringsTheRunningOneForward) {
    Start();
    HWND notes = CreateWindowExW(0, L"STATIC", L"Marvolt notes.txt - Notepad", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50,
                                 50, 300, 200, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(notes);
    Program second;
    DWORD started = GetTickCount();
    ASSERT_TRUE(second.Start(false));
    bool showedWindow = false;
    WaitUntil(
        [&] {
            showedWindow = showedWindow || second.HasVisibleWindow();
            return !second.Running();
        },
        3000);
    EXPECT_EQ(second.WaitForExit(0), 0u);
    EXPECT_LT(GetTickCount() - started, 3000u);
    EXPECT_FALSE(showedWindow);
    EXPECT_TRUE(program_.Running());
    EXPECT_TRUE(
        WaitUntil([&] { return ForegroundWindow() == program_.MainWindow() && IsWindowVisible(ForegroundWindow()); }));
    EXPECT_TRUE(TrayIconShown());
    DestroyWindow(notes);
    Pause(300);
    Click(Control(kIdAutoRunCheck));  // and it takes the first click
    EXPECT_TRUE(WaitUntil([&] { return IsChecked(Control(kIdAutoRunCheck)); }));
}

TEST_F(Marvolt, PinUnpinsAndPinsTheWindowAndRecordsIt) {
    Start();
    OpenSettings();
    for (bool pinned : {false, true}) {
        Click(Control(kIdAlwaysOnTop1));
        EXPECT_TRUE(WaitUntil([&] { return IsTopmost(program_.MainWindow()) == pinned; }));
        EXPECT_EQ(RegString(kOnTopKey, L"OnTop"), pinned ? L"True" : L"False");
    }
}

// Ten starts at once, from a folder with blanks and letters beyond the code page
// and in another current directory, leave one program with one icon; its
// autostart entry names that folder. A new taskbar gets the icon back, with its
// tip and its menu (Wine does not renew its own, so the test tells the program).
TEST_F(Marvolt, TenStartsLeaveOneIconThatANewTaskbarGetsBack) {
    wchar_t temp[MAX_PATH];
    const std::wstring folder =
        std::wstring(temp, GetTempPathW(MAX_PATH, temp)) + L"Neuer Ordner \u00e4\u00df \u041f\u0430\u043f\u043a\u0430";
    const std::wstring exe = folder + L"\\Marvolt.exe";
    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(EnvVar(L"MARVOLT_EXE").c_str(), exe.c_str(), FALSE));
    Program starts[10];
    for (Program& start : starts) ASSERT_TRUE(start.Start(false, exe, L"C:\\windows"));
    auto running = [&] { return std::count_if(starts, starts + 10, [](const Program& p) { return p.Running(); }); };
    ASSERT_TRUE(WaitUntil([&] { return running() == 1; }, 30000)) << running() << " running";
    for (Program& start : starts) {
        if (start.Running()) program_.Swap(start);
        EXPECT_EQ(start.WaitForExit(0), 0u);  // the others ended, and well
    }
    ASSERT_TRUE(WaitUntil([&] { return program_.MainWindow() && TrayIconShown(); }));
    EXPECT_FALSE(SecondTrayIconShown());
    ASSERT_TRUE(hooks_.Attach(program_.UiThread()));
    // The starts that ended may have brought the window forward already.
    if (!IsWindowVisible(program_.MainWindow())) OpenSettings();
    SetForegroundWindow(program_.MainWindow());
    Pause(300);
    Click(Control(kIdAutoRunCheck));
    EXPECT_TRUE(WaitUntil([&] { return RegString(kRunKey, L"Marvolt") == L"\"" + exe + L"\""; }));
    Click(Control(kIdCommand1));
    ASSERT_TRUE(WaitUntil(TrayIconShown));

    SendMessageW(program_.FindOwnWindow(nullptr, L"SystemTray"), RegisterWindowMessageW(L"MarvoltE2E.ForgetIcon"), 0, 0);
    ASSERT_TRUE(WaitUntil([] { return !TrayIconShown(); }));
    PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitUntil(TrayIconShown));
    EXPECT_EQ(HoverTip(), L"current: ");
    std::vector<MenuEntry> menu = OpenTrayMenu();
    PressKey(VK_ESCAPE);
    EXPECT_EQ(MenuText(menu), kMenuHead + DeviceEntries(Rows()[0], Rows()[0]) + L"-\nExit\n");
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
        {"binary", REG_BINARY, L"\x0102\x0304\x0506\x0708"},
        {"multi-string", REG_MULTI_SZ, std::wstring(L"Headset\0x\0\0", 10)},
        {"empty", REG_SZ, L""},
        {"unterminated", REG_SZ, L"Headset"},
        {"1 MB", REG_SZ, std::wstring(512 * 1024 - 1, L'x') + L'\0'},
        {"percent", REG_SZ, std::wstring(L"%SystemRoot%\\%1\0", 16)},
        {"ampersand", REG_SZ, std::wstring(L"&Speakers & Co\0", 15)},
        {"tab", REG_SZ, std::wstring(L"Head\tset\0", 9)},
        {"beyond the code page", REG_SZ, std::wstring(L"\u041d\u0430\u0443\u0448\u043d\u0438\u043a\u0438 \u2603\0", 11)},
    };
    const std::wstring settings = kSettingsKey + std::wstring(L"\\Settings");
    const std::pair<std::wstring, const wchar_t*> values[] = {
        {kSoundMapper, L"Playback"},     {kSoundMapper, L"Record"},    {kSoundMapper, L"PreferredOnly"},
        {kSoundMapper, L"SetupPreferredAudioDevicesCount"},            {settings, L"PlaybackCheck"},
        {settings, L"RecordCheck"},      {settings, L"StartupCheck"},  {settings, L"StartupDevice"},
        {settings, L"Homepage"},         {settings, L"UpdateServer"},  {kOnTopKey, L"OnTop"},
        {kRunKey, L"Marvolt"}};
    for (const Form& form : forms) {
        SCOPED_TRACE(form.what);
        // Followed by more than its size says: the system adds no NUL to text without one.
        const std::wstring buffer = form.data + L'!';
        for (const auto& [key, name] : values)
            RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name, form.type, buffer.data(),
                            static_cast<DWORD>(form.data.size() * 2));
        Start();
        std::vector<MenuEntry> menu = OpenTrayMenu();
        const std::wstring entry = L"Soundcard " + std::to_wstring(RowOf(L"Speakers 2") + 1) + L": Speakers 2";
        for (const MenuEntry& shown : menu)
            if (shown.text.rfind(entry, 0) == 0) Choose(menu, shown.text);
        EXPECT_TRUE(SoundMapperSays(L"Speakers 2", L"Speakers 2"));
        ChooseFromTray(L"Exit");
        EXPECT_EQ(program_.WaitForExit(5000), 0u);
        program_.Kill();
        EXPECT_TRUE(menu.size() == 11 + Rows().size() && menu.back().text == L"Exit") << Narrow(MenuText(menu));
        // The option boxes read as ticked, the pin as pinned; an autostart entry
        // that reads as a text names the program again.
        EXPECT_EQ(RegString(settings, L"PlaybackCheck") + RegString(settings, L"RecordCheck"), L"11");
        EXPECT_EQ(RegString(kOnTopKey, L"OnTop"), L"True");
        const bool text = form.type == REG_SZ && !form.data.empty() && form.data[0];
        const std::wstring written[] = {L"Playback", L"Record", L"PlaybackCheck", L"RecordCheck", L"OnTop"};
        for (const auto& [key, name] : values) {
            if (std::count(std::begin(written), std::end(written), name) || (key == kRunKey && text)) continue;
            HKEY opened = nullptr;
            DWORD type = REG_NONE, size = static_cast<DWORD>(form.data.size() * 2 + 8);
            std::wstring kept(form.data.size() + 4, L'\0');
            RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &opened);
            RegQueryValueExW(opened, name, nullptr, &type, reinterpret_cast<BYTE*>(kept.data()), &size);
            RegCloseKey(opened);
            kept.resize(size / 2);
            EXPECT_TRUE(type == form.type && kept == form.data) << Narrow(name);
        }
        EXPECT_EQ(RegString(kRunKey, L"Marvolt").find(L"Marvolt.exe") != std::wstring::npos, text);
    }
}

// Sixty devices, among them names with a comma, "&" and a tab, of 31 and 32
// characters and a second "Headset": one entry each, the name shown as it is
// (no shortcut letter, nothing pushed aside), and each entry sets exactly its
// device, the last one too. Start and menu times are printed, not judged.
TEST_F(Marvolt, SixtyDevicesWithAwkwardNamesAreEachOneEntry) {
    std::vector<std::wstring> names = {L"Speakers, Left", L"Mix &Quiet", L"Tab\tName", L"Thirty One Characters Long Name",
                                       L"Thirty Two Characters Long Names", L"Headset"};
    while (Rows().size() + names.size() < 60) names.push_back(L"Line " + std::to_wstring(names.size()));
    struct Sinks : std::vector<std::wstring> {
        ~Sinks() { std::for_each(begin(), end(), RemoveSink); }
    } sinks;
    for (const std::wstring& name : names) sinks.push_back(AddSink(name));
    DWORD started = GetTickCount();
    Start();
    const DWORD startMs = GetTickCount() - started;
    started = GetTickCount();
    std::vector<MenuEntry> menu = OpenTrayMenu();
    const DWORD menuMs = GetTickCount() - started;
    RECT shown{};
    GetWindowRect(FindWindowW(L"#32768", nullptr), &shown);
    PressKey('Q');  // the shortcut "Mix &Quiet" would have
    Pause(500);
    EXPECT_TRUE(IsWindowVisible(FindWindowW(L"#32768", nullptr)));
    PressKey(VK_ESCAPE);
    std::wstring comma;
    size_t devices = 0;
    for (const MenuEntry& entry : menu) {
        devices += entry.text.rfind(L"Soundcard ", 0) == 0;
        if (entry.text.find(L": Speakers, Left") != std::wstring::npos) comma = entry.text;
    }
    EXPECT_EQ(devices, 60u) << Narrow(MenuText(menu));
    EXPECT_EQ(MenuText(menu).find(L'\t'), std::wstring::npos);
    ASSERT_EQ(menu.back().text, L"Exit");
    EXPECT_NE(RegString(kSoundMapper, L"Playback"), L"Mix &Quiet");
    ChooseFromTray(comma);
    EXPECT_TRUE(SoundMapperSays(L"Speakers, Left", L"Speakers, Left"));
    // The last device, as a person reaches it: up from the top, past "Exit".
    const std::wstring last = menu[menu.size() - 3].text;
    started = GetTickCount();
    OpenTrayMenu();
    PressKey(VK_UP), PressKey(VK_UP), PressKey(VK_RETURN);
    const std::wstring name = last.substr(last.find(L": ") + 2);
    EXPECT_TRUE(SoundMapperSays(name, name)) << Narrow(last);
    printf("60 devices: start to icon %lu ms; menu open %lu ms, %ld px high on a %d px screen; last device set %lu ms\n",
           startMs, menuMs, shown.bottom - shown.top, GetSystemMetrics(SM_CYSCREEN), GetTickCount() - started);
}

}  // namespace
}  // namespace e2e
