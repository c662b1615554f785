#pragma once
// Starting programs and documents, moving files, their dates and names, and a
// listing of a folder tree written to a text file.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_store.h"
#include "platform/file_system.h"
#include "platform/pending_events.h"
#include "platform/process_launcher.h"
#include "platform/shell_association.h"

namespace marvolt {

struct FileOperationsServices {
    FileStore& store;
    FileSystem& files;  // the current directory
    ShellAssociation& shell;
    ProcessLauncher& launcher;
    PendingEvents& events;
};

class FileOperations {
public:
    virtual ~FileOperations() = default;
    explicit FileOperations(const FileOperationsServices& services) : services_(services) {}

    // The started process's id; 0 when nothing was started.
    virtual std::uint32_t FileRun(const std::u16string& Datei, int Style = 1);
    virtual bool FileMove(const std::u16string& Source, const std::u16string& Destination, bool Overwrite = false);
    virtual std::optional<DateTime> getFileDate(const std::u16string& FileName);
    virtual std::u16string FileGetShortFileName(const std::u16string& Path);
    virtual std::u16string FileGetLongFileName(const std::u16string& Path);
    // False when the target could not be written; nothing is lost from it then.
    virtual bool ReadDirctoryStructureToFile(const std::u16string& Path, const std::u16string& TargetTextFileName,
                                     const std::u16string& SearchExtension = u"*.*",
                                     bool AppendTarget = true);

    // Deeper than this the listing stops: a link the system does not mark as one
    // could otherwise lead round a loop for ever.
    static constexpr int kMaxDepth = 32;

private:
    std::u16string FindExecutablePath(const std::u16string& document);
    void ListFolder(const std::u16string& folder, const std::u16string& pattern, int depth,
                    std::vector<std::u16string>& lines);

    FileOperationsServices services_;
};

}  // namespace marvolt
