#pragma once
// Folder lookups (Windows, Program Files, Desktop, Startup, Start Menu) and
// registry text read through a single path string.
#include <string>
#include <string_view>

#include "platform/environment.h"
#include "platform/known_folders.h"
#include "registry/registry.h"

namespace marvolt {

// Scans left to right and resumes after each replacement, so replaced text is
// never searched again ("aaaa", "a" -> "b" gives "bbbb").
std::u16string replaceall(std::u16string_view SearchString, std::u16string_view findstring,
                          std::u16string_view replacestring);

class FolderPaths {
public:
    virtual ~FolderPaths() = default;
    FolderPaths(Registry& registry, KnownFolders& folders, Environment& environment)
        : registry_(registry), folders_(folders), environment_(environment) {}

    // Text value (REG_SZ, or REG_EXPAND_SZ left unexpanded); "" if it can't be read.
    virtual std::u16string RegistryGetAbsolutValue(std::u16string_view RegistryKeyPath);
    virtual std::u16string GetWindowsPath();
    virtual std::u16string GetProgramfilesPath();
    virtual std::u16string GetDesktopPath();
    virtual std::u16string GetAutostartPath();
    virtual std::u16string GetStartMenuPath();

private:
    std::u16string GetUserProfilePath();
    std::u16string Folder(KnownFolder folder, std::u16string_view registryPath, bool userFolder);

    Registry& registry_;
    KnownFolders& folders_;
    Environment& environment_;
};

}  // namespace marvolt
