// The registry contract on the system's registry, and its text through the wide
// calls: a name the ANSI code page can't hold is stored whole, and a value an
// earlier release wrote through the ANSI call reads as it did.
#include <windows.h>

#include "platform/win32/registry_api_win32.h"
#include "platform/win32/win_text.h"
#include "tests/common/registry_contract.h"

namespace marvolt {
namespace {

// Throwaway keys below HKEY_CURRENT_USER, removed after the test; their shared
// parent goes only while it holds no other run's keys.
class Win32RegistryEnv {
  public:
    ~Win32RegistryEnv() {
        for (const std::u16string& key : {Base(), name_}) {
            RegDeleteTreeW(HKEY_CURRENT_USER, Wide(key));
            RegDeleteKeyW(HKEY_CURRENT_USER, Wide(key));
        }
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\MarvoltTest");
    }
    RegistryApi& Api() { return api_; }
    std::function<void()>& Change() { return api_.change; }
    AnsiCodePage& CodePage() { return codePage_; }
    std::u16string Base() { return u"Software\\MarvoltTest\\" + name_; }
    std::u16string TopLevel() { return name_; }
    // The system keeps no count of our key handles that the test could read.
    void ExpectAllKeysClosed() {}

  private:
    // A key name no other run uses at the same time.
    std::u16string name_ = [] {
        static int counter = 0;
        return u"MarvoltTest-" + Decimal(GetCurrentProcessId()) + u"-" + Decimal(++counter);
    }();
    contract::ChangingApi<Win32RegistryApi> api_;
    Utf8RegistryText codePage_;
};

TEST(WideRegistryText, NamesBeyondTheCodePageAreStoredWholeAndOldValuesReadTheSame) {
    Win32RegistryEnv env;
    Registry registry(env.Api(), env.CodePage());
    const std::u16string key = env.Base(),
                         path = u"\"C:\\\u041f\u0430\u043f\u043a\u0430\\Marvolt.exe\"";
    registry.WriteRegString(u"HKEY_CURRENT_USER", key, u"Marvolt", path);
    wchar_t stored[64] = L"";
    DWORD size = sizeof stored;
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, Wide(key), L"Marvolt", RRF_RT_REG_SZ, nullptr, stored,
                           &size),
              0);
    EXPECT_EQ(FromWide(stored), path);
    EXPECT_EQ(registry.ReadRegPath(u"HKEY_CURRENT_USER\\" + key + u"\\Marvolt"), path);
    const std::string old = ToAnsi(u"Lautsprecher \u00e4");
    RegSetKeyValueA(HKEY_CURRENT_USER, ToAnsi(key).c_str(), "Playback", REG_SZ, old.c_str(),
                    DWORD(old.size() + 1));
    EXPECT_EQ(registry.ReadRegPath(u"HKEY_CURRENT_USER\\" + key + u"\\Playback"),
              u"Lautsprecher \u00e4");
}

}  // namespace

namespace contract {
INSTANTIATE_TYPED_TEST_SUITE_P(System, RegistryContract, Win32RegistryEnv);
}  // namespace contract

}  // namespace marvolt
