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

// The devices script/test starts as null sinks; Wine reports them after its own
// "PulseAudio" entry, in an order of its own. The capability record cuts names
// at 31 characters.
const std::vector<std::wstring> kDevices = {L"PulseAudio", L"Speakers", L"Headset", L"Speakers 2",
                                            L"\u041d\u0430\u0443\u0448\u043d\u0438\u043a\u0438 Realtek High Definitio"};

// The device rows in the order the multimedia layer reports them.
std::vector<std::wstring> Rows() {
    static const std::vector<std::wstring> rows = WaveOutDeviceNames();
    return rows;
}

int RowOf(const std::wstring& name) {
    std::vector<std::wstring> rows = Rows();
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i] == name) return static_cast<int>(i);
    return -1;
}

// The device entries of the tray menu for these rows and defaults.
std::wstring DeviceEntries(const std::wstring& playback, const std::wstring& record) {
    std::wstring text;
    std::vector<std::wstring> rows = Rows();
    for (size_t i = 0; i < rows.size(); ++i) {
        text += L"Soundcard " + std::to_wstring(i + 1) + L": " + rows[i];
        if (rows[i] == playback && rows[i] == record) text += L"  <default>   (Play + Rec)";
        else if (rows[i] == playback) text += L"  <default>  (Playback)";
        else if (rows[i] == record) text += L"  <default>  (Record)";
        text += L"\n";
    }
    return text;
}

void EndStrayPrograms() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (lstrcmpiW(entry.szExeFile, L"Marvolt.exe") != 0) continue;
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID);
        if (process) {
            TerminateProcess(process, 99);
            WaitForSingleObject(process, 5000);
            CloseHandle(process);
        }
    }
    CloseHandle(snapshot);
}

std::wstring MenuText(const std::vector<MenuEntry>& menu) {
    std::wstring text;
    for (const MenuEntry& entry : menu) text += (entry.separator ? L"-" : entry.text) + L"\n";
    return text;
}

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
    return out;
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
        ForgetRecordedMenu();
    }
    void TearDown() override {
        program_.Kill();
        EndStrayPrograms();
    }

    void StartAndWaitForIcon() {
        ASSERT_TRUE(program_.Start());
        ASSERT_TRUE(WaitUntil([&] { return program_.MainWindow() != nullptr && TrayIconShown(); }))
            << "no settings window or tray icon appeared";
        ASSERT_TRUE(hooks_.Attach(program_.UiThread()));
    }

    // Opens the tray menu with a click on the icon, as a person does.
    std::vector<MenuEntry> OpenTrayMenu() {
        ForgetRecordedMenu();
        if (!TrayIconShown()) return {};
        POINT icon = TrayIconCentre();
        ClickAt(icon.x, icon.y);
        std::vector<MenuEntry> menu;
        WaitUntil([&] {
            menu = RecordedMenu();
            return !menu.empty() && FindWindowW(L"#32768", nullptr) && IsWindowVisible(FindWindowW(L"#32768", nullptr));
        });
        Pause(300);
        return menu;
    }

    // Picks an entry of the open menu with the arrow keys and Enter.
    void Choose(const std::vector<MenuEntry>& menu, const std::wstring& text) {
        int steps = 0;
        bool found = false;
        for (const MenuEntry& entry : menu) {
            if (entry.separator) continue;
            ++steps;
            if (entry.text == text) {
                found = true;
                break;
            }
        }
        ASSERT_TRUE(found) << "no menu entry " << Narrow(text);
        for (int i = 0; i < steps; ++i) PressKey(VK_DOWN);
        PressKey(VK_RETURN);
        Pause(300);
    }

    void ChooseFromTray(const std::wstring& text) {
        std::vector<MenuEntry> menu = OpenTrayMenu();
        ASSERT_FALSE(menu.empty()) << "the tray menu did not open";
        Choose(menu, text);
    }

    HWND Control(int id) { return GetDlgItem(program_.MainWindow(), id); }

    void ShowSettings() {
        ChooseFromTray(L"Settings ...");
        HWND window = program_.MainWindow();
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(window) != FALSE; }));
        // Clicks go to the window once it is the active one, as a person waits
        // for a window to come up before clicking into it.
        SetForegroundWindow(window);
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window; }));
        Pause(300);
    }

    // Clicks a row of the device list.
    void ClickRow(int row) {
        HWND list = Control(marvolt::kIdDeviceList);
        RECT item = {};
        SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        POINT centre = {(item.left + item.right) / 2, (item.top + item.bottom) / 2};
        ClientToScreen(list, &centre);
        ClickAt(centre.x, centre.y);
        EXPECT_TRUE(WaitUntil([&] { return ListBoxSelection(list) == row; })) << "row " << row << " not selected";
    }

    void AnswerMessageBox(WORD key) {
        HWND box = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (box = FindMessageBox(program_.ProcessId())) != nullptr; }))
            << "no message box";
        SetForegroundWindow(box);
        Pause(200);
        PressKey(key);
        ASSERT_TRUE(WaitUntil([&] { return FindMessageBox(program_.ProcessId()) == nullptr; }));
    }

    Program program_;
    Hooks hooks_;
};

