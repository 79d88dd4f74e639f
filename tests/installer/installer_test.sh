#!/usr/bin/env bash
# The shipped installer (build/Nimbrel_32_Setup.exe, 32-bit) under 64-bit Wine with its 32-bit
# half, on a private Xvfb, in a fresh prefix under build/installer-test:
#
#   for all users  silent install; the 64-bit saver in the real system folder (system32, not
#                  the 32-bit one a 32-bit program is redirected to), data, registry value,
#                  active saver, uninstall entry and Active Setup entry in place, the editor
#                  beside the data with a Start-menu entry; the installed saver shows rings full
#                  screen; silent uninstall removes all of it
#   for one user   silent /CURRENTUSER install beside the data; after a tag change a silent
#                  uninstall keeps the settings file, a reinstall keeps it too, and
#                  /REMOVESETTINGS removes it
#
#   tests/installer/installer_test.sh [BUILD_DIR]
# Prints one line per check and ends with "installer: N passed, M failed".
set -uo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BUILD=$(realpath -m "${1:-$ROOT/build}")
WORK=$BUILD/installer-test
SETUP=$BUILD/Nimbrel_32_Setup.exe
PASSED=0
FAILED=0

check() { # DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@" >/dev/null 2>&1; then
        echo "  ok    $what"
        PASSED=$((PASSED + 1))
    else
        echo "  FAIL  $what"
        FAILED=$((FAILED + 1))
    fi
}

finish() {
    echo "installer: $PASSED passed, $FAILED failed"
    [[ $FAILED -eq 0 ]]
    exit
}

# A registry value as Wine's reg prints it, or nothing; in the 64-bit view, as a 64-bit Windows
# reads the uninstall list.
reg_value() { # KEY VALUE
    nimbrel_wine64 reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
        sed -nE "s/^ +$2 +REG_[A-Z_]+ +(.*)$/\1/p"
}
reg_key_exists() { nimbrel_wine64 reg query "$1" >/dev/null 2>&1; }
equals() { [[ $1 == "$2" ]]; }
equals_nocase() { [[ ${1,,} == "${2,,}" ]]; }
is_file() { [[ -f $1 ]]; }
is_absent() { [[ ! -e $1 ]]; }
unix() { winepath -u "$1" 2>/dev/null; }
same_file() { cmp -s "$1" "$2"; }
files_in() { # FOLDER NAME...
    local folder=$1 name
    shift
    for name; do
        [[ -f $folder/$name ]] || return 1
    done
}
palettes_in() { # FOLDER COUNT
    local n
    n=$(find "$1" -maxdepth 1 -name '*.pal' | wc -l)
    [[ $n -eq $2 ]]
}
# The saver picks a tagged setting at random; the sparsest (corner points only) light well under
# a percent of the screen, while the waiting and error texts show only a colour or two.
image_has_rings() { # PNG
    local colours lit
    colours=$(convert "$1" -format '%k' info:)
    lit=$(convert "$1" -fill white +opaque black -colorspace gray -format '%[fx:mean]' info:)
    echo "    $(basename "$1"): $colours colours, lit $lit" >&2
    [[ $colours -ge 12 ]] && awk -v l="$lit" 'BEGIN { exit !(l > 0.0003) }'
}
images_differ() { ! compare -metric AE "$1" "$2" null: 2>/dev/null; }

# Runs the uninstaller the way Windows does (it copies itself away and returns at once) and
# waits until it has finished.
uninstall() { # FOLDER_WINDOWS ARGS...
    local folder=$1
    shift
    wine "$folder\\Uninstall.exe" "$@"
    timeout 60 wineserver -w
}

# ---------------------------------------------------------------------------------------------
started=$(date +%s)
mkdir -p "$WORK"
if [[ ! -f $SETUP ]]; then
    echo "  FAIL  no ${SETUP#"$ROOT"/} (./dev build makes it)"
    FAILED=1
    finish
fi
check "the installer is a 32-bit program" eval \
    'x86_64-w64-mingw32-objdump -f "$SETUP" | grep -q "file format pei-i386"'

# shellcheck source=tests/wine-env.sh
source "$ROOT/tests/wine-env.sh"
trap nimbrel_env_stop EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
rm -rf "$WORK/prefix" "$WORK"/shot-*.png
nimbrel_wine_env "$WORK/prefix"
nimbrel_xvfb_start 800x600x24 || exit 1
nimbrel_wine_prefix_init || exit 1

DATA=$BUILD/package/data
C=$WINEPREFIX/drive_c
UNINST='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Nimbrel'
UNINST_USER='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Nimbrel'
ACTIVE_SETUP='HKLM\Software\Microsoft\Active Setup\Installed Components\Nimbrel'
DESKTOP='HKCU\Control Panel\Desktop'
NIMBREL='HKCU\Software\Nimbrel'
PAL_COUNT=$(find "$DATA/Palette" -name '*.pal' | wc -l)

