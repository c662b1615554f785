#include "windows/main_window_view_win32.h"

#include <commctrl.h>

#include "platform/win32/late_library.h"
#include "windows/main_window_layout_win32.h"

namespace marvolt {

namespace {

const wchar_t* const kClassName = reinterpret_cast<const wchar_t*>(kMainWindowClass);

HICON LoadProgramIcon(HINSTANCE instance, int sizeMetricX, int sizeMetricY) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(sizeMetricX),
                                         GetSystemMetrics(sizeMetricY), LR_DEFAULTCOLOR));
}

bool RegisterWindowClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, kClassName, &existing)) return true;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    return RegisterClassExW(&windowClass) != 0;
}

}  // namespace

std::unique_ptr<MainWindowViewWin32> MainWindowViewWin32::Create(HINSTANCE instance, bool endLoopOnDestroy) {
    if (!RegisterWindowClass(instance, &MainWindowViewWin32::WindowProc)) return nullptr;
    std::unique_ptr<MainWindowViewWin32> view(new MainWindowViewWin32(endLoopOnDestroy));

    const RECT frame = FirstWindowRect();

    // The caption stays empty until the logic sets it: a second instance
    // looks for the running one by class and caption while this one starts.
    HWND window = CreateWindowExW(kWindowExStyle, kClassName, L"", kWindowStyle, frame.left, frame.top,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance,
                                  view.get());
    if (!window) return nullptr;
    view->SetIcons(instance);
    // The pin is there from the start: its state decides whether the window is
    // kept on top. Its tooltip comes with the other controls.
    view->pin_ = PinControl::Create(window, kIdAlwaysOnTop1, kPinLeft, kPinTop, view->noPinEvents_, false);
    if (!view->pin_) return nullptr;  // the destructor destroys the window
    // Until the controls are made, their wrappers keep what the logic sets.
    for (const auto& [wrapper, id] : view->Wrappers()) wrapper->Prepare(window, id);
    // A combo box ignores the text it is created with.
    view->startupCombo_.SetText(u"Combo1");
    view->currentCardTxt_.SetCaption(u"Current Soundcard:");
    view->LayOut(WindowDpi(window));
    return view;
}

MainWindowViewWin32::~MainWindowViewWin32() {
    // The receiver of the events may already be gone.
    events_ = nullptr;
    if (window_) DestroyWindow(window_);
}

void MainWindowViewWin32::SetIcons(HINSTANCE instance) {
    bigIcon_.reset(LoadProgramIcon(instance, SM_CXICON, SM_CYICON));
    smallIcon_.reset(LoadProgramIcon(instance, SM_CXSMICON, SM_CYSMICON));
    // A build without the icon resource (the tests) shows the stock one.
    HICON fallback = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION, shared
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_ ? bigIcon_.get() : fallback));
    SendMessageW(window_, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(smallIcon_ ? smallIcon_.get() : fallback));
}

std::array<std::pair<ControlWin32*, int>, 11> MainWindowViewWin32::Wrappers() {
    return {{{&deviceList_, kIdDeviceList},
             {&startupCombo_, kIdStartupCombo},
             {&playCheck_, kIdPlayCheck},
             {&recordCheck_, kIdRecordCheck},
             {&startupCheck_, kIdStartupCheck},
             {&autoRunCheck_, kIdAutoRunCheck},
             {&currentCardTxt_, kIdCurrentCardTxt},
             {&hotkeyNoteTxt_, kIdHotkeyNoteTxt},
             {&hotkeyBox_, kIdHotkeyBox},
             {&cycleList_, kIdCycleList},
             {&rolesChoice_, kIdRolesChoice}}};
}

// A control that can't be made is left out; its wrapper then answers empty.
void MainWindowViewWin32::MakeControls() {
    if (controlsMade_ || !window_) return;
    controlsMade_ = true;
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE));
    // The hotkey box and the list with boxes live in the common controls,
    // loaded here rather than imported: a second start never maps them.
    LoadCommonControls(ICC_HOTKEY_CLASS | ICC_LISTVIEW_CLASSES);

    CreateControls(window_, instance);
    for (const auto& [wrapper, id] : Wrappers()) wrapper->Made(GetDlgItem(window_, id));
    label1_ = GetDlgItem(window_, kIdLabel1);
    webPage_ = GetDlgItem(window_, kIdWebPage);
    pin_->AddTooltip();
    LayOut(WindowDpi(window_));
}

}  // namespace marvolt
