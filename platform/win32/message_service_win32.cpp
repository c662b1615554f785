#include "platform/win32/message_service_win32.h"

#include <windows.h>

#include "platform/win32/win_text.h"

namespace marvolt {

namespace {

UINT IconFlag(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information: return MB_ICONINFORMATION;
        case MessageIcon::Question: return MB_ICONQUESTION;
        case MessageIcon::Critical: return MB_ICONERROR;
        case MessageIcon::None: break;
    }
    return 0;
}

}  // namespace

MessageAnswer MessageServiceWin32::ShowMessage(const std::u16string& text, const std::u16string& title,
                                               MessageButtons buttons, MessageIcon icon) {
    std::u16string caption = title.empty() ? identity_.Title() : title;
    UINT flags = (buttons == MessageButtons::YesNo ? MB_YESNO : MB_OK) | IconFlag(icon) | MB_TASKMODAL |
                 MB_SETFOREGROUND;
    // Without a window of ours in front (a question from the tray, or a close
    // while another program is active) the box has no owner; it is kept on top
    // so that a pinned settings window can't hide it.
    HWND owner = GetActiveWindow();
    int pressed = MessageBoxW(owner, Wide(text), Wide(caption), flags | (owner ? 0 : MB_TOPMOST));
    if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
    // Callers go on with their action unless the answer is No, so a question
    // that could not be shown at all must read as No, never as consent.
    return pressed == IDYES ? MessageAnswer::Yes : MessageAnswer::No;
}

}  // namespace marvolt
