#include "platform/fakes/fake_settings_store.h"

#include "platform/text.h"

namespace marvolt {

void FakeSettingsStore::Save(const std::u16string& app, const std::u16string& section,
                             const std::u16string& key, const std::u16string& value) {
    saves.push_back({app, section, key, value});
    values_[{app, section, key}] = value;
    if (log_) log_->Add("save " + ToUtf8(section) + ToUtf8(key) + "=" + ToUtf8(value));
}

std::u16string FakeSettingsStore::Get(const std::u16string& app, const std::u16string& section,
                                      const std::u16string& key, const std::u16string& fallback) {
    gets.push_back({app, section, key, fallback});
    if (log_) log_->Add("get " + ToUtf8(section) + ToUtf8(key));
    auto found = values_.find({app, section, key});
    return found == values_.end() ? fallback : found->second;
}

void FakeSettingsStore::Set(const std::u16string& app, const std::u16string& section,
                            const std::u16string& key, const std::u16string& value) {
    values_[{app, section, key}] = value;
}

bool FakeSettingsStore::Has(const std::u16string& app, const std::u16string& section,
                            const std::u16string& key) const {
    return values_.count({app, section, key}) != 0;
}

std::u16string FakeSettingsStore::Value(const std::u16string& app, const std::u16string& section,
                                        const std::u16string& key) const {
    auto found = values_.find({app, section, key});
    return found == values_.end() ? std::u16string() : found->second;
}

}  // namespace marvolt
