// The command line: what a script types, the row it names, and the message
// that carries it to a running Marvolt.
#include "command_line/command_line.h"

#include <gtest/gtest.h>

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
        {u"\"C:\\Program Files\\Marvolt\\Marvolt.exe\"  ", "0 0 "},
        {u"\"C:\\P F\\Marvolt.exe\" /SET \"Speakers 2\"", "3 0 Speakers 2"},
        {u"m -set \"  Headset \" /Playback", "3 1 Headset"},
        {u"m /record /set 2", "3 2 2"},
        {u"m /set Lautsprecher\\\" /record", "3 2 Lautsprecher\""},
        {u"m /set \"Mix \"\"A\"\" \\\\\"", "3 0 Mix \"A\" \\"},
        {u"m /set C:\\x\\\\y", "3 0 C:\\x\\\\y"},  // backslashes before no quote stay
        {u"m /profile Gaming", "4 0 Gaming"},
        {u"m /cycle", "5 0 "},
        {u"m /LIST", "2 0 "},
        {u"m /?", "1 0 "},
        {u"m /set", "-"},
        {u"m /set \"  \"", "-"},
        {u"m /set A /playback /record", "-"},
        {u"m /cycle /record", "-"},
        {u"m /reboot", "-"},
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

}  // namespace
}  // namespace marvolt
