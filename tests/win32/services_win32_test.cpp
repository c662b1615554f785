// The Win32 services on the real system: windows found and activated by title,
// keystrokes, files, processes and the shell, message boxes and the program's
// identity. (The single-instance guard, pinning and restoring the window and
// starting a program with arguments are proven end to end.)
#include "platform/win32/app_identity_win32.h"
#include "platform/win32/file_system_win32.h"
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

// A window is found by its class within its process, and a minimised one is
// restored. Activation takes the exact title first, then the first visible window
// that starts with it; a hidden or minimised one comes back shown and in front; no
// match changes nothing, nor does a window handle of 0.
TEST(Win32Windows, FoundByClassInItsProcessAndActivatedByTitleThenByItsStart) {
    UniqueHwnd other = MakeTestWindow(L"Something else", SW_SHOWNORMAL),
               exact = MakeTestWindow(L"Act", SW_SHOWNORMAL),
               longer = MakeTestWindow(L"Act Vers. 1.01 \u00e4", SW_SHOWNORMAL),
               hidden = MakeTestWindow(L"Hid Vers. 1.01"),
               hiddenLonger = MakeTestWindow(L"Act Vers. 1.01 \u00e4 x"),
               minimised = MakeTestWindow(L"Min Vers. 1.01", SW_SHOWMINIMIZED),
               restored = MakeTestWindow(L"Restored", SW_SHOWMINIMIZED);
    Win32TopLevelWindows windows;
    DWORD shell = 0, self = GetCurrentProcessId();
    GetWindowThreadProcessId(GetDesktopWindow(), &shell);
    EXPECT_EQ(Ints({long(windows.FindByClassInProcess(u"TestWindow", self) != 0),
                    long(windows.FindByClassInProcess(u"TestWindow", shell)),
                    long(windows.FindByClassInProcess(u"Other", self))}),
              Ints({1, 0, 0}));
    windows.ShowAsync(Native(restored.get()), kShowRestore), windows.ShowAsync(0, kShowRestore);
    windows.SetTopmost(0, true), Pump();
    EXPECT_FALSE(IsIconic(restored.get()));
    const std::pair<const char16_t*, HWND> cases[] = {
        {u"Act", exact.get()},     {u"Act Vers", longer.get()},    {u"Hid", hidden.get()},
        {u"Min", minimised.get()}, {u"NoSuchWindow", other.get()}, {u"", other.get()}};
    for (const auto& [title, front] : cases) {
        SetForegroundWindow(other.get()), Pump();
        EXPECT_EQ(Win32WindowActivation().ActivateByTitle(title), front != other.get());
        Pump();
        EXPECT_TRUE(GetForegroundWindow() == front && IsWindowVisible(front) && !IsIconic(front))
            << ToUtf8(title);
    }
    EXPECT_FALSE(IsWindowVisible(hiddenLonger.get()));
    // By its handle, whatever its title.
    EXPECT_TRUE(Win32WindowActivation().Activate(Native(hiddenLonger.get())) &&
                !Win32WindowActivation().Activate(0));
    Pump();
    EXPECT_TRUE(GetForegroundWindow() == hiddenLonger.get() && IsWindowVisible(hiddenLonger.get()));
}

// Characters, "{" and "}" in braces and named keys reach the focused control; the
// pending messages run, a quit message stays for the loop that owns it.
TEST(Win32Keystrokes, TypeIntoTheFocusedControlAndPendingEventsRunThem) {
    UniqueHwnd window = MakeTestWindow(L"Blocks keys", SW_SHOWNORMAL),
               closing = MakeTestWindow(L"closing");
    HWND edit =
        CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_WANTRETURN, 0, 0,
                        200, 100, window.get(), nullptr, nullptr, nullptr);
    SetForegroundWindow(window.get()), SetFocus(edit), Pump();
    ASSERT_EQ(GetFocus(), edit);
    Win32Keystrokes().SendKeys(u"a\u00e9{{}b}{ENTER}z");
    PostMessageW(closing.get(), WM_CLOSE, 0, 0), Win32PendingEvents().ProcessPending(), Pump();
    EXPECT_FALSE(IsWindow(closing.get()));
    EXPECT_EQ(WindowTextOf(edit), u"a\u00e9{b}\r\nz");
    PostQuitMessage(5), Win32PendingEvents().ProcessPending();
    MSG quit{};
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && quit.wParam == 5);
}

