#include "files/files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "platform/fakes/fake_registry.h"
#include "platform/text.h"

namespace marvolt {
namespace {

using ::testing::_;
using ::testing::NiceMock;
using ::testing::Return;
using Texts = std::vector<std::u16string>;
using S = std::u16string;

// The file store, the file system, the shell and the process services at once.
struct MockOs : FileStore, FileSystem, ShellAssociation, ProcessLauncher, PendingEvents, KnownFolders, Environment {
    MOCK_METHOD(std::vector<FoundEntry>, Find, (const std::u16string&), (override));
    MOCK_METHOD(Texts, Drives, (), (override));
    MOCK_METHOD(std::u16string, DriveFolder, (char16_t), (override));
    MOCK_METHOD(PathKind, Kind, (const std::u16string&), (override));
    MOCK_METHOD(bool, Move, (const std::u16string&, const std::u16string&, bool), (override));
    MOCK_METHOD(std::optional<DateTime>, CreationTime, (const std::u16string&), (override));
    MOCK_METHOD(std::u16string, ShortName, (const std::u16string&), (override));
    MOCK_METHOD(std::u16string, LongName, (const std::u16string&), (override));
    MOCK_METHOD(bool, AppendLines, (const std::u16string&, const Texts&), (override));
    MOCK_METHOD(bool, Remove, (const std::u16string&), (override));
    MOCK_METHOD(bool, WriteTextFile, (const std::u16string&, const Texts&), (override));
    MOCK_METHOD(bool, CreateNewTextFile, (const std::u16string&, const Texts&), (override));
    MOCK_METHOD(bool, FileExists, (const std::u16string&), (override));
    MOCK_METHOD(bool, RemoveFile, (const std::u16string&), (override));
    MOCK_METHOD(std::u16string, CurrentDirectory, (), (override));
    MOCK_METHOD(bool, ChangeDirectory, (const std::u16string&), (override));
    MOCK_METHOD(std::u16string, TempFolder, (), (override));
    MOCK_METHOD(std::optional<std::u16string>, ProgramForFile, (const std::u16string&), (override));
    MOCK_METHOD(std::uint32_t, StartProcess, (const std::u16string&, int), (override));
    MOCK_METHOD(void, ProcessPending, (), (override));
    MOCK_METHOD(std::u16string, Path, (KnownFolder), (override));
    MOCK_METHOD(std::u16string, Variable, (const std::u16string&), (override));
};
struct MockView : FileChooserView {
    MOCK_METHOD(void, SetCaption, (const std::u16string&), (override));
    MOCK_METHOD(void, SetSize, (int, int), (override));
    MOCK_METHOD(void, Place, (ChooserPart, const TwipRect&, bool), (override));
    MOCK_METHOD(void, ShowDrives, (const Texts&, int), (override));
    MOCK_METHOD(void, ShowFolders, (const Texts&, int), (override));
    MOCK_METHOD(void, ShowFiles, (const Texts&, int), (override));
    MOCK_METHOD(std::u16string, FileNameText, (), (override));
    MOCK_METHOD(void, SetFileNameText, (const std::u16string&), (override));
    MOCK_METHOD(void, SetOkEnabled, (bool), (override));
    MOCK_METHOD(void, RunModal, (), (override));
    MOCK_METHOD(void, EndModal, (), (override));
};
struct MockWindows : FileChooserWindows {
    MOCK_METHOD(std::unique_ptr<FileChooserView>, Create, (FileChooserEvents&), (override));
};

const std::u16string kUserFolders =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ON_CALL(os, Variable(S(u"USERPROFILE"))).WillByDefault(Return(u"C:\\Users\\me"));
        ON_CALL(os, CurrentDirectory()).WillByDefault(Return(u"C:\\Data"));
        ON_CALL(os, ChangeDirectory(_)).WillByDefault(Return(true));
        ON_CALL(os, Find(_)).WillByDefault([this](const std::u16string& p) { return tree[p]; });
        ON_CALL(os, Kind(_)).WillByDefault([this](const std::u16string& p) {
            return tree.count(p + (p.back() == u'\\' ? u"*" : u"\\*")) ? PathKind::Folder : PathKind::Missing;
        });
    }
    std::map<std::u16string, std::vector<FoundEntry>> tree;
    FakeRegistry fakeRegistry;
    FakeAnsiCodePage codePage;
    Registry registry{fakeRegistry, codePage};
    NiceMock<MockOs> os;
    NiceMock<MockWindows> windows;
    Files utility{{registry, os, os, os, os, os, os, os, windows}};
};

