#include "platform/registry_settings_store.h"

#include <gtest/gtest.h>

#include "platform/fakes/fake_registry.h"
#include "platform/fakes/simple_fakes.h"
#include "platform/text.h"
#include "registry/app_settings.h"

namespace marvolt {
namespace {

const std::u16string kAppKey = u"Software\\VB and VBA Program Settings\\Marvolt";

class RegistrySettingsStoreTest : public ::testing::Test {
protected:
    FakeRegistry registry;
    FakeAnsiCodePage codePage;
    RegistrySettingsStore store{registry, codePage};
};

TEST_F(RegistrySettingsStoreTest, EachSectionIsAKeyBelowTheApplicationsKey) {
    struct Case {
        std::u16string section;
        std::u16string keyPath;
    };
    const Case cases[] = {
        {u"Settings\\", kAppKey + u"\\Settings"},
        {u"Settings", kAppKey + u"\\Settings"},
        {u"Outer\\Inner\\", kAppKey + u"\\Outer\\Inner"},
        {u"", kAppKey},
    };
    for (const Case& c : cases) {
        store.Save(u"Marvolt", c.section, u"PlaybackCheck", u"0 " + c.section);
        FakeRegistry::Value stored = registry.GetRaw(kCurrentUser, c.keyPath, u"PlaybackCheck");
        EXPECT_EQ(stored.type, kRegSz) << ToUtf8(c.section);
        std::string expected = ToUtf8(u"0 " + c.section);
        expected += '\0';
        EXPECT_EQ(stored.bytes, std::vector<std::uint8_t>(expected.begin(), expected.end()))
            << ToUtf8(c.section);
        EXPECT_EQ(store.Get(u"Marvolt", c.section, u"PlaybackCheck", u"fb"), u"0 " + c.section);
    }
    EXPECT_TRUE(registry.HasKey(kCurrentUser, kAppKey + u"\\Outer"));
    EXPECT_EQ(registry.OpenHandleCount(), 0);
}

TEST_F(RegistrySettingsStoreTest, GetFallsBackOnlyWhenNoTextIsStored) {
    const std::u16string section = kAppKey + u"\\Settings";
    registry.SetString(kCurrentUser, section, u"Empty", u"");
    registry.SetDword(kCurrentUser, section, u"Number", 1);
    registry.SetRaw(kCurrentUser, section, u"Expand", kRegExpandSz, {'x', 0});
    struct Case {
        const char16_t* app;
        const char16_t* key;
        std::u16string expected;
    };
    const Case cases[] = {
        {u"Marvolt", u"Empty", u""},       {u"Marvolt", u"Absent", u"fb"},
        {u"Marvolt", u"Number", u"fb"},    {u"Marvolt", u"Expand", u"fb"},
        {u"Unknown", u"Empty", u"fb"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(store.Get(c.app, u"Settings\\", c.key, u"fb"), c.expected) << ToUtf8(c.key);
    EXPECT_FALSE(registry.HasKey(kCurrentUser, u"Software\\VB and VBA Program Settings\\Unknown"));
    EXPECT_EQ(registry.OpenHandleCount(), 0);
}

// The options written by the program land where earlier releases kept them.
TEST_F(RegistrySettingsStoreTest, OptionsSavedThroughAppSettingsReadBackFromTheOldPlace) {
    FakeAppIdentity identity;
    FakeMessageService messages;
    FakeProcessEnd end;
    AppSettings settings(store, identity, messages, end);
    registry.SetString(kCurrentUser, kAppKey + u"\\AlwaysOnTop", u"OnTop", u"True");
    EXPECT_EQ(settings.GetAppSetting(u"AlwaysOnTop", u"OnTop", u"False"), u"True");

    settings.SaveAppSetting(u"Settings", u"StartupDevice", u"Lautsprecher \u00e4");
    EXPECT_EQ(registry.GetString(kCurrentUser, kAppKey + u"\\Settings", u"StartupDevice"),
              u"Lautsprecher \u00e4");
    EXPECT_EQ(settings.GetAppSetting(u"Settings\\", u"StartupDevice", u""), u"Lautsprecher \u00e4");
}

}  // namespace
}  // namespace marvolt
