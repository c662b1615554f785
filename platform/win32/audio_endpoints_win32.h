#pragma once
#include <windows.h>
#include <unknwn.h>
#include <mmdeviceapi.h>

#include "platform/audio_endpoints.h"
#include "platform/win32/late_library.h"
#include "platform/win32/unique_handle.h"

namespace marvolt {

// The audio policy interface of the system's own sound panel (Windows 7 and
// later). It is not in the SDK; the method order is the one the system has.
struct IPolicyConfig : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetMixFormat(PCWSTR, void**) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDeviceFormat(PCWSTR, INT, void**) = 0;
    virtual HRESULT STDMETHODCALLTYPE ResetDeviceFormat(PCWSTR) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetDeviceFormat(PCWSTR, void*, void*) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetProcessingPeriod(PCWSTR, INT, INT64*, INT64*) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetProcessingPeriod(PCWSTR, INT64*) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetShareMode(PCWSTR, void*) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetShareMode(PCWSTR, void*) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPropertyValue(PCWSTR, const void*, void*) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetPropertyValue(PCWSTR, const void*, void*) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetDefaultEndpoint(PCWSTR deviceId, int role) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetEndpointVisibility(PCWSTR, INT) = 0;
};

extern const CLSID kPolicyConfigClass;  // {870AF99C-171D-4F9E-AF0D-E63DF40C2BC9}
extern const IID kPolicyConfigInterface;  // {F8679F50-850A-41CF-9C72-430F290290C8}
extern const CLSID kDeviceEnumeratorClass;   // the endpoint audio's MMDeviceEnumerator
extern const IID kDeviceEnumeratorInterface;

// Wave devices through winmm's wide calls; COM and the policy object are
// brought up on the first switch, on the calling (user-interface) thread.
class AudioEndpointsWin32 : public AudioEndpoints {
public:
    AudioEndpointsWin32() = default;
    AudioEndpointsWin32(const AudioEndpointsWin32&) = delete;
    AudioEndpointsWin32& operator=(const AudioEndpointsWin32&) = delete;
    ~AudioEndpointsWin32() override;

    bool PolicyAvailable() override;
    std::uint32_t InputDeviceCount() override;
    std::uint32_t InputDeviceName(std::uint32_t device, std::u16string& productNameField) override;
    std::u16string EndpointId(WaveDirection direction, std::uint32_t device) override;
    std::int32_t SetDefaultEndpoint(const std::u16string& endpointId, EndpointRole role) override;
    std::u16string DefaultEndpointId(WaveDirection direction, EndpointRole role) override;

private:
    bool tried_ = false;
    bool available_ = false;
    HRESULT created_ = E_FAIL;
    UniqueModule ole32_;
    LateLibrary winmm_{L"winmm.dll"};
    void (WINAPI* uninitialize_)() = nullptr;  // set while this object holds COM
    UniqueCom<IPolicyConfig> policy_;
    UniqueCom<IMMDeviceEnumerator> enumerator_;
};

}  // namespace marvolt
