#pragma once
// The "Profiles" window's logic: the list of profiles, a name box, New, Rename,
// Delete, one drop-down list per role with "unchanged" first, the hotkey box,
// and "New from device". Every change is saved at once.
#include <string>
#include <vector>

#include "platform/system_events.h"
#include "platform/ui.h"
#include "profiles/profiles.h"

namespace marvolt {

enum ProfilesControlId : int {
    kIdProfileList = 1101,
    kIdProfileName = 1102,
    kIdProfileNew = 1103,
    kIdProfileRename = 1104,
    kIdProfileDelete = 1105,
    kIdProfileFromDevice = 1106,
    kIdProfileHotkey = 1107,
    kIdProfileNote = 1108,
    kIdProfileRole = 1110,  // one a ProfileSide, in their order
};

class ProfilesView {
public:
    virtual ~ProfilesView() = default;
    virtual void Show() = 0;
    virtual ListBoxControl& List() = 0;
    virtual LabelControl& Name() = 0;  // an edit box
    virtual ListBoxControl& Role(int side) = 0;
    virtual HotkeyControl& HotkeyBox() = 0;
    virtual LabelControl& Note() = 0;
};

// What the editor needs of the rest of the program.
class ProfilesOwner {
public:
    virtual ~ProfilesOwner() = default;
    // The profiles were changed: read them again; how the hotkey of the one
    // named fared.
    virtual HotkeyState ProfilesChanged(const std::u16string& name) = 0;
    virtual Hotkey CycleHotkey() = 0;
    // The device "New from device" makes a profile of: the one selected in the
    // settings window's list now, or none.
    virtual std::u16string SelectedDevice() = 0;
};

class ProfilesEditor {
public:
    ProfilesEditor(ProfilesView& view, ProfileStore& store, ProfilesOwner& owner)
        : view_(view), store_(store), owner_(owner) {}

    // Shows the window with these devices.
    void Open(const std::vector<std::u16string>& outputs, const std::vector<std::u16string>& inputs);
    // The devices changed while it is open.
    void Refresh(const std::vector<std::u16string>& outputs, const std::vector<std::u16string>& inputs);
    // A control was used: a click, a new selection, a new hotkey.
    void OnCommand(int id);

private:
    void Fill(const std::u16string& selected);
    void ShowSelected();
    Profile* Selected();
    // Saves the profile under its name and tells the owner; the note says
    // how its hotkey fared.
    void Keep(const Profile& profile);

    ProfilesView& view_;
    ProfileStore& store_;
    ProfilesOwner& owner_;
    std::vector<Profile> profiles_;
    std::vector<std::u16string> sides_[2];  // outputs, inputs
    bool open_ = false;
};

}  // namespace marvolt