// Lines go out as ANSI with CRLF; a create never replaces a file, a write does;
// FileExists takes wildcards but no folder; the current folder changes only to
// one that exists. A command line starts the process whose id comes back, a
// program that is not there none.
TEST(Win32FileSystem, WritesFindsAndRemovesFilesAndChangesFolders) {
    ScratchFolder scratch;
    Win32FileSystem files;
    const Text folder = scratch.path, path = folder + u"\\lines.probe";
    EXPECT_TRUE(files.CreateNewTextFile(path, {u" ", u"caf\u00e9"}) &&
                !files.CreateNewTextFile(path, {u"other"}));
    EXPECT_EQ(ReadBytes(path), " \r\ncaf" + ToAnsi(u"\u00e9") + "\r\n");
    EXPECT_TRUE(files.WriteTextFile(path, {u"  "}) &&
                files.CreateNewTextFile(folder + u"\\empty.probe", {}));
    EXPECT_EQ(ReadBytes(path) + ReadBytes(folder + u"\\empty.probe"), "  \r\n");
    EXPECT_FALSE(files.CreateNewTextFile(u"Q:\\no drive\\x.probe", {u" "}) ||
                 files.CreateNewTextFile(folder + u"\\no\\x", {}));
    EXPECT_EQ(Ints({files.FileExists(path), files.FileExists(folder + u"\\*.probe"),
                    files.FileExists(folder + u"\\none.probe"), files.FileExists(folder)}),
              Ints({1, 1, 0, 0}));
    EXPECT_EQ(Ints({files.RemoveFile(path), files.RemoveFile(path), files.FileExists(path)}),
              Ints({1, 0, 0}));
    const Text saved = files.CurrentDirectory();
    EXPECT_TRUE(files.ChangeDirectory(folder + u"\\") &&
                ToLowerAscii(files.CurrentDirectory()) == ToLowerAscii(folder));
    EXPECT_FALSE(files.ChangeDirectory(folder + u"\\missing"));
    EXPECT_TRUE(files.ChangeDirectory(saved) && files.CurrentDirectory() == saved);
    EXPECT_TRUE(EndsWith(files.TempFolder(), u"\\") &&
                GetFileAttributesW(Wide(files.TempFolder())) != INVALID_FILE_ATTRIBUTES);
    Win32ProcessLauncher launcher;
    UniqueKernelHandle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE,
                                           launcher.StartProcess(u"cmd.exe /c exit 3", 0)));
    DWORD code = 0;
    if (process && WaitForSingleObject(process.get(), 20000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.get(), &code);
    EXPECT_TRUE(!process || code == 3) << code;  // Wine may refuse to open a process that has ended
    EXPECT_EQ(
        launcher.StartProcess(u"C:\\no\\such\\program.exe x", 1) + launcher.StartProcess(u"", 1),
        0u);
}

struct MockIdentity : AppIdentity {
    MOCK_METHOD(Text, Title, (), (override));
    MOCK_METHOD(void, SetTitle, (const Text&), (override));
    MOCK_METHOD(Text, ProgramFolder, (), (override));
    MOCK_METHOD(Text, ExeBaseName, (), (override));
};

