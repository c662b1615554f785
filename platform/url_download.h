#pragma once
#include <cstdint>
#include <string>

namespace marvolt {

// Fetches one address into a file through the system's URL download.
class UrlDownload {
public:
    virtual ~UrlDownload() = default;
    // Drops the system's cached copy of this one address, so that the next
    // download comes from the server.
    virtual void ForgetCachedCopy(const std::u16string& url) = 0;
    // Blocks until the file is complete; 0 (S_OK) on success, else the failure code.
    virtual std::int32_t DownloadToFile(const std::u16string& url, const std::u16string& file) = 0;
};

}  // namespace marvolt