TEST(FilesText, ReplaceAllAndNameRules) {
    struct Case { const char16_t *in, *find, *with, *want; } cases[] = {
        {u"aaaa", u"a", u"b", u"bbbb"}, {u"a,b,,c", u",", u";", u"a;b;;c"}, {u"abcabc", u"abc", u"x", u"xx"},
        {u"aa", u"a", u"aa", u"aaaa"},  {u"abc", u"", u"x", u"abc"},        {u"%P%\\D", u"%P%", u"", u"\\D"},
    };
    for (const Case& c : cases) EXPECT_EQ(replaceall(c.in, c.find, c.with), c.want) << std::string(c.in, c.in + 2);
    EXPECT_EQ(GetExtensionPattern(u"a.txt"), u"*.txt");
    EXPECT_EQ(GetExtensionPattern(u"C:\\x.y\\name"), u"*.name");
    EXPECT_EQ(GetExtensionPattern(u"name"), u"");
    EXPECT_EQ(GetFileNamePart(u"C:\\Data/x\\a.txt"), u"a.txt");
    EXPECT_EQ(GetFileNamePart(u"C:/Data/a"), u"a");
    EXPECT_EQ(GetFileNamePart(u"a.txt"), u"");
}

TEST_F(FilesTest, AbsoluteValuesAndFoldersFallBackToTheRegistry) {
    fakeRegistry.SetString(kLocalMachine, u"Software\\X", u"Y", u"y");
    fakeRegistry.SetString(kCurrentUser, u"Software", u"X", u"x");
    fakeRegistry.SetString(kCurrentUser, u"Name", u"", u"default");
    fakeRegistry.SetDword(kCurrentUser, u"Software", u"D", 1);
    const std::string expand = "%SystemDrive%\\x";
    fakeRegistry.SetRaw(kCurrentUser, u"Software", u"E", kRegExpandSz, {expand.begin(), expand.end() + 1});
    struct Case { const char16_t *path, *want; } cases[] = {
        {u"  hkey_local_machine\\Software\\X\\Y  ", u"y"}, {u"HKEY_CURRENT_USER\\Software\\X\\", u"x"},
        {u"HKEY_CURRENT_USER\\Name", u"default"},          {u"HKEY_CURRENT_USER\\Software\\E", u"%SystemDrive%\\x"},
        {u"HKEY_CURRENT_USER\\Software\\D", u""},          {u"current_user\\Software\\X", u""},
        {u"HKEY_CURRENT_USER", u""},
    };
    for (const Case& c : cases) EXPECT_EQ(utility.RegistryGetAbsolutValue(c.path), c.want);

    // Each folder from the shell, or else from the registry: the user's folders
    // with the profile put in, the system's as written.
    const struct {
        KnownFolder folder;
        std::u16string (FolderPaths::*get)();
        const char16_t *key, *name, *want;
    } folders[] = {
        {KnownFolder::Desktop, &FolderPaths::GetDesktopPath, u".DEFAULT\\", u"Desktop", u"C:\\Users\\me\\xC:\\Users\\me"},
        {KnownFolder::Startup, &FolderPaths::GetAutostartPath, u".DEFAULT\\", u"startup", u"C:\\Users\\me\\xC:\\Users\\me"},
        {KnownFolder::StartMenu, &FolderPaths::GetStartMenuPath, u".DEFAULT\\", u"Start Menu", u"C:\\Users\\me\\xC:\\Users\\me"},
        {KnownFolder::Windows, &FolderPaths::GetWindowsPath, nullptr, u"SystemRoot", u"%USERPROFILE%\\x%USERPROFILE%"},
        {KnownFolder::ProgramFiles, &FolderPaths::GetProgramfilesPath, nullptr, u"ProgramfilesPath", u"%USERPROFILE%\\x%USERPROFILE%"},
    };
    for (const auto& f : folders) {
        if (f.key) fakeRegistry.SetString(kUsers, f.key + kUserFolders, f.name, u"%USERPROFILE%\\x%USERPROFILE%");
        else fakeRegistry.SetString(kLocalMachine, u"Software\\Microsoft\\Windows\\CurrentVersion", f.name, u"%USERPROFILE%\\x%USERPROFILE%");
        EXPECT_EQ((utility.*f.get)(), f.want) << ToUtf8(f.name);
        ON_CALL(os, Path(f.folder)).WillByDefault(Return(u"D:\\Moved"));
        EXPECT_EQ((utility.*f.get)(), u"D:\\Moved");
    }
}

