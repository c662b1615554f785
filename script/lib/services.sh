# Shared by script/run, script/test and script/bench: starts the services that
# the program and its tests need (a virtual display, a PulseAudio server with
# null-sink devices, a Wine prefix with one virtual desktop) and stops exactly
# what it started, by process id.
#
# Settings (environment):
#   MARVOLT_WINEPREFIX  the Wine prefix (default: build/wineprefix in the checkout)
#   MARVOLT_SINKS       device names of the null sinks, separated by "|"
#                       (default: "Speakers|Headset")
#   MARVOLT_SOURCES     those of them that also get a recording device of their name
#   MARVOLT_USE_HOST    1: use an existing DISPLAY / PulseAudio when there is one

MARVOLT_ROOT=${MARVOLT_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
MARVOLT_STARTED_PIDS=()

marvolt_log() { echo "[services] $*" >&2; }

marvolt_free_display() {
    local n=${1:-90}
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    echo "$n"
}

marvolt_start_display() {
    if [ "${MARVOLT_USE_HOST:-0}" = 1 ] && [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
        marvolt_log "using display $DISPLAY"
        return
    fi
    local n
    n=$(marvolt_free_display 90)
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    MARVOLT_STARTED_PIDS+=($!)
    export DISPLAY=":$n"
    for _ in $(seq 1 50); do
        [ -e "/tmp/.X11-unix/X$n" ] && break
        sleep 0.1
    done
    marvolt_log "Xvfb on $DISPLAY"
}

# Loads one null sink whose device description is $1.
marvolt_add_sink() {
    local name=$1 sink
    MARVOLT_SINK_COUNT=$(( ${MARVOLT_SINK_COUNT:-0} + 1 ))
    sink="marvolt_sink_$MARVOLT_SINK_COUNT"
    pactl load-module module-null-sink "sink_name=$sink" "sink_properties=\"device.description='$name'\"" >/dev/null
    # A recording device of the same name, fed by the sink's monitor.
    case "|${MARVOLT_SOURCES:-}|" in *"|$name|"*)
        pactl load-module module-remap-source "master=$sink.monitor" "source_name=${sink}_input" \
            "source_properties=\"device.description='$name'\"" >/dev/null ;;
    esac
}

marvolt_start_pulse() {
    if [ "${MARVOLT_USE_HOST:-0}" = 1 ] && pactl info >/dev/null 2>&1; then
        marvolt_log "using the running PulseAudio server"
        return
    fi
    export XDG_RUNTIME_DIR
    XDG_RUNTIME_DIR=$(mktemp -d /tmp/marvolt-pulse.XXXXXX)
    chmod 700 "$XDG_RUNTIME_DIR"
    export PULSE_SERVER="unix:$XDG_RUNTIME_DIR/pulse/native"
    pulseaudio --daemonize=no --exit-idle-time=-1 -n --use-pid-file=no \
        --load=module-native-protocol-unix >"$XDG_RUNTIME_DIR/pulse.log" 2>&1 &
    MARVOLT_STARTED_PIDS+=($!)
    for _ in $(seq 1 50); do
        pactl info >/dev/null 2>&1 && break
        sleep 0.1
    done
    local IFS='|'
    for name in ${MARVOLT_SINKS:-Speakers|Headset}; do
        marvolt_add_sink "$name"
    done
    marvolt_log "PulseAudio at $PULSE_SERVER with sinks: ${MARVOLT_SINKS:-Speakers|Headset}"
}

# Tells whether this machine's kernel runs 32-bit programs itself. Some kernels
# are built without 32-bit support: there Wine's 32-bit loader fails with "Exec
# format error".
marvolt_runs_32bit() {
    marvolt_forget_stale_emulation
    [ "${MARVOLT_EMULATE_32BIT:-0}" != 1 ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}

# Where the kernel refuses 32-bit programs, Wine's 32-bit loader runs under
# qemu-i386, registered with binfmt_misc for i386 programs so that the processes
# Wine starts itself (a program starting another, the loader re-executing
# itself) go there too. The registration is the machine's, not the shell's: it is
# removed again by marvolt_stop_services, and one that was there before is used
# and left alone. MARVOLT_EMULATE_32BIT=1 takes this way on any machine.
MARVOLT_BINFMT_ENTRY=marvolt-i386-$$
MARVOLT_BINFMT_ADDED=0
# A run that was killed leaves its registration behind, and every i386 program
# of the machine would go on running under qemu: the entry names the shell that
# made it, and one whose shell is gone is removed.
marvolt_forget_stale_emulation() {
    local entry
    for entry in /proc/sys/fs/binfmt_misc/marvolt-i386-*; do
        [ -e "$entry" ] || continue
        kill -0 "${entry##*-}" 2>/dev/null || echo -1 >"$entry" 2>/dev/null || true
    done
}
marvolt_emulate_32bit() {
    local binfmt=/proc/sys/fs/binfmt_misc qemu=/usr/bin/qemu-i386-static
    [ -x "$qemu" ] || return 1
    [ -e "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null || return 1
    if [ ! -e "$binfmt/$MARVOLT_BINFMT_ENTRY" ]; then
        # The i386 ELF header of qemu's own table; F: the interpreter is opened now.
        printf '%s' ":$MARVOLT_BINFMT_ENTRY:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:$qemu:F" \
            >"$binfmt/register" 2>/dev/null || return 1
        MARVOLT_BINFMT_ADDED=1
    fi
    # Wine reserves the address space above a 32-bit program's 2 GB in steps that
    # qemu 7 does not place where asked, down to 64 KB each: with all of 4 GB to
    # try, every process took a minute to start. qemu keeps only 16 MB above the
    # program's 2 GB for itself (its stack); a start then takes seconds.
    export QEMU_RESERVED_VA=0x81000000
    if /usr/lib/wine/wine --version >/dev/null 2>&1; then
        marvolt_log "32-bit programs run under $qemu"
        return 0
    fi
    marvolt_stop_32bit_emulation
    return 1
}

marvolt_stop_32bit_emulation() {
    if [ "$MARVOLT_BINFMT_ADDED" = 1 ]; then
        echo -1 >"/proc/sys/fs/binfmt_misc/$MARVOLT_BINFMT_ENTRY" 2>/dev/null || true
        MARVOLT_BINFMT_ADDED=0
    fi
    unset QEMU_RESERVED_VA
}

# How 32-bit Windows programs run here: "native", "emulated" or "none". Set by
# marvolt_start_wine.
MARVOLT_32BIT=none

# Without 32-bit support Debian's "wine" script still picks the 32-bit loader;
# shims on PATH make wine (and wineboot, which calls wine-stable) use the 64-bit one.
marvolt_use_wine64_only() {
    local shims="$MARVOLT_ROOT/build/wine64-shims"
    mkdir -p "$shims"
    for name in wine wine-stable; do
        printf '#!/bin/sh\nexport WINELOADER=/usr/lib/wine/wine64\nexec /usr/lib/wine/wine64 "$@"\n' >"$shims/$name"
        chmod +x "$shims/$name"
    done
    case ":$PATH:" in *":$shims:"*) ;; *) export PATH="$shims:$PATH" ;; esac
    export WINELOADER=/usr/lib/wine/wine64
    marvolt_log "this machine runs no 32-bit programs: Wine runs 64-bit programs only"
}

marvolt_start_wine() {
    if marvolt_runs_32bit; then
        MARVOLT_32BIT=native
    elif marvolt_emulate_32bit; then
        MARVOLT_32BIT=emulated
    else
        MARVOLT_32BIT=none
        marvolt_use_wine64_only
    fi
    export WINEPREFIX=${MARVOLT_WINEPREFIX:-$MARVOLT_ROOT/build/wineprefix}
    export WINEDEBUG=${WINEDEBUG:--all}
    export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml,winemenubuilder.exe="}
    mkdir -p "$(dirname "$WINEPREFIX")"
    if [ ! -f "$WINEPREFIX/.marvolt-ready" ]; then
        marvolt_log "creating Wine prefix $WINEPREFIX"
        wineboot -i >/dev/null 2>&1 || true
        # One virtual desktop with a taskbar and a notification area, shared by
        # every program of the prefix.
        wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 800x600 /f >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d pulse /f >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
        wineserver -w
        touch "$WINEPREFIX/.marvolt-ready"
    fi
    # A persistent wineserver keeps the desktop alive between test programs. In
    # the foreground its process id is the one to stop: another checkout's server
    # for another prefix is never touched. When one already serves this prefix,
    # the new one ends at once and the running one is used.
    wineserver -f -p >/dev/null 2>&1 &
    MARVOLT_STARTED_PIDS+=($!)
    sleep 0.5
    # Wine's pulse driver and its audio stack keep keys for every device they
    # have ever seen, and read them all whenever a program lists devices. Each
    # session's null sinks are new ones: forgotten here, the list stays as long
    # as the session's own rather than growing with every run (after a few
    # hundred end-to-end devices, listing took seconds).
    local forget="$MARVOLT_ROOT/build/forget-devices.reg"
    printf '%s\r\n' 'REGEDIT4' '' '[-HKEY_CURRENT_USER\Software\Wine\Drivers\winepulse.drv\devices]' \
        '[-HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\MMDevices\Audio\Render]' \
        '[-HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\MMDevices\Audio\Capture]' >"$forget"
    wine regedit /s "$(winepath -w "$forget" 2>/dev/null)" >/dev/null 2>&1 || true
    marvolt_log "Wine prefix $WINEPREFIX ready"
}

# A free TCP port on 127.0.0.1 (free when asked; nobody else is told about it).
marvolt_free_port() {
    python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1]); s.close()'
}

