; The Windows installer, built on Linux with makensis. It installs for the current user (no
; administrator needed) or for all users, adds a Start-menu shortcut and, unless unticked, starts the
; program at sign-in through the user's Run key. Its uninstaller removes the program, the shortcut and
; the Run value and leaves the user's settings, unless asked to remove them too.
;
; The build defines: VERSION (2.2.0), EXE (corvane.exe), ICON (the program's .ico), OUTFILE, and HELP
; when there is a help folder to install beside the program.
;
; Silent use: setup.exe /S [/CurrentUser | /AllUsers] [/D=folder]
;             uninstall.exe /S [/CurrentUser | /AllUsers] [/RemoveSettings]

; The program is 64-bit, and so is the installer: it runs where the program can.
Target amd64-unicode
SetCompressor /SOLID lzma

!define APP "Corvane"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvane"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "Software\VB and VBA Program Settings\Corvane"
; The hidden window every running copy has (win32_runtime.cpp): how the installer finds one to end.
!define RUNTIME_WINDOW_CLASS "CorvaneRuntime"

Name "${APP}"
OutFile "${OUTFILE}"
BrandingText "${APP} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${APP}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${APP} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Corvane developers"

; Per user by default; all users when chosen on the first page or with /AllUsers.
!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_DEFAULT_CURRENTUSER
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR "${APP}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallLocation"
; Each choice of install mode puts that mode's folder into $INSTDIR: a folder given with /D is put back.
!define MULTIUSER_INSTALLMODE_FUNCTION KeepFolderGiven
!include MultiUser.nsh
!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include Sections.nsh
!include WinMessages.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\corvane.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${APP} now"

!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; A running copy holds its program file open: it is asked to end the way the end of the session asks
; it, so it saves its settings first, and its process is waited for to end, for up to 30 seconds. That
; takes milliseconds on Windows, seconds under Wine without a window manager.
!define SYNCHRONIZE 0x00100000
!macro EndRunningCopy
  FindWindow $0 "${RUNTIME_WINDOW_CLASS}"
  ${If} $0 <> 0
    System::Call "user32::GetWindowThreadProcessId(p r0, *i .r1)"
    System::Call "kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i r1) p .r2"
    SendMessage $0 ${WM_ENDSESSION} 1 0 /TIMEOUT=5000
    ${If} $2 != 0
      System::Call "kernel32::WaitForSingleObject(p r2, i 30000)"
      System::Call "kernel32::CloseHandle(p r2)"
    ${EndIf}
  ${EndIf}
!macroend

; /D= sets $INSTDIR before .onInit; the script sets no default, so it is empty without one.
Var FolderGiven
Function KeepFolderGiven
  ${If} $FolderGiven != ""
    StrCpy $INSTDIR $FolderGiven
  ${EndIf}
FunctionEnd

Function .onInit
  StrCpy $FolderGiven $INSTDIR
  !insertmacro MULTIUSER_INIT
FunctionEnd

Section "${APP}" SecProgram
  SectionIn RO
  !insertmacro EndRunningCopy
  SetOutPath "$INSTDIR"
  File "/oname=corvane.exe" "${EXE}"
  !ifdef HELP
    SetOutPath "$INSTDIR\help"
    File /r "${HELP}/*"
    SetOutPath "$INSTDIR"
  !endif
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\corvane.exe"

  ; The uninstaller is told which install it removes, so it finds the right shortcut and entry.
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${APP}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "Corvane developers"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\corvane.exe"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S /$MultiUser.InstallMode'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; The user's own Run key, also for an install for all users: each user decides whether the meter
; starts with their session (the Startup page of the Task Manager turns it off again).
Section "Start at sign-in" SecRun
  WriteRegStr HKCU "${RUN_KEY}" "${APP}" '"$INSTDIR\corvane.exe"'
SectionEnd

; The licence (the build defines LICENSE, the source's LICENSE file) beside the program, as in the zip.
; Hidden sections, nothing to choose; the uninstaller's comes before the program's, which removes the
; folder only once it is empty.
Section "-Licence"
  SetOutPath "$INSTDIR"
  File "/oname=LICENSE.txt" "${LICENSE}"
SectionEnd

Section "-un.Licence"
  Delete "$INSTDIR\LICENSE.txt"
SectionEnd

Section "un.${APP}" SecUnProgram
  SectionIn RO
  !insertmacro EndRunningCopy
  Delete /REBOOTOK "$INSTDIR\corvane.exe"
  RMDir /r "$INSTDIR\help"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${APP}.lnk"
  ; Only a Run value that starts this install: another install's is left alone.
  ReadRegStr $0 HKCU "${RUN_KEY}" "${APP}"
  ${If} $0 == '"$INSTDIR\corvane.exe"'
    DeleteRegValue HKCU "${RUN_KEY}" "${APP}"
  ${EndIf}
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd

; Off unless ticked or asked for with /RemoveSettings: a later install finds the settings again.
Section /o "un.My settings (meter place, colours, thresholds)" SecUnSettings
  DeleteRegKey HKCU "${SETTINGS_KEY}"
SectionEnd

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/RemoveSettings" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecUnSettings}
  ${EndIf}
FunctionEnd
