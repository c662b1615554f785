#include "platform/win32/file_version_win32.h"

#include <windows.h>

#include <vector>

#include "platform/win32/win_text.h"

namespace marvolt {

namespace {

using SizeFunction = DWORD(WINAPI*)(const wchar_t*, DWORD*);
using InfoFunction = BOOL(WINAPI*)(const wchar_t*, DWORD, DWORD, void*);
using QueryFunction = BOOL(WINAPI*)(const void*, const wchar_t*, void**, UINT*);

}  // namespace

// The name is read in the resource's own first language and code page, as the
// build writes one block only.
bool Win32FileVersionReader::ReadFileVersion(const std::u16string& file, FileVersion& version) {
    auto size = library_.Find<SizeFunction>("GetFileVersionInfoSizeW");
    auto info = library_.Find<InfoFunction>("GetFileVersionInfoW");
    auto query = library_.Find<QueryFunction>("VerQueryValueW");
    if (!size || !info || !query) return false;
    DWORD ignored = 0, bytes = size(Wide(file), &ignored);
    if (bytes == 0) return false;
    std::vector<unsigned char> block(bytes);
    if (!info(Wide(file), 0, bytes, block.data())) return false;
    void* value = nullptr;
    UINT length = 0;
    if (!query(block.data(), L"\\", &value, &length) || length < sizeof(VS_FIXEDFILEINFO))
        return false;
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    if (fixed->dwSignature != VS_FFI_SIGNATURE) return false;
    version.major = HIWORD(fixed->dwFileVersionMS);
    version.minor = LOWORD(fixed->dwFileVersionMS);
    if (!query(block.data(), L"\\VarFileInfo\\Translation", &value, &length) ||
        length < 2 * sizeof(WORD))
        return false;
    const WORD* translation = static_cast<const WORD*>(value);
    wchar_t path[64];
    wsprintfW(path, L"\\StringFileInfo\\%04x%04x\\OriginalFilename", translation[0],
              translation[1]);
    if (!query(block.data(), path, &value, &length) || length == 0) return false;
    const auto* name = static_cast<const wchar_t*>(value);
    UINT characters = 0;
    while (characters < length && name[characters]) ++characters;
    version.originalName = FromWide(name, characters);
    return true;
}

}  // namespace marvolt