TEST_F(FilesTest, FileRunQuotesTheProgramAndEndsInTheDocumentsFolder) {
    ON_CALL(os, ProgramForFile(_)).WillByDefault(Return(u"C:\\Ed\\ed.exe"));
    ON_CALL(os, ProgramForFile(S(u"C:\\Data\\none.xyz"))).WillByDefault(Return(u""));
    ON_CALL(os, ProgramForFile(S(u"D:\\r.abc"))).WillByDefault(Return(u"C:\\r.exe"));
    struct Case { const char16_t *file, *command; Texts directories; } cases[] = {
        {u"C:\\Program Files\\x\\app.exe", u"\"C:\\Program Files\\x\\app.exe\"", {}},
        {u"C:\\Tools\\setup.BaT", u"\"C:\\Tools\\setup.BaT\"", {}},
        {u"C:\\Tools\\X.com", u"\"C:\\Tools\\X.com\"", {}},
        {u"C:\\Tools\\.bat", u"\"C:\\Tools\\.bat\"", {}},
        {u"notes.txt", u"\"C:\\Ed\\ed.exe\" C:\\Data\\notes.txt", {u"C:\\Ed", u"C:\\Data\\"}},
        {u"C:\\My Docs\\a.txt", u"\"C:\\Ed\\ed.exe\" \"C:\\My Docs\\a.txt\"", {u"C:\\Ed", u"C:\\My Docs\\"}},
        {u"D:\\r.abc", u"\"C:\\r.exe\" D:\\r.abc", {u"C:\\", u"D:\\"}},
        {u"none.xyz", nullptr, {u"C:\\Data\\"}},
    };
    for (const Case& c : cases) {
        Texts directories;
        EXPECT_CALL(os, ChangeDirectory(_)).WillRepeatedly([&](const S& d) { return directories.push_back(d), true; });
        if (c.command) EXPECT_CALL(os, StartProcess(S(c.command), 3)).WillOnce(Return(7));
        EXPECT_EQ(utility.FileRun(c.file, 3), c.command ? 7u : 0u) << std::string(c.file, c.file + 8);
        EXPECT_EQ(directories, c.directories);
        ::testing::Mock::VerifyAndClearExpectations(&os);
    }
}

TEST_F(FilesTest, FileMoveReplacesInOneStepOnly) {
    ON_CALL(os, Kind(S(u"s"))).WillByDefault(Return(PathKind::File));
    ON_CALL(os, Kind(S(u"d"))).WillByDefault(Return(PathKind::File));
    EXPECT_CALL(os, Remove(_)).Times(0);
    EXPECT_CALL(os, Move(S(u"s"), S(u"d"), true)).WillOnce(Return(false)).WillOnce([&] {
        ON_CALL(os, Kind(S(u"s"))).WillByDefault(Return(PathKind::Missing));
        return true;
    });
    EXPECT_FALSE(utility.FileMove(u"missing", u"d", true));
    EXPECT_FALSE(utility.FileMove(u"s", u"d", true));
    EXPECT_FALSE(utility.FileMove(u"s", u"d"));
    EXPECT_TRUE(utility.FileMove(u"s", u"d", true));
}

