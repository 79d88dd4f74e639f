#!/usr/bin/env bash
# Measures the real saver under Wine on a private Xvfb: time from process start to the first ring
# on screen, CPU use while it runs one setting, and how fast a key ends it.
#   tests/perf/saver_perf.sh "Triangle Tunnel" [1024x768x24] [seconds] [monitors]
# The setting comes from data/Nimbrel_32_Settings.txt; CPU is counted for the saver process, the
# wineserver and the X server (what the machine spends on showing the saver). With a number of
# monitors (1 to 9) the saver runs on the X server of tests/wine-env.sh's
# nimbrel_xserver_start_monitors (root only) with that many monitors of the screen's size side by
# side instead of on Xvfb, so one and two monitors compare on the same server.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
NAME=${1:?setting name}
SCREEN=${2:-1024x768x24}
SECS=${3:-10}
MONITORS=${4:-}
[[ -z $MONITORS || $MONITORS =~ ^[1-9]$ ]] || { echo "monitors: 1 to 9, not $MONITORS" >&2; exit 1; }
OUT=$ROOT/build/perf
rm -rf "$OUT/data"
mkdir -p "$OUT/data"
cp -r "$ROOT/data/Palette" "$OUT/data/"
awk -v name="$NAME" '/^\{ / { keep = (substr($0, 3) == name "\r") } keep' \
    "$ROOT/data/Nimbrel_32_Settings.txt" >"$OUT/data/one.txt"
[[ -s $OUT/data/one.txt ]] || { echo "no setting named $NAME" >&2; exit 1; }
printf '[Nimbrel_start]\r\nSettings_file=one.txt\r\nTagged_settings_only=0\r\n' \
    >"$OUT/data/Nimbrel_32_Config.ini"

# shellcheck source=tests/wine-env.sh
source "$ROOT/tests/wine-env.sh"
trap nimbrel_env_stop EXIT
nimbrel_wine_env "$ROOT/build/wineprefix"
if [[ -n $MONITORS ]]; then
    size=${SCREEN%x*} # the depth is the server's own (24)
    monitors=()
    for _ in $(seq "$MONITORS"); do monitors+=("$size"); done
    nimbrel_xserver_start_monitors "${monitors[@]}"
else
    nimbrel_xvfb_start "$SCREEN"
fi
nimbrel_wine_prefix_init
# Xvfb runs no window manager: without this Wine waits 2 s for one when a full-screen window goes.
wine reg add 'HKEY_CURRENT_USER\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1

ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
# Other Wine programs may run on this machine: only processes of our own prefix count.
ours() { # PATTERN: the newest matching process that runs in our WINEPREFIX
    local pid
    for pid in $(pgrep -f "$1" | sort -rn); do
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" &&
            { echo "$pid"; return 0; }
    done
    return 1
}
export NIMBREL_SCR NIMBREL_PERF_DATA NIMBREL_PERF_SECONDS=$((SECS + 2))
NIMBREL_SCR=$(winepath -w "${NIMBREL_PERF_SCR:-$ROOT/build/win64/Nimbrel_32_Saver.scr}")
NIMBREL_PERF_DATA=$(winepath -w "$OUT/data")
wine "$ROOT/build/win64/nimbrel_e2e_tests.exe" --gtest_also_run_disabled_tests \
    --gtest_filter='Saver.DISABLED_Measure' >"$OUT/driver.log" 2>&1 &
driver=$!
for _ in $(seq 100); do grep -q 'saver pid' "$OUT/driver.log" 2>/dev/null && break; sleep 0.1; done
sleep 1 # past the start-up
saver=$(ours 'Nimbrel_32_Saver.scr /s')
server=$(ours wineserver)
hz=$(getconf CLK_TCK)
s0=$(ticks "$saver"); w0=$(ticks "$server"); x0=$(ticks "$NIMBREL_XVFB_PID")
sleep "$SECS"
s1=$(ticks "$saver"); w1=$(ticks "$server"); x1=$(ticks "$NIMBREL_XVFB_PID")
wait "$driver" || true
wine reg delete 'HKEY_CURRENT_USER\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1
grep -E 'first ring|key to' "$OUT/driver.log"
awk -v s=$((s1 - s0)) -v w=$((w1 - w0)) -v x=$((x1 - x0)) -v hz="$hz" -v t="$SECS" 'BEGIN {
    printf "CPU over %d s: saver %.1f %%, wineserver %.1f %%, X server %.1f %% of one core\n",
        t, 100 * s / hz / t, 100 * w / hz / t, 100 * x / hz / t }'