// The shell names the HTML program for an existing page only (".html" is
// associated here as a Wine prefix without its browser engine leaves it out). A
// web page opens with it; the probe page asked about goes in the root of the
// program's drive, or the temporary folder when that drive cannot take it, and
// leaves nothing behind and someone's file of the same name untouched.
TEST(Win32RunFile, OpensWithTheHtmlProgramAndLeavesNoProbeBehind) {
    UniqueHkey html;
    const bool associate =
        RegOpenKeyExW(HKEY_CLASSES_ROOT, L".html", 0, KEY_READ, html.put()) != ERROR_SUCCESS &&
        RegSetValueW(HKEY_CLASSES_ROOT, L".html", REG_SZ, L"htmlfile", 8) == ERROR_SUCCESS;
    ScratchFolder scratch;
    Win32FileSystem files;
    Win32ShellAssociation shell;
    ASSERT_TRUE(files.CreateNewTextFile(scratch.path + u"\\page.html", {u" "}) &&
                files.CreateNewTextFile(scratch.path + u"\\a.none", {u" "}));
    const Text program = shell.ProgramForFile(scratch.path + u"\\page.html").value_or(u"");
    EXPECT_TRUE(EndsWith(ToLowerAscii(program), u".exe")) << ToUtf8(program);
    EXPECT_EQ(shell.ProgramForFile(scratch.path + u"\\missing.html").value_or(u"") +
                  shell.ProgramForFile(scratch.path + u"\\a.none").value_or(u""),
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
        auto command = [](const Text& line) { return ToUtf8(line); };
        const auto browserWithPage = ::testing::ContainsRegex("\\.exe\"? http://example.org/a b$");
        EXPECT_CALL(launcher, StartProcess(::testing::ResultOf(command, browserWithPage), 1))
            .WillOnce(::testing::Return(4242));
        EXPECT_EQ(RunFile({files, shell, launcher, messages, identity})
                      .OpenDocument(u"http://example.org/a b", 1),
                  4242u);
        EXPECT_EQ(files.CurrentDirectory(), workDirectory);
        EXPECT_EQ(ReadBytes(where), someonesFile ? "keep me\r\n" : "<missing>") << ToUtf8(folder);
        EXPECT_FALSE(files.FileExists(u"C:\\zzzzzzzTemp_Vexo00001.html") ||
                     files.FileExists(u"C:\\RunFileTmp.html"));
        files.RemoveFile(where);
    }
    files.ChangeDirectory(before);
    if (associate) RegDeleteKeyW(HKEY_CLASSES_ROOT, L".html");
}

// The box as shown: "title|text|buttons shown|icon|owned".
Text Describe(HWND box) {
    Text seen = WindowTextOf(box) + u"|", buttons, icon = u"no icon";
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const bool iconStatic = (GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
        if (ClassOf(child) == u"static" && !iconStatic) seen += WindowTextOf(child);
        if (iconStatic && SendMessageW(child, STM_GETICON, 0, 0)) icon = u"icon";
        if (ClassOf(child) == u"button" && IsWindowVisible(child))
            buttons += WindowTextOf(child) + u" ";
    }
    return seen + u"|" + buttons + u"|" + icon + (GetWindow(box, GW_OWNER) ? u"|owned" : u"|");
}

// Text, title (the program's when none is given), buttons and icon as asked; the
// answer as pressed; owned by the program's active window while one is.
TEST(MessageServiceWin32, ShowsTheBoxAsAskedAndReportsTheAnswer) {
    AppIdentityWin32 identity;
    identity.SetTitle(u"Marvolt Test");
    MessageServiceWin32 messages(identity);
    auto view = MainWindowViewWin32::Create(GetModuleHandleW(nullptr), false);
    ShowWindow(view->Hwnd(), SW_SHOWNORMAL), SetForegroundWindow(view->Hwnd()),
        SetActiveWindow(view->Hwnd());
    ASSERT_EQ(GetActiveWindow(), view->Hwnd());
    using B = MessageButtons;
    using I = MessageIcon;
    const std::tuple<const char16_t*, B, I, int, MessageAnswer, const char16_t*> cases[] = {
        {u"Exit?", B::YesNo, I::Question, IDNO, MessageAnswer::No,
         u"Exit?|Fehlt \u00c4|&Yes &No |icon|owned"},
        {u"Exit?", B::YesNo, I::Question, IDYES, MessageAnswer::Yes,
         u"Exit?|Fehlt \u00c4|&Yes &No |icon|"},
        {u"", B::Ok, I::Information, IDOK, MessageAnswer::Ok,
         u"Marvolt Test|Fehlt \u00c4|OK |icon|"},
        {u"Exit?", B::Ok, I::Critical, IDOK, MessageAnswer::Ok, u"Exit?|Fehlt \u00c4|OK |icon|"},
        {u"Exit?", B::Ok, I::None, IDOK, MessageAnswer::Ok, u"Exit?|Fehlt \u00c4|OK |no icon|"}};
    for (const auto& [title, buttons, icon, press, answer, shown] : cases) {
        Text seen;
        WhenShown box(L"#32770", [&, press = press](HWND box) {
            seen = Describe(box);
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(press, BN_CLICKED),
                         LPARAM(GetDlgItem(box, press)));
        });
        EXPECT_EQ(messages.ShowMessage(u"Fehlt \u00c4", title, buttons, icon), answer);
        EXPECT_EQ(ToUtf8(seen), ToUtf8(shown));
        view.reset();  // from here no window of the program is active
    }
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
