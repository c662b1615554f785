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

void PutWord(std::vector<std::uint8_t>& bytes, std::uint32_t word) {
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<std::uint8_t>(word >> shift));
}

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
    "Usage: Marvolt.exe [command]\r\n"
    "\r\n"
    "  (none)                    start in the notification area\r\n"
    "  /set \"<device>\"           make the device the default for the ticked roles;\r\n"
    "                            <device> is its name or its number in the tray menu\r\n"
    "  /set \"<device>\" /playback  only for playback\r\n"
    "  /set \"<device>\" /record    only for recording\r\n"
    "  /profile \"<name>\"         apply the profile\r\n"
    "  /cycle                    the next device, as the cycling hotkey does\r\n"
    "  /list                     the devices and the profiles\r\n"
    "  /?                        this text\r\n"
    "\r\n"
    "Exit codes: 0 done, 1 the command line can't be read, 2 no such device or\r\n"
    "profile, 3 Windows refused the switch, 4 the running Marvolt did not answer.\r\n";

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
    const std::vector<std::u16string> arguments = SplitArguments(commandLine);
    Command command;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::u16string name = SwitchName(arguments[i]);
        const bool verb = name == u"set" || name == u"profile" || name == u"cycle" ||
                          name == u"list" || name == u"?" || name == u"help";
        if (verb) {
            if (command.kind != CommandKind::Start) return std::nullopt;  // one command at a time
            command.kind = name == u"set"       ? CommandKind::Set
                           : name == u"profile" ? CommandKind::Profile
                           : name == u"cycle"   ? CommandKind::Cycle
                           : name == u"list"    ? CommandKind::List
                                                : CommandKind::Usage;
            if (command.kind == CommandKind::Set || command.kind == CommandKind::Profile) {
                if (i + 1 == arguments.size()) return std::nullopt;
                command.name = Trim(arguments[++i]);
                if (command.name.empty() || command.name.size() > kMostNameLength)
                    return std::nullopt;
            }
        } else if ((name == u"playback" || name == u"record") &&
                   command.side == CommandSide::Ticked) {
            command.side = name == u"playback" ? CommandSide::Playback : CommandSide::Record;
        } else {
            return std::nullopt;
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
    std::vector<std::uint8_t> bytes;
    PutWord(bytes, kCommandMessageVersion);
    PutWord(bytes, static_cast<std::uint32_t>(command.kind));
    PutWord(bytes, static_cast<std::uint32_t>(command.side));
    for (char16_t c : command.name)
        bytes.push_back(static_cast<std::uint8_t>(c)), bytes.push_back(c >> 8);
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
