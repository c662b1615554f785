// The updater's command line and its steps: whatever fails, the old program is
// started again and the user is told once; only a verified file replaces it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/text.h"
#include "update/updater.h"

namespace marvolt {
namespace {

using ::testing::_;
using ::testing::Return;
using S = std::u16string;

TEST(UpdaterCommandLine, TakesTheAddressAndAPathWithBlanks) {
    struct Case {
        S line;
        bool ok;
        S url, path;
    } cases[] = {
        {u"\"C:\\a b\\Update.exe\" [URL]http://h/M.exe [PATH]C:\\Program Files\\M.exe", true, u"http://h/M.exe",
         u"C:\\Program Files\\M.exe"},
        {u"Update.exe [URL]http://h/M.exe [PATH]\"C:\\x y\\M.exe\"", true, u"http://h/M.exe", u"C:\\x y\\M.exe"},
        {u"Update.exe [PATH]C:\\M.exe [URL]http://h/M.exe", false, u"", u""},
        {u"Update.exe [URL]http://h/M.exe", false, u"", u""},
        {u"Update.exe [URL] [PATH]C:\\M.exe", false, u"", u""},
        {u"Update.exe [URL]http://h/M.exe [PATH]M.exe", false, u"", u""},
    };
    for (const Case& c : cases) {
        UpdaterRequest request;
        EXPECT_EQ(ParseUpdaterCommandLine(c.line, request), c.ok) << ToUtf8(c.line);
        if (c.ok) EXPECT_EQ(ToUtf8(request.url + u"|" + request.path), ToUtf8(c.url + u"|" + c.path));
    }
}

struct MockPlatform : UpdaterPlatform {
    MOCK_METHOD(bool, WaitForProgramEnd, (const S&), (override));
    MOCK_METHOD(bool, CanWriteIn, (const S&), (override));
    MOCK_METHOD(S, TempFolder, (), (override));
    MOCK_METHOD(std::int32_t, Download, (const S&, const S&), (override));
    MOCK_METHOD(SignatureVerdict, Verify, (const S&, const S&), (override));
    MOCK_METHOD(bool, IsProgramForThisMachine, (const S&), (override));
    MOCK_METHOD(bool, Replace, (const S&, const S&, const S&, bool), (override));
    MOCK_METHOD(bool, MoveBack, (const S&, const S&), (override));
    MOCK_METHOD(bool, Start, (const S&), (override));
    MOCK_METHOD(void, RemoveFile, (const S&), (override));
    MOCK_METHOD(void, Tell, (const S&), (override));
};

struct StepCase {
    const char* name;
    bool ended, writable;
    std::int32_t download;
    SignatureVerdict verdict;
    bool machine, replaced, newStarts;
    int exitCode;
};

class UpdaterSteps : public ::testing::TestWithParam<StepCase> {};

TEST_P(UpdaterSteps, ReplaceOnlyAVerifiedProgramAndAlwaysLeaveOneRunning) {
    const StepCase& c = GetParam();
    const S target = u"C:\\P F\\Marvolt.exe", backup = target + u".old";
    const S fresh = c.writable ? u"C:\\P F\\Marvolt.exe.new" : u"C:\\T\\Marvolt.exe.new";
    ::testing::NiceMock<MockPlatform> p;
    ON_CALL(p, WaitForProgramEnd(target)).WillByDefault(Return(c.ended));
    ON_CALL(p, CanWriteIn(S(u"C:\\P F\\"))).WillByDefault(Return(c.writable));
    ON_CALL(p, TempFolder()).WillByDefault(Return(u"C:\\T\\"));
    ON_CALL(p, Download(_, _)).WillByDefault(Return(c.download));
    ON_CALL(p, Verify(fresh, fresh + u".sig")).WillByDefault(Return(c.verdict));
    ON_CALL(p, IsProgramForThisMachine(fresh)).WillByDefault(Return(c.machine));
    ON_CALL(p, Replace(fresh, target, backup, !c.writable)).WillByDefault(Return(c.replaced));
    bool verified = c.ended && c.download == 0 && c.verdict == SignatureVerdict::Valid && c.machine;
    EXPECT_CALL(p, Download(_, _)).Times(::testing::AnyNumber());
    EXPECT_CALL(p, RemoveFile(_)).Times(::testing::AnyNumber());
    if (c.ended) EXPECT_CALL(p, Download(S(u"http://h/M.exe"), fresh));
    EXPECT_CALL(p, Replace(_, _, _, _)).Times(verified ? 1 : 0);
    // The new program's start, then (on failure) the old one's.
    bool newStarted = verified && c.replaced && c.newStarts;
    auto& start = EXPECT_CALL(p, Start(target)).Times(verified && c.replaced && !c.newStarts ? 2 : 1);
    if (verified && c.replaced) start.WillOnce(Return(c.newStarts));
    EXPECT_CALL(p, MoveBack(backup, target)).Times(verified && c.replaced && !c.newStarts ? 1 : 0);
    EXPECT_CALL(p, Tell(_)).Times(newStarted ? 0 : 1);
    if (newStarted) EXPECT_CALL(p, RemoveFile(backup));
    if (c.ended) EXPECT_CALL(p, RemoveFile(fresh + u".sig"));
    EXPECT_EQ(RunUpdater(u"U.exe [URL]http://h/M.exe [PATH]" + target, p), c.exitCode);
}

constexpr SignatureVerdict kValid = SignatureVerdict::Valid;
INSTANTIATE_TEST_SUITE_P(
    Cases, UpdaterSteps,
    ::testing::Values(StepCase{"updated", true, true, 0, kValid, true, true, true, 0},
                      StepCase{"elevated", true, false, 0, kValid, true, true, true, 0},
                      StepCase{"stillrunning", false, true, 0, kValid, true, true, true, 1},
                      StepCase{"downloadfails", true, true, -2146697211, kValid, true, true, true, 1},
                      StepCase{"tampered", true, true, 0, SignatureVerdict::Invalid, true, true, true, 1},
                      StepCase{"nocng", true, true, 0, SignatureVerdict::Unavailable, true, true, true, 1},
                      StepCase{"othermachine", true, true, 0, kValid, false, true, true, 1},
                      StepCase{"notreplaced", true, true, 0, kValid, true, false, true, 1},
                      StepCase{"newfails", true, true, 0, kValid, true, true, false, 1}),
    [](const ::testing::TestParamInfo<StepCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace marvolt
