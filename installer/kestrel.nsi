; Installer of Kestrel for 64-bit Windows (all users, administrator rights).
;
;   makensis -INPUTCHARSET UTF8 -DSTAGE=folder -DVERSION=0.1.0 -DOUTFILE=setup.exe kestrel.nsi
;
; make-installer.sh calls it so, after checking the tools. Every file of STAGE
; is packed; the uninstaller removes exactly those files (lists written by
; list-stage.sh at build time) and never the folder as a whole, because the
; program keeps the user's data files, reports and temporary report in its own
; folder.
;
; The installer itself is a 64-bit program: it runs only where Kestrel can run,
; and it is the kind that a 64-bit-only wine starts, so the test proves the real
; file. -DX86 builds a 32-bit one instead, which on a 32-bit Windows says in
; words why it stops.

Unicode true
!ifndef X86
  Target amd64-unicode
!endif

!ifndef STAGE
  !error "STAGE is not defined: makensis -DSTAGE=folder -DVERSION=0.1.0 -DOUTFILE=setup.exe kestrel.nsi"
!endif
!ifndef VERSION
  !error "VERSION is not defined (e.g. -DVERSION=0.1.0)"
!endif
!ifndef OUTFILE
  !define OUTFILE "kestrel-${VERSION}-setup.exe"
!endif

!define PRODUCT "Kestrel"
!define FULL_NAME "Kestrel — регистратор параметров работы крана"
!define PUBLISHER "Kestrel"
!define PROGID "Kestrel.DataFile"
!define CLASSES "Software\Classes"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrel"
!define ICON "${__FILEDIR__}/kestrel.ico"
!define OPEN_COMMAND '"$INSTDIR\kestrel.exe" "%1"'
; Qt 6 runs on Windows 10 1809 (build 17763) and later.
!define MIN_BUILD 17763

!tempfile STAGE_DEFINES
!tempfile INSTALL_LIST
!tempfile UNINSTALL_LIST
!system 'bash "${__FILEDIR__}/list-stage.sh" "${STAGE}" "${VERSION}" "${STAGE_DEFINES}" "${INSTALL_LIST}" "${UNINSTALL_LIST}"' = 0
!include "${STAGE_DEFINES}"

!include MUI2.nsh
!include LogicLib.nsh
!include x64.nsh
!include WinVer.nsh

Name "${PRODUCT}"
Caption "Установка ${FULL_NAME}"
UninstallCaption "Удаление ${PRODUCT}"
BrandingText "${FULL_NAME}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
RequestExecutionLevel admin
ShowInstDetails show
ShowUninstDetails show
SetCompressor /SOLID lzma

VIProductVersion "${VERSION_4}"
VIFileVersion "${VERSION_4}"
VIAddVersionKey /LANG=1049 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1049 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1049 "FileDescription" "Установка ${FULL_NAME}"
VIAddVersionKey /LANG=1049 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1049 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1049 "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_UNABORTWARNING

!define MUI_WELCOMEPAGE_TITLE "Установка Kestrel ${VERSION}"
!define MUI_WELCOMEPAGE_TEXT "Kestrel — программа для регистраторов параметров работы портальных кранов: чтение памяти регистратора, классификация крана, протоколы и архив показаний.$\r$\n$\r$\nПрограмма будет установлена для всех пользователей компьютера; для этого нужны права администратора.$\r$\n$\r$\nНажмите «Далее», чтобы продолжить."
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "Kestrel установлен. Ярлыки «Kestrel» — в меню «Пуск» и на рабочем столе; файлы данных (*.bbd) открываются в Kestrel двойным щелчком."
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Запустить Kestrel"
!define MUI_FINISHPAGE_RUN_FUNCTION LaunchKestrel
!insertmacro MUI_PAGE_FINISH

!define MUI_UNCONFIRMPAGE_TEXT_TOP "Kestrel будет удален из указанной папки. Файлы, которые записали вы и программа (папки «Данные» и «Отчеты», архив показаний), останутся на месте."
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Russian"

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "Kestrel работает только в 64-разрядной Windows. На этом компьютере 32-разрядная Windows: установка невозможна." /SD IDOK
    SetErrorLevel 3
    Quit
  ${EndIf}
  ${IfNot} ${AtLeastBuild} ${MIN_BUILD}
    MessageBox MB_OK|MB_ICONSTOP "Kestrel работает в Windows 10 версии 1809 и новее. На этом компьютере более старая Windows: установка невозможна." /SD IDOK
    SetErrorLevel 3
    Quit
  ${EndIf}
  SetRegView 64
  SetShellVarContext all
  ; A repeated installation goes where the previous one is, unless /D= names
  ; another folder.
  ${If} $INSTDIR == "$PROGRAMFILES64\${PRODUCT}"
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
      StrCpy $INSTDIR $0
    ${EndIf}
  ${EndIf}
FunctionEnd

