#include "audio/default_endpoint.h"

#include "platform/text.h"

namespace marvolt {
namespace {

constexpr EndpointRole kRoles[] = {EndpointRole::Console, EndpointRole::Multimedia, EndpointRole::Communications};
constexpr std::uint32_t kNone = 0xffffffffu;

// The first device whose name, cut and trimmed as the device list shows it,
// `matches`; kNone when none does. `name` receives that name.
template <class NameOf, class Match>
std::uint32_t FirstDevice(std::uint32_t count, NameOf nameOf, Match matches, std::u16string* name = nullptr) {
    for (std::uint32_t id = 0; id < count && id < 0x80000000u; ++id) {
        std::u16string field;
        if (nameOf(id, field) != 0) continue;
        size_t nul = field.find(u'\0');
        if (nul != std::u16string::npos) field.resize(nul);
        if (!matches(id, Trim(field))) continue;
        if (name) *name = Trim(field);
        return id;
    }
    return kNone;
}

// The first device of that name: the list holds names only, and equal names
// are the same model.
template <class NameOf>
std::uint32_t DeviceNamed(const std::u16string& name, std::uint32_t count, NameOf nameOf) {
    const std::u16string wanted = Trim(name);
    return FirstDevice(count, nameOf, [&](std::uint32_t, const std::u16string& shown) { return shown == wanted; });
}

}  // namespace

EndpointSwitch DefaultEndpoint::Switch(const std::u16string& deviceName, bool playback, bool record) {
    EndpointSwitch result;
    if ((!playback && !record) || !endpoints_.PolicyAvailable()) return result;

    // Every role of one endpoint, stopping at the first refusal.
    auto makeDefault = [&](const std::u16string& id) {
        for (EndpointRole role : kRoles) {
            std::int32_t status = endpoints_.SetDefaultEndpoint(id, role);
            if (status < 0) {
                result.outcome = EndpointSwitch::Outcome::Failed;
                result.error = status;
                return false;
            }
        }
        return true;
    };

    if (playback) {
        std::uint32_t device = DeviceNamed(deviceName, outputs_.OutputDeviceCount(),
                                           [&](std::uint32_t id, std::u16string& field) {
                                               return outputs_.OutputDeviceName(id, field);
                                           });
        std::u16string id = device == kNone ? std::u16string() : endpoints_.EndpointId(WaveDirection::Output, device);
        if (id.empty()) {
            result.outcome = EndpointSwitch::Outcome::Failed;
            result.error = kNoEndpoint;
            return result;
        }
        if (!makeDefault(id)) return result;
    }
    if (record) {
        std::uint32_t device = DeviceNamed(deviceName, endpoints_.InputDeviceCount(),
                                           [&](std::uint32_t id, std::u16string& field) {
                                               return endpoints_.InputDeviceName(id, field);
                                           });
        std::u16string id = device == kNone ? std::u16string() : endpoints_.EndpointId(WaveDirection::Input, device);
        if (id.empty())
            result.captureUnchanged = true;
        else if (!makeDefault(id))
            return result;
    }
    result.outcome = EndpointSwitch::Outcome::Switched;
    return result;
}

// A default endpoint is found by id among the devices' own endpoints; the
// recording one stands for the output device of the same name, as a switch
// pairs them.
std::optional<DefaultDevices> DefaultEndpoint::CurrentDefaults() {
    if (!endpoints_.PolicyAvailable()) return std::nullopt;
    DefaultDevices defaults;
    struct Side {
        WaveDirection direction;
        std::u16string& name;
    };
    for (Side side : {Side{WaveDirection::Output, defaults.playback}, Side{WaveDirection::Input, defaults.record}}) {
        const std::u16string wanted = endpoints_.DefaultEndpointId(side.direction);
        if (wanted.empty()) continue;
        auto isDefault = [&](std::uint32_t id, const std::u16string&) {
            return endpoints_.EndpointId(side.direction, id) == wanted;
        };
        if (side.direction == WaveDirection::Output)
            FirstDevice(outputs_.OutputDeviceCount(),
                        [&](std::uint32_t id, std::u16string& field) { return outputs_.OutputDeviceName(id, field); },
                        isDefault, &side.name);
        else
            FirstDevice(endpoints_.InputDeviceCount(),
                        [&](std::uint32_t id, std::u16string& field) { return endpoints_.InputDeviceName(id, field); },
                        isDefault, &side.name);
    }
    return defaults;
}

}  // namespace marvolt
