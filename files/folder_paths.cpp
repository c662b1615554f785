#include "files/folder_paths.h"

namespace marvolt {

std::u16string replaceall(std::u16string_view SearchString, std::u16string_view findstring,
                          std::u16string_view replacestring) {
    std::u16string result;
    // Nothing to look for: hand the input back unchanged rather than loop forever.
    if (findstring.empty()) return std::u16string(SearchString);
    size_t from = 0;
    for (size_t at; (at = SearchString.find(findstring, from)) != std::u16string_view::npos;
         from = at + findstring.size()) {
        result.append(SearchString.substr(from, at - from));
        result.append(replacestring);
    }
    result.append(SearchString.substr(from));
    return result;
}

std::u16string FolderPaths::RegistryGetAbsolutValue(std::u16string_view RegistryKeyPath) {
    return registry_.ReadRegPathText(RegistryKeyPath);
}

std::u16string FolderPaths::GetUserProfilePath() { return environment_.Variable(u"USERPROFILE"); }

// Folders can be redirected per user (a synchronised Desktop, say), so the
// shell's known-folder lookup comes first; the old registry location is only a
// fallback for systems whose shell knows nothing of the folder.
std::u16string FolderPaths::Folder(KnownFolder folder, std::u16string_view registryPath,
                                      bool userFolder) {
    std::u16string path = folders_.Path(folder);
    if (!path.empty()) return path;
    path = RegistryGetAbsolutValue(registryPath);
    return userFolder ? replaceall(path, u"%USERPROFILE%", GetUserProfilePath()) : path;
}

namespace {
constexpr char16_t kShellFolders[] =
    u"HKEY_USERS\\.DEFAULT\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders\\";
}

std::u16string FolderPaths::GetWindowsPath() {
    return Folder(KnownFolder::Windows,
                  u"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\SystemRoot", false);
}

std::u16string FolderPaths::GetProgramfilesPath() {
    return Folder(KnownFolder::ProgramFiles,
                  u"HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\ProgramfilesPath", false);
}

std::u16string FolderPaths::GetDesktopPath() {
    return Folder(KnownFolder::Desktop, std::u16string(kShellFolders) + u"Desktop", true);
}

std::u16string FolderPaths::GetAutostartPath() {
    return Folder(KnownFolder::Startup, std::u16string(kShellFolders) + u"startup", true);
}

std::u16string FolderPaths::GetStartMenuPath() {
    return Folder(KnownFolder::StartMenu, std::u16string(kShellFolders) + u"Start Menu", true);
}

}  // namespace marvolt
