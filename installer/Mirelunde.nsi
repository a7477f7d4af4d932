; Mirelunde's installer: the release ZIP's files in the user's own programs folder, a Start menu
; entry and the user's uninstall registration, all without administrator rights; or, for all users,
; in Program Files with the common Start menu and the machine's registration.
; scripts/installer builds it with makensis and these defines: VERSION (four numbers), OUTFILE,
; LAUNCHER64, LIBRARY64, LAUNCHER86, LIBRARY86, GUIDE, LICENCE and ICON (paths of the built files).
;
; An upgrade never writes over a file that a running program has mapped: the hook library stays
; mapped in programs after the launcher stops (Windows unloads it lazily, Wine never), and such a
; file can be renamed but not written or deleted. It is moved aside as "<name>.<n>.moved" and the
; launcher deletes those as it starts, once no program holds them.
;
; Silent use:  setup.exe /S [/ALLUSERS] [/LOGIN | /NOLOGIN] [/NOSTART] [/D=<folder>]
;              uninstall.exe /S [/REMOVESETTINGS]
;
; It asks for no rights of its own (RequestExecutionLevel user), so the per-user install, the
; default, never shows an elevation prompt and never runs elevated. An install for all users, and
; the uninstall of one, run this program again with "runas" and the same switches, and wait for it.
; The settings and the login entry stay the user's own (HKCU) either way.
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
!include nsDialogs.nsh

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
!define EXIT_CANCELLED 1
!define ALL_USERS_SWITCH "/ALLUSERS"
!define SEE_MASK_NOCLOSEPROCESS 0x40
!define PROCESS_QUERY_LIMITED_INFORMATION 0x1000
!define TOKEN_DUPLICATE 2
; TOKEN_ASSIGN_PRIMARY | TOKEN_DUPLICATE | TOKEN_QUERY | TOKEN_ADJUST_DEFAULT | TOKEN_ADJUST_SESSIONID
!define PRIMARY_TOKEN_ACCESS 0x18B
!define SECURITY_IMPERSONATION 2
!define TOKEN_PRIMARY 1
!define STARTUPINFO_SIZE 68 ; the 32-bit STARTUPINFOW this installer passes
!define WC_NO_BEST_FIT_CHARS 0x400

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

Page custom ScopePageShow ScopePageLeave
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

LangString ScopeTitle ${LANG_ENGLISH} "Choose who uses Mirelunde"
LangString ScopeTitle ${LANG_GERMAN} "Benutzer auswählen"
LangString ScopeTitle ${LANG_FRENCH} "Choisir qui utilise Mirelunde"
LangString ScopeTitle ${LANG_SPANISH} "Elegir quién usa Mirelunde"
LangString ScopeTitle ${LANG_ITALIAN} "Scegliere chi usa Mirelunde"
LangString ScopeTitle ${LANG_PORTUGUESEBR} "Escolher quem usa o Mirelunde"
LangString ScopeTitle ${LANG_POLISH} "Wybierz, kto używa programu Mirelunde"
LangString ScopeTitle ${LANG_RUSSIAN} "Выбор пользователей Mirelunde"
LangString ScopeTitle ${LANG_JAPANESE} "Mirelunde を使うユーザーの選択"
LangString ScopeTitle ${LANG_SIMPCHINESE} "选择 Mirelunde 的使用者"
LangString ScopeTitle ${LANG_KOREAN} "Mirelunde를 사용할 사용자 선택"

