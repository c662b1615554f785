#include "tests/e2e/desktop_driver.h"

#include <mmsystem.h>
#include <tlhelp32.h>

#include <cstdio>

namespace e2e {

const wchar_t kSoundMapper[] = L"Software\\Microsoft\\Multimedia\\Sound Mapper";
const wchar_t kSettingsKey[] = L"Software\\VB and VBA Program Settings\\Marvolt";
const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::wstring EnvVar(const wchar_t* name) {
    wchar_t buffer[4096];
    DWORD length = GetEnvironmentVariableW(name, buffer, 4096);
    return length > 0 && length < 4096 ? std::wstring(buffer, length) : std::wstring();
}

int RunUnix(const std::wstring& commandLine, DWORD timeoutMs) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    std::wstring line = commandLine;
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return -1;
    DWORD code = static_cast<DWORD>(-2);
    if (WaitForSingleObject(info.hProcess, timeoutMs) == WAIT_OBJECT_0) GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return static_cast<int>(code);
}

std::wstring AddSink(const std::wstring& deviceName) {
    static int counter = 0;
    std::wstring sink = L"e2e" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(++counter);
    RunUnix(L"/usr/bin/pactl load-module module-null-sink sink_name=" + sink +
            L" \"sink_properties=\\\"device.description='" + deviceName + L"'\\\"\"");
    return sink;
}

void RemoveSink(const std::wstring& sinkName) {
    RunUnix(L"/bin/sh -c \"/usr/bin/pactl list short modules | grep 'sink_name=" + sinkName +
            L" ' | cut -f1 | xargs -r -n1 /usr/bin/pactl unload-module\"");
}

std::vector<std::wstring> WaveOutDeviceNames() {
    std::vector<std::wstring> names;
    UINT count = waveOutGetNumDevs();
    for (UINT device = 0; device < count; ++device) {
        WAVEOUTCAPSW caps = {};
        if (waveOutGetDevCapsW(device, &caps, sizeof(caps)) != MMSYSERR_NOERROR) continue;
        std::wstring name = caps.szPname;
        while (!name.empty() && name.back() == L' ') name.pop_back();
        while (!name.empty() && name.front() == L' ') name.erase(0, 1);
        names.push_back(name);
    }
    return names;
}

void Screenshot(const std::wstring& name) {
    std::wstring folder = EnvVar(L"MARVOLT_E2E_ARTEFACTS");
    if (folder.empty()) return;
    RunUnix(L"/usr/bin/import -window root " + folder + L"/" + name + L".png");
    // import holds the X server while it reads the screen; input sent right
    // after it can be lost, so let the desktop settle first.
    Sleep(500);
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(50);
    }
}

void Pause(DWORD ms) { Sleep(ms); }

Program::~Program() { Kill(); }

bool Program::Start(bool waitUntilIdle) {
    std::wstring exe = EnvVar(L"MARVOLT_EXE");
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    std::wstring line = L"\"" + exe + L"\"";
    if (!CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info_))
        return false;
    if (waitUntilIdle) WaitForInputIdle(info_.hProcess, 10000);
    return true;
}

bool Program::Running() const {
    return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD Program::WaitForExit(DWORD timeoutMs) {
    if (!info_.hProcess) return 0;
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(info_.hProcess, timeoutMs) == WAIT_OBJECT_0) GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

void Program::Kill() {
    if (!info_.hProcess) return;
    if (Running()) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
    info_ = {};
}

namespace {
struct WindowSearch {
    DWORD processId;
    const wchar_t* windowClass;
    const wchar_t* title;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->processId) return TRUE;
    if (search->windowClass && ClassName(window) != search->windowClass) return TRUE;
    if (search->title && WindowText(window) != search->title) return TRUE;
    search->found = window;
    return FALSE;
}
}  // namespace

HWND Program::FindOwnWindow(const wchar_t* windowClass, const wchar_t* title) const {
    WindowSearch search{info_.dwProcessId, windowClass, title, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

namespace {
BOOL CALLBACK MatchVisibleWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->processId || !IsWindowVisible(window)) return TRUE;
    search->found = window;
    return FALSE;
}
}  // namespace