TEST_F(FilesTest, ListingEntersEveryFolderButNoLink) {
    tree[u"C:\\T\\*"] = {{u"a.txt"}, {u"H", true}, {u"L", true, true}, {u"b.log"}};
    tree[u"C:\\T\\*.txt"] = {{u"a.txt"}};
    tree[u"C:\\T\\H\\*"] = tree[u"C:\\T\\H\\*.txt"] = {{u"c.txt"}};
    Texts written;
    ON_CALL(os, AppendLines(_, _)).WillByDefault([&](auto&, const Texts& lines) { return written = lines, true; });
    ON_CALL(os, Kind(S(u"out"))).WillByDefault(Return(PathKind::File));
    EXPECT_CALL(os, Remove(S(u"out"))).WillOnce(Return(false)).WillOnce(Return(true));
    EXPECT_CALL(os, ProcessPending()).Times(::testing::AtLeast(1));  // the window stays alive
    EXPECT_FALSE(utility.ReadDirctoryStructureToFile(u"C:\\T", u"out", u"*.*", false));  // someone's file stays
    EXPECT_TRUE(utility.ReadDirctoryStructureToFile(u"C:\\T", u"out", u"*.*", false));
    EXPECT_EQ(written, (Texts{u"C:\\T\\a.txt", u"C:\\T\\H\\c.txt", u"C:\\T\\L", u"C:\\T\\b.log"}));
    EXPECT_TRUE(utility.ReadDirctoryStructureToFile(u"C:\\T\\", u"out", u"*.txt"));
    EXPECT_EQ(written, (Texts{u"C:\\T\\a.txt", u"C:\\T\\H\\c.txt", u"C:\\T\\L"}));

    // A loop the system does not mark as a link ends at the depth limit.
    ON_CALL(os, Find(_)).WillByDefault(Return(std::vector<FoundEntry>{{u"x", true}}));
    EXPECT_TRUE(utility.ReadDirctoryStructureToFile(u"C:\\T", u"out"));
    std::u16string deepest = u"C:\\T";
    for (int i = 0; i <= FileOperations::kMaxDepth; ++i) deepest += u"\\x";
    EXPECT_EQ(written, Texts{deepest});

}

// A script drives the open window through its events; the view keeps the typed name.
using Script = std::function<void(FileChooserEvents&, MockView&)>;
struct ChooserCase {
    std::function<std::u16string(Files&)> show;
    Script script;
    const char16_t *result, *caption;
    bool okAtOpen;
    int abbruchLeft;  // the Cancel button's place follows the mode
    const char* lists = "";  // drives, folder rows, files as last shown
};

