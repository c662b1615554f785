#include "windows/main_window_layout_win32.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/win32/win_text.h"
#include "windows/main_window_view_win32.h"

namespace marvolt {

namespace {

// Layout at 96 DPI; every figure is scaled with the system DPI.
constexpr int kClientWidth = 278;   // 4170 twips
constexpr int kClientHeight = 441;
constexpr int kComboDropHeight = 120;
constexpr int kLinkTop = 418;
constexpr int kLinkHeight = 15;

enum class Font { Message, Link };

struct ControlLayout {
    int id;
    const wchar_t* windowClass;
    const char16_t* text;
    DWORD style;
    DWORD exStyle;
    int x, y, width, height;
    Font font;
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kCheckBox = kChild | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kButton = kChild | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kFrame = kChild | BS_GROUPBOX;
constexpr DWORD kLink = kChild | SS_LEFT | SS_NOTIFY | SS_NOPREFIX;

// Creation order is tab order, top to bottom. Each frame comes before the
// controls it holds.
constexpr ControlLayout kControls[] = {
    {kIdFrame2, L"BUTTON", u"Startup", kFrame, 0, 8, 4, 234, 86, Font::Message},
    {kIdAutoRunCheck, L"BUTTON", u"Autostart with Windows", kCheckBox, 0, 18, 22, 216, 18, Font::Message},
    {kIdStartupCheck, L"BUTTON", u"Set on startup:", kCheckBox, 0, 18, 42, 216, 18, Font::Message},
    {kIdStartupCombo, L"COMBOBOX", u"Combo1", kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0,
     34, 62, 198, kComboDropHeight, Font::Message},
    {kIdFrame1, L"BUTTON", u"", kFrame, 0, 8, 94, 262, 188, Font::Message},
    {kIdDeviceList, L"LISTBOX", u"",
     kChild | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE, 18, 108, 242, 78,
     Font::Message},
    {kIdPlayCheck, L"BUTTON", u"For Playback", kCheckBox, 0, 18, 189, 118, 18, Font::Message},
    {kIdRecordCheck, L"BUTTON", u"For Record", kCheckBox, 0, 142, 189, 118, 18, Font::Message},
    {kIdRolesChoice, L"COMBOBOX", u"", kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, 18, 209, 242,
     kComboDropHeight, Font::Message},
    {kIdCurrentCardTxt, L"STATIC", u"Current Soundcard:", kChild | SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, 0, 18,
     236, 242, 15, Font::Message},
    {kIdProfilesBtn, L"BUTTON", u"Profiles ...", kButton, 0, 18, 253, 100, 23, Font::Message},
    {kIdSetBtn, L"BUTTON", u"Set Soundcard", kButton, 0, 160, 253, 100, 23, Font::Message},
    {kIdFrame3, L"BUTTON", u"Cycle through", kFrame, 0, 8, 286, 262, 120, Font::Message},
    {kIdHotkeyTxt, L"STATIC", u"Hotkey:", kChild | SS_LEFT | SS_NOPREFIX, 0, 18, 306, 46, 15, Font::Message},
    {kIdHotkeyBox, HOTKEY_CLASSW, u"", kChild | WS_TABSTOP, WS_EX_CLIENTEDGE, 66, 302, 130, 21, Font::Message},
    {kIdHotkeyNoteTxt, L"STATIC", u"", kChild | SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, 0, 18, 326, 242, 15,
     Font::Message},
    {kIdCycleList, WC_LISTVIEWW, u"",
     kChild | WS_TABSTOP | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS, WS_EX_CLIENTEDGE, 18,
     343, 242, 56, Font::Message},
    {kIdCommand1, L"BUTTON", u"Hide >>", kButton, 0, 140, 412, 62, 23, Font::Message},
    {kIdExitBtn, L"BUTTON", u"Exit", kButton, 0, 208, 412, 62, 23, Font::Message},
    {kIdLabel1, L"STATIC", u"Update", kLink, 0, 10, kLinkTop, 40, kLinkHeight, Font::Link},
    {kIdWebPage, L"STATIC", u"Homepage", kLink, 0, 84, kLinkTop, 60, kLinkHeight, Font::Link},
};

int SystemDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

void AdjustFrame(RECT& frame, DWORD style, DWORD exStyle, int dpi) {
    using AdjustProc = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static auto adjust = reinterpret_cast<AdjustProc>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
    if (!adjust || !adjust(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi)))
        AdjustWindowRectEx(&frame, style, FALSE, exStyle);
}

// The work area of the window's monitor; the primary monitor's before there is a window.
RECT WorkArea(HWND window) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor)) return monitor.rcWork;
    RECT workArea{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    return workArea;
}

