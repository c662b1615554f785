// The Profiles window's logic over an in-memory registry: each step as a user
// takes it, and the profiles stored after it.
#include "profiles/profiles_editor.h"

#include <gtest/gtest.h>

#include "app/device_cycle.h"
#include "platform/fakes/fake_registry.h"
#include "platform/text.h"

namespace marvolt {
namespace {

constexpr char16_t kNameWanted[] = u"Type a name no profile has, without \\";

struct FakeList : ListBoxControl {
    std::vector<std::u16string> items;
    int selected = -1;
    void Clear() override { items.clear(); }
    void AddItem(const std::u16string& text) override { items.push_back(text); }
    int Count() override { return static_cast<int>(items.size()); }
    std::u16string ItemText(int index) override { return items.at(static_cast<size_t>(index)); }
    int SelectedIndex() override { return selected; }
    void SetSelectedIndex(int index) override { selected = index; }
};
struct FakeLabel : LabelControl {
    std::u16string text;
    std::u16string Caption() override { return text; }
    void SetCaption(const std::u16string& caption) override { text = caption; }
};
struct FakeView : ProfilesView, HotkeyControl, ProfilesOwner {
    FakeList list, roles[4];
    FakeLabel name, note;
    Hotkey hotkey;
    void Show() override {}
    ListBoxControl& List() override { return list; }
    LabelControl& Name() override { return name; }
    ListBoxControl& Role(int side) override { return roles[side]; }
    HotkeyControl& HotkeyBox() override { return *this; }
    LabelControl& Note() override { return note; }
    Hotkey Value() override { return hotkey; }
    void SetValue(const Hotkey& value) override { hotkey = value; }
    HotkeyState ProfilesChanged(const std::u16string&) override { return HotkeyState::Registered; }
    Hotkey CycleHotkey() override { return kDefaultCycleHotkey; }
};

TEST(ProfilesEditor, EachStepIsStoredOrRefusedWithANote) {
    FakeRegistry api;
    FakeAnsiCodePage codePage;
    Registry registry(api, codePage);
    ProfileStore store(registry);
    Profile desk;
    desk.name = u"Desk";
    desk.hotkey = *ParseHotkey(u"Ctrl+Alt+F9");
    store.Save(desk);
    FakeView view;
    ProfilesEditor editor(view, store, view);
    editor.Open({u"Speakers", u"Headset"}, {u"Mic"}, u"Headset");
    // Each step: a name typed, a hotkey pressed or a role's row chosen, then a control used.
    struct Step {
        int id;
        const char16_t *name, *hotkey;
        int role, row;
        const char* stored;  // name:playback|record|comms|comms|hotkey, in name order
        const char16_t* note;
    } const steps[] = {
        {kIdProfileFromDevice, u"", nullptr, 0, 0, "Desk:||||Ctrl+Alt+F9 Headset:Headset||||none ",
         u""},
        {kIdProfileNew, u"desk", nullptr, 0, 0, "Desk:||||Ctrl+Alt+F9 Headset:Headset||||none ",
         kNameWanted},
        {kIdProfileNew, u"A\\B", nullptr, 0, 0, "Desk:||||Ctrl+Alt+F9 Headset:Headset||||none ",
         kNameWanted},
        {kIdProfileRename, u" Night ", nullptr, 0, 0, "Desk:||||Ctrl+Alt+F9 Night:Headset||||none ",
         u""},
        {kIdProfileHotkey, u"", u"Ctrl+Alt+F9", 0, 0, "Desk:||||Ctrl+Alt+F9 Night:Headset||||none ",
         u"Already the hotkey of the profile \"Desk\""},
        {kIdProfileHotkey, u"", u"Ctrl+Alt+F12", 0, 0,
         "Desk:||||Ctrl+Alt+F9 Night:Headset||||none ", u"Already the hotkey of the cycle"},
        {kIdProfileHotkey, u"", u"Alt+N", 0, 0, "Desk:||||Ctrl+Alt+F9 Night:Headset||||Alt+N ",
         u""},
        {kIdProfileRole + 3, u"", nullptr, 3, 1, "Desk:||||Ctrl+Alt+F9 Night:Headset|||Mic|Alt+N ",
         u""},
        {kIdProfileRole, u"", nullptr, 0, 0, "Desk:||||Ctrl+Alt+F9 Night:|||Mic|Alt+N ", u""},
        {kIdProfileDelete, u"", nullptr, 0, 0, "Desk:||||Ctrl+Alt+F9 ", u""},
    };
    for (const Step& step : steps) {
        view.name.text = step.name;
        if (step.hotkey) view.hotkey = *ParseHotkey(step.hotkey);
        view.roles[step.role].selected = step.row;
        editor.OnCommand(step.id);
        std::string seen;
        for (const Profile& profile : store.Load()) {
            seen += ToUtf8(profile.name) + ":";
            for (const std::u16string& device : profile.devices) seen += ToUtf8(device) + "|";
            seen += ToUtf8(HotkeyText(profile.hotkey)) + " ";
        }
        EXPECT_EQ(seen, step.stored);
        EXPECT_EQ(ToUtf8(view.note.text), ToUtf8(step.note)) << step.stored;
    }
    // The list shows the profiles, the roles "unchanged" and the devices of their side.
    EXPECT_EQ(view.list.items, (std::vector<std::u16string>{u"Desk"}));
    EXPECT_EQ(view.roles[kProfileRecord].items,
              (std::vector<std::u16string>{u"unchanged", u"Mic"}));
}

}  // namespace
}  // namespace marvolt
