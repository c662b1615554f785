#pragma once
#include <windows.h>

#include "platform/console_output.h"

namespace marvolt {

// Standard output where it is a file or a pipe; otherwise the console of the
// process that started this one, attached at the first line. Lines that have
// nowhere to go are dropped: the exit code still tells.
class ConsoleOutputWin32 final : public ConsoleOutput {
  public:
    ~ConsoleOutputWin32() override;
    void Write(const std::u16string& text) override;

  private:
    HANDLE Target();

    HANDLE target_ = nullptr;
    bool looked_ = false, console_ = false, ownsTarget_ = false;
};

}  // namespace marvolt
