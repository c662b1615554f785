#include "platform/win32/shell_association_win32.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>

#include "platform/win32/win_text.h"

namespace marvolt {

namespace {

// A name the ANSI code page cannot spell (a user folder in another script) is
// passed in its short form, which it can.
std::string AnsiPath(const std::u16string& path) {
    std::string ansi = ToAnsi(path);
    if (FromAnsi(ansi) == path) return ansi;
    wchar_t shortPath[MAX_PATH];
    DWORD length = GetShortPathNameW(Wide(path), shortPath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return ansi;
    return ToAnsi(FromWide(shortPath, length));
}

}  // namespace

std::optional<std::u16string> Win32ShellAssociation::ProgramForFile(const std::u16string& file) {
    // FindExecutableA may write up to MAX_PATH characters; blanks show whether it
    // wrote anything at all.
    char result[MAX_PATH + 1];
    std::memset(result, ' ', sizeof(result));
    auto find = shell32_.Find<decltype(&::FindExecutableA)>("FindExecutableA");
    if (!find) return std::nullopt;
    find(AnsiPath(file).c_str(), nullptr, result);
    const void* end = std::memchr(result, '\0', sizeof(result));
    if (!end) return std::nullopt;
    return FromAnsi(std::string_view(result, static_cast<const char*>(end) - result));
}

}  // namespace marvolt
