#pragma once
// A recording double of the user32 menu calls. Menus live in a map until they
// are destroyed; calls on a menu that does not exist fail, as user32's do.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/fakes/simple_fakes.h"
#include "platform/menu_api.h"

namespace marvolt {

struct FakeMenuItem {
    std::uint32_t flags = 0;
    std::uint32_t id = 0;
    std::u16string text;
    bool bitmapsSet = false;
    std::uint32_t bitmapFlags = 0xFFFFFFFF;
    NativeHandle uncheckedBitmap = 0, checkedBitmap = 0;
    bool isDefault = false;
    std::uint32_t enable = 0;  // the last EnableItem value; 0 when never called
};

struct FakeTrackCall {
    NativeHandle menu = 0;
    std::uint32_t flags = 0;
    int x = 0, y = 0;
    NativeHandle owner = 0;
    std::vector<FakeMenuItem> items;  // the menu as it was shown
};

class FakeMenuApi : public MenuApi {
public:
    explicit FakeMenuApi(CallLog* log = nullptr) : log_(log) {}

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
    NativeHandle ActiveWindow() override { return activeWindow; }
    void MakeForeground(NativeHandle window) override;
    std::uint32_t TrackPopup(NativeHandle menu, std::uint32_t flags, int x, int y,
                             NativeHandle owner) override;

    // Entries of the menus that exist.
    std::map<NativeHandle, std::vector<FakeMenuItem>> menus;
    std::vector<NativeHandle> destroyed;
    std::vector<FakeTrackCall> tracked;
    std::vector<NativeHandle> foreground;
    ScreenPoint cursor{300, 400};
    std::map<NativeHandle, ScreenRect> windowRects;
    NativeHandle activeWindow = 0;
    bool failCreate = false;
    // The id TrackPopup returns, unless onTrack is set: then it runs inside the
    // "menu loop" and its result is returned.
    std::uint32_t trackResult = 0;
    std::function<std::uint32_t(const FakeTrackCall&)> onTrack;

private:
    FakeMenuItem* Find(NativeHandle menu, std::uint32_t id);

    CallLog* log_;
    NativeHandle next_ = 0x5000;
};

}  // namespace marvolt
