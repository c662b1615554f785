#include "platform/win32/audio_endpoints_win32.h"

#include <mmsystem.h>
#include <mmddk.h>

#include "platform/win32/win_text.h"

namespace marvolt {

const CLSID kPolicyConfigClass = {0x870AF99C, 0x171D, 0x4F9E, {0xAF, 0x0D, 0xE6, 0x3D, 0xF4, 0x0C, 0x2B, 0xC9}};
const IID kPolicyConfigInterface = {0xF8679F50, 0x850A, 0x41CF, {0x9C, 0x72, 0x43, 0x0F, 0x29, 0x02, 0x90, 0xC8}};
const CLSID kDeviceEnumeratorClass = {0xBCDE0395, 0xE52F, 0x467C, {0x8E, 0x3D, 0xC4, 0x57, 0x92, 0x91, 0x69, 0x2E}};
const IID kDeviceEnumeratorInterface = {0xA95664D2, 0x9614, 0x4F35, {0xA7, 0x46, 0xDE, 0x8D, 0xB6, 0x36, 0x17, 0xE6}};

namespace {
using CoInitializeExProc = HRESULT(WINAPI*)(void*, DWORD);
using CoCreateInstanceProc = HRESULT(WINAPI*)(REFCLSID, IUnknown*, DWORD, REFIID, void**);
using CoUninitializeProc = void(WINAPI*)();
using CoTaskMemFreeProc = void(WINAPI*)(void*);
constexpr HRESULT kClassNotRegistered = static_cast<HRESULT>(0x80040154L);
// An endpoint id is a short text; anything longer is not one.
constexpr ULONG kLongestId = 4096;
}  // namespace

AudioEndpointsWin32::~AudioEndpointsWin32() {
    policy_.reset();
    enumerator_.reset();
    if (uninitialize_) uninitialize_();
}

// ole32 is loaded only now: a program that never switches never maps it. A
// system without the policy class (before Windows 7, or Wine) is left to the
// Sound Mapper values alone; any other failure to create the object is the
// switch's failure, reported by SetDefaultEndpoint.
bool AudioEndpointsWin32::PolicyAvailable() {
    if (tried_) return available_;
    tried_ = true;
    ole32_.reset(LoadLibraryW(L"ole32.dll"));
    if (!ole32_) return false;
    auto find = [&](const char* name) { return reinterpret_cast<void*>(GetProcAddress(ole32_.get(), name)); };
    auto initialize = reinterpret_cast<CoInitializeExProc>(find("CoInitializeEx"));
    auto create = reinterpret_cast<CoCreateInstanceProc>(find("CoCreateInstance"));
    auto uninitialize = reinterpret_cast<CoUninitializeProc>(find("CoUninitialize"));
    if (!initialize || !create || !uninitialize) return false;
    HRESULT init = initialize(nullptr, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(init)) uninitialize_ = uninitialize;
    created_ = create(kPolicyConfigClass, nullptr, CLSCTX_INPROC_SERVER, kPolicyConfigInterface,
                      reinterpret_cast<void**>(policy_.put()));
    available_ = (SUCCEEDED(init) || init == RPC_E_CHANGED_MODE) && created_ != kClassNotRegistered;
    return available_;
}

// winmm is mapped on first use, as for the output devices; without it there
// are no devices and every question fails.
std::uint32_t AudioEndpointsWin32::InputDeviceCount() {
    auto count = winmm_.Find<decltype(&::waveInGetNumDevs)>("waveInGetNumDevs");
    return count ? count() : 0;
}

std::uint32_t AudioEndpointsWin32::InputDeviceName(std::uint32_t device, std::u16string& productNameField) {
    WAVEINCAPSW caps{};
    auto getCaps = winmm_.Find<decltype(&::waveInGetDevCapsW)>("waveInGetDevCapsW");
    if (!getCaps) return MMSYSERR_NODRIVER;
    MMRESULT result = getCaps(device, &caps, sizeof caps);
    if (result == MMSYSERR_NOERROR) productNameField = FromWide(caps.szPname, MAXPNAMELEN);
    return result;
}

std::u16string AudioEndpointsWin32::EndpointId(WaveDirection direction, std::uint32_t device) {
    auto outMessage = winmm_.Find<decltype(&::waveOutMessage)>("waveOutMessage");
    auto inMessage = winmm_.Find<decltype(&::waveInMessage)>("waveInMessage");
    auto ask = [&](UINT message, DWORD_PTR first, DWORD_PTR second) -> MMRESULT {
        if (direction == WaveDirection::Output)
            return outMessage ? outMessage(reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(device)), message, first,
                                           second)
                              : MMSYSERR_NODRIVER;
        return inMessage ? inMessage(reinterpret_cast<HWAVEIN>(static_cast<UINT_PTR>(device)), message, first, second)
                         : MMSYSERR_NODRIVER;
    };
    // The size, NUL included. Windows writes a ULONG there, 64-bit Wine a
    // DWORD_PTR: zeroed and wide enough for both, it reads right either way.
    DWORD_PTR bytes = 0;
    if (ask(DRV_QUERYFUNCTIONINSTANCEIDSIZE, reinterpret_cast<DWORD_PTR>(&bytes), 0) != MMSYSERR_NOERROR ||
        bytes < sizeof(wchar_t) || bytes > kLongestId)
        return {};
    std::u16string id(bytes / sizeof(wchar_t), u'\0');
    if (ask(DRV_QUERYFUNCTIONINSTANCEID, reinterpret_cast<DWORD_PTR>(id.data()), bytes) != MMSYSERR_NOERROR)
        return {};
    size_t end = id.find(u'\0');
    if (end != std::u16string::npos) id.resize(end);
    return id;
}

std::int32_t AudioEndpointsWin32::SetDefaultEndpoint(const std::u16string& endpointId, EndpointRole role) {
    if (!policy_) return FAILED(created_) ? created_ : E_NOINTERFACE;
    return policy_.get()->SetDefaultEndpoint(Wide(endpointId), static_cast<int>(role));
}

// COM is up once PolicyAvailable has said yes; the enumerator is made on the
// first question and kept.
std::u16string AudioEndpointsWin32::DefaultEndpointId(WaveDirection direction, EndpointRole role) {
    if (!available_ || !ole32_) return {};
    auto create = reinterpret_cast<CoCreateInstanceProc>(
        reinterpret_cast<void*>(GetProcAddress(ole32_.get(), "CoCreateInstance")));
    auto release = reinterpret_cast<CoTaskMemFreeProc>(
        reinterpret_cast<void*>(GetProcAddress(ole32_.get(), "CoTaskMemFree")));
    if (!create || !release) return {};
    if (!enumerator_ && FAILED(create(kDeviceEnumeratorClass, nullptr, CLSCTX_INPROC_SERVER,
                                      kDeviceEnumeratorInterface, reinterpret_cast<void**>(enumerator_.put()))))
        return {};
    UniqueCom<IMMDevice> device;
    if (FAILED(enumerator_.get()->GetDefaultAudioEndpoint(direction == WaveDirection::Output ? eRender : eCapture,
                                                          static_cast<ERole>(role), device.put())))
        return {};
    LPWSTR id = nullptr;
    if (FAILED(device.get()->GetId(&id)) || !id) return {};
    std::u16string text = FromWide(id);
    release(id);
    return text;
}

}  // namespace marvolt
