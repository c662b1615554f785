#pragma once
// The settings window's logic over recording doubles, with the real Registry
// and AppSettings over an in-memory registry and store.
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "platform/fakes/fake_main_window.h"
#include "platform/fakes/fake_registry.h"
#include "platform/fakes/fake_system.h"

namespace marvolt::fakes {

inline const std::u16string kMapper = u"HKEY_CURRENT_USER\\Software\\Microsoft\\Multimedia\\Sound Mapper\\";
inline const std::u16string kRun = u"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Marvolt";
inline const std::u16string kHeads =
    u"Homepage ..., -,Settings ..., -,Windows audio settings ..., Windows audio mixer ..., -, "
    u"Reload list of Soundcards, -,";

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
