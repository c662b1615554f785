#pragma once
// Drives the real program on the Wine desktop as a person would: clicks the tray
// icon, picks menu entries, reads and clicks the settings window's controls and
// presses keys. Paths come from the environment:
//   MARVOLT_EXE              the program (Windows path)
//   MARVOLT_E2E_HOOK         marvolt_e2e_hook.dll (Windows path)
//   MARVOLT_E2E_ARTEFACTS    where screenshots go (Unix path; optional)
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

extern const wchar_t kSoundMapper[], kSettings[];

std::wstring EnvVar(const wchar_t* name);
void EndStrayPrograms();  // every Marvolt.exe and Update.exe
std::wstring TempFile(const wchar_t* name);
std::string ReadFileBytes(const std::wstring& path);
std::wstring ReadFileText(const std::wstring& path);  // UTF-16
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000);
void Screenshot(const std::wstring& name);  // artefacts/<name>.png
// A PulseAudio null sink shown as deviceName, and its removal.
std::wstring AddSink(const std::wstring& deviceName);
void RemoveSink(const std::wstring& sink);
// The wave-output devices as this process's multimedia layer lists them.
std::vector<std::wstring> WaveOutDeviceNames();

// Reading and using windows; input goes through the system's queue.
std::wstring WindowText(HWND window);
std::wstring StaticTexts(HWND dialog);  // its static controls' texts, joined
std::vector<std::wstring> ListBoxItems(HWND listBox);
bool IsChecked(HWND checkBox);
bool IsTopmost(HWND window);
// The first top-level window of the process that match accepts.
HWND WindowOf(DWORD processId, const std::function<bool(HWND)>& match);
HWND MainWindowOf(DWORD processId);
HWND MessageBoxOf(DWORD processId);
void ClickAt(POINT at, int clicks = 1);
void Click(HWND window);  // its centre
void PressKey(WORD virtualKey);
// Presses the keys in turn and lets them go the other way round.
void PressChord(std::initializer_list<WORD> keys);
// The notification area of the Wine desktop: the program's icon is the only one,
// drawn at the right end of the taskbar.
POINT TrayIcon();
bool TrayIconShown();     // something is drawn in the icon's place
bool SecondTrayIconShown();  // or in the place of a second icon, left of it
std::wstring HoverTip();  // the tooltip the shell shows with the pointer on the icon
std::wstring BalloonText();  // the notification balloon the shell shows; empty while none shows

std::wstring RegString(const std::wstring& key, const std::wstring& name);
DWORD RegDword(const std::wstring& key, const std::wstring& name, DWORD fallback);
void RegSetString(const std::wstring& key, const std::wstring& name, const std::wstring& value);

class Program {
  public:
    ~Program() { Kill(); }
    // MARVOLT_EXE, or `exe`, in this process's current directory or `folder`.
    bool Start(const std::wstring& exe = {}, const wchar_t* folder = nullptr);
    void Swap(Program& other) { std::swap(info_, other.info_); }
    bool Running() const;
    DWORD WaitForExit(DWORD timeoutMs);  // the exit code, or STILL_ACTIVE
    void Kill();
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
    void SetUp() override;
    void TearDown() override;

    void Start();   // until its window exists and its icon shows
    void Attach();  // the same, for program_ started otherwise
    HWND MainWindow() { return MainWindowOf(program_.Id()); }
    HWND Control(int id) { return GetDlgItem(MainWindow(), id); }

    // A click on the icon; the entries of the menu it opens, "-" for a separator.
    std::vector<std::wstring> OpenTrayMenu();
    // Picks the entry of that text, or the device entry of that name, with the arrow keys.
    void Choose(const std::vector<std::wstring>& menu, const std::wstring& entry);
    void ChooseFromTray(const std::wstring& entry) { Choose(OpenTrayMenu(), entry); }
    void OpenSettings();  // from the tray menu, until the window is in front
    void ClickRow(const std::wstring& device);
    void AnswerMessageBox(WORD key);

    Program program_;
    HMODULE hook_ = nullptr;
    HHOOK menuHook_ = nullptr;
};

}  // namespace e2e
