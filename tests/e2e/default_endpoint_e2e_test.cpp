// End-to-end: the real program switches the default endpoints of the device
// chosen by name, through a stand-in for the system's audio policy class (Wine
// has none of its own), and lays out its window for the system's DPI.
// <windows.h> before the headers that build on it: the order is kept by hand.
// clang-format off
#include "tests/e2e/desktop_driver.h"
#include <initguid.h>
#include <mmdeviceapi.h>
#include <functiondiscoverykeys_devpkey.h>

#include <map>

#include "platform/win32/unique_handle.h"
#include "profiles/profiles_editor.h"
// clang-format on

namespace e2e {
namespace {

const wchar_t kClassKey[] = L"CLSID\\{870AF99C-171D-4F9E-AF0D-E63DF40C2BC9}";
// Wine reads the system DPI (96 in the tests' prefix) here, below
// HKEY_CURRENT_CONFIG; its copy for the user is brought up to date by the next
// program that starts.
const wchar_t kDpiKey[] = L"Software\\Fonts";

// Endpoint ids by friendly name, cut as the wave devices cut names: what the
// system's endpoint list says, apart from the way the program finds them.
std::map<std::wstring, std::wstring> Listed(EDataFlow flow) {
    std::map<std::wstring, std::wstring> ids;
    marvolt::UniqueCom<IMMDeviceEnumerator> enumerator;
    marvolt::UniqueCom<IMMDeviceCollection> all;
    UINT count = 0;
    if (FAILED(CoCreateInstance(CLSID_MMDeviceEnumerator, nullptr, CLSCTX_ALL,
                                IID_IMMDeviceEnumerator,
                                reinterpret_cast<void**>(enumerator.put()))) ||
        FAILED(enumerator.get()->EnumAudioEndpoints(flow, DEVICE_STATE_ACTIVE, all.put())) ||
        FAILED(all.get()->GetCount(&count)))
        return ids;
    for (UINT i = 0; i < count; ++i) {
        marvolt::UniqueCom<IMMDevice> device;
        marvolt::UniqueCom<IPropertyStore> properties;
        LPWSTR id = nullptr;
        PROPVARIANT name;
        PropVariantInit(&name);
        if (FAILED(all.get()->Item(i, device.put())) || FAILED(device.get()->GetId(&id))) continue;
        if (SUCCEEDED(device.get()->OpenPropertyStore(STGM_READ, properties.put())) &&
            SUCCEEDED(properties.get()->GetValue(PKEY_Device_FriendlyName, &name)) &&
            name.vt == VT_LPWSTR)
            ids[std::wstring(name.pwszVal).substr(0, 31)] = id;
        PropVariantClear(&name);
        CoTaskMemFree(id);
    }
    return ids;
}

class DefaultEndpoint : public Desktop {
  protected:
    void SetUp() override {
        Desktop::SetUp();
        ASSERT_TRUE(com_ && render_.count(L"Speakers") && capture_.count(L"Headset") &&
                    !capture_.count(L"Speakers"));
        const std::wstring server = EnvVar(L"MARVOLT_E2E_HOOK");
        RegSetValueW(HKEY_CLASSES_ROOT, (kClassKey + std::wstring(L"\\InprocServer32")).c_str(),
                     REG_SZ, server.c_str(), 0);
    }
    void TearDown() override {
        Desktop::TearDown();
        if (com_) CoUninitialize();
        RegDeleteTreeW(HKEY_CLASSES_ROOT, kClassKey);
        RegDeleteKeyW(HKEY_CLASSES_ROOT, kClassKey);
        DeleteFileW(kRefuse.c_str()), DeleteFileW(kCalls.c_str());
        SetDpi(96);
    }

