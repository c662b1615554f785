#pragma once
#include "platform/shell_association.h"

namespace marvolt {

class Win32ShellAssociation : public ShellAssociation {
public:
    std::optional<std::u16string> ProgramForFile(const std::u16string& file) override;
};

}  // namespace marvolt
