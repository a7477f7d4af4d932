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
; Nothing it does waits on a box then. Its exit code: 0 done, 1 cancelled, 2 a running Mirelunde did
; not stop in time and nothing was changed, 3 done but the login entry could not be switched; what
; went wrong is a line in the log file, which the launchers it asks write to as well.
;
; Its pages, boxes and log lines speak the user's language, as Windows chooses it, English otherwise:
; each text below has a line for every language. This file is UTF-8.

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
!define LOCK_ACCESS 0x00100001 ; SYNCHRONIZE | MUTEX_MODIFY_STATE
!define STOP_WAIT_S 15
!define FILE_APPEND_DATA 4
!define FILE_SHARE_READ_WRITE 3
!define OPEN_ALWAYS 4
!define INVALID_HANDLE_VALUE -1
!define CP_UTF8 65001
!define LOG_FILE "$TEMP\Mirelunde-setup.log"
; What an uninstall leaves for the next login: a script in a folder the login entry can name by a
; variable, so the entry stays short however long the user's name and the install folder are.
!define CLEANUP_SCRIPT "Mirelunde-cleanup.cmd"
!define EXIT_NOT_STOPPED 2
!define EXIT_LOGIN_NOT_SWITCHED 3

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
!define MUI_FINISHPAGE_RUN_TEXT "$(StartNow)"
!define MUI_FINISHPAGE_RUN_FUNCTION StartUnlessRunning
!define MUI_FINISHPAGE_SHOWREADME
!define MUI_FINISHPAGE_SHOWREADME_TEXT "$(RunAtLogin)"
!define MUI_FINISHPAGE_SHOWREADME_FUNCTION LoginOn
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishShow
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE FinishLeave
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; English first: the language of a user whose language is none of these.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "French"
!insertmacro MUI_LANGUAGE "Spanish"
!insertmacro MUI_LANGUAGE "Italian"
!insertmacro MUI_LANGUAGE "PortugueseBR"
!insertmacro MUI_LANGUAGE "Polish"
!insertmacro MUI_LANGUAGE "Russian"
!insertmacro MUI_LANGUAGE "Japanese"
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "Korean"

LangString StartNow ${LANG_ENGLISH} "Start Mirelunde now"
LangString StartNow ${LANG_GERMAN} "Mirelunde jetzt starten"
LangString StartNow ${LANG_FRENCH} "Démarrer Mirelunde maintenant"
LangString StartNow ${LANG_SPANISH} "Iniciar Mirelunde ahora"
LangString StartNow ${LANG_ITALIAN} "Avvia Mirelunde ora"
LangString StartNow ${LANG_PORTUGUESEBR} "Iniciar o Mirelunde agora"
LangString StartNow ${LANG_POLISH} "Uruchom teraz program Mirelunde"
LangString StartNow ${LANG_RUSSIAN} "Запустить Mirelunde сейчас"
LangString StartNow ${LANG_JAPANESE} "Mirelunde を今すぐ起動する"
LangString StartNow ${LANG_SIMPCHINESE} "立即启动 Mirelunde"
LangString StartNow ${LANG_KOREAN} "지금 Mirelunde 시작"

LangString RunAtLogin ${LANG_ENGLISH} "Run Mirelunde at login"
LangString RunAtLogin ${LANG_GERMAN} "Mirelunde bei Anmeldung starten"
LangString RunAtLogin ${LANG_FRENCH} "Lancer Mirelunde à l'ouverture de session"
LangString RunAtLogin ${LANG_SPANISH} "Iniciar Mirelunde al iniciar sesión"
LangString RunAtLogin ${LANG_ITALIAN} "Avvia Mirelunde all'accesso"
LangString RunAtLogin ${LANG_PORTUGUESEBR} "Iniciar o Mirelunde ao fazer logon"
LangString RunAtLogin ${LANG_POLISH} "Uruchamiaj Mirelunde przy logowaniu"
LangString RunAtLogin ${LANG_RUSSIAN} "Запускать Mirelunde при входе"
LangString RunAtLogin ${LANG_JAPANESE} "ログオン時に Mirelunde を起動する"
LangString RunAtLogin ${LANG_SIMPCHINESE} "登录时运行 Mirelunde"
LangString RunAtLogin ${LANG_KOREAN} "로그온할 때 Mirelunde 실행"

