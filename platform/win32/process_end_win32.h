#pragma once
#include "platform/process_end.h"

namespace marvolt {

class Win32ProcessEnd : public ProcessEnd {
public:
    [[noreturn]] void EndNow() override;
};

}  // namespace marvolt
