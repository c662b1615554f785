#pragma once
#include <string>

#include "platform/app_identity.h"

namespace marvolt {

// A module path split the way the program reports its own location.
struct ModulePathParts {
    std::u16string folder;    // no trailing "\" except at a drive root ("C:\")
    std::u16string baseName;  // file name without a final ".exe"
};
ModulePathParts SplitModulePath(const std::u16string& path);

class AppIdentityWin32 final : public AppIdentity {
public:
    AppIdentityWin32();
    std::u16string Title() override { return title_; }
    void SetTitle(const std::u16string& title) override { title_ = title; }
    std::u16string ProgramFolder() override { return parts_.folder; }
    std::u16string ExeBaseName() override { return parts_.baseName; }

private:
    std::u16string title_;
    ModulePathParts parts_;
};

}  // namespace marvolt
