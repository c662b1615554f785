#pragma once
// An in-memory settings store that records every save and read.
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "platform/fakes/simple_fakes.h"
#include "platform/settings_store.h"

namespace marvolt {

class FakeSettingsStore : public SettingsStore {
public:
    explicit FakeSettingsStore(CallLog* log = nullptr) : log_(log) {}

    void Save(const std::u16string& app, const std::u16string& section, const std::u16string& key,
              const std::u16string& value) override;
    std::u16string Get(const std::u16string& app, const std::u16string& section,
                       const std::u16string& key, const std::u16string& fallback) override;

    // Presets a stored text without recording a save.
    void Set(const std::u16string& app, const std::u16string& section, const std::u16string& key,
             const std::u16string& value);
    bool Has(const std::u16string& app, const std::u16string& section,
             const std::u16string& key) const;
    // The stored text, empty when nothing is stored.
    std::u16string Value(const std::u16string& app, const std::u16string& section,
                         const std::u16string& key) const;

    struct Entry {
        std::u16string app, section, key, value;
    };
    std::vector<Entry> saves;  // every Save, in order
    std::vector<Entry> gets;   // every Get; `value` holds the fallback passed

private:
    using Address = std::tuple<std::u16string, std::u16string, std::u16string>;
    std::map<Address, std::u16string> values_;
    CallLog* log_;
};

}  // namespace marvolt
