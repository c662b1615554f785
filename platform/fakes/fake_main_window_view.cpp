#include "platform/fakes/fake_main_window_view.h"

#include "platform/text.h"

namespace marvolt {

void FakeFormWindow::SetCaption(const std::u16string& text) {
    caption = text;
    if (log_) log_->Add("caption " + ToUtf8(text));
}

void FakeFormWindow::SetVisible(bool show) {
    visible = show;
    if (log_) log_->Add(show ? "window shown" : "window hidden");
}

void FakeFormWindow::SetState(WindowState newState) {
    if (newState == state) return;
    state = newState;
    if (log_)
        log_->Add(newState == WindowState::Minimized   ? "window minimized"
                  : newState == WindowState::Maximized ? "window maximized"
                                                       : "window normal");
    if (events_) events_->OnResize();
}

void FakeListBox::Clear() {
    items.clear();
    selected = -1;
}

std::u16string FakeListBox::ItemText(int index) {
    return index >= 0 && index < Count() ? items[static_cast<size_t>(index)] : std::u16string();
}

void FakeListBox::SetSelectedIndex(int index) { selected = index >= 0 && index < Count() ? index : -1; }

std::u16string FakeComboBox::ItemText(int index) {
    return index >= 0 && index < Count() ? items[static_cast<size_t>(index)] : std::u16string();
}

void FakeCheckBox::SetValue(int newValue) {
    if (newValue == value) return;
    value = newValue;
    RaiseClick();
}

void FakeCheckBox::Click() {
    value = value == 0 ? 1 : 0;
    RaiseClick();
}

void FakeCheckBox::RaiseClick() {
    if (!events_) return;
    switch (kind_) {
        case CheckBoxKind::Play: events_->OnPlayCheckClick(); break;
        case CheckBoxKind::Record: events_->OnRecordCheckClick(); break;
        case CheckBoxKind::Startup: events_->OnStartupCheckClick(); break;
        case CheckBoxKind::AutoRun: events_->OnAutoRunCheckClick(); break;
    }
}

FakeMainWindowView::FakeMainWindowView(CallLog* log) : window(events_, log) {}

bool FakeMainWindowView::SelectRow(const std::u16string& text) {
    for (int i = 0; i < deviceList.Count(); ++i) {
        if (deviceList.items[static_cast<size_t>(i)] == text) {
            deviceList.selected = i;
            return true;
        }
    }
    return false;
}

std::u16string FakeMainWindowView::SelectedRow() { return deviceList.ItemText(deviceList.selected); }

}  // namespace marvolt
