#include "app/tray_menu.h"

#include <algorithm>

#include "platform/text.h"
#include "popup_menu/dynamic_popup_menu.h"

namespace marvolt {

namespace {

constexpr char16_t kHeads[] =
    u"Homepage ..., -,"
    u"Settings ..., -,"
    u"Windows audio settings ..., Windows audio mixer ..., -, Reload list of Soundcards, -,";
constexpr char16_t kTail[] = u"-, Exit";
constexpr char16_t kEntryPrefix[] = u"Soundcard ";

// The entry text of row `index` up to where a default mark would start.
std::u16string EntryName(size_t index, const std::u16string& row) {
    return kEntryPrefix + Decimal(static_cast<long long>(index) + 1) + u": " + row;
}

// As many device entries as the menu can number beside the fixed ones: the
// commands after the devices ("Exit") must never be the ones cut.
size_t MaxDeviceEntries() {
    std::u16string_view fixed[] = {kHeads, kTail};
    size_t fixedFields = 1;
    for (std::u16string_view text : fixed) fixedFields += std::count(text.begin(), text.end(), u',');
    return DynamicPopupMenu::kMaxItemId - fixedFields;
}

}  // namespace

std::u16string ComposeTrayMenu(const std::vector<std::u16string>& rows, const std::u16string& play,
                               const std::u16string& rec, const std::vector<std::u16string>& profiles) {
    std::u16string menu = kHeads;
    // The profiles take their share of the numbers (and their separator's) from the devices.
    const size_t profileCount = std::min(profiles.size(), MaxDeviceEntries() - 1);
    const size_t shown = std::min(rows.size(), MaxDeviceEntries() - (profileCount ? profileCount + 1 : 0));
    for (size_t i = 0; i < shown; ++i) {
        const std::u16string& row = rows[i];
        // A comma in a name must not split its entry.
        menu += EscapeMenuField(EntryName(i, row));
        // No default (an empty value) marks no row, not even one without a name.
        const bool isPlay = !play.empty() && row == play;
        const bool isRec = !rec.empty() && row == rec;
        if (isPlay || isRec) {
            menu += u"  <default>  ";
            if (isPlay && isRec)
                menu += u" (Play + Rec)";
            else if (isPlay)
                menu += u"(Playback)";
            else
                menu += u"(Record)";
        }
        menu += u", ";
    }
    if (profileCount) menu += u"-, ";
    for (size_t i = 0; i < profileCount; ++i) menu += EscapeMenuField(profiles[i]) + u", ";
    menu += kTail;
    return menu;
}

int FindChosenDevice(const std::vector<std::u16string>& rows, const std::u16string& selected) {
    // An entry names its own row by number and name, so nested names such as
    // "Speakers" and "Speakers 2" cannot capture each other's entries. The menu
    // hands back trimmed texts, hence the trimmed comparison for an empty name.
    for (size_t i = 0; i < rows.size(); ++i) {
        std::u16string entry = Trim(EntryName(i, rows[i]));
        if (!StartsWith(selected, entry)) continue;
        std::u16string_view rest = std::u16string_view(selected).substr(entry.size());
        if (rest.empty() || StartsWith(rest, u"  ")) return static_cast<int>(i);
    }
    // An entry of this menu sets its own row or nothing. Texts that are not our
    // own entries still reach a device by its name.
    if (StartsWith(selected, kEntryPrefix)) return -1;
    // The header entry names the default and sets nothing. It is told apart
    // only here, after the device entries, whatever a device's name holds.
    if (Contains(selected, u"Current:")) return -1;
    for (size_t i = 0; i < rows.size(); ++i) {
        std::u16string name = Trim(rows[i]);
        if (!name.empty() && Contains(selected, name)) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace marvolt
