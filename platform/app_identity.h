#pragma once
#include <string>

namespace marvolt {

// Who the running program is: its application title (readable and writable at
// run time, the product name at start), its folder and its executable's base name.
class AppIdentity {
public:
    virtual ~AppIdentity() = default;
    virtual std::u16string Title() = 0;
    virtual void SetTitle(const std::u16string& title) = 0;
    virtual std::u16string ProgramFolder() = 0;   // as the system reports it, may end in "\"
    virtual std::u16string ExeBaseName() = 0;     // without ".exe"
};

}  // namespace marvolt
