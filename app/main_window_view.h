#pragma once
// The settings window as its logic sees it: the controls it reads and writes,
// and the events it receives. The Win32 window and the test double implement
// MainWindowView and deliver MainWindowEvents.
#include <cstddef>
#include <cstdint>

#include "platform/ui.h"

namespace marvolt {

// Window class and control ids of the settings window. The class name is how a
// second instance finds the running one.
constexpr char16_t kMainWindowClass[] = u"ThunderRT5Form";

enum MainWindowControlId : int {
    kIdAlwaysOnTop1 = 1001,
    kIdCommand1 = 1002,       // "Hide >>"
    kIdFrame2 = 1003,         // "Startup"
    kIdAutoRunCheck = 1004,
    kIdStartupCombo = 1005,
    kIdStartupCheck = 1006,
    kIdFrame1 = 1007,
    kIdSetBtn = 1008,
    kIdDeviceList = 1009,
    kIdPlayCheck = 1010,
    kIdRecordCheck = 1011,
    kIdCurrentCardTxt = 1012,
    kIdExitBtn = 1013,
    kIdLabel1 = 1014,         // "Update" link
    kIdWebPage = 1015,        // "Homepage" link
    kIdFrame3 = 1016,         // "Cycle through"
    kIdHotkeyTxt = 1017,      // "Hotkey:"
    kIdHotkeyBox = 1018,
    kIdHotkeyNoteTxt = 1019,  // why the hotkey does not work
    kIdCycleList = 1020,
    kIdRolesChoice = 1021,    // which roles a switch sets
    kIdProfilesBtn = 1022,    // "Profiles ..."
};

class MainWindowView {
public:
    virtual ~MainWindowView() = default;
    virtual FormWindow& Window() = 0;
    virtual ListBoxControl& DeviceList() = 0;
    virtual ComboBoxControl& StartupCombo() = 0;
    virtual CheckBoxControl& PlayCheck() = 0;
    virtual CheckBoxControl& RecordCheck() = 0;
    virtual CheckBoxControl& StartupCheck() = 0;
    virtual CheckBoxControl& AutoRunCheck() = 0;
    virtual LabelControl& CurrentCardTxt() = 0;
    virtual HotkeyControl& HotkeyBox() = 0;
    virtual LabelControl& HotkeyNoteTxt() = 0;
    virtual CheckListControl& CycleList() = 0;
    // A drop-down list: its selected row is the choice.
    virtual ListBoxControl& RolesChoice() = 0;
};

class MainWindowEvents {
public:
    virtual ~MainWindowEvents() = default;
    virtual void OnPlayCheckClick() = 0;
    virtual void OnRecordCheckClick() = 0;
    virtual void OnStartupCheckClick() = 0;
    virtual void OnAutoRunCheckClick() = 0;
    virtual void OnStartupComboLostFocus() = 0;
    virtual void OnDeviceListDoubleClick() = 0;
    virtual void OnSetBtnClick() = 0;
    virtual void OnCommand1Click() = 0;   // "Hide >>"
    virtual void OnExitBtnClick() = 0;
    virtual void OnWebPageClick() = 0;
    virtual void OnLabel1Click() = 0;     // "Update"
    virtual void OnHotkeyBoxChange() = 0;
    virtual void OnCycleListClick() = 0;
    virtual void OnRolesChoiceChange() = 0;
    virtual void OnProfilesBtnClick() = 0;
    virtual void OnResize() = 0;
    // The close request: true cancels the close.
    virtual bool OnQueryUnload() = 0;
    virtual void OnUnload() = 0;
    // Data another process sent the window (WM_COPYDATA); the answer it gets.
    virtual long OnCommandMessage(std::uint32_t tag, const std::uint8_t* data, std::size_t size) = 0;
};

}  // namespace marvolt
