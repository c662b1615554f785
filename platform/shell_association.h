#pragma once
#include <optional>
#include <string>

namespace marvolt {

// Asks the shell which program opens a file (FindExecutableA, no directory).
class ShellAssociation {
public:
    virtual ~ShellAssociation() = default;
    // The program path the shell reports, up to its first NUL; no value when the
    // shell wrote no result at all.
    virtual std::optional<std::u16string> ProgramForFile(const std::u16string& file) = 0;
};

}  // namespace marvolt
