#include "windows/pin_control.h"

#include <commctrl.h>

#include <cstdint>
#include <vector>

#include "on_top/pin_pictures.h"
#include "platform/win32/late_library.h"
#include "platform/win32/window_proc.h"

namespace marvolt {

namespace {

constexpr wchar_t kClassName[] = L"MarvoltPinControl";
constexpr wchar_t kTooltip[] = L"Always on top";

bool RegisterPinClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(instance, kClassName, &existing)) return true;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.lpszClassName = kClassName;
    return RegisterClassExW(&windowClass) != 0;
}

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

// The picture as a top-down 32-bit DIB, and the mask that keeps the
// background where it is transparent (white) and clears it under the pin (black).
struct PictureBits {
    std::vector<std::uint32_t> color, mask;
    bool transparent = false;
};

PictureBits BuildBits(PinPicture picture) {
    PictureBits bits;
    bits.color.resize(kPinPictureWidth * kPinPictureHeight);
    bits.mask.resize(bits.color.size());
    for (int y = 0; y < kPinPictureHeight; ++y) {
        for (int x = 0; x < kPinPictureWidth; ++x) {
            size_t at = static_cast<size_t>(y * kPinPictureWidth + x);
            if (PinPixelTransparent(picture, x, y)) {
                bits.color[at] = 0;
                bits.mask[at] = 0xFFFFFF;
                bits.transparent = true;
            } else {
                PinColor c = PinPaletteColor(PinPixelIndex(picture, x, y));
                bits.color[at] = (std::uint32_t{c.red} << 16) | (std::uint32_t{c.green} << 8) | c.blue;
                bits.mask[at] = 0;
            }
        }
    }
    return bits;
}

}  // namespace

std::unique_ptr<PinControl> PinControl::Create(HWND parent, int controlId, int x, int y,
                                               PinEvents& events, bool tooltip) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!RegisterPinClass(instance, &PinControl::WindowProc)) return nullptr;

    std::unique_ptr<PinControl> control(new PinControl(events));
    int dpi = ScreenDpi();
    control->size_ = {MulDiv(kPinPictureWidth, dpi, 96), MulDiv(kPinPictureHeight, dpi, 96)};
    HWND window = CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                                  MulDiv(x, dpi, 96), MulDiv(y, dpi, 96), control->size_.cx,
                                  control->size_.cy, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), instance,
                                  nullptr);
    if (!window) return nullptr;
    control->window_.reset(window);
    // Until now the window needed nothing but the default handling.
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control.get()));
    if (tooltip) control->AddTooltip();
    return control;
}

PinControl::~PinControl() {
    // Messages sent while the window goes away no longer reach this object.
    if (window_) SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
}

void PinControl::Place(int x, int y, int dpi) {
    size_ = {MulDiv(kPinPictureWidth, dpi, 96), MulDiv(kPinPictureHeight, dpi, 96)};
    SetWindowPos(window_.get(), nullptr, MulDiv(x, dpi, 96), MulDiv(y, dpi, 96), size_.cx, size_.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(window_.get(), nullptr, FALSE);
}

void PinControl::ShowPicture(PinPicture picture) {
    picture_ = picture;
    if (window_) InvalidateRect(window_.get(), nullptr, FALSE);
}

void PinControl::AddTooltip() {
    if (tooltip_) return;
    // The tooltip class lives in the common controls. They are loaded here, not
    // imported: a second start, which only hands over to the running instance,
    // and a first one that stays in the tray never pay for loading them.
    LoadCommonControls(ICC_BAR_CLASSES);
    HWND parent = GetParent(window_.get());
    // Without an owner: under Wine an owned tooltip keeps its hidden owner from
    // becoming topmost, and the window is pinned before it is first shown. The
    // tooltip is destroyed with the control.
    tooltip_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                   WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), nullptr));
    if (!tooltip_) return;
    // The first form of the record: accepted by every version of the common controls.
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = parent;
    tool.uId = reinterpret_cast<UINT_PTR>(window_.get());
    tool.lpszText = const_cast<wchar_t*>(kTooltip);
    SendMessageW(tooltip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

LRESULT CALLBACK PinControl::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return OwnerWindowProc<PinControl, &PinControl::HandleMessage>(window, message, wParam, lParam);
}

LRESULT PinControl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = window_.get();
    switch (message) {
        case WM_WINDOWPOSCHANGING: {
            // The control keeps its size whatever it is given.
            auto* position = reinterpret_cast<WINDOWPOS*>(lParam);
            position->cx = size_.cx;
            position->cy = size_.cy;
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            if (dc) Paint(dc);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_PRINTCLIENT:
            Paint(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_MOUSEMOVE:
            if (!trackingLeave_) {
                TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, window, 0};
                trackingLeave_ = TrackMouseEvent(&track) != 0;
            }
            events_->OnMouseMoveOverPicture(picture_);
            return 0;
        case WM_MOUSELEAVE:
            trackingLeave_ = false;
            pressed_ = false;
            events_->OnMouseLeave();
            return 0;
        case WM_LBUTTONDOWN:
            pressed_ = true;
            return 0;
        case WM_LBUTTONUP:
            // A click: pressed and released over the control.
            if (pressed_) {
                pressed_ = false;
                events_->OnClickPicture(picture_);
            }
            return 0;
        case WM_DESTROY:
            tooltip_.reset();
            break;
        case WM_NCDESTROY:
            // The parent may destroy the window before this object goes.
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            window_.release();
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void PinControl::Paint(HDC dc) {
    RECT client;
    GetClientRect(window_.get(), &client);
    // Transparent pixels show what the parent gives its static controls as
    // background, as a picture on a form does.
    HWND parent = GetParent(window_.get());
    auto brush = reinterpret_cast<HBRUSH>(
        SendMessageW(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(window_.get())));
    FillRect(dc, &client, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));

    PictureBits bits = BuildBits(picture_);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kPinPictureWidth;
    info.bmiHeader.biHeight = -kPinPictureHeight;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    // Nearest neighbour: the pixels stay crisp at any DPI.
    int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    auto draw = [&](const std::vector<std::uint32_t>& pixels, DWORD rop) {
        StretchDIBits(dc, 0, 0, client.right, client.bottom, 0, 0, kPinPictureWidth, kPinPictureHeight,
                      pixels.data(), &info, DIB_RGB_COLORS, rop);
    };
    if (bits.transparent) {
        draw(bits.mask, SRCAND);
        draw(bits.color, SRCPAINT);
    } else {
        draw(bits.color, SRCCOPY);
    }
    SetStretchBltMode(dc, oldMode);
}

}  // namespace marvolt