echo "-- for all users"
nimbrel_wine_run 60 "$SETUP" /S
check "installer exits 0" equals "$?" 0
PF=$C/Program\ Files/Nimbrel
SCR=$C/windows/system32/Nimbrel_32_Saver.scr
check "64-bit saver in the system folder" same_file "$SCR" "$BUILD/package/bin-x64/Nimbrel_32_Saver.scr"
check "nothing in the 32-bit system folder" is_absent "$C/windows/syswow64/Nimbrel_32_Saver.scr"
check "settings file as packed" same_file "$PF/Nimbrel_32_Settings.cmp" "$DATA/Nimbrel_32_Settings.cmp"
check "every palette" palettes_in "$PF/Palette" "$PAL_COUNT"
check "help page" same_file "$PF/Nimbrel_32_Help.html" "$DATA/Nimbrel_32_Help.html"
check "nimbrel-settings" is_file "$PF/nimbrel-settings.exe"
check "64-bit editor beside the data" same_file "$PF/Nimbrel_32_Editor.exe" "$BUILD/package/bin-x64/Nimbrel_32_Editor.exe"
MENU_ALL=$(unix "$(nimbrel_wine64 cmd /c echo %ProgramData% | tr -d '\r')")/Microsoft/Windows/Start\ Menu/Programs/Nimbrel
check "Start-menu entry for the editor, for all users" is_file "$MENU_ALL/Nimbrel Editor.lnk"
check "uninstaller" is_file "$PF/Uninstall.exe"
check "Directory names the data folder with a backslash" \
    equals "$(reg_value "$NIMBREL" Directory)" 'C:\Program Files\Nimbrel\'
check "Nimbrel is the active saver" \
    equals_nocase "$(reg_value "$DESKTOP" SCRNSAVE.EXE)" 'C:\windows\system32\Nimbrel_32_Saver.scr'
check "screen saver switched on" equals "$(reg_value "$DESKTOP" ScreenSaveActive)" 1
check "uninstall entry" \
    equals "$(reg_value "$UNINST" UninstallString)" '"C:\Program Files\Nimbrel\Uninstall.exe"'
check "quiet uninstall entry" \
    equals "$(reg_value "$UNINST" QuietUninstallString)" '"C:\Program Files\Nimbrel\Uninstall.exe" /S'
check "other users get Directory at logon" equals "$(reg_value "$ACTIVE_SETUP" StubPath)" \
    'reg.exe add "HKCU\Software\Nimbrel" /v Directory /t REG_SZ /d "C:\Program Files\Nimbrel\\" /f'

# The saver as 64-bit Windows starts it: full screen, from the system folder, by a 64-bit program.
(cd "$WORK" && nimbrel_wine64 'C:\windows\system32\Nimbrel_32_Saver.scr' /s >/dev/null 2>&1) &
saver=$!
sleep 4
xwd -root -display "$DISPLAY" | convert xwd:- "$WORK/shot-4s.png"
sleep 1
xwd -root -display "$DISPLAY" | convert xwd:- "$WORK/shot-5s.png"
check "the installed saver draws rings" image_has_rings "$WORK/shot-5s.png"
check "and they move" images_differ "$WORK/shot-4s.png" "$WORK/shot-5s.png"
# Asked to close, as Windows asks it, the saver writes its options into the data folder.
nimbrel_wine64 taskkill /im Nimbrel_32_Saver.scr >/dev/null 2>&1
timeout 20 tail --pid="$saver" -f /dev/null
check "the saver ends when asked to close" eval '! kill -0 "$saver"'
check "and writes its INI file into the data folder" is_file "$PF/Nimbrel_32_Config.ini"
kill "$saver" 2>/dev/null

# The editor from its Start-menu place opens the installed settings (its title names the file).
(cd "$WORK" && nimbrel_wine64 'C:\Program Files\Nimbrel\Nimbrel_32_Editor.exe' >/dev/null 2>&1) &
editor=$!
editor_open() { xwininfo -root -tree -display "$DISPLAY" | grep -q 'Nimbrel_32_Settings.cmp'; }
for _ in $(seq 20); do editor_open && break; sleep 0.5; done
check "the installed editor opens the installed settings" editor_open
nimbrel_wine64 taskkill /im Nimbrel_32_Editor.exe >/dev/null 2>&1
timeout 20 tail --pid="$editor" -f /dev/null
kill "$editor" 2>/dev/null

