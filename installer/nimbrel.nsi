; Nimbrel's Windows installer. ./dev build makes it with Debian's makensis:
;
;   makensis -DVERSION=2.2 -DSCR64=... -DSCR32=... -DTOOL64=... -DTOOL32=... -DEDITOR64=...
;            -DEDITOR32=... -DDATA=... -DPALETTES=palettes.nsh -DOUTFILE=Nimbrel_32_Setup.exe
;            [-DICON=...]
;
; DATA is the staged data folder (Palette, Nimbrel_32_Settings.cmp, Nimbrel_32_Help.html) and
; PALETTES a generated list of its palette files, so the uninstaller removes exactly those.
;
; What goes where:
;   run elevated (an administrator)  data in Program Files\Nimbrel, the saver in the system
;                                    folder: the 64-bit saver on 64-bit Windows, else the 32-bit
;   otherwise, or with /CURRENTUSER  data and saver together in %LOCALAPPDATA%\Nimbrel: a user
;                                    cannot write to the system folder, and Windows runs a
;                                    saver from anywhere once SCRNSAVE.EXE names it
; The settings editor goes beside the data either way (the configuration dialog's Edit... looks
; for it beside the saver, then there), with a Start-menu entry.
; Both write HKCU\Software\Nimbrel "Directory" (the data folder, with a trailing backslash). A
; per-machine install also writes it for every other user at their next logon (Active Setup),
; and lets every user write to the data folder, where the saver keeps its INI file and tags.
;
; Switches: /S silent, /D=folder, /CURRENTUSER, /NOACTIVATE (leave the active screen saver as
; it is). The uninstaller takes /S and /REMOVESETTINGS (also remove a settings file whose tags
; were changed; without it such a file is kept, with the INI file beside it).

Unicode true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh

!define PRODUCT "Nimbrel"
!define SCR_NAME "Nimbrel_32_Saver.scr"
!define SETTINGS_NAME "Nimbrel_32_Settings.cmp"
!define EDITOR_NAME "Nimbrel_32_Editor.exe"
!define MENU_FOLDER "$SMPROGRAMS\${PRODUCT}"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Nimbrel"
!define ACTIVE_SETUP_KEY "Software\Microsoft\Active Setup\Installed Components\Nimbrel"
!define DESKTOP_KEY "Control Panel\Desktop"
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_SENDCHANGE 2
!define USERS_SID "*S-1-5-32-545"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel highest
ManifestDPIAware true
SetCompressor /SOLID lzma
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "FileDescription" "${PRODUCT} screen saver setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${PRODUCT}"

!ifdef ICON
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!endif
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\Nimbrel_32_Help.html"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Show the help page"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

LangString KeepSettingsQuestion ${LANG_ENGLISH} \
    "You have changed which Nimbrel settings are tagged.$\r$\n$\r$\nRemove your settings file as well?"

Var PerMachine    ; "1": Program Files and the system folder; "0": the user's own folders
Var ScrPath       ; where the saver went
Var KeepSettings  ; uninstall: "1" leaves a settings file with changed tags (and the INI file)

; ---------------------------------------------------------------------------------------------
; Shared pieces

; The settings file's size and modification time as one string, empty when there is no file.
; The saver rewrites the file whenever a tag is switched, so a changed stamp means changed tags.
!macro SETTINGS_STAMP UN
Function ${UN}SettingsStamp
    Push $0
    Push $1
    Push $2
    Push $3
    Push $4
    Push $5
    Push $6
    Push $7
    StrCpy $7 ""
    ClearErrors
    FileOpen $0 "$INSTDIR\${SETTINGS_NAME}" r
    ${IfNot} ${Errors}
        FileSeek $0 0 END $1
        FileClose $0
        ${GetTime} "$INSTDIR\${SETTINGS_NAME}" "M" $0 $2 $3 $4 $5 $6 $7
        StrCpy $7 "$1 bytes, $3-$2-$0 $5:$6:$7"
    ${EndIf}
    Pop $6
    Pop $5
    Pop $4
    Pop $3
    Pop $2
    Pop $1
    Pop $0
    Exch $7
FunctionEnd
!macroend
!insertmacro SETTINGS_STAMP ""
!insertmacro SETTINGS_STAMP "un."

; Registry views and shell folders for the chosen kind of install: SHCTX is HKLM per machine,
; HKCU per user; 64-bit Windows keeps its uninstall list in the 64-bit view.
!macro USE_CONTEXT
    ${If} $PerMachine == 1
        SetShellVarContext all
    ${Else}
        SetShellVarContext current
    ${EndIf}
    ${If} ${RunningX64}
        SetRegView 64
    ${EndIf}
!macroend

; ---------------------------------------------------------------------------------------------
; Installer


