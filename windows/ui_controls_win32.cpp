#include "windows/ui_controls_win32.h"

#include <utility>

#include "platform/win32/win_text.h"

namespace marvolt {

std::u16string WindowTextOf(HWND window) {
    int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
    int copied = GetWindowTextW(window, buffer.data(), length + 1);
    return FromWide(buffer.c_str(), static_cast<size_t>(copied > 0 ? copied : 0));
}

bool HasVisibleStyle(HWND window) {
    return IsWindow(window) && (GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

// ---- FormWindowWin32

std::u16string FormWindowWin32::Caption() { return WindowTextOf(window_); }

void FormWindowWin32::SetCaption(const std::u16string& caption) { SetWindowTextW(window_, Wide(caption)); }

bool FormWindowWin32::Visible() { return HasVisibleStyle(window_); }

void FormWindowWin32::SetVisible(bool visible) {
    if (!IsWindow(window_) || visible == Visible()) return;
    // SW_SHOW keeps a minimized window minimized: showing never changes the state.
    ShowWindow(window_, visible ? SW_SHOW : SW_HIDE);
}

WindowState FormWindowWin32::State() {
    if (IsIconic(window_)) return WindowState::Minimized;
    if (IsZoomed(window_)) return WindowState::Maximized;
    return WindowState::Normal;
}

void FormWindowWin32::SetState(WindowState state) {
    if (!IsWindow(window_) || state == State()) return;
    // ShowWindow sends WM_SIZE, so the window's resize event runs as it does
    // when the user changes the state.
    switch (state) {
        case WindowState::Minimized: ShowWindow(window_, SW_MINIMIZE); break;
        case WindowState::Maximized: ShowWindow(window_, SW_MAXIMIZE); break;
        case WindowState::Normal: ShowWindow(window_, SW_RESTORE); break;
    }
}

NativeHandle FormWindowWin32::Handle() { return reinterpret_cast<NativeHandle>(window_); }

NativeHandle FormWindowWin32::IconHandle() {
    // The small icon is the one that fits the notification area.
    auto icon = reinterpret_cast<HICON>(SendMessageW(window_, WM_GETICON, ICON_SMALL, 0));
    if (!icon) icon = reinterpret_cast<HICON>(SendMessageW(window_, WM_GETICON, ICON_BIG, 0));
    if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrW(window_, GCLP_HICONSM));
    if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrW(window_, GCLP_HICON));
    return reinterpret_cast<NativeHandle>(icon);
}

WindowGeometry FormWindowWin32::Geometry() {
    RECT rect{};
    if (IsIconic(window_)) {
        // A minimised window sits far off screen; where it goes back to is the
        // place that counts.
        WINDOWPLACEMENT placement{};
        placement.length = sizeof(placement);
        if (!GetWindowPlacement(window_, &placement)) return {};
        rect = placement.rcNormalPosition;
    } else if (!GetWindowRect(window_, &rect)) {
        return {};
    }
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

void FormWindowWin32::SetGeometry(const WindowGeometry& geometry) {
    SetWindowPos(window_, nullptr, geometry.left, geometry.top, geometry.width, geometry.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- ListBoxWin32

namespace {

// The list box's messages, and a drop-down list's for the same requests.
enum ListMessage { kReset, kAdd, kCount, kTextLength, kText, kSelected, kSelect };
constexpr UINT kListMessages[2][7] = {
    {LB_RESETCONTENT, LB_ADDSTRING, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT, LB_GETCURSEL, LB_SETCURSEL},
    {CB_RESETCONTENT, CB_ADDSTRING, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT, CB_GETCURSEL, CB_SETCURSEL}};

}  // namespace

LRESULT ListBoxWin32::Send(int message, WPARAM wParam, LPARAM lParam) {
    return SendMessageW(window_, kListMessages[dropDown_][message], wParam, lParam);
}

void ListBoxWin32::Clear() {
    if (Waiting()) return items_.clear(), void(selected_ = -1);
    Send(kReset);
}

void ListBoxWin32::AddItem(const std::u16string& text) {
    if (Waiting()) return items_.push_back(text);
    Send(kAdd, 0, reinterpret_cast<LPARAM>(Wide(text)));
}

// LB_ERR and CB_ERR are both -1.
int ListBoxWin32::Count() {
    if (Waiting()) return static_cast<int>(items_.size());
    LRESULT count = Send(kCount);
    return count > 0 ? static_cast<int>(count) : 0;
}

std::u16string ListBoxWin32::ItemText(int index) {
    if (Waiting()) return index >= 0 && index < Count() ? items_[static_cast<size_t>(index)] : std::u16string();
    LRESULT length = Send(kTextLength, static_cast<WPARAM>(index));
    if (index < 0 || length <= 0) return {};
    std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
    LRESULT copied = Send(kText, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
    if (copied < 0) return {};
    return FromWide(buffer.c_str(), static_cast<size_t>(copied));
}

int ListBoxWin32::SelectedIndex() {
    if (Waiting()) return selected_;
    LRESULT index = Send(kSelected);
    return index < 0 ? -1 : static_cast<int>(index);
}

void ListBoxWin32::SetSelectedIndex(int index) {
    // -1 clears the selection; an index beyond the last row selects nothing too.
    if (Waiting()) return void(selected_ = index >= 0 && index < Count() ? index : -1);
    Send(kSelect, static_cast<WPARAM>(index));
}

void ListBoxWin32::HandOver() {
    for (const std::u16string& item : std::exchange(items_, {})) AddItem(item);
    SetSelectedIndex(selected_);
}

// ---- ComboBoxWin32

void ComboBoxWin32::Clear() {
    if (Waiting()) return items_.clear();
    // CB_RESETCONTENT empties the edit field as well; the text is kept.
    std::u16string text = Text();
    SendMessageW(window_, CB_RESETCONTENT, 0, 0);
    SetText(text);
}

void ComboBoxWin32::AddItem(const std::u16string& text) {
    if (Waiting()) return items_.push_back(text);
    SendMessageW(window_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(text)));
}

int ComboBoxWin32::Count() {
    if (Waiting()) return static_cast<int>(items_.size());
    LRESULT count = SendMessageW(window_, CB_GETCOUNT, 0, 0);
    return count > 0 ? static_cast<int>(count) : 0;
}

std::u16string ComboBoxWin32::ItemText(int index) {
    if (Waiting()) return index >= 0 && index < Count() ? items_[static_cast<size_t>(index)] : std::u16string();
    LRESULT length = SendMessageW(window_, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (index < 0 || length == CB_ERR || length <= 0) return {};
    std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
    LRESULT copied =
        SendMessageW(window_, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
    if (copied == CB_ERR || copied < 0) return {};
    return FromWide(buffer.c_str(), static_cast<size_t>(copied));
}

std::u16string ComboBoxWin32::Text() { return Waiting() ? text_ : WindowTextOf(window_); }

void ComboBoxWin32::SetText(const std::u16string& text) {
    if (Waiting()) return void(text_ = text);
    SetWindowTextW(window_, Wide(text));
}

bool ComboBoxWin32::Visible() { return Waiting() ? visible_ : HasVisibleStyle(window_); }

void ComboBoxWin32::SetVisible(bool visible) {
    if (Waiting()) return void(visible_ = visible);
    if (IsWindow(window_)) ShowWindow(window_, visible ? SW_SHOWNA : SW_HIDE);
}

void ComboBoxWin32::HandOver() {
    for (const std::u16string& item : std::exchange(items_, {})) AddItem(item);
    SetText(text_);
    SetVisible(visible_);
}

// ---- CheckBoxWin32

int CheckBoxWin32::Value() {
    if (Waiting()) return value_;
    return SendMessageW(window_, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void CheckBoxWin32::SetValue(int value) {
    // A box is clear or ticked; any other value is refused and changes nothing.
    if ((value != 0 && value != 1) || value == Value()) return;
    if (Waiting()) {
        value_ = value;
    } else {
        if (!IsWindow(window_)) return;
        SendMessageW(window_, BM_SETCHECK, value == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    SendMessageW(parent_, WM_COMMAND, MAKEWPARAM(id_, BN_CLICKED), reinterpret_cast<LPARAM>(window_));
}

void CheckBoxWin32::HandOver() { SendMessageW(window_, BM_SETCHECK, value_ == 1 ? BST_CHECKED : BST_UNCHECKED, 0); }

// ---- LabelWin32

std::u16string LabelWin32::Caption() { return Waiting() ? caption_ : WindowTextOf(window_); }

void LabelWin32::SetCaption(const std::u16string& caption) {
    if (Waiting()) return void(caption_ = caption);
    SetWindowTextW(window_, Wide(caption));
}

void LabelWin32::HandOver() { SetCaption(caption_); }

}  // namespace marvolt
