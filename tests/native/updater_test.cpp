// The updater's command line and its steps: whatever fails, the old program is
// started again and the user is told once; only a verified file replaces it.
// Before it, the download of the updater and the hand-over to it, over mocks of
// the file system, the download and the signature check.
#include "update/updater.h"

#include <gmock/gmock.h>

#include <map>

#include "platform/text.h"
#include "update/files_download.h"
#include "update/release_version.h"
#include "update/update_addresses.h"

namespace marvolt {
namespace {

using ::testing::_;
using ::testing::Return;
using S = std::u16string;

TEST(UpdaterCommandLine, TakesTheAddressAndAPathWithBlanks) {
    struct Case {
        S line, want;  // want: "<url>|<path>", empty when refused
    } const cases[] = {
        {u"\"C:\\a b\\U.exe\" [URL]http://h/M.exe [PATH]C:\\Program Files\\M.exe",
         u"http://h/M.exe|C:\\Program Files\\M.exe"},
        {u"U.exe [URL]http://h/M.exe [PATH]\"C:\\x y\\M.exe\"", u"http://h/M.exe|C:\\x y\\M.exe"},
        {u"U.exe [PATH]C:\\M.exe [URL]http://h/M.exe", u""},
        {u"U.exe [PATH]C:\\M.exe", u""},
        {u"U.exe [URL] [PATH]C:\\M.exe", u""},
        {u"U.exe [URL]http://h/M.exe [PATH]M.exe", u""},
        {u"U.exe [URL]http://h/M.exe [PATH]C:\\M.exe\"", u"http://h/M.exe|C:\\M.exe\""},
        {u"\"D:\\My [URL] x\\U.exe\" [URL]http://h/M.exe [PATH]D:\\M.exe",
         u"http://h/M.exe|D:\\M.exe"},
    };
    for (const Case& c : cases) {
        UpdaterRequest r;
        bool parsed = ParseUpdaterCommandLine(c.line, r);
        EXPECT_EQ(ToUtf8(parsed ? r.url + u"|" + r.path : u""), ToUtf8(c.want));
    }
}

struct MockPlatform : UpdaterPlatform {
    MOCK_METHOD(bool, WaitForProgramEnd, (const S&), (override));
    MOCK_METHOD(bool, CanWriteIn, (const S&), (override));
    MOCK_METHOD(S, TempFolder, (), (override));
    MOCK_METHOD(std::int32_t, Download, (const S&, const S&), (override));
    MOCK_METHOD(SignatureVerdict, Verify, (const S&, const S&), (override));
    MOCK_METHOD(bool, IsProgramForThisMachine, (const S&), (override));
    MOCK_METHOD(bool, ReadFileVersion, (const S&, FileVersion&), (override));
    MOCK_METHOD(bool, Replace, (const S&, const S&, const S&, bool), (override));
    MOCK_METHOD(bool, Pin, (const S&), (override));
    MOCK_METHOD(bool, InstallPinned, (const S&, const S&), (override));
    MOCK_METHOD(bool, MoveBack, (const S&, const S&), (override));
    MOCK_METHOD(bool, Start, (const S&), (override));
    MOCK_METHOD(void, RemoveFile, (const S&), (override));
    MOCK_METHOD(void, Tell, (const S&), (override));
};

TEST(UpdaterSteps, ReplaceOnlyAVerifiedProgramAndAlwaysLeaveOneRunning) {
    constexpr SignatureVerdict kValid = SignatureVerdict::Valid;
    struct Case {
        const char* name;
        bool ended, writable;
        std::int32_t download;
        SignatureVerdict verdict;
        bool machine, replaced, newStarts;
        // Its version resource (the program here is Marvolt.exe 1.01); none without a name.
        FileVersion offered = {u"Marvolt.exe", 1, 2};
    } const cases[] = {
        {"updated", true, true, 0, kValid, true, true, true},
        {"elevated", true, false, 0, kValid, true, true, true},
        {"stillrunning", false, true, 0, kValid, true, true, true},
        {"downloadfails", true, true, -2146697211, kValid, true, true, true},
        {"tampered", true, true, 0, SignatureVerdict::Invalid, true, true, true},
        {"nocng", true, true, 0, SignatureVerdict::Unavailable, true, true, true},
        {"othermachine", true, true, 0, kValid, false, true, true},
        {"notreplaced", true, true, 0, kValid, true, false, true},
        {"newfails", true, true, 0, kValid, true, true, false},
        {"noversion", true, true, 0, kValid, true, true, true, {}},
        {"theupdater", true, true, 0, kValid, true, true, true, {u"Update.exe", 1, 2}},
        {"same", true, true, 0, kValid, true, true, true, {u"Marvolt.exe", 1, 1}},
        {"older", true, true, 0, kValid, true, true, true, {u"Marvolt.exe", 0, 9}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const S target = u"C:\\P F\\M.exe", backup = target + u".old",
                fresh = (c.writable ? u"C:\\P F\\" : u"C:\\T\\") + S(u"M.exe.new");
        ::testing::NiceMock<MockPlatform> p;
        ON_CALL(p, WaitForProgramEnd(target)).WillByDefault(Return(c.ended));
        ON_CALL(p, CanWriteIn(S(u"C:\\P F\\"))).WillByDefault(Return(c.writable));
        ON_CALL(p, TempFolder()).WillByDefault(Return(u"C:\\T\\"));
        std::vector<S> downloads, removed;
        ON_CALL(p, Download(_, _)).WillByDefault([&](const S& url, const S& file) {
            downloads.push_back(url + u">" + file);
            return EndsWith(url, u".sig") ? c.download : 0;  // the signature's download fails
        });
        ON_CALL(p, Verify(fresh, fresh + u".sig")).WillByDefault(Return(c.verdict));
        ON_CALL(p, IsProgramForThisMachine(fresh)).WillByDefault(Return(c.machine));
        ON_CALL(p, ReadFileVersion(_, _)).WillByDefault([&](const S& file, FileVersion& v) {
            v = file == target ? FileVersion{u"Marvolt.exe", 1, 1} : c.offered;
            return !v.originalName.empty();
        });
        ON_CALL(p, Replace(fresh, target, backup, !c.writable)).WillByDefault(Return(c.replaced));
        bool verified = c.ended && c.download == 0 && c.verdict == kValid && c.machine &&
                        c.offered.originalName == u"Marvolt.exe" && c.offered.minor == 2;
        bool putBack = verified && c.replaced && !c.newStarts,
             updated = verified && c.replaced && c.newStarts;
        EXPECT_CALL(p, Replace(_, _, _, _)).Times(verified ? 1 : 0);
        // The new one, or the old one again.
        auto& start = EXPECT_CALL(p, Start(target)).Times(putBack ? 2 : 1);
        if (verified && c.replaced) start.WillOnce(Return(c.newStarts));
        if (putBack) start.WillOnce(Return(true));
        EXPECT_CALL(p, MoveBack(backup, target)).Times(putBack ? 1 : 0);
        EXPECT_CALL(p, Tell(_)).Times(updated ? 0 : 1);
        ON_CALL(p, RemoveFile(_)).WillByDefault([&](const S& file) { removed.push_back(file); });
        EXPECT_EQ(RunUpdater(u"U.exe [URL]http://h/M.exe [PATH]" + target, p), updated ? 0 : 1);
        EXPECT_EQ(downloads.empty() ? u"" : downloads.front(),
                  c.ended ? u"http://h/M.exe>" + fresh : u"");
        EXPECT_EQ(removed.empty() ? u"" : removed.front(), c.ended ? fresh + u".sig" : u"");
        EXPECT_EQ(removed.empty() ? u"" : removed.back(), updated ? backup : c.ended ? fresh : u"");
    }
}

TEST(UpdaterSteps, ABadCommandLineChangesNothingAndSaysSo) {
    ::testing::StrictMock<MockPlatform> p;
    EXPECT_CALL(p, Tell(_));
    EXPECT_EQ(RunUpdater(u"U.exe [URL]http://h/M.exe", p), 2);
}

// A plain-http address elsewhere is refused, so it reads as the built-in one.
TEST(UpdateAddresses, HttpsOrThisMachineOnly) {
    struct Case {
        S address;
        bool accepted;
    } const cases[] = {
        {u"https://updates.example.org", true},
        {u"http://LOCALHOST:8000/build", true},
        {u"http://localhost:80@updates.example.org/", false},
        {u"http://127.0.0.1.example.org/", false},
        {u"http://localhost:1\\updates.example.org/", false},
        {u"ftp://127.0.0.1/", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsAcceptedAddress(c.address), c.accepted) << ToUtf8(c.address);
}

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
    // Attributes by path.
    std::map<S, std::uint32_t> disk;
};

// The updater and its signature are fetched over whatever is there, the cached
// copy dropped first. A folder of that name takes the file, under the name the
// address ends with where that stays inside it.
TEST(DownloadTarget, FetchesOverWhatIsThereAfterDroppingTheCachedCopy) {
    struct Case {
        const char16_t *url, *dest;
        std::uint32_t there;   // the attributes at dest
        const char16_t* want;  // empty when nothing is downloaded
    } const cases[] = {
        {u"http://h/U.exe", u"C:\\x\\U.exe", kNoSuchPath, u"C:\\x\\U.exe"},
        {u"http://h/U.exe", u"C:\\x\\U.exe", 0x20, u"C:\\x\\U.exe"},
        {u"http://h/D/U.exe", u"C:\\x", kAttrDirectory, u"C:\\x\\U.exe"},
        {u"http://h/..\\..\\evil.exe", u"C:\\x", kAttrDirectory, u""},
        {u"http://h/a\\b.exe", u"C:\\x", kAttrDirectory, u""},
    };
    for (const Case& c : cases) {
        ::testing::NiceMock<Mocks> m;
        if (c.there != kNoSuchPath) m.disk[c.dest] = c.there;
        FilesDownload files({m, m, m, m, m, m, m, m}, u"C:\\P", u"");
        ::testing::InSequence order;
        EXPECT_CALL(m, ForgetCachedCopy(S(c.url))).Times(*c.want ? 1 : 0);
        EXPECT_CALL(m, DownloadToFile(S(c.url), S(c.want))).Times(*c.want ? 1 : 0);
        EXPECT_EQ(ToUtf8(files.URLToFileDownload(c.url, c.dest, 3)), ToUtf8(c.want));
    }
}

// The updater beside the program, an ordinary file, is started as it is; one
// fetched must pass the signature and version checks, or the user is told.
TEST(Handover, StartsOnlyAnUpdaterBesideTheProgramOrAVerifiedDownload) {
    constexpr SignatureVerdict kValid = SignatureVerdict::Valid;
    const S beside = u"C:\\P F\\Update.exe";
    struct Case {
        const char* name;
        std::uint32_t besideProgram;  // the updater's attributes there
        bool writable;
        std::int32_t download;
        SignatureVerdict verdict;
        const char16_t* started;  // empty when refused
        const char16_t* fetchedName = u"Update.exe";
        int majorStep = 0;  // the fetched version's major against the built one
    } const cases[] = {
        {"present", 0x21, false, 1, SignatureVerdict::Invalid, beside.c_str()},
        {"hidden", kAttrHidden, true, 5, kValid, u""},
        {"hiddenreplaced", kAttrHidden, true, 0, kValid, beside.c_str()},
        {"fetched", kNoSuchPath, true, 0, kValid, beside.c_str()},
        {"peruser", kNoSuchPath, false, 0, kValid, u"C:\\U\\Update.exe"},
        {"changed", kNoSuchPath, true, 0, SignatureVerdict::Invalid, u""},
        {"nocng", kNoSuchPath, false, 0, SignatureVerdict::Unavailable, u""},
        {"down", kNoSuchPath, true, -2146697211, kValid, u""},
        {"older", kNoSuchPath, true, 0, kValid, u"", u"Update.exe", -1},
        {"programserved", kNoSuchPath, true, 0, kValid, u"", u"Marvolt.exe", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ::testing::NiceMock<Mocks> m;
        if (c.besideProgram != kNoSuchPath) m.disk[beside] = c.besideProgram;
        m.disk[u"Update.exe"] = 0x20;  // one in the current folder is never taken
        ON_CALL(m, CanWriteIn(S(u"C:\\P F"))).WillByDefault(Return(c.writable));
        ON_CALL(m, UserDownloadFolder()).WillByDefault(Return(u"C:\\U\\"));
        ON_CALL(m, DownloadToFile(_, _)).WillByDefault([&](const S&, const S& file) {
            if (c.download == 0) m.disk[file] = 0x20;
            return c.download;
        });
        ON_CALL(m, Verify(_, _)).WillByDefault(Return(c.verdict));
        ON_CALL(m, ReadFileVersion(_, _)).WillByDefault([&](const S&, FileVersion& version) {
            version = {c.fetchedName, BuiltVersion().major + c.majorStep, BuiltVersion().minor};
            return true;
        });
        FilesDownload files({m, m, m, m, m, m, m, m}, u"C:\\P F", u"http://h/Zarnik-Updater.exe");
        EXPECT_CALL(
            m,
            StartProcess(u"\"" + S(c.started) + u"\" [URL]http://h/M.exe [PATH]C:\\P F\\M.exe", 1))
            .Times(*c.started ? 1 : 0);
        EXPECT_CALL(m, ShowMessage(S(u"Update.exe\r\rDownload Failed! "), _, _, _))
            .Times(*c.started ? 0 : 1);
        bool ended = false;
        try {
            EXPECT_FALSE(files.DownloadUpdateWithUpdater(u"http://h/M.exe", u"C:\\P F\\M.exe",
                                                         u"Update.exe", u"http://h/U"));
        } catch (int) {
            ended = true;
        }
        EXPECT_EQ(ended, *c.started != 0);
        EXPECT_EQ(m.disk.count(beside + u".sig") + m.disk.count(u"C:\\U\\Update.exe.sig"), 0u);
        EXPECT_EQ(m.disk.size(), *c.started ? 2u : 1u) << "a refused download stays on disk";
    }
}

}  // namespace
}  // namespace marvolt
