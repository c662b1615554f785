#pragma once
// The always-on-top pin as a Win32 child control: it draws the picture the logic
// chooses, carries the "Always on top" tooltip and passes mouse moves, the mouse
// leaving and clicks to its PinEvents. It is 21 x 20 pixels at 96 DPI, scaled with
// the screen's DPI, and keeps that size whatever size it is given.
#include <windows.h>

#include <memory>

#include "on_top/always_on_top.h"
#include "platform/win32/unique_handle.h"

namespace marvolt {

class PinControl : public PinPictureView {
public:
    // x, y: position in the parent's client area in 96-DPI pixels. Null when the
    // window cannot be created. Without `tooltip` the tooltip comes with AddTooltip.
    static std::unique_ptr<PinControl> Create(HWND parent, int controlId, int x, int y,
                                              PinEvents& events, bool tooltip = true);
    ~PinControl() override;
    PinControl(const PinControl&) = delete;
    PinControl& operator=(const PinControl&) = delete;

    HWND Handle() const { return window_.get(); }
    // Events may be bound after creation, once their receiver exists.
    void SetEvents(PinEvents& events) { events_ = &events; }
    void ShowPicture(PinPicture picture) override;
    PinPicture Picture() const { return picture_; }
    // Places the control at x, y (96-DPI pixels) with its size for `dpi`.
    void Place(int x, int y, int dpi);
    // The "Always on top" tooltip; it loads the common controls.
    void AddTooltip();

private:
    explicit PinControl(PinEvents& events) : events_(&events) {}
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc);

    PinEvents* events_;
    PinPicture picture_ = PinPicture::Disabled;
    bool trackingLeave_ = false;
    bool pressed_ = false;
    SIZE size_{};            // device pixels
    UniqueHwnd window_;
    UniqueHwnd tooltip_;
};

}  // namespace marvolt
