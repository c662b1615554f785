#pragma once
// The part of the usual keystroke notation the program supports: plain
// characters, {ENTER}, {TAB}, {ESC} (or {ESCAPE}), and {{} / {}} for the braces.
#include <string>
#include <vector>

namespace marvolt {

struct KeyStroke {
    enum class Kind { Character, Enter, Tab, Escape };
    Kind kind;
    char16_t character;  // for Kind::Character
    bool operator==(const KeyStroke& other) const {
        return kind == other.kind && (kind != Kind::Character || character == other.character);
    }
};

// Unknown brace groups and unmatched braces are typed as the characters they are.
std::vector<KeyStroke> ParseKeySequence(const std::u16string& keys);

}  // namespace marvolt
