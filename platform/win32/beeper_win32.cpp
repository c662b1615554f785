#include "platform/win32/beeper_win32.h"

#include <windows.h>

namespace marvolt {

void BeeperWin32::DefaultBeep() { MessageBeep(MB_OK); }

}  // namespace marvolt