TEST_F(FilesTest, ChooserResultsInEveryMode) {
    tree[u"C:\\*"] = {{u"Data", true}};
    tree[u"C:\\Data\\*"] = {{u"a.txt"}, {u"Sub", true}, {u"b.doc"}};
    tree[u"D:\\*"] = {{u"Music", true}};
    tree[u"D:\\Music\\*"] = {};
    tree[u"D:\\Music\\*.*"] = {{u"song.mp3"}};
    tree[u"C:\\Data\\*.*"] = tree[u"C:\\Data\\*"];
    tree[u"C:\\Data\\*.txt"] = {{u"a.txt"}};
    tree[u"C:\\Data\\Sub\\*"] = {};
    // E: is a drive that can't be entered.
    ON_CALL(os, Drives()).WillByDefault(Return(Texts{u"C:", u"D:", u"E:"}));
    ON_CALL(os, DriveFolder(_)).WillByDefault([](char16_t letter) {
        return letter == u'C' || letter == u'c' ? u"C:\\Data" : letter == u'D' ? u"D:\\" : u"E:\\";
    });
    ON_CALL(os, ChangeDirectory(S(u"E:\\"))).WillByDefault(Return(false));
    auto ok = [](FileChooserEvents& e, MockView&) { e.OnOk(); };
    auto type = [](const char16_t* text) {
        return [text](FileChooserEvents& e, MockView& v) { v.SetFileNameText(text), e.OnFileNameChange(text); };
    };
    auto open = [](Files& f) { return f.FileOpenDialog(); };
    const char16_t *kOpen = u"Open File", *kDir = u"Open Directory";
    // The lists end with " ok" while OK is enabled and " end" once the window was closed.
    const char* const kFiles = "*C:|D:|E:| C:\\|*  Data|    Sub| a.txt|b.doc| ok end";
    const ChooserCase cases[] = {
        {[](Files& f) { return f.FileOpenDialog(u"C:\\Data\\Sub\\x.txt", u"", u"a.txt"); }, ok, u"C:\\Data\\Sub\\a.txt",
         u"Open File    (\"*.txt\")", true, 7560, "*C:|D:|E:| C:\\|  Data|*    Sub|  ok end"},
        {open, [&](FileChooserEvents& e, MockView& v) { e.OnFileClick(0), type(u"  ")(e, v), e.OnOk(); },
         u"C:\\Data\\a.txt", kOpen, false, 7560, kFiles},
        {open, [](FileChooserEvents& e, MockView&) { e.OnFileDoubleClick(1); }, u"C:\\Data\\b.doc", kOpen, false, 7560, kFiles},
        {open, [](FileChooserEvents& e, MockView&) { e.OnFileClick(1), e.OnCancel(); }, u"", kOpen, false, 7560, kFiles},
        // A drive that can't be entered keeps the current one; another drive lists its folders.
        {open,
         [](FileChooserEvents& e, MockView&) {
             e.OnDriveChange(7), e.OnDriveChange(2), e.OnDriveChange(1), e.OnFolderOpen(1), e.OnFileDoubleClick(0);
         },
         u"D:\\Music\\song.mp3", kOpen, false, 7560, "C:|*D:|E:| D:\\|*  Music| song.mp3| ok end"},
        // Nothing chosen: no answer from an earlier dialog, and the window stays.
        {open, [](FileChooserEvents& e, MockView&) { e.OnFileDoubleClick(-1); }, u"", kOpen, false, 7560,
         "*C:|D:|E:| C:\\|*  Data|    Sub| a.txt|b.doc| ok"},
        {[](Files& f) { return f.filesaveDialog(u"D:\\Music", u"new.mp3"); }, ok, u"D:\\Music\\new.mp3", u"Save File as",
         true, 7680, "C:|*D:|E:| D:\\|*  Music| song.mp3| ok end"},
        {[](Files& f) { return f.filesaveDialog(u"C:\\Data", u"out.txt", u"Mine"); }, ok, u"C:\\Data\\out.txt",
         u"Mine", true, 7680, kFiles},
        {[](Files& f) { return f.filesaveDialog(u"C:\\Data\\*.txt"); }, ok, u"C:\\Data\\", u"Save File as", true, 7680,
         "*C:|D:|E:| C:\\|*  Data|    Sub| a.txt| ok end"},
        {[](Files& f) { return f.filesaveDialog(u"C:\\Data\\a.txt"); }, ok, u"C:\\Data\\", u"Save File as", true, 7680,
         "*C:|D:|E:| C:\\|*  Data|    Sub| *a.txt|b.doc| ok end"},
        {[](Files& f) { return f.FileDirSelectDialog(u"C:\\Data\\"); }, ok, u"C:\\Data\\", kDir, true, 2880, "*C:|D:|E:| C:\\|*  Data|    Sub|  ok end"},
        {[](Files& f) { return f.FileDirSelectDialog(u"C:\\"); }, ok, u"C:\\", kDir, true, 2880, "*C:|D:|E:| *C:\\|  Data|  ok end"},
        {[](Files& f) { return f.FileDirSelectDialog(u"C:\\Data"); },
         [](FileChooserEvents& e, MockView&) { e.OnFolderOpen(2), e.OnOk(); }, u"C:\\Data\\Sub\\", kDir, true, 2880, "*C:|D:|E:| C:\\|  Data|*    Sub|  ok end"},
        {[](Files& f) { return f.FileDirSelectDialog(u"C:\\Data"); },
         [](FileChooserEvents& e, MockView&) { e.OnFolderOpen(0), e.OnOk(); }, u"C:\\", kDir, true, 2880, "*C:|D:|E:| *C:\\|  Data|  ok end"},
        {[](Files& f) { return f.FileDirSelectDialog(u"C:\\Gone"); }, ok, u"C:\\Data\\", kDir, true, 2880, "*C:|D:|E:| C:\\|*  Data|    Sub|  ok end"},
        // Started where the current folder is: none where its drive can't be entered.
        {[&](Files& f) { ON_CALL(os, CurrentDirectory()).WillByDefault(Return(u"E:\\x")); return f.FileDirSelectDialog(); },
         ok, u"", kDir, true, 2880, "C:|D:|E:|   ok end"},
        // Drive letters match whatever their case.
        {[&](Files& f) {
             ON_CALL(os, CurrentDirectory()).WillByDefault(Return(u"C:\\Data\\Sub"));
             ON_CALL(os, Drives()).WillByDefault(Return(Texts{u"d:", u"c:"}));
             return f.FileDirSelectDialog();
         },
         ok, u"C:\\Data\\Sub\\", kDir, true, 2880, "d:|*c:| C:\\|  Data|*    Sub|  ok end"},
    };
    EXPECT_CALL(windows, Create(_)).WillOnce(Return(nullptr));  // no window: as after Cancel
    EXPECT_EQ(utility.FileDirSelectDialog(u"C:\\Data"), u"");
    for (const ChooserCase& c : cases) {
        SCOPED_TRACE(&c - cases);
        std::u16string text, caption, lists[3];
        // A new window's buttons are enabled.
        bool okEnabled = true, okAtOpen = false, ended = false, gone = false, empty = false;
        int width = 0, abbruch = 0, placed = 0;
        std::string hidden;
        struct View : NiceMock<MockView> {
            bool* gone;
            ~View() override { *gone = true; }
        };
        EXPECT_CALL(windows, Create(_)).WillOnce([&](FileChooserEvents& events) {
            auto view = std::make_unique<View>();
            view->gone = &gone;
            ON_CALL(*view, EndModal()).WillByDefault([&] { ended = true; });
            ON_CALL(*view, SetFileNameText(_)).WillByDefault([&](const std::u16string& t) { text = t; });
            ON_CALL(*view, FileNameText()).WillByDefault([&] { return text; });
            ON_CALL(*view, SetOkEnabled(_)).WillByDefault([&](bool on) { okEnabled = on; });
            ON_CALL(*view, SetCaption(_)).WillByDefault([&](const std::u16string& t) { caption = t; });
            // What each list shows last, with "*" before the selected row.
            auto show = [&](int list) {
                return [&, list](const Texts& rows, int selected) {
                    lists[list].clear();
                    for (size_t i = 0; i < rows.size(); ++i) lists[list] += (int(i) == selected ? u"*" : u"") + rows[i] + u"|";
                };
            };
            ON_CALL(*view, ShowDrives(_, _)).WillByDefault(show(0));
            ON_CALL(*view, ShowFolders(_, _)).WillByDefault(show(1));
            ON_CALL(*view, ShowFiles(_, _)).WillByDefault(show(2));
            ON_CALL(*view, SetSize(_, _)).WillByDefault([&](int w, int) { width = w; });
            ON_CALL(*view, Place(_, _, _)).WillByDefault([&](ChooserPart part, const TwipRect& r, bool shown) {
                if (part == ChooserPart::Abbruch) abbruch = r.left;
                hidden += shown ? "" : std::to_string(int(part));
                empty |= r.width <= 0 || r.height <= 0;
                ++placed;
            });
            ON_CALL(*view, RunModal()).WillByDefault([&, v = view.get()] {
                okAtOpen = okEnabled;
                c.script(events, *v);
            });
            return view;
        });
        EXPECT_EQ(c.show(utility), c.result);
        EXPECT_EQ(okAtOpen, c.okAtOpen);
        EXPECT_EQ(caption, c.caption);
        EXPECT_EQ(abbruch, c.abbruchLeft);
        EXPECT_EQ(width, c.abbruchLeft == 2880 ? 5805 : 9375);
        // Every control placed with a size; the file name and list hidden when choosing a folder.
        EXPECT_EQ(std::to_string(placed) + hidden + (empty ? "empty" : ""), c.abbruchLeft == 2880 ? "823" : "8");
        EXPECT_TRUE(gone);
        EXPECT_EQ(ToUtf8(lists[0] + u" " + lists[1] + u" " + lists[2]) + (okEnabled ? " ok" : "") + (ended ? " end" : ""),
                  c.lists);
    }
}

}  // namespace
}  // namespace marvolt
