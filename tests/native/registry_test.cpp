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

TEST(Registry, RootNamesLongAndShortInAnyCase) {
    const std::pair<const char16_t*, RegKey> cases[] = {
        {u"Current_User", kCurrentUser},
        {u"hKey_Local_Machine", kLocalMachine},
        {u"USERS", kUsers},
        {u"HKCU", 0},
        {u"performance_data", 0},
        {u"", 0},
        {u" current_user", 0},
    };
    for (const auto& [name, root] : cases)
        EXPECT_EQ(Registry::RootKeyFromName(name), root) << ToUtf8(name);
}

}  // namespace

namespace contract {
INSTANTIATE_TYPED_TEST_SUITE_P(InMemory, RegistryContract, FakeRegistryEnv);
}  // namespace contract

}  // namespace marvolt
