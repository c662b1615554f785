#include "app/device_cycle.h"

#include "platform/text.h"

namespace marvolt {

namespace {

struct NamedKey {
    std::uint8_t key;
    const char16_t* name;
};
constexpr NamedKey kNamedKeys[] = {{0x13, u"Pause"}, {0x20, u"Space"}, {0x21, u"PgUp"},  {0x22, u"PgDn"},
                                   {0x23, u"End"},   {0x24, u"Home"},  {0x25, u"Left"},  {0x26, u"Up"},
                                   {0x27, u"Right"}, {0x28, u"Down"},  {0x2D, u"Ins"},   {0x2E, u"Del"}};
constexpr std::uint8_t kF1 = 0x70;
constexpr int kFunctionKeys = 24;
constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";

bool IsLetterOrDigit(std::uint8_t key) { return (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'); }

// The key a part of a stored text names (lower case, trimmed); 0 when none.
std::uint8_t KeyNamed(const std::u16string& part) {
    if (part.size() == 1) {
        char16_t c = part[0];
        if (c >= u'a' && c <= u'z') return static_cast<std::uint8_t>(c - u'a' + 'A');
        if (c >= u'0' && c <= u'9') return static_cast<std::uint8_t>(c);
    }
    for (const NamedKey& named : kNamedKeys)
        if (part == ToLowerAscii(named.name)) return named.key;
    long long number = 0;
    if (StartsWith(part, u"f") && ParseInteger(part.substr(1), number) && number >= 1 && number <= kFunctionKeys)
        return static_cast<std::uint8_t>(kF1 + number - 1);
    if (part.size() == 4 && StartsWith(part, u"0x")) {
        int code = 0;
        for (char16_t c : part.substr(2)) {
            std::u16string_view digits = u"0123456789abcdef";
            size_t digit = digits.find(c);
            if (digit == std::u16string_view::npos) return 0;
            code = code * 16 + static_cast<int>(digit);
        }
        // Every code but 0, 0xFF too: HotkeyText writes them all this way.
        return static_cast<std::uint8_t>(code);
    }
    return 0;
}

}  // namespace

std::u16string HotkeyText(const Hotkey& hotkey) {
    if (hotkey.key == 0) return u"none";
    std::u16string text;
    if (hotkey.modifiers & kHotkeyControl) text += u"Ctrl+";
    if (hotkey.modifiers & kHotkeyAlt) text += u"Alt+";
    if (hotkey.modifiers & kHotkeyShift) text += u"Shift+";
    const std::uint8_t key = hotkey.key;
    if (IsLetterOrDigit(key)) return text + static_cast<char16_t>(key);
    if (key >= kF1 && key < kF1 + kFunctionKeys) return text + u"F" + Decimal(key - kF1 + 1);
    for (const NamedKey& named : kNamedKeys)
        if (named.key == key) return text + named.name;
    return text + u"0x" + kHexDigits[key >> 4] + kHexDigits[key & 15];
}

std::optional<Hotkey> ParseHotkey(const std::u16string& text) {
    const std::u16string lower = ToLowerAscii(Trim(text));
    if (lower == u"none") return Hotkey{};
    Hotkey hotkey;
    for (size_t start = 0;;) {
        size_t plus = lower.find(u'+', start);
        std::u16string part = Trim(std::u16string_view(lower).substr(start, plus - start));
        if (plus == std::u16string::npos) {
            hotkey.key = KeyNamed(part);
            if (hotkey.key == 0) return std::nullopt;
            return hotkey;
        }
        std::uint8_t bit = part == u"ctrl"    ? kHotkeyControl
                           : part == u"alt"   ? kHotkeyAlt
                           : part == u"shift" ? kHotkeyShift
                                              : 0;
        if (bit == 0 || (hotkey.modifiers & bit)) return std::nullopt;
        hotkey.modifiers |= bit;
        start = plus + 1;
    }
}

int NextCycleRow(const std::vector<CycleRow>& rows, const std::u16string& current) {
    const size_t count = rows.size();
    bool anyTicked = false;
    size_t start = 0;
    bool found = false;
    for (size_t i = 0; i < count; ++i) {
        anyTicked = anyTicked || rows[i].ticked;
        if (!found && rows[i].name == current) found = true, start = i + 1;
    }
    int sameName = -1;
    for (size_t step = 0; step < count; ++step) {
        const size_t i = (start + step) % count;
        const CycleRow& row = rows[i];
        if (!row.present || row.name.empty() || (anyTicked && !row.ticked)) continue;
        // Two devices of one model share a name: switching between them writes
        // the same name, so the cycle goes on to a device of another name.
        if (row.name != current) return static_cast<int>(i);
        if (sameName < 0) sameName = static_cast<int>(i);
    }
    return sameName;
}

std::optional<std::uint32_t> ChangePacer::OnChange(std::uint32_t now) {
    // A wait that should long have ended was lost (its timer never came): a
    // change starts a new one rather than never reloading again.
    if (waiting_ && now - waitStart_ <= 2 * kInterval) return std::nullopt;
    waiting_ = true;
    waitStart_ = now;
    const std::uint32_t since = now - lastReload_;
    if (!reloaded_ || since >= kInterval - kSettle) return kSettle;
    return kInterval - since;
}

void ChangePacer::OnReload(std::uint32_t now) {
    waiting_ = false;
    reloaded_ = true;
    lastReload_ = now;
}

}  // namespace marvolt