// The DPI the contents are laid out for: the monitor's, or where the window
// would then be larger than the work area (200 % on an 800 x 600 screen), the
// largest at which it fits, so that the caption and the buttons stay on the
// screen. The frame keeps the monitor's DPI. Fitting shrinks to 96 DPI at most:
// below that the text would be too small to read.
int ContentDpi(int dpi, const RECT& workArea) {
    RECT frame{0, 0, 0, 0};
    AdjustFrame(frame, kWindowStyle, kWindowExStyle, dpi);
    const int width = static_cast<int>(workArea.right - workArea.left - (frame.right - frame.left) - 1);
    const int height = static_cast<int>(workArea.bottom - workArea.top - (frame.bottom - frame.top) - 1);
    const int fits = std::min(width * 96 / kClientWidth, height * 96 / kClientHeight);
    return std::min(dpi, std::max(fits, 96));
}

// Moves the window as little as it takes to bring it into the work area; one
// taller or wider than it keeps its caption and left edge inside. A minimised
// window has no place on the screen to keep.
void KeepInWorkArea(HWND window) {
    if (IsIconic(window)) return;
    RECT rect{};
    GetWindowRect(window, &rect);
    const RECT work = WorkArea(window);
    const LONG left = std::max(work.left, std::min(rect.left, work.right - (rect.right - rect.left)));
    const LONG top = std::max(work.top, std::min(rect.top, work.bottom - (rect.bottom - rect.top)));
    if (left != rect.left || top != rect.top)
        SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LOGFONTW MessageFontSpec() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return metrics.lfMessageFont;
    LOGFONTW fallback{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof fallback, &fallback);
    return fallback;
}

// The list shows whole rows only: its height is cut to a multiple of the row
// height of the font in use.
void FitToWholeRows(HWND list) {
    RECT outer{}, inner{};
    GetWindowRect(list, &outer);
    GetClientRect(list, &inner);
    int border = (outer.bottom - outer.top) - inner.bottom;
    auto rowHeight = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    if (rowHeight <= 0 || inner.bottom < rowHeight) return;
    SetWindowPos(list, nullptr, 0, 0, outer.right - outer.left, inner.bottom / rowHeight * rowHeight + border,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

// The DPI of the window's monitor. The calls that know it came with Windows 10
// (1607) and are looked up, so that the program still starts on Windows 7,
// where the system DPI is the only one.
int WindowDpi(HWND window) {
    using GetDpiForWindowProc = UINT(WINAPI*)(HWND);
    static auto getDpi = reinterpret_cast<GetDpiForWindowProc>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    UINT dpi = getDpi && window ? getDpi(window) : 0;
    return dpi > 0 ? static_cast<int>(dpi) : SystemDpi();
}

RECT FirstWindowRect() {
    const int dpi = SystemDpi();
    const RECT workArea = WorkArea(nullptr);
    const int contentDpi = ContentDpi(dpi, workArea);
    RECT frame{0, 0, MulDiv(kClientWidth, contentDpi, 96), MulDiv(kClientHeight, contentDpi, 96)};
    AdjustFrame(frame, kWindowStyle, kWindowExStyle, dpi);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int left = workArea.left + std::max<LONG>(0, (workArea.right - workArea.left - width) / 2);
    const int top = workArea.top + std::max<LONG>(0, (workArea.bottom - workArea.top - height) / 2);
    return {left, top, left + width, top + height};
}

void CreateControls(HWND window, HINSTANCE instance) {
    for (const ControlLayout& layout : kControls) {
        CreateWindowExW(layout.exStyle, layout.windowClass, Wide(layout.text), layout.style, 0, 0, layout.width,
                        layout.height, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)), instance,
                        nullptr);
    }
}

