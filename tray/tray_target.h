#pragma once
// The window that the tray icon belongs to (the main window): it lends its icon,
// is restored by a double click, and receives the chosen menu entries.
#include <string>

#include "platform/native_handle.h"
#include "platform/window_geometry.h"

namespace marvolt {

class TrayTarget {
public:
    virtual ~TrayTarget() = default;
    // Called with the chosen entry's text, never with an empty one.
    virtual void OnTrayMenu(const std::u16string& selected) = 0;
    virtual NativeHandle IconHandle() = 0;
    virtual std::u16string Caption() = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual void SetWindowStateNormal() = 0;
    virtual WindowGeometry Geometry() = 0;
    virtual void SetGeometry(const WindowGeometry& geometry) = 0;
};

}  // namespace marvolt
