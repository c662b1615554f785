// The Win32 services on the real system: the window services of the single-instance
// guard (the guard itself is driven end to end), files, processes and the shell,
// message boxes and the program's identity. (The end-to-end tests read the sound devices.)
#include <windows.h>

#include "platform/win32/app_identity_win32.h"
#include "platform/win32/file_system_win32.h"
#include "platform/win32/instance_query_win32.h"
#include "platform/win32/keystrokes_win32.h"
#include "platform/win32/main_window_view_win32.h"
#include "platform/win32/message_service_win32.h"
#include "platform/win32/pending_events_win32.h"
#include "platform/win32/process_launcher_win32.h"
#include "platform/win32/shell_association_win32.h"
#include "platform/win32/top_level_windows_win32.h"
#include "platform/win32/window_activation_win32.h"
#include "shell/run_file.h"
#include "tests/win32/win32_test_support.h"

namespace marvolt {
namespace {

using Text = std::u16string;

// An earlier instance is one whose query object still lives, in the session's
// namespace; later ones learn its process.
TEST(Win32InstanceQuery, TheMutexTellsOfAnEarlierInstanceWhileItLives) {
    auto named = [] {
        return bool(UniqueKernelHandle(OpenMutexW(SYNCHRONIZE, FALSE, L"Local\\Marvolt.SingleInstance")));
    };
    auto first = std::make_unique<Win32InstanceQuery>();
    EXPECT_FALSE(first->EarlierInstanceRunning() || first->EarlierInstanceProcess());
    EXPECT_TRUE(named());
    for (int later = 0; later < 2; ++later) {
        Win32InstanceQuery query;
        EXPECT_TRUE(query.EarlierInstanceRunning() && query.EarlierInstanceProcess() == GetCurrentProcessId());
    }
    first.reset();
    EXPECT_FALSE(named());
    EXPECT_FALSE(Win32InstanceQuery().EarlierInstanceRunning());
}

// Found by class in its process, pinned and unpinned, restored; a handle of 0 does nothing.
TEST(Win32TopLevelWindows, FindsPinsAndRestoresARealWindow) {
    UniqueHwnd window = MakeTestWindow(L"Blocks \u00e4", SW_SHOWMINIMIZED);
    Win32TopLevelWindows windows;
    DWORD shell = 0, self = GetCurrentProcessId();
    GetWindowThreadProcessId(GetDesktopWindow(), &shell);
    EXPECT_EQ(Ints({long(windows.FindByClassInProcess(u"TestWindow", self) == Native(window.get())),
                    long(windows.FindByClassInProcess(u"TestWindow", shell)),
                    long(windows.FindByClassInProcess(u"Other", self))}),
              Ints({1, 0, 0}));
    for (bool topmost : {true, false}) {
        windows.SetTopmost(Native(window.get()), topmost);
        EXPECT_EQ(IsTopmost(window.get()), topmost);
    }
    windows.ShowAsync(Native(window.get()), kShowRestore);
    windows.ShowAsync(0, kShowRestore);
    windows.SetTopmost(0, true);
    Pump();
    EXPECT_TRUE(IsWindowVisible(window.get()) && !IsIconic(window.get()));
}

// The exact title first, then the first visible window that starts with it; a
// hidden or minimised one comes back shown and in front; no match changes nothing.
TEST(Win32WindowActivation, ActivatesByExactTitleThenByPrefix) {
    UniqueHwnd other = MakeTestWindow(L"Something else", SW_SHOWNORMAL), exact = MakeTestWindow(L"Act", SW_SHOWNORMAL),
               longer = MakeTestWindow(L"Act Vers. 1.01", SW_SHOWNORMAL),
               hiddenLonger = MakeTestWindow(L"Act Vers. 1.01 x"), hidden = MakeTestWindow(L"Hid Vers. 1.01"),
               minimised = MakeTestWindow(L"Min Vers. 1.01", SW_SHOWMINIMIZED);
    const std::pair<const char16_t*, HWND> cases[] = {{u"Act", exact.get()},          {u"Act Vers", longer.get()},
                                                      {u"Hid", hidden.get()},         {u"Min", minimised.get()},
                                                      {u"NoSuchWindow", other.get()}, {u"", other.get()}};
    for (const auto& [title, front] : cases) {
        SetForegroundWindow(other.get());
        Pump();
        EXPECT_EQ(Win32WindowActivation().ActivateByTitle(title), front != other.get());
        Pump();
        EXPECT_TRUE(GetForegroundWindow() == front && IsWindowVisible(front) && !IsIconic(front)) << ToUtf8(title);
    }
    EXPECT_FALSE(IsWindowVisible(hiddenLonger.get()));
    // By its handle, whatever its title.
    EXPECT_TRUE(Win32WindowActivation().Activate(Native(hiddenLonger.get())) && !Win32WindowActivation().Activate(0));
    Pump();
    EXPECT_TRUE(GetForegroundWindow() == hiddenLonger.get() && IsWindowVisible(hiddenLonger.get()));
}

// Characters, "{" and "}" in braces and named keys reach the focused control; the
// pending messages run, a quit message stays for the loop that owns it.
TEST(Win32Keystrokes, TypeIntoTheFocusedControlAndPendingEventsRunThem) {
    UniqueHwnd window = MakeTestWindow(L"Blocks keys", SW_SHOWNORMAL), closing = MakeTestWindow(L"closing");
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_WANTRETURN, 0, 0, 200, 100,
                                window.get(), nullptr, nullptr, nullptr);
    SetForegroundWindow(window.get());
    SetFocus(edit);
    Pump();
    ASSERT_EQ(GetFocus(), edit);
    Win32Keystrokes().SendKeys(u"a\u00e9{{}b}{ENTER}z");
    PostMessageW(closing.get(), WM_CLOSE, 0, 0);
    Win32PendingEvents().ProcessPending();
    Pump();
    EXPECT_FALSE(IsWindow(closing.get()));
    EXPECT_EQ(WindowTextOf(edit), u"a\u00e9{b}\r\nz");
    PostQuitMessage(5);
    Win32PendingEvents().ProcessPending();
    MSG quit{};
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && quit.wParam == 5);
}

