; Vantaro's setup program, built by installer/CMakeLists.txt (scripts/package.sh):
;   makensis -DVERSION=1.1211.0 -DARCH=x86|x64 -DDIST=<distribution folder> -DFILES=<files.nsh>
;            -DPROGRAM=<program.nsh> -DICON=<Vantaro.ico> -DOUTFILE=<Vantaro-1.1211.0-x86-setup.exe>
;            -DPLUGINS=<the folder of VantaroSetup.dll> Vantaro.nsi
; ARCH=x86 packs the 32-bit build (with its 64-bit helper), ARCH=x64 the 64-bit build. They are
; one product: each takes over an install of the other kind (its settings kept, its files, entry
; and shortcut replaced), so a PC has one Vantaro, one uninstall entry and one shortcut.
; Per machine, into Program Files; runs silently with /S (and /D=<folder>). The settings stay
; beside the program, where administrators alone may write them (see docs/deploying.md).

!ifndef VERSION | ARCH | DIST | FILES | PROGRAM | ICON | OUTFILE | PLUGINS
  !error "VERSION, ARCH, DIST, FILES, PROGRAM, ICON, OUTFILE and PLUGINS are defined by the build"
!endif

; PLUGINS holds VantaroSetup.dll, of this setup's kind: the steps the MSI's actions share.
!if "${ARCH}" == "x64"
  Target amd64-unicode
  !addplugindir /amd64-unicode "${PLUGINS}"
!else if "${ARCH}" == "x86"
  Unicode true
  !addplugindir /x86-unicode "${PLUGINS}"
!else
  !error "ARCH is x86 or x64"
!endif
SetCompressor /SOLID lzma

