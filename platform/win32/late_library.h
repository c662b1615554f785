#pragma once
#include <windows.h>

#include "platform/win32/unique_handle.h"

namespace marvolt {

// A system library that is mapped only when one of its functions is first
// asked for, and freed with its owner.
class LateLibrary {
public:
    explicit LateLibrary(const wchar_t* fileName) : fileName_(fileName) {}

    // Function is the type the SDK header declares (decltype(&::Name)), so the
    // calling convention is the system's. Null when the library or the function
    // is missing; the caller reads that as the call failing.
    template <typename Function>
    Function Find(const char* name) {
        return reinterpret_cast<Function>(reinterpret_cast<void*>(Address(name)));
    }

private:
    FARPROC Address(const char* name);

    const wchar_t* fileName_;
    bool tried_ = false;
    UniqueModule module_;
};

// Loads the common controls and registers `classes` (ICC_* flags) of them. They
// are loaded when a window first needs them, never imported, and stay for the
// life of the process, as the windows made of them do.
void LoadCommonControls(DWORD classes);

}  // namespace marvolt
