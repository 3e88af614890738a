; Vantaro's setup program, built by installer/CMakeLists.txt (scripts/package.sh):
;   makensis -DVERSION=1.1211.0 -DARCH=x86|x64 -DDIST=<distribution folder> -DFILES=<files.nsh>
;            -DICON=<Vantaro.ico> -DOUTFILE=<Vantaro-1.1211.0-x86-setup.exe> Vantaro.nsi
; ARCH=x86 packs the 32-bit build (with its 64-bit helper), ARCH=x64 the 64-bit build.
; Per machine, into Program Files; runs silently with /S (and /D=<folder>). The settings stay
; beside the program, where administrators alone may write them (see the README).

!ifndef VERSION | ARCH | DIST | FILES | ICON | OUTFILE
  !error "VERSION, ARCH, DIST, FILES, ICON and OUTFILE are defined by the build"
!endif

!if "${ARCH}" == "x64"
  Target amd64-unicode
!else if "${ARCH}" == "x86"
  Unicode true
!else
  !error "ARCH is x86 or x64"
!endif
SetCompressor /SOLID lzma

!define PRODUCT "Vantaro"
!define PUBLISHER "Vantaro"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantaro"
!define UNINSTALLER "Uninstall.exe"
!define START_MENU_LINK "$SMPROGRAMS\Vantaro.lnk"
; In a shell link's header, the flag byte that holds SLDF_RUNAS_USER (0x2000).
!define LINK_FLAGS_BYTE 0x15
!define LINK_RUNAS_BIT 0x20

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "${FILES}"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
!if "${ARCH}" == "x64"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
!else
InstallDir "$PROGRAMFILES\${PRODUCT}"
!endif
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
; Installing a modem driver needs an administrator anyway; so does writing Program Files.
RequestExecutionLevel admin
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; The setup speaks the language of the Windows it runs on.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "SimpChinese"

; A Start-menu shortcut that asks for administrator rights: the settings in Program Files and the
; driver install both need them.
Function MarkLinkRunAsAdministrator
  Exch $0
  Push $1
  Push $2
  ClearErrors
  FileOpen $1 $0 a
  IfErrors done
  FileSeek $1 ${LINK_FLAGS_BYTE} SET
  FileReadByte $1 $2
  IntOp $2 $2 | ${LINK_RUNAS_BIT}
  FileSeek $1 ${LINK_FLAGS_BYTE} SET
  FileWriteByte $1 $2
  FileClose $1
done:
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

Section "Vantaro"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  !insertmacro InstallFiles
  ; The settings of an earlier install are kept.
  SetOverwrite off
  File "${DIST}\Setting.ini"
  SetOverwrite on
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  CreateShortcut "${START_MENU_LINK}" "$INSTDIR\Vantaro.exe" "" "$INSTDIR\Vantaro.exe" 0
  Push "${START_MENU_LINK}"
  Call MarkLinkRunAsAdministrator

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Vantaro.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  ; What Vantaro put into Windows goes first, while the program is still there to remove it:
  ; its modems with their driver keys, its dial-up entry, the About dialog's shortcut.
  IfFileExists "$INSTDIR\Vantaro.exe" 0 files
  ExecWait '"$INSTDIR\Vantaro.exe" /uninstall /quiet' $0
  DetailPrint "Vantaro.exe /uninstall /quiet: exit code $0"
files:
  !insertmacro RemoveFiles
  Delete "$INSTDIR\Setting.ini"
  Delete "$INSTDIR\Vantaro.log"
  Delete "$INSTDIR\Vantaro.log.1"
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Only when empty: a folder the user chose for more than Vantaro keeps the rest.
  RMDir "$INSTDIR"
  Delete "${START_MENU_LINK}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
