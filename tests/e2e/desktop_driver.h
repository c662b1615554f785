#pragma once
// Drives the real program on the Wine desktop as a person would: clicks the tray
// icon, picks menu entries, reads and clicks the settings window's controls and
// presses keys. Paths come from the environment: MARVOLT_EXE (the program) and
// MARVOLT_E2E_HOOK (marvolt_e2e_hook.dll) as Windows paths, MARVOLT_E2E_ARTEFACTS
// (where screenshots go, optional) as a Unix path.
// <windows.h> before the headers that build on it: the order is kept by hand.
// clang-format off
#include <windows.h>
#include <mmsystem.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "app/main_window_view.h"
// clang-format on

namespace e2e {

inline const std::wstring kSoundMapper = L"Software\\Microsoft\\Multimedia\\Sound Mapper",
                          kSettings = L"Software\\VB and VBA Program Settings\\Marvolt";

inline std::wstring EnvVar(const wchar_t* name) {
    wchar_t buffer[4096];
    DWORD length = GetEnvironmentVariableW(name, buffer, 4096);
    return std::wstring(buffer, length < 4096 ? length : 0);
}
inline std::wstring TempFile(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    return std::wstring(folder, GetTempPathW(MAX_PATH, folder)) + name;
}
inline std::string ReadFileBytes(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
inline std::wstring ReadFileText(const std::wstring& path) {  // UTF-16
    const std::string bytes = ReadFileBytes(path);
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()),
                        bytes.size() / sizeof(wchar_t));
}
inline bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000) {
    for (DWORD start = GetTickCount(); !condition(); Sleep(50))
        if (GetTickCount() - start > timeoutMs) return false;
    return true;
}

// Runs a Unix command line (as the shell reads it) and waits until it has ended.
// Wine starts ELF programs directly, but what it hands back for one is no
// process: no handle to wait on, and stack garbage where the thread's handle
// goes. In a 32-bit process that garbage was once a live handle of this process,
// and closing it cut the tests off from the desktop's input. So nothing handed
// back is used: the script leaves a mark beside itself when it is done.
inline void RunUnix(const std::wstring& commandLine) {
    static unsigned count = 0;
    const std::wstring base = L"/tmp/marvolt-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++count);
    auto windowsPath = [&](const wchar_t* suffix) {  // Wine's drive Z: is the Unix root
        std::wstring path = L"Z:" + base + suffix;
        std::replace(path.begin(), path.end(), L'/', L'\\');
        return path;
    };
    const std::wstring text = commandLine + L"\n: > " + base + L".done\n",
                       script = windowsPath(L".sh"), done = windowsPath(L".done");
    std::string utf8(
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8.data(), static_cast<int>(utf8.size()),
                        nullptr, nullptr);
    std::ofstream(script.c_str(), std::ios::binary) << utf8.c_str();
    std::wstring shell = L"/bin/sh " + base + L".sh";
    STARTUPINFOW startup{sizeof(startup)};
    PROCESS_INFORMATION ignored{};
    if (CreateProcessW(nullptr, shell.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &ignored))
        WaitUntil([&] { return GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES; },
                  20000);
    DeleteFileW(done.c_str());
    DeleteFileW(script.c_str());
}
inline void Screenshot(const std::wstring& name) {  // artefacts/<name>.png
    std::wstring folder = EnvVar(L"MARVOLT_E2E_ARTEFACTS");
    if (folder.empty()) return;
    RunUnix(L"/usr/bin/import -window root " + folder + L"/" + name + L".png");
}
// A PulseAudio null sink shown as deviceName, and its removal.
inline std::wstring AddSink(const std::wstring& deviceName) {
    std::wstring sink =
        L"e2e" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(GetTickCount());
    RunUnix(L"/usr/bin/pactl load-module module-null-sink sink_name=" + sink +
            L" \"sink_properties=\\\"device.description='" + deviceName + L"'\\\"\"");
    return sink;
}
inline void RemoveSink(const std::wstring& sink) {
    RunUnix(L"/usr/bin/pactl list short modules | grep 'sink_name=" + sink +
            L" ' | cut -f1 | xargs -r -n1 /usr/bin/pactl unload-module");
}
// The wave-output devices as this process's multimedia layer lists them, blanks trimmed.
inline std::vector<std::wstring> WaveOutDeviceNames() {
    std::vector<std::wstring> names;
    for (UINT device = 0; device < waveOutGetNumDevs(); ++device) {
        WAVEOUTCAPSW caps{};
        if (waveOutGetDevCapsW(device, &caps, sizeof(caps)) != MMSYSERR_NOERROR) continue;
        std::wstring name = caps.szPname;
        name.erase(name.find_last_not_of(L' ') + 1);
        names.push_back(name.substr(std::min(name.find_first_not_of(L' '), name.size())));
    }
    return names;
}

