#pragma once
// The modal chooser of a file to open, a file name to save as, or a folder.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "files/file_chooser_view.h"
#include "files/folder_paths.h"
#include "platform/file_store.h"
#include "platform/file_system.h"

namespace marvolt {

// "*." and what follows the last "\" or "."; empty without either.
std::u16string GetExtensionPattern(std::u16string_view name);
// What follows the last "\" or "/"; empty without either.
std::u16string GetFileNamePart(std::u16string_view path);

enum class ChooserMode { None, File, SaveFile, Dir };

struct FileChooserServices {
    FileChooserWindows& windows;
    FileStore& store;
    FileSystem& files;  // the process's current drive and folder
    FolderPaths& folders;
};

class FileChooser : private FileChooserEvents {
public:
    explicit FileChooser(const FileChooserServices& services) : services_(services) {}

    // Each returns the chosen path, or an empty text after Cancel or the close box.
    virtual std::u16string FileOpenDialog(const std::u16string& DefaultPath = u"",
                                  const std::u16string& WindowCaption = u"",
                                  const std::u16string& DefaultFilename = u"");
    virtual std::u16string filesaveDialog(const std::u16string& DefaultPath = u"",
                                  const std::u16string& DefaultFilename = u"",
                                  const std::u16string& WindowCaption = u"");
    virtual std::u16string FileDirSelectDialog(const std::u16string& DefaultPath = u"",
                                       const std::u16string& WindowCaption = u"");

private:
    void OnDriveChange(int index) override;
    void OnFolderOpen(int index) override;
    void OnFileClick(int index) override;
    void OnFileDoubleClick(int index) override;
    void OnFileNameChange(const std::u16string& text) override;
    void OnDesktop() override;
    void OnStartMenu() override;
    void OnOk() override;
    void OnCancel() override;

    bool Load(ChooserMode mode);
    std::u16string ShowModal(const std::u16string& caption);
    void Layout();
    bool SelectDrive(char16_t letter);
    void SetFolder(const std::u16string& path);
    void GoTo(const std::u16string& folder);
    void RefreshFiles();
    void SetOkEnabled(bool enabled);
    void SetFileName(const std::u16string& text);

    FileChooserServices services_;
    std::unique_ptr<FileChooserView> view_;
    ChooserMode mode_ = ChooserMode::None;
    std::u16string result_;
    std::vector<std::u16string> drives_;
    int drive_ = -1;
    std::u16string folder_;  // "C:\" for a root, else without a trailing "\"
    std::vector<std::u16string> folderRows_;
    std::u16string pattern_;
    std::vector<std::u16string> files_;
    int file_ = -1;
    bool okEnabled_ = false;
};

}  // namespace marvolt
