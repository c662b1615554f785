// The commands a script gives: in the running program, handed over by a later
// start, or in a start of their own that shows nothing and ends.
#include "app/main_window.h"
#include "app/setting_names.h"
#include "platform/text.h"

namespace marvolt {

void MainWindow::LoadForCommand() {
    LoadDeviceList();
    RestoreRoleBoxes();
}

long MainWindow::OnCommandMessage(std::uint32_t tag, const std::uint8_t* data, std::size_t size) {
    return AnswerCommandMessage(tag, data, size, *this);
}

// A device as its tray entry sets it, for the roles the command names or the
// ticked ones, and without a message box: the exit code tells. Where the
// program sits in the tray, its menu, tip and notification follow.
int MainWindow::RunCommand(const Command& command) {
    if (command.kind == CommandKind::Profile) {
        const ProfileOutcome outcome = ApplyProfile(command.name, false);
        return outcome == ProfileOutcome::Applied ? kExitDone
               : outcome == ProfileOutcome::Refused ? kExitRefused
                                                   : kExitNotFound;
    }
    if (command.kind != CommandKind::Set && command.kind != CommandKind::Cycle) return kExitNotFound;
    const std::vector<std::u16string> rows = DeviceRows();
    const int row = command.kind == CommandKind::Cycle ? NextRowInCycle() : FindCommandRow(rows, command.name);
    if (row < 0) return kExitNotFound;
    const bool play = command.side == CommandSide::Playback ||
                      (command.side == CommandSide::Ticked && view_.PlayCheck().Value() == 1);
    const bool record = command.side == CommandSide::Record ||
                        (command.side == CommandSide::Ticked && view_.RecordCheck().Value() == 1);
    if (!play && !record) return kExitUnreadable;
    const std::u16string device = rows[static_cast<size_t>(row)];
    const bool switched = SwitchTo(device, play, record).outcome != EndpointSwitch::Outcome::Failed;
    if (trayIconActive_) {
        CreatePopupMenu();
        services_.tray.RemoveTrayIcon();
        services_.tray.AddTrayIcon(*this, currentDevice_, true, *this, u"");
        if (switched) TellSwitched(device);
    }
    return switched ? kExitDone : kExitRefused;
}

std::vector<std::u16string> MainWindow::ListLines() {
    const std::vector<std::u16string> rows = DeviceRows();
    const DefaultDevices defaults = CurrentDefaults();
    const std::u16string playback = Trim(defaults.playback), record = Trim(defaults.record);
    std::vector<std::u16string> lines;
    for (size_t i = 0; i < rows.size(); ++i) {
        const std::u16string name = Trim(rows[i]);
        lines.push_back(ListLine(static_cast<int>(i + 1), rows[i], !name.empty() && name == playback,
                                 !name.empty() && name == record));
    }
    for (const auto& [profile, active] : ProfileStates())
        lines.push_back(u"Profile\t" + profile + (active ? u" <active>" : u""));
    return lines;
}

}  // namespace marvolt
