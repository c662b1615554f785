#pragma once
// The platform as the benchmark needs it: devices by name, settings in memory,
// the settings window's controls as plain data and a tray icon that keeps its
// menu. Everything else does nothing, so that only the logic is timed.
#include <map>
#include <string>
#include <vector>

#include "app/main_window_view.h"
#include "instance/instance_guard.h"
#include "on_top/topmost_pin.h"
#include "platform/app_identity.h"
#include "platform/beeper.h"
#include "platform/message_service.h"
#include "platform/process_end.h"
#include "platform/process_launcher.h"
#include "platform/settings_store.h"
#include "platform/sound_devices.h"
#include "shell/document_opener.h"
#include "tray/tray_icon.h"

namespace marvolt::bench {

class BenchSystem : public MessageService,
                    public AppIdentity,
                    public ProcessEnd,
                    public ProcessLauncher,
                    public Beeper,
                    public InstanceGuard,
                    public TopmostPin,
                    public DocumentOpener,
                    public SoundDevices,
                    public SettingsStore {
  public:
    std::vector<std::u16string> devices;
    MessageAnswer ShowMessage(const std::u16string&, const std::u16string&, MessageButtons buttons,
                              MessageIcon) override {
        return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Yes;
    }
    std::u16string Title() override { return u"Marvolt"; }
    void SetTitle(const std::u16string&) override {}
    std::u16string ProgramFolder() override { return u"C:\\Tools"; }
    std::u16string ExeBaseName() override { return u"Marvolt"; }
    [[noreturn]] void EndNow() override { throw 0; }
    std::uint32_t StartProcess(const std::u16string&, int) override { return 1; }
    void DefaultBeep() override {}
    void CheckPrevInstance(const std::u16string&, const std::u16string&) override {}
    bool GetIsOnTop() override { return true; }
    void SetToTop(bool) override {}
    void SetToNormal(bool) override {}
    std::uint32_t OpenDocument(const std::u16string&, int) override { return 1; }
    std::uint32_t OutputDeviceCount() override {
        return static_cast<std::uint32_t>(devices.size());
    }
    std::uint32_t OutputDeviceName(std::uint32_t id, std::u16string& field) override {
        field = devices.at(id);
        return 0;
    }
    std::map<std::u16string, std::u16string> stored;
    void Save(const std::u16string& app, const std::u16string& section, const std::u16string& key,
              const std::u16string& value) override {
        stored[app + u"/" + section + key] = value;
    }
    std::u16string Get(const std::u16string& app, const std::u16string& section,
                       const std::u16string& key, const std::u16string& fallback) override {
        auto found = stored.find(app + u"/" + section + key);
        return found == stored.end() ? fallback : found->second;
    }
};

struct BenchList : ListBoxControl, ComboBoxControl, CheckListControl {
    std::vector<std::u16string> items;
    std::vector<bool> ticks;
    int selected = -1;
    std::u16string text;
    bool visible = true;
    void Clear() override {
        items.clear();
        ticks.clear();
    }
    void AddItem(const std::u16string& item) override { items.push_back(item); }
    void AddItem(const std::u16string& item, bool ticked) override {
        items.push_back(item);
        ticks.push_back(ticked);
    }
    bool Ticked(int i) override {
        return i >= 0 && i < Count() && ticks.at(static_cast<size_t>(i));
    }
    int Count() override { return static_cast<int>(items.size()); }
    std::u16string ItemText(int i) override { return items.at(static_cast<size_t>(i)); }
    int SelectedIndex() override { return selected; }
    void SetSelectedIndex(int i) override { selected = i; }
    std::u16string Text() override { return text; }
    void SetText(const std::u16string& t) override { text = t; }
    bool Visible() override { return visible; }
    void SetVisible(bool v) override { visible = v; }
};

// Nothing is clicked while the benchmark runs: a box only keeps its value.
struct BenchCheck : CheckBoxControl {
    int value = 0;
    int Value() override { return value; }
    void SetValue(int v) override { value = v; }
};

struct BenchLabel : LabelControl {
    std::u16string text;
    std::u16string Caption() override { return text; }
    void SetCaption(const std::u16string& t) override { text = t; }
};

class BenchView : public MainWindowView, public FormWindow, public HotkeyControl {
  public:
    BenchList list, combo, cycle, roles;
    BenchCheck play, record, startup, autoRun;
    BenchLabel label, hotkeyNote;
    Hotkey hotkey;
    std::u16string caption;
    bool visible = false;
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
    ListBoxControl& RolesChoice() override { return roles; }
    std::u16string Caption() override { return caption; }
    void SetCaption(const std::u16string& text) override { caption = text; }
    bool Visible() override { return visible; }
    void SetVisible(bool show) override { visible = show; }
    WindowState State() override { return WindowState::Minimized; }
    void SetState(WindowState) override {}
    NativeHandle Handle() override { return 0x1234; }
    NativeHandle IconHandle() override { return 0x5678; }
    WindowGeometry Geometry() override { return {}; }
    void SetGeometry(const WindowGeometry&) override {}
};

struct BenchTrayIcon : TrayIcon {
    std::u16string menu;
    void AddTrayIcon(TrayTarget&, const std::u16string&, bool, TrayTarget&,
                     const std::u16string&) override {}
    void RemoveTrayIcon() override {}
    void ChangeToolTipText(const std::u16string&) override {}
    void ChangePopupMenuString(const std::u16string& items) override { menu = items; }
    void ShowNotification(const std::u16string&, const std::u16string&) override {}
    void Unload() override {}
};

}  // namespace marvolt::bench
