#include "platform/fakes/fake_sound_devices.h"

namespace marvolt {

void FakeSoundDevices::Add(const std::u16string& name) {
    std::u16string field = name.substr(0, kNameField - 1);
    field += u'\0';
    while (field.size() < kNameField) field += u'#';
    devices.push_back({field, 0});
}

void FakeSoundDevices::AddField(const std::u16string& field) {
    std::u16string padded = field.substr(0, kNameField);
    padded.resize(kNameField, u'\0');
    devices.push_back({padded, 0});
}

void FakeSoundDevices::AddFailing(std::uint32_t code) { devices.push_back({std::u16string(kNameField, u'?'), code}); }

std::uint32_t FakeSoundDevices::OutputDeviceCount() {
    return overrideCount ? count : static_cast<std::uint32_t>(devices.size());
}

std::uint32_t FakeSoundDevices::OutputDeviceName(std::uint32_t device, std::u16string& productNameField) {
    queried.push_back(device);
    if (device >= devices.size()) return 2;  // MMSYSERR_BADDEVICEID
    // A failing query still leaves bytes in the record; only the result tells.
    const Device& entry = devices[device];
    productNameField = entry.field;
    return entry.result;
}

}  // namespace marvolt
