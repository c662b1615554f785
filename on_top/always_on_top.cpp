#include "on_top/always_on_top.h"

namespace marvolt {

namespace {
constexpr char16_t kSection[] = u"AlwaysOnTop";
constexpr char16_t kKey[] = u"OnTop";
constexpr char16_t kTrue[] = u"True";
constexpr char16_t kFalse[] = u"False";
}  // namespace

AlwaysOnTop::AlwaysOnTop(PinPictureView& view, PinContainer& container, TopLevelWindows& windows,
                         AppSettings& settings)
    : view_(view), container_(container), windows_(windows), settings_(settings) {
    Show(PinPicture::Disabled);
}

bool AlwaysOnTop::GetIsOnTop() { return onTop_; }

void AlwaysOnTop::SetToTop(bool recordAgain) {
    onTop_ = true;
    Show(PinPicture::Enabled);
    NativeHandle form = container_.ContainerWindow();
    // The state is recorded before the z-order changes, whatever SetWindowPos does.
    SaveSettings();
    windows_.SetTopmost(form, true);
    if (recordAgain) SaveSettings();
}

void AlwaysOnTop::SetToNormal(bool recordAgain) {
    onTop_ = false;
    // Unpinning leaves the hover picture: the pointer is usually still on the pin.
    Show(PinPicture::MouseMove);
    NativeHandle form = container_.ContainerWindow();
    SaveSettings();
    windows_.SetTopmost(form, false);
    if (recordAgain) SaveSettings();
}

void AlwaysOnTop::SaveSettings() {
    settings_.SaveAppSetting(kSection, kKey, onTop_ ? kTrue : kFalse);
}

void AlwaysOnTop::LoadSettings() {
    // Only a recorded "False" unpins; anything else, the default included, pins.
    if (settings_.GetAppSetting(kSection, kKey, kTrue) == kFalse) {
        SetToNormal(false);
    } else {
        SetToTop(false);
    }
}

void AlwaysOnTop::OnMouseMoveOverPicture(PinPicture visible) {
    if (visible == PinPicture::Disabled) Show(PinPicture::MouseMove);
}

void AlwaysOnTop::OnMouseLeave() {
    if (visible_ == PinPicture::MouseMove) Show(PinPicture::Disabled);
}

void AlwaysOnTop::OnClickPicture(PinPicture visible) {
    if (visible == PinPicture::Enabled) {
        SetToNormal(false);
    } else {
        SetToTop(false);
    }
}

void AlwaysOnTop::Show(PinPicture picture) {
    visible_ = picture;
    view_.ShowPicture(picture);
}

}  // namespace marvolt
