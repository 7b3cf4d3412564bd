; The 64-bit installer of Tobrane PROM Loader. Built by win32/CMakeLists.txt:
;   makensis -DVERSION=... -DSTAGE=dir -DOUTFILE=Setup.exe -DICON=app.ico -DTEXTS=Texts.nsh Installer.nsi
; STAGE holds the files that are installed: the window, tobrane-cli.exe,
; OEMModel.ini, README.txt, LICENSE.txt and run-report.schema.json. TEXTS defines the texts of its
; own, which come from the program's string table.
;
; For all users (Program Files, needs an administrator) or just for the one
; who runs it (no administrator); /AllUsers or /CurrentUser chooses on the
; command line, /S installs silently, /AddToPath ticks the PATH entry.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!define APP "Tobrane PROM Loader"
!define COMPANY "Ostrand Electronics"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TobranePromLoader"
!define PROGID "TobranePromLoader.rom"
!define MACHINE_ENVIRONMENT "SYSTEM\CurrentControlSet\Control\Session Manager\Environment"
!define MODEL_TABLE "OEMModel.ini"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR "${APP}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallMode"
!include MultiUser.nsh
!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh
!include WinMessages.nsh
!include "${TEXTS}"
${Using:StrFunc} UnStrRep

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "${APP}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${APP} Setup"
VIAddVersionKey "CompanyName" "${COMPANY}"
VIAddVersionKey "LegalCopyright" "Copyright (c) 2026 ${COMPANY}, MIT licence"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "${TEXT_RUN}"
!define MUI_FINISHPAGE_RUN_FUNCTION StartWindow
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\README.txt"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "${TEXT_README}"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The model table's time stamp as text: the installer records it when it puts
; the table in place, so that a table whose time differs later was changed by
; someone and is neither replaced nor removed. $0: the file; out: $1.
!macro TableTime UN
Function ${UN}TableTime
  ClearErrors
  GetFileTime "$0" $1 $2
  ${If} ${Errors}
    StrCpy $1 ""
  ${Else}
    StrCpy $1 "$1.$2"
  ${EndIf}
FunctionEnd
!macroend
!insertmacro TableTime ""
!insertmacro TableTime "un."

; Puts the shipped table into the install folder unless one is there that
; this installer did not put there as it is. The user's own table, in
; %APPDATA%, is never the installer's to touch.
Function InstallModelTable
  StrCpy $0 "$INSTDIR\${MODEL_TABLE}"
  ${If} ${FileExists} "$0"
    ReadRegStr $5 SHCTX "${UNINSTALL_KEY}" "ModelTableTime"
    Call TableTime
    ${If} $5 != $1
      DetailPrint "${TEXT_KEPT_TABLE}"
      Return
    ${EndIf}
  ${EndIf}
  File "${STAGE}\${MODEL_TABLE}"
  Call TableTime
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "ModelTableTime" "$1"
FunctionEnd

; Removes the installed table only when it is still the one installed.
Function un.RemoveModelTable
  StrCpy $0 "$INSTDIR\${MODEL_TABLE}"
  ReadRegStr $5 SHCTX "${UNINSTALL_KEY}" "ModelTableTime"
  Call un.TableTime
  ${If} $1 == ""
    Return
  ${ElseIf} $5 == $1
    Delete "$0"
  ${Else}
    DetailPrint "${TEXT_KEPT_TABLE}"
  ${EndIf}
FunctionEnd

; The PATH value of this install mode: the user's or the machine's. It is read
; into $0; $1 is "ok", or "long" when it is longer than the installer can
; handle (NSIS strings hold NSIS_MAX_STRLEN characters), and then untouched.
!macro ReadPath UN
Function ${UN}ReadPath
  StrCpy $1 ok
  ClearErrors
  ${If} $MultiUser.InstallMode == AllUsers
    ReadRegStr $0 HKLM "${MACHINE_ENVIRONMENT}" "Path"
  ${Else}
    ReadRegStr $0 HKCU "Environment" "Path"
  ${EndIf}
  ${IfNot} ${Errors}
    Return
  ${EndIf}
  ; A value that does not exist also reads as an error: only the user's may be missing.
  StrCpy $1 long
  ${If} $MultiUser.InstallMode != AllUsers
    StrCpy $2 0
    ${Do}
      EnumRegValue $3 HKCU "Environment" $2
      ${If} $3 == ""
        StrCpy $1 ok
        ${Break}
      ${EndIf}
      ${If} $3 == "Path"
        ${Break}
      ${EndIf}
      IntOp $2 $2 + 1
    ${Loop}
  ${EndIf}
FunctionEnd
!macroend
!insertmacro ReadPath ""
!insertmacro ReadPath "un."

!macro WritePath UN
Function ${UN}WritePath
  ${If} $MultiUser.InstallMode == AllUsers
    WriteRegExpandStr HKLM "${MACHINE_ENVIRONMENT}" "Path" "$0"
  ${ElseIf} $0 == ""
    DeleteRegValue HKCU "Environment" "Path"
  ${Else}
    WriteRegExpandStr HKCU "Environment" "Path" "$0"
  ${EndIf}
  SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