LangString ScopeSubtitle ${LANG_ENGLISH} "Install Mirelunde for you alone or for every user of this computer."
LangString ScopeSubtitle ${LANG_GERMAN} "Mirelunde nur für Sie oder für alle Benutzer dieses Computers installieren."
LangString ScopeSubtitle ${LANG_FRENCH} "Installer Mirelunde pour vous seul ou pour tous les utilisateurs de cet ordinateur."
LangString ScopeSubtitle ${LANG_SPANISH} "Instalar Mirelunde solo para usted o para todos los usuarios de este equipo."
LangString ScopeSubtitle ${LANG_ITALIAN} "Installare Mirelunde solo per l'utente corrente o per tutti gli utenti del computer."
LangString ScopeSubtitle ${LANG_PORTUGUESEBR} "Instalar o Mirelunde só para você ou para todos os usuários deste computador."
LangString ScopeSubtitle ${LANG_POLISH} "Zainstaluj program Mirelunde tylko dla siebie lub dla wszystkich użytkowników tego komputera."
LangString ScopeSubtitle ${LANG_RUSSIAN} "Установить Mirelunde только для вас или для всех пользователей этого компьютера."
LangString ScopeSubtitle ${LANG_JAPANESE} "Mirelunde を自分だけにインストールするか、このコンピューターのすべてのユーザーにインストールします。"
LangString ScopeSubtitle ${LANG_SIMPCHINESE} "仅为您安装 Mirelunde，或为此计算机的所有用户安装。"
LangString ScopeSubtitle ${LANG_KOREAN} "Mirelunde를 현재 사용자만 또는 이 컴퓨터의 모든 사용자를 위해 설치합니다."

LangString ForMe ${LANG_ENGLISH} "Install just for &me (no administrator rights needed)"
LangString ForMe ${LANG_GERMAN} "Nur für &mich installieren (keine Administratorrechte erforderlich)"
LangString ForMe ${LANG_FRENCH} "Installer pour &moi uniquement (sans droits d'administrateur)"
LangString ForMe ${LANG_SPANISH} "Instalar solo para &mí (no se necesitan derechos de administrador)"
LangString ForMe ${LANG_ITALIAN} "Installa solo per &me (non servono diritti di amministratore)"
LangString ForMe ${LANG_PORTUGUESEBR} "Instalar só para &mim (não requer direitos de administrador)"
LangString ForMe ${LANG_POLISH} "Zainstaluj tylko dla &mnie (bez uprawnień administratora)"
LangString ForMe ${LANG_RUSSIAN} "Установить только для &меня (права администратора не нужны)"
LangString ForMe ${LANG_JAPANESE} "自分だけにインストールする(&M) (管理者権限は不要)"
LangString ForMe ${LANG_SIMPCHINESE} "仅为我安装(&M)（无需管理员权限）"
LangString ForMe ${LANG_KOREAN} "현재 사용자만 설치(&M) (관리자 권한 필요 없음)"

LangString ForAll ${LANG_ENGLISH} "Install for &all users (into Program Files; asks for administrator rights)"
LangString ForAll ${LANG_GERMAN} "Für &alle Benutzer installieren (in „Programme“; fragt nach Administratorrechten)"
LangString ForAll ${LANG_FRENCH} "Installer pour &tous les utilisateurs (dans Program Files ; demande les droits d'administrateur)"
LangString ForAll ${LANG_SPANISH} "Instalar para &todos los usuarios (en Archivos de programa; pide derechos de administrador)"
LangString ForAll ${LANG_ITALIAN} "Installa per &tutti gli utenti (in Programmi; chiede i diritti di amministratore)"
LangString ForAll ${LANG_PORTUGUESEBR} "Instalar para &todos os usuários (em Arquivos de Programas; pede direitos de administrador)"
LangString ForAll ${LANG_POLISH} "Zainstaluj dla &wszystkich użytkowników (w folderze Program Files; wymaga uprawnień administratora)"
LangString ForAll ${LANG_RUSSIAN} "Установить для &всех пользователей (в Program Files; запросит права администратора)"
LangString ForAll ${LANG_JAPANESE} "すべてのユーザーにインストールする(&A) (Program Files に。管理者権限を要求します)"
LangString ForAll ${LANG_SIMPCHINESE} "为所有用户安装(&A)（安装到 Program Files；需要管理员权限）"
LangString ForAll ${LANG_KOREAN} "모든 사용자용으로 설치(&A) (Program Files에 설치, 관리자 권한 요청)"

