// Starts tray programs on the desktop and measures them, for script/bench.
//
//   launcher launch [--runs N] [--warmup N] <exe> [<exe> ...]
//       Start to idle with the tray icon shown; peak working set and private
//       bytes at that moment; then the program is ended.
//   launcher second [--runs N] [--warmup N] <exe>[=<first-exe>] [...]
//       With one instance of <first-exe> (default: <exe>) running and its icon
//       shown, the time from starting <exe> until that process has ended.
//   launcher click [--runs N] [--warmup N] <exe> [<exe> ...]
//       With <exe> running and its icon shown: a click on the icon opens its
//       menu, the arrow keys highlight the last device entry (the one above
//       the separator and Exit), and the time is taken from a click on that
//       entry until the Sound Mapper's "Playback" value holds a name again.
//   launcher probe
//       Where the taskbar is and how many pixels of the icon cell differ.
//
// The programs take turns within each run, so that a drift of the machine
// during the session reaches all of them alike. Every measurement is one line
// on standard output:
//   mode=launch exe=Marvolt.exe run=3 warmup=0 ok=1 start_ms=... idle_ms=... icon_ms=...
//       peak_ws_kb=... private_kb=... private_from=api|linux ws_kb=...
//   mode=second exe=... first=... run=3 warmup=0 ok=1 second_ms=... exit_code=0 first_alive=1
//   mode=click exe=... run=3 warmup=0 ok=1 click_ms=...
// A failed measurement says ok=0 and why (reason=...); the caller leaves it out.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr DWORD kStartTimeoutMs = 20000;
constexpr DWORD kEndTimeoutMs = 10000;

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

class Stopwatch {
public:
    Stopwatch() {
        QueryPerformanceFrequency(&frequency_);
        QueryPerformanceCounter(&start_);
    }
    double ElapsedMs() const {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - start_.QuadPart) * 1000.0 /
               static_cast<double>(frequency_.QuadPart);
    }

private:
    LARGE_INTEGER frequency_;
    LARGE_INTEGER start_;
};

// The icon cell at the right end of the taskbar.
//
// Wine 8 draws the notification icons inside "Shell_TrayWnd" itself; there is
// no window per icon, and the shell offers no way to ask whether an icon of
// another process is there (NIM_MODIFY would need the uID, which the program
// chooses). What a person sees is the reliable signal: the first icon takes
// the rightmost cell, so the cell's pixels differ from the bare taskbar while
// an icon is shown. The bare taskbar's colour is read a few cells further left
// in the same grab, where no icon is while only one program runs. One BitBlt
// per look keeps a look cheap enough to poll every millisecond or two.
class TrayCell {
public:
    ~TrayCell() {
        if (memory_) DeleteDC(memory_);
        if (bitmap_) DeleteObject(bitmap_);
    }

    bool Locate() {
        // Wine brings up its taskbar when a program first asks for the desktop.
        GetDesktopWindow();
        Stopwatch waited;
        while (!(taskbar_ = FindWindowW(L"Shell_TrayWnd", nullptr))) {
            if (waited.ElapsedMs() > 30000) return false;
            Sleep(50);
        }
        cell_ = GetSystemMetrics(SM_CXSMICON) + 4;
        stripWidth_ = 4 * cell_;
        stripHeight_ = cell_;

        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = stripWidth_;
        info.bmiHeader.biHeight = -stripHeight_;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        HDC screen = GetDC(nullptr);
        memory_ = CreateCompatibleDC(screen);
        bitmap_ = CreateDIBSection(screen, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&pixels_), nullptr, 0);
        ReleaseDC(nullptr, screen);
        if (!memory_ || !bitmap_) return false;
        SelectObject(memory_, bitmap_);
        return true;
    }

    // Pixels of the rightmost cell that differ from the bare taskbar.
    int DifferingPixels() {
        // Wine's taskbar is hidden, or has no size, while nothing is on it, and
        // is placed anew when that changes: its place is read at every look.
        RECT rect{};
        if (!IsWindowVisible(taskbar_) || !GetWindowRect(taskbar_, &rect) || rect.right - rect.left < stripWidth_ ||
            rect.bottom - rect.top < stripHeight_)
            return 0;
        left_ = rect.right - stripWidth_;
        top_ = (rect.top + rect.bottom) / 2 - cell_ / 2;
        HDC screen = GetDC(nullptr);
        BOOL copied = BitBlt(memory_, 0, 0, stripWidth_, stripHeight_, screen, left_, top_, SRCCOPY);
        ReleaseDC(nullptr, screen);
        if (!copied) return 0;
        GdiFlush();
        const DWORD background = Pixel(cell_ / 2, stripHeight_ / 2) & 0xFFFFFF;
        int differing = 0;
        // The cell's inner square, away from the cell's border and the taskbar's edge.
        for (int y = 2; y < stripHeight_ - 2; ++y)
            for (int x = stripWidth_ - cell_ + 2; x < stripWidth_ - 2; ++x)
                if ((Pixel(x, y) & 0xFFFFFF) != background) ++differing;
        return differing;
    }

    // A quarter of the icon's square: far more than stray pixels, far less than
    // any real icon.
    bool IconShown() {
        int inner = cell_ - 4;
        return DifferingPixels() > inner * inner / 4;
    }

    bool WaitEmpty(DWORD timeoutMs) {
        Stopwatch waited;
        while (IconShown()) {
            if (waited.ElapsedMs() > timeoutMs) return false;
            Sleep(20);
        }
        return true;
    }

    void Describe() {
        RECT rect{};
        GetWindowRect(taskbar_, &rect);
        std::printf("taskbar=%ld,%ld,%ld,%ld cell=%d strip=%d,%d differing=%d\n", rect.left, rect.top, rect.right,
                    rect.bottom, cell_, left_, top_, DifferingPixels());
    }

    POINT IconCentre() const { return {left_ + stripWidth_ - cell_ / 2, top_ + stripHeight_ / 2}; }

    void MoveMouseOver() {
        // Wine's shell finds icons of ended programs when the mouse passes them.
        SetCursorPos(left_ + stripWidth_ - cell_ / 2, top_ + stripHeight_ / 2);
        Sleep(30);
        SetCursorPos(left_ - 50, top_ + stripHeight_ / 2);
    }

