#!/usr/bin/env bash
# Pictures of the configuration dialog's two tabs from the shipped data folder, at 100 % and at
# 150 % (144 dots per inch), and of the settings editor with its preview, taken under Xvfb in a
# Wine desktop window (which draws the caption a bare Xvfb would not). Needs the 64-bit saver and
# editor (./dev build) and xdotool.
#
#   docs/screenshots/make_screenshots.sh [OUTPUT_FOLDER]     (default: docs/screenshots)
#
# Writes config-settings-selection.png, config-other-options.png, the same names with -150, and
# editor.png.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
OUT=${1:-$ROOT/docs/screenshots}
SAVER=$ROOT/build/win64/Nimbrel_32_Saver.scr
EDITOR=$ROOT/build/win64/Nimbrel_32_Editor.exe
[[ -f $SAVER && -f $EDITOR ]] || {
    echo "no $SAVER or $EDITOR: run ./dev build first" >&2
    exit 1
}
mkdir -p "$OUT"
# shellcheck source=../../tests/wine-env.sh
source "$ROOT/tests/wine-env.sh"
# A prefix of its own: the resolution below is the prefix's, and the test suites' stays at 96.
nimbrel_wine_env "$ROOT/build/screenshots/wineprefix"
data=""
cleanup() {
    nimbrel_env_stop
    [[ -z $data ]] || rm -rf "$data"
}
trap cleanup EXIT
nimbrel_xvfb_start 1600x1200x24
nimbrel_wine_prefix_init

data=$(mktemp -d)
cp -r "$ROOT/data/." "$data"
wine reg add 'HKCU\Software\Nimbrel' /v Directory /d "$(winepath -w "$data")\\" /f >/dev/null
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Screen Savers'
wine reg add "$key" /v "Password Delay" /t REG_DWORD /d 90 /f >/dev/null
wine reg add "$key" /v "Mouse Corners" /t REG_SZ /d "Y-N-" /f >/dev/null

# One resolution: the dialog in a desktop window at the screen's top left, both tabs.
shoot() { # DPI SUFFIX
    local dpi=$1 suffix=$2 shot box x y w h scale
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
    # Wine reads the resolution when its processes start: begin with none running.
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    wine explorer /desktop=Nimbrel,1200x900 "$SAVER" /c &
    local pid=$!
    sleep 8 # the preview shows a random setting; some start from a nearly black screen
    shot=$(mktemp --suffix=.png)
    # The dialog is centred in the desktop; everything around it is the desktop's one colour.
    xwd -root -display "$DISPLAY" | convert xwd:- -crop 1200x900+0+0 +repage "$shot"
    box=$(convert "$shot" -trim -format '%w %h %X %Y' info:)
    read -r w h x y <<<"${box//+/}"
    convert "$shot" -crop "${w}x${h}+${x}+${y}" +repage "$OUT/config-settings-selection$suffix.png"
    # The second tab's middle: 146, 36 from the dialog's corner at 100 %.
    scale=$((dpi * 100 / 96))
    xdotool mousemove $((x + 146 * scale / 100)) $((y + 36 * scale / 100)) click 1
    sleep 1.5
    xwd -root -display "$DISPLAY" | convert xwd:- -crop "${w}x${h}+${x}+${y}" +repage \
        "$OUT/config-other-options$suffix.png"
    rm -f "$shot"
    wineserver -k 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    echo "${w}x${h} at $dpi dots per inch: $OUT/config-*$suffix.png"
}
shoot 96 ""
shoot 144 "-150"

# The editor on one setting, its preview beside it (the desktop is just wide enough for both).
shoot_editor() {
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    wine explorer /desktop=NimbrelEditor,1240x560 "$EDITOR" \
        "$(winepath -w "$data")\\Nimbrel_32_Settings.cmp" "Kaleidoscope" &
    local pid=$!
    sleep 8
    xwd -root -display "$DISPLAY" | convert xwd:- -crop 1240x560+0+0 +repage -trim +repage \
        "$OUT/editor.png"
    wineserver -k 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    echo "$(identify -format '%wx%h' "$OUT/editor.png") at 96 dots per inch: $OUT/editor.png"
}
shoot_editor