LangString ScopeNote ${LANG_ENGLISH} "Only an install for all users can also serve programs run as administrator: its folder is one that only administrators can change."
LangString ScopeNote ${LANG_GERMAN} "Nur eine Installation für alle Benutzer kann auch als Administrator ausgeführte Programme bedienen: Ihren Ordner können nur Administratoren ändern."
LangString ScopeNote ${LANG_FRENCH} "Seule une installation pour tous les utilisateurs peut aussi servir les programmes exécutés en tant qu'administrateur : seuls les administrateurs peuvent modifier son dossier."
LangString ScopeNote ${LANG_SPANISH} "Solo una instalación para todos los usuarios puede servir también a los programas ejecutados como administrador: solo los administradores pueden cambiar su carpeta."
LangString ScopeNote ${LANG_ITALIAN} "Solo un'installazione per tutti gli utenti può servire anche i programmi eseguiti come amministratore: solo gli amministratori possono modificarne la cartella."
LangString ScopeNote ${LANG_PORTUGUESEBR} "Só uma instalação para todos os usuários pode atender também programas executados como administrador: só administradores podem alterar a pasta dela."
LangString ScopeNote ${LANG_POLISH} "Tylko instalacja dla wszystkich użytkowników może obsługiwać także programy uruchomione jako administrator: jej folder mogą zmieniać tylko administratorzy."
LangString ScopeNote ${LANG_RUSSIAN} "Только установка для всех пользователей может обслуживать и программы, запущенные от имени администратора: её папку могут изменять только администраторы."
LangString ScopeNote ${LANG_JAPANESE} "管理者として実行されるプログラムにも対応できるのは、すべてのユーザー向けのインストールだけです。そのフォルダーは管理者しか変更できません。"
LangString ScopeNote ${LANG_SIMPCHINESE} "只有为所有用户安装才能同时服务以管理员身份运行的程序：只有管理员才能更改其文件夹。"
LangString ScopeNote ${LANG_KOREAN} "모든 사용자용 설치만 관리자 권한으로 실행되는 프로그램에서도 작동합니다. 그 폴더는 관리자만 변경할 수 있습니다."

LangString ElevationRefusedLog ${LANG_ENGLISH} "administrator rights, needed for an install for all users, were not granted; nothing was changed"
LangString ElevationRefusedLog ${LANG_GERMAN} "Administratorrechte, nötig für eine Installation für alle Benutzer, wurden nicht erteilt; es wurde nichts geändert"
LangString ElevationRefusedLog ${LANG_FRENCH} "les droits d'administrateur, nécessaires pour une installation pour tous les utilisateurs, n'ont pas été accordés ; aucune modification n'a été effectuée"
LangString ElevationRefusedLog ${LANG_SPANISH} "no se concedieron los derechos de administrador necesarios para instalar para todos los usuarios; no se cambió nada"
LangString ElevationRefusedLog ${LANG_ITALIAN} "i diritti di amministratore, necessari per un'installazione per tutti gli utenti, non sono stati concessi; non è stato modificato nulla"
LangString ElevationRefusedLog ${LANG_PORTUGUESEBR} "os direitos de administrador, necessários para uma instalação para todos os usuários, não foram concedidos; nada foi alterado"
LangString ElevationRefusedLog ${LANG_POLISH} "nie przyznano uprawnień administratora potrzebnych do instalacji dla wszystkich użytkowników; nic nie zostało zmienione"
LangString ElevationRefusedLog ${LANG_RUSSIAN} "права администратора, нужные для установки для всех пользователей, не предоставлены; ничего не изменено"
LangString ElevationRefusedLog ${LANG_JAPANESE} "すべてのユーザー向けのインストールに必要な管理者権限が与えられませんでした。何も変更されていません"
LangString ElevationRefusedLog ${LANG_SIMPCHINESE} "未授予为所有用户安装所需的管理员权限；未做任何更改"
LangString ElevationRefusedLog ${LANG_KOREAN} "모든 사용자용 설치에 필요한 관리자 권한이 부여되지 않았습니다. 아무것도 변경되지 않았습니다"

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
Var AllUsers    ; 1 for an install for all users: Program Files, HKLM, the common Start menu
Var UserDir     ; the folder of an install for one user, as the installer found it
Var ForAllUsers ; the choice's radio button

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

