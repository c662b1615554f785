// Starts and ends at once: what a second start costs when it does no work at
// all, the yardstick for Marvolt's hand-over to its running instance.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
