#pragma once
#include <cstdint>
#include <string>

#include "platform/url_download.h"

namespace marvolt {

// Told how far a download has come; returns false to cancel it.
class DownloadProgress {
public:
    virtual ~DownloadProgress() = default;
    virtual bool OnProgress(std::uint32_t done, std::uint32_t total) = 0;
};

// urlmon and wininet are loaded when first used, so that the program starts
// where they are missing; then every download fails.
std::int32_t DownloadUrlToFile(const std::u16string& url, const std::u16string& file, DownloadProgress* progress);
void ForgetCachedUrl(const std::u16string& url);

class Win32UrlDownload : public UrlDownload {
public:
    void ForgetCachedCopy(const std::u16string& url) override { ForgetCachedUrl(url); }
    std::int32_t DownloadToFile(const std::u16string& url, const std::u16string& file) override {
        return DownloadUrlToFile(url, file, nullptr);
    }
};

}  // namespace marvolt
