#include "platform/key_sequence.h"

#include "platform/text.h"

namespace marvolt {

namespace {

bool NamedKey(const std::u16string& name, KeyStroke& stroke) {
    std::u16string upper = ToUpperAscii(name);
    if (upper == u"ENTER") {
        stroke = {KeyStroke::Kind::Enter, 0};
    } else if (upper == u"TAB") {
        stroke = {KeyStroke::Kind::Tab, 0};
    } else if (upper == u"ESC" || upper == u"ESCAPE") {
        stroke = {KeyStroke::Kind::Escape, 0};
    } else if (name == u"{" || name == u"}") {
        stroke = {KeyStroke::Kind::Character, name[0]};
    } else {
        return false;
    }
    return true;
}

}  // namespace

std::vector<KeyStroke> ParseKeySequence(const std::u16string& keys) {
    std::vector<KeyStroke> strokes;
    size_t i = 0;
    while (i < keys.size()) {
        if (keys[i] == u'{') {
            // "{}}" names the closing brace, so the group ends at the next "}" after
            // the first character of the name.
            size_t close = keys.find(u'}', i + 2);
            KeyStroke stroke{};
            if (close != std::u16string::npos && NamedKey(keys.substr(i + 1, close - i - 1), stroke)) {
                strokes.push_back(stroke);
                i = close + 1;
                continue;
            }
        }
        strokes.push_back({KeyStroke::Kind::Character, keys[i]});
        ++i;
    }
    return strokes;
}

}  // namespace marvolt
