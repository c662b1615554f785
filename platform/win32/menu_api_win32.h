#pragma once
#include "platform/menu_api.h"

namespace marvolt {

class MenuApiWin32 : public MenuApi {
public:
    NativeHandle CreatePopup() override;
    bool DestroyPopup(NativeHandle menu) override;
    bool AppendItem(NativeHandle menu, std::uint32_t flags, std::uint32_t id,
                    const std::u16string& text) override;
    bool SetItemBitmaps(NativeHandle menu, std::uint32_t id, std::uint32_t flags,
                        NativeHandle uncheckedBitmap, NativeHandle checkedBitmap) override;
    bool SetDefaultItem(NativeHandle menu, std::uint32_t id, std::uint32_t byPosition) override;
    void EnableItem(NativeHandle menu, std::uint32_t id, std::uint32_t enable) override;
    bool CursorPosition(ScreenPoint& point) override;
    bool WindowRectangle(NativeHandle window, ScreenRect& rect) override;
    NativeHandle ActiveWindow() override;
    void MakeForeground(NativeHandle window) override;
    std::uint32_t TrackPopup(NativeHandle menu, std::uint32_t flags, int x, int y,
                             NativeHandle owner) override;
};

}  // namespace marvolt
