; Mirelunde's installer for one user: the release ZIP's files in the user's own programs folder, a
; Start menu entry and the user's uninstall registration, all without administrator rights.
; scripts/installer builds it with makensis and these defines: VERSION (four numbers), OUTFILE,
; LAUNCHER64, LIBRARY64, LAUNCHER86, LIBRARY86, GUIDE, LICENCE and ICON (paths of the built files).
;
; An upgrade never writes over a file that a running program has mapped: the hook library stays
; mapped in programs after the launcher stops (Windows unloads it lazily, Wine never), and such a
; file can be renamed but not written or deleted. It is moved aside as "<name>.<n>.moved" and the
; launcher deletes those as it starts, once no program holds them.
;
; Silent use:  setup.exe /S [/LOGIN | /NOLOGIN] [/NOSTART] [/D=<folder>]
;              uninstall.exe /S [/REMOVESETTINGS]

Unicode true
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include x64.nsh

!define PRODUCT "Mirelunde"
!define PUBLISHER "Pellamor"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Mirelunde"
!define SETTINGS_KEY "Software\Pellamor\Mirelunde"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUNONCE_KEY "Software\Microsoft\Windows\CurrentVersion\RunOnce"
!define SHORTCUT "$SMPROGRAMS\Mirelunde.lnk"
!define UNINSTALLER "uninstall.exe"
!define SYNCHRONIZE 0x00100000

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Mirelunde"
; An upgrade goes where the installed version is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} installer"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start Mirelunde now"
!define MUI_FINISHPAGE_RUN_FUNCTION StartUnlessRunning
!define MUI_FINISHPAGE_SHOWREADME
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Run Mirelunde at login"
!define MUI_FINISHPAGE_SHOWREADME_FUNCTION LoginOn
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishShow
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE FinishLeave
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

Var Launcher    ; the launcher this system runs: the 64-bit one, or on 32-bit Windows the one in x86
Var WasRunning  ; 1 when a launcher was running as the installer began

; Functions that both the installer and the uninstaller use ("un." names the uninstaller's copy).
!macro SHARED_FUNCTIONS un

Function ${un}ChooseLauncher
  ${If} ${RunningX64}
    StrCpy $Launcher "$INSTDIR\mirelunde.exe"
  ${Else}
    StrCpy $Launcher "$INSTDIR\x86\mirelunde.exe"
  ${EndIf}
FunctionEnd

; Pushes 1 when a launcher of either architecture holds its instance lock, otherwise 0.
Function ${un}IsLauncherRunning
  Push $R0
  StrCpy $R0 0
  System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "Local\Mirelunde.Launcher") p.R1'
  System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "Local\Mirelunde.Launcher.32") p.R2'
  ${If} $R1 P<> 0
  ${OrIf} $R2 P<> 0
    StrCpy $R0 1
  ${EndIf}
  System::Call 'kernel32::CloseHandle(p R1)'
  System::Call 'kernel32::CloseHandle(p R2)'
  Exch $R0
FunctionEnd

; Stops a running launcher the way "mirelunde.exe -k" does, with both architectures' windows put
; back, using the 32-bit launcher given (it runs on every system). Sets $WasRunning.
Function ${un}StopLauncher
  Exch $R0
  Call ${un}IsLauncherRunning
  Pop $WasRunning
  ${If} $WasRunning = 1
  ${AndIf} ${FileExists} $R0
    ExecWait '"$R0" -k'
  ${ElseIf} $WasRunning = 1
    ; No launcher to ask: the stop request itself, which the running launchers watch for.
    WriteRegDWORD HKCU "${SETTINGS_KEY}" "HHook" 0
    Sleep 3000
  ${EndIf}
  Pop $R0
FunctionEnd

; Makes way for a file: deletes it, or, when a running program still has it mapped, moves it aside
; as "<name>.<n>.moved" with the first free number.
Function ${un}MoveAside
  Exch $R0
  Push $R1
  Delete $R0
  ${If} ${FileExists} $R0
    StrCpy $R1 1
    ${DoWhile} ${FileExists} "$R0.$R1.moved"
      IntOp $R1 $R1 + 1
    ${Loop}
    Rename $R0 "$R0.$R1.moved"
  ${EndIf}
  Pop $R1
  Pop $R0
FunctionEnd

; Copies of earlier moves that nothing holds any more go now, the rest when the launcher next starts.
Function ${un}DeleteFreeMovedCopies
  Delete "$INSTDIR\*.moved"
  Delete "$INSTDIR\x86\*.moved"
FunctionEnd

!macroend
!insertmacro SHARED_FUNCTIONS ""
!insertmacro SHARED_FUNCTIONS "un."

!macro PLACE_FILE name source
  Push "$OUTDIR\${name}"
  Call MoveAside
  File "/oname=${name}" "${source}"
!macroend

!macro UN_MOVE_ASIDE name
  Push "$INSTDIR\${name}"
  Call un.MoveAside
!macroend