; Runs this program again with administrator rights and the parameters on the stack, and waits for
; it. Pushes its exit code, or "" when it did not start (the user declined).
Function ${un}RunElevated
  Exch $R0
  Push $R1
  Push $R2
  Push $R3
  System::Call '*(&l4, i ${SEE_MASK_NOCLOSEPROCESS}, p $HWNDPARENT, w "runas", w "$EXEPATH", w R0, p 0, i ${SW_SHOWNORMAL}, p 0, p 0, p 0, p 0, i 0, p 0, p 0) p.R1'
  System::Call 'shell32::ShellExecuteExW(p R1) i.R2'
  StrCpy $R0 ""
  ${If} $R2 <> 0
    System::Call '*$R1(i, i, p, p, p, p, p, i, p, p, p, p, i, p, p .R3)'
    System::Call 'kernel32::WaitForSingleObject(p R3, i -1)'
    System::Call 'kernel32::GetExitCodeProcess(p R3, *i .R0)'
    System::Call 'kernel32::CloseHandle(p R3)'
  ${EndIf}
  System::Free $R1
  Pop $R3
  Pop $R2
  Pop $R1
  Exch $R0
FunctionEnd

; Ends this instance, with the exit code of an elevated one run with the parameters on the stack,
; unless it runs with administrator rights already. Declined on a page, the page stays.
Function ${un}ElevateOrGoOn
  Exch $R0
  Push $R1
  System::Call 'shell32::IsUserAnAdmin() i.R1'
  ${If} $R1 = 0
    HideWindow
    Push $R0
    Call ${un}RunElevated
    Pop $R1
    ${If} $R1 == ""
    ${AndIfNot} ${Silent}
    ${AndIf} $HWNDPARENT P<> 0
      ShowWindow $HWNDPARENT ${SW_SHOW}
      Pop $R1
      Pop $R0
      Abort
    ${ElseIf} $R1 == ""
!if "${un}" == ""
      Push "setup: $(ElevationRefusedLog)"
!else
      Push "uninstall: $(ElevationRefusedLog)"
!endif
      Call ${un}Log
      SetErrorLevel ${EXIT_CANCELLED}
    ${Else}
      SetErrorLevel $R1
    ${EndIf}
    Quit
  ${EndIf}
  Pop $R1
  Pop $R0
FunctionEnd

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
    ; No launcher without administrator rights can delete it from Program Files: the system will.
    ${If} $AllUsers = 1
      Delete /REBOOTOK "$R0.$R1.moved"
    ${EndIf}
  ${EndIf}
  Pop $R1
  Pop $R0
FunctionEnd

; Copies of earlier moves that nothing holds any more go now, the rest when the launcher next starts.
Function ${un}DeleteFreeMovedCopies
  ${If} $AllUsers = 1
    Delete /REBOOTOK "$INSTDIR\*.moved"
    Delete /REBOOTOK "$INSTDIR\x86\*.moved"
  ${Else}
    Delete "$INSTDIR\*.moved"
    Delete "$INSTDIR\x86\*.moved"
  ${EndIf}
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

