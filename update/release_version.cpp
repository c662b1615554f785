#include "update/release_version.h"

#include "platform/text.h"
#include "product.h"

namespace marvolt {

int CompareVersions(const FileVersion& a, const FileVersion& b) {
    if (a.major != b.major) return a.major < b.major ? -1 : 1;
    if (a.minor != b.minor) return a.minor < b.minor ? -1 : 1;
    return 0;
}

std::u16string VersionText(const FileVersion& version) {
    return Decimal(version.major) + (version.minor < 10 ? u".0" : u".") + Decimal(version.minor);
}

FileVersion BuiltVersion() { return {u"", MARVOLT_VERSION_MAJOR, MARVOLT_VERSION_MINOR}; }

}  // namespace marvolt
