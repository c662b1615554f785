#include "update/update_addresses.h"

#include "platform/text.h"
#include "product.h"

namespace marvolt {

namespace {

constexpr char16_t kSettings[] = u"Settings";
constexpr char16_t kNewProgramPath[] = u"/Downloads/Tools/Marvolt/eng/Marvolt.exe";
constexpr char16_t kUpdaterPath[] = u"/Downloads/Zarnik-Updater.exe";

// The user's value of `name`, or the build's when there is none or it is refused.
std::u16string AddressSetting(AppSettings& settings, const char16_t* name, const std::u16string& builtIn) {
    std::u16string address = settings.GetAppSetting(kSettings, name, builtIn);
    return IsAcceptedAddress(address) ? address : builtIn;
}

}  // namespace

// Plain http could be changed on its way by anyone on the network path. A user
// name before the host ("http://localhost:80@elsewhere") or a backslash, which
// some parsers take for a slash, is not worth telling apart: both are refused.
bool IsAcceptedAddress(const std::u16string& address) {
    std::u16string text = ToLowerAscii(address);
    size_t scheme = text.find(u"://");
    if (scheme == std::u16string::npos || Contains(text, u"\\")) return false;
    size_t start = scheme + 3;
    std::u16string host = text.substr(start, text.find_first_of(u"/?#", start) - start);
    if (host.empty() || Contains(host, u"@")) return false;
    std::u16string kind = text.substr(0, scheme);
    host = host.substr(0, host.find(u':'));
    return kind == u"https" || (kind == u"http" && (host == u"127.0.0.1" || host == u"localhost"));
}

// Organisations and tests point the program at a server of their own; the paths
// on the server stay fixed. A server given with a closing "/" is taken the same.
UpdateAddresses ReadUpdateAddresses(AppSettings& settings) {
    UpdateAddresses addresses;
    addresses.homepage = AddressSetting(settings, u"Homepage", FromUtf8(MARVOLT_HOMEPAGE));
    std::u16string server = AddressSetting(settings, u"UpdateServer", FromUtf8(MARVOLT_UPDATE_SERVER));
    while (!server.empty() && server.back() == u'/') server.pop_back();
    addresses.newProgram = server + kNewProgramPath;
    addresses.updater = server + kUpdaterPath;
    return addresses;
}

}  // namespace marvolt
