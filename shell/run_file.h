#pragma once
// Opens a target with the program the system associates with HTML files, found
// by asking the shell about a small probe file.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/app_identity.h"
#include "platform/file_system.h"
#include "platform/message_service.h"
#include "platform/process_launcher.h"
#include "platform/shell_association.h"
#include "shell/document_opener.h"

namespace marvolt {

struct RunFileServices {
    FileSystem& files;
    ShellAssociation& shell;
    ProcessLauncher& launcher;
    MessageService& messages;
    AppIdentity& identity;
};

class RunFile : public DocumentOpener {
public:
    explicit RunFile(const RunFileServices& services) : services_(services) {}

    std::uint32_t OpenDocument(const std::u16string& target, int windowStyle) override;
    // Full path of the program associated with `file`; empty if none was found.
    std::u16string FindAssociatedProgram(const std::u16string& file);
    // What the shell reports for `file`; empty when it reports nothing.
    std::u16string FindExecutablePath(const std::u16string& file);

private:
    struct Probe {
        std::u16string path;
        bool created;  // false: someone else's file, to be left alone
    };
    Probe PlaceProbe(const std::u16string& name, const std::vector<std::u16string>& lines);
    std::u16string LookUpProbe(const std::u16string& name, const std::vector<std::u16string>& lines);
    std::u16string ProbeDriveRoot();

    RunFileServices services_;
};

}  // namespace marvolt