Section "Nimbrel screen saver" SecSaver
    SectionIn RO
    SetOutPath "$INSTDIR"

    ; A settings file whose tags the user changed since we installed it stays as it is, and
    ; keeps counting as changed.
    Call SettingsStamp
    Pop $0
    ReadRegStr $R9 SHCTX "${UNINST_KEY}" "SettingsStamp"
    ${If} $0 != ""
    ${AndIf} $R9 != ""
    ${AndIf} $0 != $R9
        DetailPrint "Keeping your settings file: its tags were changed"
    ${Else}
        File "${DATA}\${SETTINGS_NAME}"
        StrCpy $R9 ""
    ${EndIf}
    File "${DATA}\Nimbrel_32_Help.html"

    SetOutPath "$INSTDIR\Palette"
    !macro PALETTE NAME
        File "${DATA}\Palette\${NAME}"
    !macroend
    !include "${PALETTES}"
    !macroundef PALETTE
    SetOutPath "$INSTDIR"

    ${If} ${RunningX64}
        File "/oname=nimbrel-settings.exe" "${TOOL64}"
        File "/oname=${EDITOR_NAME}" "${EDITOR64}"
    ${Else}
        File "/oname=nimbrel-settings.exe" "${TOOL32}"
        File "/oname=${EDITOR_NAME}" "${EDITOR32}"
    ${EndIf}
    CreateDirectory "${MENU_FOLDER}"
    CreateShortcut "${MENU_FOLDER}\Nimbrel Editor.lnk" "$INSTDIR\${EDITOR_NAME}" "" \
        "$INSTDIR\${EDITOR_NAME}" 0 SW_SHOWNORMAL "" "Design your own Nimbrel settings"

    ${If} $PerMachine == 1
        StrCpy $ScrPath "$SYSDIR\${SCR_NAME}"
        ${If} ${RunningX64}
            ; A 32-bit installer would otherwise land in SysWOW64, where 64-bit Windows does not
            ; look for savers.
            ${DisableX64FSRedirection}
            SetOutPath "$SYSDIR"
            File "/oname=${SCR_NAME}" "${SCR64}"
            ${EnableX64FSRedirection}
        ${Else}
            SetOutPath "$SYSDIR"
            File "/oname=${SCR_NAME}" "${SCR32}"
        ${EndIf}
        SetOutPath "$INSTDIR"
        ; The saver writes its INI file and tag changes here, whoever runs it.
        nsExec::Exec '"$SYSDIR\icacls.exe" "$INSTDIR" /grant ${USERS_SID}:(OI)(CI)M /T /Q'
        Pop $0
        ${If} $0 != 0
            DetailPrint "Could not let all users write to $INSTDIR ($0)"
        ${EndIf}
    ${Else}
        StrCpy $ScrPath "$INSTDIR\${SCR_NAME}"
        ${If} ${RunningX64}
            File "/oname=${SCR_NAME}" "${SCR64}"
        ${Else}
            File "/oname=${SCR_NAME}" "${SCR32}"
        ${EndIf}
    ${EndIf}

    ; The saver appends file names to this folder, so it must end in a backslash.
    StrCpy $0 "$INSTDIR" 1 -1
    ${If} $0 == "\"
        StrCpy $0 "$INSTDIR"
    ${Else}
        StrCpy $0 "$INSTDIR\"
    ${EndIf}
    WriteRegStr HKCU "Software\${PRODUCT}" "Directory" "$0"
    ${If} $PerMachine == 1
        ; Every other user gets the same value at their next logon.
        WriteRegStr HKLM "${ACTIVE_SETUP_KEY}" "" "${PRODUCT} screen saver"
        WriteRegStr HKLM "${ACTIVE_SETUP_KEY}" "Version" "${VERSION_COMMAS}"
        WriteRegDWORD HKLM "${ACTIVE_SETUP_KEY}" "IsInstalled" 1
        WriteRegStr HKLM "${ACTIVE_SETUP_KEY}" "StubPath" \
            'reg.exe add "HKCU\Software\${PRODUCT}" /v Directory /t REG_SZ /d "$0\" /f'
    ${EndIf}

    WriteUninstaller "$INSTDIR\Uninstall.exe"
    ${If} $R9 == ""
        Call SettingsStamp
        Pop $R9
    ${EndIf}
    WriteRegStr SHCTX "${UNINST_KEY}" "SettingsStamp" "$R9"
    WriteRegStr SHCTX "${UNINST_KEY}" "ScreenSaver" "$ScrPath"
    WriteRegStr SHCTX "${UNINST_KEY}" "DisplayName" "${PRODUCT} screen saver"
    WriteRegStr SHCTX "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr SHCTX "${UNINST_KEY}" "Publisher" "${PRODUCT}"
    WriteRegStr SHCTX "${UNINST_KEY}" "DisplayIcon" "$ScrPath"
    WriteRegStr SHCTX "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr SHCTX "${UNINST_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr SHCTX "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD SHCTX "${UNINST_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINST_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $1 $2 $3
    IntOp $1 $1 + 400 ; the saver itself
    WriteRegDWORD SHCTX "${UNINST_KEY}" "EstimatedSize" $1
SectionEnd

Section "Make Nimbrel the active screen saver" SecActivate
    ; Windows starts SCRNSAVE.EXE with a command line built from it, so give it a path without
    ; spaces where the file system has short names.
    StrCpy $0 "$ScrPath"
    ${If} $PerMachine == 0
        GetFullPathName /SHORT $1 "$ScrPath"
        ${If} $1 != ""
            StrCpy $0 $1
        ${EndIf}
    ${EndIf}
    WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$0"
    WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
    WriteRegStr SHCTX "${UNINST_KEY}" "ActivatedAs" "$0"
    System::Call 'user32::SystemParametersInfo(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_SENDCHANGE})'
SectionEnd

; Runs before any page, after the sections exist (it may unselect one).
Function .onInit
    ${GetParameters} $R0
    StrCpy $PerMachine 0
    ClearErrors
    ${GetOptions} $R0 "/CURRENTUSER" $R1
    ${If} ${Errors}
        UserInfo::GetAccountType
        Pop $R1
        ${If} $R1 == "Admin"
            StrCpy $PerMachine 1
        ${EndIf}
    ${EndIf}
    ClearErrors
    ${GetOptions} $R0 "/NOACTIVATE" $R1
    ${IfNot} ${Errors}
        !insertmacro UnselectSection ${SecActivate}
    ${EndIf}
    !insertmacro USE_CONTEXT
    ${If} $INSTDIR == "" ; not given with /D=
        ${If} $PerMachine == 1
            ${If} ${RunningX64}
                StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
            ${Else}
                StrCpy $INSTDIR "$PROGRAMFILES\${PRODUCT}"
            ${EndIf}
        ${Else}
            StrCpy $INSTDIR "$LOCALAPPDATA\${PRODUCT}"
        ${EndIf}
    ${EndIf}
FunctionEnd

; ---------------------------------------------------------------------------------------------
; Uninstaller

Function un.onInit
    StrCpy $PerMachine 0
    ${If} ${RunningX64}
        SetRegView 64
    ${EndIf}
    ReadRegStr $0 HKLM "${UNINST_KEY}" "InstallLocation"
    ${If} $0 == $INSTDIR
        StrCpy $PerMachine 1
        UserInfo::GetAccountType
        Pop $1
        ${If} $1 != "Admin"
            MessageBox MB_OK|MB_ICONSTOP \
                "Nimbrel was installed for all users: please uninstall it as an administrator." \
                /SD IDOK
            Abort
        ${EndIf}
    ${EndIf}
    !insertmacro USE_CONTEXT
    ${GetParameters} $R0
    StrCpy $KeepSettings 0
    ClearErrors
    ${GetOptions} $R0 "/REMOVESETTINGS" $R1
    ${If} ${Errors}
        Call un.SettingsStamp
        Pop $0
        ReadRegStr $1 SHCTX "${UNINST_KEY}" "SettingsStamp"
        ${If} $0 != ""
        ${AndIf} $0 != $1
            MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "$(KeepSettingsQuestion)" \
                /SD IDNO IDYES +2
            StrCpy $KeepSettings 1
        ${EndIf}
    ${EndIf}
FunctionEnd

Section "Uninstall"
    ReadRegStr $ScrPath SHCTX "${UNINST_KEY}" "ScreenSaver"
    ${If} $ScrPath != ""
        ${If} $PerMachine == 1
        ${AndIf} ${RunningX64}
            ${DisableX64FSRedirection}
            Delete "$ScrPath"
            ${EnableX64FSRedirection}
        ${Else}
            Delete "$ScrPath"
        ${EndIf}
    ${EndIf}

    ; Windows would go on naming a saver that no longer exists.
    ReadRegStr $0 SHCTX "${UNINST_KEY}" "ActivatedAs"
    ReadRegStr $1 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${If} $1 != ""
    ${AndIf} $1 == $0
    ${OrIf} $1 == $ScrPath
        DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${EndIf}

    !macro PALETTE NAME
        Delete "$INSTDIR\Palette\${NAME}"
    !macroend
    !include "${PALETTES}"
    !macroundef PALETTE
    RMDir "$INSTDIR\Palette" ; only when it holds no palettes of the user's own

    Delete "$INSTDIR\Nimbrel_32_Help.html"
    Delete "$INSTDIR\nimbrel-settings.exe"
    Delete "$INSTDIR\${EDITOR_NAME}"
    Delete "${MENU_FOLDER}\Nimbrel Editor.lnk"
    RMDir "${MENU_FOLDER}"
    ${If} $KeepSettings == 1
        DetailPrint "Keeping $INSTDIR\${SETTINGS_NAME}: its tags were changed"
    ${Else}
        Delete "$INSTDIR\${SETTINGS_NAME}"
        Delete "$INSTDIR\Nimbrel_32_Config.ini"
        DeleteRegValue HKCU "Software\${PRODUCT}" "Directory"
        DeleteRegKey /ifempty HKCU "Software\${PRODUCT}"
    ${EndIf}
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"

    ${If} $PerMachine == 1
        DeleteRegKey HKLM "${ACTIVE_SETUP_KEY}"
    ${EndIf}
    DeleteRegKey SHCTX "${UNINST_KEY}"
SectionEnd
