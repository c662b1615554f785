#pragma once
// Helpers for tests that drive real windows, menus, message loops and files.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <functional>
#include <string>

#include "platform/message_service.h"
#include "platform/process_launcher.h"
#include "platform/text.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win_text.h"

namespace marvolt {

using Text = std::u16string;

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

struct MockLauncher : ProcessLauncher {
    MOCK_METHOD(std::uint32_t, StartProcess, (const Text&, int), (override));
};
struct MockMessages : MessageService {
    MOCK_METHOD(MessageAnswer, ShowMessage, (const Text&, const Text&, MessageButtons, MessageIcon),
                (override));
};

}  // namespace marvolt
