// Update.exe: started by Marvolt as `Update.exe [URL]<address> [PATH]<program>`,
// it waits for the program to end, fetches and checks the new version with a
// small progress window, puts it in place and starts it.
#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include "platform/text.h"
#include "platform/win32/file_version_win32.h"
#include "platform/win32/pinned_file_win32.h"
#include "platform/win32/signature_check_win32.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/url_download_win32.h"
#include "platform/win32/win_text.h"
#include "update/release_version.h"
#include "update/updater.h"

extern const marvolt::PublicKey kReleasePublicKey;

namespace marvolt {
namespace {

constexpr wchar_t kTitle[] = L"Marvolt Update";
constexpr DWORD kWaitForEndMs = 30000;
constexpr DWORD kStartCheckMs = 2000;
constexpr int kCancelId = 2;

std::u16string Quoted(const std::u16string& path) { return u"\"" + path + u"\""; }

std::u16string OwnPath() {
    wchar_t self[MAX_PATH];
    return FromWide(self, ::GetModuleFileNameW(nullptr, self, MAX_PATH));
}

// Keeps the old program as the backup, then moves the new one in; if that
// fails, the old one goes back.
bool ReplaceInPlace(const std::u16string& fresh, const std::u16string& target, const std::u16string& backup) {
    ::DeleteFileW(Wide(backup));
    if (!::MoveFileExW(Wide(target), Wide(backup), MOVEFILE_REPLACE_EXISTING)) return false;
    if (::MoveFileExW(Wide(fresh), Wide(target), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED |
                                                     MOVEFILE_WRITE_THROUGH))
        return true;
    ::MoveFileExW(Wide(backup), Wide(target), MOVEFILE_REPLACE_EXISTING);
    return false;
}

class ProgressWindow : public DownloadProgress {
public:
    ProgressWindow() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &ProgressWindow::Procedure;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = L"MarvoltUpdate";
        ::RegisterClassW(&windowClass);
        window_.reset(::CreateWindowExW(WS_EX_TOPMOST, L"MarvoltUpdate", kTitle, WS_CAPTION | WS_SYSMENU,
                                        CW_USEDEFAULT, CW_USEDEFAULT, 360, 130, nullptr, nullptr,
                                        windowClass.hInstance, this));
        text_ = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 12, 12, 330, 20, window_.get(), nullptr,
                                  nullptr, nullptr);
        HWND cancel = ::CreateWindowExW(0, L"BUTTON", L"Cancel", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 130, 50, 90,
                                        26, window_.get(), reinterpret_cast<HMENU>(kCancelId), nullptr, nullptr);
        WPARAM font = reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT));
        for (HWND control : {text_, cancel}) ::SendMessageW(control, WM_SETFONT, font, TRUE);
    }

    void Begin(const std::u16string& what) {
        what_ = what;
        cancelled_ = false;
        OnProgress(0, 0);
        ::ShowWindow(window_.get(), SW_SHOWNORMAL);
        Pump();
    }
    void End() { ::ShowWindow(window_.get(), SW_HIDE); }

    bool OnProgress(std::uint32_t done, std::uint32_t total) override {
        std::u16string text = u"Downloading " + what_;
        if (total > 0) text += u": " + Decimal(static_cast<long long>(done) * 100 / total) + u" %";
        ::SetWindowTextW(text_, Wide(text));
        Pump();
        return !cancelled_;
    }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE)
            ::SetWindowLongPtrW(window, GWLP_USERDATA,
                                reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        auto* self = reinterpret_cast<ProgressWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && ((message == WM_COMMAND && LOWORD(wParam) == kCancelId) || message == WM_CLOSE)) {
            self->cancelled_ = true;
            return 0;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    static void Pump() {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }

    UniqueHwnd window_;
    HWND text_ = nullptr;
    std::u16string what_;
    bool cancelled_ = false;
};