private:
    DWORD Pixel(int x, int y) const { return pixels_[y * stripWidth_ + x]; }

    HWND taskbar_ = nullptr;
    HDC memory_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    DWORD* pixels_ = nullptr;
    int cell_ = 0, stripWidth_ = 0, stripHeight_ = 0, left_ = 0, top_ = 0;
};

class Child {
public:
    ~Child() { Close(); }

    // `marker` goes on the command line so that the process can be told apart
    // on the Linux side (see UnixPrivateKb), right after the program's quoted
    // name: up to the next blank that is still the name, so the program sees no
    // arguments (it reads those as commands). The environment would not do:
    // Wine hands it to the new process but not to its Linux side.
    bool Start(const std::wstring& exe, const std::wstring& marker) {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        std::wstring line = L"\"" + exe + L"\"" + marker;
        return CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                              &info_) != FALSE;
    }
    HANDLE Process() const { return info_.hProcess; }
    bool Running() const { return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
    bool WaitEnded(DWORD timeoutMs) const { return WaitForSingleObject(info_.hProcess, timeoutMs) == WAIT_OBJECT_0; }
    DWORD ExitCode() const {
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(info_.hProcess, &code);
        return code;
    }
    // Every program is ended the same way, so no program's own exit path
    // (questions, saved options) enters the next measurement.
    void End() {
        if (Running()) {
            TerminateProcess(info_.hProcess, 0);
            WaitEnded(kEndTimeoutMs);
        }
        Close();
    }

private:
    void Close() {
        if (info_.hThread) CloseHandle(info_.hThread);
        if (info_.hProcess) CloseHandle(info_.hProcess);
        info_ = {};
    }

    PROCESS_INFORMATION info_{};
};

bool UnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

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

struct Target {
    std::wstring exe;
    std::wstring first;  // second mode: the instance already running
};

struct Options {
    std::wstring mode;
    int runs = 9;
    int warmup = 1;
    std::vector<Target> targets;
};

// Ends the program and waits until its icon has gone, so that the next start
// finds the cell empty.
bool EndAndClear(Child& child, TrayCell& cell) {
    child.End();
    if (cell.WaitEmpty(1000)) return true;
    std::fprintf(stderr, "launcher: an icon stayed after its program ended; passing the mouse over it\n");
    cell.MoveMouseOver();
    return cell.WaitEmpty(5000);
}

struct StartResult {
    bool ok = false;
    const char* reason = "";
    double idleMs = -1, iconMs = -1;
};

