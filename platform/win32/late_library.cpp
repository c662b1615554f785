#include "platform/win32/late_library.h"

#include <commctrl.h>

namespace marvolt {

// Loaded from the system folder only, never from the program's folder or the
// current one; systems without that search flag (Windows 7 without its loader
// update) refuse it as a parameter and take the ordinary search. One attempt
// only: a missing library stays missing for the life of the owner.
FARPROC LateLibrary::Address(const char* name) {
    if (!tried_) {
        tried_ = true;
        module_.reset(LoadLibraryExW(fileName_, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
        if (!module_ && GetLastError() == ERROR_INVALID_PARAMETER) module_.reset(LoadLibraryW(fileName_));
    }
    return module_ ? GetProcAddress(module_.get(), name) : nullptr;
}

void LoadCommonControls(DWORD classes) {
    HMODULE commonControls = LoadLibraryW(L"comctl32.dll");
    if (!commonControls) return;
    using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    auto init = reinterpret_cast<InitFunction>(
        reinterpret_cast<void*>(GetProcAddress(commonControls, "InitCommonControlsEx")));
    INITCOMMONCONTROLSEX controls{sizeof(controls), classes};
    if (init) init(&controls);
}

}  // namespace marvolt
