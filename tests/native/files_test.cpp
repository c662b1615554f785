// The file utility's mended faults: text replacement, a move that replaces in
// one step, a listing that enters hidden folders but no link, and quoting.
#include <gmock/gmock.h>

#include <map>

#include "files/file_operations.h"
#include "files/folder_paths.h"

namespace marvolt {
namespace {

using ::testing::_;
using ::testing::Return;
using S = std::u16string;
using Texts = std::vector<S>;

struct MockOs : FileStore, FileSystem, ShellAssociation, ProcessLauncher, PendingEvents {
    MOCK_METHOD(std::vector<FoundEntry>, Find, (const S&), (override));
    MOCK_METHOD(Texts, Drives, (), (override));
    MOCK_METHOD(S, DriveFolder, (char16_t), (override));
    MOCK_METHOD(PathKind, Kind, (const S&), (override));
    MOCK_METHOD(bool, Move, (const S&, const S&, bool), (override));
    MOCK_METHOD(std::optional<DateTime>, CreationTime, (const S&), (override));
    MOCK_METHOD(S, ShortName, (const S&), (override));
    MOCK_METHOD(S, LongName, (const S&), (override));
    MOCK_METHOD(bool, AppendLines, (const S&, const Texts&), (override));
    MOCK_METHOD(bool, Remove, (const S&), (override));
    MOCK_METHOD(bool, WriteTextFile, (const S&, const Texts&), (override));
    MOCK_METHOD(bool, CreateNewTextFile, (const S&, const Texts&), (override));
    MOCK_METHOD(bool, FileExists, (const S&), (override));
    MOCK_METHOD(bool, RemoveFile, (const S&), (override));
    MOCK_METHOD(S, CurrentDirectory, (), (override));
    MOCK_METHOD(bool, ChangeDirectory, (const S&), (override));
    MOCK_METHOD(S, TempFolder, (), (override));
    MOCK_METHOD(std::optional<S>, ProgramForFile, (const S&), (override));
    MOCK_METHOD(std::uint32_t, StartProcess, (const S&, int), (override));
    MOCK_METHOD(void, ProcessPending, (), (override));
};

class FilesTest : public ::testing::Test {
  protected:
    ::testing::NiceMock<MockOs> os;
    FileOperations files{{os, os, os, os, os}};
};

TEST(FilesText, ReplaceAll) {
    struct Case {
        const char16_t *in, *find, *with, *want;
    } const cases[] = {
        {u"aaaa", u"a", u"b", u"bbbb"},   {u"a,b,,c", u",", u";", u"a;b;;c"},
        {u"abcabc", u"abc", u"x", u"xx"}, {u"aa", u"a", u"aa", u"aaaa"},
        {u"abc", u"", u"x", u"abc"},      {u"%P%\\D", u"%P%", u"", u"\\D"},
    };
    for (const Case& c : cases) EXPECT_EQ(replaceall(c.in, c.find, c.with), c.want) << ToUtf8(c.in);
}

// A program's path, and a document's with a blank, are quoted.
TEST_F(FilesTest, FileRunQuotesThePaths) {
    ON_CALL(os, CurrentDirectory()).WillByDefault(Return(u"C:\\Data"));
    ON_CALL(os, ProgramForFile(_)).WillByDefault(Return(u"C:\\Ed it\\ed.exe"));
    const std::pair<const char16_t*, const char16_t*> cases[] = {
        {u"C:\\Program Files\\x\\app.exe", u"\"C:\\Program Files\\x\\app.exe\""},
        {u"notes.txt", u"\"C:\\Ed it\\ed.exe\" C:\\Data\\notes.txt"},
        {u"C:\\My Docs\\a.txt", u"\"C:\\Ed it\\ed.exe\" \"C:\\My Docs\\a.txt\""},
    };
    for (const auto& [file, command] : cases) {
        EXPECT_CALL(os, StartProcess(S(command), 3)).WillOnce(Return(7u));
        EXPECT_EQ(files.FileRun(file, 3), 7u);
    }
}

// Nothing is removed before the one move that replaces: a failed move keeps both files.
TEST_F(FilesTest, FileMoveReplacesInOneStepOnly) {
    ON_CALL(os, Kind(_)).WillByDefault(Return(PathKind::File));
    EXPECT_CALL(os, Remove(_)).Times(0);
    EXPECT_CALL(os, Move(S(u"s"), S(u"d"), true)).WillOnce(Return(false));
    EXPECT_FALSE(files.FileMove(u"s", u"d", true));
    EXPECT_FALSE(files.FileMove(u"s", u"d"));
}

TEST_F(FilesTest, ListingEntersEveryFolderButNoLink) {
    std::map<S, std::vector<FoundEntry>> tree;
    tree[u"C:\\T\\*"] = {{u"a.txt"}, {u"H", true}, {u"L", true, true}, {u"b.log"}};
    tree[u"C:\\T\\*.txt"] = {{u"a.txt"}};
    tree[u"C:\\T\\H\\*"] = tree[u"C:\\T\\H\\*.txt"] = {{u"c.txt"}};
    ON_CALL(os, Find(_)).WillByDefault([&](const S& pattern) { return tree[pattern]; });
    Texts written;
    ON_CALL(os, AppendLines(_, _)).WillByDefault([&](auto&, const Texts& lines) {
        written = lines;
        return true;
    });
    EXPECT_TRUE(files.ReadDirctoryStructureToFile(u"C:\\T", u"out", u"*.*", false));
    EXPECT_EQ(written, (Texts{u"C:\\T\\a.txt", u"C:\\T\\H\\c.txt", u"C:\\T\\L", u"C:\\T\\b.log"}));
    EXPECT_TRUE(files.ReadDirctoryStructureToFile(u"C:\\T\\", u"out", u"*.txt"));
    EXPECT_EQ(written, (Texts{u"C:\\T\\a.txt", u"C:\\T\\H\\c.txt", u"C:\\T\\L"}));
    // A loop the system does not mark as a link ends at the depth limit.
    ON_CALL(os, Find(_)).WillByDefault(Return(std::vector<FoundEntry>{{u"x", true}}));
    EXPECT_TRUE(files.ReadDirctoryStructureToFile(u"C:\\T", u"out"));
    S deepest = u"C:\\T";
    for (int i = 0; i <= FileOperations::kMaxDepth; ++i) deepest += u"\\x";
    EXPECT_EQ(written, Texts{deepest});
}

}  // namespace
}  // namespace marvolt
