#include "platform/win32/shell_notify_win32.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>

#include "platform/win32/win_text.h"

namespace marvolt {

bool ShellNotifyWin32::NotifyIcon(NotifyAction action, const NotifyIconRecord& record) {
    NOTIFYICONDATAA data{};
    // The first form is 88 bytes on 32-bit Windows and wider on 64-bit, where the
    // handles are.
    if (record.cbSize == kNotifyFirstFormSize)
        data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    else
        data.cbSize = record.cbSize < sizeof(data) ? record.cbSize : sizeof(data);
    data.hWnd = reinterpret_cast<HWND>(record.hWnd);
    data.uID = record.uID;
    data.uFlags = record.uFlags;
    data.uCallbackMessage = record.uCallbackMessage;
    data.hIcon = reinterpret_cast<HICON>(record.hIcon);

    // The first form's field holds 64 bytes (the later forms' 128 are not read);
    // in a double-byte code page 64 characters may need more, and a character is
    // never cut in half.
    std::string tip = ToAnsi(record.szTip);
    std::size_t length = 0;
    while (length < tip.size()) {
        std::size_t step = ::IsDBCSLeadByte(static_cast<BYTE>(tip[length])) ? 2 : 1;
        if (length + step > kNotifyTipLength || length + step > tip.size()) break;
        length += step;
    }
    std::memcpy(data.szTip, tip.data(), length);

    return ::Shell_NotifyIconA(static_cast<DWORD>(action), &data) != FALSE;
}

}  // namespace marvolt
