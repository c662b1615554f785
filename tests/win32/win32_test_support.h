#pragma once
// Helpers for tests that drive real windows, menus, message loops and files.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/app_identity.h"
#include "platform/message_service.h"
#include "platform/process_launcher.h"
#include "platform/text.h"
#include "platform/win32/ui_controls_win32.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win_text.h"

namespace marvolt {

using Text = std::u16string;
// Several numbers compared at once, as in EXPECT_EQ(Ints({left, top}), Ints({10, 5})).
using Ints = std::vector<long>;

// Lets this thread's messages run until `done` holds; false if it does not
// within the limit (which only bounds a failing test).
inline bool PumpUntil(const std::function<bool()>& done, DWORD limitMs = 5000) {
    for (DWORD start = GetTickCount();;
         MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT)) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            TranslateMessage(&message), DispatchMessageW(&message);
        if (done()) return true;
        if (GetTickCount() - start >= limitMs) return false;
    }
}
inline void Pump() {
    PumpUntil([] { return true; });
}

// What the test window gives its static controls as background.
constexpr COLORREF kParentBackground = RGB(10, 200, 30);

inline LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    static HBRUSH background = CreateSolidBrush(kParentBackground);
    if (message == WM_CTLCOLORSTATIC) return reinterpret_cast<LRESULT>(background);
    return DefWindowProcW(window, message, wParam, lParam);
}

// A plain top-level window of class "TestWindow", hidden unless `show` says otherwise.
inline UniqueHwnd MakeTestWindow(const wchar_t* title, int show = SW_HIDE) {
    static WNDCLASSW windowClass{0,       TestWindowProc, 0,       0,
                                 nullptr, nullptr,        nullptr, GetSysColorBrush(COLOR_BTNFACE),
                                 nullptr, L"TestWindow"};
    static const ATOM registered [[maybe_unused]] = RegisterClassW(&windowClass);
    UniqueHwnd window(CreateWindowExW(0, L"TestWindow", title, WS_OVERLAPPEDWINDOW, 100, 100, 300,
                                      200, nullptr, nullptr, nullptr, nullptr));
    ShowWindow(window.get(), show);
    return window;
}

inline NativeHandle Native(HWND window) { return reinterpret_cast<NativeHandle>(window); }

inline std::u16string ClassOf(HWND window) {
    wchar_t name[64] = {};
    return ToLowerAscii(FromWide(name, static_cast<size_t>(GetClassNameW(window, name, 64))));
}

inline int Dpi(int pixels) {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return MulDiv(pixels, dpi, 96);
}

// Runs an action once from inside the modal loop of this thread's next window of
// that class (a menu "#32768", a message box "#32770", ...), as soon as it shows.
class WhenShown {
  public:
    WhenShown(const wchar_t* windowClass, std::function<void(HWND)> action)
        : timer_(SetTimer(nullptr, 0, 10, Tick)) {
        class_ = windowClass, action_ = std::move(action), fired_ = false;
    }
    ~WhenShown() { KillTimer(nullptr, timer_); }
    bool Fired() const { return fired_; }

  private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
        HWND shown = FindWindowW(class_, nullptr);
        if (fired_ || !IsWindowVisible(shown)) return;
        KillTimer(nullptr, id), fired_ = true, action_(shown);
    }
    static inline const wchar_t* class_;
    static inline std::function<void(HWND)> action_;
    static inline bool fired_ = false;
    UINT_PTR timer_;
};

inline std::string ReadBytes(const Text& path) {
    std::ifstream in(Wide(path), std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<missing>";
}

// A fresh folder under the temporary folder, removed with all it holds.
struct ScratchFolder {
    static void RemoveTree(const std::wstring& folder) {
        WIN32_FIND_DATAW found;
        UniqueFindHandle search(FindFirstFileW((folder + L"\\*").c_str(), &found));
        for (bool more = bool(search); more; more = FindNextFileW(search.get(), &found)) {
            const std::wstring name = found.cFileName, path = folder + L"\\" + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW(path.c_str());
            else if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
                RemoveDirectoryW(path.c_str());
            else if (name != L"." && name != L"..")
                RemoveTree(path);
        }
        search.reset();
        RemoveDirectoryW(folder.c_str());
    }
    ScratchFolder() { CreateDirectoryW(Wide(path), nullptr); }
    ~ScratchFolder() { RemoveTree(L"\\\\?\\" + std::wstring(Wide(path))); }
    Text path = [] {
        static int count = 0;
        wchar_t temp[MAX_PATH];
        return FromWide(temp, GetTempPathW(MAX_PATH, temp)) + u"marvolt-" +
               Decimal(GetCurrentProcessId()) + u"-" + Decimal(++count);
    }();
};

struct MockLauncher : ProcessLauncher {
    MOCK_METHOD(std::uint32_t, StartProcess, (const Text&, int), (override));
};
struct MockMessages : MessageService {
    MOCK_METHOD(MessageAnswer, ShowMessage, (const Text&, const Text&, MessageButtons, MessageIcon),
                (override));
};

}  // namespace marvolt
