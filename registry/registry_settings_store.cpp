#include "registry/registry_settings_store.h"

namespace marvolt {
namespace {

// The key path below HKEY_CURRENT_USER that holds a section's values.
std::u16string SectionKeyPath(const std::u16string& app, const std::u16string& section) {
    std::u16string path = u"Software\\VB and VBA Program Settings\\" + app;
    // Sections arrive with a trailing backslash; inner ones make nested keys.
    std::u16string_view name = section;
    if (!name.empty() && name.back() == u'\\') name.remove_suffix(1);
    if (!name.empty()) {
        path += u'\\';
        path += name;
    }
    return path;
}

}  // namespace

void RegistrySettingsStore::Save(const std::u16string& app, const std::u16string& section,
                                 const std::u16string& key, const std::u16string& value) {
    registry_.WriteRegString(u"HKEY_CURRENT_USER", SectionKeyPath(app, section), key, value);
}

std::u16string RegistrySettingsStore::Get(const std::u16string& app, const std::u16string& section,
                                          const std::u16string& key,
                                          const std::u16string& fallback) {
    return registry_.QueryRegValue(kCurrentUser, SectionKeyPath(app, section), key, fallback);
}

}  // namespace marvolt
