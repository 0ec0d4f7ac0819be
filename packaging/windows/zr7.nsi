; The ZR-7 installer: the program in Program Files\ZR-7, a Start menu entry
; and a desktop shortcut whose working folder is the user's Documents\ZR-7,
; where konfiguracja.txt and the measurement files belong. The uninstaller
; removes the program and its shortcuts and leaves that folder alone.
;   makensis -DVERSION=1.2 -DPROGRAM=<portable folder> -DFILES=<files.nsh> -DOUTFILE=<setup.exe> zr7.nsi
; files.nsh lists the portable folder's files as Delete lines for the
; uninstaller (package-windows.sh writes it), so that it removes exactly
; what was installed.
; A 64-bit installer, as the program is; it runs where the program does.
Target amd64-unicode
SetCompressor /SOLID lzma
!include "MUI2.nsh"

!define KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ZR-7"

Name "ZR-7 ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\ZR-7"
RequestExecutionLevel admin
BrandingText "ZR-7 ${VERSION}"

!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartProgram
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Polish"

Function .onInit
  SetRegView 64
FunctionEnd

; The program starts in the working folder of its shortcuts.
Function StartProgram
  SetOutPath "$DOCUMENTS\ZR-7"
  Exec '"$INSTDIR\zr7.exe"'
FunctionEnd

Section "ZR-7"
  SetOutPath "$INSTDIR"
  File /r "${PROGRAM}\*.*"
  WriteUninstaller "$INSTDIR\odinstaluj.exe"

  ; Shortcuts and documents are the installing user's.
  SetShellVarContext current
  CreateDirectory "$DOCUMENTS\ZR-7"
  ; A shortcut's working folder is the output folder at its making.
  SetOutPath "$DOCUMENTS\ZR-7"
  CreateDirectory "$SMPROGRAMS\ZR-7"
  CreateShortcut "$SMPROGRAMS\ZR-7\ZR-7.lnk" "$INSTDIR\zr7.exe" "" "$INSTDIR\zr7.exe" 0 SW_SHOWNORMAL "" "Odczyt i wydruk pomiarów opóźniomierza ZR-7"
  CreateShortcut "$SMPROGRAMS\ZR-7\Odinstaluj ZR-7.lnk" "$INSTDIR\odinstaluj.exe"
  CreateShortcut "$DESKTOP\ZR-7.lnk" "$INSTDIR\zr7.exe" "" "$INSTDIR\zr7.exe" 0 SW_SHOWNORMAL "" "Odczyt i wydruk pomiarów opóźniomierza ZR-7"

  WriteRegStr HKLM "${KEY}" "DisplayName" "ZR-7"
  WriteRegStr HKLM "${KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${KEY}" "Publisher" "ZR-7"
  WriteRegStr HKLM "${KEY}" "DisplayIcon" "$INSTDIR\zr7.exe"
  WriteRegStr HKLM "${KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${KEY}" "UninstallString" '"$INSTDIR\odinstaluj.exe"'
  WriteRegStr HKLM "${KEY}" "QuietUninstallString" '"$INSTDIR\odinstaluj.exe" /S'
  WriteRegDWORD HKLM "${KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${KEY}" "NoRepair" 1
  WriteRegDWORD HKLM "${KEY}" "EstimatedSize" ${SIZE_KB}
SectionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$DESKTOP\ZR-7.lnk"
  Delete "$SMPROGRAMS\ZR-7\ZR-7.lnk"
  Delete "$SMPROGRAMS\ZR-7\Odinstaluj ZR-7.lnk"
  RMDir "$SMPROGRAMS\ZR-7"
  !include "${FILES}"
  Delete "$INSTDIR\odinstaluj.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${KEY}"
SectionEnd
