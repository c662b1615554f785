#pragma once
// The registry through the system's wide calls.
#include <string>

#include "platform/ansi_code_page.h"
#include "platform/registry_api.h"

namespace marvolt {

class Win32RegistryApi : public RegistryApi {
public:
    long CreateKey(RegKey root, const std::u16string& path, RegKey* key) override;
    long OpenKey(RegKey root, const std::u16string& path, RegKey* key) override;
    long SetValue(RegKey key, const std::u16string& name, std::uint32_t type,
                  const std::uint8_t* data, std::uint32_t size) override;
    long QueryValue(RegKey key, const std::u16string& name, std::uint32_t* type,
                    std::uint8_t* data, std::uint32_t* size) override;
    long DeleteValue(RegKey key, const std::u16string& name) override;
    long EnumKey(RegKey key, std::uint32_t index, std::u16string& name) override;
    long DeleteKey(RegKey key, const std::u16string& subkey) override;
    long CloseKey(RegKey key) override;
};

}  // namespace marvolt