class Win32UpdaterPlatform : public UpdaterPlatform {
public:
    bool WaitForProgramEnd(const std::u16string& path) override {
        DWORD deadline = ::GetTickCount() + kWaitForEndMs;
        for (;;) {
            UniqueKernelHandle running = FindRunning(path);
            if (!running) return true;
            DWORD now = ::GetTickCount();
            if (static_cast<LONG>(deadline - now) <= 0) return false;
            ::WaitForSingleObject(running.get(), deadline - now);
        }
    }
    bool CanWriteIn(const std::u16string& folder) override {
        UniqueFile probe(::CreateFileW(Wide(folder + u"~marvolt-write-probe.tmp"), GENERIC_WRITE, 0, nullptr,
                                       CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
        return static_cast<bool>(probe);
    }
    std::u16string TempFolder() override {
        wchar_t buffer[MAX_PATH + 1];
        return FromWide(buffer, ::GetTempPathW(MAX_PATH + 1, buffer));
    }
    std::int32_t Download(const std::u16string& url, const std::u16string& file) override {
        ForgetCachedUrl(url);
        progress_.Begin(url.substr(url.rfind(u'/') + 1));
        std::int32_t result = DownloadUrlToFile(url, file, &progress_);
        progress_.End();
        return result;
    }
    SignatureVerdict Verify(const std::u16string& file, const std::u16string& signatureFile) override {
        return VerifyFileSignature(file, signatureFile, kReleasePublicKey);
    }
    bool IsProgramForThisMachine(const std::u16string& file) override { return marvolt::IsProgramForThisMachine(file); }
    bool ReadFileVersion(const std::u16string& file, FileVersion& version) override {
        return versions_.ReadFileVersion(file, version);
    }
    bool Replace(const std::u16string& fresh, const std::u16string& target, const std::u16string& backup,
                 bool elevated) override {
        if (!elevated) return ReplaceInPlace(fresh, target, backup);
        // Only this step runs with the administrator's rights, asked for once:
        // the updater in the program's folder, which the user can't change
        // either, never this one, which may lie in the user's own folder.
        std::u16string updater = target.substr(0, target.rfind(u'\\') + 1) + kUpdaterRole;
        std::u16string parameters = ElevatedStepParameters(fresh, target);
        SHELLEXECUTEINFOW run{};
        run.cbSize = sizeof(run);
        run.fMask = SEE_MASK_NOCLOSEPROCESS;
        run.lpVerb = L"runas";
        run.lpFile = Wide(updater);
        run.lpParameters = Wide(parameters);
        run.nShow = SW_HIDE;
        if (!::ShellExecuteExW(&run) || !run.hProcess) return false;
        UniqueKernelHandle process(run.hProcess);
        DWORD code = 1;
        ::WaitForSingleObject(process.get(), INFINITE);
        return ::GetExitCodeProcess(process.get(), &code) && code == 0;
    }
    bool Pin(const std::u16string& file) override { return pinned_.Open(file); }
    // A file made in the folder takes the folder's inherited permissions; one
    // moved there would keep those of the temporary folder.
    bool InstallPinned(const std::u16string& target, const std::u16string& backup) override {
        std::u16string copy = target + u".new";
        ::DeleteFileW(Wide(copy));
        if (pinned_.CopyTo(copy) && ReplaceInPlace(copy, target, backup)) return true;
        ::DeleteFileW(Wide(copy));
        return false;
    }
    bool MoveBack(const std::u16string& backup, const std::u16string& target) override {
        return ::MoveFileExW(Wide(backup), Wide(target), MOVEFILE_REPLACE_EXISTING) != 0;
    }
    // Started means running a moment later, or ended without an error.
    bool Start(const std::u16string& program) override {
        std::u16string commandLine = Quoted(program);
        std::u16string folder = program.substr(0, program.rfind(u'\\') + 1);
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        if (!::CreateProcessW(Wide(program), reinterpret_cast<wchar_t*>(commandLine.data()), nullptr, nullptr, FALSE,
                              0, nullptr, Wide(folder), &startup, &process))
            return false;
        UniqueKernelHandle processHandle(process.hProcess), threadHandle(process.hThread);
        DWORD code = 0;
        return ::WaitForSingleObject(process.hProcess, kStartCheckMs) == WAIT_TIMEOUT ||
               (::GetExitCodeProcess(process.hProcess, &code) && code == 0);
    }
    void RemoveFile(const std::u16string& path) override { ::DeleteFileW(Wide(path)); }
    void Tell(const std::u16string& text) override {
        ::MessageBoxW(nullptr, Wide(text), kTitle, MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND);
    }

private:
    static UniqueKernelHandle FindRunning(const std::u16string& path) {
        UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        if (!snapshot) return UniqueKernelHandle();
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof(entry);
        for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
             more = ::Process32NextW(snapshot.get(), &entry)) {
            UniqueKernelHandle process(
                ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, entry.th32ProcessID));
            if (!process) continue;
            wchar_t image[MAX_PATH * 2];
            DWORD size = MAX_PATH * 2;
            if (::QueryFullProcessImageNameW(process.get(), 0, image, &size) && ::lstrcmpiW(image, Wide(path)) == 0)
                return process;
        }
        return UniqueKernelHandle();
    }

    ProgressWindow progress_;
    Win32FileVersionReader versions_;
    PinnedFile pinned_;
};

}  // namespace
}  // namespace marvolt

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    std::u16string commandLine = marvolt::FromWide(::GetCommandLineW());
    marvolt::Win32UpdaterPlatform platform;
    if (marvolt::IsElevatedStep(commandLine))
        return marvolt::RunElevatedStep(commandLine, marvolt::OwnPath(), platform);
    return marvolt::RunUpdater(commandLine, platform);
}
