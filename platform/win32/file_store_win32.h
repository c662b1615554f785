#pragma once
#include "platform/file_store.h"

namespace marvolt {

class Win32FileStore : public FileStore {
public:
    std::vector<FoundEntry> Find(const std::u16string& pattern) override;
    std::vector<std::u16string> Drives() override;
    std::u16string DriveFolder(char16_t drive) override;
    PathKind Kind(const std::u16string& path) override;
    bool Move(const std::u16string& source, const std::u16string& destination, bool replace) override;
    std::optional<DateTime> CreationTime(const std::u16string& path) override;
    std::u16string ShortName(const std::u16string& path) override;
    std::u16string LongName(const std::u16string& path) override;
    bool AppendLines(const std::u16string& path, const std::vector<std::u16string>& lines) override;
    bool Remove(const std::u16string& path) override;
};

}  // namespace marvolt
