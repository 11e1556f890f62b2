; The installer of the Windows edition, for one user and without administrator rights:
; everything goes into the user's own profile and registry (HKCU). scripts/windows-package.sh
; runs makensis on it with these defines:
;   VERSION, VERSION4   the version, and as four numbers
;   STAGE               the folder the ZIP is made of: what is installed
;   GENERATED           the folder of programs.nsh (Start menu entries) and files.nsh (the
;                       installed files), written from the same programs and files
;   OUTFILE, ICON       the installer to write, and the programs' icon
; /S installs (and uninstall.exe /S uninstalls) without a window, for roll-outs.

Target amd64-unicode
RequestExecutionLevel user
; makensis warns (9000) that Windows gives programs named *setup*.exe compatibility shims;
; the name nenrei-VERSION-windows-x64-setup.exe is the one users are told to look for, and
; the manifest's level (the user's own) keeps Windows from asking for administrator rights.
!pragma warning disable 9000
ManifestDPIAware true
SetCompressor /SOLID lzma

!define PRODUCT "年齢計算"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\nenrei"
!define MENU_FOLDER "$SMPROGRAMS\${PRODUCT}"
; Where the programs keep their data when their own folder takes no new files.
!define USER_DATA "$LOCALAPPDATA\${PRODUCT}"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "${GENERATED}\programs.nsh"
!include "${GENERATED}\files.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "${NENREI_MAIN}"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\README.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

VIProductVersion "${VERSION4}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileDescription" "${PRODUCT} のインストーラー"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "LegalCopyright" "© 2026 nenrei developers"

Section
    SetOutPath "$INSTDIR"
    File /r "${STAGE}\*.*"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateDirectory "${MENU_FOLDER}"
    !insertmacro NENREI_SHORTCUTS

    ; 「アプリと機能」
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "${NENREI_MAIN}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Removes what was installed, file by file, and never the data files (kojinnen.txt,
; kojinfl.txt and their companions), which the programs may keep in the same folder; says
; where those are.
Section "Uninstall"
    !insertmacro NENREI_REMOVE_SHORTCUTS
    RMDir "${MENU_FOLDER}"
    !insertmacro NENREI_REMOVE_FILES
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"

    StrCpy $0 ""
    ${If} ${FileExists} "$INSTDIR\kojinnen.txt"
    ${OrIf} ${FileExists} "$INSTDIR\kojinfl.txt"
        StrCpy $0 "$\r$\n$INSTDIR"
    ${EndIf}
    ${If} ${FileExists} "${USER_DATA}\kojinnen.txt"
    ${OrIf} ${FileExists} "${USER_DATA}\kojinfl.txt"
        StrCpy $0 "$0$\r$\n${USER_DATA}"
    ${EndIf}
    ${If} $0 != ""
        DetailPrint "データファイルは残してあります:$0"
        MessageBox MB_OK|MB_ICONINFORMATION "データファイル（名簿 kojinnen.txt と前回の入力 kojinfl.txt）は消さずに、次のフォルダーに残してあります。$0$\r$\n$\r$\n要らなくなったときは、このフォルダーを削除してください。" /SD IDOK
    ${EndIf}
SectionEnd
