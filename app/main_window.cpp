#include "app/main_window.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "app/tray_menu.h"
#include "platform/text.h"
#include "product.h"
#include "update/update_addresses.h"

namespace marvolt {

namespace {

constexpr char16_t kProductName[] = u"" MARVOLT_PRODUCT;
constexpr char16_t kVersion[] = u"" MARVOLT_VERSION;

constexpr char16_t kCurrentUserName[] = u"HKEY_CURRENT_USER";
constexpr char16_t kSoundMapperKey[] = u"Software\\Microsoft\\Multimedia\\Sound Mapper";
constexpr char16_t kPlaybackPath[] = u"HKEY_CURRENT_USER\\Software\\Microsoft\\Multimedia\\Sound Mapper\\Playback";
constexpr char16_t kRecordPath[] = u"HKEY_CURRENT_USER\\Software\\Microsoft\\Multimedia\\Sound Mapper\\Record";
constexpr char16_t kRunKey[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char16_t kRunPath[] = u"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\";

// Read with this default, a value that comes back unchanged is absent.
constexpr std::int32_t kAbsentDword = -32;

constexpr char16_t kSettings[] = u"Settings";
constexpr char16_t kCycleHotkey[] = u"CycleHotkey";
// One value a device, named after it: "0" takes it out of the cycle.
constexpr char16_t kCycleThrough[] = u"CycleThrough";

constexpr char16_t kNoDeviceText[] = u"Please select an device";
constexpr char16_t kNoDeviceTitle[] = u"No Soundcard selected";
constexpr char16_t kNoRoleText[] =
    u"You have not selected Playback or Record!\r\r"
    u"You must select an input and/or output before you can set the device!";
constexpr char16_t kNoRoleTitle[] = u"Please select input/output first!";
constexpr char16_t kShutdownText[] = u"Shutdown Marvolt?";
constexpr char16_t kShutdownTitle[] = u"Exit program?";
constexpr char16_t kCurrentCardPrefix[] = u"Default Soundcard: ";
constexpr char16_t kHiddenTipPrefix[] = u"current: ";
constexpr char16_t kHotkeyTaken[] = u"Taken by another program";
constexpr char16_t kHotkeyRefused[] = u"Windows refused this hotkey";
constexpr char16_t kSwitchedTitle[] = u"Default Soundcard";

constexpr char16_t kSoundSettingsCommand[] = u"rundll32.exe shell32.dll,Control_RunDLL mmsys.cpl,,0";
constexpr char16_t kMixerCommand[] = u"sndvol32.exe";
// The mixer's name since Windows Vista.
constexpr char16_t kNewMixerCommand[] = u"sndvol.exe";
constexpr char16_t kCaptureUnchanged[] = u" (recording default unchanged)";
constexpr char16_t kSwitchFailedTitle[] = u"Default device not changed";
constexpr char16_t kUpdateQuestion[] = u"Check for a new Version?";
constexpr char16_t kUpdateTitle[] = u"Online Update";
constexpr char16_t kUpdaterName[] = u"Update.exe";
constexpr int kNormalFocused = 1;

std::u16string RunValueName() { return kProductName; }

std::u16string Hex(std::int32_t number) {
    std::u16string text;
    auto bits = static_cast<std::uint32_t>(number);
    for (int shift = 28; shift >= 0; shift -= 4) text += u"0123456789ABCDEF"[(bits >> shift) & 15];
    return text;
}

// A stored option is a check-box value only when it is 0 or 1; anything else
// (another program's value, a damaged one) reads as the option's default.
void RestoreCheckBox(CheckBoxControl& box, const std::u16string& stored, int fallback) {
    long long number = 0;
    bool valid = ParseInteger(stored, number) && (number == 0 || number == 1);
    box.SetValue(valid ? static_cast<int>(number) : fallback);
}

}  // namespace

MainWindow::MainWindow(MainWindowView& view, const MainWindowServices& services)
    : view_(view), services_(services) {}

void MainWindow::Load() {
    services_.instanceGuard.CheckPrevInstance(u"", u"");

    services_.pin.SetToTop();
    FormWindow& window = view_.Window();
    window.SetVisible(false);
    window.SetCaption(std::u16string(kProductName) + u" Vers. " + kVersion);

    LoadDeviceList();

    Registry& registry = services_.registry;
    struct FirstValue {
        const char16_t* name;
        std::int32_t value;
    };
    for (const FirstValue& first : {FirstValue{u"PreferredOnly", 1}, FirstValue{u"SetupPreferredAudioDevicesCount", 3}}) {
        if (registry.ReadRegDword(kCurrentUserName, kSoundMapperKey, first.name, kAbsentDword) != kAbsentDword)
            continue;
        // A value of another form (a text, a longer binary) also reads as the
        // marker, but it is someone else's: only an absent one is created.
        std::optional<std::uint32_t> type = registry.RegValueType(kCurrentUserName, kSoundMapperKey, first.name);
        if (!type || *type == kRegDword)
            registry.WriteRegDword(kCurrentUserName, kSoundMapperKey, first.name, first.value);
    }
    ListBoxControl& list = view_.DeviceList();
    std::u16string firstRow = list.Count() > 0 ? list.ItemText(0) : std::u16string();
    if (registry.ReadRegPath(kRecordPath).empty())
        registry.WriteRegString(kCurrentUserName, kSoundMapperKey, u"Record", firstRow);
    if (registry.ReadRegPath(kPlaybackPath).empty())
        registry.WriteRegString(kCurrentUserName, kSoundMapperKey, u"Playback", firstRow);

    AppSettings& settings = services_.settings;
    RestoreCheckBox(view_.PlayCheck(), settings.GetAppSetting(kSettings, u"PlaybackCheck", u"1"), 1);
    RestoreCheckBox(view_.RecordCheck(), settings.GetAppSetting(kSettings, u"RecordCheck", u"1"), 1);
    RestoreCheckBox(view_.StartupCheck(), settings.GetAppSetting(kSettings, u"StartupCheck", u"0"), 0);

    ComboBoxControl& combo = view_.StartupCombo();
    if (view_.StartupCheck().Value() == 1) {
        combo.SetVisible(true);
        SetDevice(combo.Text());
    } else {
        combo.SetVisible(false);
    }

    bool autoRun = !registry.ReadRegPath(kRunPath + RunValueName()).empty();
    view_.AutoRunCheck().SetValue(autoRun ? 1 : 0);

    ShowCurrentDevice(currentDevice_);
    for (int i = 0, count = list.Count(); i < count; ++i)
        if (list.ItemText(i) == currentDevice_) list.SetSelectedIndex(i);

    services_.tray.AddTrayIcon(*this, currentDevice_, true, *this, u"");
    CreatePopupMenu();
    trayIconActive_ = true;

    // Last, with the program up: a hotkey that another program holds changes
    // nothing but the note beside the hotkey box.
    std::optional<Hotkey> hotkey =
        ParseHotkey(settings.GetAppSetting(kSettings, kCycleHotkey, HotkeyText(kDefaultCycleHotkey)));
    view_.HotkeyBox().SetValue(hotkey ? *hotkey : kDefaultCycleHotkey);
    if (services_.systemEvents) services_.systemEvents->Listen(*this);
    RegisterHotkey(view_.HotkeyBox().Value());
}

// --- Device list -------------------------------------------------------------

void MainWindow::LoadDeviceList() {
    ListBoxControl& list = view_.DeviceList();
    list.Clear();
    for (const std::u16string& name : OutputDeviceNames()) list.AddItem(name);

    ComboBoxControl& combo = view_.StartupCombo();
    combo.Clear();
    const int rows = list.Count();
    for (int i = 0; i < rows; ++i) combo.AddItem(list.ItemText(i));

    // A stored device that has gone stays visible by name: the combo is editable.
    std::u16string stored = services_.settings.GetAppSetting(kSettings, u"StartupDevice", u"");
    if (stored.empty())
        combo.SetText(rows > 0 ? list.ItemText(0) : std::u16string());
    else
        combo.SetText(stored);
    FillCycleList();
}

std::vector<std::u16string> MainWindow::OutputDeviceNames() {
    std::vector<std::u16string> names;
    // The count arrives unsigned; a value beyond the signed range lists nothing.
    auto count = static_cast<std::int32_t>(services_.soundDevices.OutputDeviceCount());
    for (std::int32_t id = 0; id < count; ++id) {
        std::u16string field;
        if (services_.soundDevices.OutputDeviceName(static_cast<std::uint32_t>(id), field) != 0) continue;
        size_t nul = field.find(u'\0');
        if (nul != std::u16string::npos) field.resize(nul);
        names.push_back(Trim(field));
    }
    return names;
}

void MainWindow::GetDevices() {}

std::vector<std::u16string> MainWindow::DeviceRows() {
    ListBoxControl& list = view_.DeviceList();
    std::vector<std::u16string> rows;
    for (int i = 0, count = list.Count(); i < count; ++i) rows.push_back(list.ItemText(i));
    return rows;
}

// --- Switching ---------------------------------------------------------------

bool MainWindow::SetDevice(const std::u16string& deviceName) {
    if (deviceName.empty()) {
        services_.messages.ShowMessage(kNoDeviceText, kNoDeviceTitle, MessageButtons::Ok,
                                       MessageIcon::Information);
        return false;
    }
    int play = view_.PlayCheck().Value();
    int record = view_.RecordCheck().Value();
    if (play == 0 && record == 0) {
        services_.messages.ShowMessage(kNoRoleText, kNoRoleTitle, MessageButtons::Ok,
                                       MessageIcon::Information);
        // Called from the tray the window may be hidden: bring it back so the
        // user can tick a box.
        view_.Window().SetState(WindowState::Normal);
        view_.Window().SetVisible(true);
        ShowCurrentDevice(CurrentDefaults().playback);
        return false;
    }
    if (record == 1) services_.registry.WriteRegString(kCurrentUserName, kSoundMapperKey, u"Record", deviceName);
    if (play == 1) services_.registry.WriteRegString(kCurrentUserName, kSoundMapperKey, u"Playback", deviceName);

    // Since Windows Vista the audio stack ignores the values just written: the
    // endpoint is switched too, and a refusal is told rather than covered by
    // the label and the tooltip.
    EndpointSwitch endpoint;
    if (services_.endpoints) endpoint = services_.endpoints->Switch(deviceName, play == 1, record == 1);
    if (endpoint.outcome == EndpointSwitch::Outcome::Failed) {
        services_.messages.ShowMessage(u"Windows refused to make \"" + deviceName + u"\" its default sound device (error 0x" +
                                           Hex(endpoint.error) + u").",
                                       kSwitchFailedTitle, MessageButtons::Ok, MessageIcon::Critical);
        return false;
    }
    ShowCurrentDevice(deviceName);
    if (endpoint.captureUnchanged) view_.CurrentCardTxt().SetCaption(kCurrentCardPrefix + deviceName + kCaptureUnchanged);
    currentDevice_ = deviceName;
    return true;
}

void MainWindow::ShowCurrentDevice(const std::u16string& name) {
    view_.CurrentCardTxt().SetCaption(kCurrentCardPrefix + name);
    shownDevice_ = name;

    std::u16string key = Trim(name);
    if (key.empty()) return;
    ListBoxControl& list = view_.DeviceList();
    const int count = list.Count();
    // The row that is the device wins over rows that merely contain its name
    // ("Speakers" must not select "Speakers 2").
    int chosen = -1;
    for (int i = 0; i < count; ++i)
        if (Trim(list.ItemText(i)) == key) chosen = i;
    if (chosen < 0)
        for (int i = 0; i < count; ++i)
            if (Contains(list.ItemText(i), key)) chosen = i;
    if (chosen >= 0) list.SetSelectedIndex(chosen);
}

void MainWindow::OnDeviceListDoubleClick() {
    ListBoxControl& list = view_.DeviceList();
    int selected = list.SelectedIndex();
    SetDevice(selected >= 0 ? list.ItemText(selected) : std::u16string());
    CreatePopupMenu();
}

void MainWindow::OnSetBtnClick() { OnDeviceListDoubleClick(); }

// --- Options -----------------------------------------------------------------

void MainWindow::OnPlayCheckClick() {
    services_.settings.SaveAppSetting(kSettings, u"PlaybackCheck", Decimal(view_.PlayCheck().Value()));
}

void MainWindow::OnRecordCheckClick() {
    services_.settings.SaveAppSetting(kSettings, u"RecordCheck", Decimal(view_.RecordCheck().Value()));
}

void MainWindow::OnStartupCheckClick() {
    std::u16string value = Decimal(view_.StartupCheck().Value());
    services_.settings.SaveAppSetting(kSettings, u"StartupCheck", value);
    view_.StartupCombo().SetVisible(value == u"1");
}

void MainWindow::OnStartupComboLostFocus() {
    services_.settings.SaveAppSetting(kSettings, u"StartupDevice", view_.StartupCombo().Text());
}

void MainWindow::OnAutoRunCheckClick() {
    Registry& registry = services_.registry;
    if (view_.AutoRunCheck().Value() != 0) {
        // Rewritten on every tick, so a moved program repairs its entry at start.
        std::u16string path = services_.identity.ProgramFolder();
        if (!EndsWith(path, u"\\")) path += u'\\';
        path += services_.identity.ExeBaseName() + u".exe";
        if (Contains(path, u" ")) path = u"\"" + path + u"\"";
        registry.WriteRegString(kCurrentUserName, kRunKey, RunValueName(), path);
    } else if (!registry.ReadRegPath(kRunPath + RunValueName()).empty()) {
        registry.DeleteRegValue(kCurrentUserName, kRunKey, RunValueName());
    }
}

// --- Tray menu ---------------------------------------------------------------

// Where a switch reaches the endpoints, the marks show the system's defaults,
// whoever set them; elsewhere the Sound Mapper values.
DefaultDevices MainWindow::CurrentDefaults() {
    if (services_.endpoints)
        if (std::optional<DefaultDevices> system = services_.endpoints->CurrentDefaults()) return *system;
    return {services_.registry.ReadRegPath(kPlaybackPath), services_.registry.ReadRegPath(kRecordPath)};
}

void MainWindow::CreatePopupMenu() { ComposePopupMenu(CurrentDefaults()); }

void MainWindow::ComposePopupMenu(const DefaultDevices& defaults) {
    trayMenuString_ = ComposeTrayMenu(DeviceRows(), Trim(defaults.playback), Trim(defaults.record));
    services_.tray.ChangePopupMenuString(trayMenuString_);
    trayIconActive_ = true;
}

void MainWindow::OnTrayMenu(const std::u16string& selected) {
    if (selected == u"Homepage ...") {
        OnWebPageClick();
        return;
    }
    if (selected == u"Settings ..." || selected == u"Einstellungen ...") {
        ShowCurrentDevice(CurrentDefaults().playback);
        view_.Window().SetState(WindowState::Normal);
        view_.Window().SetVisible(true);
        return;
    }
    if (selected == u"Reload list of Soundcards" || selected == u"Soundkarten neu einlesen") {
        LoadDeviceList();
        CreatePopupMenu();
        services_.beeper.DefaultBeep();
        return;
    }
    if (selected == u"Windows audio settings ..." || selected == u"Windows Audio Einstellungen ...") {
        services_.launcher.StartProcess(kSoundSettingsCommand, kNormalFocused);
        return;
    }
    if (selected == u"Windows audio mixer ..." || selected == u"Windows Audio Mixer ...") {
        if (services_.launcher.StartProcess(kMixerCommand, kNormalFocused) == 0)
            services_.launcher.StartProcess(kNewMixerCommand, kNormalFocused);
        return;
    }
    if (selected == u"Exit" || selected == u"Beenden") {
        services_.tray.RemoveTrayIcon();
        services_.processEnd.EndNow();
    }

    std::vector<std::u16string> rows = DeviceRows();
    int row = FindChosenDevice(rows, selected);
    if (row >= 0) ChooseDevice(rows[static_cast<size_t>(row)]);
}

bool MainWindow::ChooseDevice(const std::u16string& device) {
    bool set = SetDevice(device);
    CreatePopupMenu();
    // Re-adding the icon is what gives it the new tooltip.
    services_.tray.RemoveTrayIcon();
    services_.tray.AddTrayIcon(*this, currentDevice_, true, *this, u"");
    services_.beeper.DefaultBeep();
    return set;
}

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

void MainWindow::RegisterHotkey(const Hotkey& hotkey) {
    if (!services_.systemEvents) return;
    HotkeyState state = services_.systemEvents->SetHotkey(hotkey);
    view_.HotkeyNoteTxt().SetCaption(state == HotkeyState::Taken     ? kHotkeyTaken
                                     : state == HotkeyState::Refused ? kHotkeyRefused
                                                                     : u"");
}

// On from the device the menu marks as the default (for playback, or for
// recording when only that box is ticked) to the next row in the cycle whose
// device the system still lists; as a choice in the tray menu, and told beside
// the icon.
void MainWindow::OnHotkey() {
    const std::vector<std::u16string> rows = DeviceRows(), present = OutputDeviceNames();
    std::vector<CycleRow> cycle;
    for (size_t i = 0; i < rows.size(); ++i)
        cycle.push_back({Trim(rows[i]), view_.CycleList().Ticked(static_cast<int>(i)),
                         std::find(present.begin(), present.end(), Trim(rows[i])) != present.end()});
    DefaultDevices defaults = CurrentDefaults();
    int row = NextCycleRow(cycle, Trim(view_.PlayCheck().Value() == 0 ? defaults.record : defaults.playback));
    if (row < 0) return;
    const std::u16string& device = rows[static_cast<size_t>(row)];
    if (ChooseDevice(device)) services_.tray.ShowNotification(kSwitchedTitle, device);
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
    if (std::exchange(devicesChanged_, false)) LoadDeviceList();
    const DefaultDevices defaults = CurrentDefaults();
    ComposePopupMenu(defaults);
    if (defaults.playback != shownDevice_) ShowCurrentDevice(defaults.playback);
}

// --- Links -------------------------------------------------------------------

void MainWindow::OnWebPageClick() {
    services_.documents.OpenDocument(ReadUpdateAddresses(services_.settings).homepage, kNormalFocused);
}

// The updater is told the running program's full path, so that it replaces this
// file wherever the program was started from. When the hand-over fails (it has
// told the user why), the tray icon and its menu come back at once.
void MainWindow::OnLabel1Click() {
    if (services_.messages.ShowMessage(kUpdateQuestion, kUpdateTitle, MessageButtons::YesNo,
                                       MessageIcon::Question) == MessageAnswer::No)
        return;
    services_.tray.RemoveTrayIcon();
    services_.tray.Unload();
    UpdateAddresses addresses = ReadUpdateAddresses(services_.settings);
    std::u16string folder = services_.identity.ProgramFolder();
    if (!folder.empty() && folder.back() != u'\\') folder += u'\\';
    std::u16string self = folder + services_.identity.ExeBaseName() + u".exe";
    if (updateHandover_ &&
        updateHandover_->DownloadUpdateWithUpdater(addresses.newProgram, self, kUpdaterName, addresses.updater))
        return;
    services_.tray.AddTrayIcon(*this, currentDevice_, true, *this, u"");
    CreatePopupMenu();
}

// --- Window life cycle -------------------------------------------------------

void MainWindow::OnResize() {
    if (view_.Window().State() != WindowState::Minimized) return;
    view_.Window().SetVisible(false);
    services_.tray.AddTrayIcon(*this, kHiddenTipPrefix + currentDevice_, true, *this, u"");
    CreatePopupMenu();
}

void MainWindow::OnCommand1Click() { view_.Window().SetState(WindowState::Minimized); }

bool MainWindow::OnQueryUnload() {
    FormWindow& window = view_.Window();
    if (window.State() != WindowState::Minimized && window.Visible()) {
        MessageAnswer answer = services_.messages.ShowMessage(kShutdownText, kShutdownTitle,
                                                              MessageButtons::YesNo, MessageIcon::Question);
        if (answer == MessageAnswer::No) {
            window.SetState(WindowState::Minimized);
            return true;
        }
    }
    TakeDownTray();
    return false;
}

void MainWindow::OnUnload() { TakeDownTray(); }

void MainWindow::TakeDownTray() {
    if (!trayIconActive_) return;
    services_.tray.RemoveTrayIcon();
    services_.tray.Unload();
    trayIconActive_ = false;
}

void MainWindow::OnExitBtnClick() {
    MessageAnswer answer = services_.messages.ShowMessage(kShutdownText, kShutdownTitle, MessageButtons::YesNo,
                                                          MessageIcon::Question);
    if (answer == MessageAnswer::No) return;
    CloseHelperForms();
    services_.processEnd.EndNow();
}

void MainWindow::CloseHelperForms() {
    services_.tray.RemoveTrayIcon();
    services_.tray.Unload();
    trayIconActive_ = false;
}

// --- TrayTarget --------------------------------------------------------------

NativeHandle MainWindow::IconHandle() { return view_.Window().IconHandle(); }
std::u16string MainWindow::Caption() { return view_.Window().Caption(); }
void MainWindow::SetVisible(bool visible) { view_.Window().SetVisible(visible); }
void MainWindow::SetWindowStateNormal() { view_.Window().SetState(WindowState::Normal); }
WindowGeometry MainWindow::Geometry() { return view_.Window().Geometry(); }
void MainWindow::SetGeometry(const WindowGeometry& geometry) { view_.Window().SetGeometry(geometry); }

}  // namespace marvolt
