#include "profiles/profiles.h"

#include <algorithm>

#include "app/device_cycle.h"
#include "platform/text.h"
#include "product.h"

namespace marvolt {
namespace {

constexpr char16_t kCurrentUserName[] = u"HKEY_CURRENT_USER";
constexpr char16_t kProfilesKey[] = u"Software\\VB and VBA Program Settings\\" MARVOLT_PRODUCT u"\\Profiles";
constexpr char16_t kSoundMapperKey[] = u"Software\\Microsoft\\Multimedia\\Sound Mapper";
constexpr char16_t kActiveMark[] = u"  <active>";
// Longer than any name a device reports, by far.
constexpr size_t kLongestDevice = 255;

bool Before(const std::u16string& a, const std::u16string& b) { return ToLowerAscii(a) < ToLowerAscii(b); }

// A value of another type, or too long for a device's name, reads as unchanged.
std::u16string DeviceValue(Registry& registry, const std::u16string& key, const char16_t* name) {
    std::u16string device = registry.QueryRegValue(kCurrentUser, key, name, u"");
    return device.size() <= kLongestDevice ? Trim(device) : std::u16string();
}

bool Listed(const std::vector<std::u16string>& names, const std::u16string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

Profile::Profile() = default;
Profile::Profile(const Profile& other) = default;
Profile& Profile::operator=(const Profile& other) = default;
Profile::~Profile() = default;

std::vector<ProfileTarget> ProfileTargets(const Profile& profile, const std::vector<std::u16string>& outputs,
                                          const std::vector<std::u16string>& inputs) {
    std::vector<ProfileTarget> targets;
    for (int side = 0; side < 4; ++side) {
        const std::u16string device = Trim(profile.devices[side]);
        const bool input = side % 2 != 0;
        if (device.empty() || !Listed(input ? inputs : outputs, device)) continue;
        const WaveDirection direction = input ? WaveDirection::Input : WaveDirection::Output;
        const RoleMask roles = side < 2 ? kDefaultRoles : kCommunicationsRole;
        auto same = std::find_if(targets.begin(), targets.end(), [&](const ProfileTarget& target) {
            return target.direction == direction && target.device == device;
        });
        if (same != targets.end())
            same->roles |= roles;
        else
            targets.push_back({direction, device, roles});
    }
    return targets;
}

bool ProfileActive(const Profile& profile, const DefaultDevices& current) {
    const std::u16string* now[] = {&current.playback, &current.record, &current.communicationsPlayback,
                                   &current.communicationsRecord};
    bool named = false;
    for (int side = 0; side < 4; ++side) {
        const std::u16string device = Trim(profile.devices[side]);
        if (device.empty()) continue;
        if (device != Trim(*now[side])) return false;
        named = true;
    }
    return named;
}

std::u16string ProfileEntry(const Profile& profile, bool active) {
    return kProfileEntryPrefix + Trim(profile.name) + (active ? kActiveMark : u"");
}

// The name alone first: a profile may be called what another's entry shows.
int FindChosenProfile(const std::vector<Profile>& profiles, const std::u16string& selected) {
    if (!StartsWith(selected, kProfileEntryPrefix)) return -1;
    const std::u16string rest = selected.substr(std::size(kProfileEntryPrefix) - 1);
    for (int pass = 0; pass < 2; ++pass)
        for (size_t i = 0; i < profiles.size(); ++i)
            if (rest == Trim(profiles[i].name) + (pass ? kActiveMark : u"")) return static_cast<int>(i);
    return -1;
}

Hotkey ProfileHotkey(const std::vector<Profile>& profiles, size_t index, const Hotkey& cycle) {
    const Hotkey& hotkey = profiles[index].hotkey;
    bool taken = hotkey == cycle;
    for (size_t before = 0; before < index; ++before) taken |= profiles[before].hotkey == hotkey;
    return taken ? Hotkey{} : hotkey;
}

std::vector<Profile> ProfileStore::Load() {
    // In name order, letter case aside: the few names are sorted in place.
    std::vector<std::u16string> names = registry_.SubKeyNames(kCurrentUser, kProfilesKey);
    for (size_t i = 1; i < names.size(); ++i)
        for (size_t j = i; j > 0 && Before(names[j], names[j - 1]); --j) names[j].swap(names[j - 1]);
    std::vector<Profile> profiles(names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        Profile& profile = profiles[i];
        profile.name = names[i];
        const std::u16string key = kProfilesKey + (u"\\" + names[i]);
        for (int side = 0; side < 4; ++side) profile.devices[side] = DeviceValue(registry_, key, kProfileValueNames[side]);
        if (std::optional<Hotkey> hotkey = ParseHotkey(registry_.QueryRegValue(kCurrentUser, key, u"Hotkey", u"")))
            profile.hotkey = *hotkey;
    }
    return profiles;
}

void ProfileStore::Save(const Profile& profile) {
    const std::u16string key = kProfilesKey + (u"\\" + profile.name);
    for (int side = 0; side < 4; ++side)
        registry_.WriteRegString(kCurrentUserName, key, kProfileValueNames[side], profile.devices[side]);
    registry_.WriteRegString(kCurrentUserName, key, u"Hotkey", HotkeyText(profile.hotkey));
}

void ProfileStore::Remove(const std::u16string& name) { registry_.DeleteRegKey(kCurrentUser, kProfilesKey, name); }

// The Sound Mapper values come from the default sides and are written
// whatever the policy says, as a device's switch writes them.
ProfileOutcome SwitchProfile(const Profile& profile, Registry& registry, DefaultEndpoint& endpoint,
                            std::int32_t& error) {
    const std::vector<ProfileTarget> targets = ProfileTargets(
        profile, endpoint.DeviceNames(WaveDirection::Output), endpoint.DeviceNames(WaveDirection::Input));
    for (const ProfileTarget& target : targets)
        if (target.roles & kDefaultRoles)
            registry.WriteRegString(kCurrentUserName, kSoundMapperKey,
                                    target.direction == WaveDirection::Output ? u"Playback" : u"Record",
                                    endpoint.ReportedName(target.direction, target.device));
    error = 0;
    if (!endpoint.PolicyAvailable()) return ProfileOutcome::Applied;
    for (const ProfileTarget& target : targets)
        if ((error = endpoint.SetRoles(target.direction, target.device, target.roles)) != 0)
            return ProfileOutcome::Refused;
    return ProfileOutcome::Applied;
}

}  // namespace marvolt
