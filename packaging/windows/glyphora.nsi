; The Windows installer: Glyphora for the person who installs it, in their own
; programs folder, with no administrator rights asked; a Start-menu entry, an
; entry under the installed apps, and an uninstaller that takes all of it away
; again. makensis gets VERSION, FILES (the folder of what goes in) and
; OUTFILE from scripts/package-for-windows.

; A 64-bit installer for a 64-bit program, which runs wherever the program does.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include "MUI2.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Glyphora"

Name "Glyphora"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Glyphora"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1031 "ProductName" "Glyphora"
VIAddVersionKey /LANG=1031 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1031 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1031 "FileDescription" "Glyphora ${VERSION} einrichten"
VIAddVersionKey /LANG=1031 "LegalCopyright" "The Glyphora developers"

!define MUI_FINISHPAGE_RUN "$INSTDIR\glyphora.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "German"

Section
    SetShellVarContext current
    SetOutPath "$INSTDIR"
    File "${FILES}\glyphora.exe"
    File "${FILES}\ASCII8X14.BMP"
    File "${FILES}\LICENSE.txt"
    File "${FILES}\README.txt"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\Glyphora.lnk" "$INSTDIR\glyphora.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Glyphora"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Glyphora developers"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\glyphora.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetShellVarContext current
    Delete "$SMPROGRAMS\Glyphora.lnk"
    Delete "$INSTDIR\glyphora.exe"
    Delete "$INSTDIR\ASCII8X14.BMP"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    ; The programs folder goes too if the install made it and nothing else is in it.
    RMDir "$LOCALAPPDATA\Programs"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