std::string ReadBytes(const Text& path) {
    UniqueFile file(CreateFileW(Wide(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    char buffer[256];
    DWORD read = 0;
    return file && ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) ? std::string(buffer, read)
                                                                                : "<missing>";
}

// A fresh folder under the temporary folder, removed with what is left in it;
// and ".html" associated with the HTML program, as a Wine prefix without its
// browser engine leaves it out (only what it added goes again).
struct ScratchFolder {
    ScratchFolder() {
        CreateDirectoryW(Wide(path), nullptr);
        UniqueHkey html;
        if (RegOpenKeyExW(HKEY_CLASSES_ROOT, L".html", 0, KEY_READ, html.put()) != ERROR_SUCCESS)
            addedHtml = RegSetValueW(HKEY_CLASSES_ROOT, L".html", REG_SZ, L"htmlfile", 8) == ERROR_SUCCESS;
    }
    ~ScratchFolder() {
        WIN32_FIND_DATAW found;
        UniqueFindHandle search(FindFirstFileW(Wide(path + u"*"), &found));
        if (search) {
            do DeleteFileW(Wide(path + FromWide(found.cFileName)));
            while (FindNextFileW(search.get(), &found));
        }
        RemoveDirectoryW(Wide(path));
        if (addedHtml) RegDeleteKeyW(HKEY_CLASSES_ROOT, L".html");
    }
    Win32FileSystem files;
    Text path = files.TempFolder() + u"blocks-" + Decimal(GetCurrentProcessId()) + u"\\";
    bool addedHtml = false;
};

// Lines go out as ANSI with CRLF; a create never replaces a file, a write does;
// FileExists takes wildcards but no folder; the current folder changes only to one that exists.
TEST(Win32FileSystem, WritesFindsAndRemovesFilesAndChangesFolders) {
    ScratchFolder scratch;
    Win32FileSystem& files = scratch.files;
    const Text path = scratch.path + u"lines.probe", folder = scratch.path.substr(0, scratch.path.size() - 1);
    EXPECT_TRUE(files.CreateNewTextFile(path, {u" ", u"caf\u00e9"}) && !files.CreateNewTextFile(path, {u"other"}));
    EXPECT_EQ(ReadBytes(path), " \r\ncaf" + ToAnsi(u"\u00e9") + "\r\n");
    EXPECT_TRUE(files.WriteTextFile(path, {u"  "}) && files.CreateNewTextFile(scratch.path + u"empty.probe", {}));
    EXPECT_EQ(ReadBytes(path) + ReadBytes(scratch.path + u"empty.probe"), "  \r\n");
    EXPECT_FALSE(files.CreateNewTextFile(u"Q:\\no drive\\x.probe", {u" "}) ||
                 files.CreateNewTextFile(folder + u"\\no\\x", {}));
    EXPECT_EQ(Ints({files.FileExists(path), files.FileExists(scratch.path + u"*.probe"),
                    files.FileExists(scratch.path + u"none.probe"), files.FileExists(folder)}),
              Ints({1, 1, 0, 0}));
    EXPECT_EQ(Ints({files.RemoveFile(path), files.RemoveFile(path), files.FileExists(path)}), Ints({1, 0, 0}));
    const Text saved = files.CurrentDirectory();
    EXPECT_TRUE(files.ChangeDirectory(scratch.path));
    EXPECT_EQ(ToLowerAscii(files.CurrentDirectory() + u"\\"), ToLowerAscii(scratch.path));
    EXPECT_FALSE(files.ChangeDirectory(scratch.path + u"missing"));
    EXPECT_TRUE(files.ChangeDirectory(saved) && files.CurrentDirectory() == saved);
    EXPECT_TRUE(EndsWith(files.TempFolder(), u"\\") &&
                GetFileAttributesW(Wide(files.TempFolder())) != INVALID_FILE_ATTRIBUTES);
}

TEST(Win32ProcessLauncher, StartsACommandLineAndReportsFailure) {
    Win32ProcessLauncher launcher;
    std::uint32_t id = launcher.StartProcess(u"cmd.exe /c exit 3", 0);
    ASSERT_NE(id, 0u);
    UniqueKernelHandle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, id));
    DWORD code = 0;
    if (process && WaitForSingleObject(process.get(), 20000) == WAIT_OBJECT_0) GetExitCodeProcess(process.get(), &code);
    EXPECT_TRUE(!process || code == 3) << code;  // Wine may refuse to open a process that has ended
    EXPECT_EQ(launcher.StartProcess(u"C:\\no\\such\\program.exe x", 1) + launcher.StartProcess(u"", 1), 0u);
}

