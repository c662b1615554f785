#include "update/update_addresses.h"

#include "platform/text.h"
#include "product.h"

namespace marvolt {

namespace {

constexpr char16_t kSettings[] = u"Settings";
constexpr char16_t kNewProgramPath[] = u"/Downloads/Tools/Marvolt/eng/Marvolt.exe";
constexpr char16_t kUpdaterPath[] = u"/Downloads/Zarnik-Updater.exe";

}  // namespace

// Organisations and tests point the program at a server of their own; the paths
// on the server stay fixed. A server given with a closing "/" is taken the same.
UpdateAddresses ReadUpdateAddresses(AppSettings& settings) {
    UpdateAddresses addresses;
    addresses.homepage = settings.GetAppSetting(kSettings, u"Homepage", FromUtf8(MARVOLT_HOMEPAGE));
    std::u16string server = settings.GetAppSetting(kSettings, u"UpdateServer", FromUtf8(MARVOLT_UPDATE_SERVER));
    while (!server.empty() && server.back() == u'/') server.pop_back();
    addresses.newProgram = server + kNewProgramPath;
    addresses.updater = server + kUpdaterPath;
    return addresses;
}

}  // namespace marvolt
