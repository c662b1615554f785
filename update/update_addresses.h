#pragma once
#include <string>

#include "registry/app_settings.h"

namespace marvolt {

struct UpdateAddresses {
    std::u16string homepage;
    std::u16string newProgram;
    std::u16string updater;
};

// The build's homepage and update server, each replaced by the user's own value
// in the settings store when there is one.
UpdateAddresses ReadUpdateAddresses(AppSettings& settings);

}  // namespace marvolt