struct MockLauncher : ProcessLauncher {
    MOCK_METHOD(std::uint32_t, StartProcess, (const Text&, int), (override));
};
struct MockIdentity : AppIdentity {
    MOCK_METHOD(Text, Title, (), (override));
    MOCK_METHOD(void, SetTitle, (const Text&), (override));
    MOCK_METHOD(Text, ProgramFolder, (), (override));
    MOCK_METHOD(Text, ExeBaseName, (), (override));
};
struct MockMessages : MessageService {
    MOCK_METHOD(MessageAnswer, ShowMessage, (const Text&, const Text&, MessageButtons, MessageIcon), (override));
};

// The shell names the HTML program for an existing page only. A web page opens
// with it; the probe page asked about goes in the root of the program's drive, or
// the temporary folder when that drive cannot take it, and leaves nothing behind
// and someone's file of the same name untouched.
TEST(Win32RunFile, OpensWithTheHtmlProgramAndLeavesNoProbeBehind) {
    ScratchFolder scratch;
    Win32FileSystem& files = scratch.files;
    Win32ShellAssociation shell;
    ASSERT_TRUE(files.CreateNewTextFile(scratch.path + u"page.html", {u" "}) &&
                files.CreateNewTextFile(scratch.path + u"a.none", {u" "}));
    const Text program = shell.ProgramForFile(scratch.path + u"page.html").value_or(u"");
    EXPECT_TRUE(EndsWith(ToLowerAscii(program), u".exe")) << ToUtf8(program);
    EXPECT_EQ(shell.ProgramForFile(scratch.path + u"missing.html").value_or(u"") +
                  shell.ProgramForFile(scratch.path + u"a.none").value_or(u""),
              u"");
    const Text before = files.CurrentDirectory(), probe = u"C:\\Vexo00001.html";
    ASSERT_TRUE(files.ChangeDirectory(scratch.path));
    const Text workDirectory = files.CurrentDirectory();
    const std::tuple<const char16_t*, bool, Text> cases[] = {
        {u"C:\\Program Files\\Marvolt", false, probe},
        {u"C:\\Program Files\\Marvolt", true, probe},
        {u"Q:\\Apps", false, files.TempFolder() + u"Vexo00001.html"}};
    for (const auto& [folder, someonesFile, where] : cases) {
        if (someonesFile) ASSERT_TRUE(files.CreateNewTextFile(where, {u"keep me"}));
        MockLauncher launcher;
        ::testing::NiceMock<MockIdentity> identity;
        MockMessages messages;  // a message would fail the test as unexpected
        ON_CALL(identity, ProgramFolder()).WillByDefault(::testing::Return(folder));
        EXPECT_CALL(launcher, StartProcess(::testing::Truly([](const Text& command) {
                                               return EndsWith(command, u".exe http://example.org/a b") ||
                                                      EndsWith(command, u".exe\" http://example.org/a b");
                                           }),
                                           1))
            .WillOnce(::testing::Return(4242));
        EXPECT_EQ(RunFile({files, shell, launcher, messages, identity}).OpenDocument(u"http://example.org/a b", 1),
                  4242u);
        EXPECT_EQ(files.CurrentDirectory(), workDirectory);
        EXPECT_EQ(ReadBytes(where), someonesFile ? "keep me\r\n" : "<missing>") << ToUtf8(folder);
        EXPECT_FALSE(files.FileExists(u"C:\\zzzzzzzTemp_Vexo00001.html") || files.FileExists(u"C:\\RunFileTmp.html"));
        files.RemoveFile(where);
    }
    files.ChangeDirectory(before);
}

