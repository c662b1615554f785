#pragma once
// The main window over recording doubles, with the real Registry and AppSettings
// over in-memory stores. Registry writes and settings saves go into the same
// CallLog as the window's other calls, so tests can check their order.
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/main_window.h"
#include "platform/fakes/fake_app_parts.h"
#include "platform/fakes/fake_main_window_view.h"
#include "platform/fakes/fake_registry.h"
#include "platform/fakes/fake_settings_store.h"
#include "platform/fakes/fake_sound_devices.h"
#include "platform/fakes/simple_fakes.h"
#include "platform/text.h"

namespace marvolt::testing {

constexpr char16_t kMapperKey[] = u"Software\\Microsoft\\Multimedia\\Sound Mapper";
constexpr char16_t kRunKeyPath[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Passes registry calls on to the in-memory registry and logs what changes.
class LoggingRegistryApi : public RegistryApi {
public:
    LoggingRegistryApi(RegistryApi& inner, CallLog& log) : inner_(inner), log_(log) {}
    long CreateKey(RegKey root, const std::u16string& path, RegKey* key) override {
        return inner_.CreateKey(root, path, key);
    }
    long OpenKey(RegKey root, const std::u16string& path, RegKey* key) override {
        return inner_.OpenKey(root, path, key);
    }
    long SetValue(RegKey key, const std::u16string& name, std::uint32_t type, const std::uint8_t* data,
                  std::uint32_t size) override {
        log_.Add("reg set " + ToUtf8(name));
        return inner_.SetValue(key, name, type, data, size);
    }
    long QueryValue(RegKey key, const std::u16string& name, std::uint32_t* type, std::uint8_t* data,
                    std::uint32_t* size) override {
        return inner_.QueryValue(key, name, type, data, size);
    }
    long DeleteValue(RegKey key, const std::u16string& name) override {
        log_.Add("reg delete " + ToUtf8(name));
        return inner_.DeleteValue(key, name);
    }
    long CloseKey(RegKey key) override { return inner_.CloseKey(key); }

private:
    RegistryApi& inner_;
    CallLog& log_;
};

class LoggingSettingsStore : public SettingsStore {
public:
    LoggingSettingsStore(SettingsStore& inner, CallLog& log) : inner_(inner), log_(log) {}
    void Save(const std::u16string& app, const std::u16string& section, const std::u16string& key,
              const std::u16string& value) override {
        log_.Add("save " + ToUtf8(key) + "=" + ToUtf8(value));
        inner_.Save(app, section, key, value);
    }
    std::u16string Get(const std::u16string& app, const std::u16string& section, const std::u16string& key,
                       const std::u16string& fallback) override {
        return inner_.Get(app, section, key, fallback);
    }

private:
    SettingsStore& inner_;
    CallLog& log_;
};

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() { view.BindEvents(window); }

    // --- setup -------------------------------------------------------------
    void Devices(std::initializer_list<const char16_t*> names) {
        devices.Clear();
        for (const char16_t* name : names) devices.Add(name);
    }
    void SetMapper(const std::u16string& name, const std::u16string& text) {
        registry.WriteRegString(u"HKEY_CURRENT_USER", kMapperKey, name, text);
    }
    void SetMapperDword(const std::u16string& name, std::int32_t number) {
        registry.WriteRegDword(u"HKEY_CURRENT_USER", kMapperKey, name, number);
    }
    void Store(const std::u16string& key, const std::u16string& value) {
        settings.SaveAppSetting(u"Settings", key, value);
    }
    // Fills the device list as the window's own reload does, then forgets the calls.
    void LoadRows(std::initializer_list<const char16_t*> names) {
        Devices(names);
        window.OnTrayMenu(u"Reload list of Soundcards");
        Forget();
    }
    void Forget() {
        log.Clear();
        messages.shown.clear();
        beeper.beeps = 0;
        tray.adds.clear();
        tray.removes = 0;
        tray.unloads = 0;
    }

    // --- observation -------------------------------------------------------
    std::u16string Mapper(const std::u16string& name) {
        return registry.ReadRegPath(u"HKEY_CURRENT_USER\\" + std::u16string(kMapperKey) + u"\\" + name);
    }
    std::u16string RunEntry() {
        return registry.ReadRegPath(u"HKEY_CURRENT_USER\\" + std::u16string(kRunKeyPath) + u"\\Marvolt");
    }
    // Type and number of a value as stored; type 0 when absent.
    std::uint32_t StoredType(const std::u16string& name, std::int32_t* number = nullptr) {
        RegKey key = 0;
        if (registryApi.OpenKey(kCurrentUser, kMapperKey, &key) != kRegOk) return 0;
        std::uint32_t type = 0;
        std::uint8_t data[64] = {};
        std::uint32_t size = sizeof data;
        long result = registryApi.QueryValue(key, name, &type, data, &size);
        registryApi.CloseKey(key);
        if (result != kRegOk) return 0;
        if (number && size == 4)
            *number = static_cast<std::int32_t>(data[0] | data[1] << 8 | data[2] << 16 |
                                                static_cast<std::uint32_t>(data[3]) << 24);
        return type;
    }
    std::u16string Stored(const std::u16string& key) {
        return settings.GetAppSetting(u"Settings", key, u"<absent>");
    }
    std::vector<std::string> Calls() const { return log.Entries(); }

    CallLog log;
    FakeRegistry registryApi;
    FakeAnsiCodePage codePage;
    LoggingRegistryApi loggingApi{registryApi, log};
    Registry registry{loggingApi, codePage};
    FakeSettingsStore store;
    LoggingSettingsStore loggingStore{store, log};
    FakeAppIdentity identity;
    FakeMessageService messages{&log};
    FakeProcessEnd processEnd{&log};
    AppSettings settings{loggingStore, identity, messages, processEnd};
    FakeSoundDevices devices;
    FakeProcessLauncher launcher{&log};
    FakeBeeper beeper{&log};
    FakeInstanceGuard guard{processEnd, &log};
    FakeTopmostPin pin{&log};
    FakeTrayIcon tray{&log};
    FakeDocumentOpener documents{&log};
    FakeMainWindowView view{&log};
    MainWindow window{view, MainWindowServices{registry, settings, devices, messages, identity, launcher, beeper,
                                               processEnd, guard, pin, tray, documents}};
};

}  // namespace marvolt::testing
