#include "platform/fakes/fake_tray.h"

#include <string>

#include "platform/text.h"

namespace marvolt {

namespace {
std::string Number(long long value) { return ToUtf8(Decimal(value)); }

const char* ActionName(NotifyAction action) {
    switch (action) {
        case NotifyAction::Add:
            return "add";
        case NotifyAction::Modify:
            return "modify";
        case NotifyAction::Delete:
            return "delete";
    }
    return "?";
}
}  // namespace

bool FakeShellNotify::NotifyIcon(NotifyAction action, const NotifyIconRecord& record) {
    auto key = std::make_pair(record.hWnd, record.uID);
    bool present = icons.count(key) != 0;
    bool accepted = false;
    if (available && record.hWnd != 0) {
        switch (action) {
            case NotifyAction::Add:
                accepted = !present;
                if (accepted) icons[key] = record;
                break;
            case NotifyAction::Modify:
                accepted = present;
                if (accepted) icons[key] = record;
                break;
            case NotifyAction::Delete:
                accepted = present;
                icons.erase(key);
                break;
        }
    }
    calls.push_back({action, record, accepted});
    if (log_) log_->Add(std::string("notify ") + ActionName(action));
    return accepted;
}

FakeTrayWindow::FakeTrayWindow(FakeTrayWindowFactory& factory, TrayWindowEvents& events,
                               NativeHandle handle)
    : events(events), factory_(factory), handle_(handle) {
    factory_.live[handle_] = this;
}

FakeTrayWindow::~FakeTrayWindow() {
    factory_.live.erase(handle_);
    if (factory_.log) factory_.log->Add("window destroy " + Number(handle_));
}

void FakeTrayWindow::MoveOffScreen() {
    offScreen = true;
    if (factory_.log) factory_.log->Add("window offscreen");
}

void FakeTrayWindow::Show() {
    visible = true;
    if (factory_.log) factory_.log->Add("window show");
}

void FakeTrayWindow::Hide() {
    visible = false;
    if (factory_.log) factory_.log->Add("window hide");
}

void FakeTrayWindow::SetIcon(NativeHandle newIcon) { icon = newIcon; }

void FakeTrayWindow::StartClickTimer(unsigned milliseconds) {
    clickTimer = milliseconds;
    if (factory_.log) factory_.log->Add("window timer " + std::to_string(milliseconds));
}

void FakeTrayWindow::CancelClickTimer() { clickTimer = 0; }

void FakeTrayWindow::ExpireClickTimer() {
    if (clickTimer == 0) return;
    clickTimer = 0;
    events.OnClickTimer();
}

std::unique_ptr<TrayWindow> FakeTrayWindowFactory::CreateTrayWindow(TrayWindowEvents& events) {
    if (fail) return nullptr;
    ++created;
    NativeHandle handle = 0x7000 + static_cast<NativeHandle>(created);
    if (log) log->Add("window create " + Number(handle));
    return std::make_unique<FakeTrayWindow>(*this, events, handle);
}

FakeTrayWindow* FakeTrayWindowFactory::Only() const {
    return live.size() == 1 ? live.begin()->second : nullptr;
}

void FakeTrayTarget::OnTrayMenu(const std::u16string& selected) {
    chosen.push_back(selected);
    if (log_) log_->Add(name_ + " menu " + ToUtf8(selected));
    if (onTrayMenu) onTrayMenu(selected);
}

void FakeTrayTarget::SetVisible(bool value) {
    visible = value;
    if (log_) log_->Add(name_ + (value ? " show" : " hide"));
}

void FakeTrayTarget::SetWindowStateNormal() {
    normal = true;
    if (log_) log_->Add(name_ + " normal");
}

void FakeTrayTarget::SetGeometry(const WindowGeometry& value) {
    geometry = value;
    if (log_)
        log_->Add(name_ + " geometry " + Number(value.left) + "," + Number(value.top) + "," +
                  Number(value.width) + "," + Number(value.height));
}

}  // namespace marvolt
