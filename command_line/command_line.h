#pragma once
// What Marvolt is asked to do when started with arguments: the switches, the
// usage text, the exit codes, and the message that hands a command to a running
// Marvolt. Started without arguments it is the tray program as ever.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace marvolt {

enum class CommandKind : std::uint32_t { Start = 0, Usage, List, Set, Profile, Cycle };
// Which side a /set switches: what the settings window's boxes say, or one side.
enum class CommandSide : std::uint32_t { Ticked = 0, Playback, Record };

struct Command {
    CommandKind kind = CommandKind::Start;
    CommandSide side = CommandSide::Ticked;
    std::u16string name;  // the device or profile for /set and /profile
};

enum ExitCode : int {
    kExitDone = 0,
    kExitUnreadable = 1,  // the command line can't be read; the usage is written
    kExitNotFound = 2,    // no such device or profile; nothing changed
    kExitRefused = 3,     // Windows refused the switch; the Sound Mapper values are written
    kExitNoAnswer = 4,    // a running Marvolt did not answer in time
};

// The arguments after the program's name in a whole command line, split as
// the C runtime splits them: blanks separate, double quotes group, backslashes
// escape only the quotes they precede.
std::vector<std::u16string> SplitArguments(const std::u16string& commandLine);

// The command of a whole command line; nothing when it can't be read. Switches
// start with "/" or "-" and are read in any case.
std::optional<Command> ParseCommand(const std::u16string& commandLine);

// ASCII, kept narrow: it is only ever written out.
extern const char kUsageText[];

// The row a /set names: its text as the device list shows it (blanks around it
// don't count; case does), or its number in the tray menu. -1: no such row.
int FindCommandRow(const std::vector<std::u16string>& rows, const std::u16string& nameOrNumber);

// One line of /list: number, tab, name, and the roles it is the default for.
std::u16string ListLine(int number, const std::u16string& name, bool playback, bool record);

// The hand-over to a running Marvolt: the message's tag, and its bytes.
constexpr std::uint32_t kCommandMessageTag = 0x4D56434D;  // "MVCM"
constexpr std::uint32_t kCommandMessageVersion = 1;
std::vector<std::uint8_t> EncodeCommand(const Command& command);
// Nothing unless the bytes are a command this version sends, whole.
std::optional<Command> DecodeCommand(std::uint32_t tag, const std::uint8_t* data, std::size_t size);

}  // namespace marvolt
