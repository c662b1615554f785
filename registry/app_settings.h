#pragma once
// The program's own options, kept in the per-user settings store under the
// application title.
#include <string>

#include "platform/app_identity.h"
#include "platform/message_service.h"
#include "platform/process_end.h"
#include "platform/settings_store.h"

namespace marvolt {

class AppSettings {
public:
    AppSettings(SettingsStore& store, AppIdentity& identity, MessageService& messages, ProcessEnd& end)
        : store_(store), identity_(identity), messages_(messages), end_(end) {}

    void SaveAppSetting(const std::u16string& section, const std::u16string& key,
                        const std::u16string& value);
    std::u16string GetAppSetting(const std::u16string& section, const std::u16string& key,
                                 const std::u16string& fallback);
    // Ends the program, after telling why, when the application title is blank.
    void RequireProgramName();

private:
    SettingsStore& store_;
    AppIdentity& identity_;
    MessageService& messages_;
    ProcessEnd& end_;
};

}  // namespace marvolt
