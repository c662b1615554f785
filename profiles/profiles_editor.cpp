#include "profiles/profiles_editor.h"

#include "platform/text.h"

namespace marvolt {
namespace {

constexpr char16_t kUnchanged[] = u"unchanged";
constexpr char16_t kNameWanted[] = u"Type a name no profile has, without \\";
constexpr char16_t kHotkeyUsedBy[] = u"Already the hotkey of ";

}  // namespace

void ProfilesEditor::Open(const std::vector<std::u16string>& outputs, const std::vector<std::u16string>& inputs) {
    open_ = true;
    view_.Show();
    Refresh(outputs, inputs);
}

void ProfilesEditor::Refresh(const std::vector<std::u16string>& outputs, const std::vector<std::u16string>& inputs) {
    if (!open_) return;
    sides_[0] = outputs;
    sides_[1] = inputs;
    for (int side = 0; side < 4; ++side) {
        ListBoxControl& list = view_.Role(side);
        list.Clear();
        list.AddItem(kUnchanged);
        for (const std::u16string& name : sides_[side % 2]) list.AddItem(name);
    }
    const Profile* selected = Selected();
    Fill(selected ? selected->name : u"");
}

void ProfilesEditor::Fill(const std::u16string& selected) {
    profiles_ = store_.Load();
    ListBoxControl& list = view_.List();
    list.Clear();
    int row = profiles_.empty() ? -1 : 0;
    for (size_t i = 0; i < profiles_.size(); ++i) {
        list.AddItem(profiles_[i].name);
        if (profiles_[i].name == selected) row = static_cast<int>(i);
    }
    list.SetSelectedIndex(row);
    ShowSelected();
}

Profile* ProfilesEditor::Selected() {
    int row = view_.List().SelectedIndex();
    return row >= 0 && static_cast<size_t>(row) < profiles_.size() ? &profiles_[static_cast<size_t>(row)] : nullptr;
}

// A device that is not there shows as unchanged, and stays stored until its
// role is chosen anew.
void ProfilesEditor::ShowSelected() {
    const Profile* profile = Selected();
    view_.Name().SetCaption(profile ? profile->name : u"");
    for (int side = 0; side < 4; ++side) {
        const std::vector<std::u16string>& names = sides_[side % 2];
        int row = 0;
        for (size_t i = 0; profile && i < names.size(); ++i)
            if (names[i] == profile->devices[side]) row = static_cast<int>(i) + 1;
        view_.Role(side).SetSelectedIndex(row);
    }
    view_.HotkeyBox().SetValue(profile ? profile->hotkey : Hotkey{});
    view_.Note().SetCaption(u"");
}

void ProfilesEditor::Keep(const Profile& profile) {
    store_.Save(profile);
    HotkeyState state = owner_.ProfilesChanged(profile.name);
    Fill(profile.name);
    view_.Note().SetCaption(state == HotkeyState::Taken     ? u"Taken by another program"
                            : state == HotkeyState::Refused ? u"Windows refused this hotkey"
                                                            : u"");
}

void ProfilesEditor::OnCommand(int id) {
    Profile* selected = Selected();
    if (id == kIdProfileList) return ShowSelected();
    if (id == kIdProfileNew || id == kIdProfileRename || id == kIdProfileFromDevice) {
        Profile profile = id == kIdProfileRename && selected ? *selected : Profile{};
        profile.name = Trim(id == kIdProfileFromDevice ? owner_.SelectedDevice() : view_.Name().Caption());
        if (id == kIdProfileFromDevice) profile.devices[kProfilePlayback] = profile.name;
        // Registry keys are named without regard to letter case.
        bool taken = profile.name.empty() || Contains(profile.name, u"\\") || (id == kIdProfileRename && !selected);
        for (const Profile& other : profiles_) taken |= ToLowerAscii(other.name) == ToLowerAscii(profile.name);
        if (taken) return view_.Note().SetCaption(kNameWanted);
        if (id == kIdProfileRename) store_.Remove(selected->name);
        return Keep(profile);
    }
    if (!selected) return;
    Profile profile = *selected;
    if (id == kIdProfileDelete) {
        store_.Remove(profile.name);
        owner_.ProfilesChanged(u"");
        return Fill(u"");
    }
    if (id == kIdProfileHotkey) {
        profile.hotkey = view_.HotkeyBox().Value();
        std::u16string user = profile.hotkey.key && profile.hotkey == owner_.CycleHotkey() ? u"the cycle" : u"";
        for (const Profile& other : profiles_)
            if (profile.hotkey.key && other.hotkey == profile.hotkey && &other != selected)
                user = u"the profile \"" + other.name + u"\"";
        if (!user.empty()) {
            view_.HotkeyBox().SetValue(selected->hotkey);
            return view_.Note().SetCaption(kHotkeyUsedBy + user);
        }
        return Keep(profile);
    }
    const int side = id - kIdProfileRole;
    if (side < 0 || side > 3) return;
    const int row = view_.Role(side).SelectedIndex();
    const std::vector<std::u16string>& names = sides_[side % 2];
    profile.devices[side] = row > 0 && static_cast<size_t>(row) <= names.size() ? names[row - 1] : u"";
    Keep(profile);
}

}  // namespace marvolt
