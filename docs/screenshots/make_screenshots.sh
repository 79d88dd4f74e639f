#!/usr/bin/env bash
# Pictures of the configuration dialog's two tabs, taken under Xvfb in a Wine desktop window (which
# draws the caption that a bare Xvfb would not). Needs a build (./dev build) and xdotool.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
OUT=$ROOT/docs/screenshots
# shellcheck source=../../tests/wine-env.sh
source "$ROOT/tests/wine-env.sh"
nimbrel_wine_env "$ROOT/build/wineprefix"
trap nimbrel_env_stop EXIT
nimbrel_xvfb_start 1024x768x24
nimbrel_wine_prefix_init

data=$(mktemp -d)
cp -r "$ROOT/data/." "$data"
wine reg add 'HKCU\Software\Nimbrel' /v Directory /d "$(winepath -w "$data")\\" /f >/dev/null
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Screen Savers'
wine reg add "$key" /v "Password Delay" /t REG_DWORD /d 90 /f >/dev/null
wine reg add "$key" /v "Mouse Corners" /t REG_SZ /d "Y-N-" /f >/dev/null

wine explorer /desktop=Nimbrel,800x600 "$ROOT/build/win64/Nimbrel_32_Saver.scr" /c &
sleep 7 # the preview shows a random setting; some start from a nearly black screen
# The dialog is centred on the 1024x768 screen; the desktop window holds it at its top left.
crop=532x378+134+112
xwd -root | convert xwd:- -crop $crop "$OUT/config-settings-selection.png"
xdotool mousemove 280 148 click 1
sleep 1.5
xwd -root | convert xwd:- -crop $crop "$OUT/config-other-options.png"
rm -rf "$data"
