#pragma once
// The settings window's logic over recording doubles, with the real Registry
// and AppSettings over an in-memory registry and store.
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "platform/fakes/fake_registry.h"
#include "platform/fakes/fake_system.h"

namespace marvolt::fakes {

inline const std::u16string kMapper = u"HKEY_CURRENT_USER\\Software\\Microsoft\\Multimedia\\Sound Mapper\\";
inline const std::u16string kRun = u"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Marvolt";
inline const std::u16string kHeads =
    u"Homepage ..., -,Settings ..., -,Windows audio settings ..., Windows audio mixer ..., -, "
    u"Reload list of Soundcards, -,";

// The list box and the combo box: the same calls on the same data.
struct FakeList : ListBoxControl, ComboBoxControl {
    std::vector<std::u16string> items;
    int selected = -1;
    std::u16string text = u"Combo1";
    bool visible = true;
    void Clear() override { items.clear(); }
    void AddItem(const std::u16string& item) override { items.push_back(item); }
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

class FakeView : public MainWindowView, public FormWindow {
public:
    explicit FakeView(Trace& trace) : trace_(trace) {}
    FakeList list, combo;
    FakeCheck play, record, startup, autoRun;
    std::u16string caption;
    FakeLabel label;
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
    void Unload() override { trace("tray unload"), shown = false, target = nullptr; }
    void DoubleClick() {
        TrayTarget* t = target;
        t->SetWindowStateNormal(), t->SetVisible(true), Unload();
    }
};

class MainWindowTest : public ::testing::Test {
protected:
    FakeSystem system;
    Trace& trace = system.trace;
    FakeRegistry registryApi;
    FakeAnsiCodePage codePage;
    Registry registry{registryApi, codePage};
    AppSettings settings{system, system, system, system};
    FakeView view{trace};
    FakeTrayIcon tray{trace};
    MainWindow window{view, MainWindowServices{registry, settings, system, system, system, system, system, system,
                                               system, system, tray, system}};

    MainWindowTest() {
        view.events = &window;
        view.play.onClick = [this] { window.OnPlayCheckClick(); };
        view.record.onClick = [this] { window.OnRecordCheckClick(); };
        view.startup.onClick = [this] { window.OnStartupCheckClick(); };
        view.autoRun.onClick = [this] { window.OnAutoRunCheckClick(); };
        registryApi.onWrite = [this](const std::string& entry) { trace(entry); };
    }
    void Devices(std::vector<std::u16string> names) { system.devices = std::move(names); }
    void Rows(std::vector<std::u16string> names) {
        Devices(std::move(names));
        window.OnTrayMenu(u"Reload list of Soundcards");
        trace.Take();
    }
    void Set(const std::u16string& name, const std::u16string& text) {
        registry.WriteRegString(u"HKEY_CURRENT_USER", u"Software\\Microsoft\\Multimedia\\Sound Mapper", name, text);
    }
    std::string Get(const std::u16string& name) { return U8(registry.ReadRegPath(kMapper + name)); }
    void Store(const std::u16string& key, const std::u16string& value) { system.stored[u"Marvolt/Settings\\" + key] = value; }
    void Roles(int play, int record) { view.play.value = play, view.record.value = record; }
    // What a person sees: the defaults, the label, the selected row, the window and the tray.
    std::string Seen() {
        return "play=" + Get(u"Playback") + " rec=" + Get(u"Record") + " | " + U8(view.label.text) + " | row " +
               N(view.list.selected) + " | " + (view.visible ? "visible" : "hidden") +
               (view.state == WindowState::Minimized ? " min" : "") + " | tray " +
               (tray.shown ? "'" + U8(tray.tip) + "'" : "-");
    }
    std::string Menu() { return U8(tray.menu.substr(kHeads.size())); }
};

}  // namespace marvolt::fakes
