#pragma once
#include <cstdint>
#include <string>

#include "platform/native_handle.h"

namespace marvolt {

using RegKey = NativeHandle;

// Predefined roots, with the numbers the system gives them.
constexpr RegKey kClassesRoot = 0x80000000u;
constexpr RegKey kCurrentUser = 0x80000001u;
constexpr RegKey kLocalMachine = 0x80000002u;
constexpr RegKey kUsers = 0x80000003u;
constexpr RegKey kPerformanceData = 0x80000004u;
constexpr RegKey kCurrentConfig = 0x80000005u;
constexpr RegKey kDynData = 0x80000006u;

// Value types.
constexpr std::uint32_t kRegNone = 0;
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;

// Result codes, as the system's.
constexpr long kRegOk = 0;
constexpr long kRegFileNotFound = 2;
constexpr long kRegAccessDenied = 5;
constexpr long kRegInvalidHandle = 6;
constexpr long kRegMoreData = 234;
constexpr long kRegNoMoreItems = 259;

// The raw registry calls. Value data are bytes as stored, but for text types
// (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ), whose data cross as UTF-8.
class RegistryApi {
public:
    virtual ~RegistryApi() = default;
    // Creates every missing level of `path` and opens the key (RegCreateKeyW).
    virtual long CreateKey(RegKey root, const std::u16string& path, RegKey* key) = 0;
    // Opens an existing key, never creating it (RegOpenKeyW).
    virtual long OpenKey(RegKey root, const std::u16string& path, RegKey* key) = 0;
    virtual long SetValue(RegKey key, const std::u16string& name, std::uint32_t type,
                          const std::uint8_t* data, std::uint32_t size) = 0;
    // RegQueryValueExW: `type` and `data` may be null; `size` is in/out (bytes).
    virtual long QueryValue(RegKey key, const std::u16string& name, std::uint32_t* type,
                            std::uint8_t* data, std::uint32_t* size) = 0;
    virtual long DeleteValue(RegKey key, const std::u16string& name) = 0;
    // The name of the subkey at `index` (RegEnumKeyExW); kRegNoMoreItems past the last.
    virtual long EnumKey(RegKey key, std::uint32_t index, std::u16string& name) = 0;
    // Deletes a subkey that has no subkeys of its own (RegDeleteKeyW).
    virtual long DeleteKey(RegKey key, const std::u16string& subkey) = 0;
    virtual long CloseKey(RegKey key) = 0;
};

}  // namespace marvolt
