#pragma once
// The updater's own work: fetch the new program beside the old one, check it,
// put it in place and start it; on any failure the old program stays and runs.
#include <cstdint>
#include <string>

#include "platform/file_version.h"
#include "platform/signature_check.h"

namespace marvolt {

struct UpdaterRequest {
    std::u16string url;   // after "[URL]"
    std::u16string path;  // after "[PATH]": the program to replace, blanks and all
};

// Reads "<updater> [URL]<address> [PATH]<file>"; false when a marker or a value is missing.
bool ParseUpdaterCommandLine(const std::u16string& commandLine, UpdaterRequest& request);

class UpdaterPlatform {
public:
    virtual ~UpdaterPlatform() = default;
    // Waits, bounded in time, until no process runs the program at `path`.
    virtual bool WaitForProgramEnd(const std::u16string& path) = 0;
    virtual bool CanWriteIn(const std::u16string& folder) = 0;
    virtual std::u16string TempFolder() = 0;  // ends in "\"
    // Downloads with the progress window up; 0 on success, else the failure code
    // (the user's Cancel included).
    virtual std::int32_t Download(const std::u16string& url, const std::u16string& file) = 0;
    virtual SignatureVerdict Verify(const std::u16string& file, const std::u16string& signatureFile) = 0;
    // A Windows program for the machine type this updater runs as.
    virtual bool IsProgramForThisMachine(const std::u16string& file) = 0;
    virtual bool ReadFileVersion(const std::u16string& file, FileVersion& version) = 0;
    // Puts `fresh` in the place of `target`, keeping the old one as `backup`;
    // `elevated` asks the user once for the rights to do so, and the updater
    // beside `target` does it after checking `fresh` again.
    virtual bool Replace(const std::u16string& fresh, const std::u16string& target, const std::u16string& backup,
                         bool elevated) = 0;
    // Opens the file so that nobody can change, rename or delete it until the
    // updater ends.
    virtual bool Pin(const std::u16string& file) = 0;
    // Copies the pinned file into a new file beside `target` (so that it takes
    // the folder's permissions), then puts that in place, keeping the old as `backup`.
    virtual bool InstallPinned(const std::u16string& target, const std::u16string& backup) = 0;
    // Puts the backup back over whatever is at `target`.
    virtual bool MoveBack(const std::u16string& backup, const std::u16string& target) = 0;
    virtual bool Start(const std::u16string& program) = 0;
    virtual void RemoveFile(const std::u16string& path) = 0;
    virtual void Tell(const std::u16string& text) = 0;
};

// Returns the process's exit code: 0 when the new program runs.
int RunUpdater(const std::u16string& commandLine, UpdaterPlatform& platform);

// True for the elevated step's command line, "<updater> [REPLACE]<new file> [PATH]<program>".
bool IsElevatedStep(const std::u16string& commandLine);
// The elevated step: `self` is this updater's own path. 0 when the new file
// passed every check again and is in place.
int RunElevatedStep(const std::u16string& commandLine, const std::u16string& self, UpdaterPlatform& platform);
// The elevated step's command line (without the updater) for one replace.
std::u16string ElevatedStepParameters(const std::u16string& fresh, const std::u16string& target);

}  // namespace marvolt
