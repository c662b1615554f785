#include "windows/main_window_view_win32.h"

#include <commctrl.h>

#include <utility>

namespace marvolt {

namespace {

constexpr COLORREF kLinkColour = RGB(128, 128, 128);
constexpr COLORREF kNoteColour = RGB(192, 0, 0);

}  // namespace

bool MainWindowViewWin32::PreTranslate(MSG& message) {
    if (!window_ || !IsDialogMessageW(window_, &message)) return false;
    // The hotkey box does not tell of every change (a cleared box says
    // nothing): its value is looked at after each key it has had.
    if (message.hwnd == hotkeyBox_.Hwnd() && message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST)
        ReportHotkeyChange(message.message, message.wParam);
    return true;
}

void MainWindowViewWin32::ReportHotkeyChange(UINT message, WPARAM key) {
    if (events_ && hotkeyBox_.TakeChange(message, key)) events_->OnHotkeyBoxChange();
}

LRESULT CALLBACK MainWindowViewWin32::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* view = reinterpret_cast<MainWindowViewWin32*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        view = static_cast<MainWindowViewWin32*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        view->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
        view->form_.Attach(window);
    }
    if (!view) return DefWindowProcW(window, message, wParam, lParam);
#if __cpp_exceptions
    // The logic behind the events must never unwind through the system's code.
    try {
        return view->HandleMessage(message, wParam, lParam);
    } catch (...) {
        return message == WM_CLOSE ? 0 : DefWindowProcW(window, message, wParam, lParam);
    }
#else
    return view->HandleMessage(message, wParam, lParam);
#endif
}

LRESULT MainWindowViewWin32::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = window_;
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;

        case WM_COPYDATA: {
            // A command from a later start; a tag wider than 32 bits is no one's.
            const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            if (!events_ || !copy || copy->dwData > 0xFFFFFFFFu) return 0;
            return events_->OnCommandMessage(static_cast<std::uint32_t>(copy->dwData),
                                             static_cast<const std::uint8_t*>(copy->lpData), copy->cbData);
        }

        case WM_SHOWWINDOW:
            // Sent before the window first shows, whoever shows it.
            if (wParam) MakeControls();
            break;

        case WM_SIZE:
            // Sent after the change, so State() already reads the new state.
            if (events_) events_->OnResize();
            return 0;

        case WM_CLOSE:
            if (events_ && events_->OnQueryUnload()) return 0;
            DestroyWindow(window);
            return 0;

        case WM_DESTROY:
            if (events_) events_->OnUnload();
            if (endLoopOnDestroy_) PostQuitMessage(0);
            return 0;

        case WM_NCDESTROY:
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            window_ = nullptr;
            form_.Attach(nullptr);
            // A window gone before it was ever shown: its controls answer empty too.
            if (!std::exchange(controlsMade_, true))
                for (const auto& [wrapper, id] : Wrappers()) wrapper->Made(nullptr);
            return DefWindowProcW(window, message, wParam, lParam);

        case WM_ACTIVATE:
            // Keyboard focus goes back to the control that had it when the
            // window was last left.
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(window, focus)) focusBeforeDeactivation_ = focus;
            } else if (!IsIconic(window)) {
                HWND target = focusBeforeDeactivation_;
                if (!target || !IsWindow(target) || !IsChild(window, target) || !IsWindowVisible(target) ||
                    !IsWindowEnabled(target))
                    target = GetDlgItem(window, kIdDeviceList);
                if (target) SetFocus(target);
            }
            return 0;

        case WM_DPICHANGED: {
            // Where and as large as the system suggests for the new DPI.
            const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                         suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
            LayOut(HIWORD(wParam));
            return 0;
        }

        case WM_NOTIFY: {
            // A box of the list ticked or cleared by the user.
            const auto& change = *reinterpret_cast<const NMLISTVIEW*>(lParam);
            if (change.hdr.idFrom == kIdCycleList && change.hdr.code == LVN_ITEMCHANGED && events_ &&
                !cycleList_.Filling() && (change.uChanged & LVIF_STATE) &&
                ((change.uNewState ^ change.uOldState) & LVIS_STATEIMAGEMASK))
                events_->OnCycleListClick();
            break;
        }

        case WM_CTLCOLORSTATIC:
            if (IsLink(reinterpret_cast<HWND>(lParam)) ||
                reinterpret_cast<HWND>(lParam) == GetDlgItem(window, kIdHotkeyNoteTxt)) {
                auto dc = reinterpret_cast<HDC>(wParam);
                SetTextColor(dc, IsLink(reinterpret_cast<HWND>(lParam)) ? kLinkColour : kNoteColour);
                SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
                return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
            }
            break;

        case WM_SETCURSOR:
            if (IsLink(reinterpret_cast<HWND>(wParam)) && LOWORD(lParam) == HTCLIENT) {
                SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));  // IDC_HAND
                return TRUE;
            }
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void MainWindowViewWin32::OnCommand(int id, int code) {
    if (!events_) return;
    switch (id) {
        case kIdPlayCheck:
            if (code == BN_CLICKED) events_->OnPlayCheckClick();
            break;
        case kIdRecordCheck:
            if (code == BN_CLICKED) events_->OnRecordCheckClick();
            break;
        case kIdStartupCheck:
            if (code == BN_CLICKED) events_->OnStartupCheckClick();
            break;
        case kIdAutoRunCheck:
            if (code == BN_CLICKED) events_->OnAutoRunCheckClick();
            break;
        case kIdStartupCombo:
            if (code == CBN_KILLFOCUS) events_->OnStartupComboLostFocus();
            break;
        case kIdProfilesBtn:
            if (code == BN_CLICKED) events_->OnProfilesBtnClick();
            break;
        case kIdRolesChoice:
            if (code == CBN_SELCHANGE) events_->OnRolesChoiceChange();
            break;
        case kIdDeviceList:
            if (code == LBN_DBLCLK) events_->OnDeviceListDoubleClick();
            break;
        case kIdSetBtn:
            if (code == BN_CLICKED) events_->OnSetBtnClick();
            break;
        case kIdCommand1:
            if (code == BN_CLICKED) events_->OnCommand1Click();
            break;
        case kIdExitBtn:
            if (code == BN_CLICKED) events_->OnExitBtnClick();
            break;
        case kIdLabel1:
            if (code == STN_CLICKED) events_->OnLabel1Click();
            break;
        case kIdWebPage:
            if (code == STN_CLICKED) events_->OnWebPageClick();
            break;
        case kIdHotkeyBox:
            if (code == EN_CHANGE) ReportHotkeyChange();
            break;
    }
}

}  // namespace marvolt
