#include "bench/launcher/desktop.h"

#include <cstdlib>
#include <cstring>

namespace launcher {

namespace {

std::string ReadSmallFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string content;
    char buffer[4096];
    DWORD read = 0;
    while (content.size() < 65536 && ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        content.append(buffer, read);
    CloseHandle(file);
    return content;
}

unsigned long StatusKb(const std::string& status, const char* field) {
    size_t at = status.find(field);
    if (at == std::string::npos) return 0;
    return std::strtoul(status.c_str() + at + std::strlen(field), nullptr, 10);
}

}  // namespace

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                   nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size, nullptr,
                        nullptr);
    return out;
}

std::wstring BaseName(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

bool UnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// Wine 8 reports no private bytes for another process (PrivateUsage is 0).
// Its Linux process does: resident anonymous memory plus swap, which is what
// later Wine versions hand out as private bytes. The process is the one whose
// command line carries `marker`; /proc is reached through Wine's Z: drive.
bool UnixPrivateKb(const std::wstring& marker, unsigned long& kb) {
    std::string wanted = Utf8(marker);
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW(L"Z:\\proc\\*", &entry);
    if (search == INVALID_HANDLE_VALUE) return false;
    bool found = false;
    do {
        if (entry.cFileName[0] < L'0' || entry.cFileName[0] > L'9') continue;
        std::wstring folder = std::wstring(L"Z:\\proc\\") + entry.cFileName;
        std::string commandLine = ReadSmallFile(folder + L"\\cmdline");
        if (commandLine.find(wanted) == std::string::npos) continue;
        std::string status = ReadSmallFile(folder + L"\\status");
        if (status.find("RssAnon:") == std::string::npos) continue;
        kb = StatusKb(status, "RssAnon:") + StatusKb(status, "VmSwap:");
        found = true;
    } while (!found && FindNextFileW(search, &entry));
    FindClose(search);
    return found;
}

std::wstring NewMarker() {
    static int counter = 0;
    return L"--bench-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
}

std::wstring PlaybackValue() {
    wchar_t value[256] = {};
    DWORD bytes = sizeof(value) - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, kSoundMapper, L"Playback", RRF_RT_REG_SZ, nullptr, value, &bytes) !=
        ERROR_SUCCESS)
        return {};
    return value;
}

void SendMouse(POINT at, DWORD buttons) {
    SetCursorPos(at.x, at.y);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = buttons;
    input[1].mi.dwFlags = buttons << 1;  // the button's up event
    SendInput(2, input, sizeof(INPUT));
}

void SendKey(WORD key) {
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

// The centre of the highlighted entry of the open menu: the rows drawn in the
// highlight colour. A person aims at what is highlighted; the menu's items are
// another process's, so their rectangles can't be asked for.
bool HighlightedEntry(HWND menu, POINT& centre) {
    RECT rect{};
    if (!GetWindowRect(menu, &rect)) return false;
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    COLORREF marks[2] = {GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_MENUHILIGHT)};
    int first = -1, last = -1;
    for (int y = 0; y < height; ++y) {
        int marked = 0;
        for (int x = 0; x < width; x += 2) {
            COLORREF pixel = GetPixel(memory, x, y);
            if (pixel == marks[0] || pixel == marks[1]) ++marked;
        }
        if (marked * 4 < width / 2) continue;
        if (first < 0) first = y;
        last = y;
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (first < 0) return false;
    centre = {rect.left + width / 2, rect.top + (first + last) / 2};
    return true;
}

bool WaitFor(DWORD timeoutMs, bool (*condition)(HWND&), HWND& out) {
    Stopwatch waited;
    while (!condition(out)) {
        if (waited.ElapsedMs() > timeoutMs) return false;
        Sleep(1);
    }
    return true;
}

}  // namespace launcher
