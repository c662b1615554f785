// Profiles: which roles a profile sets, when its entry is marked, how its entry
// is found again, profiles as the registry holds them, and the Profiles
// window's logic, each step as a user takes it.
#include "profiles/profiles.h"

#include <gtest/gtest.h>

#include "app/device_cycle.h"
#include "app/tray_menu.h"
#include "platform/fakes/fake_registry.h"
#include "platform/text.h"
#include "profiles/profiles_editor.h"

namespace marvolt {
namespace {

using Names = std::vector<std::u16string>;

Profile Make(std::array<std::u16string, 4> devices, std::u16string name = u"P",
             Hotkey hotkey = {}) {
    Profile profile;
    profile.name = std::move(name);
    profile.devices = std::move(devices);
    profile.hotkey = hotkey;
    return profile;
}

// Profiles in an in-memory registry.
struct Stored {
    FakeRegistry api;
    FakeAnsiCodePage codePage;
    Registry registry{api, codePage};
    ProfileStore store{registry};
    // Each as "name:playback|record|comms|comms|hotkey ", in name order.
    std::string Shown() {
        std::string seen;
        for (const Profile& profile : store.Load()) {
            seen += ToUtf8(profile.name) + ":";
            for (const std::u16string& device : profile.devices) seen += ToUtf8(device) + "|";
            seen += ToUtf8(HotkeyText(profile.hotkey)) + " ";
        }
        return seen;
    }
};

// Targets as "<o|i>:<device>:<roles>", roles 3 default, 4 communications, 7 both.
TEST(Profiles, EachNamedRoleIsSetOnItsSideWhereTheDeviceIsThere) {
    const Names outputs{u"Speakers", u"Headset", u"USB"}, inputs{u"Headset", u"Mic"};
    struct Case {
        std::array<std::u16string, 4> devices;
        const char* want;
    } const cases[] = {
        {{u"Speakers", u"", u"", u""}, "o:Speakers:3 "},
        {{u"Speakers", u"Mic", u"Headset", u"Headset"},
         "o:Speakers:3 i:Mic:3 o:Headset:4 i:Headset:4 "},
        {{u"Headset", u"Headset", u" Headset ", u"Headset"}, "o:Headset:7 i:Headset:7 "},
        // Recording sides take capture devices only, and gone devices are left out.
        {{u"Mic", u"Speakers", u"Gone", u"Mic"}, "i:Mic:4 "},
    };
    for (const Case& c : cases) {
        std::string seen;
        for (const ProfileTarget& target : ProfileTargets(Make(c.devices), outputs, inputs))
            seen += std::string(target.direction == WaveDirection::Output ? "o:" : "i:") +
                    ToUtf8(target.device) + ":" + std::to_string(target.roles) + " ";
        EXPECT_EQ(seen, c.want) << ToUtf8(c.devices[0]);
    }
}

TEST(Profiles, ActiveWhenEveryNamedRoleIsTheCurrentDefault) {
    const DefaultDevices now{u"Speakers", u"Mic", u"Headset", u"Headset"};
    const std::pair<std::array<std::u16string, 4>, bool> cases[] = {
        {{u"Speakers", u"", u"", u""}, true},
        {{u"", u"", u"Headset", u""}, true},
        {{u"Speakers", u"Headset", u"", u""}, false},
        {{u"", u"", u"Speakers", u""}, false},
        {{u"", u"", u"", u""}, false},
    };
    for (const auto& [devices, active] : cases)
        EXPECT_EQ(ProfileActive(Make(devices), now), active) << ToUtf8(devices[0] + devices[1]);
}

// The entries follow the devices; each leads back to its own profile only.
TEST(Profiles, MenuEntriesLeadBackToTheirProfile) {
    const std::vector<Profile> profiles{Make({}, u"Desk"), Make({}, u"Desk  <active>"),
                                        Make({}, u"Game, Night")};
    Names entries;
    for (size_t i = 0; i < profiles.size(); ++i)
        entries.push_back(ProfileEntry(profiles[i], i == 0));
    EXPECT_TRUE(EndsWith(ComposeTrayMenu({u"Speakers"}, u"", u"", entries),
                         u"Soundcard 1: Speakers, -, Profile: Desk  <active>, Profile: Desk  "
                         u"<active>, Profile: Game\\, Night, -, Exit"));
    const std::pair<const char16_t*, int> cases[] = {
        {u"Profile: Desk", 0},        {u"Profile: Desk  <active>", 1},
        {u"Profile: Game, Night", 2}, {u"Profile: Game, Night  <active>", 2},
        {u"Profile: Gone", -1},       {u"Soundcard 1: Profile: Desk", -1},
    };
    for (const auto& [selected, index] : cases)
        EXPECT_EQ(FindChosenProfile(profiles, selected), index) << ToUtf8(selected);
}

TEST(Profiles, AHotkeyTheCycleOrAnEarlierProfileHasIsNone) {
    std::vector<Profile> profiles;
    for (const char16_t* text :
         {u"Ctrl+Alt+F9", u"Ctrl+Alt+F12", u"ctrl+alt+f9", u"none", u"Alt+F9"})
        profiles.push_back(Make({}, u"P", *ParseHotkey(text)));
    std::string seen;
    for (size_t i = 0; i < profiles.size(); ++i)
        seen += ToUtf8(HotkeyText(ProfileHotkey(profiles, i, kDefaultCycleHotkey))) + " ";
    EXPECT_EQ(seen, "Ctrl+Alt+F9 none none none Alt+F9 ");
}

// Written by hand: values of another type or too long read as unchanged, a
// hotkey that can't be read as none; the profiles come in name order.
TEST(Profiles, StoredProfilesReadWhatTheyCan) {
    Stored stored;
    Registry& registry = stored.registry;
    const std::u16string root = u"Software\\VB and VBA Program Settings\\Marvolt\\Profiles\\";
    registry.WriteRegString(u"HKEY_CURRENT_USER", root + u"night", u"Playback", u" Headset ");
    registry.WriteRegDword(u"HKEY_CURRENT_USER", root + u"night", u"Record", 7);
    registry.WriteRegString(u"HKEY_CURRENT_USER", root + u"night", u"CommunicationsPlayback",
                            std::u16string(256, u'x'));
    registry.WriteRegString(u"HKEY_CURRENT_USER", root + u"night", u"CommunicationsRecord", u"Mic");
    registry.WriteRegString(u"HKEY_CURRENT_USER", root + u"night", u"Hotkey", u"Ctrl+Hyper+P");
    registry.WriteRegString(u"HKEY_CURRENT_USER", root + u"Desk", u"Hotkey", u"alt+shift+ 1");
    registry.WriteRegString(u"HKEY_CURRENT_USER", root + u"Zoo", u"Playback", u"Speakers");
    EXPECT_EQ(stored.Shown(),
              "Desk:||||Alt+Shift+1 night:Headset|||Mic|none Zoo:Speakers||||none ");
    stored.store.Remove(u"NIGHT");
    EXPECT_EQ(stored.store.Load().size(), 2u);
    // Saved as the same text values.
    stored.store.Save(Make({u"", u"Mic", u"", u"Headset"}, u"Zoo", *ParseHotkey(u"Alt+Z")));
    std::u16string written;
    for (const char16_t* value : {u"Playback", u"Record", u"CommunicationsRecord", u"Hotkey"})
        written += registry.ReadRegPath(u"HKEY_CURRENT_USER\\" + root + u"Zoo\\" + value) + u"|";
    EXPECT_EQ(ToUtf8(written), "|Mic|Headset|Alt+Z|");
}

constexpr char16_t kBadName[] = u"Type a name no profile has, without \\";

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
    std::u16string SelectedDevice() override { return u"Phones"; }
};

// The Profiles window over the store: each step a user takes, and the profiles
// stored after it.
TEST(ProfilesEditor, EachStepIsStoredOrRefusedWithANote) {
    Stored stored;
    stored.store.Save(Make({}, u"Desk", *ParseHotkey(u"Alt+D")));
    FakeView view;
    ProfilesEditor editor(view, stored.store, view);
    editor.Open({u"Speakers", u"Phones"}, {u"Mic"});
    // Each step: a name typed, a hotkey pressed or a role's row chosen, then a control used.
    struct Step {
        int id;
        const char16_t *name, *hotkey;
        int role, row;
        const char* stored;  // name:playback|record|comms|comms|hotkey, in name order
        const char16_t* note;
    } const steps[] = {
        {kIdProfileFromDevice, u"", nullptr, 0, 0, "Desk:||||Alt+D Phones:Phones||||none ", u""},
        {kIdProfileNew, u"desk", nullptr, 0, 0, "Desk:||||Alt+D Phones:Phones||||none ", kBadName},
        {kIdProfileNew, u"A\\B", nullptr, 0, 0, "Desk:||||Alt+D Phones:Phones||||none ", kBadName},
        {kIdProfileRename, u" Night ", nullptr, 0, 0, "Desk:||||Alt+D Night:Phones||||none ", u""},
        {kIdProfileHotkey, u"", u"Alt+D", 0, 0, "Desk:||||Alt+D Night:Phones||||none ",
         u"Already the hotkey of the profile \"Desk\""},
        {kIdProfileHotkey, u"", u"Ctrl+Alt+F12", 0, 0, "Desk:||||Alt+D Night:Phones||||none ",
         u"Already the hotkey of the cycle"},
        {kIdProfileHotkey, u"", u"Alt+N", 0, 0, "Desk:||||Alt+D Night:Phones||||Alt+N ", u""},
        {kIdProfileRole + 3, u"", nullptr, 3, 1, "Desk:||||Alt+D Night:Phones|||Mic|Alt+N ", u""},
        {kIdProfileRole, u"", nullptr, 0, 0, "Desk:||||Alt+D Night:|||Mic|Alt+N ", u""},
        {kIdProfileDelete, u"", nullptr, 0, 0, "Desk:||||Alt+D ", u""},
    };
    for (const Step& step : steps) {
        view.name.text = step.name;
        if (step.hotkey) view.hotkey = *ParseHotkey(step.hotkey);
        view.roles[step.role].selected = step.row;
        editor.OnCommand(step.id);
        EXPECT_EQ(stored.Shown(), step.stored);
        EXPECT_EQ(ToUtf8(view.note.text), ToUtf8(step.note)) << step.stored;
    }
    // A profile chosen in the list shows its devices' rows, a device that is
    // gone as unchanged, and its hotkey.
    stored.store.Save(Make({u"Phones", u"Gone", u"", u"Mic"}, u"Band", *ParseHotkey(u"Alt+B")));
    editor.Refresh({u"Speakers", u"Phones"}, {u"Mic"});
    view.list.selected = 0;
    editor.OnCommand(kIdProfileList);
    EXPECT_EQ(ToUtf8(view.name.text + u"|" + HotkeyText(view.hotkey)), "Band|Alt+B");
    std::vector<int> rows;
    for (const FakeList& role : view.roles) rows.push_back(role.selected);
    EXPECT_EQ(rows, (std::vector<int>{2, 0, 0, 1}));
    // The list shows the profiles, the roles "unchanged" and the devices of their side.
    EXPECT_EQ(view.list.items, (std::vector<std::u16string>{u"Band", u"Desk"}));
    EXPECT_EQ(view.roles[0].items,
              (std::vector<std::u16string>{u"unchanged", u"Speakers", u"Phones"}));
    EXPECT_EQ(view.roles[kProfileRecord].items,
              (std::vector<std::u16string>{u"unchanged", u"Mic"}));
}

}  // namespace
}  // namespace marvolt
