#pragma once
// The settings window's layout, shared by the files of MainWindowViewWin32: each
// control's place in 96-DPI figures, scaled to the DPI of the window's monitor.
#include <windows.h>

namespace marvolt {

constexpr int kPinLeft = 249;  // the top right corner, beside the "Startup" frame
constexpr int kPinTop = 9;
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT;

// The DPI of the window's monitor; the system DPI where Windows knows no other.
int WindowDpi(HWND window);

// The window's frame when it is made, for the system DPI: centred in the
// primary monitor's work area, but never with the caption above it.
RECT FirstWindowRect();

// Makes the window's controls, in tab order and not yet placed: LayOut places
// them and gives them their fonts.
void CreateControls(HWND window, HINSTANCE instance);

}  // namespace marvolt
