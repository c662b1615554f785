#include "audio/default_endpoint.h"

#include <utility>

#include "platform/text.h"

namespace marvolt {
namespace {

constexpr EndpointRole kRoles[] = {EndpointRole::Console, EndpointRole::Multimedia, EndpointRole::Communications};
constexpr std::uint32_t kNone = 0xffffffffu;

}  // namespace

DefaultDevices::DefaultDevices() = default;
DefaultDevices::DefaultDevices(std::u16string playback, std::u16string record, std::u16string communicationsPlayback,
                               std::u16string communicationsRecord)
    : playback(std::move(playback)),
      record(std::move(record)),
      communicationsPlayback(std::move(communicationsPlayback)),
      communicationsRecord(std::move(communicationsRecord)) {}
DefaultDevices::DefaultDevices(const DefaultDevices& other) = default;
DefaultDevices& DefaultDevices::operator=(const DefaultDevices& other) = default;
DefaultDevices::~DefaultDevices() = default;

int RoleChoice(const std::u16string& stored) {
    for (int i = 1; i < 3; ++i)
        if (stored == kRoleChoiceTexts[i]) return i;
    return 0;
}

// The names cut and trimmed as the device list shows them; a device that
// can't be asked has the empty name.
void NumberSameNames(std::vector<std::u16string>& names) {
    // From the end, so that the names before the one numbered are still as reported.
    for (size_t i = names.size(); i-- > 0;) {
        long long same = 1;
        for (size_t j = 0; j < i; ++j) same += names[j] == names[i];
        if (same > 1 && !names[i].empty()) names[i] += u" (" + Decimal(same) + u")";
    }
}

std::u16string DefaultEndpoint::ReportedName(WaveDirection direction, const std::u16string& shown) {
    const std::vector<std::u16string> numbered = DeviceNames(direction), reported = DeviceNames(direction, false);
    for (size_t i = 0; i < numbered.size(); ++i)
        if (numbered[i] == shown) return reported[i];
    return shown;
}

std::vector<std::u16string> DefaultEndpoint::DeviceNames(WaveDirection direction, bool numbered) {
    const bool output = direction == WaveDirection::Output;
    std::vector<std::u16string> names;
    const std::uint32_t count = output ? outputs_.OutputDeviceCount() : endpoints_.InputDeviceCount();
    for (std::uint32_t id = 0; id < count && id < 0x80000000u; ++id) {
        std::u16string field;
        if ((output ? outputs_.OutputDeviceName(id, field) : endpoints_.InputDeviceName(id, field)) != 0) field.clear();
        size_t nul = field.find(u'\0');
        if (nul != std::u16string::npos) field.resize(nul);
        names.push_back(Trim(field));
    }
    if (numbered) NumberSameNames(names);
    return names;
}

// The device shown under that name; the chosen roles of its endpoint, stopping
// at the first refusal.
std::int32_t DefaultEndpoint::SetRoles(WaveDirection direction, const std::u16string& name, RoleMask roles) {
    const std::vector<std::u16string> names = DeviceNames(direction);
    const std::u16string wanted = Trim(name);
    std::uint32_t device = kNone;
    for (std::uint32_t id = 0; id < names.size() && device == kNone; ++id)
        if (names[id] == wanted && !wanted.empty()) device = id;
    const std::u16string id = device == kNone ? std::u16string() : endpoints_.EndpointId(direction, device);
    if (id.empty()) return kNoEndpoint;
    for (EndpointRole role : kRoles) {
        if (!(roles >> static_cast<int>(role) & 1)) continue;
        std::int32_t status = endpoints_.SetDefaultEndpoint(id, role);
        if (status < 0) return status;
    }
    return 0;
}

EndpointSwitch DefaultEndpoint::Switch(const std::u16string& deviceName, bool playback, bool record, RoleMask roles) {
    EndpointSwitch result;
    if ((!playback && !record) || !endpoints_.PolicyAvailable()) return result;
    result.outcome = EndpointSwitch::Outcome::Failed;
    if (playback) result.error = SetRoles(WaveDirection::Output, deviceName, roles);
    if (record && result.error == 0) {
        result.error = SetRoles(WaveDirection::Input, deviceName, roles);
        // Recording follows only where an input device has the name.
        result.captureUnchanged = result.error == kNoEndpoint;
        if (result.captureUnchanged) result.error = 0;
    }
    if (result.error == 0) result.outcome = EndpointSwitch::Outcome::Switched;
    return result;
}

// A default endpoint is found by id among the devices' own endpoints; the
// recording one stands for the output device of the same name, as a switch
// pairs them.
std::optional<DefaultDevices> DefaultEndpoint::CurrentDefaults() {
    if (!endpoints_.PolicyAvailable()) return std::nullopt;
    DefaultDevices defaults;
    std::u16string* found[] = {&defaults.playback, &defaults.record, &defaults.communicationsPlayback,
                               &defaults.communicationsRecord};
    for (int side = 0; side < 4; ++side) {
        const auto direction = side % 2 ? WaveDirection::Input : WaveDirection::Output;
        const std::u16string wanted =
            endpoints_.DefaultEndpointId(direction, side < 2 ? EndpointRole::Console : EndpointRole::Communications);
        if (wanted.empty()) continue;
        const std::vector<std::u16string> names = DeviceNames(direction);
        for (std::uint32_t id = 0; id < names.size(); ++id)
            if (endpoints_.EndpointId(direction, id) == wanted) {
                *found[side] = names[id];
                break;
            }
    }
    return defaults;
}

}  // namespace marvolt
