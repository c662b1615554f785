#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "on_top/always_on_top.h"
#include "on_top/pin_pictures.h"
#include "platform/fakes/fake_settings_store.h"
#include "platform/fakes/simple_fakes.h"
#include "platform/win32/pin_control.h"
#include "platform/win32/top_level_windows_win32.h"
#include "tests/win32/blocks_test_windows.h"

namespace marvolt {
namespace {

using namespace blocks_test;

class RecordingEvents : public PinEvents {
public:
    void OnMouseMoveOverPicture(PinPicture visible) override { Add("move", visible); }
    void OnMouseLeave() override { log.push_back("leave"); }
    void OnClickPicture(PinPicture visible) override { Add("click", visible); }
    std::vector<std::string> log;

private:
    void Add(const char* what, PinPicture visible) {
        log.push_back(std::string(what) + " " + std::to_string(static_cast<int>(visible)));
    }
};

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// The control's client area as drawn by its paint code, one COLORREF per pixel.
std::vector<COLORREF> Render(HWND control, SIZE size) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    UniqueHbitmap bitmap(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    HGDIOBJ old = SelectObject(dc, bitmap.get());
    auto* pixels = static_cast<std::uint32_t*>(bits);
    std::fill(pixels, pixels + size.cx * size.cy, 0x123456u);
    SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    GdiFlush();
    std::vector<COLORREF> result;
    for (int i = 0; i < size.cx * size.cy; ++i) {
        std::uint32_t p = pixels[i];
        result.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    return result;
}

COLORREF Expected(PinPicture picture, int x, int y) {
    if (PinPixelTransparent(picture, x, y)) return kParentBackground;
    PinColor c = PinPaletteColor(PinPixelIndex(picture, x, y));
    return RGB(c.red, c.green, c.blue);
}

SIZE WindowSize(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

TEST(PinControl, SizedPlacedAndDrawnAsThePictureSays) {
    UniqueHwnd parent = MakeTestWindow(L"Blocks pin parent", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN);
    RecordingEvents events;
    auto pin = PinControl::Create(parent.get(), 1001, 10, 5, events);
    ASSERT_TRUE(pin);
    HWND control = pin->Handle();
    EXPECT_EQ(GetParent(control), parent.get());
    EXPECT_EQ(GetDlgCtrlID(control), 1001);

    int dpi = ScreenDpi();
    SIZE size{MulDiv(21, dpi, 96), MulDiv(20, dpi, 96)};
    EXPECT_EQ(WindowSize(control).cx, size.cx);
    EXPECT_EQ(WindowSize(control).cy, size.cy);
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, parent.get(), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, MulDiv(10, dpi, 96));
    EXPECT_EQ(rect.top, MulDiv(5, dpi, 96));

    // Any other size is refused.
    SetWindowPos(control, nullptr, 0, 0, 100, 3, SWP_NOMOVE | SWP_NOZORDER);
    MoveWindow(control, 20, 20, 50, 50, TRUE);
    EXPECT_EQ(WindowSize(control).cx, size.cx);
    EXPECT_EQ(WindowSize(control).cy, size.cy);

    for (PinPicture picture : {PinPicture::Disabled, PinPicture::Enabled, PinPicture::MouseMove}) {
        pin->ShowPicture(picture);
        std::vector<COLORREF> drawn = Render(control, size);
        int wrong = 0;
        for (int y = 0; y < size.cy; ++y) {
            for (int x = 0; x < size.cx; ++x) {
                COLORREF want = Expected(picture, x * 96 / dpi, y * 96 / dpi);
                if (drawn[static_cast<size_t>(y * size.cx + x)] != want && wrong++ < 5) {
                    ADD_FAILURE() << "picture " << static_cast<int>(picture) << " pixel " << x << "," << y
                                  << ": " << std::hex << drawn[static_cast<size_t>(y * size.cx + x)]
                                  << " instead of " << want;
                }
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}

struct TooltipSearch {
    HWND control;
    std::wstring text;
};

BOOL CALLBACK FindTooltipText(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<TooltipSearch*>(param);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (std::wstring(className) != TOOLTIPS_CLASSW) return TRUE;
    wchar_t text[80] = {};
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = GetParent(search.control);
    tool.uId = reinterpret_cast<UINT_PTR>(search.control);
    tool.lpszText = text;
    SendMessageW(window, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
    if (text[0]) search.text = text;
    return TRUE;
}

TEST(PinControl, CarriesTheTooltip) {
    UniqueHwnd parent = MakeTestWindow(L"Blocks pin tooltip");
    RecordingEvents events;
    auto pin = PinControl::Create(parent.get(), 7, 0, 0, events);
    ASSERT_TRUE(pin);
    TooltipSearch search{pin->Handle(), L""};
    EnumThreadWindows(GetCurrentThreadId(), FindTooltipText, reinterpret_cast<LPARAM>(&search));
    EXPECT_EQ(search.text, L"Always on top");
}

TEST(PinControl, PassesMouseEventsToTheEventsBoundLast) {
    UniqueHwnd parent = MakeTestWindow(L"Blocks pin mouse");
    RecordingEvents first, second;
    auto pin = PinControl::Create(parent.get(), 7, 0, 0, first);
    ASSERT_TRUE(pin);
    HWND control = pin->Handle();
    pin->SetEvents(second);
    pin->ShowPicture(PinPicture::MouseMove);
    SendMessageW(control, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));  // no press: no click
    SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageW(control, WM_MOUSELEAVE, 0, 0);  // pressed, then left: no click
    SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_TRUE(first.log.empty());
    EXPECT_EQ(second.log, (std::vector<std::string>{"move 1", "click 1", "leave"}));
}

class ParentContainer : public PinContainer {
public:
    explicit ParentContainer(HWND window) : window_(window) {}
    NativeHandle ContainerWindow() override { return reinterpret_cast<NativeHandle>(window_); }

private:
    HWND window_;
};

TEST(PinControl, ClicksPinAndUnpinTheRealWindow) {
    UniqueHwnd parent = MakeTestWindow(L"Blocks pin click");
    RecordingEvents unbound;
    auto pin = PinControl::Create(parent.get(), 7, 0, 0, unbound);
    ASSERT_TRUE(pin);
    ParentContainer container(parent.get());
    Win32TopLevelWindows windows;
    FakeSettingsStore store;
    FakeAppIdentity identity;
    FakeMessageService messages;
    FakeProcessEnd end;
    AppSettings settings(store, identity, messages, end);
    AlwaysOnTop logic(*pin, container, windows, settings);
    pin->SetEvents(logic);

    HWND control = pin->Handle();
    auto click = [&] {
        SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    };
    click();
    EXPECT_TRUE(IsTopmost(parent.get()));
    EXPECT_EQ(pin->Picture(), PinPicture::Enabled);
    EXPECT_EQ(store.Value(u"Marvolt", u"AlwaysOnTop\\", u"OnTop"), u"True");
    click();
    EXPECT_FALSE(IsTopmost(parent.get()));
    EXPECT_EQ(pin->Picture(), PinPicture::MouseMove);
    EXPECT_EQ(store.Value(u"Marvolt", u"AlwaysOnTop\\", u"OnTop"), u"False");
    SendMessageW(control, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(pin->Picture(), PinPicture::Disabled);
}

TEST(PinControl, OutlivesItsParentWindow) {
    UniqueHwnd parent = MakeTestWindow(L"Blocks pin parent gone");
    RecordingEvents events;
    auto pin = PinControl::Create(parent.get(), 7, 0, 0, events);
    ASSERT_TRUE(pin);
    HWND control = pin->Handle();
    parent.reset();
    EXPECT_FALSE(IsWindow(control));
    EXPECT_EQ(pin->Handle(), nullptr);
    pin->ShowPicture(PinPicture::Enabled);
    pin.reset();
}

}  // namespace
}  // namespace marvolt
