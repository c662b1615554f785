#include "platform/win32/console_output_win32.h"

#include <string>

#include "platform/win32/win_text.h"

namespace marvolt {

ConsoleOutputWin32::~ConsoleOutputWin32() {
    if (ownsTarget_) CloseHandle(target_);
}

HANDLE ConsoleOutputWin32::Target() {
    if (looked_) return target_;
    looked_ = true;
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (output && output != INVALID_HANDLE_VALUE && GetFileType(output) != FILE_TYPE_UNKNOWN) {
        target_ = output;
        console_ = GetConsoleMode(output, &mode) != FALSE;
        return target_;
    }
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return nullptr;
    output = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (output == INVALID_HANDLE_VALUE) return nullptr;
    target_ = output;
    console_ = ownsTarget_ = true;
    return target_;
}

void ConsoleOutputWin32::Write(const std::u16string& text) {
    HANDLE target = Target();
    if (!target || text.empty()) return;
    DWORD written = 0;
    if (console_) {
        WriteConsoleW(target, Wide(text), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, Wide(text), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size > 0 ? size : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, Wide(text), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
    WriteFile(target, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace marvolt
