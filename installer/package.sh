#!/usr/bin/env bash
# Builds what we ship from the build folder (./dev build runs it after compiling):
#
#   build/package/data/             the data folder: palettes, packed settings, help page
#   build/Nimbrel_32_Setup.exe      the installer (32-bit, so it runs on every Windows)
#   build/Nimbrel_32_Saver-x64.zip  portable copies: saver, editor, data, tool, read-me
#   build/Nimbrel_32_Saver-x86.zip
#
#   installer/package.sh BUILD_DIR
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=$(cd "$1" && pwd)
shift
PACKAGE=$BUILD/package
DATA=$PACKAGE/data
VERSION=$(sed -nE 's/^project\(Nimbrel VERSION ([0-9.]+).*/\1/p' "$ROOT/CMakeLists.txt")
SCR=Nimbrel_32_Saver.scr
EDITOR=Nimbrel_32_Editor.exe

crlf() { sed 's/\r*$/\r/' "$1"; }

stage_data() {
    rm -rf "$DATA"
    mkdir -p "$DATA/Palette"
    cp "$ROOT"/data/Palette/*.pal "$DATA/Palette/"
    # Packed from the text source, so what ships is what was reviewed.
    "$BUILD/bin/nimbrel-settings" pack "$ROOT/data/Nimbrel_32_Settings.txt" \
        "$DATA/Nimbrel_32_Settings.cmp"
    cp "$ROOT/data/Nimbrel_32_Help.html" "$DATA/"
    # The uninstaller removes exactly the palettes we installed.
    local pal
    for pal in "$DATA"/Palette/*.pal; do
        echo "!insertmacro PALETTE \"$(basename "$pal")\""
    done >"$PACKAGE/palettes.nsh"
}

# The Windows programs without their symbols: half the size.
stage_programs() {
    local arch triplet
    for arch in x64:win64:x86_64 x86:win32:i686; do
        IFS=: read -r arch dir triplet <<<"$arch"
        mkdir -p "$PACKAGE/bin-$arch"
        "$triplet-w64-mingw32-strip" -o "$PACKAGE/bin-$arch/$SCR" "$BUILD/$dir/$SCR"
        "$triplet-w64-mingw32-strip" -o "$PACKAGE/bin-$arch/nimbrel-settings.exe" \
            "$BUILD/$dir/nimbrel-settings.exe"
        "$triplet-w64-mingw32-strip" -o "$PACKAGE/bin-$arch/$EDITOR" "$BUILD/$dir/$EDITOR"
    done
}

make_installer() { # OUT
    local out
    out=$(realpath -m "$1")
    local defines=(-V2 -DVERSION="$VERSION" -DVERSION_COMMAS="${VERSION//./,},0,0"
        -DSCR64="$PACKAGE/bin-x64/$SCR" -DSCR32="$PACKAGE/bin-x86/$SCR"
        -DTOOL64="$PACKAGE/bin-x64/nimbrel-settings.exe"
        -DTOOL32="$PACKAGE/bin-x86/nimbrel-settings.exe"
        -DEDITOR64="$PACKAGE/bin-x64/$EDITOR" -DEDITOR32="$PACKAGE/bin-x86/$EDITOR"
        -DDATA="$DATA" -DPALETTES="$PACKAGE/palettes.nsh" -DOUTFILE="$out")
    [[ -f $ROOT/app/Nimbrel.ico ]] && defines+=(-DICON="$ROOT/app/Nimbrel.ico")
    makensis "${defines[@]}" "$ROOT/installer/nimbrel.nsi"
}

make_zip() { # ARCH BITS
    local stage=$PACKAGE/zip-$1 out=$BUILD/Nimbrel_32_Saver-$1.zip
    rm -rf "$stage" "$out"
    mkdir -p "$stage/Nimbrel"
    cp -r "$DATA"/. "$stage/Nimbrel/"
    cp "$PACKAGE/bin-$1/$SCR" "$PACKAGE/bin-$1/nimbrel-settings.exe" "$PACKAGE/bin-$1/$EDITOR" \
        "$stage/Nimbrel/"
    crlf "$ROOT/installer/portable/Read_me.txt" |
        sed "s/@VERSION@/$VERSION/; s/@ARCH@/$1/; s/@BITS@/$2/" >"$stage/Nimbrel/Read_me.txt"
    crlf "$ROOT/installer/portable/Register.cmd" >"$stage/Nimbrel/Register.cmd"
    (cd "$stage" && zip -q -r -X "$out" Nimbrel)
}

have_savers() {
    [[ -f $BUILD/win64/$SCR && -f $BUILD/win32/$SCR && -f $BUILD/win64/$EDITOR &&
        -f $BUILD/win32/$EDITOR ]]
}

stage_data
if ! have_savers; then
    echo "== package: no $SCR and $EDITOR in build/win64 and build/win32 yet, only the data folder staged"
    exit 0
fi
echo "== package"
stage_programs
make_installer "$BUILD/Nimbrel_32_Setup.exe"
make_zip x64 64
make_zip x86 32
ls -l "$BUILD"/Nimbrel_32_Setup.exe "$BUILD"/Nimbrel_32_Saver-*.zip | awk '{print $5, $9}'