FunctionEnd
!macroend
!insertmacro WritePath ""
!insertmacro WritePath "un."

Function AddToPath
  Call ReadPath
  StrLen $2 "$0;$INSTDIR"
  ${If} $1 != ok
  ${OrIf} $2 >= ${NSIS_MAX_STRLEN}
    MessageBox MB_OK|MB_ICONEXCLAMATION "${TEXT_PATH_TOO_LONG}" /SD IDOK
    Return
  ${EndIf}
  ${StrStr} $2 ";$0;" ";$INSTDIR;"
  ${If} $2 != ""
    Return
  ${EndIf}
  StrCpy $2 "$0" 1 -1
  ${If} $0 == ""
  ${OrIf} $2 == ";"
    StrCpy $0 "$0$INSTDIR"
  ${Else}
    StrCpy $0 "$0;$INSTDIR"
  ${EndIf}
  Call WritePath
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "AddedToPath" 1
FunctionEnd

; Takes out only the entry that the installer added; the rest stays as it was.
Function un.RemoveFromPath
  ReadRegDWORD $2 SHCTX "${UNINSTALL_KEY}" "AddedToPath"
  ${If} $2 != 1
    Return
  ${EndIf}
  Call un.ReadPath
  ${If} $1 != ok
    MessageBox MB_OK|MB_ICONEXCLAMATION "${TEXT_PATH_NOT_CLEANED}" /SD IDOK
    Return
  ${EndIf}
  ${UnStrRep} $0 ";$0;" ";$INSTDIR;" ";"
  StrCpy $0 "$0" "" 1
  StrCpy $0 "$0" -1
  Call un.WritePath
FunctionEnd

; Not as the installer's elevated user: through the shell, as a Start-menu
; click would, so the settings go to the user who is logged on.
Function StartWindow
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\tobrane-loader.exe"'
FunctionEnd

Section "!${TEXT_SECTION_PROGRAM}" SecProgram
  SectionIn RO
  SetRegView 64
  SetOutPath "$INSTDIR"
  SetOverwrite on
  File "${STAGE}\tobrane-loader.exe"
  File "${STAGE}\tobrane-cli.exe"
  File "${STAGE}\README.txt"
  File "${STAGE}\LICENSE.txt"
  File "${STAGE}\run-report.schema.json"
  Call InstallModelTable
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; Started from the Start menu in the user's home folder, not in the install
  ; folder: the table there would otherwise come before the user's own.
  CreateDirectory "$SMPROGRAMS\${APP}"
  StrCpy $OUTDIR "%HOMEDRIVE%%HOMEPATH%"
  CreateShortcut "$SMPROGRAMS\${APP}\${APP}.lnk" "$INSTDIR\tobrane-loader.exe"
  SetOutPath "$INSTDIR"

  ; "Open with" for .rom files, without becoming their default program: the
  ; window takes the file as its command-line file.
  WriteRegStr SHCTX "Software\Classes\${PROGID}" "" "${TEXT_ROM_TYPE}"
  WriteRegStr SHCTX "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\tobrane-loader.exe,0"
  WriteRegStr SHCTX "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\tobrane-loader.exe" "%1"'
  WriteRegStr SHCTX "Software\Classes\.rom\OpenWithProgids" "${PROGID}" ""
  WriteRegStr SHCTX "Software\Classes\Applications\tobrane-loader.exe" "FriendlyAppName" "${APP}"
  WriteRegStr SHCTX "Software\Classes\Applications\tobrane-loader.exe\SupportedTypes" ".rom" ""
  WriteRegStr SHCTX "Software\Classes\Applications\tobrane-loader.exe\shell\open\command" "" '"$INSTDIR\tobrane-loader.exe" "%1"'
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${APP}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallMode" "$MultiUser.InstallMode"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tobrane-loader.exe"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section /o "${TEXT_SECTION_PATH}" SecPath
  Call AddToPath
SectionEnd

Function .onInit
  !insertmacro MULTIUSER_INIT
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/AddToPath" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecPath}
  ${EndIf}
FunctionEnd

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

; The settings under HKEY_CURRENT_USER stay: they belong to the user, and a
; reinstall finds the COM port chosen before. So do the user's own model
; table and an installed one that someone changed.
Section "Uninstall"
  SetRegView 64
  Call un.RemoveFromPath
  Call un.RemoveModelTable
  Delete "$INSTDIR\tobrane-loader.exe"
  Delete "$INSTDIR\tobrane-cli.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\run-report.schema.json"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${APP}\${APP}.lnk"
  RMDir "$SMPROGRAMS\${APP}"

  DeleteRegKey SHCTX "Software\Classes\${PROGID}"
  DeleteRegValue SHCTX "Software\Classes\.rom\OpenWithProgids" "${PROGID}"
  DeleteRegKey SHCTX "Software\Classes\Applications\tobrane-loader.exe"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
