#include "platform/win32/sound_devices_win32.h"

#include <windows.h>
#include <mmsystem.h>

#include "platform/win32/win_text.h"

namespace marvolt {

std::uint32_t SoundDevicesWin32::OutputDeviceCount() { return waveOutGetNumDevs(); }

std::uint32_t SoundDevicesWin32::OutputDeviceName(std::uint32_t device, std::u16string& productNameField) {
    // A full, zeroed record: the call may fill less than asked for, and the name
    // field must never hold stale bytes.
    WAVEOUTCAPSW caps{};
    MMRESULT result = waveOutGetDevCapsW(device, &caps, sizeof caps);
    if (result != MMSYSERR_NOERROR) return result;
    productNameField = FromWide(caps.szPname, MAXPNAMELEN);
    return result;
}

}  // namespace marvolt
