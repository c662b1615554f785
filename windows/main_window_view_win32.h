#pragma once
// The settings window on Win32: window class "ThunderRT5Form", the controls of
// the settings window, and their events delivered to MainWindowEvents.
#include <windows.h>

#include <array>
#include <memory>
#include <utility>

#include "app/main_window_view.h"
#include "on_top/always_on_top.h"
#include "platform/win32/unique_handle.h"
#include "windows/cycle_controls_win32.h"
#include "windows/pin_control.h"
#include "windows/ui_controls_win32.h"

namespace marvolt {

class MainWindowViewWin32 final : public MainWindowView, public PinContainer {
public:
    // Creates the window hidden and with an empty caption; its controls are
    // made when it is first shown. endLoopOnDestroy:
    // the window's end ends the thread's message loop (the program's main
    // window). Null when the window cannot be created.
    static std::unique_ptr<MainWindowViewWin32> Create(HINSTANCE instance, bool endLoopOnDestroy = true);
    ~MainWindowViewWin32() override;
    MainWindowViewWin32(const MainWindowViewWin32&) = delete;
    MainWindowViewWin32& operator=(const MainWindowViewWin32&) = delete;

    // Events may be bound after creation, once their receiver exists; null unbinds.
    void SetEvents(MainWindowEvents* events) { events_ = events; }

    HWND Hwnd() const { return window_; }
    // The always-on-top pin; null if its window could not be created.
    PinControl* Pin() { return pin_.get(); }

    // Makes the controls now, if the window has not been shown yet.
    void MakeControls();

    // Keyboard navigation (Tab, arrows, Space) for a message taken from the
    // thread's queue: true when the message was handled and must not be
    // dispatched again.
    bool PreTranslate(MSG& message);

    // MainWindowView
    FormWindow& Window() override { return form_; }
    ListBoxControl& DeviceList() override { return deviceList_; }
    ComboBoxControl& StartupCombo() override { return startupCombo_; }
    CheckBoxControl& PlayCheck() override { return playCheck_; }
    CheckBoxControl& RecordCheck() override { return recordCheck_; }
    CheckBoxControl& StartupCheck() override { return startupCheck_; }
    CheckBoxControl& AutoRunCheck() override { return autoRunCheck_; }
    LabelControl& CurrentCardTxt() override { return currentCardTxt_; }
    HotkeyControl& HotkeyBox() override { return hotkeyBox_; }
    LabelControl& HotkeyNoteTxt() override { return hotkeyNoteTxt_; }
    CheckListControl& CycleList() override { return cycleList_; }
    ListBoxControl& RolesChoice() override { return rolesChoice_; }

    // PinContainer: the pin keeps this window on top.
    NativeHandle ContainerWindow() override { return reinterpret_cast<NativeHandle>(window_); }

private:
    class NoPinEvents final : public PinEvents {
        void OnMouseMoveOverPicture(PinPicture) override {}
        void OnMouseLeave() override {}
        void OnClickPicture(PinPicture) override {}
    };

    explicit MainWindowViewWin32(bool endLoopOnDestroy) : endLoopOnDestroy_(endLoopOnDestroy) {}
    void SetIcons(HINSTANCE instance);
    // Each control's wrapper with the control's id.
    std::array<std::pair<ControlWin32*, int>, 11> Wrappers();
    // Sizes the window, its fonts and every control for `dpi`.
    void LayOut(int dpi);
    void SizeLinksToText(int dpi);
    bool IsLink(HWND control) const { return control && (control == label1_ || control == webPage_); }

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id, int code);
    void ReportHotkeyChange(UINT message = 0, WPARAM key = 0);

    bool endLoopOnDestroy_;
    bool controlsMade_ = false;
    HWND window_ = nullptr;
    MainWindowEvents* events_ = nullptr;
    NoPinEvents noPinEvents_;
    HWND focusBeforeDeactivation_ = nullptr;
    HWND label1_ = nullptr;
    HWND webPage_ = nullptr;

    FormWindowWin32 form_;
    ListBoxWin32 deviceList_;
    ComboBoxWin32 startupCombo_;
    CheckBoxWin32 playCheck_, recordCheck_, startupCheck_, autoRunCheck_;
    LabelWin32 currentCardTxt_, hotkeyNoteTxt_;
    HotkeyWin32 hotkeyBox_;
    CheckListWin32 cycleList_;
    ListBoxWin32 rolesChoice_{true};

    UniqueHgdiobj messageFont_;
    UniqueHgdiobj linkFont_;
    UniqueHicon bigIcon_;
    UniqueHicon smallIcon_;
    std::unique_ptr<PinControl> pin_;
};

}  // namespace marvolt