inline std::wstring ClassName(HWND window) {
    wchar_t name[256] = L"";
    GetClassNameW(window, name, 256);
    return name;
}
inline std::wstring WindowText(HWND window) {
    wchar_t text[1024] = L"";
    // WM_GETTEXT asks the owning process for the text of its controls too.
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        2000, nullptr);
    return text;
}
inline std::wstring StaticTexts(HWND dialog) {
    std::wstring text;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (ClassName(child) == L"Static") text += WindowText(child);
    return text;
}
inline std::vector<std::wstring> ListBoxItems(HWND listBox) {
    std::vector<std::wstring> items(SendMessageW(listBox, LB_GETCOUNT, 0, 0));
    for (size_t i = 0; i < items.size(); ++i) {
        items[i].resize(SendMessageW(listBox, LB_GETTEXTLEN, i, 0) + 1);
        items[i].resize(
            SendMessageW(listBox, LB_GETTEXT, i, reinterpret_cast<LPARAM>(items[i].data())));
    }
    return items;
}
inline bool IsChecked(HWND checkBox) {
    return SendMessageW(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED;
}
inline bool IsTopmost(HWND window) {
    return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}
// The first top-level window of the process that match accepts.
inline HWND WindowOf(DWORD processId, const std::function<bool(HWND)>& match) {
    for (HWND window = nullptr;
         (window = FindWindowExW(nullptr, window, nullptr, nullptr)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && match(window)) return window;
    }
    return nullptr;
}
inline HWND MessageBoxOf(DWORD processId) {
    return WindowOf(processId, [](HWND window) {
        return IsWindowVisible(window) && ClassName(window) == L"#32770";
    });
}

// Every mouse event carries its place: the desktop passes the pointer moves of
// the X server on late, and a button event without a place would land wherever
// such a move has just put the pointer.
inline void SendMouse(DWORD flags, POINT at) {
    INPUT input{INPUT_MOUSE};
    input.mi = {MulDiv(at.x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1,
                MulDiv(at.y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1, 0,
                flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE};
    SendInput(1, &input, sizeof(input));
    if (!flags) Sleep(60);
}
inline void ClickAt(POINT at, int clicks = 1) {
    SendMouse(0, at);
    for (int i = 0; i < clicks; ++i)
        SendMouse(MOUSEEVENTF_LEFTDOWN, at), Sleep(20), SendMouse(MOUSEEVENTF_LEFTUP, at),
            Sleep(40);
    Sleep(150);
}
inline void Click(HWND window) {  // its centre
    RECT rect;
    GetWindowRect(window, &rect);
    ClickAt({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
}
// Presses the keys in turn and lets them go the other way round, with their scan
// codes as a keyboard sends them: the hotkey control names keys by them.
inline void PressChord(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    auto add = [&](WORD key, DWORD flags) {
        inputs.push_back({INPUT_KEYBOARD});
        inputs.back().ki = {key, static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)), flags};
    };
    for (WORD key : keys) add(key, 0);
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) add(*key, KEYEVENTF_KEYUP);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    Sleep(200);
}
inline void PressKey(WORD virtualKey) {
    INPUT inputs[2] = {{INPUT_KEYBOARD}, {INPUT_KEYBOARD}};
    inputs[0].ki = {virtualKey};
    inputs[1].ki = {virtualKey, 0, KEYEVENTF_KEYUP};
    SendInput(2, inputs, sizeof(INPUT));
    Sleep(120);
}

// The notification area of the Wine desktop: the program's icon is the only one,
// drawn at the right end of the taskbar.
inline POINT TrayIcon() {
    RECT taskbar{};
    GetWindowRect(FindWindowW(L"Shell_TrayWnd", nullptr), &taskbar);
    return {taskbar.right - (GetSystemMetrics(SM_CXSMICON) + 4) / 2,
            (taskbar.top + taskbar.bottom) / 2};
}
// Something is drawn in the icon's place (slot 0), or in that of a second icon left of it (slot 1).
inline bool IconInSlot(int slot) {
    if (!FindWindowW(L"Shell_TrayWnd", nullptr)) return false;
    POINT centre = TrayIcon();
    int half = GetSystemMetrics(SM_CXSMICON) / 2, differing = 0;
    centre.x -= slot * (2 * half + 4);
    HDC screen = GetDC(nullptr);
    // The empty taskbar left of the icon gives its background colour.
    COLORREF background = GetPixel(screen, centre.x - 3 * half - 8, centre.y);
    for (int y = centre.y - half; y < centre.y + half; ++y)
        for (int x = centre.x - half; x < centre.x + half; ++x)
            differing += GetPixel(screen, x, y) != background;
    ReleaseDC(nullptr, screen);
    return differing > half * half / 2;
}
inline bool TrayIconShown() { return IconInSlot(0); }
// The text of a tooltip window the shell shows: a notification balloon or a plain tip.
inline std::wstring ShellTip(bool balloon) {
    DWORD shell = 0;
    if (!GetWindowThreadProcessId(FindWindowW(L"Shell_TrayWnd", nullptr), &shell)) return L"";
    HWND shown = WindowOf(shell, [balloon](HWND window) {
        const LONG kBalloon = 0x40;  // TTS_BALLOON
        return IsWindowVisible(window) && ClassName(window) == L"tooltips_class32" &&
               !WindowText(window).empty() &&
               ((GetWindowLongW(window, GWL_STYLE) & kBalloon) != 0) == balloon;
    });
    return shown ? WindowText(shown) : L"";
}
// The tip the shell shows with the pointer on the icon: away and back again, so
// that it shows afresh with the current text; again while the shell settles.
inline std::wstring HoverTip() {
    const POINT icon = TrayIcon(), away{icon.x - 200, icon.y};
    std::wstring tip;
    auto shown = [&] { return !(tip = ShellTip(false)).empty(); };
    WaitUntil(
        [&] { return SendMouse(0, away), Sleep(400), SendMouse(0, icon), WaitUntil(shown, 2500); },
        12000);
    SendMouse(0, away);
    return tip;
}

inline std::wstring RegString(const std::wstring& key, const std::wstring& name) {
    wchar_t data[2048] = L"";
    DWORD size = sizeof(data);
    RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, data, &size);
    return data;
}
inline DWORD RegDword(const std::wstring& key, const std::wstring& name, DWORD fallback) {
    DWORD data = 0, size = sizeof(data);
    return RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), RRF_RT_REG_DWORD, nullptr,
                        &data, &size)
               ? fallback
               : data;
}
inline void RegSetString(const std::wstring& key, const std::wstring& name,
                         const std::wstring& value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

inline void EndStrayPrograms() {  // every Marvolt.exe and Update.exe
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{sizeof(entry)};
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (lstrcmpiW(entry.szExeFile, L"Marvolt.exe") && lstrcmpiW(entry.szExeFile, L"Update.exe"))
            continue;
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID);
        if (process && TerminateProcess(process, 99)) WaitForSingleObject(process, 5000);
        if (process) CloseHandle(process);
    }
    CloseHandle(snapshot);
}

