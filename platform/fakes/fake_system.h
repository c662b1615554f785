#pragma once
// Recording doubles of the platform services. Every call that changes something
// is written to one trace, so a test reads the effects across services, and
// their order, as one text.
#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/main_window_view.h"
#include "instance/instance_guard.h"
#include "on_top/topmost_pin.h"
#include "platform/app_identity.h"
#include "platform/beeper.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/instance_query.h"
#include "platform/keystrokes.h"
#include "platform/menu_api.h"
#include "platform/message_service.h"
#include "platform/pending_events.h"
#include "platform/process_end.h"
#include "platform/process_launcher.h"
#include "platform/settings_store.h"
#include "platform/shell_association.h"
#include "platform/shell_notify.h"
#include "platform/sound_devices.h"
#include "platform/text.h"
#include "platform/top_level_windows.h"
#include "platform/tray_window.h"
#include "platform/window_activation.h"
#include "shell/document_opener.h"
#include "tray/tray_icon.h"
#include "tray/tray_target.h"

namespace marvolt::fakes {

inline std::string U8(const std::u16string& text) { return ToUtf8(text); }
inline std::string N(long long number) { return std::to_string(number); }

struct Trace {
    std::string text;
    void operator()(const std::string& entry) { text += (text.empty() ? "" : "; ") + entry; }
    std::string Take() { return std::exchange(text, std::string()); }
};

// Thrown by EndNow, so that no further code of the caller runs.
struct ProcessEnded {};

// The small services at once: one object, one trace.
class FakeSystem : public MessageService, public AppIdentity, public ProcessEnd, public ProcessLauncher,
                   public Beeper, public PendingEvents, public Keystrokes, public InstanceGuard,
                   public TopmostPin, public DocumentOpener, public SoundDevices, public SettingsStore,
                   public WindowActivation, public InstanceQuery, public TopLevelWindows,
                   public ShellAssociation, public FileSystem, public Environment {
public:
    Trace trace;
    // MessageService: Yes/No questions get `answer`.
    MessageAnswer answer = MessageAnswer::Yes;
    MessageAnswer ShowMessage(const std::u16string& text, const std::u16string& title, MessageButtons buttons,
                              MessageIcon icon) override {
        trace("message " + U8(text) + " | " + U8(title) + " | " + N(int(buttons)) + N(int(icon)));
        return buttons == MessageButtons::Ok ? MessageAnswer::Ok : answer;
    }
    // AppIdentity
    std::u16string title = u"Marvolt", folder = u"C:\\Tools", exe = u"Marvolt";
    std::u16string Title() override { return title; }
    void SetTitle(const std::u16string& text) override { trace("title " + U8(title = text)); }
    std::u16string ProgramFolder() override { return folder; }
    std::u16string ExeBaseName() override { return exe; }
    // ProcessEnd, ProcessLauncher, Beeper, PendingEvents, Keystrokes
    [[noreturn]] void EndNow() override { trace("end"), throw ProcessEnded{}; }
    std::uint32_t started = 4242;
    std::uint32_t StartProcess(const std::u16string& line, int show) override {
        return trace("start " + U8(line) + " @" + N(show)), started;
    }
    void DefaultBeep() override { trace("beep"); }
    void ProcessPending() override { trace("pending"); }
    void SendKeys(const std::u16string& keys) override { trace("keys " + U8(keys)); }
    // InstanceGuard: ends the process when an earlier instance runs.
    bool earlierInstance = false;
    void CheckPrevInstance(const std::u16string& first, const std::u16string& second) override {
        trace("guard " + U8(first) + "/" + U8(second));
        if (earlierInstance) EndNow();
    }
    // TopmostPin
    bool onTop = false;
    bool GetIsOnTop() override { return onTop; }
    void SetToTop(bool) override { trace("pin top"), onTop = true; }
    void SetToNormal(bool) override { trace("pin normal"), onTop = false; }
    // DocumentOpener
    std::uint32_t OpenDocument(const std::u16string& target, int style) override {
        return trace("open " + U8(target) + " @" + N(style)), 77;
    }
    // SoundDevices: a field of "!" fails with error 11; `count` overrides the number.
    std::vector<std::u16string> devices;
    long long count = -1;
    std::uint32_t OutputDeviceCount() override {
        return static_cast<std::uint32_t>(count >= 0 ? count : static_cast<long long>(devices.size()));
    }
    std::uint32_t OutputDeviceName(std::uint32_t id, std::u16string& field) override {
        if (devices.at(id) == u"!") return 11;
        field = devices[id];
        if (field.size() < 32) field.resize(32, u'\0');
        return 0;
    }
    // SettingsStore, in memory: "app/section\\key" -> value.
    std::map<std::u16string, std::u16string> stored;
    void Save(const std::u16string& app, const std::u16string& section, const std::u16string& key,
              const std::u16string& value) override {
        trace("save " + U8(section + key) + "=" + U8(value));
        stored[app + u"/" + section + key] = value;
    }
    std::u16string Get(const std::u16string& app, const std::u16string& section, const std::u16string& key,
                       const std::u16string& fallback) override {
        auto found = stored.find(app + u"/" + section + key);
        return found == stored.end() ? fallback : found->second;
    }
    // WindowActivation, InstanceQuery, TopLevelWindows: `windows` by process id.
    bool earlierRunning = false;
    std::uint32_t earlierProcess = 0;
    std::map<std::uint32_t, NativeHandle> windows;
    bool ActivateByTitle(const std::u16string& text) override { return trace("activate " + U8(text)), true; }
    bool Activate(NativeHandle window) override { return trace("activate " + N(window)), true; }
    bool EarlierInstanceRunning() override { return earlierRunning; }
    std::uint32_t EarlierInstanceProcess() override { return earlierProcess; }
    NativeHandle FindByClassInProcess(const std::u16string& cls, std::uint32_t process) override {
        trace("find " + U8(cls) + " in " + N(process));
        return windows.count(process) ? windows[process] : 0;
    }
    void ShowAsync(NativeHandle window, int command) override { trace("show " + N(window) + " " + N(command)); }
    void SetTopmost(NativeHandle window, bool top) override { trace("topmost " + N(window) + " " + N(top)); }
    bool IsTopmost(NativeHandle) override { return false; }
    // ShellAssociation: answers for an existing file by its lower-case
    // extension; `answers` false: the shell writes no result at all.
    std::map<std::u16string, std::u16string> programs;
    bool answers = true;
    std::u16string wander;  // where the lookup leaves the current directory
    std::optional<std::u16string> ProgramForFile(const std::u16string& file) override {
        auto found = files.find(file);
        trace("lookup " + U8(file) + (found == files.end() ? "" : " '" + U8(found->second.empty() ? u"" : found->second[0]) + "'"));
        if (!wander.empty()) cwd = wander;
        if (!answers) return std::nullopt;
        size_t dot = file.rfind(u'.');
        if (found == files.end() || dot == std::u16string::npos || dot < file.find_last_of(u"\\/") + 1) return u"";
        return programs[ToLowerAscii(file.substr(dot))];
    }
    // FileSystem: files by path; nothing can be created in `readOnly` folders.
    std::map<std::u16string, std::vector<std::u16string>> files;
    std::vector<std::u16string> readOnly;
    std::u16string cwd = u"C:\\Work";
    bool Writable(const std::u16string& path) const {
        std::u16string folder = path.substr(0, path.find_last_of(u"\\/") + 1);
        return std::find(readOnly.begin(), readOnly.end(), folder) == readOnly.end();
    }
    bool WriteTextFile(const std::u16string& path, const std::vector<std::u16string>& lines) override {
        return Writable(path) && (trace("write " + U8(path)), files[path] = lines, true);
    }
    bool CreateNewTextFile(const std::u16string& path, const std::vector<std::u16string>& lines) override {
        return Writable(path) && !files.count(path) && (trace("create " + U8(path)), files[path] = lines, true);
    }
    bool FileExists(const std::u16string& path) override { return files.count(path) != 0; }
    bool RemoveFile(const std::u16string& path) override {
        return files.erase(path) == 1 && (trace("remove " + U8(path)), true);
    }
    std::u16string CurrentDirectory() override { return cwd; }
    bool ChangeDirectory(const std::u16string& path) override { return trace("cd " + U8(path)), cwd = path, true; }
    std::u16string TempFolder() override { return u"C:\\Temp\\"; }
    std::u16string Variable(const std::u16string&) override { return {}; }
};

// The notification area: keeps the icons it shows, refusing a second add of an
// icon and a change or removal of one it does not have.
class FakeShell : public ShellNotify {
public:
    explicit FakeShell(Trace& trace) : trace_(trace) {}
    std::map<std::pair<NativeHandle, std::uint32_t>, NotifyIconRecord> icons;
    bool available = true;
    NotifyIconRecord last;
    bool NotifyIcon(NotifyAction action, const NotifyIconRecord& record) override {
        last = record;
        auto key = std::make_pair(record.hWnd, record.uID);
        bool present = icons.count(key) != 0;
        bool ok = available && record.hWnd != 0 && present == (action != NotifyAction::Add);
        if (ok && action == NotifyAction::Delete) icons.erase(key);
        else if (ok) icons[key] = record;
        trace_(std::string(action == NotifyAction::Add ? "add" : action == NotifyAction::Modify ? "modify" : "delete") +
               (ok ? "" : " refused"));
        return ok;
    }
    // The tip of the one icon on show, up to its NUL; "-" when none shows.
    std::string Tip() const {
        if (icons.size() != 1) return icons.empty() ? "-" : "several";
        const std::u16string& tip = icons.begin()->second.szTip;
        return U8(tip.substr(0, tip.find(u'\0')));
    }

private:
    Trace& trace_;
};

// Hidden tray windows, numbered 0x7001 up; a click timer that tests expire.
class FakeTrayWindows : public TrayWindowFactory {
public:
    explicit FakeTrayWindows(Trace& trace) : trace_(trace) {}
    struct Window : TrayWindow {
        Window(FakeTrayWindows& owner, TrayWindowEvents& events, NativeHandle handle)
            : owner(owner), events(events), handle(handle) {
            owner.live[handle] = this;
        }
        ~Window() override { owner.live.erase(handle), owner.trace_("destroy " + N(handle)); }
        NativeHandle Handle() override { return handle; }
        void MoveOffScreen() override { owner.trace_("offscreen"); }
        void Show() override { owner.trace_("show"), visible = true; }
        void Hide() override { owner.trace_("hide"), visible = false; }
        void SetIcon(NativeHandle picture) override { icon = picture; }
        unsigned DoubleClickTime() override { return 432; }
        void StartClickTimer(unsigned ms) override { owner.trace_("timer " + N(ms)), timer = ms; }
        void CancelClickTimer() override { timer = 0; }
        FakeTrayWindows& owner;
        TrayWindowEvents& events;
        NativeHandle handle, icon = 0;
        unsigned timer = 0;
        bool visible = false;
    };
    std::unique_ptr<TrayWindow> CreateTrayWindow(TrayWindowEvents& events) override {
        NativeHandle handle = 0x7001 + static_cast<NativeHandle>(created++);
        trace_("create " + N(handle));
        return std::make_unique<Window>(*this, events, handle);
    }
    Window* Only() { return live.size() == 1 ? live.begin()->second : nullptr; }
    std::map<NativeHandle, Window*> live;
    int created = 0;

private:
    Trace& trace_;
};

// The user32 menu calls: menus live until destroyed, and calls on a menu that
// does not exist fail. TrackPopup answers with `choose` (run inside the menu
// loop) or 0.
class FakeMenus : public MenuApi {
public:
    explicit FakeMenus(Trace& trace) : trace_(trace) {}
    std::map<NativeHandle, std::vector<std::string>> menus;  // entries as "id:flags:text"
    std::vector<std::string> shown;                          // entries of the last tracked menu
    NativeHandle next = 0x5000, active = 0;
    bool failCreate = false;
    std::function<std::uint32_t()> choose;
    NativeHandle CreatePopup() override { return failCreate ? 0 : (menus[++next], next); }
    bool DestroyPopup(NativeHandle menu) override { return menus.erase(menu) == 1; }
    bool AppendItem(NativeHandle menu, std::uint32_t flags, std::uint32_t id, const std::u16string& text) override {
        if (!menus.count(menu)) return false;
        menus[menu].push_back(N(id) + ":" + N(flags) + ":" + U8(text));
        return true;
    }
    bool SetItemBitmaps(NativeHandle menu, std::uint32_t id, std::uint32_t flags, NativeHandle unchecked,
                        NativeHandle checked) override {
        if (flags || unchecked || checked) trace_("bitmaps " + N(id) + " " + N(flags) + " " + N(unchecked) + " " + N(checked));
        return menus.count(menu) == 1;
    }
    bool SetDefaultItem(NativeHandle, std::uint32_t id, std::uint32_t byPosition) override {
        trace_("default " + N(id) + " " + N(byPosition));
        return true;
    }
    void EnableItem(NativeHandle, std::uint32_t id, std::uint32_t enable) override {
        trace_("enable " + N(id) + " " + N(enable));
    }
    bool CursorPosition(ScreenPoint& point) override { return point = {300, 400}, true; }
    bool WindowRectangle(NativeHandle, ScreenRect& rect) override { return rect = {10, 20, 110, 40}, true; }
    NativeHandle ActiveWindow() override { return active; }
    void MakeForeground(NativeHandle window) override { trace_("foreground " + N(window)); }
    std::uint32_t TrackPopup(NativeHandle menu, std::uint32_t flags, int x, int y, NativeHandle owner) override {
        trace_("track " + N(flags) + " " + N(x) + "," + N(y) + " owner " + N(owner));
        if (!menus.count(menu)) return 0;
        shown = menus[menu];
        return choose ? choose() : 0;
    }

private:
    Trace& trace_;
};

// A window the tray restores and reports menu choices to.
class FakeTarget : public TrayTarget {
public:
    FakeTarget(std::string name, Trace& trace) : name_(std::move(name)), trace_(trace) {}
    NativeHandle icon = 0x1234;
    std::u16string caption = u"Marvolt 1.01";
    WindowGeometry geometry{100, 80, 400, 300};
    std::function<void(const std::u16string&)> onMenu;
    void OnTrayMenu(const std::u16string& chosen) override {
        trace_(name_ + " chose " + U8(chosen));
        if (onMenu) onMenu(chosen);
    }
    NativeHandle IconHandle() override { return icon; }
    std::u16string Caption() override { return caption; }
    void SetVisible(bool visible) override { trace_(name_ + (visible ? " shown" : " hidden")); }
    void SetWindowStateNormal() override { trace_(name_ + " normal"); }
    WindowGeometry Geometry() override { return geometry; }
    void SetGeometry(const WindowGeometry& g) override {
        trace_(name_ + " at " + N(g.left) + "," + N(g.top) + "," + N(g.width) + "," + N(g.height));
    }

private:
    std::string name_;
    Trace& trace_;
};

}  // namespace marvolt::fakes
