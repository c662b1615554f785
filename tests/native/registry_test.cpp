#include "registry/registry.h"

#include <gtest/gtest.h>

#include "platform/fakes/fake_registry.h"
#include "tests/common/registry_contract.h"

namespace marvolt {
namespace {

class FakeRegistryEnv {
public:
    RegistryApi& Api() { return registry; }
    AnsiCodePage& CodePage() { return codePage; }
    std::u16string Base() { return u"Software\\MarvoltTest\\Native"; }
    std::u16string TopLevel() { return u"MarvoltTestNative"; }
    void ExpectAllKeysClosed() {
        EXPECT_GT(registry.OpenCount(), 0);
        EXPECT_EQ(registry.OpenHandleCount(), 0);
    }

    FakeRegistry registry;
    FakeAnsiCodePage codePage;
};

}  // namespace

namespace contract {
INSTANTIATE_TYPED_TEST_SUITE_P(InMemory, RegistryContract, FakeRegistryEnv);
}  // namespace contract

namespace {

TEST(Registry, RootNamesLongAndShortInAnyCaseReadTheirOwnRoot) {
    const std::tuple<const char16_t*, RegKey> cases[] = {
        {u"classes_root", kClassesRoot}, {u"HKEY_CLASSES_ROOT", kClassesRoot}, {u"Current_User", kCurrentUser},
        {u"hkey_current_user", kCurrentUser}, {u"local_machine", kLocalMachine}, {u"hKey_Local_Machine", kLocalMachine},
        {u"USERS", kUsers}, {u"hkey_users", kUsers}, {u"current_config", kCurrentConfig},
        {u"HKEY_CURRENT_CONFIG", kCurrentConfig}, {u"dyn_data", kDynData}, {u"HKEY_DYN_DATA", kDynData},
        {u"HKCU", 0}, {u"performance_data", 0}, {u"", 0}, {u" current_user", 0}, {u"current user", 0},
    };
    FakeRegistry fake;
    FakeAnsiCodePage codePage;
    Registry registry(fake, codePage);
    for (const auto& [name, root] : cases) {
        EXPECT_EQ(Registry::RootKeyFromName(name), root) << ToUtf8(name);
        if (!root || !StartsWith(ToUpperAscii(name), u"HKEY_")) continue;
        fake.SetString(root, u"Key", u"Value", name);
        EXPECT_EQ(registry.ReadRegPath(std::u16string(name) + u"\\Key\\Value"), name);
    }
    fake.SetString(kPerformanceData, u"Key", u"Value", u"perf");
    EXPECT_EQ(registry.ReadRegPath(u"hkey_performance_data\\Key\\Value"), u"perf");
    EXPECT_EQ(fake.OpenHandleCount(), 0);
}

// A value may change between the size query and the read. The read must stay
// within its buffer and must not hand back bytes that were never text.
TEST(RegistryQueryRegValue, ValueChangedBetweenTheTwoQueriesReadsAsTheDefault) {
    FakeRegistry fake;
    FakeAnsiCodePage codePage;
    Registry registry(fake, codePage);
    const std::u16string key = u"Software\\Microsoft\\Multimedia\\Sound Mapper";
    struct Case {
        const char* change;
        std::function<void()> apply;
        std::u16string expected;
    };
    const Case cases[] = {
        {"grows", [&] { fake.SetString(kCurrentUser, key, u"Playback", u"Speakers (USB Audio)"); },
         u"fb"},
        {"becomes a number", [&] { fake.SetDword(kCurrentUser, key, u"Playback", 0x41414141); },
         u"fb"},
        {"is deleted", [&] { fake.Remove(kCurrentUser, key, u"Playback"); }, u"fb"},
        {"shrinks", [&] { fake.SetRaw(kCurrentUser, key, u"Playback", kRegSz, {'H', 'i'}); },
         u"Hi"},
    };
    for (const Case& c : cases) {
        fake.SetString(kCurrentUser, key, u"Playback", u"Speakers");
        fake.afterSizeQuery = c.apply;
        EXPECT_EQ(registry.QueryRegValue(kCurrentUser, key, u"Playback", u"fb"), c.expected)
            << c.change;
        EXPECT_FALSE(fake.afterSizeQuery) << c.change << ": the second query did not happen";
    }
    // Only text reads as text; one without its NUL keeps every byte.
    fake.SetDword(kCurrentUser, key, u"Playback", 1);
    EXPECT_EQ(registry.QueryRegValue(kCurrentUser, key, u"Playback", u"fb"), u"fb");
    fake.SetRaw(kCurrentUser, key, u"Playback", kRegSz, {'A'});
    EXPECT_EQ(registry.QueryRegValue(kCurrentUser, key, u"Playback", u"fb"), u"A");
    EXPECT_EQ(fake.OpenHandleCount(), 0);
}

TEST(RegistryWrites, RefusedCreateOrSetLeavesNothingBehindAndNoKeyOpen) {
    FakeRegistry fake;
    FakeAnsiCodePage codePage;
    Registry registry(fake, codePage);
    fake.createKeyError = 5;
    registry.WriteRegString(u"current_user", u"Software\\Marvolt", u"Text", u"x");
    registry.WriteRegDword(u"current_user", u"Software\\Marvolt", u"Number", 1);
    EXPECT_FALSE(fake.HasKey(kCurrentUser, u"Software\\Marvolt"));

    fake.createKeyError = kRegOk;
    fake.setValueError = 5;
    registry.WriteRegString(u"current_user", u"Software\\Marvolt", u"Text", u"x");
    registry.WriteRegDword(u"current_user", u"Software\\Marvolt", u"Number", 1);
    EXPECT_EQ(fake.GetRaw(kCurrentUser, u"Software\\Marvolt", u"Text").type, kRegNone);
    EXPECT_EQ(fake.OpenCount(), 2);
    EXPECT_EQ(fake.OpenHandleCount(), 0);
}

}  // namespace
}  // namespace marvolt