class Program {
  public:
    ~Program() { Kill(); }
    // MARVOLT_EXE, or `exe`, in this process's current directory or `folder`,
    // with `arguments`; its standard output into the file `output` where named.
    bool Start(const std::wstring& program = {}, const wchar_t* folder = nullptr,
               const std::wstring& arguments = {}, const std::wstring& output = {}) {
        std::wstring exe = program.empty() ? EnvVar(L"MARVOLT_EXE") : program,
                     line = L"\"" + exe + L"\" " + arguments;
        SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
        STARTUPINFOW startup{sizeof(startup)};
        if (!output.empty())
            startup.dwFlags = STARTF_USESTDHANDLES,
            startup.hStdOutput = CreateFileW(output.c_str(), GENERIC_WRITE, 0, &inherited,
                                             CREATE_ALWAYS, 0, nullptr);
        const bool started = CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr,
                                            !output.empty(), 0, nullptr, folder, &startup, &info_);
        if (startup.hStdOutput) CloseHandle(startup.hStdOutput);
        return started;
    }
    void Swap(Program& other) { std::swap(info_, other.info_); }
    bool Running() const {
        return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
    }
    DWORD WaitForExit(DWORD timeoutMs) {  // the exit code, or STILL_ACTIVE
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(info_.hProcess, timeoutMs) == WAIT_OBJECT_0)
            GetExitCodeProcess(info_.hProcess, &code);
        return code;
    }
    void Kill() {
        if (!info_.hProcess) return;
        if (Running() && TerminateProcess(info_.hProcess, 99))
            WaitForSingleObject(info_.hProcess, 5000);
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
        info_ = {};
    }
    // Its main thread, where its windows live, stops or goes on: a hung program.
    void Hang(bool hung) { hung ? SuspendThread(info_.hThread) : ResumeThread(info_.hThread); }
    DWORD Id() const { return info_.dwProcessId; }

  private:
    PROCESS_INFORMATION info_{};
};

