// Program entry: builds the Win32 services, the settings window and the tray,
// runs the start-up sequence and then the message loop.
#include <windows.h>

#include "app/main_window.h"
#include "audio/default_endpoint.h"
#include "command_line/command_runner.h"
#include "instance/prev_instance.h"
#include "on_top/always_on_top.h"
#include "platform/win32/app_identity_win32.h"
#include "platform/win32/audio_endpoints_win32.h"
#include "platform/win32/beeper_win32.h"
#include "platform/win32/console_output_win32.h"
#include "platform/win32/file_probe_win32.h"
#include "platform/win32/file_version_win32.h"
#include "platform/win32/file_system_win32.h"
#include "platform/win32/instance_query_win32.h"
#include "platform/win32/menu_api_win32.h"
#include "platform/win32/message_service_win32.h"
#include "platform/win32/pending_events_win32.h"
#include "platform/win32/process_end_win32.h"
#include "platform/win32/process_launcher_win32.h"
#include "platform/win32/registry_api_win32.h"
#include "platform/win32/shell_association_win32.h"
#include "platform/win32/shell_notify_win32.h"
#include "platform/win32/signature_check_win32.h"
#include "platform/win32/sound_devices_win32.h"
#include "platform/win32/system_events_win32.h"
#include "platform/win32/top_level_windows_win32.h"
#include "platform/win32/tray_window_win32.h"
#include "platform/win32/url_download_win32.h"
#include "platform/win32/win_text.h"
#include "platform/win32/window_activation_win32.h"
#include "registry/app_settings.h"
#include "registry/registry.h"
#include "registry/registry_settings_store.h"
#include "shell/run_file.h"
#include "tray/system_tray.h"
#include "tray/tray_target_relay.h"
#include "update/files_download.h"
#include "update/update_addresses.h"
#include "windows/main_window_view_win32.h"
#include "windows/profiles_window_win32.h"

extern const marvolt::PublicKey kReleasePublicKey;

namespace marvolt {
namespace {

int Run(HINSTANCE instance) {
    // A start with arguments carries out a command and ends. It takes no
    // instance mutex, so that no start mistakes it for the running program.
    const std::optional<Command> command = ParseCommand(FromWide(::GetCommandLineW()));
    const bool ordinary = command && command->kind == CommandKind::Start;
    // Taken first, so that an instance started a moment later sees this one.
    Win32InstanceQuery instanceQuery(ordinary ? Win32InstanceQuery::kTake : Win32InstanceQuery::kLookOnly);
    Win32TopLevelWindows windows;
    ConsoleOutputWin32 console;
    if (!ordinary)
        if (std::optional<int> code = SettleCommand(command, {console, instanceQuery, windows, kMainWindowClass}))
            return *code;

    AppIdentityWin32 identity;
    MessageServiceWin32 messages(identity);
    Win32ProcessEnd processEnd;
    Win32RegistryApi registryApi;
    Utf8RegistryText codePage;
    Registry registry(registryApi, codePage);
    RegistrySettingsStore store(registryApi, codePage);
    AppSettings settings(store, identity, messages, processEnd);

    Win32WindowActivation activation;
    Win32PendingEvents pendingEvents;
    PrevInstance guard({instanceQuery, windows, activation, nullptr, pendingEvents, processEnd});

    SoundDevicesWin32 soundDevices;
    AudioEndpointsWin32 audioEndpoints;
    DefaultEndpoint defaultEndpoint(soundDevices, audioEndpoints);
    Win32ProcessLauncher launcher;
    BeeperWin32 beeper;
    Win32FileSystem files;
    Win32ShellAssociation association;
    RunFile documents({files, association, launcher, messages, identity});

    // A second start hands over before it builds any window. Start-up runs the
    // guard again as its first step; by then it finds nothing.
    if (ordinary && instanceQuery.EarlierInstanceRunning()) guard.CheckPrevInstance(u"", u"");

    // The window is created hidden and without a caption.
    std::unique_ptr<MainWindowViewWin32> view = MainWindowViewWin32::Create(instance);
    if (!view || !view->Pin()) return 1;
    AlwaysOnTop pin(*view->Pin(), *view, windows, settings);
    view->Pin()->SetEvents(pin);

    ShellNotifyWin32 shellNotify;
    TrayWindowFactoryWin32 trayWindows;
    MenuApiWin32 menus;
    // The tray and the settings window know each other: the tray is bound to
    // the window's logic once that exists.
    TrayTargetRelay mainTarget;
    SystemTray tray(mainTarget, {shellNotify, trayWindows, menus, pendingEvents, activation});
    // A start that carries out a command takes no hotkeys and follows no devices.
    SystemEventsWin32 systemEvents;
    MainWindow main(*view, {registry, settings, soundDevices, messages, identity, launcher, beeper, processEnd,
                            guard, pin, tray, documents, &defaultEndpoint, ordinary ? &systemEvents : nullptr});
    mainTarget.Bind(main);
    ProfilesWindowWin32 profilesWindow(instance, view->Hwnd());
    ProfileStore profileStore(registry);
    ProfilesEditor profilesEditor(profilesWindow, profileStore, main);
    profilesWindow.SetEditor(&profilesEditor);
    main.SetProfilesEditor(&profilesEditor);

    Win32UrlDownload urlDownload;
    Win32FileProbe fileProbe;
    Win32SignatureCheck signatures(kReleasePublicKey);
    Win32FileVersionReader versions;
    FilesDownload filesDownload(
        {urlDownload, fileProbe, signatures, pendingEvents, messages, launcher, processEnd, versions},
                                identity.ProgramFolder(), ReadUpdateAddresses(settings).updater);
    main.SetUpdateHandover(&filesDownload);
    view->SetEvents(&main);

    if (!ordinary) {
        main.LoadForCommand();
        const int code = RunCommandHere(*command, main, console);
        view->SetEvents(nullptr);
        return code;
    }
    main.Load();

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (view->PreTranslate(message) || profilesWindow.PreTranslate(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    view->SetEvents(nullptr);
    profilesWindow.SetEditor(nullptr);
    return static_cast<int>(message.wParam);
}

}  // namespace
}  // namespace marvolt

// The program starts here, without the C runtime's start-up code: it has no
// global constructors, splits its own command line and starts no threads, so that code
// would only add to the file and to every start. The C library it calls (memory,
// strings) is msvcrt.dll's, which sets itself up when it is loaded. The loader
// gives no more than 4-byte stack alignment on 32-bit Windows.
extern "C" __attribute__((force_align_arg_pointer)) void WinMainCRTStartup() {
    ::ExitProcess(static_cast<UINT>(marvolt::Run(::GetModuleHandleW(nullptr))));
}
