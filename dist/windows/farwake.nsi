; The farwake installer (NSIS): per user without administrator rights into
; %LOCALAPPDATA%\Programs\farwake, or for all users into Program Files with /ALLUSERS; a Start
; menu entry; an uninstaller that removes what was installed and leaves the player's settings.
; /S installs silently. tools/windows.sh passes VERSION, STAGE (the files), LISTS (the File and
; Delete lines made from them) and OUTFILE.
; A 64-bit installer, like the programs (Windows on x86-64 runs it without its 32-bit layer).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "x64.nsh"

Name "farwake ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\farwake"
ShowInstDetails nevershow
ShowUninstDetails nevershow
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "farwake"
VIAddVersionKey "FileDescription" "farwake installer"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "farwake developers"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\farwake"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Var all_users

Function .onInit
  StrCpy $all_users 0
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/ALLUSERS" $1
  ${IfNot} ${Errors}
    StrCpy $all_users 1
    SetShellVarContext all
    StrCpy $INSTDIR "$PROGRAMFILES64\farwake"
  ${EndIf}
FunctionEnd

Section "farwake"
  SetOutPath "$INSTDIR"
  !cd "${STAGE}"
  !include "${LISTS}\install-files.nsh"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "$SMPROGRAMS\farwake.lnk" "$INSTDIR\farwake.exe"
  ${If} $all_users = 1
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "farwake"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" /ALLUSERS'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\farwake.exe"
  ${Else}
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "farwake"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\farwake.exe"
  ${EndIf}
SectionEnd

Function un.onInit
  StrCpy $all_users 0
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/ALLUSERS" $1
  ${IfNot} ${Errors}
    StrCpy $all_users 1
    SetShellVarContext all
  ${EndIf}
FunctionEnd

; Only the files the installer put there: the settings in %APPDATA%\farwake stay, and so does
; anything the player added to the folder (it then stays too).
Section "Uninstall"
  !include "${LISTS}\uninstall-files.nsh"
  Delete "$INSTDIR\uninstall.exe"
  Delete "$SMPROGRAMS\farwake.lnk"
  RMDir "$INSTDIR"
  ${If} $all_users = 1
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ${Else}
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ${EndIf}
SectionEnd