Function StartUnlessRunning
  Call IsLauncherRunning
  Pop $0
  ${If} $0 = 0
    SetOutPath $INSTDIR
    Exec '"$Launcher"'
  ${EndIf}
FunctionEnd

; The login entry is written and removed by the launcher itself, which names its own full path.
Function LoginOn
  ExecWait '"$Launcher" --login'
FunctionEnd

Function LoginOff
  ExecWait '"$Launcher" --login off'
FunctionEnd

Function FinishShow
  ReadRegStr $0 HKCU "${RUN_KEY}" "Mirelunde"
  ${If} $0 == ""
    SendMessage $mui.FinishPage.ShowReadme ${BM_SETCHECK} ${BST_UNCHECKED} 0
  ${EndIf}
FunctionEnd

Function FinishLeave
  SendMessage $mui.FinishPage.ShowReadme ${BM_GETCHECK} 0 0 $0
  ReadRegStr $1 HKCU "${RUN_KEY}" "Mirelunde"
  ${If} $0 <> ${BST_CHECKED}
  ${AndIf} $1 != ""
    Call LoginOff
  ${EndIf}
FunctionEnd

Function .onInit
  SetShellVarContext current
FunctionEnd

Section
  Call ChooseLauncher
  InitPluginsDir
  File "/oname=$PLUGINSDIR\mirelunde.exe" "${LAUNCHER86}"
  Push "$PLUGINSDIR\mirelunde.exe"
  Call StopLauncher
  Call DeleteFreeMovedCopies

  SetOutPath $INSTDIR
  !insertmacro PLACE_FILE "mirelunde.exe" "${LAUNCHER64}"
  !insertmacro PLACE_FILE "Mirelunde.dll" "${LIBRARY64}"
  !insertmacro PLACE_FILE "GUIDE.txt" "${GUIDE}"
  !insertmacro PLACE_FILE "LICENSE" "${LICENCE}"
  SetOutPath "$INSTDIR\x86"
  !insertmacro PLACE_FILE "mirelunde.exe" "${LAUNCHER86}"
  !insertmacro PLACE_FILE "Mirelunde.dll" "${LIBRARY86}"
  SetOutPath $INSTDIR
  Push "$INSTDIR\${UNINSTALLER}"
  Call MoveAside
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  CreateShortcut "${SHORTCUT}" "$Launcher" "" "$Launcher" 0 SW_SHOWNORMAL "" "Window shading and window commands"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$Launcher,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

  ${If} ${Silent}
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/LOGIN" $R1
    ${IfNot} ${Errors}
      Call LoginOn
    ${EndIf}
    ClearErrors
    ${GetOptions} $R0 "/NOLOGIN" $R1
    ${IfNot} ${Errors}
      Call LoginOff
    ${EndIf}
    ClearErrors
    ${GetOptions} $R0 "/NOSTART" $R1
    ${If} ${Errors}
    ${OrIf} $WasRunning = 1
      Call StartUnlessRunning
    ${EndIf}
  ${ElseIf} $WasRunning = 1
    Call StartUnlessRunning
  ${EndIf}
SectionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "Uninstall"
  Call un.ChooseLauncher
  Push "$INSTDIR\x86\mirelunde.exe"
  Call un.StopLauncher
  ${If} ${FileExists} $Launcher
    ExecWait '"$Launcher" --login off'
  ${EndIf}
  Delete "${SHORTCUT}"

  Call un.DeleteFreeMovedCopies
  !insertmacro UN_MOVE_ASIDE "mirelunde.exe"
  !insertmacro UN_MOVE_ASIDE "Mirelunde.dll"
  !insertmacro UN_MOVE_ASIDE "x86\mirelunde.exe"
  !insertmacro UN_MOVE_ASIDE "x86\Mirelunde.dll"
  Delete "$INSTDIR\GUIDE.txt"
  Delete "$INSTDIR\LICENSE"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR\x86"
  RMDir "$INSTDIR"
  ; Copies still mapped by running programs go at the next login, when nothing holds them.
  ${If} ${FileExists} "$INSTDIR\*.*"
    WriteRegStr HKCU "${RUNONCE_KEY}" "Mirelunde" '"$SYSDIR\cmd.exe" /c del /f /q "$INSTDIR\*.moved" "$INSTDIR\x86\*.moved" & rd "$INSTDIR\x86" & rd "$INSTDIR"'
  ${EndIf}

  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/REMOVESETTINGS" $R1
  ${If} ${Errors}
  ${AndIf} ${Silent}
    StrCpy $R1 IDNO
  ${ElseIf} ${Errors}
    MessageBox MB_YESNO|MB_DEFBUTTON2 "Remove Mirelunde's settings as well?" IDYES +2
    StrCpy $R1 IDNO
  ${EndIf}
  ${If} $R1 != IDNO
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "Software\Pellamor"
  ${EndIf}
  ; Last, so that a caller of the quiet uninstall (which returns at once) sees it is done.
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
