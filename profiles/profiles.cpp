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

bool Listed(const std::vector<std::u16string>& names, const std::u16string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

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

std::vector<Hotkey> ProfileHotkeys(const std::vector<Profile>& profiles, const Hotkey& cycle) {
    std::vector<Hotkey> hotkeys;
    for (const Profile& profile : profiles) {
        const bool taken = profile.hotkey == cycle || std::find(hotkeys.begin(), hotkeys.end(), profile.hotkey) != hotkeys.end();
        hotkeys.push_back(taken ? Hotkey{} : profile.hotkey);
    }
    return hotkeys;
}

std::vector<Profile> ProfileStore::Load() {
    std::vector<Profile> profiles;
    for (const std::u16string& name : registry_.SubKeyNames(kCurrentUser, kProfilesKey)) {
        Profile profile{name, {}, {}};
        const std::u16string key = kProfilesKey + (u"\\" + name);
        for (int side = 0; side < 4; ++side) {
            std::u16string device = registry_.QueryRegValue(kCurrentUser, key, kProfileValueNames[side], u"");
            if (device.size() <= kLongestDevice) profile.devices[side] = Trim(device);
        }
        if (std::optional<Hotkey> hotkey = ParseHotkey(registry_.QueryRegValue(kCurrentUser, key, u"Hotkey", u"")))
            profile.hotkey = *hotkey;
        profiles.push_back(profile);
    }
    std::sort(profiles.begin(), profiles.end(), [](const Profile& a, const Profile& b) {
        const std::u16string left = ToLowerAscii(a.name), right = ToLowerAscii(b.name);
        return left != right ? left < right : a.name < b.name;
    });
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
                                    target.device);
    error = 0;
    if (!endpoint.PolicyAvailable()) return ProfileOutcome::Applied;
    for (const ProfileTarget& target : targets)
        if ((error = endpoint.SetRoles(target.direction, target.device, target.roles)) != 0)
            return ProfileOutcome::Refused;
    return ProfileOutcome::Applied;
}

}  // namespace marvolt
