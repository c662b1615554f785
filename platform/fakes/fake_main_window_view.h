#pragma once
// The settings window as plain data. Check boxes and the window state raise their
// events through the bound MainWindowEvents, as the real controls do.
#include <string>
#include <vector>

#include "app/main_window_view.h"
#include "platform/fakes/simple_fakes.h"

namespace marvolt {

class FakeFormWindow : public FormWindow {
public:
    FakeFormWindow(MainWindowEvents*& events, CallLog* log) : events_(events), log_(log) {}
    std::u16string Caption() override { return caption; }
    void SetCaption(const std::u16string& text) override;
    bool Visible() override { return visible; }
    void SetVisible(bool show) override;
    WindowState State() override { return state; }
    // Raises OnResize when the state changes.
    void SetState(WindowState newState) override;
    NativeHandle Handle() override { return handle; }
    NativeHandle IconHandle() override { return iconHandle; }
    WindowGeometry Geometry() override { return geometry; }
    void SetGeometry(const WindowGeometry& newGeometry) override { geometry = newGeometry; }

    std::u16string caption;
    bool visible = true;
    WindowState state = WindowState::Normal;
    NativeHandle handle = 0x1234;
    NativeHandle iconHandle = 0x5678;
    WindowGeometry geometry;

private:
    MainWindowEvents*& events_;
    CallLog* log_;
};

class FakeListBox : public ListBoxControl {
public:
    void Clear() override;
    void AddItem(const std::u16string& text) override { items.push_back(text); }
    int Count() override { return static_cast<int>(items.size()); }
    std::u16string ItemText(int index) override;
    int SelectedIndex() override { return selected; }
    void SetSelectedIndex(int index) override;

    std::vector<std::u16string> items;
    int selected = -1;
};

class FakeComboBox : public ComboBoxControl {
public:
    void Clear() override { items.clear(); }
    void AddItem(const std::u16string& item) override { items.push_back(item); }
    int Count() override { return static_cast<int>(items.size()); }
    std::u16string ItemText(int index) override;
    std::u16string Text() override { return text; }
    void SetText(const std::u16string& newText) override { text = newText; }
    bool Visible() override { return visible; }
    void SetVisible(bool show) override { visible = show; }

    std::vector<std::u16string> items;
    std::u16string text = u"Combo1";
    bool visible = true;
};

enum class CheckBoxKind { Play, Record, Startup, AutoRun };

class FakeCheckBox : public CheckBoxControl {
public:
    FakeCheckBox(CheckBoxKind kind, MainWindowEvents*& events) : kind_(kind), events_(events) {}
    int Value() override { return value; }
    // Raises the click event when the value changes.
    void SetValue(int newValue) override;
    // A user's click: toggles the box and raises the click event.
    void Click();

    int value = 0;

private:
    void RaiseClick();
    CheckBoxKind kind_;
    MainWindowEvents*& events_;
};

class FakeLabel : public LabelControl {
public:
    std::u16string Caption() override { return caption; }
    void SetCaption(const std::u16string& text) override { caption = text; }
    std::u16string caption;
};

class FakeMainWindowView : public MainWindowView {
public:
    explicit FakeMainWindowView(CallLog* log = nullptr);
    // The window logic that receives the controls' events.
    void BindEvents(MainWindowEvents& events) { events_ = &events; }

    FormWindow& Window() override { return window; }
    ListBoxControl& DeviceList() override { return deviceList; }
    ComboBoxControl& StartupCombo() override { return startupCombo; }
    CheckBoxControl& PlayCheck() override { return playCheck; }
    CheckBoxControl& RecordCheck() override { return recordCheck; }
    CheckBoxControl& StartupCheck() override { return startupCheck; }
    CheckBoxControl& AutoRunCheck() override { return autoRunCheck; }
    LabelControl& CurrentCardTxt() override { return currentCardTxt; }

    // Selects the row with this text as a user's click would; false if there is none.
    bool SelectRow(const std::u16string& text);
    std::u16string SelectedRow();

    MainWindowEvents* events_ = nullptr;
    FakeFormWindow window;
    FakeListBox deviceList;
    FakeComboBox startupCombo;
    FakeCheckBox playCheck{CheckBoxKind::Play, events_};
    FakeCheckBox recordCheck{CheckBoxKind::Record, events_};
    FakeCheckBox startupCheck{CheckBoxKind::Startup, events_};
    FakeCheckBox autoRunCheck{CheckBoxKind::AutoRun, events_};
    FakeLabel currentCardTxt;
};

}  // namespace marvolt
