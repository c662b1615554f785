// MainWindow: the cycling hotkey and its list of devices, and following the
// devices and defaults that the system reports changed.
#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "app/main_window.h"
#include "app/setting_names.h"
#include "platform/text.h"

namespace marvolt {

namespace {

constexpr char16_t kHotkeyTaken[] = u"Taken by another program";
constexpr char16_t kHotkeyRefused[] = u"Windows refused this hotkey";
constexpr char16_t kSwitchedTitle[] = u"Default Soundcard";

}  // namespace

// --- Hotkey and device notifications -------------------------------------------

// A device is in the cycle until the user takes it out, a new one too.
void MainWindow::FillCycleList() {
    CheckListControl& cycle = view_.CycleList();
    cycle.Clear();
    for (const std::u16string& row : DeviceRows())
        cycle.AddItem(row, row.empty() || services_.settings.GetAppSetting(kCycleThrough, row, u"1") != u"0");
}

void MainWindow::OnCycleListClick() {
    std::vector<std::u16string> rows = DeviceRows();
    for (size_t i = 0; i < rows.size(); ++i)
        if (!rows[i].empty())
            services_.settings.SaveAppSetting(kCycleThrough, rows[i],
                                              view_.CycleList().Ticked(static_cast<int>(i)) ? u"1" : u"0");
}

// Saved and taken up as the user types, as the boxes are saved when clicked.
void MainWindow::OnHotkeyBoxChange() {
    Hotkey hotkey = view_.HotkeyBox().Value();
    services_.settings.SaveAppSetting(kSettings, kCycleHotkey, HotkeyText(hotkey));
    RegisterHotkey(hotkey);
}

// The profiles' hotkeys are let go first: one of them may be the cycle's new one.
void MainWindow::RegisterHotkey(const Hotkey& hotkey) {
    if (!services_.systemEvents) return;
    for (size_t slot = 1; slot <= profileSlots_; ++slot) services_.systemEvents->SetHotkey(static_cast<int>(slot), {});
    profileSlots_ = 0;
    HotkeyState state = services_.systemEvents->SetHotkey(0, hotkey);
    view_.HotkeyNoteTxt().SetCaption(state == HotkeyState::Taken     ? kHotkeyTaken
                                     : state == HotkeyState::Refused ? kHotkeyRefused
                                                                     : u"");
    RegisterProfileHotkeys();
}

HotkeyState MainWindow::RegisterProfileHotkeys(const std::u16string& name) {
    HotkeyState named = HotkeyState::Registered;
    if (!services_.systemEvents) return named;
    const Hotkey cycle = view_.HotkeyBox().Value();
    for (size_t slot = 1; slot <= std::max(profileSlots_, profiles_.size()); ++slot) {
        const bool profile = slot <= profiles_.size();
        HotkeyState state = services_.systemEvents->SetHotkey(
            static_cast<int>(slot), profile ? ProfileHotkey(profiles_, slot - 1, cycle) : Hotkey{});
        if (profile && profiles_[slot - 1].name == name) named = state;
    }
    profileSlots_ = profiles_.size();
    return named;
}

HotkeyState MainWindow::ProfilesChanged(const std::u16string& name) {
    profiles_ = profileStore_.Load();
    HotkeyState state = RegisterProfileHotkeys(name);
    CreatePopupMenu();
    return state;
}

std::vector<std::u16string> MainWindow::InputDeviceNames() {
    return services_.endpoints ? services_.endpoints->DeviceNames(WaveDirection::Input)
                               : std::vector<std::u16string>();
}

void MainWindow::OnProfilesBtnClick() {
    if (profilesEditor_) profilesEditor_->Open(DeviceRows(), InputDeviceNames());
}

// "New from device" takes the device selected in the list when it is clicked.
std::u16string MainWindow::SelectedDevice() {
    ListBoxControl& list = view_.DeviceList();
    int row = list.SelectedIndex();
    return row >= 0 ? list.ItemText(row) : u"";
}

// On from the device the menu marks as the default (for playback, or for
// recording when only that box is ticked) to the next row in the cycle whose
// device the system still lists; as a choice in the tray menu, and told beside
// the icon.
void MainWindow::OnHotkey(int slot) {
    if (slot > 0) {
        if (static_cast<size_t>(slot) <= profiles_.size()) ApplyProfile(profiles_[static_cast<size_t>(slot) - 1].name);
        return;
    }
    const int row = NextRowInCycle();
    if (row < 0) return;
    const std::u16string device = DeviceRows()[static_cast<size_t>(row)];
    if (ChooseDevice(device)) TellSwitched(device);
}

void MainWindow::TellSwitched(const std::u16string& device) { services_.tray.ShowNotification(kSwitchedTitle, device); }

int MainWindow::NextRowInCycle() {
    const std::vector<std::u16string> rows = DeviceRows(), present = OutputDeviceNames();
    std::vector<CycleRow> cycle;
    for (size_t i = 0; i < rows.size(); ++i)
        cycle.push_back({Trim(rows[i]), view_.CycleList().Ticked(static_cast<int>(i)),
                         std::find(present.begin(), present.end(), Trim(rows[i])) != present.end()});
    DefaultDevices defaults = CurrentDefaults();
    return NextCycleRow(cycle, Trim(view_.PlayCheck().Value() == 0 ? defaults.record : defaults.playback));
}

void MainWindow::OnDevicesChanged() {
    devicesChanged_ = true;
    FollowChange();
}

void MainWindow::OnDefaultDeviceChanged() { FollowChange(); }

void MainWindow::FollowChange() {
    if (!services_.systemEvents) return;
    if (std::optional<std::uint32_t> wait = pacer_.OnChange(services_.systemEvents->Ticks()))
        services_.systemEvents->StartTimer(*wait);
}

// What "Reload list of Soundcards" does, without the beep, once devices came or
// went; the menu's marks and the label follow a default changed elsewhere.
void MainWindow::OnTimer() {
    if (!services_.systemEvents) return;
    pacer_.OnReload(services_.systemEvents->Ticks());
    if (std::exchange(devicesChanged_, false)) {
        LoadDeviceList();
        if (profilesEditor_) profilesEditor_->Refresh(DeviceRows(), InputDeviceNames());
    }
    const DefaultDevices defaults = CurrentDefaults();
    ComposePopupMenu(defaults);
    if (defaults.playback != shownDevice_) ShowCurrentDevice(defaults.playback);
}

}  // namespace marvolt
