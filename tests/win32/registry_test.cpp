#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fakes/simple_fakes.h"
#include "platform/registry_settings_store.h"
#include "platform/text.h"
#include "platform/win32/registry_api_win32.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win_text.h"
#include "registry/app_settings.h"
#include "tests/common/registry_contract.h"

namespace marvolt {
namespace {

// A key name no other run uses at the same time.
std::u16string UniqueName() {
    static int counter = 0;
    return u"MarvoltTest-" + Decimal(GetCurrentProcessId()) + u"-" + Decimal(++counter);
}

bool KeyExistsA(const std::string& path) {
    UniqueHkey key;
    return RegOpenKeyA(HKEY_CURRENT_USER, path.c_str(), key.put()) == ERROR_SUCCESS;
}

// Removes a throwaway key tree below HKEY_CURRENT_USER when the test ends,
// and its parent too when the test created that parent and left it empty.
class ScopedTestKey {
public:
    ScopedTestKey(std::string parent, std::string name)
        : parent_(std::move(parent)), path_(parent_.empty() ? name : parent_ + "\\" + name) {
        parentExisted_ = parent_.empty() || KeyExistsA(parent_);
        RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
    }
    ScopedTestKey(const ScopedTestKey&) = delete;
    ScopedTestKey& operator=(const ScopedTestKey&) = delete;
    ~ScopedTestKey() {
        RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
        // Fails, as it should, while the parent still holds other keys.
        if (!parentExisted_) RegDeleteKeyA(HKEY_CURRENT_USER, parent_.c_str());
    }

private:
    std::string parent_;
    std::string path_;
    bool parentExisted_ = true;
};

class Win32RegistryEnv {
public:
    RegistryApi& Api() { return api_; }
    AnsiCodePage& CodePage() { return codePage_; }
    std::u16string Base() { return u"Software\\MarvoltTest\\" + name_; }
    std::u16string TopLevel() { return name_; }
    // The system keeps no count of our key handles that the test could read.
    void ExpectAllKeysClosed() {}

private:
    std::u16string name_ = UniqueName();
    ScopedTestKey base_{"Software\\MarvoltTest", ToAnsi(name_)};
    ScopedTestKey top_{"", ToAnsi(name_)};
    Win32RegistryApi api_;
    Utf8RegistryText codePage_;
};

}  // namespace

namespace contract {
INSTANTIATE_TYPED_TEST_SUITE_P(System, RegistryContract, Win32RegistryEnv);
}  // namespace contract

namespace {

struct RawA {
    LONG result = ERROR_FILE_NOT_FOUND;
    DWORD type = 0;
    std::string bytes;
};

RawA ReadRawA(const std::string& path, const char* name) {
    RawA raw;
    UniqueHkey key;
    raw.result = RegOpenKeyA(HKEY_CURRENT_USER, path.c_str(), key.put());
    if (raw.result != ERROR_SUCCESS) return raw;
    char buffer[256];
    DWORD size = sizeof buffer;
    raw.result = RegQueryValueExA(key.get(), name, nullptr, &raw.type,
                                  reinterpret_cast<BYTE*>(buffer), &size);
    if (raw.result == ERROR_SUCCESS) raw.bytes.assign(buffer, size);
    return raw;
}

TEST(Win32SettingsStore, OptionsLandInTheKeyOfEarlierReleases) {
    const std::u16string app = UniqueName();
    const std::string appKey = "Software\\VB and VBA Program Settings\\" + ToAnsi(app);
    ScopedTestKey cleanup("Software\\VB and VBA Program Settings", ToAnsi(app));
    Win32RegistryApi api;
    Utf8RegistryText codePage;
    RegistrySettingsStore store(api, codePage);
    FakeAppIdentity identity;
    identity.title = app;
    FakeMessageService messages;
    FakeProcessEnd end;
    AppSettings settings(store, identity, messages, end);

    settings.SaveAppSetting(u"Settings", u"PlaybackCheck", u"0");
    settings.SaveAppSetting(u"AlwaysOnTop\\", u"OnTop", u"True");
    store.Save(app, u"Outer\\Inner\\", u"StartupDevice", u"Speakers");
    struct Case {
        std::string path;
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {appKey + "\\Settings", "PlaybackCheck", std::string("0", 2)},
        {appKey + "\\AlwaysOnTop", "OnTop", std::string("True", 5)},
        {appKey + "\\Outer\\Inner", "StartupDevice", std::string("Speakers", 9)},
    };
    for (const Case& c : cases) {
        RawA raw = ReadRawA(c.path, c.name);
        EXPECT_EQ(raw.result, ERROR_SUCCESS) << c.path;
        EXPECT_EQ(raw.type, static_cast<DWORD>(REG_SZ)) << c.path;
        EXPECT_EQ(raw.bytes, c.bytes) << c.path;
    }

    {
        UniqueHkey key;
        ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, (appKey + "\\Settings").c_str(), key.put()),
                  ERROR_SUCCESS);
        const DWORD one = 1;
        RegSetValueExA(key.get(), "RecordCheck", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one),
                       sizeof one);
    }
    EXPECT_EQ(settings.GetAppSetting(u"Settings\\", u"PlaybackCheck", u"1"), u"0");
    EXPECT_EQ(settings.GetAppSetting(u"Settings", u"RecordCheck", u"1"), u"1");
    EXPECT_EQ(store.Get(app, u"Settings\\", u"RecordCheck", u"fb"), u"fb");
    EXPECT_EQ(store.Get(app, u"Missing\\", u"OnTop", u"fb"), u"fb");
    EXPECT_FALSE(KeyExistsA(appKey + "\\Missing"));
    EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
}  // namespace marvolt
