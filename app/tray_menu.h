#pragma once
// The tray menu's item string and the way a chosen entry leads back to a device row.
#include <string>
#include <vector>

namespace marvolt {

// The item string for the given device rows; `play` and `rec` are the current
// default devices, already stripped of blanks. Rows beyond what the menu can
// number are left out; the commands after them never are. The profile
// entries follow the devices after a separator, when there are some.
std::u16string ComposeTrayMenu(const std::vector<std::u16string>& rows, const std::u16string& play,
                               const std::u16string& rec, const std::vector<std::u16string>& profiles = {});

// The row that a chosen entry text stands for, or -1 when it names no device.
// A device entry stands for its own row only.
int FindChosenDevice(const std::vector<std::u16string>& rows, const std::u16string& selected);

}  // namespace marvolt
