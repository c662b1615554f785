// MainWindow: the tray menu, the links, and the window's life cycle, which takes
// the tray icon down and puts it back.
#include <vector>

#include "app/main_window.h"
#include "app/tray_menu.h"
#include "platform/text.h"
#include "update/update_addresses.h"

namespace marvolt {

namespace {

constexpr char16_t kShutdownText[] = u"Shutdown Marvolt?";
constexpr char16_t kShutdownTitle[] = u"Exit program?";
constexpr char16_t kHiddenTipPrefix[] = u"current: ";
constexpr char16_t kSoundSettingsCommand[] = u"rundll32.exe shell32.dll,Control_RunDLL mmsys.cpl,,0";
constexpr char16_t kMixerCommand[] = u"sndvol32.exe";
// The mixer's name since Windows Vista.
constexpr char16_t kNewMixerCommand[] = u"sndvol.exe";
constexpr char16_t kUpdateQuestion[] = u"Check for a new Version?";
constexpr char16_t kUpdateTitle[] = u"Online Update";
constexpr char16_t kUpdaterName[] = u"Update.exe";

constexpr int kNormalFocused = 1;

}  // namespace

// --- Tray menu ---------------------------------------------------------------

void MainWindow::CreatePopupMenu() { ComposePopupMenu(CurrentDefaults()); }

void MainWindow::ComposePopupMenu(const DefaultDevices& defaults) {
    std::vector<std::u16string> profiles;
    for (const Profile& profile : profiles_) profiles.push_back(ProfileEntry(profile, ProfileActive(profile, defaults)));
    trayMenuString_ = ComposeTrayMenu(DeviceRows(), Trim(defaults.playback), Trim(defaults.record), profiles);
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

    // A profile's entry is never a device's, whatever the names.
    if (StartsWith(selected, kProfileEntryPrefix)) {
        int profile = FindChosenProfile(profiles_, selected);
        if (profile >= 0) ApplyProfile(profiles_[static_cast<size_t>(profile)].name);
        return;
    }
    std::vector<std::u16string> rows = DeviceRows();
    int row = FindChosenDevice(rows, selected);
    if (row >= 0) ChooseDevice(rows[static_cast<size_t>(row)]);
}

bool MainWindow::ChooseDevice(const std::u16string& device) {
    bool set = SetDevice(device);
    RefreshTray();
    return set;
}

void MainWindow::RefreshTray() {
    CreatePopupMenu();
    // Re-adding the icon is what gives it the new tooltip.
    services_.tray.RemoveTrayIcon();
    services_.tray.AddTrayIcon(*this, currentDevice_, true, *this, u"");
    services_.beeper.DefaultBeep();
}

std::vector<std::pair<std::u16string, bool>> MainWindow::ProfileStates() {
    const DefaultDevices defaults = CurrentDefaults();
    std::vector<std::pair<std::u16string, bool>> states;
    for (const Profile& profile : profiles_) states.emplace_back(Trim(profile.name), ProfileActive(profile, defaults));
    return states;
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
