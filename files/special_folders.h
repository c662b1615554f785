#pragma once
// Where the system keeps the Windows, program and per-user folders, and registry
// text values read by one full path.
#include <string>
#include <string_view>

#include "platform/environment.h"
#include "platform/known_folders.h"
#include "registry/registry.h"

namespace marvolt {

// Every non-overlapping occurrence of `findstring`, left to right.
std::u16string replaceall(std::u16string_view SearchString, std::u16string_view findstring,
                          std::u16string_view replacestring);

class SpecialFolders {
public:
    virtual ~SpecialFolders() = default;
    SpecialFolders(Registry& registry, KnownFolders& folders, Environment& environment)
        : registry_(registry), folders_(folders), environment_(environment) {}

    // A REG_SZ or REG_EXPAND_SZ value (unexpanded) by full path; empty when unreadable.
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
