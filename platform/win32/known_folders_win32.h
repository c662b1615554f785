#pragma once
#include <windows.h>

#include "platform/win32/late_library.h"
#include "platform/environment.h"
#include "platform/known_folders.h"

namespace marvolt {

class Win32KnownFolders : public KnownFolders {
public:
    std::u16string Path(KnownFolder folder) override;

private:
    std::u16string ShellFolder(const GUID& id);
    LateLibrary shell32_{L"shell32.dll"};
};

class Win32Environment : public Environment {
public:
    std::u16string Variable(const std::u16string& name) override;
};

}  // namespace marvolt