!define PRODUCT "Vantaro"
!define PUBLISHER "Vantaro"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantaro"
!define UNINSTALLER "Uninstall.exe"
!define START_MENU_LINK "$SMPROGRAMS\Vantaro.lnk"
; The MSI packages' UpgradeCode (installer/msi/Vantaro.wxs).
!define MSI_UPGRADE_CODE "{3F2A9C64-8B1D-4E7A-A5C2-6D0E4B9F1C37}"
!define SYNCHRONIZE 0x00100000
; In a shell link's header, the flag byte that holds SLDF_RUNAS_USER (0x2000).
!define LINK_FLAGS_BYTE 0x15
!define LINK_RUNAS_BIT 0x20

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "x64.nsh"
!include "${FILES}"
; The mutex held by every running Vantaro.exe (RUNNING_MUTEX, and ERROR_ACCESS_DENIED for an open
; that another user's mutex refuses) and the program's exit codes (EXIT_...), from its headers.
!include "${PROGRAM}"
!ifndef RUNNING_MUTEX | ERROR_ACCESS_DENIED | EXIT_DONE | EXIT_NEEDS_ADMINISTRATOR | EXIT_RESTART_NEEDED
  !error "${PROGRAM} lacks a name or an exit code that the uninstall reads (installer/CMakeLists.txt writes it)"
!endif

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
!include "Messages.nsh"

; The registry view of the other kind's uninstall entry: a 32-bit setup's lies in the 32-bit
; view of 64-bit Windows, a 64-bit one's in the native view.
!macro OtherKindsView
  !if "${ARCH}" == "x64"
    SetRegView 32
  !else
    SetRegView 64
  !endif
!macroend

; An install of the other kind (its folder in $R0) gives way to this one: its settings come
; along unless this folder has its own, then its files, its entry and its folder go. What
; Vantaro put into Windows (modems, driver, dial-up entry) stays: this install's program takes
; it over, and its uninstall removes it.
Function TakeOverTheOtherKind
  !if "${ARCH}" == "x86"
    ${IfNot} ${RunningX64}
      Return
    ${EndIf}
  !endif
  !insertmacro OtherKindsView
  ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $R0 != ""
    DetailPrint "$(Replacing)"
    ${If} $R0 != $INSTDIR
      ${IfNot} ${FileExists} "$INSTDIR\Setting.ini"
      ${AndIf} ${FileExists} "$R0\Setting.ini"
        CopyFiles /SILENT "$R0\Setting.ini" "$INSTDIR\Setting.ini"
      ${EndIf}
      !insertmacro RemoveFilesFrom "$R0"
      Delete "$R0\pnpagent64.exe"
      Delete "$R0\Setting.ini"
      Delete "$R0\Vantaro.log"
      Delete "$R0\Vantaro.log.1"
      Delete "$R0\${UNINSTALLER}"
      RMDir "$R0"
    ${EndIf}
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ${EndIf}
  SetRegView default
FunctionEnd

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
  ; An install from the MSI package belongs to whoever deploys it (Group Policy, Intune): the
  ; setup does not take it over, and it says how to go on.
  System::Call 'msi::MsiEnumRelatedProductsW(w "${MSI_UPGRADE_CODE}", i 0, i 0, w .r0) i .r1'
  ${If} $1 == 0
    DetailPrint "$(InstalledByMsi)"
    MessageBox MB_ICONSTOP "$(InstalledByMsi)" /SD IDOK
    SetErrorLevel 1
    Abort
  ${EndIf}
  !if "${ARCH}" == "x86"
    ${If} ${RunningX64}
      DetailPrint "$(X86OnX64)"
      MessageBox MB_ICONINFORMATION "$(X86OnX64)" /SD IDOK
    ${EndIf}
  !endif
  ; A folder outside Program Files gets Program Files' access before any file goes in: the
  ; program runs elevated from it, and runs its helper from it.
  VantaroSetup::SecureFolder "$INSTDIR"
  Pop $0
  ${If} $0 == "unnamed"
    DetailPrint "$(FolderNameUnusable)"
    MessageBox MB_ICONSTOP "$(FolderNameUnusable)" /SD IDOK
    SetErrorLevel 1
    Abort
  ${ElseIf} $0 != "inherited"
  ${AndIf} $0 != "set"
    DetailPrint "$(FolderNotSecured)"
    MessageBox MB_ICONSTOP "$(FolderNotSecured)" /SD IDOK
    SetErrorLevel 1
    Abort
  ${EndIf}
  SetOutPath "$INSTDIR"
  Call TakeOverTheOtherKind
  !insertmacro InstallFiles
  !if "${ARCH}" == "x64"
    ; The 64-bit program needs no helper; a 32-bit install in this folder left one.
    Delete "$INSTDIR\pnpagent64.exe"
  !endif
  ; The settings of an earlier install are kept, with this version's texts and new keys; if
  ; that cannot be done, they stay as they were.
  ${If} ${FileExists} "$INSTDIR\Setting.ini"
    InitPluginsDir
    SetOutPath "$PLUGINSDIR"
    File "${DIST}\Setting.ini"
    SetOutPath "$INSTDIR"
    VantaroSetup::UpgradeSettings "$INSTDIR\Setting.ini" "$PLUGINSDIR\Setting.ini"
    Pop $0
    ${If} $0 != "ok"
      DetailPrint "$(SettingsKept)"
    ${EndIf}
  ${Else}
    File "${DIST}\Setting.ini"
  ${EndIf}
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

; Stops the uninstall, saying why: the message of language string $0, exit code $1.
Function un.Refuse
  DetailPrint "$0"
  MessageBox MB_ICONSTOP "$0" /SD IDOK
  SetErrorLevel $1
  Abort
FunctionEnd

Section "Uninstall"
  SetShellVarContext all
  ; A running Vantaro could dial or install while its files go: it is closed first.
  ; Another user's Vantaro may hold a mutex that this account may not open: it runs all the same.
  System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${RUNNING_MUTEX}") p .r1 ?e'
  Pop $2
  ${If} $1 != 0
  ${OrIf} $2 == ${ERROR_ACCESS_DENIED}
    System::Call 'kernel32::CloseHandle(p r1)'
    StrCpy $0 "$(StillRunning)"
    StrCpy $1 1
    Call un.Refuse
  ${EndIf}
  ; What Vantaro put into Windows goes first, while the program is still there to remove it:
  ; its modems and their driver, its dial-up entry, the About dialog's shortcut. The program
  ; stays as long as any of that does.
  ${If} ${FileExists} "$INSTDIR\Vantaro.exe"
    ClearErrors
    ExecWait '"$INSTDIR\Vantaro.exe" /uninstall /quiet' $0
    ${If} ${Errors}
      StrCpy $0 "not started"
    ${EndIf}
    DetailPrint "Vantaro.exe /uninstall /quiet: exit code $0"
    ${If} $0 == ${EXIT_NEEDS_ADMINISTRATOR}
      StrCpy $1 $0
      StrCpy $0 "$(RemovalNeedsAdministrator)"
      Call un.Refuse
    ${ElseIf} $0 == ${EXIT_RESTART_NEEDED}
      StrCpy $1 $0
      StrCpy $0 "$(RemovalNeedsRestart)"
      Call un.Refuse
    ${ElseIf} $0 != ${EXIT_DONE}
      StrCpy $0 "$(RemovalFailed)"
      StrCpy $1 1
      Call un.Refuse
    ${EndIf}
  ${EndIf}

  !insertmacro RemoveFilesFrom "$INSTDIR"
  Delete "$INSTDIR\Setting.ini"
  Delete "$INSTDIR\Vantaro.log"
  Delete "$INSTDIR\Vantaro.log.1"
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Only when empty: a folder the user chose for more than Vantaro keeps the rest.
  RMDir "$INSTDIR"
  Delete "${START_MENU_LINK}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