    static void SetDpi(DWORD dpi) {
        RegSetKeyValueW(HKEY_CURRENT_CONFIG, kDpiKey, L"LogPixels", REG_DWORD, &dpi, sizeof dpi);
    }
    void StartAt(DWORD dpi) {
        SetDpi(dpi);
        Start();
        OpenSettings();
        Screenshot(L"settings-window-" + std::to_wstring(dpi) + L"dpi");
        RECT window = {}, exit = {}, work = {};
        GetWindowRect(MainWindow(), &window);
        GetWindowRect(Control(marvolt::kIdExitBtn), &exit);
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        // The caption and "Exit" can be reached.
        EXPECT_TRUE(window.top >= work.top && window.left >= work.left &&
                    window.right <= work.right)
            << dpi;
        EXPECT_TRUE(exit.top >= window.top && exit.bottom <= std::min(window.bottom, work.bottom))
            << dpi;
    }
    // Picks the device in the tray menu; the policy is asked for its render
    // endpoint, and with Record ticked the capture endpoint of that name, in the
    // chosen roles. Without one the label says that the recording default stays.
    void ExpectSwitch(const std::wstring& name, bool record, std::vector<int> roles = {0, 1, 2}) {
        DeleteFileW(kCalls.c_str());
        ChooseFromTray(name);
        std::wstring expected;
        for (const auto* ids : {&render_, &capture_})
            for (int role : roles)
                if (ids->count(name) && (ids == &render_ || record))
                    expected += ids->at(name) + L" " + std::to_wstring(role) + L"\n";
        EXPECT_TRUE(WaitUntil([&] { return ReadFileText(kCalls) == expected; }));
        EXPECT_TRUE(WaitUntil([&] { return RegString(kSoundMapper, L"Playback") == name; }));
        const std::wstring label =
            L"Default Soundcard: " + name +
            (record && !capture_.count(name) ? L" (recording default unchanged)" : L"");
        EXPECT_TRUE(
            WaitUntil([&] { return WindowText(Control(marvolt::kIdCurrentCardTxt)) == label; }));
    }

    const bool com_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    const std::map<std::wstring, std::wstring> render_ = Listed(eRender),
                                               capture_ = Listed(eCapture);
    const std::wstring kCalls = TempFile(L"marvolt_e2e_policy.txt"),
                       kRefuse = TempFile(L"marvolt_e2e_policy.fail");
};

// A refusal is shown with the device's name and the error, and the Sound Mapper
// values are written all the same. Wine scales every program to its DPI.
TEST_F(DefaultEndpoint, ChoosingADeviceSetsItsEndpointsForTheTickedRolesAndTheWindowFitsTheDpi) {
    StartAt(96);
    ExpectSwitch(L"Headset", true);
    ExpectSwitch(L"Speakers", true);
    Click(Control(marvolt::kIdRolesChoice));
    PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    ASSERT_TRUE(
        WaitUntil([&] { return RegString(kSettings + L"\\Settings", L"Roles") == L"default"; }));
    ExpectSwitch(L"Headset", true, {0, 1});
    CloseHandle(CreateFileW(kRefuse.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ChooseFromTray(L"Speakers 2");
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = MessageBoxOf(program_.Id())) != nullptr; }));
    const std::wstring text = StaticTexts(box);
    Screenshot(L"switch-refused");
    EXPECT_NE(text.find(L"\"Speakers 2\""), std::wstring::npos);
    EXPECT_NE(text.find(L"0x80070005"), std::wstring::npos);
    EXPECT_EQ(RegString(kSoundMapper, L"Playback"), L"Speakers 2")
        << "the Sound Mapper values stay written";
    StartAt(192);
}

