// The registry contract on the system's registry.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/text.h"
#include "platform/win32/registry_api_win32.h"
#include "platform/win32/win_text.h"
#include "tests/common/registry_contract.h"

namespace marvolt {
namespace {

// A key name no other run uses at the same time.
std::u16string UniqueName() {
    static int counter = 0;
    return u"MarvoltTest-" + Decimal(GetCurrentProcessId()) + u"-" + Decimal(++counter);
}

// Removes a throwaway key tree below HKEY_CURRENT_USER before and after the test.
// Without `tree` only an empty key goes (a shared parent stays while it holds others).
struct ScopedTestKey {
    std::wstring path;
    bool tree = true;
    ~ScopedTestKey() { Clear(); }
    void Clear() {
        if (tree) RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str());
    }
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
    ScopedTestKey parent_{L"Software\\MarvoltTest", false}, base_{Wide(Base())}, top_{Wide(name_)};
    Win32RegistryApi api_;
    Utf8RegistryText codePage_;
};

}  // namespace

namespace contract {
INSTANTIATE_TYPED_TEST_SUITE_P(System, RegistryContract, Win32RegistryEnv);
}  // namespace contract

}  // namespace marvolt
