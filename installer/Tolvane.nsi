; Installer of Tolvane, for one user (no administrator rights needed).
;
;   makensis -DARCH=amd64 -DTOLVANE_EXE=path/to/Tolvane.exe [-DBOT_DIR=path/to/bot]
;            [-DOUTFILE=Tolvane-setup-amd64.exe] Tolvane.nsi
;
; ARCH is x86 (the 32-bit program) or amd64. It installs:
;   - Tolvane.exe and Uninstall.exe into $LOCALAPPDATA\Programs\Tolvane
;   - the data folder C:\Documents and Settings\<user>\My Documents\Tolvane\
;     with the bot (Kavri.pl and lib\Tolvane\...) and the help page
;     README.html; the files the owner makes there are never touched
;   - the saved-messages folder C:\Documents and Settings\<user>\Tolvane
;   - the Start-menu shortcut Tolvane\Tolvane
; The uninstaller removes the program, the shortcut, the bot and the help
; page, and the start-up value "Tolvane" of the Run key; the data folder
; with the owner's settings and messages, and the saved messages, stay.

Unicode true

!ifndef ARCH
  !define ARCH x86
!endif
!if "${ARCH}" == "amd64"
  Target amd64-unicode
!else if "${ARCH}" == "x86"
  Target x86-unicode
!else
  !error "ARCH must be x86 or amd64"
!endif

!ifndef TOLVANE_EXE
  !error "Name the program to install: -DTOLVANE_EXE=path/to/Tolvane.exe"
!endif
!ifndef BOT_DIR
  !define BOT_DIR "../bot"   ; makensis reads paths from the script's folder
!endif
!ifndef OUTFILE
  !define OUTFILE "Tolvane-setup-${ARCH}.exe"
!endif

!define RUN_KEY "SOFTWARE\Microsoft\Windows\CurrentVersion\Run"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tolvane"

Name "Tolvane"
Caption "Tolvane Setup"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Tolvane"
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "1.0.0.0"
VIAddVersionKey "ProductName" "Tolvane"
VIAddVersionKey "FileDescription" "Tolvane Setup"
VIAddVersionKey "FileVersion" "1.0"
VIAddVersionKey "ProductVersion" "1.0"
VIAddVersionKey "LegalCopyright" ""

Var DataDir
Var SavedDir

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; The two folders of the user, built as the program builds them: a fixed
; prefix and the Windows user name.
!macro TolvaneFolders
  System::Call 'advapi32::GetUserName(t .r0, *i ${NSIS_MAX_STRLEN}) i .r1'
  StrCmp $0 "" 0 +2
    ReadEnvStr $0 USERNAME
  StrCpy $DataDir "C:\Documents and Settings\$0\My Documents\Tolvane"
  StrCpy $SavedDir "C:\Documents and Settings\$0\Tolvane"
!macroend

Section "Tolvane"
  SetOutPath "$INSTDIR"
  File "/oname=Tolvane.exe" "${TOLVANE_EXE}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  !insertmacro TolvaneFolders
  DetailPrint "Data folder: $DataDir"
  ClearErrors
  CreateDirectory "$DataDir\lib\Tolvane\Transport"
  CreateDirectory "$SavedDir"
  IfErrors 0 folders_made
    MessageBox MB_OK|MB_ICONSTOP "Tolvane keeps its files in $DataDir and its saved messages in $SavedDir, but these folders cannot be created. Create them (or have them created) and run this setup again." /SD IDOK
    Abort "Cannot create $DataDir"
  folders_made:
  SetOutPath "$DataDir"
  File "${BOT_DIR}/Kavri.pl"
  File "${BOT_DIR}/README.html"
  SetOutPath "$DataDir\lib\Tolvane"
  File "${BOT_DIR}/lib/Tolvane/*.pm"
  SetOutPath "$DataDir\lib\Tolvane\Transport"
  File "${BOT_DIR}/lib/Tolvane/Transport/*.pm"

  SetOutPath "$INSTDIR"
  CreateDirectory "$SMPROGRAMS\Tolvane"
  CreateShortcut "$SMPROGRAMS\Tolvane\Tolvane.lnk" "$INSTDIR\Tolvane.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Tolvane"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "1.0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tolvane.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1

  ; The bot runs as "perl Kavri.pl": say so when there is no Perl yet.
  SearchPath $0 "perl.exe"
  StrCmp $0 "" 0 +2
    MessageBox MB_OK|MB_ICONINFORMATION "Tolvane needs Perl to run its bot. Install a Perl that comes with the package manager ppm, so that the command perl works; Tolvane installs the package Net-OSCAR with ppm when it is first started." /SD IDOK
SectionEnd

Section "Uninstall"
  !insertmacro TolvaneFolders
  Delete "$INSTDIR\Tolvane.exe"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\Tolvane\Tolvane.lnk"
  RMDir "$SMPROGRAMS\Tolvane"

  DeleteRegValue HKCU "${RUN_KEY}" "Tolvane"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"

  ; What the installation put into the data folder goes; the folder and
  ; everything made there since (settings, messages, saved messages) stay.
  Delete "$DataDir\Kavri.pl"
  Delete "$DataDir\README.html"
  Delete "$DataDir\lib\Tolvane\Transport\*.pm"
  RMDir "$DataDir\lib\Tolvane\Transport"
  Delete "$DataDir\lib\Tolvane\*.pm"
  RMDir "$DataDir\lib\Tolvane"
  RMDir "$DataDir\lib"
SectionEnd
