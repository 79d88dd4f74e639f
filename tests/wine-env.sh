# shellcheck shell=bash
# Wine + Xvfb for the Windows test suites. Source this file; it defines functions only.
#
#   nimbrel_xvfb_start [WxHxD]    private Xvfb on a free display; exports DISPLAY
#   nimbrel_xserver_start_monitors WxH[+X+Y]...
#                                 private X server with one monitor per argument (the first is
#                                 the primary one; without +X+Y they stand side by side, top
#                                 aligned); exports DISPLAY. Needs root (Xorg's dummy driver).
#   nimbrel_wine_env PREFIX       exports WINEPREFIX and the quiet, no-prompt Wine settings
#   nimbrel_wine_prefix_init      creates the prefix once (reused while its stamp file names the
#                                 Wine architectures installed now)
#   nimbrel_wine_run SECS CMD...  runs CMD under wine with a time limit, stdin closed
#   nimbrel_wine64 CMD...         runs CMD with the 64-bit loader (see there)
#   nimbrel_env_stop              stops our wineserver and our Xvfb, nothing else
#
# Everything started here is remembered by PID or prefix, so callers can trap nimbrel_env_stop on
# EXIT and other Wine or X sessions on the machine are left alone.

NIMBREL_XVFB_PID=""
NIMBREL_XVFB_TMP=""
NIMBREL_WINE_STARTED=""

nimbrel_xvfb_start() {
    local size=${1:-1024x768x24}
    NIMBREL_XVFB_TMP=$(mktemp -d "${TMPDIR:-/tmp}/nimbrel-xvfb.XXXXXX")
    # -displayfd lets Xvfb pick a free display itself and tells us once it accepts connections,
    # so there is no race with other X servers being started at the same time.
    Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp \
        3>"$NIMBREL_XVFB_TMP/display" >"$NIMBREL_XVFB_TMP/log" 2>&1 </dev/null &
    NIMBREL_XVFB_PID=$!
    nimbrel_xserver_wait_display
}

