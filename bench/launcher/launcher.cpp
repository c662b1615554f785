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

#include "bench/launcher/desktop.h"

using namespace launcher;

namespace {

constexpr DWORD kStartTimeoutMs = 20000;

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
