#include "registry/app_settings.h"

#include "platform/text.h"

namespace marvolt {
namespace {

// Lines are separated by a carriage return alone.
constexpr char16_t kMissingProgramName[] =
    u"Der Programm-Name wurde nicht festgelegt\r"
    u"(Wird f\u00fcr Registry etc. ben\u00f6tigt)\r"
    u"Bitte die Kalvon.Initialize - Funktion aufrufen!";

// Sections reach the store with one trailing backslash; the empty section and
// one that already ends in a backslash pass unchanged.
std::u16string NormaliseSection(const std::u16string& section) {
    if (section.empty() || section.back() == u'\\') return section;
    return section + u'\\';
}

}  // namespace

void AppSettings::SaveAppSetting(const std::u16string& section, const std::u16string& key,
                                 const std::u16string& value) {
    RequireProgramName();
    store_.Save(identity_.Title(), NormaliseSection(section), key, value);
}

std::u16string AppSettings::GetAppSetting(const std::u16string& section,
                                          const std::u16string& key,
                                          const std::u16string& fallback) {
    RequireProgramName();
    std::u16string text = store_.Get(identity_.Title(), NormaliseSection(section), key, u"");
    // An empty stored text counts as nothing stored.
    return text.empty() ? fallback : text;
}

void AppSettings::RequireProgramName() {
    if (!Trim(identity_.Title()).empty()) return;
    // An empty title lets the message service use the application's default title.
    messages_.ShowMessage(kMissingProgramName, u"", MessageButtons::Ok, MessageIcon::None);
    end_.EndNow();
}

}  // namespace marvolt
