#pragma once
// A tray target that passes every call on to one bound later. The program makes
// the tray before the settings window's logic, which needs the tray: the tray
// gets this relay, bound to the logic before the message loop runs.
#include <string>

#include "tray/tray_target.h"

namespace marvolt {

class TrayTargetRelay final : public TrayTarget {
public:
    void Bind(TrayTarget& target) { target_ = &target; }

    void OnTrayMenu(const std::u16string& selected) override { target_->OnTrayMenu(selected); }
    NativeHandle IconHandle() override { return target_->IconHandle(); }
    std::u16string Caption() override { return target_->Caption(); }
    void SetVisible(bool visible) override { target_->SetVisible(visible); }
    void SetWindowStateNormal() override { target_->SetWindowStateNormal(); }
    WindowGeometry Geometry() override { return target_->Geometry(); }
    void SetGeometry(const WindowGeometry& geometry) override { target_->SetGeometry(geometry); }

private:
    TrayTarget* target_ = nullptr;
};

}  // namespace marvolt