LangString ShortcutComment ${LANG_ENGLISH} "Window shading and window commands"
LangString ShortcutComment ${LANG_GERMAN} "Fenster aufrollen und Fensterbefehle"
LangString ShortcutComment ${LANG_FRENCH} "Enroulement des fenêtres et commandes de fenêtre"
LangString ShortcutComment ${LANG_SPANISH} "Enrollado de ventanas y comandos de ventana"
LangString ShortcutComment ${LANG_ITALIAN} "Arrotolamento delle finestre e comandi per le finestre"
LangString ShortcutComment ${LANG_PORTUGUESEBR} "Enrolar janelas e comandos de janela"
LangString ShortcutComment ${LANG_POLISH} "Zwijanie okien i polecenia okien"
LangString ShortcutComment ${LANG_RUSSIAN} "Сворачивание окон в заголовок и команды окон"
LangString ShortcutComment ${LANG_JAPANESE} "ウィンドウの巻き上げとウィンドウ コマンド"
LangString ShortcutComment ${LANG_SIMPCHINESE} "窗口卷起和窗口命令"
LangString ShortcutComment ${LANG_KOREAN} "창 말아 올리기와 창 명령"

LangString NotStoppedBox ${LANG_ENGLISH} "Mirelunde was asked to stop but still runs after ${STOP_WAIT_S} seconds.$\r$\n$\r$\nNothing was changed. Stop Mirelunde, then try again."
LangString NotStoppedBox ${LANG_GERMAN} "Mirelunde wurde zum Beenden aufgefordert, läuft aber nach ${STOP_WAIT_S} Sekunden noch.$\r$\n$\r$\nEs wurde nichts geändert. Beenden Sie Mirelunde, und versuchen Sie es dann erneut."
LangString NotStoppedBox ${LANG_FRENCH} "Mirelunde a été invité à s'arrêter, mais il est toujours en cours d'exécution après ${STOP_WAIT_S} secondes.$\r$\n$\r$\nAucune modification n'a été effectuée. Arrêtez Mirelunde, puis réessayez."
LangString NotStoppedBox ${LANG_SPANISH} "Se pidió a Mirelunde que se detuviera, pero sigue en ejecución después de ${STOP_WAIT_S} segundos.$\r$\n$\r$\nNo se cambió nada. Detenga Mirelunde e inténtelo de nuevo."
LangString NotStoppedBox ${LANG_ITALIAN} "È stato chiesto a Mirelunde di arrestarsi, ma dopo ${STOP_WAIT_S} secondi è ancora in esecuzione.$\r$\n$\r$\nNon è stato modificato nulla. Arrestare Mirelunde e riprovare."
LangString NotStoppedBox ${LANG_PORTUGUESEBR} "Foi solicitado que o Mirelunde parasse, mas ele ainda está em execução após ${STOP_WAIT_S} segundos.$\r$\n$\r$\nNada foi alterado. Pare o Mirelunde e tente novamente."
LangString NotStoppedBox ${LANG_POLISH} "Program Mirelunde został poproszony o zatrzymanie, ale po ${STOP_WAIT_S} sekundach nadal działa.$\r$\n$\r$\nNic nie zostało zmienione. Zatrzymaj program Mirelunde, a następnie spróbuj ponownie."
LangString NotStoppedBox ${LANG_RUSSIAN} "Mirelunde получил запрос на остановку, но через ${STOP_WAIT_S} секунд всё ещё работает.$\r$\n$\r$\nНичего не изменено. Остановите Mirelunde и повторите попытку."
LangString NotStoppedBox ${LANG_JAPANESE} "Mirelunde に停止を要求しましたが、${STOP_WAIT_S} 秒たっても実行中です。$\r$\n$\r$\n何も変更されていません。Mirelunde を停止してから、もう一度やり直してください。"
LangString NotStoppedBox ${LANG_SIMPCHINESE} "已请求 Mirelunde 停止，但 ${STOP_WAIT_S} 秒后它仍在运行。$\r$\n$\r$\n未做任何更改。请停止 Mirelunde，然后重试。"
LangString NotStoppedBox ${LANG_KOREAN} "Mirelunde에 중지를 요청했지만 ${STOP_WAIT_S}초가 지나도 계속 실행 중입니다.$\r$\n$\r$\n아무것도 변경되지 않았습니다. Mirelunde를 중지한 다음 다시 시도하십시오."

