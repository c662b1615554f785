#pragma once
// The "Profiles" window on Win32: a modeless dialog made from the program's
// dialog template, owned by the settings window, shown again rather than made
// anew, and hidden when closed.
#include <windows.h>

#include "profiles/profiles_editor.h"
#include "windows/cycle_controls_win32.h"
#include "windows/ui_controls_win32.h"

namespace marvolt {

// The template's resource id (windows/profiles_window.rc).
constexpr int kProfilesDialog = 2;

class ProfilesWindowWin32 final : public ProfilesView {
public:
    ProfilesWindowWin32(HINSTANCE instance, HWND owner) : instance_(instance), owner_(owner) {}
    ~ProfilesWindowWin32() override;
    ProfilesWindowWin32(const ProfilesWindowWin32&) = delete;
    ProfilesWindowWin32& operator=(const ProfilesWindowWin32&) = delete;

    void SetEditor(ProfilesEditor* editor) { editor_ = editor; }
    // Keyboard navigation and the hotkey box's keys, as the settings window's.
    bool PreTranslate(MSG& message);

    // ProfilesView
    void Show() override;
    ListBoxControl& List() override { return list_; }
    LabelControl& Name() override { return name_; }
    ListBoxControl& Role(int side) override { return roles_[side]; }
    HotkeyControl& HotkeyBox() override { return hotkey_; }
    LabelControl& Note() override { return note_; }

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void Report(int id);

    HINSTANCE instance_;
    HWND owner_;
    HWND dialog_ = nullptr;
    ProfilesEditor* editor_ = nullptr;
    ListBoxWin32 list_;
    LabelWin32 name_, note_;
    ListBoxWin32 roles_[4]{ListBoxWin32(true), ListBoxWin32(true), ListBoxWin32(true), ListBoxWin32(true)};
    HotkeyWin32 hotkey_;
};

}  // namespace marvolt
