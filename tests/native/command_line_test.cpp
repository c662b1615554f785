// The command line: what a script types, the row it names, and the message
// that carries it to a running Marvolt.
#include "command_line/command_line.h"

#include <gtest/gtest.h>

#include "command_line/command_runner.h"
#include "platform/text.h"

namespace marvolt {
namespace {

// A command as "kind side name"; "-" for a line that can't be read.
std::string Shown(const std::optional<Command>& command) {
    if (!command) return "-";
    return std::to_string(static_cast<int>(command->kind)) + " " +
           std::to_string(static_cast<int>(command->side)) + " " + ToUtf8(command->name);
}

TEST(CommandLine, SwitchesAndNamesAsAScriptTypesThem) {
    const std::pair<const char16_t*, const char*> cases[] = {
        {u"Marvolt.exe", "0 0 "},
        {u"\"C:\\Program Files\\Marvolt\\Marvolt.exe\"  ", "0 0 "},
        {u"\"C:\\P F\\Marvolt.exe\" /SET \"Speakers 2\"", "3 0 Speakers 2"},
        {u"m -set \"  Headset \" /Playback", "3 1 Headset"},
        {u"m /record /set 2", "3 2 2"},
        {u"m /set Lautsprecher\\\" /record", "3 2 Lautsprecher\""},
        {u"m /set \"Mix \"\"A\"\" \\\\\"", "3 0 Mix \"A\" \\"},
        {u"m /set \"\u041d\"", "3 0 \u041d"},
        {u"m /profile Gaming", "4 0 Gaming"},
        {u"m /cycle", "5 0 "},
        {u"m /LIST", "2 0 "},
        {u"m /?", "1 0 "},
        {u"m /set", "-"},
        {u"m /set \"  \"", "-"},
        {u"m /set A /playback /record", "-"},
        {u"m /cycle /record", "-"},
        {u"m /list /cycle", "-"},
        {u"m /set A B", "-"},
        {u"m /reboot", "-"},
        {u"m /", "-"},
        {u"m list", "-"},
    };
    for (const auto& [line, command] : cases)
        EXPECT_EQ(Shown(ParseCommand(line)), command) << ToUtf8(line);
}

TEST(CommandLine, RowsByExactNameOrTrayNumber) {
    const std::vector<std::u16string> rows = {u"Speakers 2", u" Speakers ", u"", u"7", u"Headset"};
    const std::pair<const char16_t*, int> cases[] = {
        {u"Speakers", 1}, {u"Speakers 2", 0}, {u"speakers", -1}, {u"Speak", -1},
        {u"5", 4},        {u"7", 3},          {u"1", 0},         {u"3", -1},
        {u"6", -1},       {u"0", -1},         {u"+2", -1},       {u"", -1},
    };
    for (const auto& [name, row] : cases)
        EXPECT_EQ(FindCommandRow(rows, name), row) << ToUtf8(name);
    EXPECT_EQ(ListLine(2, u"Headset", true, true), u"2\tHeadset <default> (Playback, Record)");
    EXPECT_EQ(ListLine(3, u"Line", false, true), u"3\tLine <default> (Record)");
}

// A command goes over whole; anything else a window may be sent is refused.
TEST(CommandLine, OnlyAWholeCommandOfThisVersionIsTakenFromTheMessage) {
    for (const char16_t* line :
         {u"m /set \"Speakers 2\" /record", u"m /profile \u041dWork", u"m /cycle"}) {
        const std::vector<std::uint8_t> bytes = EncodeCommand(*ParseCommand(line));
        EXPECT_EQ(Shown(DecodeCommand(kCommandMessageTag, bytes.data(), bytes.size())),
                  Shown(ParseCommand(line)));
    }
    auto forged = [](std::vector<std::uint8_t> bytes, std::size_t at, std::uint8_t value) {
        if (at < bytes.size()) bytes[at] = value;
        return bytes;
    };
    const std::vector<std::uint8_t> set =
        EncodeCommand({CommandKind::Set, CommandSide::Ticked, u"A"});
    const std::vector<std::uint8_t> refused[] = {
        forged(set, 0, 2),                                              // another version
        forged(set, 4, 2),                                              // /list
        forged(set, 4, 9),                                              // no command
        forged(set, 8, 3),                                              // no side
        std::vector<std::uint8_t>(set.begin(), set.end() - 1),          // cut
        std::vector<std::uint8_t>(set.begin(), set.begin() + 12),       // no name
        EncodeCommand({CommandKind::Cycle, CommandSide::Record, u""}),  // a side for /cycle
        EncodeCommand({CommandKind::Set, CommandSide::Ticked, u" A"}),  // blanks
        EncodeCommand({CommandKind::Set, CommandSide::Ticked, std::u16string(300, u'x')}),
    };
    for (const auto& bytes : refused)
        EXPECT_EQ(Shown(DecodeCommand(kCommandMessageTag, bytes.data(), bytes.size())), "-")
            << bytes.size();
    EXPECT_EQ(Shown(DecodeCommand(kCommandMessageTag + 1, set.data(), set.size())), "-");
    EXPECT_EQ(Shown(DecodeCommand(kCommandMessageTag, nullptr, 14)), "-");
}

// The running Marvolt as far as a start with a command sees it: a process with
// or without its window, whose window answers through its logic, or not at all.
struct Running : InstanceQuery, TopLevelWindows, ConsoleOutput, CommandTarget {
    bool running = true, window = true, answers = true, oldRelease = false;
    std::string written, done;
    bool EarlierInstanceRunning() override { return running; }
    std::uint32_t EarlierInstanceProcess() override { return 77; }
    NativeHandle FindByClassInProcess(const std::u16string& name, std::uint32_t process) override {
        return window && name == u"Form" && process == 77 ? 5 : 0;
    }
    void ShowAsync(NativeHandle, int) override {}
    void SetTopmost(NativeHandle, bool) override {}
    bool IsTopmost(NativeHandle) override { return false; }
    std::optional<long> SendData(NativeHandle to, std::uint32_t tag,
                                 const std::vector<std::uint8_t>& bytes, unsigned) override {
        if (!answers) return std::nullopt;
        return oldRelease ? 0 : AnswerCommandMessage(tag, bytes.data(), bytes.size(), *this);
    }
    void Write(const std::u16string& text) override { written += ToUtf8(text); }
    int RunCommand(const Command& command) override {
        done = Shown(command);
        return kExitRefused;
    }
    std::vector<std::u16string> ListLines() override { return {u"1	A", u"2	B"}; }
};

// A start with a command settles what it can at once and hands a switch to the
// running Marvolt, whose answer becomes the exit code.
TEST(CommandLine, ASwitchGoesToTheRunningMarvoltAndItsAnswerIsTheExitCode) {
    struct Case {
        const char16_t* line;
        bool running, window, answers, oldRelease;
        std::optional<int> code;
        const char *done, *written;
    } const cases[] = {
        {u"m /set \"Speakers 2\" /record", true, true, true, false, 3, "3 2 Speakers 2", ""},
        {u"m /cycle", true, true, false, false, 4, "", ""},
        {u"m /cycle", true, true, true, true, 4, "", ""},
        {u"m /cycle", true, false, true, false, 4, "", ""},
        {u"m /cycle", false, true, true, false, std::nullopt, "", ""},
        {u"m /list", true, true, true, false, std::nullopt, "", ""},
        {u"m", true, true, true, false, std::nullopt, "", ""},
        {u"m /?", true, true, true, false, 0, "", "Usage: "},
        {u"m /what", true, true, true, false, 1, "", "Usage: "},
    };
    for (const Case& c : cases) {
        Running marvolt;
        marvolt.running = c.running, marvolt.window = c.window, marvolt.answers = c.answers;
        marvolt.oldRelease = c.oldRelease;
        EXPECT_EQ(SettleCommand(ParseCommand(c.line), {marvolt, marvolt, marvolt, u"Form"}), c.code)
            << ToUtf8(c.line);
        EXPECT_EQ(marvolt.done, c.done) << ToUtf8(c.line);
        EXPECT_EQ(marvolt.written.substr(0, 7), c.written) << ToUtf8(c.line);
    }
    Running here;
    EXPECT_EQ(RunCommandHere(*ParseCommand(u"m /list"), here, here), 0);
    EXPECT_EQ(here.written, "1\tA\r\n2\tB\r\n");
    EXPECT_EQ(AnswerCommandMessage(kCommandMessageTag, nullptr, 0, here), 0);
    EXPECT_EQ(here.done, "");
}

}  // namespace
}  // namespace marvolt
