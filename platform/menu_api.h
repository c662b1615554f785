#pragma once
// The user32 calls behind a popup menu. Texts are converted to the ANSI code page
// at the Win32 edge (AppendMenuA).
#include <cstdint>
#include <string>

#include "platform/native_handle.h"

namespace marvolt {

struct ScreenPoint {
    int x = 0, y = 0;
};

struct ScreenRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// Flags as user32 defines them.
constexpr std::uint32_t kMenuString = 0x0;       // MF_STRING
constexpr std::uint32_t kMenuGrayed = 0x1;       // MF_GRAYED
constexpr std::uint32_t kMenuDisabled = 0x2;     // MF_DISABLED
constexpr std::uint32_t kMenuChecked = 0x8;      // MF_CHECKED
constexpr std::uint32_t kMenuSeparator = 0x800;  // MF_SEPARATOR
constexpr std::uint32_t kMenuByCommand = 0x0;    // MF_BYCOMMAND
// TPM_RETURNCMD | TPM_RIGHTBUTTON: the chosen id comes back as the result, no
// WM_COMMAND is sent, and either button picks an entry.
constexpr std::uint32_t kTrackReturnCommand = 0x102;

class MenuApi {
public:
    virtual ~MenuApi() = default;
    virtual NativeHandle CreatePopup() = 0;  // CreatePopupMenu; 0 on failure
    virtual bool DestroyPopup(NativeHandle menu) = 0;
    // AppendMenuA; the text is ignored for a separator.
    virtual bool AppendItem(NativeHandle menu, std::uint32_t flags, std::uint32_t id,
                            const std::u16string& text) = 0;
    virtual bool SetItemBitmaps(NativeHandle menu, std::uint32_t id, std::uint32_t flags,
                                NativeHandle uncheckedBitmap, NativeHandle checkedBitmap) = 0;
    // SetMenuDefaultItem; byPosition 0 means the item is named by its command id.
    virtual bool SetDefaultItem(NativeHandle menu, std::uint32_t id, std::uint32_t byPosition) = 0;
    virtual void EnableItem(NativeHandle menu, std::uint32_t id, std::uint32_t enable) = 0;
    virtual bool CursorPosition(ScreenPoint& point) = 0;                      // GetCursorPos
    virtual bool WindowRectangle(NativeHandle window, ScreenRect& rect) = 0;  // GetWindowRect
    // The calling thread's active window (GetActiveWindow), 0 when there is none.
    virtual NativeHandle ActiveWindow() = 0;
    virtual void MakeForeground(NativeHandle window) = 0;  // SetForegroundWindow
    // TrackPopupMenuEx without extra parameters: blocks until the menu closes and
    // returns the chosen command id, 0 when it was dismissed.
    virtual std::uint32_t TrackPopup(NativeHandle menu, std::uint32_t flags, int x, int y,
                                     NativeHandle owner) = 0;
};

}  // namespace marvolt
