; Zoredev for the current user, without administrator rights. Its log is kept in the
; folder it starts in, and the program's own folder is no place for the user's files,
; so the Start-menu entry starts it in Documents\Zoredev.
;   makensis -DVERSION=... -DFILES=folder -DICON=zoredev.ico -DOUTFILE=setup.exe Zoredev.nsi
; The program is 64-bit only, and so is its installer, which a Wine without its
; 32-bit half can run too.
Target amd64-unicode
RequestExecutionLevel user
Name "Zoredev ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Zoredev"
SetCompressor /SOLID lzma
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zoredev"

!include "MUI2.nsh"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartZoredev
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section
    SetOutPath "$INSTDIR"
    File /r "${FILES}\*"
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    CreateDirectory "$DOCUMENTS\Zoredev"
    ; A shortcut starts in the folder last set as the output path.
    SetOutPath "$DOCUMENTS\Zoredev"
    CreateShortcut "$SMPROGRAMS\Zoredev.lnk" "$INSTDIR\Zoredev.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Zoredev"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Zoredev.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Function StartZoredev
    SetOutPath "$DOCUMENTS\Zoredev"
    Exec '"$INSTDIR\Zoredev.exe"'
FunctionEnd

; Only what was installed goes: Basic.LOG and its backup stay in Documents\Zoredev,
; and in the program's folder too, should a user have kept them there.
Section "Uninstall"
    Delete "$SMPROGRAMS\Zoredev.lnk"
    Delete "$INSTDIR\Zoredev.exe"
    Delete "$INSTDIR\README.txt"
    RMDir /r "$INSTDIR\licenses"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
