#pragma once
// Shell_NotifyIconW with the first form of the notification record.
#include <cstdint>
#include <string>

#include "platform/native_handle.h"

namespace marvolt {

enum class NotifyAction : std::uint32_t { Add = 0, Modify = 1, Delete = 2 };  // NIM_*

constexpr std::uint32_t kNotifyFirstFormSize = 88;  // NOTIFYICONDATAA_V1_SIZE on 32-bit Windows
constexpr std::uint32_t kNotifyMessage = 0x1;       // NIF_MESSAGE
constexpr std::uint32_t kNotifyIcon = 0x2;          // NIF_ICON
constexpr std::uint32_t kNotifyTip = 0x4;           // NIF_TIP
constexpr std::uint32_t kNotifyInfo = 0x10;         // NIF_INFO: the notification fields below
constexpr std::size_t kNotifyTipLength = 64;
// The second form (with the notification); the Win32 side sends its size.
constexpr std::uint32_t kNotifySecondFormSize = 488;  // NOTIFYICONDATAA_V2_SIZE on 32-bit Windows
constexpr std::uint32_t kNotifyInfoNoSound = 0x10;    // NIIF_NOSOUND

struct NotifyIconRecord {
    // The first form; the Win32 side sends that form's size for the running build.
    std::uint32_t cbSize = 0;
    NativeHandle hWnd = 0;
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    NativeHandle hIcon = 0;
    // The whole tip field as stored: 64 characters, NUL and padding included.
    std::u16string szTip;
    // The second form's notification: text, title, how long (ms) and NIIF_* flags.
    std::u16string szInfo, szInfoTitle;
    std::uint32_t uTimeout = 0;
    std::uint32_t dwInfoFlags = 0;
};

class ShellNotify {
public:
    virtual ~ShellNotify() = default;
    // False when the shell refuses.
    virtual bool NotifyIcon(NotifyAction action, const NotifyIconRecord& record) = 0;
};

}  // namespace marvolt
