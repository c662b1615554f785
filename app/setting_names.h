#pragma once
// Where the settings window keeps its options in the settings store: the
// section of the options, and the names the hotkey and the cycle are kept under.

namespace marvolt {

constexpr char16_t kSettings[] = u"Settings";
constexpr char16_t kCycleHotkey[] = u"CycleHotkey";
// Which roles a switch sets: "all", "default" or "communications".
constexpr char16_t kRoles[] = u"Roles";
// One value a device, named after it: "0" takes it out of the cycle.
constexpr char16_t kCycleThrough[] = u"CycleThrough";

}  // namespace marvolt
