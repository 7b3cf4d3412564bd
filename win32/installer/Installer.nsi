; The 64-bit installer of Tobrane PROM Loader. Built by win32/CMakeLists.txt:
;   makensis -DVERSION=... -DSTAGE=dir -DOUTFILE=Setup.exe Installer.nsi
; STAGE holds the files that are installed: the window, tobrane-cli.exe,
; OEMModel.ini and README.txt.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!define APP "Tobrane PROM Loader"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TobranePromLoader"

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${APP}"
Icon "${ICON}"
UninstallIcon "${ICON}"
VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "${APP}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${APP} Setup"
VIAddVersionKey "CompanyName" "Ostrand Electronics"
VIAddVersionKey "LegalCopyright" "Copyright Ostrand Electronics"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Install"
  SetRegView 64
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${STAGE}\tobrane-loader.exe"
  File "${STAGE}\tobrane-cli.exe"
  File "${STAGE}\OEMModel.ini"
  File "${STAGE}\README.txt"
  File "${STAGE}\run-report.schema.json"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  ; The shortcut starts in the install folder, where OEMModel.ini is read from.
  CreateDirectory "$SMPROGRAMS\${APP}"
  CreateShortcut "$SMPROGRAMS\${APP}\${APP}.lnk" "$INSTDIR\tobrane-loader.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${APP}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Ostrand Electronics"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tobrane-loader.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The settings under HKEY_CURRENT_USER stay: they belong to the user, and a
; reinstall finds the COM port chosen before.
Section "Uninstall"
  SetRegView 64
  SetShellVarContext all
  Delete "$INSTDIR\tobrane-loader.exe"
  Delete "$INSTDIR\tobrane-cli.exe"
  Delete "$INSTDIR\OEMModel.ini"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\run-report.schema.json"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${APP}\${APP}.lnk"
  RMDir "$SMPROGRAMS\${APP}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
