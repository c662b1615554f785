#pragma once
#include "platform/environment.h"
#include "platform/known_folders.h"

namespace marvolt {

class Win32KnownFolders : public KnownFolders {
public:
    std::u16string Path(KnownFolder folder) override;
};

class Win32Environment : public Environment {
public:
    std::u16string Variable(const std::u16string& name) override;
};

}  // namespace marvolt
