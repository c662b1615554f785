#include "windows/profiles_window_win32.h"

namespace marvolt {

ProfilesWindowWin32::~ProfilesWindowWin32() {
    editor_ = nullptr;
    if (dialog_) DestroyWindow(dialog_);
}

void ProfilesWindowWin32::Show() {
    if (!dialog_) {
        dialog_ = CreateDialogParamW(instance_, MAKEINTRESOURCEW(kProfilesDialog), owner_, &DialogProc,
                                     reinterpret_cast<LPARAM>(this));
        ControlWin32* wrappers[] = {&list_, &name_, &hotkey_, &note_, &roles_[0], &roles_[1], &roles_[2], &roles_[3]};
        const int ids[] = {kIdProfileList, kIdProfileName, kIdProfileHotkey, kIdProfileNote,
                           kIdProfileRole, kIdProfileRole + 1, kIdProfileRole + 2, kIdProfileRole + 3};
        for (int i = 0; i < 8; ++i) wrappers[i]->Made(dialog_ ? GetDlgItem(dialog_, ids[i]) : nullptr);
        // The settings window's small icon in the caption, not the system's default.
        SendMessageW(dialog_, WM_SETICON, ICON_SMALL, SendMessageW(owner_, WM_GETICON, ICON_SMALL, 0));
    }
    if (!dialog_) return;
    ShowWindow(dialog_, SW_SHOW);
    SetForegroundWindow(dialog_);
}

bool ProfilesWindowWin32::PreTranslate(MSG& message) {
    if (!dialog_ || !IsDialogMessageW(dialog_, &message)) return false;
    if (message.hwnd == hotkey_.Hwnd() && message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST &&
        hotkey_.TakeChange(message.message, message.wParam))
        Report(kIdProfileHotkey);
    return true;
}

void ProfilesWindowWin32::Report(int id) {
    if (editor_) editor_->OnCommand(id);
}

// Buttons report a click, the lists a new selection (LBN_SELCHANGE and
// CBN_SELCHANGE are both 1), the hotkey box a new hotkey; closing hides.
INT_PTR CALLBACK ProfilesWindowWin32::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    auto* window = reinterpret_cast<ProfilesWindowWin32*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!window || message != WM_COMMAND) return message == WM_INITDIALOG;
    const int id = LOWORD(wParam), code = HIWORD(wParam);
    if (id == IDCANCEL) {
        ShowWindow(dialog, SW_HIDE);
    } else if (id == kIdProfileHotkey) {
        if (code == EN_CHANGE && window->hotkey_.TakeChange(0, 0)) window->Report(id);
    } else if (code == (id == kIdProfileList || id >= kIdProfileRole ? 1 : BN_CLICKED) && id != kIdProfileName) {
        window->Report(id);
    }
    return TRUE;
}

}  // namespace marvolt