; An installer for all users runs with administrator rights, which a launcher it started would keep,
; serving elevated programs without the user's "--elevated on": that launcher gets the rights of the
; desktop's shell instead, as if the user had started it. Without the shell's, it starts as before.
Function StartLauncher
  Push $R0
  Push $R1
  Push $R2
  Push $R3
  Push $R4
  Push $R5
  Push $R6
  StrCpy $R0 0
  ${If} $AllUsers = 1
    System::Call 'user32::GetShellWindow() p.R1'
    System::Call 'user32::GetWindowThreadProcessId(p R1, *i .R2)'
    System::Call 'kernel32::OpenProcess(i ${PROCESS_QUERY_LIMITED_INFORMATION}, i 0, i R2) p.R1'
    ${If} $R1 P<> 0
      System::Call 'advapi32::OpenProcessToken(p R1, i ${TOKEN_DUPLICATE}, *p .R2) i.R3'
      ${If} $R3 <> 0
        System::Call 'advapi32::DuplicateTokenEx(p R2, i ${PRIMARY_TOKEN_ACCESS}, p 0, i ${SECURITY_IMPERSONATION}, i ${TOKEN_PRIMARY}, *p .R3) i.R4'
        ${If} $R4 <> 0
          System::Alloc ${STARTUPINFO_SIZE}
          Pop $R4
          System::Call '*$R4(i ${STARTUPINFO_SIZE})'
          System::Call '*(p 0, p 0, i 0, i 0) p.R5'
          StrCpy $R6 '"$Launcher"'
          System::Call 'advapi32::CreateProcessWithTokenW(p R3, i 0, p 0, w R6, i 0, p 0, w "$INSTDIR", p R4, p R5) i.R0'
          ${If} $R0 <> 0
            System::Call '*$R5(p .R6)'
            System::Call 'kernel32::CloseHandle(p R6)'
            System::Call '*$R5(p, p .R6)'
            System::Call 'kernel32::CloseHandle(p R6)'
          ${EndIf}
          System::Free $R5
          System::Free $R4
          System::Call 'kernel32::CloseHandle(p R3)'
        ${EndIf}
        System::Call 'kernel32::CloseHandle(p R2)'
      ${EndIf}
      System::Call 'kernel32::CloseHandle(p R1)'
    ${EndIf}
  ${EndIf}
  ${If} $R0 = 0
    SetOutPath $INSTDIR
    Exec '"$Launcher"'
  ${EndIf}
  Pop $R6
  Pop $R5
  Pop $R4
  Pop $R3
  Pop $R2
  Pop $R1
  Pop $R0
FunctionEnd

Function StartUnlessRunning
  Call IsLauncherRunning
  Pop $0
  ${If} $0 = 0
    Call StartLauncher
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

; For all users: the folder of the install for all users there is, or Program Files (the 64-bit one
; on a 64-bit system), unless another folder was chosen; then, with administrator rights, the
; machine's Start menu and registration, in the 64-bit view of the registry the launcher reads.
Function UseAllUsers
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
  ${If} $INSTDIR == $UserDir
    ReadRegStr $INSTDIR HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $INSTDIR == ""
      StrCpy $INSTDIR "$PROGRAMFILES64\Mirelunde"
    ${EndIf}
  ${EndIf}
  ${GetParameters} $R0
  Push "$R0 ${ALL_USERS_SWITCH} /D=$INSTDIR"
  Call ElevateOrGoOn
  StrCpy $AllUsers 1
  SetShellVarContext all
FunctionEnd

Function UseOneUser
  ${If} $AllUsers = 1
    StrCpy $INSTDIR $UserDir
  ${EndIf}
  StrCpy $AllUsers 0
  SetShellVarContext current
  SetRegView default
FunctionEnd