// Everything is laid out in 96-DPI figures and scaled to the DPI of the
// window's monitor: at creation, and again when the window moves to a monitor
// of another DPI or the user changes the scaling.
void MainWindowViewWin32::LayOut(int dpi) {
    const int contentDpi = ContentDpi(dpi, WorkArea(window_));
    auto scale = [contentDpi](int value) { return MulDiv(value, contentDpi, 96); };

    // The message font as the system gives it, for the system DPI.
    LOGFONTW messageFont = MessageFontSpec();
    messageFont.lfHeight = MulDiv(messageFont.lfHeight, contentDpi, SystemDpi());
    messageFont_.reset(CreateFontIndirectW(&messageFont));
    // The links: the message font's family at 8.25 points, underlined.
    LOGFONTW linkFont = messageFont;
    linkFont.lfHeight = -MulDiv(825, contentDpi, 7200);
    linkFont.lfWidth = 0;
    linkFont.lfWeight = FW_NORMAL;
    linkFont.lfItalic = FALSE;
    linkFont.lfUnderline = TRUE;
    linkFont_.reset(CreateFontIndirectW(&linkFont));

    // Resized only when it must be: a window larger than the screen would be
    // cut to it.
    RECT client{};
    GetClientRect(window_, &client);
    if (client.right != scale(kClientWidth) || client.bottom != scale(kClientHeight)) {
        RECT frame{0, 0, scale(kClientWidth), scale(kClientHeight)};
        AdjustFrame(frame, kWindowStyle, kWindowExStyle, dpi);
        SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    KeepInWorkArea(window_);
    if (pin_) pin_->Place(kPinLeft, kPinTop, contentDpi);
    if (!controlsMade_) return;
    for (const ControlLayout& layout : kControls) {
        HWND control = GetDlgItem(window_, layout.id);
        HGDIOBJ font = layout.font == Font::Link ? linkFont_.get() : messageFont_.get();
        if (font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SetWindowPos(control, nullptr, scale(layout.x), scale(layout.y), scale(layout.width), scale(layout.height),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    FitToWholeRows(GetDlgItem(window_, kIdDeviceList));
    cycleList_.FitColumn();
    SizeLinksToText(contentDpi);
    InvalidateRect(window_, nullptr, TRUE);
}

// The link labels are exactly as wide as their text, so that the hand cursor
// and the click belong to the text only; the second follows the first.
void MainWindowViewWin32::SizeLinksToText(int dpi) {
    HDC dc = GetDC(window_);
    if (!dc) return;
    HGDIOBJ old = SelectObject(dc, linkFont_ ? linkFont_.get() : GetStockObject(DEFAULT_GUI_FONT));
    int nextLeft = 0;
    for (HWND link : {label1_, webPage_}) {
        std::u16string text = WindowTextOf(link);
        SIZE extent{};
        GetTextExtentPoint32W(dc, Wide(text), static_cast<int>(text.size()), &extent);
        RECT rect{};
        GetWindowRect(link, &rect);
        MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
        if (link == webPage_) rect.left = nextLeft;
        SetWindowPos(link, nullptr, rect.left, rect.top, extent.cx + 1, rect.bottom - rect.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        nextLeft = rect.left + extent.cx + 1 + MulDiv(8, dpi, 96);
    }
    SelectObject(dc, old);
    ReleaseDC(window_, dc);
}

}  // namespace marvolt
