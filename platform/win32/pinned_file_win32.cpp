#include "platform/win32/pinned_file_win32.h"

#include <memory>

#include "platform/win32/win_text.h"

namespace marvolt {

bool PinnedFile::Open(const std::u16string& path) {
    file_.reset(::CreateFileW(Wide(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr));
    return static_cast<bool>(file_);
}

bool PinnedFile::CopyTo(const std::u16string& copy) {
    LARGE_INTEGER start{};
    if (!file_ || !::SetFilePointerEx(file_.get(), start, nullptr, FILE_BEGIN)) return false;
    UniqueFile out(::CreateFileW(Wide(copy), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out) return false;
    // On the heap: the programs are built without stack probes, so no frame
    // may pass a page.
    constexpr DWORD kChunk = 16384;
    std::unique_ptr<char[]> chunk(new char[kChunk]);
    for (DWORD read = 0, written = 0;;) {
        if (!::ReadFile(file_.get(), chunk.get(), kChunk, &read, nullptr)) return false;
        if (read == 0) return ::FlushFileBuffers(out.get()) != 0;
        if (!::WriteFile(out.get(), chunk.get(), read, &written, nullptr) || written != read)
            return false;
    }
}

}  // namespace marvolt
