#pragma once
// The file utility object: the system's and the user's folders, the chooser window and file
// operations. Its window is made only while one of its dialogs is shown, and
// nothing it needs is loaded before one of its methods runs.
#include "files/file_chooser.h"
#include "files/file_operations.h"
#include "files/folder_paths.h"

namespace marvolt {

struct FilesServices {
    Registry& registry;
    KnownFolders& knownFolders;
    Environment& environment;
    FileStore& store;
    FileSystem& files;
    ShellAssociation& shell;
    ProcessLauncher& launcher;
    PendingEvents& events;
    FileChooserWindows& windows;
};

class Files : public FolderPaths, public FileOperations, public FileChooser {
public:
    explicit Files(const FilesServices& s)
        : FolderPaths(s.registry, s.knownFolders, s.environment),
          FileOperations({s.store, s.files, s.shell, s.launcher, s.events}),
          FileChooser({s.windows, s.store, s.files, *this}) {}
};

}  // namespace marvolt