bool Program::HasVisibleWindow() const {
    WindowSearch search{info_.dwProcessId, nullptr, nullptr, nullptr};
    EnumWindows(MatchVisibleWindow, reinterpret_cast<LPARAM>(&search));
    return search.found != nullptr;
}

HWND Program::MainWindow() const { return FindOwnWindow(L"ThunderRT5Form"); }

DWORD Program::UiThread() const {
    HWND window = MainWindow();
    return window ? GetWindowThreadProcessId(window, nullptr) : info_.dwThreadId;
}

std::wstring WindowText(HWND window) {
    wchar_t text[1024] = L"";
    // WM_GETTEXT rather than GetWindowText: it asks the owning process for the
    // text of controls too.
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

std::wstring ClassName(HWND window) {
    wchar_t name[256] = L"";
    GetClassNameW(window, name, 256);
    return name;
}

std::vector<std::wstring> ListBoxItems(HWND listBox) {
    std::vector<std::wstring> items;
    LRESULT count = SendMessageW(listBox, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT length = SendMessageW(listBox, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
        SendMessageW(listBox, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        text.resize(wcslen(text.c_str()));
        items.push_back(text);
    }
    return items;
}

int ListBoxSelection(HWND listBox) { return static_cast<int>(SendMessageW(listBox, LB_GETCURSEL, 0, 0)); }

bool IsChecked(HWND checkBox) { return SendMessageW(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED; }

bool IsTopmost(HWND window) { return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

HWND ForegroundWindow() { return GetForegroundWindow(); }

HWND FindMessageBox(DWORD processId) {
    WindowSearch search{processId, L"#32770", nullptr, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found && IsWindowVisible(search.found) ? search.found : nullptr;
}

namespace {
void SendMouse(DWORD flags, int x = 0, int y = 0) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_ABSOLUTE) {
        input.mi.dx = MulDiv(x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
        input.mi.dy = MulDiv(y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
    }
    SendInput(1, &input, sizeof(input));
}
}  // namespace

void MoveTo(int x, int y) {
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, x, y);
    SetCursorPos(x, y);
    Sleep(60);
}

void ClickAt(int x, int y, bool right) {
    MoveTo(x, y);
    SendMouse(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
    Sleep(40);
    SendMouse(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
    Sleep(150);
}

void DoubleClickAt(int x, int y) {
    MoveTo(x, y);
    for (int i = 0; i < 2; ++i) {
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        Sleep(20);
        SendMouse(MOUSEEVENTF_LEFTUP);
        Sleep(40);
    }
    Sleep(150);
}

void Click(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    ClickAt((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

void PressKey(WORD virtualKey) {
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = inputs[1].ki.wVk = virtualKey;
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
    Sleep(120);
}

void TypeText(const std::wstring& text) {
    for (wchar_t c : text) {
        INPUT inputs[2] = {};
        inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
        inputs[0].ki.wScan = inputs[1].ki.wScan = c;
        inputs[0].ki.dwFlags = KEYEVENTF_UNICODE;
        inputs[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        SendInput(2, inputs, sizeof(INPUT));
        Sleep(20);
    }
    Sleep(100);
}

namespace {
std::wstring TempPath(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

std::string ReadFileBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string content;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) content.append(buffer, read);
    CloseHandle(file);
    return content;
}

std::wstring FromUtf8(const std::string& text) {
    if (text.empty()) return {};
    int needed = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(needed), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), needed);
    return out;
}

std::vector<std::wstring> Lines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}
}  // namespace

POINT TrayIconCentre() {
    RECT taskbar = {};
    GetWindowRect(FindWindowW(L"Shell_TrayWnd", nullptr), &taskbar);
    int cell = GetSystemMetrics(SM_CXSMICON) + 4;
    return {taskbar.right - cell / 2, (taskbar.top + taskbar.bottom) / 2};
}

bool TrayIconShown() {
    HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
    if (!taskbar) return false;
    POINT centre = TrayIconCentre();
    int half = GetSystemMetrics(SM_CXSMICON) / 2;
    HDC screen = GetDC(nullptr);
    // The empty taskbar left of the icon gives its background colour.
    COLORREF background = GetPixel(screen, centre.x - 3 * half - 8, centre.y);
    int differing = 0;
    for (int y = centre.y - half; y < centre.y + half; ++y)
        for (int x = centre.x - half; x < centre.x + half; ++x)
            if (GetPixel(screen, x, y) != background) ++differing;
    ReleaseDC(nullptr, screen);
    return differing > half * half / 2;
}

namespace {
struct TipSearch {
    DWORD shellProcess;
    HWND found;
};

BOOL CALLBACK FindShownTip(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<TipSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == search->shellProcess && IsWindowVisible(window) && ClassName(window) == L"tooltips_class32" &&
        !WindowText(window).empty()) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

std::wstring HoverTip() {
    HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
    if (!taskbar) return L"";
    POINT centre = TrayIconCentre();
    TipSearch search{0, nullptr};
    GetWindowThreadProcessId(taskbar, &search.shellProcess);
    std::wstring tip;
    // Away and back again, so the tooltip shows afresh with the current text;
    // a few tries, as the shell may still be settling after the icon changed.
    for (int attempt = 0; attempt < 4 && tip.empty(); ++attempt) {
        MoveTo(centre.x - 200, centre.y);
        Sleep(400);
        MoveTo(centre.x, centre.y);
        WaitUntil([&] {
            search.found = nullptr;
            EnumWindows(FindShownTip, reinterpret_cast<LPARAM>(&search));
            if (search.found) tip = WindowText(search.found);
            return !tip.empty();
        }, 2500);
    }
    MoveTo(centre.x - 200, centre.y);
    return tip;
}

Hooks::~Hooks() {
    for (HHOOK hook : hooks_) UnhookWindowsHookEx(hook);
    if (module_) FreeLibrary(module_);
}

bool Hooks::Attach(DWORD threadId) {
    if (!module_) module_ = LoadLibraryW(EnvVar(L"MARVOLT_E2E_HOOK").c_str());
    if (!module_) return false;
    auto proc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(module_, "CallWndHook")));
    if (!proc) return false;
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, proc, module_, threadId);
    if (!hook) return false;
    hooks_.push_back(hook);
    return true;
}

std::vector<MenuEntry> RecordedMenu() {
    std::vector<MenuEntry> entries;
    for (const std::wstring& line : Lines(FromUtf8(ReadFileBytes(TempPath(L"marvolt_e2e_menu.txt"))))) {
        MenuEntry entry;
        if (line == L"-") {
            entry.separator = true;
        } else {
            size_t tab = line.find(L'\t');
            if (tab == std::wstring::npos) continue;
            entry.id = static_cast<UINT>(std::stoul(line.substr(0, tab)));
            entry.text = line.substr(tab + 1);
        }
        entries.push_back(entry);
    }
    return entries;
}

void ForgetRecordedMenu() { DeleteFileW(TempPath(L"marvolt_e2e_menu.txt").c_str()); }

std::wstring RegString(const std::wstring& key, const std::wstring& name, bool* exists) {
    if (exists) *exists = false;
    HKEY handle;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return L"";
    wchar_t data[2048] = L"";
    DWORD size = sizeof(data) - sizeof(wchar_t), type = 0;
    LONG result = RegQueryValueExW(handle, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(handle);
    if (result != ERROR_SUCCESS) return L"";
    if (exists) *exists = true;
    return type == REG_SZ ? std::wstring(data) : std::wstring();
}

DWORD RegType(const std::wstring& key, const std::wstring& name) {
    HKEY handle;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return REG_NONE;
    DWORD type = REG_NONE;
    if (RegQueryValueExW(handle, name.c_str(), nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS) type = REG_NONE;
    RegCloseKey(handle);
    return type;
}

DWORD RegDword(const std::wstring& key, const std::wstring& name, DWORD fallback) {
    HKEY handle;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return fallback;
    DWORD data = fallback, size = sizeof(data), type = 0;
    if (RegQueryValueExW(handle, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD)
        data = fallback;
    RegCloseKey(handle);
    return data;
}

void RegSetString(const std::wstring& key, const std::wstring& name, const std::wstring& value) {
    HKEY handle;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExW(handle, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
}

void RegDeleteTree(const std::wstring& key) { RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str()), RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str()); }

void RegDeleteValueOf(const std::wstring& key, const std::wstring& name) {
    HKEY handle;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_WRITE, &handle) != ERROR_SUCCESS) return;
    RegDeleteValueW(handle, name.c_str());
    RegCloseKey(handle);
}

}  // namespace e2e
