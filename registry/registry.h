#pragma once
// Registry access addressed by root-key name, key path and value name, or by one
// full path ("HKEY_CURRENT_USER\Software\...\ValueName"). Never shows a message
// and never reports a failure: writes that cannot be done leave the registry as
// it was, reads return their default.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ansi_code_page.h"
#include "platform/registry_api.h"

namespace marvolt {

class Registry {
public:
    Registry(RegistryApi& api, AnsiCodePage& codePage) : api_(api), codePage_(codePage) {}

    // "current_user" / "hkey_current_user" (any letter case) and the like; 0 if none.
    static RegKey RootKeyFromName(std::u16string_view name);

    void WriteRegString(std::u16string_view root, std::u16string_view keyPath,
                        std::u16string_view valueName, std::u16string_view data);
    void WriteRegDword(std::u16string_view root, std::u16string_view keyPath,
                       std::u16string_view valueName, std::int32_t number);
    void DeleteRegValue(std::u16string_view root, std::u16string_view keyPath,
                        std::u16string_view valueName);
    std::int32_t ReadRegDword(std::u16string_view root, std::u16string_view keyPath,
                              std::u16string_view valueName, std::int32_t fallback);
    // The type a value is stored with (kRegSz, kRegDword, ...); none when it is absent.
    std::optional<std::uint32_t> RegValueType(std::u16string_view root, std::u16string_view keyPath,
                                              std::u16string_view valueName);
    // Reads a REG_SZ value below an already resolved root; anything else reads as `fallback`.
    std::u16string QueryRegValue(RegKey root, std::u16string_view keyPath,
                                 std::u16string_view valueName, std::u16string_view fallback);
    // Reads a REG_SZ value by full path; the empty text when absent or unreadable.
    std::u16string ReadRegPath(std::u16string_view fullPath);
    // The names of the keys right below a key, in the order the registry gives them.
    std::vector<std::u16string> SubKeyNames(RegKey root, std::u16string_view keyPath);
    // Deletes a key that has no subkeys, with its values.
    void DeleteRegKey(RegKey root, std::u16string_view keyPath, std::u16string_view subkey);
    // The same path rules, but REG_EXPAND_SZ values read too, left unexpanded.
    std::u16string ReadRegPathText(std::u16string_view fullPath);

private:
    std::u16string ReadPath(std::u16string_view fullPath, bool expandableToo);
    std::u16string QueryText(RegKey root, std::u16string_view keyPath, std::u16string_view valueName,
                             std::u16string_view fallback, bool expandableToo);

    RegistryApi& api_;
    AnsiCodePage& codePage_;
};

}  // namespace marvolt
