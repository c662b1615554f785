#include "platform/win32/app_identity_win32.h"

#include <windows.h>

#include "platform/text.h"
#include "platform/win32/win_text.h"
#include "product.h"

namespace marvolt {

namespace {

std::u16string ModuleFileName() {
    // Grows the buffer until the whole path fits: long paths are not cut.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return FromWide(buffer.c_str(), length);
        if (buffer.size() >= 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

ModulePathParts SplitModulePath(const std::u16string& path) {
    ModulePathParts parts;
    size_t slash = path.find_last_of(u"\\/");
    std::u16string fileName = slash == std::u16string::npos ? path : path.substr(slash + 1);
    if (slash != std::u16string::npos) {
        parts.folder = path.substr(0, slash);
        // A drive root keeps its backslash, so that "C:" never means the
        // current directory of drive C.
        if (parts.folder.size() == 2 && parts.folder[1] == u':') parts.folder += u'\\';
    }
    if (EndsWith(ToLowerAscii(fileName), u".exe")) fileName.resize(fileName.size() - 4);
    parts.baseName = fileName;
    return parts;
}

AppIdentityWin32::AppIdentityWin32()
    : title_(FromUtf8(MARVOLT_PRODUCT)), parts_(SplitModulePath(ModuleFileName())) {}

}  // namespace marvolt
