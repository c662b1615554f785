#include "platform/win32/shell_notify_win32.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>


namespace marvolt {

namespace {

// Copies up to the field's size less its NUL; a character outside the basic
// plane is never cut in half.
template <size_t Size>
void CopyField(wchar_t (&field)[Size], const std::u16string& text) {
    std::size_t length = text.size() < Size - 1 ? text.size() : Size - 1;
    if (length == Size - 1 && length < text.size() && (text[length - 1] & 0xFC00) == 0xD800) --length;
    std::memcpy(field, text.data(), length * sizeof(char16_t));
    field[length] = L'\0';
}

}  // namespace

bool ShellNotifyWin32::NotifyIcon(NotifyAction action, const NotifyIconRecord& record) {
    NOTIFYICONDATAW data{};
    // The first form, in its wide layout for the running build; a later form's
    // size is passed on as far as this record reaches.
    if (record.cbSize == kNotifyFirstFormSize)
        data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    else if (record.cbSize == kNotifySecondFormSize)
        data.cbSize = NOTIFYICONDATAW_V2_SIZE;
    else
        data.cbSize = record.cbSize < sizeof(data) ? record.cbSize : sizeof(data);
    data.hWnd = reinterpret_cast<HWND>(record.hWnd);
    data.uID = record.uID;
    data.uFlags = record.uFlags;
    data.uCallbackMessage = record.uCallbackMessage;
    data.hIcon = reinterpret_cast<HICON>(record.hIcon);

    // The first form's field holds 64 characters; a character outside the
    // basic plane is never cut in half.
    std::size_t length = record.szTip.size() < kNotifyTipLength ? record.szTip.size() : kNotifyTipLength;
    if (length == kNotifyTipLength && length < record.szTip.size() && (record.szTip[length - 1] & 0xFC00) == 0xD800)
        --length;
    std::memcpy(data.szTip, record.szTip.data(), length * sizeof(char16_t));

    if (record.uFlags & kNotifyInfo) {
        CopyField(data.szInfo, record.szInfo);
        CopyField(data.szInfoTitle, record.szInfoTitle);
        data.uTimeout = record.uTimeout;
        data.dwInfoFlags = record.dwInfoFlags;
    }

    auto notify = shell32_.Find<decltype(&::Shell_NotifyIconW)>("Shell_NotifyIconW");
    return notify && notify(static_cast<DWORD>(action), &data) != FALSE;
}

}  // namespace marvolt
