#include "windows/file_chooser_window_win32.h"

#include <commctrl.h>

#include "platform/win32/win_text.h"
#include "platform/win32/window_proc.h"

namespace marvolt {
namespace {

// The DPI of the monitor the window opens on. The per-monitor call lives in
// shcore, which is loaded only now; without it the screen's DPI serves.
int MonitorDpi(HWND owner) {
    HMONITOR monitor = owner ? MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST)
                            : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    using GetDpi = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    if (HMODULE shcore = LoadLibraryW(L"shcore.dll")) {
        auto get = reinterpret_cast<GetDpi>(reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")));
        UINT x = 0, y = 0;
        if (get && get(monitor, 0, &x, &y) == S_OK && x > 0) return static_cast<int>(x);
    }
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

struct PartKind {
    const wchar_t* className;
    DWORD style;
    const wchar_t* text;
    int shellIcon;  // picture of a shortcut button in the shell's resources
};

constexpr DWORD kList = WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
const PartKind kParts[kChooserPartCount] = {
    {L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, L"", 0},
    {L"LISTBOX", kList, L"", 0},
    {L"EDIT", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, L"", 0},
    {L"LISTBOX", kList, L"", 0},
    {L"BUTTON", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_DISABLED, L"Ok", 0},
    {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, L"Abbruch", 0},
    {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, L"Desktop", 35},
    {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, L"Startmen\u00fc", 20},
};

bool RegisterChooserClass(WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (GetClassInfoExW(instance, kFileChooserClass, &windowClass)) return true;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512))  /* the arrow */;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kFileChooserClass;
    return RegisterClassExW(&windowClass) != 0;
}

void FillList(HWND list, UINT reset, UINT add, UINT select, const std::vector<std::u16string>& items,
              int selected) {
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, reset, 0, 0);
    for (const std::u16string& item : items) SendMessageW(list, add, 0, reinterpret_cast<LPARAM>(Wide(item)));
    SendMessageW(list, select, static_cast<WPARAM>(selected), 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

}  // namespace

std::unique_ptr<FileChooserView> FileChooserWindowWin32::Create(FileChooserEvents& events) {
    if (!RegisterChooserClass(&FileChooserWindowWin32::WindowProc)) return nullptr;
    std::unique_ptr<FileChooserWindowWin32> view(new FileChooserWindowWin32(events));
    // Modal to the window that was active when the dialog was asked for.
    view->owner_ = GetActiveWindow();
    view->dpi_ = MonitorDpi(view->owner_);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    view->window_.reset(CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kFileChooserClass, L"",
                                        WS_POPUP | WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT, CW_USEDEFAULT, 100,
                                        100, view->owner_, nullptr, instance, nullptr));
    if (!view->window_) return nullptr;
    HWND window = view->window_.get();
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HMODULE shell = GetModuleHandleW(L"shell32.dll");
    for (int i = 0; i < kChooserPartCount; ++i) {
        const PartKind& kind = kParts[i];
        HICON icon = kind.shellIcon && shell ? static_cast<HICON>(LoadImageW(shell, MAKEINTRESOURCEW(kind.shellIcon),
                                                                             IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED))
                                             : nullptr;
        view->parts_[i] = CreateWindowExW(i == int(ChooserPart::FileName) ? WS_EX_CLIENTEDGE : 0, kind.className,
                                          kind.text, WS_CHILD | kind.style | (icon ? BS_ICON : 0), 0, 0, 10, 10,
                                          window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kChooserIds[i])),
                                          instance, nullptr);
        if (!view->parts_[i]) return nullptr;
        SendMessageW(view->parts_[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (icon) SendMessageW(view->parts_[i], BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    }
    // The shortcut buttons name themselves in a tooltip when the common
    // controls are loaded already (the settings window's pin loads them).
    if (GetModuleHandleW(L"comctl32.dll")) {
        view->tooltip_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                                             nullptr, instance, nullptr));
        for (ChooserPart part : {ChooserPart::Command1, ChooserPart::StartMenuBtn}) {
            if (!view->tooltip_) break;
            TOOLINFOW tool{};
            tool.cbSize = TTTOOLINFOW_V2_SIZE;
            tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            tool.hwnd = window;
            tool.uId = reinterpret_cast<UINT_PTR>(view->Part(part));
            tool.lpszText = const_cast<wchar_t*>(kParts[int(part)].text);
            SendMessageW(view->tooltip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }
    // Until now the window needed nothing but the default handling.
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view.get()));
    return view;
}

FileChooserWindowWin32::~FileChooserWindowWin32() {
    if (window_) SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
    if (owner_) EnableWindow(owner_, TRUE);
}

void FileChooserWindowWin32::SetCaption(const std::u16string& caption) {
    SetWindowTextW(window_.get(), Wide(caption));
}

