#include "command_line/command_line.h"

#include "platform/text.h"

namespace marvolt {

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

// A switch's name in lower case, without its "/" or "-"; empty for an argument
// that is no switch.
std::u16string SwitchName(const std::u16string& argument) {
    if (argument.size() < 2 || (argument[0] != u'/' && argument[0] != u'-')) return u"";
    return ToLowerAscii(argument.substr(1));
}

// Longer names than this are no device's: a device list cuts names at 31
// characters, a profile's name is typed by a person.
constexpr std::size_t kMostNameLength = 256;

std::uint32_t GetWord(const std::uint8_t* data) {
    return data[0] | data[1] << 8 | data[2] << 16 | static_cast<std::uint32_t>(data[3]) << 24;
}

// A command as either end of the hand-over takes it: only what changes devices
// goes to a running Marvolt, with a name for /set and /profile and none for /cycle.
bool IsHandedOver(const Command& command) {
    switch (command.kind) {
        case CommandKind::Set:
            return !command.name.empty() && command.side <= CommandSide::Record;
        case CommandKind::Profile:
            return !command.name.empty() && command.side == CommandSide::Ticked;
        case CommandKind::Cycle:
            return command.name.empty() && command.side == CommandSide::Ticked;
        default:
            return false;
    }
}

}  // namespace

const char kUsageText[] =
    "Marvolt.exe [/set \"<device>\" [/playback | /record] | /profile \"<name>\" | /cycle |\r\n"
    "             /list | /?]\r\n"
    "<device>: its name as the list shows it, or its number in the tray menu.\r\n"
    "Exit codes: 0 done, 1 unreadable, 2 no such device or profile,\r\n"
    "3 refused by Windows, 4 no answer from the running Marvolt.\r\n";

std::vector<std::u16string> SplitArguments(const std::u16string& commandLine) {
    std::vector<std::u16string> arguments;
    std::size_t at = 0, end = commandLine.size();
    // The program's name goes first: up to the closing quote when it starts
    // with one, else up to the first blank; no escapes.
    if (at < end && commandLine[at] == u'"') {
        at = commandLine.find(u'"', at + 1);
        at = at == std::u16string::npos ? end : at + 1;
    }
    while (at < end && !IsBlank(commandLine[at])) ++at;
    for (;;) {
        while (at < end && IsBlank(commandLine[at])) ++at;
        if (at == end) break;
        std::u16string argument;
        bool quoted = false;
        while (at < end && (quoted || !IsBlank(commandLine[at]))) {
            std::size_t backslashes = 0;
            while (at < end && commandLine[at] == u'\\') ++backslashes, ++at;
            if (at < end && commandLine[at] == u'"') {
                argument.append(backslashes / 2, u'\\');
                if (backslashes % 2) {
                    argument += u'"';
                } else if (quoted && at + 1 < end && commandLine[at + 1] == u'"') {
                    argument += u'"';  // "" within quotes is one quote
                    ++at;
                } else {
                    quoted = !quoted;
                }
                ++at;
            } else {
                argument.append(backslashes, u'\\');
                if (at < end && backslashes == 0) argument += commandLine[at++];
            }
        }
        arguments.push_back(argument);
    }
    return arguments;
}

std::optional<Command> ParseCommand(const std::u16string& commandLine) {
    // Each switch's name, and the command or side it stands for: verbs first.
    struct Switch {
        const char16_t* name;
        CommandKind kind;
        CommandSide side;
    };
    static const Switch kSwitches[] = {
        {u"set", CommandKind::Set, CommandSide::Ticked},
        {u"profile", CommandKind::Profile, CommandSide::Ticked},
        {u"cycle", CommandKind::Cycle, CommandSide::Ticked},
        {u"list", CommandKind::List, CommandSide::Ticked},
        {u"?", CommandKind::Usage, CommandSide::Ticked},
        {u"help", CommandKind::Usage, CommandSide::Ticked},
        {u"playback", CommandKind::Start, CommandSide::Playback},
        {u"record", CommandKind::Start, CommandSide::Record},
    };
    const std::vector<std::u16string> arguments = SplitArguments(commandLine);
    Command command;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::u16string name = SwitchName(arguments[i]);
        const Switch* found = nullptr;
        for (const Switch& known : kSwitches)
            if (name == known.name) found = &known;
        if (!found) return std::nullopt;
        if (found->kind == CommandKind::Start) {  // a side, once
            if (command.side != CommandSide::Ticked) return std::nullopt;
            command.side = found->side;
            continue;
        }
        if (command.kind != CommandKind::Start) return std::nullopt;  // one command at a time
        command.kind = found->kind;
        if (command.kind == CommandKind::Set || command.kind == CommandKind::Profile) {
            if (i + 1 == arguments.size()) return std::nullopt;
            command.name = Trim(arguments[++i]);
            if (command.name.empty() || command.name.size() > kMostNameLength) return std::nullopt;
        }
    }
    if (command.side != CommandSide::Ticked && command.kind != CommandKind::Set)
        return std::nullopt;
    return command;
}

int FindCommandRow(const std::vector<std::u16string>& rows, const std::u16string& nameOrNumber) {
    const std::u16string wanted = Trim(nameOrNumber);
    if (wanted.empty()) return -1;
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (Trim(rows[i]) == wanted) return static_cast<int>(i);
    long long number = 0;
    const bool digits = wanted.find_first_not_of(u"0123456789") == std::u16string::npos;
    if (digits && ParseInteger(wanted, number) && number >= 1 &&
        number <= static_cast<long long>(rows.size()) && !Trim(rows[number - 1]).empty())
        return static_cast<int>(number - 1);
    return -1;
}

std::u16string ListLine(int number, const std::u16string& name, bool playback, bool record) {
    std::u16string line = Decimal(number) + u"\t" + name;
    if (playback || record)
        line += playback && record ? u" <default> (Playback, Record)"
                : playback         ? u" <default> (Playback)"
                                   : u" <default> (Record)";
    return line;
}

std::vector<std::uint8_t> EncodeCommand(const Command& command) {
    const std::uint32_t head[] = {kCommandMessageVersion, static_cast<std::uint32_t>(command.kind),
                                  static_cast<std::uint32_t>(command.side)};
    std::vector<std::uint8_t> bytes(sizeof head + 2 * command.name.size());
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        const std::uint32_t unit = at < sizeof head
                                       ? head[at / 4] >> (at % 4 * 8)
                                       : command.name[(at - sizeof head) / 2] >> (at % 2 * 8);
        bytes[at] = static_cast<std::uint8_t>(unit);
    }
    return bytes;
}

std::optional<Command> DecodeCommand(std::uint32_t tag, const std::uint8_t* data,
                                     std::size_t size) {
    constexpr std::size_t kHead = 12;
    if (tag != kCommandMessageTag || !data || size < kHead || (size - kHead) % 2 ||
        (size - kHead) / 2 > kMostNameLength || GetWord(data) != kCommandMessageVersion)
        return std::nullopt;
    Command command;
    command.kind = static_cast<CommandKind>(GetWord(data + 4));
    command.side = static_cast<CommandSide>(GetWord(data + 8));
    for (std::size_t at = kHead; at < size; at += 2)
        command.name += static_cast<char16_t>(data[at] | data[at + 1] << 8);
    if (!IsHandedOver(command) || command.name != Trim(command.name)) return std::nullopt;
    return command;
}

}  // namespace marvolt
