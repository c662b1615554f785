#pragma once
#include <string>

namespace marvolt {

// The per-user store of texts addressed by application name, section and key.
// Save creates what is missing; Get returns `fallback` when nothing is stored.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual void Save(const std::u16string& app, const std::u16string& section,
                      const std::u16string& key, const std::u16string& value) = 0;
    virtual std::u16string Get(const std::u16string& app, const std::u16string& section,
                               const std::u16string& key, const std::u16string& fallback) = 0;
};

}  // namespace marvolt
