#include "platform/win32/process_end_win32.h"

#include <windows.h>

namespace marvolt {

// No window gets its close or destroy messages; the system removes the windows
// and releases the handles, the single-instance mutex included.
void Win32ProcessEnd::EndNow() { ExitProcess(0); }

}  // namespace marvolt
