// End-to-end: the real program switches the default endpoint through a stand-in
// for the system's audio policy class (Wine has none of its own), and lays out
// its window for the system's DPI.
#include <windows.h>
#include <mmsystem.h>
#include <mmddk.h>

#include <gtest/gtest.h>

#include "app/main_window_view.h"
#include "tests/e2e/desktop_driver.h"

namespace e2e {
namespace {

const wchar_t kClassKey[] = L"CLSID\\{870AF99C-171D-4F9E-AF0D-E63DF40C2BC9}";
const wchar_t kCyrillic[] = L"\u041d\u0430\u0443\u0448\u043d\u0438\u043a\u0438 Realtek High Definitio";
// Wine reads the system DPI from the first, and keeps a copy in the second that
// the next program brings up to date.
const HKEY kDpiRoots[] = {HKEY_CURRENT_CONFIG, HKEY_CURRENT_USER};
const wchar_t* const kDpiKeys[] = {L"Software\\Fonts", L"Software\\Wine\\Fonts"};

// The endpoint id that winmm gives the named device of this process's list.
std::string EndpointOf(bool output, const std::wstring& name) {
    for (UINT id = 0, count = output ? waveOutGetNumDevs() : waveInGetNumDevs(); id < count; ++id) {
        WAVEINCAPSW in = {};
        WAVEOUTCAPSW out = {};
        if (output ? waveOutGetDevCapsW(id, &out, sizeof out) : waveInGetDevCapsW(id, &in, sizeof in)) continue;
        if (name != (output ? out.szPname : in.szPname)) continue;
        wchar_t text[512] = L"";
        char utf8[1024] = "";
        auto device = static_cast<UINT_PTR>(id), query = DWORD_PTR(text);
        output ? waveOutMessage(reinterpret_cast<HWAVEOUT>(device), DRV_QUERYFUNCTIONINSTANCEID, query, sizeof text)
               : waveInMessage(reinterpret_cast<HWAVEIN>(device), DRV_QUERYFUNCTIONINSTANCEID, query, sizeof text);
        WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
        return utf8;
    }
    return "";
}

class DefaultEndpoint : public Desktop {
  protected:
    void SetUp() override {
        Desktop::SetUp();
        for (int i = 0; i < 2; ++i) {
            DWORD size = sizeof dpi_[i];
            saved_[i] = !RegGetValueW(kDpiRoots[i], kDpiKeys[i], L"LogPixels", RRF_RT_REG_DWORD, nullptr, &dpi_[i], &size);
        }
        const std::wstring server = EnvVar(L"MARVOLT_E2E_HOOK");
        RegSetValueW(HKEY_CLASSES_ROOT, (kClassKey + std::wstring(L"\\InprocServer32")).c_str(), REG_SZ, server.c_str(), 0);
    }
    void TearDown() override {
        Desktop::TearDown();
        RegDeleteTreeW(HKEY_CLASSES_ROOT, kClassKey);
        RegDeleteKeyW(HKEY_CLASSES_ROOT, kClassKey);
        DeleteFileW(kRefuse.c_str());
        DeleteFileW(kCalls.c_str());
        for (int i = 0; i < 2; ++i)
            saved_[i] ? RegSetKeyValueW(kDpiRoots[i], kDpiKeys[i], L"LogPixels", REG_DWORD, &dpi_[i], sizeof dpi_[i])
                      : RegDeleteKeyValueW(kDpiRoots[i], kDpiKeys[i], L"LogPixels");
    }

    void StartAt(DWORD dpi) {
        RegSetKeyValueW(kDpiRoots[0], kDpiKeys[0], L"LogPixels", REG_DWORD, &dpi, sizeof dpi);
        Start();
        OpenSettings();
        Screenshot(L"settings-window-" + std::to_wstring(dpi) + L"dpi");
        RECT client = {};
        GetClientRect(MainWindow(), &client);
        EXPECT_EQ(client.right, MulDiv(278, dpi, 96)) << dpi;
    }
    // Picks the device in the tray menu; the policy is asked for its render
    // endpoint, and with Record ticked its capture endpoint, in all three roles.
    void ExpectSwitch(const std::wstring& name, bool record) {
        DeleteFileW(kCalls.c_str());
        ChooseFromTray(name);
        std::string expected;
        for (bool output : {true, false})
            for (int role = 0; role < 3 && (output || record); ++role)
                expected += EndpointOf(output, name) + " " + std::to_string(role) + "\n";
        EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(kCalls) == expected; }))
            << ReadFileBytes(kCalls) << "\nwanted\n" << expected;
        EXPECT_TRUE(WaitUntil([&] { return RegString(kSoundMapper, L"Playback") == name; }));
    }

    const std::wstring kCalls = TempFile(L"marvolt_e2e_policy.txt"), kRefuse = TempFile(L"marvolt_e2e_policy.fail");
    DWORD dpi_[2] = {};
    bool saved_[2] = {};
};

// A refusal is shown with the device's name and the error, and the Sound Mapper
// values are written all the same. Wine scales every program to its DPI.
TEST_F(DefaultEndpoint, ChoosingADeviceSetsItsEndpointsForTheTickedRolesAndTheWindowFitsTheDpi) {
    StartAt(96);
    ExpectSwitch(L"Headset", true);
    ExpectSwitch(kCyrillic, true);
    Click(Control(marvolt::kIdRecordCheck));
    ASSERT_TRUE(WaitUntil([&] { return !IsChecked(Control(marvolt::kIdRecordCheck)); }));
    ExpectSwitch(L"Headset", false);
    CloseHandle(CreateFileW(kRefuse.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ChooseFromTray(L"Speakers 2");
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = MessageBoxOf(program_.Id())) != nullptr; }));
    const std::wstring text = StaticTexts(box);
    Screenshot(L"switch-refused");
    EXPECT_NE(text.find(L"\"Speakers 2\""), std::wstring::npos);
    EXPECT_NE(text.find(L"0x80070005"), std::wstring::npos);
    EXPECT_EQ(RegString(kSoundMapper, L"Playback"), L"Speakers 2") << "the Sound Mapper values stay written";
    StartAt(192);
}

}  // namespace
}  // namespace e2e
