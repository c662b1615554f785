#pragma once
#include <cstdint>
#include <string>

namespace marvolt {

// The multimedia layer's wave-output devices.
class SoundDevices {
public:
    virtual ~SoundDevices() = default;
    virtual std::uint32_t OutputDeviceCount() = 0;   // waveOutGetNumDevs
    // waveOutGetDevCapsW: 0 on success. `productNameField` receives the record's
    // 32-character product-name field, NULs included, so the caller cuts it at
    // the first NUL.
    virtual std::uint32_t OutputDeviceName(std::uint32_t device, std::u16string& productNameField) = 0;
};

}  // namespace marvolt
