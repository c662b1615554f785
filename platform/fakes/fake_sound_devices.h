#pragma once
// Wave-output devices as a list. Each device hands back its 32-character
// product-name field as the platform fills it, NULs and all.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/sound_devices.h"

namespace marvolt {

class FakeSoundDevices : public SoundDevices {
public:
    static constexpr size_t kNameField = 32;

    // A device whose name is NUL-terminated inside the field; the rest of the
    // field holds leftovers, as an uncleared record would.
    void Add(const std::u16string& name);
    // A device whose field is given as is (padded with NULs to 32 characters).
    void AddField(const std::u16string& field);
    // A device whose capability query fails with `code`.
    void AddFailing(std::uint32_t code);
    void Clear() { devices.clear(); }

    std::uint32_t OutputDeviceCount() override;
    std::uint32_t OutputDeviceName(std::uint32_t device, std::u16string& productNameField) override;

    struct Device {
        std::u16string field;
        std::uint32_t result = 0;
    };
    std::vector<Device> devices;
    // When set, reported instead of the number of devices.
    bool overrideCount = false;
    std::uint32_t count = 0;
    std::vector<std::uint32_t> queried;
};

}  // namespace marvolt