// Profiles written by hand, one of them naming the default the window names
// (Wine's own: the stand-in policy changes nothing Wine reports). A profile's
// hotkey; two devices of one name each switch their own endpoint.
TEST_F(DefaultEndpoint, AProfileSetsEachRoleItNamesInOneStep) {
    const std::wstring profiles = kSettings + L"\\Profiles\\";
    const wchar_t* const values[][2] = {
        {L"Playback", L"Speakers"},
        {L"Record", L"Headset"},
        {L"CommunicationsPlayback", L"Headset"},
        {L"CommunicationsRecord", L"Headset"},
        {L"Hotkey", L"Ctrl+Alt+F9"},
    };
    for (const auto& value : values) RegSetString(profiles + L"Desk", value[0], value[1]);
    struct Twins {
        std::wstring sinks[2] = {AddSink(L"Twin"), AddSink(L"Twin")};
        ~Twins() { std::for_each(sinks, sinks + 2, RemoveSink); }
    } twins;
    Start();
    OpenSettings();
    // Written while it runs, it is read by a reload.
    const std::wstring now = WindowText(Control(marvolt::kIdCurrentCardTxt)).substr(19);
    RegSetString(profiles + L"Now", L"Playback", now);
    ChooseFromTray(L"Reload list of Soundcards");
    std::vector<std::wstring> menu = OpenTrayMenu();
    const std::vector<std::wstring> tail(menu.end() - 5, menu.end());
    EXPECT_EQ(tail, (std::vector<std::wstring>{L"-", L"Profile: Desk", L"Profile: Now  <active>",
                                               L"-", L"Exit"}));
    Screenshot(L"tray-menu-profiles");
    PressKey(VK_ESCAPE);
    const std::wstring desk = render_.at(L"Speakers") + L" 0\n" + render_.at(L"Speakers") +
                              L" 1\n" + capture_.at(L"Headset") + L" 0\n" +
                              capture_.at(L"Headset") + L" 1\n" + capture_.at(L"Headset") +
                              L" 2\n" + render_.at(L"Headset") + L" 2\n";
    DeleteFileW(kCalls.c_str());
    ChooseFromTray(L"Profile: Desk");
    EXPECT_TRUE(WaitUntil([&] { return ReadFileText(kCalls) == desk; }));
    EXPECT_TRUE(WaitUntil([&] { return ShellTip(true) == L"Desk"; }));
    EXPECT_EQ(RegString(kSoundMapper, L"Playback") + L"|" + RegString(kSoundMapper, L"Record"),
              L"Speakers|Headset");
    EXPECT_EQ(WindowText(Control(marvolt::kIdCurrentCardTxt)), L"Default Soundcard: Speakers");
    EXPECT_EQ(HoverTip(), L"Speakers");
    DeleteFileW(kCalls.c_str());
    PressChord({VK_CONTROL, VK_MENU, VK_F9});
    EXPECT_TRUE(WaitUntil([&] { return ReadFileText(kCalls) == desk; }));
    std::wstring endpoints[2];
    for (std::wstring& endpoint : endpoints) {
        DeleteFileW(kCalls.c_str());
        ChooseFromTray(&endpoint == endpoints ? L"Twin" : L"Twin (2)");
        EXPECT_TRUE(WaitUntil([&] {
            const std::wstring calls = ReadFileText(kCalls);
            endpoint = calls.substr(0, calls.find(L' '));
            return std::count(calls.begin(), calls.end(), L'\n') == 3;
        }));
        EXPECT_TRUE(WaitUntil([&] { return RegString(kSoundMapper, L"Playback") == L"Twin"; }));
    }
    EXPECT_NE(endpoints[0], endpoints[1]);
    // The Profiles window: a new profile, a device for its playback role, a hotkey.
    Click(Control(marvolt::kIdProfilesBtn));
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        return (dialog = WindowOf(program_.Id(), [](HWND window) {
                    return IsWindowVisible(window) && WindowText(window) == L"Profiles";
                })) != nullptr;
    }));
    SendMessageW(GetDlgItem(dialog, marvolt::kIdProfileName), WM_SETTEXT, 0, LPARAM(L"Late"));
    Click(GetDlgItem(dialog, marvolt::kIdProfileNew));
    EXPECT_TRUE(WaitUntil([&] { return RegString(profiles + L"Late", L"Hotkey") == L"none"; }));
    Click(GetDlgItem(dialog, marvolt::kIdProfileRole));
    PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return !RegString(profiles + L"Late", L"Playback").empty(); }));
    Screenshot(L"profiles-window");
}

}  // namespace
}  // namespace e2e
