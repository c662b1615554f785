#pragma once
#include <cstdint>
#include <string>

namespace marvolt {

// The roles a default endpoint plays, numbered as the system numbers them.
enum class EndpointRole : int { Console = 0, Multimedia = 1, Communications = 2 };
enum class WaveDirection { Output, Input };

// The endpoint audio of Windows Vista and later, reached from the wave devices,
// and the audio policy that makes an endpoint the default.
class AudioEndpoints {
public:
    virtual ~AudioEndpoints() = default;
    // False where no default can be set: no endpoint audio, no COM or no policy class.
    virtual bool PolicyAvailable() = 0;
    virtual std::uint32_t InputDeviceCount() = 0;  // waveInGetNumDevs
    // waveInGetDevCapsW: 0 on success; the 32-character name field, NULs included.
    virtual std::uint32_t InputDeviceName(std::uint32_t device, std::u16string& productNameField) = 0;
    // The endpoint id of a wave device (DRV_QUERYFUNCTIONINSTANCEID); empty when it has none.
    virtual std::u16string EndpointId(WaveDirection direction, std::uint32_t device) = 0;
    // The policy's SetDefaultEndpoint: its result, negative on failure.
    virtual std::int32_t SetDefaultEndpoint(const std::u16string& endpointId, EndpointRole role) = 0;
    // The id of the system's default endpoint for the role; empty when there is
    // none or it can't be asked. Only after PolicyAvailable.
    virtual std::u16string DefaultEndpointId(WaveDirection direction, EndpointRole role) = 0;
};

}  // namespace marvolt