// Starts `exe` and waits for idle and the icon, noting when each came.
StartResult StartToIdleWithIcon(Child& child, const std::wstring& exe, const std::wstring& marker, TrayCell& cell) {
    StartResult result;
    if (!cell.WaitEmpty(5000)) {
        result.reason = "tray_cell_busy";
        return result;
    }
    Stopwatch clock;
    if (!child.Start(exe, marker)) {
        result.reason = "create_process_failed";
        return result;
    }
    for (;;) {
        if (result.idleMs < 0) {
            DWORD idle = WaitForInputIdle(child.Process(), 0);
            if (idle == 0) result.idleMs = clock.ElapsedMs();
            else if (idle == WAIT_FAILED) result.idleMs = 0;  // no message queue to wait for
        }
        if (result.iconMs < 0 && cell.IconShown()) result.iconMs = clock.ElapsedMs();
        if (result.idleMs >= 0 && result.iconMs >= 0) break;
        if (!child.Running()) {
            result.reason = "ended_during_start";
            return result;
        }
        if (clock.ElapsedMs() > kStartTimeoutMs) {
            result.reason = result.iconMs < 0 ? "no_icon" : "not_idle";
            return result;
        }
        Sleep(1);
    }
    result.ok = true;
    return result;
}

constexpr wchar_t kSoundMapper[] = L"Software\\Microsoft\\Multimedia\\Sound Mapper";

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

bool MenuOpen(HWND& menu) { return (menu = FindWindowW(L"#32768", nullptr)) && IsWindowVisible(menu); }

void PrintFailure(const char* mode, const Target& target, int run, bool warmup, const char* reason) {
    std::printf("mode=%s exe=%s run=%d warmup=%d ok=0 reason=%s\n", mode, Utf8(BaseName(target.exe)).c_str(), run,
                warmup ? 1 : 0, reason);
    std::fflush(stdout);
}