LangString NotStoppedLog ${LANG_ENGLISH} "Mirelunde was asked to stop but still runs after ${STOP_WAIT_S} s; nothing was changed. Stop it, then try again."
LangString NotStoppedLog ${LANG_GERMAN} "Mirelunde wurde zum Beenden aufgefordert, läuft aber nach ${STOP_WAIT_S} s noch; es wurde nichts geändert. Beenden Sie Mirelunde, und versuchen Sie es erneut."
LangString NotStoppedLog ${LANG_FRENCH} "Mirelunde a été invité à s'arrêter mais fonctionne toujours après ${STOP_WAIT_S} s ; aucune modification n'a été effectuée. Arrêtez-le, puis réessayez."
LangString NotStoppedLog ${LANG_SPANISH} "Se pidió a Mirelunde que se detuviera, pero sigue en ejecución tras ${STOP_WAIT_S} s; no se cambió nada. Deténgalo e inténtelo de nuevo."
LangString NotStoppedLog ${LANG_ITALIAN} "È stato chiesto a Mirelunde di arrestarsi, ma dopo ${STOP_WAIT_S} s è ancora in esecuzione; non è stato modificato nulla. Arrestarlo e riprovare."
LangString NotStoppedLog ${LANG_PORTUGUESEBR} "Foi solicitado que o Mirelunde parasse, mas ele ainda está em execução após ${STOP_WAIT_S} s; nada foi alterado. Pare-o e tente novamente."
LangString NotStoppedLog ${LANG_POLISH} "Program Mirelunde został poproszony o zatrzymanie, ale po ${STOP_WAIT_S} s nadal działa; nic nie zostało zmienione. Zatrzymaj go i spróbuj ponownie."
LangString NotStoppedLog ${LANG_RUSSIAN} "Mirelunde получил запрос на остановку, но через ${STOP_WAIT_S} с всё ещё работает; ничего не изменено. Остановите его и повторите попытку."
LangString NotStoppedLog ${LANG_JAPANESE} "Mirelunde に停止を要求しましたが、${STOP_WAIT_S} 秒たっても実行中です。何も変更されていません。停止してから、もう一度やり直してください。"
LangString NotStoppedLog ${LANG_SIMPCHINESE} "已请求 Mirelunde 停止，但 ${STOP_WAIT_S} 秒后它仍在运行；未做任何更改。请停止它，然后重试。"
LangString NotStoppedLog ${LANG_KOREAN} "Mirelunde에 중지를 요청했지만 ${STOP_WAIT_S}초가 지나도 계속 실행 중입니다. 아무것도 변경되지 않았습니다. 중지한 다음 다시 시도하십시오."

LangString LoginFailedLog ${LANG_ENGLISH} "$\"$Launcher$\" --login $R0 failed (exit code $R1)"
LangString LoginFailedLog ${LANG_GERMAN} "$\"$Launcher$\" --login $R0 ist fehlgeschlagen (Exitcode $R1)"
LangString LoginFailedLog ${LANG_FRENCH} "$\"$Launcher$\" --login $R0 a échoué (code de sortie $R1)"
LangString LoginFailedLog ${LANG_SPANISH} "$\"$Launcher$\" --login $R0 falló (código de salida $R1)"
LangString LoginFailedLog ${LANG_ITALIAN} "$\"$Launcher$\" --login $R0 non riuscito (codice di uscita $R1)"
LangString LoginFailedLog ${LANG_PORTUGUESEBR} "$\"$Launcher$\" --login $R0 falhou (código de saída $R1)"
LangString LoginFailedLog ${LANG_POLISH} "$\"$Launcher$\" --login $R0 nie powiodło się (kod zakończenia $R1)"
LangString LoginFailedLog ${LANG_RUSSIAN} "$\"$Launcher$\" --login $R0: ошибка (код выхода $R1)"
LangString LoginFailedLog ${LANG_JAPANESE} "$\"$Launcher$\" --login $R0 が失敗しました (終了コード $R1)"
LangString LoginFailedLog ${LANG_SIMPCHINESE} "$\"$Launcher$\" --login $R0 失败 (退出代码 $R1)"
LangString LoginFailedLog ${LANG_KOREAN} "$\"$Launcher$\" --login $R0 실패 (종료 코드 $R1)"

