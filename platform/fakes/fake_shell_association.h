#pragma once
// The shell's file association lookup over a FakeFileSystem: like the real
// one, it reports a program only for a file that exists, by its extension.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/fakes/fake_file_system.h"
#include "platform/fakes/simple_fakes.h"
#include "platform/shell_association.h"

namespace marvolt {

class FakeShellAssociation : public ShellAssociation {
public:
    explicit FakeShellAssociation(FakeFileSystem& files, CallLog* log = nullptr)
        : files_(files), log_(log) {}

    std::optional<std::u16string> ProgramForFile(const std::u16string& file) override;

    // Lower-case extension with its dot (".html") -> program path.
    std::map<std::u16string, std::u16string> programs;
    // When set, every lookup also moves the current directory there, as a shell
    // extension might.
    std::u16string wanderTo;
    // When set, lookups report no result at all rather than an empty one.
    bool writesNothing = false;

    struct Lookup {
        std::u16string file;
        bool existed;
        std::vector<std::u16string> lines;  // the file's content at the time
    };
    std::vector<Lookup> lookups;

private:
    FakeFileSystem& files_;
    CallLog* log_;
};

}  // namespace marvolt