# Xorg with the dummy driver: unlike Xvfb it has a RandR output and CRTC per monitor, which is
# where Wine's X11 driver finds monitors.
nimbrel_xserver_start_monitors() {
    [[ $# -ge 1 ]] || {
        echo "nimbrel_xserver_start_monitors: no monitor given" >&2
        return 1
    }
    if [[ $(id -u) -ne 0 ]]; then
        echo "several monitors need Xorg's dummy driver, which runs as root only" >&2
        return 1
    fi
    NIMBREL_XVFB_TMP=$(mktemp -d "${TMPDIR:-/tmp}/nimbrel-xorg.XXXXXX")
    local tmp=$NIMBREL_XVFB_TMP
    mkdir -p "$tmp/conf.d"
    # No input devices from the system (the tests inject input through Wine) and no VT switching:
    # the server must not touch the machine's consoles.
    cat >"$tmp/xorg.conf" <<'CONF'
Section "ServerFlags"
    Option "AutoAddDevices" "false"
    Option "AutoEnableDevices" "false"
    Option "DontVTSwitch" "true"
EndSection
Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam 65536
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0 - 1000.0
    VertRefresh 5.0 - 200.0
EndSection
Section "Screen"
    Identifier "screen"
    Device "dummy"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Virtual 4096 4096
    EndSubSection
EndSection
CONF
    Xorg -displayfd 3 -noreset -nolisten tcp -config "$tmp/xorg.conf" -configdir "$tmp/conf.d" \
        -logfile "$tmp/xorg.log" -novtswitch -sharevts \
        3>"$tmp/display" >"$tmp/log" 2>&1 </dev/null &
    NIMBREL_XVFB_PID=$!
    nimbrel_xserver_wait_display || return 1

    # One mode per monitor on outputs DUMMY0...; the dummy driver takes any timings, so these
    # are simply 60 Hz with small blanking intervals.
    local i=0 monitor size pos x=0 w h timings args=(--fb)
    local fb_w=0 fb_h=0 outputs=()
    for monitor; do
        if [[ ! $monitor =~ ^([0-9]+)x([0-9]+)(\+([0-9]+)\+([0-9]+))?$ ]]; then
            echo "nimbrel_xserver_start_monitors: bad monitor $monitor (want WxH or WxH+X+Y)" >&2
            nimbrel_xvfb_stop
            return 1
        fi
        w=${BASH_REMATCH[1]} h=${BASH_REMATCH[2]}
        if [[ -n ${BASH_REMATCH[3]} ]]; then
            pos=${BASH_REMATCH[4]}x${BASH_REMATCH[5]}
            x=${BASH_REMATCH[4]}
        else
            pos=${x}x0
        fi
        size=nimbrel-${w}x${h}
        timings=("$(awk -v t=$(((w + 160) * (h + 30))) 'BEGIN { printf "%.2f", t * 60 / 1e6 }')"
            "$w" $((w + 40)) $((w + 120)) $((w + 160)) "$h" $((h + 3)) $((h + 8)) $((h + 30)))
        xrandr --newmode "$size" "${timings[@]}" 2>/dev/null || true # made for an earlier monitor
        xrandr --addmode "DUMMY$i" "$size" || {
            nimbrel_xvfb_stop
            return 1
        }
        outputs+=(--output "DUMMY$i" --mode "$size" --pos "$pos")
        [[ $i -eq 0 ]] && outputs+=(--primary)
        x=$((${pos%x*} + w))
        fb_w=$((fb_w > x ? fb_w : x))
        fb_h=$((fb_h > ${pos#*x} + h ? fb_h : ${pos#*x} + h))
        i=$((i + 1))
    done
    args+=("${fb_w}x$fb_h" "${outputs[@]}")
    xrandr "${args[@]}" || {
        echo "xrandr could not set up the monitors: xrandr ${args[*]}" >&2
        nimbrel_xvfb_stop
        return 1
    }
    # Asking for the monitors also makes the server probe its outputs again; until then it
    # answers Wine (which asks without probing) with the single monitor it started with.
    local shown
    shown=$(xrandr --listmonitors | sed -n 's/^Monitors: //p')
    [[ $shown == "$#" ]] || {
        echo "the X server shows ${shown:-no} monitors, not $#" >&2
        nimbrel_xvfb_stop
        return 1
    }
}

# Waits for the X server just started to write its display number (-displayfd); exports DISPLAY.
nimbrel_xserver_wait_display() {
    local i
    for ((i = 0; i < 200; i++)); do
        if [[ -s $NIMBREL_XVFB_TMP/display ]]; then
            DISPLAY=":$(tr -d '[:space:]' <"$NIMBREL_XVFB_TMP/display")"
            export DISPLAY
            return 0
        fi
        if ! kill -0 "$NIMBREL_XVFB_PID" 2>/dev/null; then break; fi
        sleep 0.1
    done
    echo "the X server did not start:" >&2
    cat "$NIMBREL_XVFB_TMP/log" >&2 || true
    nimbrel_xvfb_stop
    return 1
}

nimbrel_xvfb_stop() {
    if [[ -n $NIMBREL_XVFB_PID ]]; then
        kill "$NIMBREL_XVFB_PID" 2>/dev/null || true
        wait "$NIMBREL_XVFB_PID" 2>/dev/null || true
        NIMBREL_XVFB_PID=""
    fi
    if [[ -n $NIMBREL_XVFB_TMP ]]; then
        rm -rf "$NIMBREL_XVFB_TMP"
        NIMBREL_XVFB_TMP=""
    fi
}

nimbrel_wine_env() {
    export WINEPREFIX=$1
    NIMBREL_WINE_STARTED=1 # set here, not when wine runs: that may be in a subshell (a pipe)
    export WINEARCH=win64
    export WINEDEBUG=-all
    # No Mono or Gecko install prompts: the saver needs neither.
    export WINEDLLOVERRIDES="mscoree=;mshtml="
}

# What a prefix depends on: its architecture and the Wine builds installed. A prefix made by a
# 64-bit-only Wine cannot start anything once the 32-bit one is added ("could not load
# kernel32.dll"), so a change of either makes a new prefix.
nimbrel_wine_arches() {
    local arches="" arch
    for arch in i386 x86_64; do
        [[ -d /usr/lib/$arch-linux-gnu/wine/$arch-windows ]] && arches+=" $arch"
    done
    echo "WINEARCH=${WINEARCH:-default} wine:${arches:- none}"
}

nimbrel_wine_prefix_init() {
    local stamp=$WINEPREFIX/.nimbrel-ready arches
    arches=$(nimbrel_wine_arches)
    [[ -f $stamp && $(cat "$stamp") == "$arches" ]] && return 0
    [[ -f $stamp ]] && echo "The Wine installed changed ($(cat "$stamp") -> $arches): new prefix"
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    echo "Creating the Wine prefix $WINEPREFIX (once; takes a while)..."
    timeout 300 wine wineboot -i </dev/null >/dev/null 2>&1 || {
        echo "wineboot failed or timed out" >&2
        return 1
    }
    timeout 120 wineserver -w || true
    echo "$arches" >"$stamp"
}

nimbrel_wine_run() {
    local secs=$1
    shift
    timeout -k 10 "$secs" wine "$@" </dev/null
}

# With the 32-bit Wine installed, `wine` is its loader: a program named by a Windows path, and the
# tools (reg, cmd, taskkill), then start as 32-bit programs, which see syswow64 as system32 and
# the 32-bit registry view. What a 64-bit Windows starts as 64-bit runs with this one.
nimbrel_wine64() {
    local loader=/usr/lib/wine/wine64
    [[ -x $loader ]] || loader=wine
    "$loader" "$@"
}

nimbrel_env_stop() {
    if [[ -n $NIMBREL_WINE_STARTED && -n ${WINEPREFIX:-} ]]; then
        # Ends this prefix's wineserver and every Wine process of this prefix, nothing else.
        timeout 30 wineserver -k 2>/dev/null || true
        NIMBREL_WINE_STARTED=""
    fi
    nimbrel_xvfb_stop
}