LangString CleanupNotWrittenLog ${LANG_ENGLISH} "cannot write $\"$LOCALAPPDATA\${CLEANUP_SCRIPT}$\"; $\"$INSTDIR$\" is left"
LangString CleanupNotWrittenLog ${LANG_GERMAN} "$\"$LOCALAPPDATA\${CLEANUP_SCRIPT}$\" kann nicht geschrieben werden; $\"$INSTDIR$\" bleibt bestehen"
LangString CleanupNotWrittenLog ${LANG_FRENCH} "impossible d'écrire $\"$LOCALAPPDATA\${CLEANUP_SCRIPT}$\" ; $\"$INSTDIR$\" est conservé"
LangString CleanupNotWrittenLog ${LANG_SPANISH} "no se puede escribir $\"$LOCALAPPDATA\${CLEANUP_SCRIPT}$\"; $\"$INSTDIR$\" se conserva"
LangString CleanupNotWrittenLog ${LANG_ITALIAN} "impossibile scrivere $\"$LOCALAPPDATA\${CLEANUP_SCRIPT}$\"; $\"$INSTDIR$\" rimane"
LangString CleanupNotWrittenLog ${LANG_PORTUGUESEBR} "não é possível gravar $\"$LOCALAPPDATA\${CLEANUP_SCRIPT}$\"; $\"$INSTDIR$\" permanece"
LangString CleanupNotWrittenLog ${LANG_POLISH} "nie można zapisać $\"$LOCALAPPDATA\${CLEANUP_SCRIPT}$\"; $\"$INSTDIR$\" pozostaje"
LangString CleanupNotWrittenLog ${LANG_RUSSIAN} "не удаётся записать $\"$LOCALAPPDATA\${CLEANUP_SCRIPT}$\"; $\"$INSTDIR$\" остаётся"
LangString CleanupNotWrittenLog ${LANG_JAPANESE} "$\"$LOCALAPPDATA\${CLEANUP_SCRIPT}$\" を書き込めません。$\"$INSTDIR$\" は残ります"
LangString CleanupNotWrittenLog ${LANG_SIMPCHINESE} "无法写入 $\"$LOCALAPPDATA\${CLEANUP_SCRIPT}$\"；$\"$INSTDIR$\" 将保留"
LangString CleanupNotWrittenLog ${LANG_KOREAN} "$\"$LOCALAPPDATA\${CLEANUP_SCRIPT}$\"을(를) 쓸 수 없습니다. $\"$INSTDIR$\"은(는) 남습니다"

LangString RemoveSettings ${LANG_ENGLISH} "Remove Mirelunde's settings as well?"
LangString RemoveSettings ${LANG_GERMAN} "Auch die Einstellungen von Mirelunde entfernen?"
LangString RemoveSettings ${LANG_FRENCH} "Supprimer aussi les paramètres de Mirelunde ?"
LangString RemoveSettings ${LANG_SPANISH} "¿Quitar también la configuración de Mirelunde?"
LangString RemoveSettings ${LANG_ITALIAN} "Rimuovere anche le impostazioni di Mirelunde?"
LangString RemoveSettings ${LANG_PORTUGUESEBR} "Remover também as configurações do Mirelunde?"
LangString RemoveSettings ${LANG_POLISH} "Usunąć również ustawienia programu Mirelunde?"
LangString RemoveSettings ${LANG_RUSSIAN} "Удалить также параметры Mirelunde?"
LangString RemoveSettings ${LANG_JAPANESE} "Mirelunde の設定も削除しますか?"
LangString RemoveSettings ${LANG_SIMPCHINESE} "是否同时删除 Mirelunde 的设置？"
LangString RemoveSettings ${LANG_KOREAN} "Mirelunde 설정도 제거하시겠습니까?"

Var Launcher    ; the launcher this system runs: the 64-bit one, or on 32-bit Windows the one in x86
Var WasRunning  ; 1 when a launcher was running as the installer began

; Waits until the launcher whose lock is in the register has ended, up to the deadline in $R3 (a
; tick count), and closes the handle; clears $R0 when it has not ended by then. A launcher never
; releases its lock, so the lock is abandoned as it exits; taken here, it is let go at once, or no
; launcher could start while this thread lives.
!macro AWAIT_LAUNCHER lock
  ${If} ${lock} P<> 0
    System::Call 'kernel32::GetTickCount() i.R4'
    IntOp $R4 $R3 - $R4
    ${If} $R4 < 0
      StrCpy $R4 0
    ${EndIf}
    System::Call 'kernel32::WaitForSingleObject(p ${lock}, i R4) i.R4'
    ${If} $R4 = 0
    ${OrIf} $R4 = 0x80
      System::Call 'kernel32::ReleaseMutex(p ${lock})'
    ${Else}
      StrCpy $R0 0
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p ${lock})'
  ${EndIf}
!macroend

