#pragma once
// What the launcher sees of the desktop and does on it: the taskbar's icon cell,
// the programs it starts, their memory as Linux counts it, and the mouse and keys
// a person would use.
#include <windows.h>

#include <cstdio>
#include <string>

namespace launcher {

constexpr DWORD kEndTimeoutMs = 10000;

std::string Utf8(const std::wstring& text);
std::wstring BaseName(const std::wstring& path);

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

bool UnderWine();
// Wine 8 reports no private bytes for another process (PrivateUsage is 0).
// Its Linux process does: resident anonymous memory plus swap, which is what
// later Wine versions hand out as private bytes. The process is the one whose
// command line carries `marker`; /proc is reached through Wine's Z: drive.
bool UnixPrivateKb(const std::wstring& marker, unsigned long& kb);
// A new mark for a program's command line, told apart from every other one.
std::wstring NewMarker();

constexpr wchar_t kSoundMapper[] = L"Software\\Microsoft\\Multimedia\\Sound Mapper";
// The Sound Mapper's "Playback" value; empty when it has none.
std::wstring PlaybackValue();
void SendMouse(POINT at, DWORD buttons);
void SendKey(WORD key);
// The centre of the highlighted entry of the open menu: the rows drawn in the
// highlight colour. A person aims at what is highlighted; the menu's items are
// another process's, so their rectangles can't be asked for.
bool HighlightedEntry(HWND menu, POINT& centre);
// Polls `condition` every millisecond or so until it holds or `timeoutMs` passes.
bool WaitFor(DWORD timeoutMs, bool (*condition)(HWND&), HWND& out);

}  // namespace launcher
