#pragma once
#include <string>

namespace marvolt {

// Where a start with a command writes its lines: the console it was started
// from, or standard output where that is a file or a pipe (in UTF-8).
class ConsoleOutput {
  public:
    virtual ~ConsoleOutput() = default;
    virtual void Write(const std::u16string& text) = 0;
};

}  // namespace marvolt