uninstall 'C:\Program Files\Nimbrel' /S
check "saver removed" is_absent "$SCR"
check "and nothing left in the 32-bit system folder" is_absent "$C/windows/syswow64/Nimbrel_32_Saver.scr"
check "data folder removed" is_absent "$PF"
check "the editor's Start-menu entry removed" is_absent "$MENU_ALL"
check "Directory removed" equals "$(reg_value "$NIMBREL" Directory)" ""
check "no longer the active saver" equals "$(reg_value "$DESKTOP" SCRNSAVE.EXE)" ""
check "uninstall entry removed" eval '! reg_key_exists "$UNINST"'
check "Active Setup entry removed" eval '! reg_key_exists "$ACTIVE_SETUP"'

echo "-- for one user"
nimbrel_wine_run 60 "$SETUP" /S /CURRENTUSER /NOACTIVATE
check "installer exits 0" equals "$?" 0
DIR=$(reg_value "$NIMBREL" Directory)
check "Directory names the local application data folder" \
    equals_nocase "$DIR" "$(nimbrel_wine64 cmd /c echo %LOCALAPPDATA% | tr -d '\r')\\Nimbrel\\"
LA=$(unix "$DIR")
check "saver beside the data" same_file "$LA/Nimbrel_32_Saver.scr" "$BUILD/package/bin-x64/Nimbrel_32_Saver.scr"
check "nothing in the system folder" is_absent "$SCR"
check "editor beside the data" is_file "$LA/Nimbrel_32_Editor.exe"
MENU_USER=$(unix "$(nimbrel_wine64 cmd /c echo %APPDATA% | tr -d '\r')")/Microsoft/Windows/Start\ Menu/Programs/Nimbrel
check "Start-menu entry for the editor, for this user" is_file "$MENU_USER/Nimbrel Editor.lnk"
check "every palette" palettes_in "$LA/Palette" "$PAL_COUNT"
check "/NOACTIVATE leaves the active saver alone" equals "$(reg_value "$DESKTOP" SCRNSAVE.EXE)" ""
check "uninstall entry for this user" is_file "$(unix "$(reg_value "$UNINST_USER" UninstallString | tr -d '"')")"

# The user tags a setting: the saver rewrites the file (a second later at the earliest).
sleep 1
nimbrel_wine_run 30 "$LA/nimbrel-settings.exe" tag "${DIR}Nimbrel_32_Settings.cmp" 1 on >/dev/null
cp "$LA/Nimbrel_32_Settings.cmp" "$WORK/tagged.cmp"
uninstall "${DIR%\\}" /S
check "uninstall keeps the changed settings" same_file "$LA/Nimbrel_32_Settings.cmp" "$WORK/tagged.cmp"
check "and removes the rest" eval '! ls "$LA" | grep -qv "^Nimbrel_32_Settings.cmp$"'
check "the editor's Start-menu entry too" is_absent "$MENU_USER"
check "uninstall entry removed" eval '! reg_key_exists "$UNINST_USER"'

nimbrel_wine_run 60 "$SETUP" /S /CURRENTUSER
check "reinstall keeps the changed settings" same_file "$LA/Nimbrel_32_Settings.cmp" "$WORK/tagged.cmp"
check "the active saver is the one beside the data" \
    same_file "$(unix "$(reg_value "$DESKTOP" SCRNSAVE.EXE)")" "$LA/Nimbrel_32_Saver.scr"
uninstall "${DIR%\\}" /S /REMOVESETTINGS
check "/REMOVESETTINGS removes them too" is_absent "$LA"
check "Directory removed" equals "$(reg_value "$NIMBREL" Directory)" ""
check "no longer the active saver" equals "$(reg_value "$DESKTOP" SCRNSAVE.EXE)" ""

echo "-- portable zip"
ZIP=$BUILD/Nimbrel_32_Saver-x64.zip
rm -rf "$C/Portable"
mkdir -p "$C/Portable"
check "the zip unpacks" unzip -q "$ZIP" -d "$C/Portable"
check "saver, tool, read-me and data in one folder" files_in "$C/Portable/Nimbrel" \
    Nimbrel_32_Saver.scr Nimbrel_32_Editor.exe nimbrel-settings.exe Read_me.txt Register.cmd \
    Nimbrel_32_Settings.cmp Nimbrel_32_Help.html
check "every palette" palettes_in "$C/Portable/Nimbrel/Palette" "$PAL_COUNT"
nimbrel_wine64 cmd /c 'C:\Portable\Nimbrel\Register.cmd' >/dev/null 2>&1
check "Register.cmd names its folder in Directory" \
    equals "$(reg_value "$NIMBREL" Directory)" 'C:\Portable\Nimbrel\'

nimbrel_env_stop
trap - EXIT INT TERM
echo "  ($(($(date +%s) - started)) s)"
finish
