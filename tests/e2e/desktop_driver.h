#pragma once
// Drives the real program on the Wine desktop as a person would: finds its
// windows, reads what they show, clicks and types through the input system, and
// looks at the registry it writes. Paths come from the environment:
//   MARVOLT_EXE              the program (Windows path)
//   MARVOLT_E2E_HOOK         marvolt_e2e_hook.dll (Windows path)
//   MARVOLT_E2E_ARTEFACTS    where screenshots go (Unix path; optional)
#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

std::wstring EnvVar(const wchar_t* name);

// Runs a Unix command (Wine starts ELF programs directly) and waits for it.
int RunUnix(const std::wstring& commandLine, DWORD timeoutMs = 20000);
// Adds a PulseAudio null sink shown as deviceName; returns its sink name.
std::wstring AddSink(const std::wstring& deviceName);
void RemoveSink(const std::wstring& sinkName);
// The wave-output devices as this process's multimedia layer reports them
// (Wine fixes the list when a process first asks for it).
std::vector<std::wstring> WaveOutDeviceNames();
void Screenshot(const std::wstring& name);  // artefacts/<name>.png

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000);
void Pause(DWORD ms);

class Program {
public:
    Program() = default;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    ~Program();

    // MARVOLT_EXE, or `exe`, in this process's current directory or `folder`.
    bool Start(bool waitUntilIdle = true, const std::wstring& exe = {}, const wchar_t* folder = nullptr);
    void Swap(Program& other) { std::swap(info_, other.info_); }
    bool HasVisibleWindow() const;
    bool Running() const;
    DWORD ProcessId() const { return info_.dwProcessId; }
    DWORD WaitForExit(DWORD timeoutMs);  // exit code, or STILL_ACTIVE
    void Kill();

    // Windows of this process.
    HWND MainWindow() const;       // class "ThunderRT5Form"
    HWND FindOwnWindow(const wchar_t* windowClass, const wchar_t* title = nullptr) const;
    DWORD UiThread() const;

private:
    PROCESS_INFORMATION info_ = {};
};

// Reading windows.
std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);
std::vector<std::wstring> ListBoxItems(HWND listBox);
int ListBoxSelection(HWND listBox);
bool IsChecked(HWND checkBox);
bool IsTopmost(HWND window);
HWND ForegroundWindow();
HWND FindMessageBox(DWORD processId);  // a "#32770" dialog of that process

// Input through the system's queue, as a person's mouse and keyboard.
void MoveTo(int x, int y);
void ClickAt(int x, int y, bool right = false);
void DoubleClickAt(int x, int y);
void Click(HWND window);  // the centre of the window
void PressKey(WORD virtualKey);
void TypeText(const std::wstring& text);

// The notification area of the Wine desktop: the program's icon is the only one,
// drawn at the right end of the taskbar.
POINT TrayIconCentre();
bool TrayIconShown();  // something is drawn in the icon's place
bool SecondTrayIconShown();  // or in the place of a second icon
// Rests the pointer on the icon and reads the tooltip the shell shows for it.
std::wstring HoverTip();

// Hooks the e2e module into the program's thread to report its menus.
class Hooks {
public:
    ~Hooks();
    bool Attach(DWORD threadId);
private:
    HMODULE module_ = nullptr;
    std::vector<HHOOK> hooks_;
};
struct MenuEntry {
    bool separator = false;
    UINT id = 0;
    std::wstring text;
};
std::vector<MenuEntry> RecordedMenu();
void ForgetRecordedMenu();

// The registry the program writes (same prefix, same user).
std::wstring RegString(const std::wstring& key, const std::wstring& name, bool* exists = nullptr);
DWORD RegType(const std::wstring& key, const std::wstring& name);  // REG_NONE when absent
DWORD RegDword(const std::wstring& key, const std::wstring& name, DWORD fallback);
void RegSetString(const std::wstring& key, const std::wstring& name, const std::wstring& value);
void RegDeleteTree(const std::wstring& key);  // below HKCU
void RegDeleteValueOf(const std::wstring& key, const std::wstring& name);

extern const wchar_t kSoundMapper[];
extern const wchar_t kSettingsKey[];
extern const wchar_t kRunKey[];

}  // namespace e2e
