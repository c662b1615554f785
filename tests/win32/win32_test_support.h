#pragma once
// Helpers for tests that drive real menus and windows under Windows or Wine.
#include <windows.h>

#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace marvolt {

// The popup menu window on screen, or null.
inline HWND OpenMenuWindow() {
    HWND menu = ::FindWindowW(L"#32768", nullptr);
    return menu && ::IsWindowVisible(menu) ? menu : nullptr;
}

// Runs an action once a popup menu of this thread is open: a thread timer that
// the menu's modal loop dispatches, and that waits for the menu to show.
class WhenMenuOpens {
public:
    explicit WhenMenuOpens(std::function<void()> action) : action_(std::move(action)) {
        current_ = this;
        timer_ = ::SetTimer(nullptr, 0, 1, &WhenMenuOpens::Tick);
    }
    ~WhenMenuOpens() {
        if (timer_) ::KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    WhenMenuOpens(const WhenMenuOpens&) = delete;
    WhenMenuOpens& operator=(const WhenMenuOpens&) = delete;
    bool Fired() const { return fired_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
        WhenMenuOpens* self = current_;
        if (!self || self->fired_) {
            ::KillTimer(nullptr, id);
            return;
        }
        if (!OpenMenuWindow()) return;
        ::KillTimer(nullptr, id);
        self->timer_ = 0;
        self->fired_ = true;
        self->action_();
    }

    static inline WhenMenuOpens* current_ = nullptr;
    std::function<void()> action_;
    UINT_PTR timer_ = 0;
    bool fired_ = false;
};

// Picks the n-th selectable entry of the open menu as the keyboard does.
inline void ChooseWithKeys(int downPresses) {
    HWND menu = OpenMenuWindow();
    for (int i = 0; i < downPresses; ++i) ::PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
}

struct MenuEntry {
    UINT id;
    std::string text;  // UTF-8; "-" for a separator
    bool operator==(const MenuEntry& other) const { return id == other.id && text == other.text; }
};

inline std::ostream& operator<<(std::ostream& out, const MenuEntry& entry) {
    return out << entry.id << ":" << entry.text;
}

inline std::vector<MenuEntry> ReadMenu(HMENU menu) {
    std::vector<MenuEntry> entries;
    int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_FTYPE;
        ::GetMenuItemInfoA(menu, i, TRUE, &info);
        if (::GetMenuState(menu, i, MF_BYPOSITION) & MF_SEPARATOR) {
            entries.push_back({info.wID, "-"});
            continue;
        }
        wchar_t text[256] = {};
        ::GetMenuStringW(menu, i, text, 256, MF_BYPOSITION);
        char utf8[1024] = {};
        ::WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof(utf8), nullptr, nullptr);
        entries.push_back({::GetMenuItemID(menu, i), utf8});
    }
    return entries;
}

// Lets this thread's messages run until `done` holds; false if it does not
// within the limit (which only bounds a failing test).
inline bool PumpUntil(const std::function<bool()>& done, DWORD limitMs = 5000) {
    DWORD start = ::GetTickCount();
    while (!done()) {
        DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= limitMs) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, limitMs - elapsed, QS_ALLINPUT);
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    return true;
}

}  // namespace marvolt
