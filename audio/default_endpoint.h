#pragma once
// Makes a device the system's default endpoint, for the systems whose audio
// stack no longer reads the Sound Mapper values.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/audio_endpoints.h"
#include "platform/sound_devices.h"

namespace marvolt {

// The roles a switch makes a device the default for, one bit per EndpointRole.
using RoleMask = unsigned;
constexpr RoleMask kDefaultRoles = 3;        // console and multimedia
constexpr RoleMask kCommunicationsRole = 4;
constexpr RoleMask kAllRoles = kDefaultRoles | kCommunicationsRole;

// Devices reported under one name are told apart as the lists show them: from
// the second on, " (2)", " (3)" and so on follow the name. Empty names stay.
void NumberSameNames(std::vector<std::u16string>& names);

// The settings window's choice of roles, in the order it lists them, with the
// text each is stored as and the roles it stands for.
constexpr const char16_t* kRoleChoiceTexts[] = {u"all", u"default", u"communications"};
constexpr RoleMask kRoleChoiceMasks[] = {kAllRoles, kDefaultRoles, kCommunicationsRole};
// The choice a stored text names; anything else is the first, all roles.
int RoleChoice(const std::u16string& stored);

struct EndpointSwitch {
    enum class Outcome { NotAvailable, Switched, Failed };
    Outcome outcome = Outcome::NotAvailable;
    // Failed: the failing call's result, or kNoEndpoint.
    std::int32_t error = 0;
    // Recording was asked for but no input device has the name: its default stays.
    bool captureUnchanged = false;
};

// The devices, by the names the device list shows, whose endpoints are the
// system's defaults; empty where no device has the default endpoint.
struct DefaultDevices {
    // Made and ended in one place, as four texts inlined add up.
    DefaultDevices();
    DefaultDevices(std::u16string playback, std::u16string record, std::u16string communicationsPlayback,
                   std::u16string communicationsRecord);
    DefaultDevices(const DefaultDevices& other);
    DefaultDevices& operator=(const DefaultDevices& other);
    ~DefaultDevices();

    std::u16string playback, record;
    // The communications role's, where the system tells it.
    std::u16string communicationsPlayback, communicationsRecord;
};

class DefaultEndpoint {
public:
    // HRESULT_FROM_WIN32(ERROR_NOT_FOUND): the output device has no endpoint.
    static constexpr std::int32_t kNoEndpoint = static_cast<std::int32_t>(0x80070490u);

    DefaultEndpoint(SoundDevices& outputs, AudioEndpoints& endpoints) : outputs_(outputs), endpoints_(endpoints) {}

    EndpointSwitch Switch(const std::u16string& deviceName, bool playback, bool record, RoleMask roles = kAllRoles);

    bool PolicyAvailable() { return endpoints_.PolicyAvailable(); }
    // The devices of one side as the lists show them (or as reported), in device order.
    std::vector<std::u16string> DeviceNames(WaveDirection direction, bool numbered = true);
    // The name the system reports for the device the lists show as `shown`.
    std::u16string ReportedName(WaveDirection direction, const std::u16string& shown);
    // Makes the first device of that name on that side the default for the
    // roles: 0 when done, kNoEndpoint when no such device has an endpoint, or
    // the refusal.
    std::int32_t SetRoles(WaveDirection direction, const std::u16string& name, RoleMask roles);

    // Where a switch reaches the endpoints, the devices that have the default
    // ones now, whoever made them the default; nothing elsewhere.
    std::optional<DefaultDevices> CurrentDefaults();

private:
    SoundDevices& outputs_;
    AudioEndpoints& endpoints_;
};

}  // namespace marvolt
