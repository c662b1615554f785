#pragma once
// The per-user settings store, kept in the registry under
// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<app>\<section>, one
// text value per key: where earlier releases kept their options, so that an
// upgrade keeps them.
#include <string>

#include "platform/ansi_code_page.h"
#include "platform/registry_api.h"
#include "platform/settings_store.h"
#include "registry/registry.h"

namespace marvolt {

class RegistrySettingsStore : public SettingsStore {
public:
    RegistrySettingsStore(RegistryApi& api, AnsiCodePage& codePage) : registry_(api, codePage) {}

    void Save(const std::u16string& app, const std::u16string& section, const std::u16string& key,
              const std::u16string& value) override;
    std::u16string Get(const std::u16string& app, const std::u16string& section,
                       const std::u16string& key, const std::u16string& fallback) override;

private:
    Registry registry_;
};

}  // namespace marvolt
