#include "platform/win32/sound_devices_win32.h"

#include <windows.h>
#include <mmsystem.h>

#include <cstddef>

#include "platform/win32/win_text.h"

namespace marvolt {

namespace {
// The record's fields up to and including dwSupport, without the trailing
// reserved word: the size the program has always passed.
constexpr UINT kCapsRequestSize = 50;
static_assert(offsetof(WAVEOUTCAPSA, dwSupport) + sizeof(DWORD) == kCapsRequestSize + 2,
              "WAVEOUTCAPSA layout");
}  // namespace

std::uint32_t SoundDevicesWin32::OutputDeviceCount() { return waveOutGetNumDevs(); }

std::uint32_t SoundDevicesWin32::OutputDeviceName(std::uint32_t device, std::u16string& productNameField) {
    // A full, zeroed record: the call may fill less than asked for, and the name
    // field must never hold stale bytes.
    WAVEOUTCAPSA caps{};
    MMRESULT result = waveOutGetDevCapsA(device, &caps, kCapsRequestSize);
    if (result != MMSYSERR_NOERROR) return result;
    productNameField = FromAnsi(std::string_view(caps.szPname, sizeof caps.szPname));
    return result;
}

}  // namespace marvolt
