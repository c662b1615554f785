#pragma once
#include "platform/sound_devices.h"
#include "platform/win32/late_library.h"

namespace marvolt {

// The wave-output devices as winmm reports them, through the wide calls, so no name is lost to the code page.
class SoundDevicesWin32 final : public SoundDevices {
public:
    std::uint32_t OutputDeviceCount() override;
    std::uint32_t OutputDeviceName(std::uint32_t device, std::u16string& productNameField) override;

private:
    LateLibrary winmm_{L"winmm.dll"};
};

}  // namespace marvolt
