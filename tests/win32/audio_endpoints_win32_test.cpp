// Wave devices to endpoints under Wine's winmm and mmdevapi, with the sound
// server's devices: a row's endpoint must be the one the endpoint API lists
// under the row's name, for playback and for the recording device of that name.
#include <windows.h>
#include <initguid.h>
#include <mmdeviceapi.h>
#include <functiondiscoverykeys_devpkey.h>

#include <gtest/gtest.h>

#include <map>

#include "audio/default_endpoint.h"
#include "platform/text.h"
#include "platform/win32/audio_endpoints_win32.h"
#include "platform/win32/sound_devices_win32.h"
#include "platform/win32/win_text.h"

namespace marvolt {
namespace {

// Endpoint ids by friendly name, cut as the wave devices cut names.
std::map<std::u16string, std::u16string> Listed(EDataFlow flow) {
    std::map<std::u16string, std::u16string> ids;
    UniqueCom<IMMDeviceEnumerator> enumerator;
    UniqueCom<IMMDeviceCollection> all;
    UINT count = 0;
    if (FAILED(CoCreateInstance(CLSID_MMDeviceEnumerator, nullptr, CLSCTX_ALL, IID_IMMDeviceEnumerator,
                                reinterpret_cast<void**>(enumerator.put()))) ||
        FAILED(enumerator.get()->EnumAudioEndpoints(flow, DEVICE_STATE_ACTIVE, all.put())) ||
        FAILED(all.get()->GetCount(&count)))
        return ids;
    for (UINT i = 0; i < count; ++i) {
        UniqueCom<IMMDevice> device;
        UniqueCom<IPropertyStore> properties;
        LPWSTR id = nullptr;
        PROPVARIANT name;
        PropVariantInit(&name);
        if (FAILED(all.get()->Item(i, device.put())) || FAILED(device.get()->GetId(&id))) continue;
        if (SUCCEEDED(device.get()->OpenPropertyStore(STGM_READ, properties.put())) &&
            SUCCEEDED(properties.get()->GetValue(PKEY_Device_FriendlyName, &name)) && name.vt == VT_LPWSTR)
            ids[FromWide(name.pwszVal).substr(0, 31)] = FromWide(id);
        PropVariantClear(&name);
        CoTaskMemFree(id);
    }
    return ids;
}

// The real lookup, with the policy's calls recorded instead of made.
struct RecordingEndpoints : AudioEndpointsWin32 {
    bool PolicyAvailable() override { return true; }
    std::int32_t SetDefaultEndpoint(const std::u16string& id, EndpointRole role) override {
        calls.push_back(id + u" " + Decimal(static_cast<int>(role)));
        return 0;
    }
    std::vector<std::u16string> calls;
};

TEST(AudioEndpointsWin32Test, ARowsEndpointsAreTheOnesListedUnderItsName) {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    const auto render = Listed(eRender), capture = Listed(eCapture);
    SoundDevicesWin32 outputs;
    for (const std::u16string name : {u"Headset", u"\u041d\u0430\u0443\u0448\u043d\u0438\u043a\u0438 Realtek High Definitio",
                                      u"Speakers"}) {
        SCOPED_TRACE(ToUtf8(name));
        ASSERT_EQ(render.count(name), 1u);
        RecordingEndpoints endpoints;
        EndpointSwitch result = DefaultEndpoint(outputs, endpoints).Switch(name, true, true);
        std::vector<std::u16string> expected;
        for (const auto* ids : {&render, &capture})
            for (int role = 0; role < 3 && ids->count(name); ++role) expected.push_back(ids->at(name) + u" " + Decimal(role));
        EXPECT_EQ(endpoints.calls, expected);
        EXPECT_EQ(result.captureUnchanged, capture.count(name) == 0);
    }
    CoUninitialize();
}

}  // namespace
}  // namespace marvolt