TEST_F(Marvolt, FirstStartGoesToTheTrayAndPreparesTheSoundMapper) {
    StartAndWaitForIcon();
    EXPECT_FALSE(IsWindowVisible(program_.MainWindow())) << "the program starts in the notification area";
    EXPECT_EQ(WindowText(program_.MainWindow()), L"Marvolt Vers. 1.01");
    EXPECT_EQ(RegType(kSoundMapper, L"PreferredOnly"), static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(RegDword(kSoundMapper, L"PreferredOnly", 77), 1u);
    EXPECT_EQ(RegType(kSoundMapper, L"SetupPreferredAudioDevicesCount"), static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(RegDword(kSoundMapper, L"SetupPreferredAudioDevicesCount", 77), 3u);
    std::vector<std::wstring> sorted = Rows();
    std::sort(sorted.begin(), sorted.end());
    std::vector<std::wstring> expected = kDevices;
    std::sort(expected.begin(), expected.end());
    ASSERT_EQ(sorted, expected) << "the sound server does not offer the devices the tests expect";
    EXPECT_EQ(RegString(kSoundMapper, L"Playback"), Rows()[0]);
    EXPECT_EQ(RegString(kSoundMapper, L"Record"), Rows()[0]);
    EXPECT_EQ(RegString(kSettingsKey + std::wstring(L"\\AlwaysOnTop"), L"OnTop"), L"True");
}

TEST_F(Marvolt, TrayMenuListsTheDevicesAndSwitchesToTheChosenOne) {
    RegSetString(kSoundMapper, L"Playback", L"Speakers");
    RegSetString(kSoundMapper, L"Record", L"Headset");
    StartAndWaitForIcon();

    std::vector<MenuEntry> menu = OpenTrayMenu();
    Screenshot(L"tray-menu");
    const std::wstring head =
        L"Homepage ...\n-\nSettings ...\n-\nWindows audio settings ...\nWindows audio mixer ...\n-\n"
        L"Reload list of Soundcards\n-\n";
    EXPECT_EQ(MenuText(menu), head + DeviceEntries(L"Speakers", L"Headset") + L"-\nExit\n");

    // "Speakers 2" contains "Speakers": its own entry must set it.
    Choose(menu, L"Soundcard " + std::to_wstring(RowOf(L"Speakers 2") + 1) + L": Speakers 2");
    EXPECT_TRUE(WaitUntil([] { return RegString(kSoundMapper, L"Playback") == L"Speakers 2"; }));
    EXPECT_EQ(RegString(kSoundMapper, L"Record"), L"Speakers 2");
    ASSERT_TRUE(WaitUntil(TrayIconShown));
    EXPECT_EQ(HoverTip(), L"Speakers 2");

    menu = OpenTrayMenu();
    EXPECT_EQ(MenuText(menu), head + DeviceEntries(L"Speakers 2", L"Speakers 2") + L"-\nExit\n");
    PressKey(VK_ESCAPE);
}

TEST_F(Marvolt, ReloadRenumbersTheDevicesAndANewDeviceIsListed) {
    StartAndWaitForIcon();
    std::wstring sink = AddSink(L"Line Out");
    ChooseFromTray(L"Reload list of Soundcards");
    std::vector<MenuEntry> menu = OpenTrayMenu();
    std::wstring afterReload = MenuText(menu);
    PressKey(VK_ESCAPE);
    // Wine's multimedia layer fixes a process's device list when it first asks,
    // so a device added while the program runs is listed from its next start on.
    EXPECT_NE(afterReload.find(DeviceEntries(Rows()[0], Rows()[0])), std::wstring::npos) << Narrow(afterReload);

    ChooseFromTray(L"Exit");
    EXPECT_EQ(program_.WaitForExit(5000), 0u);
    program_.Kill();
    StartAndWaitForIcon();
    menu = OpenTrayMenu();
    PressKey(VK_ESCAPE);
    RemoveSink(sink);
    std::vector<std::wstring> devices;
    for (const MenuEntry& entry : menu)
        if (entry.text.compare(0, 10, L"Soundcard ") == 0) devices.push_back(entry.text);
    ASSERT_EQ(devices.size(), kDevices.size() + 1) << Narrow(MenuText(menu));
    bool listed = false;
    for (size_t i = 0; i < devices.size(); ++i) {
        std::wstring number = L"Soundcard " + std::to_wstring(i + 1) + L": ";
        EXPECT_EQ(devices[i].compare(0, number.size(), number), 0) << Narrow(devices[i]);
        listed = listed || devices[i] == number + L"Line Out";
    }
    EXPECT_TRUE(listed) << Narrow(MenuText(menu));
}

TEST_F(Marvolt, SettingsWindowSetsTheSelectedDeviceForTheTickedRoles) {
    StartAndWaitForIcon();
    ShowSettings();
    HWND window = program_.MainWindow();
    EXPECT_TRUE(IsTopmost(window)) << "the window is pinned on top at start";
    EXPECT_EQ(ListBoxItems(Control(marvolt::kIdDeviceList)), Rows());

    ClickRow(RowOf(L"Headset"));
    Click(Control(marvolt::kIdSetBtn));
    EXPECT_TRUE(WaitUntil([] { return RegString(kSoundMapper, L"Playback") == L"Headset"; }));
    EXPECT_EQ(RegString(kSoundMapper, L"Record"), L"Headset");
    EXPECT_EQ(WindowText(Control(marvolt::kIdCurrentCardTxt)), L"Default Soundcard: Headset");

    Click(Control(marvolt::kIdRecordCheck));
    EXPECT_FALSE(IsChecked(Control(marvolt::kIdRecordCheck)));
    EXPECT_TRUE(WaitUntil([] { return RegString(kSettingsKey + std::wstring(L"\\Settings"), L"RecordCheck") == L"0"; }));
    ClickRow(RowOf(L"Speakers"));
    Click(Control(marvolt::kIdSetBtn));
    EXPECT_TRUE(WaitUntil([] { return RegString(kSoundMapper, L"Playback") == L"Speakers"; }));
    EXPECT_EQ(RegString(kSoundMapper, L"Record"), L"Headset") << "Record stays when its box is clear";
    Screenshot(L"settings-window");

    // Exit from the tray, start again: the box is still clear.
    ChooseFromTray(L"Exit");
    EXPECT_EQ(program_.WaitForExit(5000), 0u);
    EXPECT_TRUE(WaitUntil([] { return !TrayIconShown(); })) << "the icon goes with the program";
    program_.Kill();
    StartAndWaitForIcon();
    ShowSettings();
    EXPECT_FALSE(IsChecked(Control(marvolt::kIdRecordCheck)));
    EXPECT_TRUE(IsChecked(Control(marvolt::kIdPlayCheck)));
}

TEST_F(Marvolt, WindowHidesIntoTheTrayAndComesBack) {
    StartAndWaitForIcon();
    ShowSettings();
    HWND window = program_.MainWindow();

    // The window was opened from the menu, so the icon is still there.
    Click(Control(marvolt::kIdCommand1));  // "Hide >>"
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(window); }));
    ASSERT_TRUE(WaitUntil(TrayIconShown));

    // A double click restores the window and takes the icon away; hiding again
    // brings a fresh icon whose tooltip says "current: " and the device.
    POINT icon = TrayIconCentre();
    DoubleClickAt(icon.x, icon.y);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(window) && !IsIconic(window); }));
    // The first release of the double click opens the menu; it closes again.
    if (FindWindowW(L"#32768", nullptr)) PressKey(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([] { return !TrayIconShown(); }));
    Click(Control(marvolt::kIdCommand1));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(window); }));
    ASSERT_TRUE(WaitUntil(TrayIconShown));
    EXPECT_EQ(HoverTip(), L"current: ");
    ShowSettings();

    // Closing asks; No sends the window to the tray and the program runs on.
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    AnswerMessageBox('N');
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(window); }));
    EXPECT_TRUE(program_.Running());
    EXPECT_TRUE(WaitUntil(TrayIconShown));
}

