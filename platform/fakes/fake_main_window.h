#pragma once
// The settings window's controls and the tray icon as the window's logic sees
// them, as plain data.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/main_window_view.h"
#include "platform/fakes/fake_system.h"
#include "tray/tray_icon.h"

namespace marvolt::fakes {

// The list box, the combo box and the list with boxes: the same calls on the same data.
struct FakeList : ListBoxControl, ComboBoxControl, CheckListControl {
    std::vector<std::u16string> items;
    std::vector<bool> ticks;
    int selected = -1;
    std::u16string text = u"Combo1";
    bool visible = true;
    void Clear() override { items.clear(), ticks.clear(); }
    void AddItem(const std::u16string& item) override { items.push_back(item); }
    void AddItem(const std::u16string& item, bool ticked) override { items.push_back(item), ticks.push_back(ticked); }
    bool Ticked(int i) override { return i >= 0 && i < Count() && ticks.at(static_cast<size_t>(i)); }
    int Count() override { return static_cast<int>(items.size()); }
    std::u16string ItemText(int i) override { return items.at(static_cast<size_t>(i)); }
    int SelectedIndex() override { return selected; }
    void SetSelectedIndex(int i) override { selected = i; }
    std::u16string Text() override { return text; }
    void SetText(const std::u16string& t) override { text = t; }
    bool Visible() override { return visible; }
    void SetVisible(bool v) override { visible = v; }
};

// Raises its click event whenever its value changes, as the real box does.
struct FakeCheck : CheckBoxControl {
    int value = 0;
    std::function<void()> onClick;
    int Value() override { return value; }
    void SetValue(int v) override {
        if (std::exchange(value, v) != v) onClick();
    }
    void Click() { SetValue(1 - value); }
};

struct FakeLabel : LabelControl {
    std::u16string text;
    std::u16string Caption() override { return text; }
    void SetCaption(const std::u16string& t) override { text = t; }
};

class FakeView : public MainWindowView, public FormWindow, public HotkeyControl {
public:
    explicit FakeView(Trace& trace) : trace_(trace) {}
    FakeList list, combo, cycle;
    FakeCheck play, record, startup, autoRun;
    std::u16string caption;
    FakeLabel label, hotkeyNote;
    Hotkey hotkey;
    bool visible = true;
    WindowState state = WindowState::Normal;
    MainWindowEvents* events = nullptr;
    FormWindow& Window() override { return *this; }
    ListBoxControl& DeviceList() override { return list; }
    ComboBoxControl& StartupCombo() override { return combo; }
    CheckBoxControl& PlayCheck() override { return play; }
    CheckBoxControl& RecordCheck() override { return record; }
    CheckBoxControl& StartupCheck() override { return startup; }
    CheckBoxControl& AutoRunCheck() override { return autoRun; }
    LabelControl& CurrentCardTxt() override { return label; }
    HotkeyControl& HotkeyBox() override { return *this; }
    Hotkey Value() override { return hotkey; }
    void SetValue(const Hotkey& value) override { hotkey = value; }
    LabelControl& HotkeyNoteTxt() override { return hotkeyNote; }
    CheckListControl& CycleList() override { return cycle; }
    std::u16string Caption() override { return caption; }
    void SetCaption(const std::u16string& text) override { trace_("caption " + U8(caption = text)); }
    bool Visible() override { return visible; }
    void SetVisible(bool show) override { trace_(std::string("window ") + (show ? "shown" : "hidden")), visible = show; }
    WindowState State() override { return state; }
    void SetState(WindowState s) override {
        trace_(s == WindowState::Minimized ? "window minimized" : "window normal");
        if (std::exchange(state, s) != s) events->OnResize();
    }
    NativeHandle Handle() override { return 0x1234; }
    NativeHandle IconHandle() override { return 0x5678; }
    WindowGeometry Geometry() override { return {}; }
    void SetGeometry(const WindowGeometry&) override {}

private:
    Trace& trace_;
};

// The tray as the window sees it: an add while the icon shows is refused, and a
// double click restores the target and unloads.
struct FakeTrayIcon : TrayIcon {
    explicit FakeTrayIcon(Trace& trace) : trace(trace) {}
    Trace& trace;
    bool shown = false;
    std::u16string tip, menu;
    TrayTarget* target = nullptr;
    void AddTrayIcon(TrayTarget& icon, const std::u16string& text, bool menuOnClick, TrayTarget& show,
                     const std::u16string& items) override {
        trace("tray add " + U8(text) + (menuOnClick ? "" : " no-menu") + (&icon == &show ? "" : " other") +
              (items.empty() ? "" : " items"));
        target = &show;
        if (!std::exchange(shown, true)) tip = text;
    }
    void RemoveTrayIcon() override { trace("tray remove"), shown = false; }
    void ChangeToolTipText(const std::u16string& text) override { tip = text; }
    void ChangePopupMenuString(const std::u16string& items) override { trace("tray menu"), menu = items; }
    void ShowNotification(const std::u16string& title, const std::u16string& text) override {
        trace("tray note " + U8(title) + ": " + U8(text));
    }
    void Unload() override { trace("tray unload"), shown = false, target = nullptr; }
    void DoubleClick() {
        TrayTarget* t = target;
        t->SetWindowStateNormal(), t->SetVisible(true), Unload();
    }
};

}  // namespace marvolt::fakes
