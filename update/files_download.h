#pragma once
// The download side of the `Files` utility object: one address into a file with
// collision modes, and the hand-over to the updater.
#include <cstdint>
#include <string>

#include "platform/file_probe.h"
#include "platform/file_version.h"
#include "platform/message_service.h"
#include "platform/pending_events.h"
#include "platform/process_end.h"
#include "platform/process_launcher.h"
#include "platform/signature_check.h"
#include "platform/url_download.h"

namespace marvolt {

// The error of the last failed download: its number and where it came from.
struct ErrorRecord {
    std::int32_t number = 0;
    std::u16string source;
};

constexpr std::int32_t kErrorNoNameInUrl = 52;
constexpr std::int32_t kErrorTargetPresent = 58;

std::u16string StripQuotes(const std::u16string& text);
std::u16string JoinPath(const std::u16string& folder, const std::u16string& name);

struct FilesDownloadServices {
    UrlDownload& download;
    FileProbe& files;
    SignatureCheck& signatures;
    PendingEvents& pending;
    MessageService& messages;
    ProcessLauncher& launcher;
    ProcessEnd& processEnd;
    FileVersionReader& versions;
};

// Hands the program over to the updater; returns only when that failed.
class UpdateHandover {
public:
    virtual ~UpdateHandover() = default;
    virtual bool DownloadUpdateWithUpdater(const std::u16string& URLFileToDownload,
                                           const std::u16string& LocalFileToUpdate,
                                           const std::u16string& LocalUpdaterEXE,
                                           const std::u16string& URLUpdaterEXE) = 0;
};

class FilesDownload : public UpdateHandover {
public:
    // programFolder: where the running program lies; the updater is looked for there.
    // defaultUpdaterUrl: where the updater comes from when the caller names none.
    FilesDownload(const FilesDownloadServices& services, const std::u16string& programFolder,
                  const std::u16string& defaultUpdaterUrl)
        : services_(services), programFolder_(programFolder), defaultUpdaterUrl_(defaultUpdaterUrl) {}

    std::u16string URLToFileDownload(const std::u16string& URL_Source, const std::u16string& Path_Destination,
                                     std::int32_t Overwrite = 0);
    bool DownloadUpdateWithUpdater(const std::u16string& URLFileToDownload, const std::u16string& LocalFileToUpdate,
                                   const std::u16string& LocalUpdaterEXE,
                                   const std::u16string& URLUpdaterEXE) override;
    bool DownloadUpdateWithUpdater(const std::u16string& URLFileToDownload, const std::u16string& LocalFileToUpdate) {
        return DownloadUpdateWithUpdater(URLFileToDownload, LocalFileToUpdate, u"Zarnik-Updater.exe",
                                         defaultUpdaterUrl_);
    }

    const ErrorRecord& LastError() const { return error_; }

private:
    bool FileExists(const std::u16string& path);
    bool IsUsableFile(const std::u16string& path);
    std::u16string Fail(std::int32_t number);

    FilesDownloadServices services_;
    std::u16string programFolder_;
    std::u16string defaultUpdaterUrl_;
    ErrorRecord error_;
};

}  // namespace marvolt