// The size is the whole window's; it opens centred on its monitor's work area.
void FileChooserWindowWin32::SetSize(int widthTwips, int heightTwips) {
    const int width = Pixels(widthTwips), height = Pixels(heightTwips);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(owner_ ? owner_ : window_.get(), MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& area = monitor.rcWork;
    SetWindowPos(window_.get(), nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void FileChooserWindowWin32::Place(ChooserPart part, const TwipRect& rect, bool visible) {
    // A drop-down list's height includes its list.
    int height = part == ChooserPart::Drive1 ? rect.height * 8 : rect.height;
    MoveWindow(Part(part), Pixels(rect.left), Pixels(rect.top), Pixels(rect.width), Pixels(height), FALSE);
    ShowWindow(Part(part), visible ? SW_SHOWNA : SW_HIDE);
}

void FileChooserWindowWin32::ShowDrives(const std::vector<std::u16string>& drives, int selected) {
    FillList(Part(ChooserPart::Drive1), CB_RESETCONTENT, CB_ADDSTRING, CB_SETCURSEL, drives, selected);
}

void FileChooserWindowWin32::ShowFolders(const std::vector<std::u16string>& rows, int selected) {
    FillList(Part(ChooserPart::Dir1), LB_RESETCONTENT, LB_ADDSTRING, LB_SETCURSEL, rows, selected);
}

void FileChooserWindowWin32::ShowFiles(const std::vector<std::u16string>& names, int selected) {
    FillList(Part(ChooserPart::File1), LB_RESETCONTENT, LB_ADDSTRING, LB_SETCURSEL, names, selected);
}

std::u16string FileChooserWindowWin32::FileNameText() {
    HWND edit = Part(ChooserPart::FileName);
    std::u16string text(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1, u'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(edit, reinterpret_cast<wchar_t*>(text.data()),
                                                   static_cast<int>(text.size()))));
    return text;
}

// The logic raises its own change for a text it sets.
void FileChooserWindowWin32::SetFileNameText(const std::u16string& text) {
    settingText_ = true;
    SetWindowTextW(Part(ChooserPart::FileName), Wide(text));
    settingText_ = false;
}

void FileChooserWindowWin32::SetOkEnabled(bool enabled) { EnableWindow(Part(ChooserPart::Ok), enabled); }

void FileChooserWindowWin32::RunModal() {
    const bool disableOwner = owner_ && IsWindowEnabled(owner_);
    if (disableOwner) EnableWindow(owner_, FALSE);
    ended_ = false;
    ShowWindow(window_.get(), SW_SHOW);
    SetForegroundWindow(window_.get());
    MSG message;
    while (!ended_) {
        BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            // The program is ending: the loop that asked for it gets the request back.
            if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (IsDialogMessageW(window_.get(), &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // The owner is enabled before the window hides, so that it becomes active again.
    if (disableOwner) EnableWindow(owner_, TRUE);
    ShowWindow(window_.get(), SW_HIDE);
}

void FileChooserWindowWin32::EndModal() {
    ended_ = true;
    PostMessageW(window_.get(), WM_NULL, 0, 0);
}

LRESULT CALLBACK FileChooserWindowWin32::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return OwnerWindowProc<FileChooserWindowWin32, &FileChooserWindowWin32::Handle>(window, message, wParam, lParam);
}

LRESULT FileChooserWindowWin32::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
    case WM_CLOSE: events_.OnCancel(); return 0;
    }
    return DefWindowProcW(window_.get(), message, wParam, lParam);
}

void FileChooserWindowWin32::OnCommand(int id, int code) {
    auto selected = [this](ChooserPart part, UINT message) {
        return static_cast<int>(SendMessageW(Part(part), message, 0, 0));
    };
    switch (id) {
    case 1001:
        if (code == CBN_SELCHANGE) events_.OnDriveChange(selected(ChooserPart::Drive1, CB_GETCURSEL));
        break;
    case 1002:
        if (code == LBN_DBLCLK) events_.OnFolderOpen(selected(ChooserPart::Dir1, LB_GETCURSEL));
        break;
    case 1003:
        if (code == EN_CHANGE && !settingText_) events_.OnFileNameChange(FileNameText());
        break;
    case 1004:
        if (code == LBN_SELCHANGE) events_.OnFileClick(selected(ChooserPart::File1, LB_GETCURSEL));
        if (code == LBN_DBLCLK) events_.OnFileDoubleClick(selected(ChooserPart::File1, LB_GETCURSEL));
        break;
    case IDOK:
        // Enter on the default button comes here even while it is disabled.
        if (IsWindowEnabled(Part(ChooserPart::Ok))) events_.OnOk();
        break;
    case IDCANCEL: events_.OnCancel(); break;
    case 1007: events_.OnDesktop(); break;
    case 1008: events_.OnStartMenu(); break;
    }
}

}  // namespace marvolt
