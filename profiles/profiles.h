#pragma once
// Profiles: named sets of default devices, one for each of the four roles a
// profile may name, switched in one step, with an optional hotkey. Kept under
// the settings store's "Profiles" key, one key per profile.
#include <array>
#include <string>
#include <vector>

#include "audio/default_endpoint.h"
#include "platform/hotkey.h"
#include "registry/registry.h"

namespace marvolt {

// The roles a profile names, in the order they are stored and shown.
enum ProfileSide : int { kProfilePlayback, kProfileRecord, kProfileCommsPlayback, kProfileCommsRecord };
constexpr const char16_t* kProfileValueNames[] = {u"Playback", u"Record", u"CommunicationsPlayback",
                                                  u"CommunicationsRecord"};

struct Profile {
    // Made and ended in one place: inlined, five texts a copy add up.
    Profile();
    Profile(const Profile& other);
    Profile& operator=(const Profile& other);
    ~Profile();

    std::u16string name;
    std::array<std::u16string, 4> devices;  // by ProfileSide; empty: unchanged
    Hotkey hotkey;                          // no key: none
};

// One step of applying a profile: a device of one side made the default for roles.
struct ProfileTarget {
    WaveDirection direction;
    std::u16string device;
    RoleMask roles;
    bool operator==(const ProfileTarget& other) const {
        return direction == other.direction && device == other.device && roles == other.roles;
    }
};

// The steps a profile takes, given the devices each side has now: a named
// device that is not there is left unchanged; one device named for both roles
// of a side is one step.
std::vector<ProfileTarget> ProfileTargets(const Profile& profile, const std::vector<std::u16string>& outputs,
                                          const std::vector<std::u16string>& inputs);

// Every role the profile names is the current default; a profile that names
// none is never active.
bool ProfileActive(const Profile& profile, const DefaultDevices& current);

// The tray menu's entry for a profile, and the profile an entry names: its
// index, or -1.
std::u16string ProfileEntry(const Profile& profile, bool active);
int FindChosenProfile(const std::vector<Profile>& profiles, const std::u16string& selected);
constexpr char16_t kProfileEntryPrefix[] = u"Profile: ";

// The hotkey the profile at `index` takes: its own, or none where the cycle
// or a profile before it has that one.
Hotkey ProfileHotkey(const std::vector<Profile>& profiles, size_t index, const Hotkey& cycle);

enum class ProfileOutcome { Applied, Refused, NotFound };

// Writes the Sound Mapper values of the profile's default sides and, where
// the policy answers, makes each step's device the default for its roles;
// `error` is the refusal.
ProfileOutcome SwitchProfile(const Profile& profile, Registry& registry, DefaultEndpoint& endpoint,
                            std::int32_t& error);

// The profiles in the registry, read and written as the user keeps them.
class ProfileStore {
public:
    explicit ProfileStore(Registry& registry) : registry_(registry) {}

    // In name order. A value of another type, or too long to be a device's
    // name, reads as unchanged; a hotkey that can't be read as none.
    std::vector<Profile> Load();
    void Save(const Profile& profile);
    void Remove(const std::u16string& name);

private:
    Registry& registry_;
};

}  // namespace marvolt
