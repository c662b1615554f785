#pragma once
// Makes a device the system's default endpoint, for the systems whose audio
// stack no longer reads the Sound Mapper values.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/audio_endpoints.h"
#include "platform/sound_devices.h"

namespace marvolt {

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
    std::u16string playback, record;
};

class DefaultEndpoint {
public:
    // HRESULT_FROM_WIN32(ERROR_NOT_FOUND): the output device has no endpoint.
    static constexpr std::int32_t kNoEndpoint = static_cast<std::int32_t>(0x80070490u);

    DefaultEndpoint(SoundDevices& outputs, AudioEndpoints& endpoints) : outputs_(outputs), endpoints_(endpoints) {}

    EndpointSwitch Switch(const std::u16string& deviceName, bool playback, bool record);

    // Where a switch reaches the endpoints, the devices that have the default
    // ones now, whoever made them the default; nothing elsewhere.
    std::optional<DefaultDevices> CurrentDefaults();

private:
    SoundDevices& outputs_;
    AudioEndpoints& endpoints_;
};

}  // namespace marvolt
