#pragma once
#include "platform/win32/late_library.h"
#include "platform/shell_association.h"

namespace marvolt {

class Win32ShellAssociation : public ShellAssociation {
public:
    std::optional<std::u16string> ProgramForFile(const std::u16string& file) override;

private:
    LateLibrary shell32_{L"shell32.dll"};
};

}  // namespace marvolt
