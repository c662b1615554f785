#include "registry/registry.h"

#include <gtest/gtest.h>

#include "platform/fakes/fake_registry.h"
#include "tests/common/registry_contract.h"

namespace marvolt {
namespace {

class FakeRegistryEnv {
  public:
    RegistryApi& Api() { return registry; }
    std::function<void()>& Change() { return registry.change; }
    AnsiCodePage& CodePage() { return codePage; }
    std::u16string Base() { return u"Software\\MarvoltTest\\Native"; }
    std::u16string TopLevel() { return u"MarvoltTestNative"; }
    void ExpectAllKeysClosed() {
        EXPECT_GT(registry.OpenCount(), 0);
        EXPECT_EQ(registry.OpenHandleCount(), 0);
    }

    contract::ChangingApi<FakeRegistry> registry;
    FakeAnsiCodePage codePage;
};

}  // namespace

namespace contract {
INSTANTIATE_TYPED_TEST_SUITE_P(InMemory, RegistryContract, FakeRegistryEnv);
}  // namespace contract

}  // namespace marvolt
