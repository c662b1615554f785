// MainWindow: start-up, the device list, switching and the options. The tray
// menu and the window's life cycle are in main_window_tray.cpp, the cycling
// hotkey and the system's device notifications in main_window_cycle.cpp.
#include "app/main_window.h"

#include <optional>
#include <vector>

#include "app/setting_names.h"
#include "platform/text.h"
#include "product.h"

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

constexpr char16_t kNoDeviceText[] = u"Please select an device";
constexpr char16_t kNoDeviceTitle[] = u"No Soundcard selected";
constexpr char16_t kNoRoleText[] =
    u"You have not selected Playback or Record!\r\r"
    u"You must select an input and/or output before you can set the device!";
constexpr char16_t kNoRoleTitle[] = u"Please select input/output first!";
constexpr char16_t kCurrentCardPrefix[] = u"Default Soundcard: ";
constexpr char16_t kCaptureUnchanged[] = u" (recording default unchanged)";
constexpr char16_t kSwitchFailedTitle[] = u"Default device not changed";
constexpr const char16_t* kRoleChoices[] = {u"Default and communications", u"Default only", u"Communications only"};

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

void MainWindow::RestoreRoleBoxes() {
    RestoreCheckBox(view_.PlayCheck(), services_.settings.GetAppSetting(kSettings, u"PlaybackCheck", u"1"), 1);
    RestoreCheckBox(view_.RecordCheck(), services_.settings.GetAppSetting(kSettings, u"RecordCheck", u"1"), 1);
}

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
    RestoreRoleBoxes();
    RestoreCheckBox(view_.StartupCheck(), settings.GetAppSetting(kSettings, u"StartupCheck", u"0"), 0);
    ListBoxControl& roles = view_.RolesChoice();
    for (const char16_t* choice : kRoleChoices) roles.AddItem(choice);
    roles.SetSelectedIndex(RoleChoice(settings.GetAppSetting(kSettings, kRoles, u"")));

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
    profiles_ = profileStore_.Load();
    RegisterProfileHotkeys();
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
    NumberSameNames(names);
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
    EndpointSwitch endpoint = SwitchTo(deviceName, play == 1, record == 1);
    if (endpoint.outcome == EndpointSwitch::Outcome::Failed) {
        TellRefusal(u"make \"" + deviceName + u"\" its default sound device", endpoint.error);
        return false;
    }
    return true;
}

EndpointSwitch MainWindow::SwitchTo(const std::u16string& deviceName, bool play, bool record) {
    // The Sound Mapper knows a device by the name the system reports.
    const std::u16string reported =
        services_.endpoints ? services_.endpoints->ReportedName(WaveDirection::Output, deviceName) : deviceName;
    if (record) services_.registry.WriteRegString(kCurrentUserName, kSoundMapperKey, u"Record", reported);
    if (play) services_.registry.WriteRegString(kCurrentUserName, kSoundMapperKey, u"Playback", reported);

    // Since Windows Vista the audio stack ignores the values just written: the
    // endpoint is switched too, and a refusal is told rather than covered by
    // the label and the tooltip.
    EndpointSwitch endpoint;
    if (services_.endpoints)
        endpoint = services_.endpoints->Switch(deviceName, play, record, kRoleChoiceMasks[RolesChoiceRow()]);
    if (endpoint.outcome == EndpointSwitch::Outcome::Failed) return endpoint;
    ShowCurrentDevice(deviceName);
    if (endpoint.captureUnchanged) view_.CurrentCardTxt().SetCaption(kCurrentCardPrefix + deviceName + kCaptureUnchanged);
    currentDevice_ = deviceName;
    return endpoint;
}

// The label and the tooltip name the profile's playback device where it set
// one: the Sound Mapper value is written only for a device that is there.
ProfileOutcome MainWindow::ApplyProfile(const std::u16string& name, bool tellRefusal) {
    for (const Profile& profile : profiles_) {
        if (Trim(profile.name) != Trim(name)) continue;
        std::int32_t error = 0;
        ProfileOutcome outcome = ProfileOutcome::Applied;
        if (services_.endpoints) outcome = SwitchProfile(profile, services_.registry, *services_.endpoints, error);
        const std::u16string& playback = profile.devices[kProfilePlayback];
        if (outcome == ProfileOutcome::Applied && services_.endpoints && !playback.empty() &&
            services_.registry.ReadRegPath(kPlaybackPath) ==
                services_.endpoints->ReportedName(WaveDirection::Output, playback)) {
            ShowCurrentDevice(playback);
            currentDevice_ = playback;
        }
        RefreshTray();
        if (outcome == ProfileOutcome::Applied)
            services_.tray.ShowNotification(u"Profile", Trim(profile.name));
        else if (tellRefusal)
            TellRefusal(u"switch to the profile \"" + Trim(profile.name) + u"\"", error);
        return outcome;
    }
    return ProfileOutcome::NotFound;
}

void MainWindow::TellRefusal(const std::u16string& what, std::int32_t error) {
    services_.messages.ShowMessage(u"Windows refused to " + what + u" (error 0x" + Hex(error) + u").",
                                   kSwitchFailedTitle, MessageButtons::Ok, MessageIcon::Critical);
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

// Where a switch reaches the endpoints, the marks show the system's defaults,
// whoever set them; elsewhere the Sound Mapper values.
DefaultDevices MainWindow::CurrentDefaults() {
    if (services_.endpoints)
        if (std::optional<DefaultDevices> system = services_.endpoints->CurrentDefaults()) return *system;
    // One device a side: it is the communications device as well.
    std::u16string playback = services_.registry.ReadRegPath(kPlaybackPath),
                   record = services_.registry.ReadRegPath(kRecordPath);
    return {playback, record, playback, record};
}

// --- Options -----------------------------------------------------------------

void MainWindow::OnPlayCheckClick() {
    services_.settings.SaveAppSetting(kSettings, u"PlaybackCheck", Decimal(view_.PlayCheck().Value()));
}

void MainWindow::OnRecordCheckClick() {
    services_.settings.SaveAppSetting(kSettings, u"RecordCheck", Decimal(view_.RecordCheck().Value()));
}

// The row chosen in the roles list; none chosen is the first.
int MainWindow::RolesChoiceRow() {
    int choice = view_.RolesChoice().SelectedIndex();
    return choice > 0 && choice < 3 ? choice : 0;
}

void MainWindow::OnRolesChoiceChange() {
    services_.settings.SaveAppSetting(kSettings, kRoles, kRoleChoiceTexts[RolesChoiceRow()]);
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

}  // namespace marvolt