// A message box as the hook saw it (texts: "|" after each static text), and the button to press in it.
struct SeenBox {
    Text title, texts;
    long ok, yes, no, icon, owned;
} g_seen;
HWND g_box = nullptr;
int g_press = IDOK;

BOOL CALLBACK CollectStatic(HWND child, LPARAM) {
    if (ClassOf(child) != u"static") return TRUE;
    if ((GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) g_seen.texts += WindowTextOf(child) + u"|";
    g_seen.icon |=
        (GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && SendMessageW(child, STM_GETICON, 0, 0);
    return TRUE;
}

// Reads the box once it is set up (the timer fires inside its own modal loop) and answers it.
void CALLBACK InspectAndAnswer(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    if (!IsWindow(g_box)) return;
    auto shows = [](int id) { return long(IsWindowVisible(GetDlgItem(g_box, id)) != FALSE); };
    g_seen = {
        WindowTextOf(g_box), u"|", shows(IDOK), shows(IDYES), shows(IDNO), 0, GetWindow(g_box, GW_OWNER) != nullptr};
    EnumChildWindows(g_box, CollectStatic, 0);
    PostMessageW(g_box, WM_COMMAND, MAKEWPARAM(g_press, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(g_box, g_press)));
    g_box = nullptr;
}

LRESULT CALLBACK WatchForBox(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && !g_box && ClassOf(reinterpret_cast<HWND>(wParam)) == u"#32770") {
        g_box = reinterpret_cast<HWND>(wParam);
        SetTimer(nullptr, 0, 1, InspectAndAnswer);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Text, title (the program's when none is given), buttons and icon as asked; the
// answer as pressed; owned by the program's active window while one is.
TEST(MessageServiceWin32, ShowsTheBoxAsAskedAndReportsTheAnswer) {
    HHOOK hook = SetWindowsHookExW(WH_CBT, WatchForBox, nullptr, GetCurrentThreadId());
    AppIdentityWin32 identity;
    identity.SetTitle(u"Marvolt Test");
    MessageServiceWin32 messages(identity);
    auto view = MainWindowViewWin32::Create(GetModuleHandleW(nullptr), false);
    ShowWindow(view->Hwnd(), SW_SHOWNORMAL);
    SetForegroundWindow(view->Hwnd());
    SetActiveWindow(view->Hwnd());
    ASSERT_EQ(GetActiveWindow(), view->Hwnd());
    using B = MessageButtons;
    using I = MessageIcon;
    const std::tuple<const char16_t*, B, I, int, MessageAnswer> cases[] = {
        {u"Exit program?", B::YesNo, I::Question, IDNO, MessageAnswer::No},
        {u"Exit program?", B::YesNo, I::Question, IDYES, MessageAnswer::Yes},
        {u"", B::Ok, I::Information, IDOK, MessageAnswer::Ok},
        {u"Exit program?", B::Ok, I::Critical, IDOK, MessageAnswer::Ok},
        {u"Exit program?", B::Ok, I::None, IDOK, MessageAnswer::Ok}};
    for (const auto& [title, buttons, icon, press, answer] : cases) {
        const bool owned = view != nullptr, yesNo = buttons == B::YesNo;
        g_press = press;
        EXPECT_EQ(messages.ShowMessage(u"Lautsprecher \u00c4 fehlt", title, buttons, icon), answer);
        EXPECT_EQ(g_seen.title, *title ? title : u"Marvolt Test");
        EXPECT_NE(g_seen.texts.find(u"|Lautsprecher \u00c4 fehlt|"), Text::npos);
        EXPECT_EQ(Ints({g_seen.ok, g_seen.yes, g_seen.no, g_seen.icon, g_seen.owned}),
                  Ints({!yesNo, yesNo, yesNo, icon != I::None, owned}));
        view.reset();  // from here no window of the program is active
    }
    UnhookWindowsHookEx(hook);
}

TEST(AppIdentityWin32, SplitsTheModulePathIntoFolderAndBaseName) {
    const std::tuple<const char16_t*, const char16_t*, const char16_t*> cases[] = {
        {u"C:\\Tools\\Marvolt.exe", u"C:\\Tools", u"Marvolt"},
        {u"C:\\Marvolt.exe", u"C:\\", u"Marvolt"},  // a drive root keeps its backslash
        {u"C:\\Program Files\\Sound\\Marvolt.EXE", u"C:\\Program Files\\Sound", u"Marvolt"},
        {u"D:\\a.b\\Marvolt.v2.exe", u"D:\\a.b", u"Marvolt.v2"},
        {u"\\\\server\\share\\Marvolt.exe", u"\\\\server\\share", u"Marvolt"},
        {u"C:\\Tools\\Marvolt", u"C:\\Tools", u"Marvolt"}};
    for (const auto& [path, folder, baseName] : cases) {
        ModulePathParts parts = SplitModulePath(path);
        EXPECT_EQ(parts.folder + u"|" + parts.baseName, Text(folder) + u"|" + baseName);
    }
}

}  // namespace
}  // namespace marvolt
