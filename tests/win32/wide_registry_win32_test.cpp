// Registry text through the wide calls: a name the ANSI code page can't hold is
// stored whole, and a value an earlier release wrote through the ANSI call
// reads as it did.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/text.h"
#include "platform/win32/registry_api_win32.h"
#include "platform/win32/win_text.h"
#include "registry/registry.h"

namespace marvolt {
namespace {

TEST(WideRegistryText, NamesBeyondTheCodePageAreStoredWholeAndOldValuesReadTheSame) {
    Win32RegistryApi api;
    Utf8RegistryText text;
    Registry registry(api, text);
    const std::u16string key = u"Software\\MarvoltTest\\Wide-" + Decimal(GetCurrentProcessId());
    const std::u16string path = u"\"C:\\\u041f\u0430\u043f\u043a\u0430 \u0422\u0435\u0441\u0442\\Marvolt.exe\"";
    registry.WriteRegString(u"HKEY_CURRENT_USER", key, u"Marvolt", path);
    wchar_t stored[64] = L"";
    DWORD size = sizeof stored;
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, Wide(key), L"Marvolt", RRF_RT_REG_SZ, nullptr, stored, &size), 0);
    EXPECT_EQ(FromWide(stored), path);
    EXPECT_EQ(registry.ReadRegPath(u"HKEY_CURRENT_USER\\" + key + u"\\Marvolt"), path);

    const std::string old = ToAnsi(u"Lautsprecher \u00e4");
    HKEY opened = nullptr;
    ASSERT_EQ(RegOpenKeyW(HKEY_CURRENT_USER, Wide(key), &opened), 0);
    RegSetValueExA(opened, "Playback", 0, REG_SZ, reinterpret_cast<const BYTE*>(old.c_str()), old.size() + 1);
    RegCloseKey(opened);
    EXPECT_EQ(registry.ReadRegPath(u"HKEY_CURRENT_USER\\" + key + u"\\Playback"), u"Lautsprecher \u00e4");
    RegDeleteTreeW(HKEY_CURRENT_USER, Wide(key));
    RegDeleteKeyW(HKEY_CURRENT_USER, Wide(key));
}

}  // namespace
}  // namespace marvolt
