#pragma once
#include <string>

#include "registry/app_settings.h"

namespace marvolt {

struct UpdateAddresses {
    std::u16string homepage;
    std::u16string newProgram;
    std::u16string updater;
};

// An https address, or one on this machine itself (127.0.0.1 or localhost,
// where the tests' server runs) over http too.
bool IsAcceptedAddress(const std::u16string& address);

// The build's homepage and update server, each replaced by the user's own value
// in the settings store when there is one that IsAcceptedAddress takes.
UpdateAddresses ReadUpdateAddresses(AppSettings& settings);

}  // namespace marvolt
