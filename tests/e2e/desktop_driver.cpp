#include "tests/e2e/desktop_driver.h"

#include <mmsystem.h>

namespace e2e {

const wchar_t kSoundMapper[] = L"Software\\Microsoft\\Multimedia\\Sound Mapper";
const wchar_t kSettingsKey[] = L"Software\\VB and VBA Program Settings\\Marvolt";
const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

namespace {

struct Search {
    DWORD processId;
    const std::function<bool(HWND)>& match;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search.processId || !search.match(window)) return TRUE;
    search.found = window;
    return FALSE;
}

// The first top-level window of the process that `match` accepts.
HWND FindWindowOf(DWORD processId, const std::function<bool(HWND)>& match) {
    Search search{processId, match, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void SendMouse(DWORD flags, int x = 0, int y = 0) {
    INPUT input{INPUT_MOUSE};
    input.mi = {MulDiv(x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1,
                MulDiv(y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1, 0, flags};
    SendInput(1, &input, sizeof(input));
}

void SendKey(WORD virtualKey, WORD scan, DWORD flags) {
    INPUT inputs[2] = {{INPUT_KEYBOARD}, {INPUT_KEYBOARD}};
    inputs[0].ki = {virtualKey, scan, flags};
    inputs[1].ki = {virtualKey, scan, flags | KEYEVENTF_KEYUP};
    SendInput(2, inputs, sizeof(INPUT));
}

std::wstring MenuFile() {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + L"marvolt_e2e_menu.txt";
}

LONG Query(const std::wstring& key, const std::wstring& name, DWORD* type, void* data, DWORD* size) {
    HKEY handle;
    LONG result = RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle);
    if (result != ERROR_SUCCESS) return result;
    result = RegQueryValueExW(handle, name.c_str(), nullptr, type, static_cast<BYTE*>(data), size);
    RegCloseKey(handle);
    return result;
}

}  // namespace

std::wstring EnvVar(const wchar_t* name) {
    wchar_t buffer[4096];
    DWORD length = GetEnvironmentVariableW(name, buffer, 4096);
    return std::wstring(buffer, length < 4096 ? length : 0);
}

int RunUnix(const std::wstring& commandLine, DWORD timeoutMs) {
    STARTUPINFOW startup{sizeof(startup)};
    PROCESS_INFORMATION info{};
    std::wstring line = commandLine;
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) return -1;
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
    for (UINT device = 0; device < waveOutGetNumDevs(); ++device) {
        WAVEOUTCAPSW caps{};
        if (waveOutGetDevCapsW(device, &caps, sizeof(caps)) != MMSYSERR_NOERROR) continue;
        std::wstring name = caps.szPname;
        size_t first = name.find_first_not_of(L' ');
        names.push_back(first == std::wstring::npos ? L""
                                                    : name.substr(first, name.find_last_not_of(L' ') + 1 - first));
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
    for (DWORD start = GetTickCount(); !condition(); Sleep(50))
        if (GetTickCount() - start > timeoutMs) return false;
    return true;
}

void Pause(DWORD ms) { Sleep(ms); }

Program::~Program() { Kill(); }

bool Program::Start(bool waitUntilIdle, const std::wstring& program, const wchar_t* folder) {
    std::wstring exe = program.empty() ? EnvVar(L"MARVOLT_EXE") : program, line = L"\"" + exe + L"\"";
    STARTUPINFOW startup{sizeof(startup)};
    if (!CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder, &startup, &info_))
        return false;
    if (waitUntilIdle) WaitForInputIdle(info_.hProcess, 10000);
    return true;
}

bool Program::Running() const { return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }

bool Program::HasVisibleWindow() const {
    return FindWindowOf(info_.dwProcessId, [](HWND window) { return IsWindowVisible(window) != FALSE; });
}

DWORD Program::WaitForExit(DWORD timeoutMs) {
    DWORD code = STILL_ACTIVE;
    if (!info_.hProcess) return 0;
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

HWND Program::MainWindow() const { return FindOwnWindow(L"ThunderRT5Form"); }

HWND Program::FindOwnWindow(const wchar_t* windowClass, const wchar_t* title) const {
    return FindWindowOf(info_.dwProcessId, [&](HWND window) {
        return (!windowClass || ClassName(window) == windowClass) && (!title || WindowText(window) == title);
    });
}

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
    std::vector<std::wstring> items(SendMessageW(listBox, LB_GETCOUNT, 0, 0));
    for (size_t i = 0; i < items.size(); ++i) {
        items[i].resize(SendMessageW(listBox, LB_GETTEXTLEN, i, 0) + 1);
        items[i].resize(SendMessageW(listBox, LB_GETTEXT, i, reinterpret_cast<LPARAM>(items[i].data())));
    }
    return items;
}

int ListBoxSelection(HWND listBox) { return static_cast<int>(SendMessageW(listBox, LB_GETCURSEL, 0, 0)); }

bool IsChecked(HWND checkBox) { return SendMessageW(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED; }

bool IsTopmost(HWND window) { return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

HWND ForegroundWindow() { return GetForegroundWindow(); }

HWND FindMessageBox(DWORD processId) {
    return FindWindowOf(processId,
                        [](HWND window) { return IsWindowVisible(window) && ClassName(window) == L"#32770"; });
}

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
    SendKey(virtualKey, 0, 0);
    Sleep(120);
}

void TypeText(const std::wstring& text) {
    for (wchar_t c : text) {
        SendKey(0, c, KEYEVENTF_UNICODE);
        Sleep(20);
    }
    Sleep(100);
}

POINT TrayIconCentre() {
    RECT taskbar{};
    GetWindowRect(FindWindowW(L"Shell_TrayWnd", nullptr), &taskbar);
    return {taskbar.right - (GetSystemMetrics(SM_CXSMICON) + 4) / 2, (taskbar.top + taskbar.bottom) / 2};
}

namespace {

// Slot 0 is the icon's place, slot 1 the place left of it.
bool IconInSlot(int slot) {
    if (!FindWindowW(L"Shell_TrayWnd", nullptr)) return false;
    POINT centre = TrayIconCentre();
    int half = GetSystemMetrics(SM_CXSMICON) / 2, differing = 0;
    centre.x -= slot * (2 * half + 4);
    HDC screen = GetDC(nullptr);
    // The empty taskbar left of the icon gives its background colour.
    COLORREF background = GetPixel(screen, centre.x - 3 * half - 8, centre.y);
    for (int y = centre.y - half; y < centre.y + half; ++y)
        for (int x = centre.x - half; x < centre.x + half; ++x) differing += GetPixel(screen, x, y) != background;
    ReleaseDC(nullptr, screen);
    return differing > half * half / 2;
}

}  // namespace

bool TrayIconShown() { return IconInSlot(0); }

bool SecondTrayIconShown() { return IconInSlot(1); }

std::wstring HoverTip() {
    HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
    DWORD shell = 0;
    if (!taskbar) return L"";
    GetWindowThreadProcessId(taskbar, &shell);
    POINT centre = TrayIconCentre();
    std::wstring tip;
    // Away and back again, so the tooltip shows afresh with the current text;
    // a few tries, as the shell may still be settling after the icon changed.
    for (int attempt = 0; attempt < 4 && tip.empty(); ++attempt) {
        MoveTo(centre.x - 200, centre.y);
        Sleep(400);
        MoveTo(centre.x, centre.y);
        WaitUntil(
            [&] {
                HWND shown = FindWindowOf(shell, [](HWND window) {
                    return IsWindowVisible(window) && ClassName(window) == L"tooltips_class32" &&
                           !WindowText(window).empty();
                });
                return !(tip = shown ? WindowText(shown) : L"").empty();
            },
            2500);
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
    FARPROC proc = module_ ? GetProcAddress(module_, "CallWndHook") : nullptr;
    HHOOK hook = proc ? SetWindowsHookExW(WH_CALLWNDPROC, reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(proc)),
                                          module_, threadId)
                      : nullptr;
    if (hook) hooks_.push_back(hook);
    return hook != nullptr;
}

// The hook's file: one entry a line, "-" for a separator, otherwise "<id>\t<text>" (UTF-8).
std::vector<MenuEntry> RecordedMenu() {
    std::vector<MenuEntry> entries;
    HANDLE file = CreateFileW(MenuFile().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return entries;
    char bytes[16384];
    DWORD read = 0;
    ReadFile(file, bytes, sizeof(bytes), &read, nullptr);
    CloseHandle(file);
    std::wstring text(read, L'\0');
    text.resize(MultiByteToWideChar(CP_UTF8, 0, bytes, static_cast<int>(read), text.data(), static_cast<int>(read)));
    for (size_t start = 0, end; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1) {
        std::wstring line = text.substr(start, end - start);
        size_t tab = line.find(L'\t');
        if (line == L"-")
            entries.push_back({true});
        else if (tab != std::wstring::npos)
            entries.push_back({false, static_cast<UINT>(std::stoul(line.substr(0, tab))), line.substr(tab + 1)});
    }
    return entries;
}

void ForgetRecordedMenu() { DeleteFileW(MenuFile().c_str()); }

std::wstring RegString(const std::wstring& key, const std::wstring& name, bool* exists) {
    wchar_t data[2048] = L"";
    DWORD size = sizeof(data) - sizeof(wchar_t), type = REG_NONE;
    bool found = Query(key, name, &type, data, &size) == ERROR_SUCCESS;
    if (exists) *exists = found;
    return found && type == REG_SZ ? data : L"";
}

DWORD RegType(const std::wstring& key, const std::wstring& name) {
    DWORD type = REG_NONE;
    return Query(key, name, &type, nullptr, nullptr) == ERROR_SUCCESS ? type : REG_NONE;
}

DWORD RegDword(const std::wstring& key, const std::wstring& name, DWORD fallback) {
    DWORD data = 0, size = sizeof(data), type = REG_NONE;
    return Query(key, name, &type, &data, &size) == ERROR_SUCCESS && type == REG_DWORD ? data : fallback;
}

void RegSetString(const std::wstring& key, const std::wstring& name, const std::wstring& value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str(), REG_SZ, value.c_str(),
                    static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void RegDeleteTree(const std::wstring& key) {
    RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
}

void RegDeleteValueOf(const std::wstring& key, const std::wstring& name) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str());
}

}  // namespace e2e
