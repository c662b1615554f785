// The tray menu's cost as the device count grows: composing the item string,
// and dispatching a device entry (find the row, switch, recompose, re-add the
// icon). Both run through the real MainWindow over the platform doubles. The
// yardstick in the same run is joining the rows into one text, the least any
// composition has to do.
#include <benchmark/benchmark.h>

#include <algorithm>

#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/tray_menu.h"
#include "bench/native/bench_doubles.h"
#include "platform/fakes/fake_registry.h"
#include "platform/text.h"

namespace marvolt {
namespace {

// Names that nest ("Speakers 1" in "Speakers 10" and "Speakers 100"), as real
// device lists do, so that finding a row cannot stop at the first name found.
std::vector<std::u16string> DeviceNames(int count) {
    std::vector<std::u16string> names;
    for (int i = 1; i <= count; ++i) names.push_back(u"Speakers " + Decimal(i));
    return names;
}

// The entry text the menu hands back for row `index` when it is the default.
std::u16string DefaultEntry(const std::vector<std::u16string>& rows, size_t index) {
    return u"Soundcard " + Decimal(static_cast<long long>(index) + 1) + u": " + rows[index] +
           u"  <default>   (Play + Rec)";
}

class Window {
public:
    explicit Window(int deviceCount) {
        rows = DeviceNames(deviceCount);
        system.devices = rows;
        view.play.value = view.record.value = 1;
        // The whole start-up: device list, first registry values, options
        // (both roles ticked), the icon and the first menu.
        window.Load();
    }

    std::u16string Playback() {
        return registry.ReadRegPath(u"HKEY_CURRENT_USER\\Software\\Microsoft\\Multimedia\\Sound Mapper\\Playback");
    }

    bench::BenchSystem system;
    FakeRegistry registryApi;
    FakeAnsiCodePage codePage;
    Registry registry{registryApi, codePage};
    AppSettings settings{system, system, system, system};
    bench::BenchView view;
    bench::BenchTrayIcon tray;
    MainWindow window{view, MainWindowServices{registry, settings, system, system, system, system, system, system,
                                               system, system, tray, system}};
    std::vector<std::u16string> rows;
};

void SetComplexity(benchmark::State& state) {
    state.SetComplexityN(state.range(0));
    state.counters["devices"] = static_cast<double>(state.range(0));
}

void BM_JoinRows(benchmark::State& state) {
    std::vector<std::u16string> rows = DeviceNames(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::u16string joined;
        for (const std::u16string& row : rows) {
            joined += row;
            joined += u", ";
        }
        benchmark::DoNotOptimize(joined.data());
    }
    SetComplexity(state);
}

void BM_ComposeTrayMenu(benchmark::State& state) {
    std::vector<std::u16string> rows = DeviceNames(static_cast<int>(state.range(0)));
    const std::u16string& middle = rows[rows.size() / 2];
    for (auto _ : state) {
        std::u16string menu = ComposeTrayMenu(rows, middle, rows.back());
        benchmark::DoNotOptimize(menu.data());
    }
    SetComplexity(state);
}

void BM_CreatePopupMenu(benchmark::State& state) {
    Window w(static_cast<int>(state.range(0)));
    w.window.OnTrayMenu(DefaultEntry(w.rows, w.rows.size() / 2));
    for (auto _ : state) {
        w.window.CreatePopupMenu();
        benchmark::DoNotOptimize(w.tray.menu.data());
    }
    // Beyond what the menu can number, devices are cut, never the commands after them.
    const std::u16string menu = w.window.TrayMenuString();
    const size_t last = std::min<size_t>(w.rows.size(), 900) - 1;
    if (menu.find(w.rows[last]) == std::u16string::npos || menu.rfind(u"Exit") != menu.size() - 4)
        state.SkipWithError("the menu lacks a device or its commands");
    SetComplexity(state);
}

// The last row: the one found last. Each pass switches between the last two
// rows, so every pass writes the registry and moves the default marks.
void BM_OnTrayMenuDevice(benchmark::State& state) {
    Window w(static_cast<int>(state.range(0)));
    size_t last = w.rows.size() - 1;
    size_t other = last > 0 ? last - 1 : 0;
    std::u16string entries[2] = {DefaultEntry(w.rows, last), DefaultEntry(w.rows, other)};
    int pass = 0;
    for (auto _ : state) {
        w.window.OnTrayMenu(entries[pass & 1]);
        ++pass;
    }
    if (w.Playback() != w.rows[(pass & 1) ? last : other])
        state.SkipWithError("the chosen device was not switched to");
    SetComplexity(state);
}

#define MARVOLT_DEVICE_COUNTS ->Arg(1)->Arg(10)->Arg(100)->Arg(999)->Complexity(benchmark::oAuto)

BENCHMARK(BM_JoinRows) MARVOLT_DEVICE_COUNTS;
BENCHMARK(BM_ComposeTrayMenu) MARVOLT_DEVICE_COUNTS;
BENCHMARK(BM_CreatePopupMenu) MARVOLT_DEVICE_COUNTS;
BENCHMARK(BM_OnTrayMenuDevice) MARVOLT_DEVICE_COUNTS;

}  // namespace
}  // namespace marvolt