// A clean desktop (no program running, none of its registry values) and the
// steps of a person using the program started from MARVOLT_EXE.
class Desktop : public ::testing::Test {
  protected:
    void SetUp() override {
        // Wine brings up its desktop and taskbar when a program first asks for it.
        GetDesktopWindow();
        ASSERT_TRUE(
            WaitUntil([] { return FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr; }, 30000));
        EndStrayPrograms();
        for (const std::wstring& key : {kSoundMapper, kSettings}) {
            RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
            RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
        }
        RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                           L"Marvolt");
    }
    void TearDown() override {
        program_.Kill();
        EndStrayPrograms();
        if (menuHook_) UnhookWindowsHookEx(menuHook_);
        if (hook_) FreeLibrary(hook_);
    }

    void Start() {  // until its window exists and its icon shows
        program_.Kill();
        ASSERT_TRUE(program_.Start());
        Attach();
    }
    void Attach() {  // the same, for program_ started otherwise
        ASSERT_TRUE(WaitUntil([&] { return MainWindow() && TrayIconShown(); }, 30000))
            << "no window or tray icon";
        // A menu can't be read from another process: the hook module, loaded into
        // the program's thread, writes each menu it opens to a file.
        if (!hook_) hook_ = LoadLibraryW(EnvVar(L"MARVOLT_E2E_HOOK").c_str());
        auto proc = reinterpret_cast<HOOKPROC>(
            reinterpret_cast<void*>(GetProcAddress(hook_, "CallWndHook")));
        if (menuHook_) UnhookWindowsHookEx(menuHook_);
        menuHook_ = SetWindowsHookExW(WH_CALLWNDPROC, proc, hook_,
                                      GetWindowThreadProcessId(MainWindow(), nullptr));
        ASSERT_TRUE(menuHook_);
    }
    HWND MainWindow() {
        return WindowOf(program_.Id(),
                        [](HWND window) { return ClassName(window) == L"ThunderRT5Form"; });
    }
    HWND Control(int id) { return GetDlgItem(MainWindow(), id); }

    // A click on the icon; the entries of the menu it opens, "-" for a separator.
    std::vector<std::wstring> OpenTrayMenu() {
        const std::wstring file = TempFile(L"marvolt_e2e_menu.txt");
        std::vector<std::wstring> menu;
        auto shown = [&] {
            const std::wstring text = ReadFileText(file);
            menu.clear();
            for (size_t start = 0, end; (end = text.find(L'\n', start)) != std::wstring::npos;
                 start = end + 1)
                menu.push_back(text.substr(start, end - start));
            return !menu.empty() && IsWindowVisible(FindWindowW(L"#32768", nullptr));
        };
        // A click that the desktop lost under load is clicked again.
        DeleteFileW(file.c_str());
        EXPECT_TRUE(WaitUntil([&] { return ClickAt(TrayIcon()), WaitUntil(shown, 4000); }, 20000))
            << "no tray menu";
        Sleep(300);
        return menu;
    }
    // Picks the entry of that text, or the device entry of that name, with the arrow keys.
    void Choose(const std::vector<std::wstring>& menu, const std::wstring& entry) {
        int steps = 0;
        for (const std::wstring& item : menu) {
            if (item == L"-") continue;
            ++steps;
            size_t colon = item.find(L": ");
            std::wstring device = colon == std::wstring::npos ? L"" : item.substr(colon + 2);
            if (item != entry && device.substr(0, device.find(L"  <")) != entry) continue;
            for (int i = 0; i < steps; ++i) PressKey(VK_DOWN);
            PressKey(VK_RETURN);
            return Sleep(300);
        }
        ADD_FAILURE() << "no such menu entry";
    }
    void ChooseFromTray(const std::wstring& entry) { Choose(OpenTrayMenu(), entry); }
    void OpenSettings() {  // from the tray menu, until the window is in front
        ChooseFromTray(L"Settings ...");
        HWND window = MainWindow();
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(window) != FALSE; }));
        // A person waits for the window to come up before clicking into it.
        SetForegroundWindow(window);
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window; }));
        Sleep(300);
    }
    void ClickRow(const std::wstring& device, int clicks = 1) {
        HWND list = Control(marvolt::kIdDeviceList);
        const LRESULT row =
            SendMessageW(list, LB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(device.c_str()));
        RECT item{};
        SendMessageW(list, LB_GETITEMRECT, WPARAM(row), LPARAM(&item));
        POINT centre{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
        ClientToScreen(list, &centre);
        // Clicked again only after the double-click time, so that it stays a single click.
        EXPECT_TRUE(WaitUntil([&] {
            ClickAt(centre, clicks);
            return WaitUntil([&] { return SendMessageW(list, LB_GETCURSEL, 0, 0) == row; }, 2000);
        })) << "row "
            << row << " not selected";
    }
    // Presses the key while the box is in front, again if the box has not gone.
    void AnswerMessageBox(WORD key) {
        HWND box = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (box = MessageBoxOf(program_.Id())) != nullptr; }));
        ASSERT_TRUE(WaitUntil([&] {
            if (SetForegroundWindow(box), GetForegroundWindow() == box) PressKey(key);
            return WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 2000);
        }));
    }

    Program program_;
    HMODULE hook_ = nullptr;
    HHOOK menuHook_ = nullptr;
};

}  // namespace e2e
