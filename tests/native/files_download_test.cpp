// The download's target names and the hand-over to the updater, over mocks of
// the file system, the download and the signature check.
#include "update/files_download.h"

#include <gmock/gmock.h>

#include <map>

#include "platform/text.h"
#include "update/release_version.h"

namespace marvolt {
namespace {

using ::testing::_;
using ::testing::Return;
using S = std::u16string;

struct Mocks : UrlDownload,
               FileProbe,
               SignatureCheck,
               PendingEvents,
               MessageService,
               ProcessLauncher,
               ProcessEnd,
               FileVersionReader {
    MOCK_METHOD(void, ForgetCachedCopy, (const S&), (override));
    MOCK_METHOD(std::int32_t, DownloadToFile, (const S&, const S&), (override));
    MOCK_METHOD(bool, CanWriteIn, (const S&), (override));
    MOCK_METHOD(S, UserDownloadFolder, (), (override));
    MOCK_METHOD(SignatureVerdict, Verify, (const S&, const S&), (override));
    MOCK_METHOD(void, ProcessPending, (), (override));
    MOCK_METHOD(MessageAnswer, ShowMessage, (const S&, const S&, MessageButtons, MessageIcon),
                (override));
    MOCK_METHOD(std::uint32_t, StartProcess, (const S&, int), (override));
    MOCK_METHOD(bool, ReadFileVersion, (const S&, FileVersion&), (override));
    [[noreturn]] void EndNow() override { throw 0; }
    bool RemoveFile(const S& path) override { return disk.erase(path) > 0; }
    std::uint32_t Attributes(const S& path) override {
        return disk.count(path) ? disk[path] : kNoSuchPath;
    }
    // Attributes by path; "C:\x" and names ending in "\" are folders.
    std::map<S, std::uint32_t> disk;
};

struct TargetCase {
    const char16_t *url, *dest;
    std::int32_t overwrite;
    std::vector<S> present;
    const char16_t* want;  // empty when nothing is downloaded
    std::int32_t error;
};
void PrintTo(const TargetCase& c, std::ostream* out) { *out << ToUtf8(c.dest); }
class DownloadTarget : public ::testing::TestWithParam<TargetCase> {};

TEST_P(DownloadTarget, PicksTheNameThenDropsTheCachedCopyAndDownloads) {
    const TargetCase& c = GetParam();
    ::testing::NiceMock<Mocks> m;
    for (const S& path : c.present)
        m.disk[path] = path == u"C:\\x" || path.back() == u'\\' ? kAttrDirectory : 0x20;
    FilesDownload files({m, m, m, m, m, m, m, m}, u"C:\\P", u"");
    S url = StripQuotes(c.url);
    ::testing::InSequence order;
    int downloads = *c.want || c.error < 0 ? 1 : 0;
    EXPECT_CALL(m, ForgetCachedCopy(url)).Times(downloads);
    ON_CALL(m, DownloadToFile(_, _)).WillByDefault(Return(c.error));
    EXPECT_CALL(m, DownloadToFile(url, S(*c.want ? c.want : c.dest))).Times(downloads);
    EXPECT_EQ(ToUtf8(files.URLToFileDownload(c.url, c.dest, c.overwrite)), ToUtf8(c.want));
    EXPECT_EQ(ToUtf8(S(files.LastError().source) + Decimal(files.LastError().number)),
              c.error ? "modURLDownload.URLDownload" + std::to_string(c.error) : "0");
}

// The way the updater is fetched: over whatever is there.
INSTANTIATE_TEST_SUITE_P(
    Cases, DownloadTarget,
    ::testing::Values(
        TargetCase{u"http://h/D/Zarnik-Updater.exe",
                   u"C:\\x",
                   3,
                   {u"C:\\x"},
                   u"C:\\x\\Zarnik-Updater.exe",
                   0},
        TargetCase{u"http://h/f.exe", u"C:\\x\\", 3, {u"C:\\x\\"}, u"C:\\x\\f.exe", 0},
        TargetCase{u"\"http://h/a.txt\"", u"\"C:\\x\\b.txt\"", 3, {}, u"C:\\x\\b.txt", 0},
        TargetCase{u"\"http://h/q", u"C:\\x\\q\"", 3, {}, u"C:\\x\\q\"", 0},
        TargetCase{u"http://h/a.txt", u"C:\\gone\\a.txt", 3, {}, u"C:\\gone\\a.txt", 0},
        TargetCase{u"http://h/a.txt", u"C:\\x\\a.txt", 3, {u"C:\\x\\a.txt"}, u"C:\\x\\a.txt", 0},
        TargetCase{u"no-slash", u"C:\\x", 3, {u"C:\\x"}, u"", kErrorNoNameInUrl},
        TargetCase{u"http://h/a/", u"C:\\x", 3, {u"C:\\x"}, u"", kErrorNoNameInUrl},
        TargetCase{u"http://h/..\\..\\evil.exe", u"C:\\x", 3, {u"C:\\x"}, u"", kErrorNoNameInUrl},
        TargetCase{u"http://h/a\\b.exe", u"C:\\x", 3, {u"C:\\x"}, u"", kErrorNoNameInUrl},
        TargetCase{u"http://h/a.txt", u"C:\\x\\a.txt", 3, {}, u"", -2146697211}));

struct HandoverCase {
    const char* name;
    std::uint32_t besideProgram;  // the updater's attributes there
    bool writable;
    std::int32_t download;
    SignatureVerdict verdict;
    const char16_t* started;  // empty when refused
    FileVersion fetched = {u"Update.exe", BuiltVersion().major, BuiltVersion().minor};
};
void PrintTo(const HandoverCase& c, std::ostream* out) { *out << c.name; }
class Handover : public ::testing::TestWithParam<HandoverCase> {};

TEST_P(Handover, StartsOnlyAnUpdaterBesideTheProgramOrAVerifiedDownload) {
    const HandoverCase& c = GetParam();
    ::testing::NiceMock<Mocks> m;
    if (c.besideProgram != kNoSuchPath) m.disk[u"C:\\P F\\Update.exe"] = c.besideProgram;
    m.disk[u"Update.exe"] = 0x20;  // one in the current folder is never taken
    ON_CALL(m, CanWriteIn(S(u"C:\\P F"))).WillByDefault(Return(c.writable));
    ON_CALL(m, UserDownloadFolder()).WillByDefault(Return(u"C:\\U\\"));
    ON_CALL(m, DownloadToFile(_, _)).WillByDefault([&](const S&, const S& file) {
        if (c.download == 0) m.disk[file] = 0x20;
        return c.download;
    });
    ON_CALL(m, Verify(_, _)).WillByDefault(Return(c.verdict));
    ON_CALL(m, ReadFileVersion(_, _)).WillByDefault([&](const S&, FileVersion& version) {
        version = c.fetched;
        return true;
    });
    FilesDownload files({m, m, m, m, m, m, m, m}, u"C:\\P F", u"http://h/Zarnik-Updater.exe");
    EXPECT_CALL(
        m, StartProcess(u"\"" + S(c.started) + u"\" [URL]http://h/M.exe [PATH]C:\\P F\\M.exe", 1))
        .Times(*c.started ? 1 : 0);
    EXPECT_CALL(m, ShowMessage(S(u"Update.exe\r\rDownload Failed! "), S(), MessageButtons::Ok,
                               MessageIcon::Critical))
        .Times(*c.started ? 0 : 1);
    bool ended = false;
    try {
        EXPECT_FALSE(files.DownloadUpdateWithUpdater(u"http://h/M.exe", u"C:\\P F\\M.exe",
                                                     u"Update.exe", u"http://h/U"));
    } catch (int) {
        ended = true;
    }
    EXPECT_EQ(ended, *c.started != 0);
    EXPECT_EQ(m.disk.count(u"C:\\P F\\Update.exe.sig") + m.disk.count(u"C:\\U\\Update.exe.sig"),
              0u);
    EXPECT_EQ(m.disk.size(), *c.started ? m.disk.size() : 1u) << "a refused download stays on disk";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Handover,
    ::testing::Values(
        HandoverCase{"present", 0x21, false, 1, SignatureVerdict::Invalid, u"C:\\P F\\Update.exe"},
        HandoverCase{"hidden", kAttrHidden, true, 5, SignatureVerdict::Valid, u""},
        HandoverCase{"hiddenreplaced", kAttrHidden, true, 0, SignatureVerdict::Valid,
                     u"C:\\P F\\Update.exe"},
        HandoverCase{"fetched", kNoSuchPath, true, 0, SignatureVerdict::Valid,
                     u"C:\\P F\\Update.exe"},
        HandoverCase{"peruser", kNoSuchPath, false, 0, SignatureVerdict::Valid,
                     u"C:\\U\\Update.exe"},
        HandoverCase{"changed", kNoSuchPath, true, 0, SignatureVerdict::Invalid, u""},
        HandoverCase{"nocng", kNoSuchPath, false, 0, SignatureVerdict::Unavailable, u""},
        HandoverCase{"down", kNoSuchPath, true, -2146697211, SignatureVerdict::Valid, u""},
        HandoverCase{"older",
                     kNoSuchPath,
                     true,
                     0,
                     SignatureVerdict::Valid,
                     u"",
                     {u"Update.exe", BuiltVersion().major - 1, BuiltVersion().minor}},
        HandoverCase{"programserved",
                     kNoSuchPath,
                     true,
                     0,
                     SignatureVerdict::Valid,
                     u"",
                     {u"Marvolt.exe", BuiltVersion().major + 1, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace marvolt