bool MeasureLaunch(const Target& target, int run, bool warmup, TrayCell& cell) {
    Child child;
    std::wstring marker = NewMarker();
    StartResult start = StartToIdleWithIcon(child, target.exe, marker, cell);
    if (!start.ok) {
        EndAndClear(child, cell);
        PrintFailure("launch", target, run, warmup, start.reason);
        return false;
    }
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof(memory);
    BOOL haveMemory = GetProcessMemoryInfo(child.Process(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                                           sizeof(memory));
    unsigned long privateKb = static_cast<unsigned long>(memory.PrivateUsage / 1024);
    const char* privateSource = "api";
    if (haveMemory && privateKb == 0 && UnderWine()) {
        privateSource = "linux";
        if (!UnixPrivateKb(marker, privateKb)) haveMemory = FALSE;
    }
    bool cleared = EndAndClear(child, cell);
    if (!haveMemory) {
        PrintFailure("launch", target, run, warmup, "no_memory_counters");
        return false;
    }
    double startMs = start.idleMs > start.iconMs ? start.idleMs : start.iconMs;
    std::printf("mode=launch exe=%s run=%d warmup=%d ok=1 start_ms=%.3f idle_ms=%.3f icon_ms=%.3f peak_ws_kb=%lu "
                "private_kb=%lu private_from=%s ws_kb=%lu\n",
                Utf8(BaseName(target.exe)).c_str(), run, warmup ? 1 : 0, startMs, start.idleMs, start.iconMs,
                static_cast<unsigned long>(memory.PeakWorkingSetSize / 1024),
                privateKb, privateSource,
                static_cast<unsigned long>(memory.WorkingSetSize / 1024));
    std::fflush(stdout);
    if (!cleared) std::fprintf(stderr, "launcher: the icon of %s stayed after its end\n", Utf8(target.exe).c_str());
    return cleared;
}

constexpr DWORD kSettleMs = 500;

bool MeasureSecond(const Target& target, int run, bool warmup, TrayCell& cell) {
    Child first;
    StartResult start = StartToIdleWithIcon(first, target.first, NewMarker(), cell);
    if (!start.ok) {
        EndAndClear(first, cell);
        PrintFailure("second", target, run, warmup, start.reason);
        return false;
    }
    // A person starts the program again long after the first start, not in the
    // moment it has shown its icon: right then the first instance, the baseline
    // as much as Marvolt, is still busy with the work that follows its start, and a
    // second start that ran into that work took 50 to 60 ms longer at random.
    Sleep(kSettleMs);
    Child second;
    Stopwatch clock;
    if (!second.Start(target.exe, NewMarker())) {
        EndAndClear(first, cell);
        PrintFailure("second", target, run, warmup, "create_process_failed");
        return false;
    }
    bool ended = second.WaitEnded(kStartTimeoutMs);
    double elapsed = clock.ElapsedMs();
    DWORD code = second.ExitCode();
    bool firstAlive = first.Running();
    second.End();
    bool cleared = EndAndClear(first, cell);
    if (!ended) {
        PrintFailure("second", target, run, warmup, "second_did_not_end");
        return false;
    }
    std::printf("mode=second exe=%s first=%s run=%d warmup=%d ok=1 second_ms=%.3f exit_code=%lu first_alive=%d\n",
                Utf8(BaseName(target.exe)).c_str(), Utf8(BaseName(target.first)).c_str(), run, warmup ? 1 : 0,
                elapsed, static_cast<unsigned long>(code), firstAlive ? 1 : 0);
    std::fflush(stdout);
    return cleared;
}

bool MeasureClick(const Target& target, int run, bool warmup, TrayCell& cell) {
    Child child;
    StartResult start = StartToIdleWithIcon(child, target.exe, NewMarker(), cell);
    const char* reason = start.reason;
    double elapsed = -1;
    HWND menu = nullptr;
    POINT entry{};
    if (start.ok) {
        RegSetKeyValueW(HKEY_CURRENT_USER, kSoundMapper, L"Playback", REG_SZ, L"", sizeof(wchar_t));
        SendMouse(cell.IconCentre(), MOUSEEVENTF_LEFTDOWN);
        reason = "no_menu";
        if (WaitFor(5000, MenuOpen, menu)) {
            Sleep(200);  // drawn and taking keys
            SendKey(VK_UP);  // Exit
            SendKey(VK_UP);  // the last device, above the separator
            Sleep(200);
            reason = "no_highlighted_entry";
            if (HighlightedEntry(menu, entry)) {
                SetCursorPos(entry.x, entry.y);
                Sleep(100);  // the entry under the pointer stays the highlighted one
                Stopwatch clock;
                SendMouse(entry, MOUSEEVENTF_LEFTDOWN);
                reason = "no_value_written";
                while (clock.ElapsedMs() < kEndTimeoutMs) {
                    if (!PlaybackValue().empty()) {
                        elapsed = clock.ElapsedMs();
                        break;
                    }
                    Sleep(0);
                }
            }
        }
    }
    if (menu && IsWindowVisible(menu)) SendKey(VK_ESCAPE);
    bool cleared = EndAndClear(child, cell);
    if (elapsed < 0) {
        PrintFailure("click", target, run, warmup, reason);
        return false;
    }
    std::printf("mode=click exe=%s run=%d warmup=%d ok=1 click_ms=%.3f\n", Utf8(BaseName(target.exe)).c_str(), run,
                warmup ? 1 : 0, elapsed);
    std::fflush(stdout);
    return cleared;
}

bool ParseCount(const wchar_t* text, int& out) {
    wchar_t* end = nullptr;
    long value = std::wcstol(text, &end, 10);
    if (!end || *end != 0 || value < 0 || value > 1000) return false;
    out = static_cast<int>(value);
    return true;
}

bool ParseOptions(int argc, wchar_t** argv, Options& options) {
    if (argc < 2) return false;
    options.mode = argv[1];
    if (options.mode == L"probe") return true;
    if (options.mode != L"launch" && options.mode != L"second" && options.mode != L"click") return false;
    for (int i = 2; i < argc; ++i) {
        std::wstring arg = argv[i];
        if (arg == L"--runs" || arg == L"--warmup") {
            if (i + 1 >= argc || !ParseCount(argv[i + 1], arg == L"--runs" ? options.runs : options.warmup))
                return false;
            ++i;
            continue;
        }
        Target target;
        size_t equals = arg.find(L'=');
        if (options.mode == L"second" && equals != std::wstring::npos) {
            target.exe = arg.substr(0, equals);
            target.first = arg.substr(equals + 1);
        } else {
            target.exe = arg;
            target.first = arg;
        }
        if (target.exe.empty() || target.first.empty()) return false;
        options.targets.push_back(target);
    }
    return !options.targets.empty();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: launcher launch [--runs N] [--warmup N] <exe> [<exe> ...]\n"
                     "       launcher second [--runs N] [--warmup N] <exe>[=<first-exe>] [...]\n"
                     "       launcher click [--runs N] [--warmup N] <exe> [<exe> ...]\n");
        return 2;
    }
    TrayCell cell;
    if (!cell.Locate()) {
        std::fprintf(stderr, "launcher: no taskbar (Shell_TrayWnd) on this desktop\n");
        return 1;
    }
    if (options.mode == L"probe") {
        cell.Describe();
        return 0;
    }
    bool second = options.mode == L"second";
    int failures = 0;
    for (int run = 1 - options.warmup; run <= options.runs; ++run) {
        bool warmup = run <= 0;
        for (const Target& target : options.targets) {
            bool ok = second                       ? MeasureSecond(target, run, warmup, cell)
                      : options.mode == L"click" ? MeasureClick(target, run, warmup, cell)
                                                 : MeasureLaunch(target, run, warmup, cell);
            if (!ok) ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
