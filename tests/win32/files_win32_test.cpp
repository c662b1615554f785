// The file utility on the real system: the user's folders, the chooser window driven
// through its controls, moves, listings and file names.
#include "files/files.h"
#include "platform/win32/file_chooser_window_win32.h"
#include "platform/win32/file_store_win32.h"
#include "platform/win32/file_system_win32.h"
#include "platform/win32/known_folders_win32.h"
#include "platform/win32/pending_events_win32.h"
#include "platform/win32/process_launcher_win32.h"
#include "platform/win32/registry_api_win32.h"
#include "platform/win32/shell_association_win32.h"
#include "tests/win32/win32_test_support.h"

namespace marvolt {
namespace {

class FilesWin32 : public ::testing::Test {
  protected:
    // The chooser moves the process's current folder, as a user's choice does.
    void TearDown() override { files.ChangeDirectory(folder); }
    std::u16string folder = Win32FileSystem().CurrentDirectory();
    ScratchFolder scratch;
    const Text root = scratch.path;
    Win32RegistryApi registryApi;
    Utf8RegistryText codePage;
    Registry registry{registryApi, codePage};
    Win32KnownFolders known;
    Win32Environment environment;
    Win32FileStore store;
    Win32FileSystem files;
    Win32ShellAssociation shell;
    Win32ProcessLauncher launcher;
    Win32PendingEvents events;
    FileChooserWindowsWin32 windows;
    Files utility{{registry, known, environment, store, files, shell, launcher, events, windows}};
};

TEST_F(FilesWin32, FoldersAreTheCurrentUsersEvenWhenMoved) {
    const char* key = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    wchar_t windowsFolder[MAX_PATH];
    GetWindowsDirectoryW(windowsFolder, MAX_PATH);
    EXPECT_EQ(utility.GetWindowsPath(), FromWide(windowsFolder));
    EXPECT_TRUE(!utility.GetProgramfilesPath().empty() && !utility.GetStartMenuPath().empty());
    char old[MAX_PATH] = "";
    DWORD type = REG_EXPAND_SZ, bytes = sizeof(old);
    bool had = !RegGetValueA(HKEY_CURRENT_USER, key, "Desktop", RRF_RT_ANY | RRF_NOEXPAND, &type,
                             old, &bytes);
    std::string moved = ToAnsi(root) + "\\Moved";
    CreateDirectoryA(moved.c_str(), nullptr);
    RegSetKeyValueA(HKEY_CURRENT_USER, key, "Desktop", REG_EXPAND_SZ, moved.c_str(),
                    DWORD(moved.size() + 1));
    EXPECT_EQ(ToAnsi(utility.GetDesktopPath()), moved);
    had ? RegSetKeyValueA(HKEY_CURRENT_USER, key, "Desktop", type, old, bytes)
        : RegDeleteKeyValueA(HKEY_CURRENT_USER, key, "Desktop");
}

HWND Part(HWND window, ChooserPart part) { return GetDlgItem(window, kChooserIds[int(part)]); }
void Press(HWND window, ChooserPart part) { SendMessageW(Part(window, part), BM_CLICK, 0, 0); }
void ClickRow(HWND list, int row, bool twice) {
    RECT item;
    SendMessageW(list, LB_GETITEMRECT, row, LPARAM(&item));
    LPARAM at = MAKELPARAM(item.left + 2, item.top + 2);
    for (UINT down : {UINT(WM_LBUTTONDOWN), UINT(twice ? WM_LBUTTONDBLCLK : 0)})
        if (down) SendMessageW(list, down, MK_LBUTTON, at), SendMessageW(list, WM_LBUTTONUP, 0, at);
}

// Each dialog is driven through its controls once it shows, and closed by its
// close box if the steps left it open.
TEST_F(FilesWin32, ChooserDrivenThroughItsControls) {
    store.AppendLines(root + u"\\a.txt", {});
    store.AppendLines(root + u"\\b.log", {u""});
    CreateDirectoryW(Wide(root + u"\\sub"), nullptr);
    const std::pair<std::function<Text()>, std::function<void(HWND)>> dialogs[] = {
        {[&] { return utility.FileOpenDialog(root + u"\\x", u"", u"a.txt"); },
         [](HWND w) {
             EXPECT_EQ(WindowTextOf(w), u"Open File    (\"*.txt\")");
             EXPECT_EQ(SendMessageW(Part(w, ChooserPart::File1), LB_GETCOUNT, 0, 0), 1);
             EXPECT_EQ(WindowTextOf(Part(w, ChooserPart::FileName)), u"a.txt");
             SetWindowTextW(Part(w, ChooserPart::FileName), L"");
             ClickRow(Part(w, ChooserPart::File1), 0, false);
             Press(w, ChooserPart::Ok);
         }},
        {[&] { return utility.FileOpenDialog(root + u"\\"); },
         [](HWND w) {
             EXPECT_FALSE(IsWindowEnabled(Part(w, ChooserPart::Ok)));
             ClickRow(Part(w, ChooserPart::File1), 1, true);
         }},
        {[&] { return utility.FileDirSelectDialog(root); },
         [](HWND w) {
             EXPECT_TRUE(IsWindowEnabled(Part(w, ChooserPart::Ok)));
             HWND folders = Part(w, ChooserPart::Dir1);
             ClickRow(folders, int(SendMessageW(folders, LB_GETCOUNT, 0, 0)) - 1, true);
             Press(w, ChooserPart::Ok);
         }},
        {[&] { return utility.FileDirSelectDialog(root).substr(0, 3); },
         [](HWND w) {
             SendMessageW(Part(w, ChooserPart::Drive1), WM_CHAR, 'z', 0), Press(w, ChooserPart::Ok);
         }},
        {[&] { return utility.filesaveDialog(root, u"out.txt"); },
         [](HWND w) { Press(w, ChooserPart::Ok); }},
        {[&] { return utility.filesaveDialog(root, u"out.txt"); },
         [](HWND w) { Press(w, ChooserPart::Abbruch); }},
        {[&] { return utility.FileDirSelectDialog(root); }, [](HWND) {}}};
    const Text chosen[] = {root + u"\\a.txt",
                           root + u"\\b.log",
                           root + u"\\sub\\",
                           u"Z:\\",
                           root + u"\\out.txt",
                           u"",
                           u""};
    for (size_t i = 0; i < std::size(dialogs); ++i) {
        WhenShown open(kFileChooserClass, [&](HWND w) {
            dialogs[i].second(w);
            if (IsWindowVisible(w)) PostMessageW(w, WM_CLOSE, 0, 0);
        });
        EXPECT_EQ(ToUtf8(dialogs[i].first()), ToUtf8(chosen[i])) << i;
    }
}

// A move that fails must not have removed the old destination first.
TEST_F(FilesWin32, MoveKeepsTheDestinationWhenItFails) {
    store.AppendLines(root + u"\\s", {u"new"});
    store.AppendLines(root + u"\\d", {u"old"});
    {
        UniqueFile locked(
            CreateFileW(Wide(root + u"\\s"), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_FALSE(utility.FileMove(root + u"\\s", root + u"\\d", true));
    }
    EXPECT_EQ(ReadBytes(root + u"\\d"), "old\r\n");
    EXPECT_FALSE(utility.FileMove(root + u"\\s", root + u"\\d"));
    EXPECT_TRUE(utility.FileMove(root + u"\\s", root + u"\\d", true));
    EXPECT_TRUE(ReadBytes(root + u"\\d") == "new\r\n" &&
                store.Kind(root + u"\\s") == PathKind::Missing);
}

// Hidden folders, names beyond the code page and paths beyond MAX_PATH are
// listed; a folder that contains itself is entered only to the depth limit.
// Short and long names convert both ways; a file's date is its own.
TEST_F(FilesWin32, ListingOfHiddenForeignDeepAndLoopingFolders) {
    CreateDirectoryW(Wide(root + u"\\hid"), nullptr);
    SetFileAttributesW(Wide(root + u"\\hid"),
                       FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    store.AppendLines(root + u"\\hid\\in.txt", {u""});
    store.AppendLines(root + u"\\\u041f\u0440\u0438\u0432\u0435\u0442.txt", {u""});
    std::u16string deep = root;
    while (deep.size() < 300)
        CreateDirectoryW(Wide(u"\\\\?\\" + (deep += u"\\folder-with-a-long-name")), nullptr);
    store.AppendLines(deep + u"\\deep.txt", {u""});
    // A link back to the folder itself. Wine makes none (its call is a stub): a
    // Unix link then makes a loop that the system does not mark as a link.
    CreateSymbolicLinkW(Wide(root + u"\\loop"), Wide(root), SYMBOLIC_LINK_FLAG_DIRECTORY);
    using UnixName = char*(CDECL*)(const wchar_t*);
    auto unix = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    std::u16string unixLoop = unix ? FromUtf8(unix(Wide(root))) + u"/loop" : u"";
    auto unixCall = [&](std::u16string command) {
        launcher.StartProcess(command + unixLoop, 0), Sleep(300);
    };
    if (unix && store.Kind(root + u"\\loop") == PathKind::Missing) unixCall(u"Z:\\bin\\ln -s . ");
    ASSERT_TRUE(utility.ReadDirctoryStructureToFile(root, root + u"\\list.txt", u"*.txt", false));
    std::string listing = ReadBytes(root + u"\\list.txt");
    for (std::u16string line :
         {root + u"\\hid\\in.txt", root + u"\\\u041f\u0440\u0438\u0432\u0435\u0442.txt",
          deep + u"\\deep.txt"})
        EXPECT_NE(listing.find(ToUtf8(line) + "\r\n"), std::string::npos) << ToUtf8(line);
    std::u16string loops = root;
    for (int depth = 0; depth <= FileOperations::kMaxDepth; ++depth) loops += u"\\loop";
    EXPECT_NE(listing.find(ToUtf8(unix ? loops : root + u"\\loop") + "\r\n"), std::string::npos);
    EXPECT_EQ(listing.find(ToUtf8(loops + u"\\loop")), std::string::npos);
    if (unix) unixCall(u"Z:\\bin\\rm ");

    std::u16string shortName = utility.FileGetShortFileName(deep + u"\\deep.txt");
    EXPECT_LT(shortName.size(), deep.size());
    EXPECT_EQ(utility.FileGetLongFileName(shortName), deep + u"\\deep.txt");
    EXPECT_EQ(utility.FileGetLongFileName(root + u"\\none"), root + u"\\none");
    SYSTEMTIME now;
    GetLocalTime(&now);
    EXPECT_EQ(utility.getFileDate(deep + u"\\deep.txt").value_or(DateTime{}).year, now.wYear);
}

}  // namespace
}  // namespace marvolt
