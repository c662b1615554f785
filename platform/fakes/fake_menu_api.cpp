#include "platform/fakes/fake_menu_api.h"

#include "platform/text.h"

namespace marvolt {

namespace {
std::string Number(long long value) { return ToUtf8(Decimal(value)); }
}  // namespace

NativeHandle FakeMenuApi::CreatePopup() {
    if (failCreate) return 0;
    NativeHandle menu = ++next_;
    menus[menu];
    if (log_) log_->Add("menu create " + Number(menu));
    return menu;
}

bool FakeMenuApi::DestroyPopup(NativeHandle menu) {
    if (!menus.erase(menu)) return false;
    destroyed.push_back(menu);
    if (log_) log_->Add("menu destroy " + Number(menu));
    return true;
}

bool FakeMenuApi::AppendItem(NativeHandle menu, std::uint32_t flags, std::uint32_t id,
                             const std::u16string& text) {
    auto found = menus.find(menu);
    if (found == menus.end()) return false;
    FakeMenuItem item;
    item.flags = flags;
    item.id = id;
    if (!(flags & kMenuSeparator)) item.text = text;
    found->second.push_back(item);
    return true;
}

FakeMenuItem* FakeMenuApi::Find(NativeHandle menu, std::uint32_t id) {
    auto found = menus.find(menu);
    if (found == menus.end()) return nullptr;
    for (FakeMenuItem& item : found->second)
        if (item.id == id) return &item;
    return nullptr;
}

bool FakeMenuApi::SetItemBitmaps(NativeHandle menu, std::uint32_t id, std::uint32_t flags,
                                 NativeHandle uncheckedBitmap, NativeHandle checkedBitmap) {
    FakeMenuItem* item = Find(menu, id);
    if (!item) return false;
    item->bitmapsSet = true;
    item->bitmapFlags = flags;
    item->uncheckedBitmap = uncheckedBitmap;
    item->checkedBitmap = checkedBitmap;
    return true;
}

bool FakeMenuApi::SetDefaultItem(NativeHandle menu, std::uint32_t id, std::uint32_t byPosition) {
    FakeMenuItem* item = byPosition ? nullptr : Find(menu, id);
    if (!item) return false;
    for (FakeMenuItem& other : menus[menu]) other.isDefault = false;
    item->isDefault = true;
    return true;
}

void FakeMenuApi::EnableItem(NativeHandle menu, std::uint32_t id, std::uint32_t enable) {
    if (FakeMenuItem* item = Find(menu, id)) item->enable = enable;
}

bool FakeMenuApi::CursorPosition(ScreenPoint& point) {
    point = cursor;
    return true;
}

bool FakeMenuApi::WindowRectangle(NativeHandle window, ScreenRect& rect) {
    auto found = windowRects.find(window);
    if (found == windowRects.end()) return false;
    rect = found->second;
    return true;
}

void FakeMenuApi::MakeForeground(NativeHandle window) {
    foreground.push_back(window);
    if (log_) log_->Add("foreground " + Number(window));
}

std::uint32_t FakeMenuApi::TrackPopup(NativeHandle menu, std::uint32_t flags, int x, int y,
                                      NativeHandle owner) {
    FakeTrackCall call{menu, flags, x, y, owner, {}};
    auto found = menus.find(menu);
    if (found != menus.end()) call.items = found->second;
    tracked.push_back(call);
    if (log_) log_->Add("track " + Number(menu) + " owner " + Number(owner));
    if (found == menus.end()) return 0;
    return onTrack ? onTrack(call) : trackResult;
}

}  // namespace marvolt
