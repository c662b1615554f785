// Program entry: builds the Win32 platform services and hands them to the main window.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
