#pragma once
// A start with a command: handed to a running Marvolt where there is one, or
// carried out by this process, which then ends.
#include <optional>
#include <string>
#include <vector>

#include "command_line/command_line.h"
#include "platform/console_output.h"
#include "platform/instance_query.h"
#include "platform/top_level_windows.h"

namespace marvolt {

// What carries out a command in a process: the settings window's logic, in
// the running Marvolt or, with its window never shown, in the one started.
class CommandTarget {
  public:
    virtual ~CommandTarget() = default;
    // /set, /profile or /cycle, done as the tray does them; an exit code.
    virtual int RunCommand(const Command& command) = 0;
    // /list: a line for each device, then one for each profile.
    virtual std::vector<std::u16string> ListLines() = 0;
};

struct CommandHandOverServices {
    ConsoleOutput& console;
    InstanceQuery& instances;
    TopLevelWindows& windows;
    const char16_t* windowClass;  // the running Marvolt's window, in its process
};

constexpr unsigned kCommandAnswerMs = 5000;
// A running Marvolt answers a command with this and the exit code; an earlier
// release that knows no commands answers 0.
constexpr long kCommandAnswer = 0x4D560000;

// What a start can settle before anything is built: a line that can't be read,
// the usage, and a command that a running Marvolt carries out. The exit code
// when that was all; nothing when this process has the rest to do (an
// ordinary start among them).
std::optional<int> SettleCommand(const std::optional<Command>& command,
                                 const CommandHandOverServices& services);

// The command carried out by this process, its lines written.
int RunCommandHere(const Command& command, CommandTarget& target, ConsoleOutput& console);

// The running Marvolt's answer to a command message from another process: 0
// for anything but a whole command.
long AnswerCommandMessage(std::uint32_t tag, const std::uint8_t* data, std::size_t size,
                          CommandTarget& target);

}  // namespace marvolt
