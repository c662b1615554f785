// The yardsticks start the way Marvolt does: at their own entry point, without
// the C runtime's start-up code, so that it is not counted against Marvolt.
#include <windows.h>

extern "C" __attribute__((force_align_arg_pointer)) void WinMainCRTStartup() {
    ::ExitProcess(static_cast<UINT>(WinMain(::GetModuleHandleW(nullptr), nullptr, ::GetCommandLineA(), SW_SHOWDEFAULT)));
}
