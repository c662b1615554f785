#pragma once
// The always-on-top pin: a 21 x 20 picture toggle that keeps its window topmost
// and records its state in the settings store (section "AlwaysOnTop", key "OnTop").
#include "on_top/topmost_pin.h"
#include "platform/native_handle.h"
#include "platform/top_level_windows.h"
#include "registry/app_settings.h"

namespace marvolt {

enum class PinPicture { Disabled, MouseMove, Enabled };  // idle, hover, pinned

// Shows exactly one of the three pictures.
class PinPictureView {
public:
    virtual ~PinPictureView() = default;
    virtual void ShowPicture(PinPicture picture) = 0;
};

// Mouse events of the pin control, delivered by its view.
class PinEvents {
public:
    virtual ~PinEvents() = default;
    virtual void OnMouseMoveOverPicture(PinPicture visible) = 0;
    virtual void OnMouseLeave() = 0;  // the pointer left the control's surface
    virtual void OnClickPicture(PinPicture visible) = 0;
};

// Gives the handle of the window the pin belongs to, looked up at each use.
class PinContainer {
public:
    virtual ~PinContainer() = default;
    virtual NativeHandle ContainerWindow() = 0;
};

class AlwaysOnTop : public TopmostPin, public PinEvents {
public:
    AlwaysOnTop(PinPictureView& view, PinContainer& container, TopLevelWindows& windows,
                AppSettings& settings);

    bool GetIsOnTop() override;
    void SetToTop(bool recordAgain = false) override;
    void SetToNormal(bool recordAgain = false) override;
    void SaveSettings();
    void LoadSettings();

    void OnMouseMoveOverPicture(PinPicture visible) override;
    void OnMouseLeave() override;
    void OnClickPicture(PinPicture visible) override;

    PinPicture VisiblePicture() const { return visible_; }

private:
    void Show(PinPicture picture);

    PinPictureView& view_;
    PinContainer& container_;
    TopLevelWindows& windows_;
    AppSettings& settings_;
    bool onTop_ = false;
    PinPicture visible_ = PinPicture::Disabled;
};

}  // namespace marvolt
