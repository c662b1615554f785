#include "registry/app_settings.h"

#include <gtest/gtest.h>

#include "platform/fakes/fake_settings_store.h"
#include "platform/fakes/simple_fakes.h"
#include "platform/text.h"

namespace marvolt {
namespace {

class AppSettingsTest : public ::testing::Test {
protected:
    FakeSettingsStore store;
    FakeAppIdentity identity;
    FakeMessageService messages;
    FakeProcessEnd end;
    AppSettings settings{store, identity, messages, end};
};

TEST_F(AppSettingsTest, EmptyOrMissingTextReadsAsTheCallersDefault) {
    struct Case {
        const char* stored;  // null: nothing stored
        std::u16string fallback;
        std::u16string expected;
    };
    const Case cases[] = {
        {nullptr, u"1", u"1"}, {"0", u"1", u"0"}, {"", u"1", u"1"},
        {nullptr, u"", u""},   {"", u"", u""},    {"Speakers", u"", u"Speakers"},
        {" ", u"1", u" "},
    };
    for (const Case& c : cases) {
        store = FakeSettingsStore();
        if (c.stored) store.Set(u"Marvolt", u"Settings\\", u"PlaybackCheck", FromUtf8(c.stored));
        EXPECT_EQ(settings.GetAppSetting(u"Settings", u"PlaybackCheck", c.fallback), c.expected)
            << (c.stored ? c.stored : "(nothing)") << " / " << ToUtf8(c.fallback);
    }
}

TEST_F(AppSettingsTest, SectionsReachTheStoreWithOneTrailingBackslash) {
    struct Case {
        std::u16string section;
        std::u16string inStore;
    };
    const Case cases[] = {
        {u"AlwaysOnTop", u"AlwaysOnTop\\"},
        {u"Settings\\", u"Settings\\"},
        {u"Outer\\Inner", u"Outer\\Inner\\"},
        {u"Twice\\\\", u"Twice\\\\"},
        {u"", u""},
    };
    for (const Case& c : cases) {
        store = FakeSettingsStore();
        settings.SaveAppSetting(c.section, u"OnTop", u"True");
        ASSERT_EQ(store.saves.size(), 1u);
        EXPECT_EQ(store.saves[0].app, u"Marvolt");
        EXPECT_EQ(store.saves[0].section, c.inStore) << ToUtf8(c.section);
        EXPECT_EQ(settings.GetAppSetting(c.section, u"OnTop", u"False"), u"True")
            << ToUtf8(c.section);
        ASSERT_EQ(store.gets.size(), 1u);
        EXPECT_EQ(store.gets[0].section, c.inStore) << ToUtf8(c.section);
        EXPECT_EQ(store.gets[0].value, u"") << "the store's own default is the empty text";
    }
    // With and without the backslash address the same place.
    settings.SaveAppSetting(u"Settings", u"StartupDevice", u"Headset");
    EXPECT_EQ(settings.GetAppSetting(u"Settings\\", u"StartupDevice", u""), u"Headset");
}

TEST_F(AppSettingsTest, TitleIsReadOnEveryCallAndPassedUnchanged) {
    identity.title = u" Marvolt ";
    settings.SaveAppSetting(u"Settings", u"RecordCheck", u"1");
    identity.title = u"Renamed";
    settings.SaveAppSetting(u"Settings", u"RecordCheck", u"0");
    EXPECT_EQ(store.Value(u" Marvolt ", u"Settings\\", u"RecordCheck"), u"1");
    EXPECT_EQ(store.Value(u"Renamed", u"Settings\\", u"RecordCheck"), u"0");
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(end.calls, 0);
}

TEST_F(AppSettingsTest, BlankTitleTellsWhyAndEndsBeforeTheStoreIsTouched) {
    const std::u16string message =
        u"Der Programm-Name wurde nicht festgelegt\r"
        u"(Wird f\u00fcr Registry etc. ben\u00f6tigt)\r"
        u"Bitte die Kalvon.Initialize - Funktion aufrufen!";
    for (const char16_t* title : {u"", u"   "}) {
        for (bool saving : {true, false}) {
            identity.title = title;
            messages.shown.clear();
            end.calls = 0;
            if (saving)
                EXPECT_THROW(settings.SaveAppSetting(u"Settings", u"StartupCheck", u"1"),
                             ProcessEnded);
            else
                EXPECT_THROW(settings.GetAppSetting(u"Settings", u"StartupCheck", u"0"),
                             ProcessEnded);
            ASSERT_EQ(messages.shown.size(), 1u);
            EXPECT_EQ(messages.shown[0].text, message);
            EXPECT_EQ(messages.shown[0].title, u"");
            EXPECT_EQ(messages.shown[0].buttons, MessageButtons::Ok);
            EXPECT_EQ(messages.shown[0].icon, MessageIcon::None);
            EXPECT_EQ(end.calls, 1);
        }
    }
    EXPECT_TRUE(store.saves.empty());
    EXPECT_TRUE(store.gets.empty());
}

}  // namespace
}  // namespace marvolt
