#include "platform/win32/keystrokes_win32.h"

#include <windows.h>

#include <vector>

#include "platform/key_sequence.h"

namespace marvolt {

namespace {

void AddKey(std::vector<INPUT>& inputs, WORD virtualKey, wchar_t character) {
    for (DWORD up : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = virtualKey;
        input.ki.wScan = character;
        input.ki.dwFlags = up | (virtualKey ? 0 : KEYEVENTF_UNICODE);
        inputs.push_back(input);
    }
}

}  // namespace

void Win32Keystrokes::SendKeys(const std::u16string& keys) {
    std::vector<INPUT> inputs;
    for (const KeyStroke& stroke : ParseKeySequence(keys)) {
        switch (stroke.kind) {
            case KeyStroke::Kind::Enter: AddKey(inputs, VK_RETURN, 0); break;
            case KeyStroke::Kind::Tab: AddKey(inputs, VK_TAB, 0); break;
            case KeyStroke::Kind::Escape: AddKey(inputs, VK_ESCAPE, 0); break;
            case KeyStroke::Kind::Character: AddKey(inputs, 0, static_cast<wchar_t>(stroke.character)); break;
        }
    }
    if (!inputs.empty()) SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace marvolt