TEST_F(Marvolt, SecondStartBringsTheRunningOneForward) {
    StartAndWaitForIcon();
    ShowSettings();
    HWND first = program_.MainWindow();
    SetForegroundWindow(GetDesktopWindow());

    Program second;
    DWORD started = GetTickCount();
    ASSERT_TRUE(second.Start(false));
    // Watched until it ends: it must never show a window of its own.
    bool showedWindow = false;
    WaitUntil([&] {
        showedWindow = showedWindow || second.HasVisibleWindow();
        return !second.Running();
    }, 3000);
    EXPECT_FALSE(second.Running());
    EXPECT_LT(GetTickCount() - started, 3000u);
    EXPECT_FALSE(showedWindow);
    EXPECT_TRUE(program_.Running());
    EXPECT_TRUE(WaitUntil([&] { return ForegroundWindow() == first; }));
    EXPECT_TRUE(TrayIconShown());
}

TEST_F(Marvolt, PinUnpinsAndPinsTheWindowAndRecordsIt) {
    StartAndWaitForIcon();
    ShowSettings();
    HWND window = program_.MainWindow();
    HWND pin = Control(marvolt::kIdAlwaysOnTop1);
    ASSERT_NE(pin, nullptr);
    const std::wstring onTopKey = kSettingsKey + std::wstring(L"\\AlwaysOnTop");

    Click(pin);
    EXPECT_TRUE(WaitUntil([&] { return !IsTopmost(window); }));
    EXPECT_EQ(RegString(onTopKey, L"OnTop"), L"False");
    Click(pin);
    EXPECT_TRUE(WaitUntil([&] { return IsTopmost(window); }));
    EXPECT_EQ(RegString(onTopKey, L"OnTop"), L"True");
}

}  // namespace
}  // namespace e2e
