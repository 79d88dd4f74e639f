# shellcheck shell=bash
# Wine + Xvfb for the Windows test suites. Source this file; it defines functions only.
#
#   nimbrel_xvfb_start            private Xvfb on a free display; exports DISPLAY
#   nimbrel_wine_env PREFIX       exports WINEPREFIX and the quiet, no-prompt Wine settings
#   nimbrel_wine_prefix_init      creates the prefix once (reused while its stamp file exists)
#   nimbrel_wine_run SECS CMD...  runs CMD under wine with a time limit, stdin closed
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
    echo "Xvfb did not start:" >&2
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

nimbrel_wine_prefix_init() {
    local stamp=$WINEPREFIX/.nimbrel-ready
    [[ -f $stamp ]] && return 0
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    echo "Creating the Wine prefix $WINEPREFIX (once; takes a while)..."
    timeout 300 wine wineboot -i </dev/null >/dev/null 2>&1 || {
        echo "wineboot failed or timed out" >&2
        return 1
    }
    timeout 120 wineserver -w || true
    touch "$stamp"
}

nimbrel_wine_run() {
    local secs=$1
    shift
    timeout -k 10 "$secs" wine "$@" </dev/null
}

nimbrel_env_stop() {
    if [[ -n $NIMBREL_WINE_STARTED && -n ${WINEPREFIX:-} ]]; then
        # Ends this prefix's wineserver and every Wine process of this prefix, nothing else.
        timeout 30 wineserver -k 2>/dev/null || true
        NIMBREL_WINE_STARTED=""
    fi
    nimbrel_xvfb_stop
}