; Ends the installer or uninstaller, having changed nothing, when a launcher is still running.
!macro STOP_LAUNCHER_OR_END un what
  Call ${un}StopLauncher
  Pop $0
  ${If} $0 = 0
    Push "${what}: $(NotStoppedLog)"
    Call ${un}Log
    MessageBox MB_OK|MB_ICONSTOP "$(NotStoppedBox)" /SD IDOK
    SetErrorLevel ${EXIT_NOT_STOPPED}
    Abort
  ${EndIf}
!macroend

; Functions that both the installer and the uninstaller use ("un." names the uninstaller's copy).
!macro SHARED_FUNCTIONS un

Function ${un}ChooseLauncher
  ${If} ${RunningX64}
    StrCpy $Launcher "$INSTDIR\mirelunde.exe"
  ${Else}
    StrCpy $Launcher "$INSTDIR\x86\mirelunde.exe"
  ${EndIf}
FunctionEnd

; Appends the line on the stack to the log file, in UTF-8 as the launchers write theirs: FileWrite
; would write the ANSI code page, which holds neither every language's text nor every folder's name.
Function ${un}Log
  Exch $R0
  Push $R1
  Push $R2
  Push $R3
  System::Call 'kernel32::CreateFileW(w "${LOG_FILE}", i ${FILE_APPEND_DATA}, i ${FILE_SHARE_READ_WRITE}, p 0, i ${OPEN_ALWAYS}, i 0, p 0) p.R1'
  ${If} $R1 P<> ${INVALID_HANDLE_VALUE}
    StrCpy $R0 "$R0$\r$\n"
    System::Call 'kernel32::WideCharToMultiByte(i ${CP_UTF8}, i 0, w R0, i -1, p 0, i 0, p 0, p 0) i.R2'
    System::Alloc $R2
    Pop $R3
    System::Call 'kernel32::WideCharToMultiByte(i ${CP_UTF8}, i 0, w R0, i -1, p R3, i R2, p 0, p 0)'
    IntOp $R2 $R2 - 1 ; without the terminator
    System::Call 'kernel32::WriteFile(p R1, p R3, i R2, *i 0, p 0)'
    System::Free $R3
    System::Call 'kernel32::CloseHandle(p R1)'
  ${EndIf}
  Pop $R3
  Pop $R2
  Pop $R1
  Pop $R0
FunctionEnd

; Stops the running launchers, of both architectures, as "mirelunde.exe -k" does: "HHook" set to 0,
; which they watch for, and a wait until they have ended, each having put its windows back. Done in
; here, so that no program has to run from the temporary folder. Sets $WasRunning; pushes 1 when
; none runs any more, 0 when one still does after the wait.
Function ${un}StopLauncher
  Push $R0
  Push $R1
  Push $R2
  Push $R3
  Push $R4
  StrCpy $R0 1
  System::Call 'kernel32::OpenMutexW(i ${LOCK_ACCESS}, i 0, w "Local\Mirelunde.Launcher") p.R1'
  System::Call 'kernel32::OpenMutexW(i ${LOCK_ACCESS}, i 0, w "Local\Mirelunde.Launcher.32") p.R2'
  StrCpy $WasRunning 0
  ${If} $R1 P<> 0
  ${OrIf} $R2 P<> 0
    StrCpy $WasRunning 1
    WriteRegDWORD HKCU "${SETTINGS_KEY}" "HHook" 0
    System::Call 'kernel32::GetTickCount() i.R3'
    IntOp $R3 $R3 + ${STOP_WAIT_S}000
    !insertmacro AWAIT_LAUNCHER $R1
    !insertmacro AWAIT_LAUNCHER $R2
  ${EndIf}
  Pop $R4
  Pop $R3
  Pop $R2
  Pop $R1
  Exch $R0
FunctionEnd

; Switches the login entry through the launcher, which names its own full path; its failures go to
; the log, and the exit code says the entry is not as asked.
Function ${un}SwitchLogin
  Exch $R0
  Push $R1
  ClearErrors
  ExecWait '"$Launcher" --log "${LOG_FILE}" --login $R0' $R1
  ${If} ${Errors}
  ${OrIf} $R1 <> 0
    Push "setup: $(LoginFailedLog)"
    Call ${un}Log
    SetErrorLevel ${EXIT_LOGIN_NOT_SWITCHED}
  ${EndIf}
  Pop $R1
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

; Pushes 1 when a launcher of either architecture holds its instance lock, otherwise 0.
Function IsLauncherRunning
  Push $R0
  StrCpy $R0 0
  System::Call 'kernel32::OpenMutexW(i ${LOCK_ACCESS}, i 0, w "Local\Mirelunde.Launcher") p.R1'
  System::Call 'kernel32::OpenMutexW(i ${LOCK_ACCESS}, i 0, w "Local\Mirelunde.Launcher.32") p.R2'
  ${If} $R1 P<> 0
  ${OrIf} $R2 P<> 0
    StrCpy $R0 1
  ${EndIf}
  System::Call 'kernel32::CloseHandle(p R1)'
  System::Call 'kernel32::CloseHandle(p R2)'
  Exch $R0
FunctionEnd

Function StartUnlessRunning
  Call IsLauncherRunning
  Pop $0
  ${If} $0 = 0
    SetOutPath $INSTDIR
    Exec '"$Launcher"'
  ${EndIf}
FunctionEnd

; An entry there already is kept as it is, with the options the user gave it.
Function LoginOn
  ReadRegStr $0 HKCU "${RUN_KEY}" "Mirelunde"
  ${If} $0 == ""
    Push on
    Call SwitchLogin
  ${EndIf}
FunctionEnd

Function LoginOff
  Push off
  Call SwitchLogin
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
  !insertmacro STOP_LAUNCHER_OR_END "" "setup"
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

  CreateShortcut "${SHORTCUT}" "$Launcher" "" "$Launcher" 0 SW_SHOWNORMAL "" "$(ShortcutComment)"

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

; The script that the next login runs: it removes what is left and then itself. It is read in the
; code page it is written in, so a folder named in the system's own letters is found.
Function un.LeaveCleanupForNextLogin
  System::Call 'kernel32::GetACP() i.R2'
  ClearErrors
  FileOpen $R1 "$LOCALAPPDATA\${CLEANUP_SCRIPT}" w
  ${If} ${Errors}
    Push "uninstall: $(CleanupNotWrittenLog)"
    Call un.Log
    Return
  ${EndIf}
  FileWrite $R1 "@chcp $R2 >nul 2>&1$\r$\n"
  FileWrite $R1 '@del /f /q "$INSTDIR\*.moved" "$INSTDIR\x86\*.moved" 2>nul$\r$\n'
  FileWrite $R1 '@rd "$INSTDIR\x86" 2>nul$\r$\n'
  FileWrite $R1 '@rd "$INSTDIR" 2>nul$\r$\n'
  FileWrite $R1 '@del "%~f0" & exit /b 0$\r$\n'
  FileClose $R1
  WriteRegStr HKCU "${RUNONCE_KEY}" "Mirelunde" '"$SYSDIR\cmd.exe" /c "%LOCALAPPDATA%\${CLEANUP_SCRIPT}"'
FunctionEnd

Section "Uninstall"
  Call un.ChooseLauncher
  !insertmacro STOP_LAUNCHER_OR_END "un." "uninstall"
  ${If} ${FileExists} $Launcher
    Push off
    Call un.SwitchLogin
  ${EndIf}
  Delete "${SHORTCUT}"

  Call un.DeleteFreeMovedCopies
  !insertmacro UN_MOVE_ASIDE "mirelunde.exe"
  !insertmacro UN_MOVE_ASIDE "Mirelunde.dll"
  !insertmacro UN_MOVE_ASIDE "x86\mirelunde.exe"
  !insertmacro UN_MOVE_ASIDE "x86\Mirelunde.dll"
  Delete "$INSTDIR\GUIDE.txt"
  Delete "$INSTDIR\LICENSE"
  ; Run in place ("_?=<folder>"), the uninstaller can only be moved aside.
  !insertmacro UN_MOVE_ASIDE "${UNINSTALLER}"
  RMDir "$INSTDIR\x86"
  RMDir "$INSTDIR"
  ; Copies still mapped by running programs go at the next login, when nothing holds them.
  ${If} ${FileExists} "$INSTDIR\*.*"
    Call un.LeaveCleanupForNextLogin
  ${EndIf}

  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/REMOVESETTINGS" $R1
  ${If} ${Errors}
  ${AndIf} ${Silent}
    StrCpy $R1 IDNO
  ${ElseIf} ${Errors}
    MessageBox MB_YESNO|MB_DEFBUTTON2 "$(RemoveSettings)" IDYES +2
    StrCpy $R1 IDNO
  ${EndIf}
  ${If} $R1 != IDNO
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "Software\Pellamor"
  ${EndIf}
  ; Last, so that a caller of the quiet uninstall (which returns at once) sees it is done.
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