# The update tests' web server: python3's http.server on 127.0.0.1 serving build/,
# bounded to two hours, stopped with the other services by its process id.
# MARVOLT_HTTP is its address; MARVOLT_HTTP_DOWN an address where nothing listens.
marvolt_start_http() {
    local port
    port=$(marvolt_free_port)
    timeout 7200 python3 -m http.server "$port" --bind 127.0.0.1 --directory "$MARVOLT_ROOT/build" \
        >"$MARVOLT_ROOT/build/http-server.log" 2>&1 &
    MARVOLT_STARTED_PIDS+=($!)
    export MARVOLT_HTTP="http://127.0.0.1:$port" MARVOLT_HTTP_DOWN
    MARVOLT_HTTP_DOWN="http://127.0.0.1:$(marvolt_free_port)"
    for _ in $(seq 1 50); do
        (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
        sleep 0.1
    done
    marvolt_log "web server at $MARVOLT_HTTP"
}

marvolt_start_services() {
    marvolt_start_display
    marvolt_start_pulse
    marvolt_start_wine
}

marvolt_stop_services() {
    if [ -n "${WINEPREFIX:-}" ]; then
        timeout 20 wineserver -k >/dev/null 2>&1 || true
    fi
    local pid
    for pid in "${MARVOLT_STARTED_PIDS[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    sleep 0.3
    for pid in "${MARVOLT_STARTED_PIDS[@]}"; do
        kill -9 "$pid" 2>/dev/null || true
    done
    MARVOLT_STARTED_PIDS=()
    marvolt_stop_32bit_emulation
    if [ -n "${XDG_RUNTIME_DIR:-}" ] && [[ "$XDG_RUNTIME_DIR" == /tmp/marvolt-pulse.* ]]; then
        rm -rf "$XDG_RUNTIME_DIR"
    fi
}
