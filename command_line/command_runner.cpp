#include "command_line/command_runner.h"

#include "platform/text.h"

namespace marvolt {

std::optional<int> SettleCommand(const std::optional<Command>& command,
                                 const CommandHandOverServices& services) {
    if (!command || command->kind == CommandKind::Usage) {
        services.console.Write(FromUtf8(kUsageText));
        return command ? kExitDone : kExitUnreadable;
    }
    if (command->kind == CommandKind::Start || command->kind == CommandKind::List ||
        !services.instances.EarlierInstanceRunning())
        return std::nullopt;
    NativeHandle window = services.windows.FindByClassInProcess(
        services.windowClass, services.instances.EarlierInstanceProcess());
    // No window: the running one is just starting or ending.
    const long answer = window ? services.windows
                                     .SendData(window, kCommandMessageTag, EncodeCommand(*command),
                                               kCommandAnswerMs)
                                     .value_or(0)
                               : 0;
    if (answer < kCommandAnswer + kExitDone || answer > kCommandAnswer + kExitNoAnswer)
        return kExitNoAnswer;
    return static_cast<int>(answer - kCommandAnswer);
}

int RunCommandHere(const Command& command, CommandTarget& target, ConsoleOutput& console) {
    if (command.kind != CommandKind::List) return target.RunCommand(command);
    for (const std::u16string& line : target.ListLines()) console.Write(line + u"\r\n");
    return kExitDone;
}

long AnswerCommandMessage(std::uint32_t tag, const std::uint8_t* data, std::size_t size,
                          CommandTarget& target) {
    std::optional<Command> command = DecodeCommand(tag, data, size);
    return command ? kCommandAnswer + target.RunCommand(*command) : 0;
}

}  // namespace marvolt
