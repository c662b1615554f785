#pragma once
// The settings window's logic: device list, switching, options, the tray menu's
// content and handling, start-up and the window's life cycle.
#include <string>
#include <utility>
#include <vector>

#include "app/device_cycle.h"
#include "app/main_window_view.h"
#include "audio/default_endpoint.h"
#include "command_line/command_runner.h"
#include "instance/instance_guard.h"
#include "on_top/topmost_pin.h"
#include "platform/app_identity.h"
#include "platform/beeper.h"
#include "platform/message_service.h"
#include "platform/process_end.h"
#include "platform/process_launcher.h"
#include "platform/sound_devices.h"
#include "platform/system_events.h"
#include "profiles/profiles.h"
#include "profiles/profiles_editor.h"
#include "registry/app_settings.h"
#include "registry/registry.h"
#include "shell/document_opener.h"
#include "tray/tray_icon.h"
#include "tray/tray_target.h"
#include "update/files_download.h"

namespace marvolt {

struct MainWindowServices {
    Registry& registry;
    AppSettings& settings;
    SoundDevices& soundDevices;
    MessageService& messages;
    AppIdentity& identity;
    ProcessLauncher& launcher;
    Beeper& beeper;
    ProcessEnd& processEnd;
    InstanceGuard& instanceGuard;
    TopmostPin& pin;
    TrayIcon& tray;
    DocumentOpener& documents;
    // Null where only the Sound Mapper values are written.
    DefaultEndpoint* endpoints = nullptr;
    // The cycling hotkey and the device notifications; null: neither.
    SystemEvents* systemEvents = nullptr;
};

class MainWindow : public MainWindowEvents,
                   public TrayTarget,
                   public SystemEventsListener,
                   public CommandTarget,
                   public ProfilesOwner {
  public:
    MainWindow(MainWindowView& view, const MainWindowServices& services);

    // The "Update" link hands over through this one; without it, the update fails.
    void SetUpdateHandover(UpdateHandover* handover) { updateHandover_ = handover; }
    // "Profiles ..." opens this one; without it, nothing.
    void SetProfilesEditor(ProfilesEditor* editor) { profilesEditor_ = editor; }

    // The start-up sequence; the window's load handler.
    void Load();
    // Instead of Load in a start that carries out a command and ends: the device
    // list and the role boxes as stored; no tray icon, no start-up device.
    void LoadForCommand();

    // Public methods that other windows call.
    // True when the device was written and shown.
    bool SetDevice(const std::u16string& deviceName);
    void GetDevices();
    void CreatePopupMenu();
    void OnTrayMenu(const std::u16string& selected) override;
    // Switches to the profile of that name (blanks around it don't count) as
    // its tray entry does; a refusal is told as a device's is.
    ProfileOutcome ApplyProfile(const std::u16string& name, bool tellRefusal = true);
    // Each profile's name, in menu order, and whether it is active.
    std::vector<std::pair<std::u16string, bool>> ProfileStates();

    // MainWindowEvents
    void OnPlayCheckClick() override;
    void OnRecordCheckClick() override;
    void OnStartupCheckClick() override;
    void OnAutoRunCheckClick() override;
    void OnStartupComboLostFocus() override;
    void OnDeviceListDoubleClick() override;
    void OnSetBtnClick() override;
    void OnCommand1Click() override;
    void OnExitBtnClick() override;
    void OnWebPageClick() override;
    void OnLabel1Click() override;
    void OnHotkeyBoxChange() override;
    void OnCycleListClick() override;
    void OnRolesChoiceChange() override;
    void OnProfilesBtnClick() override;
    void OnResize() override;
    bool OnQueryUnload() override;
    void OnUnload() override;
    long OnCommandMessage(std::uint32_t tag, const std::uint8_t* data, std::size_t size) override;

    // CommandTarget
    int RunCommand(const Command& command) override;
    std::vector<std::u16string> ListLines() override;

    // TrayTarget
    NativeHandle IconHandle() override;
    std::u16string Caption() override;
    void SetVisible(bool visible) override;
    void SetWindowStateNormal() override;
    WindowGeometry Geometry() override;
    void SetGeometry(const WindowGeometry& geometry) override;

    // SystemEventsListener
    void OnHotkey(int slot) override;
    void OnDevicesChanged() override;
    void OnDefaultDeviceChanged() override;
    void OnTimer() override;

    // ProfilesOwner
    HotkeyState ProfilesChanged(const std::u16string& name) override;
    Hotkey CycleHotkey() override { return view_.HotkeyBox().Value(); }
    std::u16string SelectedDevice() override;

    const std::u16string& CurrentDevice() const { return currentDevice_; }
    const std::u16string& TrayMenuString() const { return trayMenuString_; }
    bool TrayIconActive() const { return trayIconActive_; }

  private:
    void LoadDeviceList();
    void RestoreRoleBoxes();
    // The Sound Mapper values, then the endpoints; the label and the current
    // device follow unless Windows refused.
    EndpointSwitch SwitchTo(const std::u16string& deviceName, bool play, bool record);
    // The row the cycling hotkey goes to next; -1 for none.
    int NextRowInCycle();
    // The notification beside the icon that names the device switched to.
    void TellSwitched(const std::u16string& device);
    void ShowCurrentDevice(const std::u16string& name);
    void CloseHelperForms();
    // Removes the icon and the tray window while they are up.
    void TakeDownTray();
    std::vector<std::u16string> DeviceRows();
    // The output devices' names as the list shows them, in device order.
    std::vector<std::u16string> OutputDeviceNames();
    // The current defaults, as the menu marks them and the label names them.
    DefaultDevices CurrentDefaults();
    // The tray menu for these defaults.
    void ComposePopupMenu(const DefaultDevices& defaults);
    // What choosing a device entry of the tray menu does; true when it was set.
    bool ChooseDevice(const std::u16string& device);
    void FillCycleList();
    // The tray's menu and tooltip after a switch, with a beep.
    void RefreshTray();
    // "Windows refused to <what> (error 0x...)."
    void TellRefusal(const std::u16string& what, std::int32_t error);
    int RolesChoiceRow();
    // The cycle's hotkey (slot 0), then the profiles' (slot 1 and on).
    void RegisterHotkey(const Hotkey& hotkey);
    // How the hotkey of the profile named fared.
    HotkeyState RegisterProfileHotkeys(const std::u16string& name = u"");
    // The recording devices as the profiles name them.
    std::vector<std::u16string> InputDeviceNames();
    void FollowChange();

    MainWindowView& view_;
    MainWindowServices services_;
    std::u16string trayMenuString_;  // M_TrayMenuString
    std::u16string currentDevice_;   // M_CurrentDevice
    bool trayIconActive_ = false;    // M_TrayIconActive
    std::u16string shownDevice_;     // the name the label shows
    ChangePacer pacer_;
    bool devicesChanged_ = false;  // since the last reload
    UpdateHandover* updateHandover_ = nullptr;
    ProfileStore profileStore_{services_.registry};
    std::vector<Profile> profiles_;  // as last read, in name order
    size_t profileSlots_ = 0;        // hotkey slots the profiles had
    ProfilesEditor* profilesEditor_ = nullptr;
};

}  // namespace marvolt
