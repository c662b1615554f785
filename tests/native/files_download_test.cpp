// The download's target names and the hand-over to the updater, over mocks of
// the file system, the download and the signature check.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

#include "platform/text.h"
#include "update/files_download.h"

namespace marvolt {
namespace {

using ::testing::_;
using ::testing::Invoke;
using ::testing::Return;
using S = std::u16string;

struct Mocks : UrlDownload, FileProbe, SignatureCheck, PendingEvents, MessageService, ProcessLauncher, ProcessEnd {
    MOCK_METHOD(void, ForgetCachedCopy, (const std::u16string&), (override));
    MOCK_METHOD(std::int32_t, DownloadToFile, (const std::u16string&, const std::u16string&), (override));
    MOCK_METHOD(bool, CanWriteIn, (const std::u16string&), (override));
    MOCK_METHOD(bool, RemoveFile, (const std::u16string&), (override));
    MOCK_METHOD(std::u16string, UserDownloadFolder, (), (override));
    MOCK_METHOD(SignatureVerdict, Verify, (const std::u16string&, const std::u16string&), (override));
    MOCK_METHOD(void, ProcessPending, (), (override));
    MOCK_METHOD(MessageAnswer, ShowMessage,
                (const std::u16string&, const std::u16string&, MessageButtons, MessageIcon), (override));
    MOCK_METHOD(std::uint32_t, StartProcess, (const std::u16string&, int), (override));
    MOCK_METHOD(void, Ended, ());
    [[noreturn]] void EndNow() override {
        Ended();
        throw 0;
    }
    // The disk: path -> attributes; a download adds its target.
    std::uint32_t Attributes(const std::u16string& path) override {
        auto found = disk.find(path);
        return found == disk.end() ? kNoSuchPath : found->second;
    }
    std::map<std::u16string, std::uint32_t> disk;
};

struct TargetCase {
    const char16_t* url;
    const char16_t* dest;
    std::int32_t overwrite;
    std::vector<const char16_t*> present;  // "C:\x" and names ending in "\" are folders
    const char16_t* want;                  // empty: nothing downloaded
    std::int32_t error;
};

class DownloadTarget : public ::testing::TestWithParam<TargetCase> {};

TEST_P(DownloadTarget, PicksTheNameThenDropsTheCachedCopyAndDownloads) {
    const TargetCase& c = GetParam();
    ::testing::NiceMock<Mocks> m;
    for (S path : c.present) m.disk[path] = path == u"C:\\x" || path.back() == u'\\' ? kAttrDirectory : 0x20;
    FilesDownload files({m, m, m, m, m, m, m}, u"C:\\P", u"");
    std::u16string url = StripQuotes(c.url);
    if (*c.want) {
        ::testing::InSequence order;
        EXPECT_CALL(m, ForgetCachedCopy(url));
        EXPECT_CALL(m, ProcessPending());
        EXPECT_CALL(m, DownloadToFile(url, std::u16string(c.want))).WillOnce(Return(0));
    } else {
        EXPECT_CALL(m, ForgetCachedCopy(_)).Times(c.error < 0 ? 1 : 0);
        EXPECT_CALL(m, DownloadToFile(_, _)).WillRepeatedly(Return(c.error));
    }
    EXPECT_EQ(ToUtf8(files.URLToFileDownload(c.url, c.dest, c.overwrite)), ToUtf8(c.want));
    EXPECT_EQ(files.LastError().number, c.error);
    EXPECT_EQ(files.LastError().source, c.error ? u"modURLDownload.URLDownload" : u"");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DownloadTarget,
    ::testing::Values(
        TargetCase{u"http://h/D/Zarnik-Updater.exe", u"C:\\x", 3, {u"C:\\x"}, u"C:\\x\\Zarnik-Updater.exe", 0},
        TargetCase{u"http://h/f.exe", u"C:\\x\\", 0, {u"C:\\x\\"}, u"C:\\x\\f.exe", 0},
        TargetCase{u"http://h/a.txt", u"C:\\x\\a.txt", 0, {u"C:\\x\\a.txt", u"C:\\x\\a (2).txt"}, u"C:\\x\\a (3).txt",
                   0},
        TargetCase{u"http://h/r", u"C:\\x\\readme", 0, {u"C:\\x\\readme"}, u"C:\\x\\readme (2)", 0},
        TargetCase{u"http://h/u", u"Update.exe", 0, {u"Update.exe"}, u"Update (2).exe", 0},
        TargetCase{u"http://h/u", u"Update.exe", 0, {}, u"Update.exe", 0},
        TargetCase{u"\"http://h/a.txt\"", u"\"C:\\x\\b.txt\"", 0, {}, u"C:\\x\\b.txt", 0},
        // A missing folder is no folder: the name is the file to write.
        TargetCase{u"http://h/a.txt", u"C:\\gone\\a.txt", 3, {}, u"C:\\gone\\a.txt", 0},
        TargetCase{u"http://h/a.txt", u"C:\\x\\a.txt", 3, {u"C:\\x\\a.txt"}, u"C:\\x\\a.txt", 0},
        TargetCase{u"http://h/a.txt", u"C:\\x\\a.txt", 1, {u"C:\\x\\a.txt"}, u"", 0},
        TargetCase{u"http://h/a.txt", u"C:\\x\\a.txt", 2, {u"C:\\x\\a.txt"}, u"", kErrorTargetPresent},
        TargetCase{u"no-slash", u"C:\\x", 3, {u"C:\\x"}, u"", kErrorNoNameInUrl},
        TargetCase{u"no-slash", u"C:\\x", 0, {u"C:\\x"}, u"", kErrorNoNameInUrl},
        TargetCase{u"http://h/a.txt", u"C:\\x\\a.txt", 0, {}, u"", -2146697211}));

TEST(DownloadText, QuotesAndJoinedPaths) {
    struct Case {
        std::u16string in, want;
    } quotes[] = {{u"\"", u"\""}, {u"\"\"", u""}, {u"\"a", u"\"a"}, {u"a\"", u"a\""}, {u"\"a b\"", u"a b"}};
    for (const Case& c : quotes) EXPECT_EQ(StripQuotes(c.in), c.want) << ToUtf8(c.in);
    EXPECT_EQ(JoinPath(u"", u"n"), u"n");
    EXPECT_EQ(JoinPath(u"C:\\", u"n"), u"C:\\n");
    EXPECT_EQ(JoinPath(u"C:\\x", u"n"), u"C:\\x\\n");
}

struct HandoverCase {
    const char* name;
    std::uint32_t updaterAttributes;  // beside the program; kNoSuchPath: missing
    bool folderWritable;
    std::int32_t downloadResult;
    SignatureVerdict verdict;
    const char16_t* started;  // the updater started, or empty: refused
};

class Handover : public ::testing::TestWithParam<HandoverCase> {};

TEST_P(Handover, StartsOnlyAnUpdaterBesideTheProgramOrAVerifiedDownload) {
    const HandoverCase& c = GetParam();
    ::testing::NiceMock<Mocks> m;
    const std::u16string beside = u"C:\\P F\\Update.exe", user = u"C:\\U\\Marvolt\\Update.exe";
    if (c.updaterAttributes != kNoSuchPath) m.disk[beside] = c.updaterAttributes;
    m.disk[u"C:\\Update.exe"] = 0x20;  // one in the current folder is never taken
    ON_CALL(m, CanWriteIn(S(u"C:\\P F"))).WillByDefault(Return(c.folderWritable));
    ON_CALL(m, UserDownloadFolder()).WillByDefault(Return(u"C:\\U\\Marvolt\\"));
    ON_CALL(m, DownloadToFile(_, _)).WillByDefault(Invoke([&](const std::u16string&, const std::u16string& file) {
        if (c.downloadResult == 0) m.disk[file] = 0x20;
        return c.downloadResult;
    }));
    ON_CALL(m, Verify(_, _)).WillByDefault(Return(c.verdict));
    ON_CALL(m, RemoveFile(_)).WillByDefault(Invoke([&](const std::u16string& file) { return m.disk.erase(file) > 0; }));
    FilesDownload files({m, m, m, m, m, m, m}, u"C:\\P F", u"http://h/Zarnik-Updater.exe");
    const std::u16string program = u"C:\\P F\\Marvolt.exe";
    if (*c.started) {
        EXPECT_CALL(m, StartProcess(u"\"" + std::u16string(c.started) + u"\" [URL]http://h/M.exe [PATH]" + program, 1));
        EXPECT_CALL(m, Ended());
        EXPECT_CALL(m, ShowMessage(_, _, _, _)).Times(0);
        EXPECT_ANY_THROW(files.DownloadUpdateWithUpdater(u"http://h/M.exe", program, u"Update.exe", u"http://h/U.exe"));
    } else {
        EXPECT_CALL(m, StartProcess(_, _)).Times(0);
        EXPECT_CALL(m, ShowMessage(S(u"Update.exe\r\rDownload Failed! "), S(), MessageButtons::Ok, MessageIcon::Critical));
        EXPECT_FALSE(files.DownloadUpdateWithUpdater(u"http://h/M.exe", program, u"Update.exe", u"http://h/U.exe"));
    }
    EXPECT_EQ(m.disk.count(beside + u".sig") + m.disk.count(user + u".sig"), 0u);
    if (!*c.started) EXPECT_EQ(m.disk.count(user) + (c.updaterAttributes == kNoSuchPath ? m.disk.count(beside) : 0), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Handover,
    ::testing::Values(HandoverCase{"present", 0x21, false, 1, SignatureVerdict::Invalid, u"C:\\P F\\Update.exe"},
                      HandoverCase{"hidden", kAttrHidden, true, 0, SignatureVerdict::Valid, u"C:\\P F\\Update.exe"},
                      HandoverCase{"fetched", kNoSuchPath, true, 0, SignatureVerdict::Valid, u"C:\\P F\\Update.exe"},
                      HandoverCase{"peruser", kNoSuchPath, false, 0, SignatureVerdict::Valid,
                                   u"C:\\U\\Marvolt\\Update.exe"},
                      HandoverCase{"changed", kNoSuchPath, true, 0, SignatureVerdict::Invalid, u""},
                      HandoverCase{"nocng", kNoSuchPath, false, 0, SignatureVerdict::Unavailable, u""},
                      HandoverCase{"down", kNoSuchPath, true, -2146697211, SignatureVerdict::Valid, u""}),
    [](const ::testing::TestParamInfo<HandoverCase>& info) { return std::string(info.param.name); });

TEST(Handover, DefaultsFetchTheUpdaterByItsOwnName) {
    ::testing::NiceMock<Mocks> m;
    ON_CALL(m, CanWriteIn(_)).WillByDefault(Return(true));
    EXPECT_CALL(m, DownloadToFile(S(u"http://h/Zarnik-Updater.exe"), S(u"C:\\P\\Zarnik-Updater.exe"))).WillOnce(Return(5));
    EXPECT_CALL(m, ShowMessage(S(u"Zarnik-Updater.exe\r\rDownload Failed! "), _, _, _));
    FilesDownload files({m, m, m, m, m, m, m}, u"C:\\P", u"http://h/Zarnik-Updater.exe");
    EXPECT_FALSE(files.DownloadUpdateWithUpdater(u"http://h/M.exe", u"C:\\P\\Marvolt.exe"));
}

}  // namespace
}  // namespace marvolt