; The choice, before the folder: for this user (the default) or for all users.
Function ScopePageShow
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "${ALL_USERS_SWITCH}" $R1
  ${IfNot} ${Errors}
    Abort
  ${EndIf}
  !insertmacro MUI_HEADER_TEXT "$(ScopeTitle)" "$(ScopeSubtitle)"
  nsDialogs::Create 1018
  Pop $R0
  ${NSD_CreateRadioButton} 0 0 100% 12u "$(ForMe)"
  Pop $R0
  ${NSD_AddStyle} $R0 ${WS_GROUP}
  ${NSD_CreateRadioButton} 0 16u 100% 12u "$(ForAll)"
  Pop $ForAllUsers
  ${If} $AllUsers = 1
    ${NSD_Check} $ForAllUsers
  ${Else}
    ${NSD_Check} $R0
  ${EndIf}
  ${NSD_CreateLabel} 12u 36u -12u 40u "$(ScopeNote)"
  Pop $R0
  nsDialogs::Show
FunctionEnd

Function ScopePageLeave
  ${NSD_GetState} $ForAllUsers $R0
  ${If} $R0 = ${BST_CHECKED}
    Call UseAllUsers
  ${Else}
    Call UseOneUser
  ${EndIf}
FunctionEnd

Function .onInit
  SetShellVarContext current
  StrCpy $AllUsers 0
  ReadRegStr $UserDir HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $UserDir == ""
    StrCpy $UserDir "$LOCALAPPDATA\Programs\Mirelunde"
  ${EndIf}
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "${ALL_USERS_SWITCH}" $R1
  ${IfNot} ${Errors}
    Call UseAllUsers
  ${EndIf}
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

  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$Launcher,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0

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

; The uninstaller of an install for all users is the one in the folder its registration names.
Function un.onInit
  SetShellVarContext current
  StrCpy $AllUsers 0
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
  ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $R0 != ""
  ${AndIf} $R0 == $INSTDIR
    ${GetParameters} $R0
    Push "$R0 _?=$INSTDIR"
    Call un.ElevateOrGoOn
    StrCpy $AllUsers 1
    SetShellVarContext all
  ${Else}
    SetRegView default
  ${EndIf}
FunctionEnd

; The script that the next login runs: it removes what is left and then itself. It is read in the
; code page it is written in, so a folder named in the system's own letters is found; a folder named
; in letters the code page lacks would be written as "?", so the script names it by its short name,
; which is ASCII (where the volume keeps no short names, that is the long name, as before).
Function un.LeaveCleanupForNextLogin
  System::Call 'kernel32::GetACP() i.R2'
  StrCpy $R4 0
  System::Call 'kernel32::WideCharToMultiByte(i 0, i ${WC_NO_BEST_FIT_CHARS}, w "$INSTDIR", i -1, p 0, i 0, p 0, *i R4R4)'
  StrCpy $R3 $INSTDIR
  ${If} $R4 <> 0
    GetFullPathName /SHORT $R3 $INSTDIR
  ${EndIf}
  ClearErrors
  FileOpen $R1 "$LOCALAPPDATA\${CLEANUP_SCRIPT}" w
  ${If} ${Errors}
    Push "uninstall: $(CleanupNotWrittenLog)"
    Call un.Log
    Return
  ${EndIf}
  FileWrite $R1 "@chcp $R2 >nul 2>&1$\r$\n"
  FileWrite $R1 '@del /f /q "$R3\*.moved" "$R3\x86\*.moved" 2>nul$\r$\n'
  FileWrite $R1 '@rd "$R3\x86" 2>nul$\r$\n'
  FileWrite $R1 '@rd "$R3" 2>nul$\r$\n'
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
  ; Copies still mapped by running programs go when nothing holds them: at the next login, or for
  ; an install for all users, which the user's own login could not delete, at the next restart.
  ${If} $AllUsers = 1
    RMDir /REBOOTOK "$INSTDIR\x86"
    RMDir /REBOOTOK "$INSTDIR"
  ${Else}
    RMDir "$INSTDIR\x86"
    RMDir "$INSTDIR"
    ${If} ${FileExists} "$INSTDIR\*.*"
      Call un.LeaveCleanupForNextLogin
    ${EndIf}
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
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
