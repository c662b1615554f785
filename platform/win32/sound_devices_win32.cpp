#include "platform/win32/sound_devices_win32.h"

#include <windows.h>
#include <mmsystem.h>

#include "platform/win32/win_text.h"

namespace marvolt {

// winmm is mapped on the first question, so that a second start, which only
// hands over, never loads the sound stack. Without winmm there are no devices.
std::uint32_t SoundDevicesWin32::OutputDeviceCount() {
    auto count = winmm_.Find<decltype(&::waveOutGetNumDevs)>("waveOutGetNumDevs");
    return count ? count() : 0;
}

std::uint32_t SoundDevicesWin32::OutputDeviceName(std::uint32_t device, std::u16string& productNameField) {
    // A full, zeroed record: the call may fill less than asked for, and the name
    // field must never hold stale bytes.
    WAVEOUTCAPSW caps{};
    auto getCaps = winmm_.Find<decltype(&::waveOutGetDevCapsW)>("waveOutGetDevCapsW");
    if (!getCaps) return MMSYSERR_NODRIVER;
    MMRESULT result = getCaps(device, &caps, sizeof caps);
    if (result != MMSYSERR_NOERROR) return result;
    productNameField = FromWide(caps.szPname, MAXPNAMELEN);
    return result;
}

}  // namespace marvolt