; Runs the installed version's own uninstaller first: it knows which files it
; put there, so files dropped from the new version do not stay behind, and it
; keeps the user's files as any uninstallation does.
Function RemovePrevious
  ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $R0 == ""
  ${OrIfNot} ${FileExists} "$R0\uninstall.exe"
    Return
  ${EndIf}
  DetailPrint "Удаление установленной версии из папки $R0"
  ClearErrors
  ExecWait '"$R0\uninstall.exe" /S _?=$R0' $R1
  ${If} ${Errors}
  ${OrIf} $R1 != 0
    MessageBox MB_OK|MB_ICONSTOP "Не удалось удалить установленную версию Kestrel из папки $R0 (код $R1). Закройте Kestrel и запустите установку снова." /SD IDOK
    SetErrorLevel 4
    Quit
  ${EndIf}
  ; Run in place (_?=), the uninstaller cannot delete its own file.
  Delete "$R0\uninstall.exe"
  RMDir "$R0"
FunctionEnd

Function LaunchKestrel
  ; Through Explorer the program starts with the user's rights, not the
  ; installer's elevated ones, so it uses the user's archive and settings.
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\kestrel.exe"'
FunctionEnd

Section "Kestrel" SecMain
  SectionIn RO
  Call RemovePrevious

  SetOutPath "$INSTDIR"
  !include "${INSTALL_LIST}"
  File "/oname=kestrel.ico" "${ICON}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; Shortcuts start in the program folder ($OUTDIR).
  SetOutPath "$INSTDIR"
  CreateDirectory "$SMPROGRAMS\Kestrel"
  CreateShortcut "$SMPROGRAMS\Kestrel\Kestrel.lnk" "$INSTDIR\kestrel.exe" "" "$INSTDIR\kestrel.ico" 0
  CreateShortcut "$SMPROGRAMS\Kestrel\Удалить Kestrel.lnk" "$INSTDIR\uninstall.exe" "" "$INSTDIR\kestrel.ico" 0
  CreateShortcut "$DESKTOP\Kestrel.lnk" "$INSTDIR\kestrel.exe" "" "$INSTDIR\kestrel.ico" 0

  ; Data files: remember a foreign program's association so that the
  ; uninstaller can give .bbd back to it.
  ReadRegStr $0 HKLM "${CLASSES}\.bbd" ""
  ${If} $0 != ""
  ${AndIf} $0 != "${PROGID}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "PreviousBbdClass" $0
  ${EndIf}
  WriteRegStr HKLM "${CLASSES}\.bbd" "" "${PROGID}"
  WriteRegStr HKLM "${CLASSES}\${PROGID}" "" "Данные регистратора параметров крана"
  WriteRegStr HKLM "${CLASSES}\${PROGID}\DefaultIcon" "" "$INSTDIR\kestrel.ico,0"
  WriteRegStr HKLM "${CLASSES}\${PROGID}\shell" "" "open"
  WriteRegStr HKLM "${CLASSES}\${PROGID}\shell\open" "" "Открыть в Kestrel"
  WriteRegStr HKLM "${CLASSES}\${PROGID}\shell\open\command" "" '${OPEN_COMMAND}'
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${FULL_NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kestrel.ico"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${STAGE_SIZE_KB}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "Uninstall"
  ; The association goes only while it is still this installation's: another
  ; program, or a Kestrel in another folder, may have taken .bbd since.
  ReadRegStr $0 HKLM "${CLASSES}\${PROGID}\shell\open\command" ""
  ${If} $0 == '${OPEN_COMMAND}'
    DeleteRegKey HKLM "${CLASSES}\${PROGID}"
    ReadRegStr $1 HKLM "${CLASSES}\.bbd" ""
    ${If} $1 == "${PROGID}"
      ReadRegStr $2 HKLM "${UNINSTALL_KEY}" "PreviousBbdClass"
      ${If} $2 != ""
        WriteRegStr HKLM "${CLASSES}\.bbd" "" $2
      ${Else}
        DeleteRegValue HKLM "${CLASSES}\.bbd" ""
        DeleteRegKey /ifempty HKLM "${CLASSES}\.bbd"
      ${EndIf}
    ${EndIf}
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
  ${EndIf}

  Delete "$DESKTOP\Kestrel.lnk"
  Delete "$SMPROGRAMS\Kestrel\Kestrel.lnk"
  Delete "$SMPROGRAMS\Kestrel\Удалить Kestrel.lnk"
  RMDir "$SMPROGRAMS\Kestrel"

  !include "${UNINSTALL_LIST}"
  Delete "$INSTDIR\kestrel.ico"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ${If} ${FileExists} "$INSTDIR\*.*"
    DetailPrint "Папка $INSTDIR оставлена: в ней остались ваши файлы."
  ${EndIf}

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

!delfile "${STAGE_DEFINES}"
!delfile "${INSTALL_LIST}"
!delfile "${UNINSTALL_LIST}"
