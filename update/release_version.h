#pragma once
// Which program a downloaded file is, and how its version stands to another's,
// by their version resources.
#include <string>

#include "platform/file_version.h"

namespace marvolt {

constexpr char16_t kProgramRole[] = u"Marvolt.exe";
constexpr char16_t kUpdaterRole[] = u"Update.exe";

// Below zero when `a` is older than `b`, zero for the same version.
int CompareVersions(const FileVersion& a, const FileVersion& b);
// As the program shows it: "1.01".
std::u16string VersionText(const FileVersion& version);
// The version this program was built as.
FileVersion BuiltVersion();

}  // namespace marvolt
