; zorvik-setup.exe: installs Zorvik.exe into the Windows folder, where the program must live, with
; its help document beside it, registers its removal, and writes the uninstaller, which takes all
; of it away again but keeps the settings. UTF-8 source (makensis -INPUTCHARSET UTF8); the build
; defines VERSION (x.y.z), PROGRAM, HELP, ICON and OUTFILE.

Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include MUI2.nsh
!include LogicLib.nsh
!include WinMessages.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zorvik"
!define SETTINGS_KEY "SOFTWARE\Brenmor\Zorvik"
!define UNINSTALLER "Zorvik-uninstall.exe"
!define SYNCHRONIZE 0x00100000

Name "Zorvik"
OutFile "${OUTFILE}"
InstallDir "$WINDIR"
BrandingText "Brenmor"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1049 "ProductName" "Zorvik"
VIAddVersionKey /LANG=1049 "CompanyName" "Brenmor"
VIAddVersionKey /LANG=1049 "LegalCopyright" "© Brenmor"
VIAddVersionKey /LANG=1049 "FileDescription" "Установка Zorvik"
VIAddVersionKey /LANG=1049 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1049 "ProductVersion" "${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TEXT "Эта программа установит Zorvik ${VERSION} в папку Windows: \
  программу Zorvik.exe и её справку.$\r$\n$\r$\nЕсли Zorvik уже работает, он будет закрыт перед \
  заменой файла.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Zorvik.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Запустить Zorvik"
!insertmacro MUI_PAGE_FINISH

!define MUI_UNCONFIRMPAGE_TEXT_TOP "Zorvik будет удалён из папки Windows вместе со справкой и \
  ярлыком автозагрузки. Работающая программа будет закрыта. Настройки и наборы частот останутся."
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "Zorvik удалён.$\r$\n$\r$\nНастройки и наборы частот остались в \
  реестре:$\r$\nHKLM\${SETTINGS_KEY}.$\r$\nПосле повторной установки программа начнёт с ними.\
  $\r$\n$\r$\nНажмите кнопку $\"Готово$\" для выхода из программы удаления."
!insertmacro MUI_UNPAGE_FINISH

!insertmacro MUI_LANGUAGE "Russian"

; Asks a running copy to end, as its own menu's exit does (it then removes its icon and its
; wake-up registration), and waits until its process has ended: the copy holds the mutex "Zorvik"
; while it lives. Gives up after ten seconds with a message, and the caller's work is not done.
!macro CloseRunningCopy un what
Function ${un}CloseRunningCopy
  StrCpy $R0 0 ; tenths of a second waited
  StrCpy $R1 0 ; the window already asked to close
  ${Do}
    System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "Zorvik") p .R2'
    ${If} $R2 == 0
      Return
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p R2)'
    FindWindow $R3 "Zorvik"
    ${If} $R3 != 0
    ${AndIf} $R3 != $R1
      SendMessage $R3 ${WM_CLOSE} 0 0 /TIMEOUT=5000
      StrCpy $R1 $R3
    ${EndIf}
    ${If} $R0 >= 100
      MessageBox MB_ICONSTOP|MB_OK "Не удалось закрыть работающую программу Zorvik. Закройте её \
        (меню $\"Сервис$\" > $\"Выход$\") и повторите ${what}." /SD IDOK
      Abort
    ${EndIf}
    Sleep 100
    IntOp $R0 $R0 + 1
  ${Loop}
FunctionEnd
!macroend
!insertmacro CloseRunningCopy "" "установку"
!insertmacro CloseRunningCopy "un." "удаление"

Function .onInit
  ; The program runs only as \Windows\Zorvik.exe: no other folder, whatever /D= says.
  StrCpy $INSTDIR $WINDIR
FunctionEnd

Section "Zorvik" SectionProgram
  SetRegView 64
  Call CloseRunningCopy
  SetOutPath "$INSTDIR"
  File "/oname=Zorvik.exe" "${PROGRAM}"
  File "/oname=zorvik.htm" "${HELP}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Zorvik"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Brenmor"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Zorvik.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize ${SectionProgram} $0 ; in kilobytes
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Removes what the setup and the program made, except the settings key.
Section "Uninstall"
  SetRegView 64
  Call un.CloseRunningCopy
  Delete "$INSTDIR\Zorvik.exe"
  Delete "$INSTDIR\zorvik.htm"
  ; The program's autostart shortcut, in the Startup folder of the user who switched it on.
  SetShellVarContext current
  Delete "$SMSTARTUP\Zorvik.lnk"
  Delete "$INSTDIR\${UNINSTALLER}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
