; The Windows setup program: QX_Vignette.aex into the plug-in folder that After Effects and
; Premiere Pro share, qxv.exe and the texts into C:\Program Files\QX Vignette, an entry under
; Apps & features, and an uninstaller that removes exactly what was put there.
;
; makensis -DVERSION=1.3.0 -DAEX=... -DQXV=... -DREADME=... -DWHERE=... -DOUTFILE=... installer.nsi
; (cmake --build build/linux/windows --target installer does this).
;
; Exit codes: 0 installed, 1 cancelled by the user, 2 nothing installed because a folder
; could not be written (the message says which). In silent mode (/S) messages go to the
; standard error of the console that started setup.
;
; Command line: /S silent, /D=DIR the program folder (last, unquoted, as for every NSIS
; setup), /PLUGINDIR=DIR one plug-in folder instead of the ones the registry names.

Unicode true
Target amd64-unicode
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WordFunc.nsh

!define PRODUCT "QX Vignette"
!define PUBLISHER "Quillmoor"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\QX Vignette"
!define AE_KEY "SOFTWARE\Adobe\After Effects"
!define PLUGIN_FILE "QX_Vignette.aex"
; Adobe's common plug-in folder when no After Effects names one ("7.0" for every current version).
!define FALLBACK_PLUGIN_DIR "$PROGRAMFILES64\Adobe\Common\Plug-ins\7.0\MediaCore"
!define EXIT_CANNOT_WRITE 2

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

Var PluginDir          ; the directory page's folder
Var PluginDirs         ; the folders QX_Vignette.aex goes into, each followed by "|"
Var FoundDirs          ; what the registry named, for the page's text
Var PreviousVersion    ; the version installed before, or ""
Var CreatedDirs        ; folders this setup made, deepest first, each followed by "|"
Var UpgradeText        ; what the welcome page says about an earlier install

!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TITLE "${PRODUCT} ${VERSION}"
!define MUI_WELCOMEPAGE_TEXT "Setup installs the QX Vignette effect for After Effects and Premiere Pro (64-bit) and qxv.exe, its command-line tool.$\r$\n$\r$\n$UpgradeText$\r$\n$\r$\nClose After Effects and Premiere Pro before you go on: a running host keeps the plug-in it has loaded.$\r$\n$\r$\nClick Next to continue."
!insertmacro MUI_PAGE_WELCOME

!define MUI_PAGE_HEADER_TEXT "Plug-in folder"
!define MUI_PAGE_HEADER_SUBTEXT "Where After Effects and Premiere Pro will find the effect."
!define MUI_DIRECTORYPAGE_TEXT_TOP "$FoundDirs"
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "Plug-in folder (QX_Vignette.aex)"
!define MUI_DIRECTORYPAGE_VARIABLE $PluginDir
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE PluginPageLeave
!insertmacro MUI_PAGE_DIRECTORY

!define MUI_PAGE_HEADER_TEXT "Program folder"
!define MUI_PAGE_HEADER_SUBTEXT "Where qxv.exe, the README and the uninstaller go."
!define MUI_DIRECTORYPAGE_TEXT_TOP "qxv.exe, the command-line tool, renders frames with the effect; the README and WHERE-HOSTS-LOOK.txt go beside it. Hosts do not look in this folder."
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "Program folder"
!insertmacro MUI_PAGE_DIRECTORY

!insertmacro MUI_PAGE_INSTFILES

!define MUI_FINISHPAGE_NOAUTOCLOSE
!define MUI_UNFINISHPAGE_NOAUTOCLOSE
!define MUI_FINISHPAGE_TITLE "${PRODUCT} ${VERSION} is installed"
!define MUI_FINISHPAGE_TEXT "Restart After Effects or Premiere Pro: the effect is in the Quillmoor category of the Effects panel.$\r$\n$\r$\nTo remove it, use Apps && features (or Programs and Features)."
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\WHERE-HOSTS-LOOK.txt"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Show where the hosts look for plug-ins"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"


; ---- Messages ------------------------------------------------------------------------------

; A line on the standard error of the console that started setup (silent installs in
; scripts), and in the details list.
!macro Tell text
  Push "${text}"
  !ifdef __UNINSTALL__
    Call un.Tell
  !else
    Call Tell
  !endif
!macroend

!macro TELL_FUNCTION prefix who
Function ${prefix}Tell
  Exch $0
  Push $1
  Push $2
  DetailPrint "$0"
  System::Call 'kernel32::GetStdHandle(i -12) p.r1'
  ${If} $1 P= 0
  ${OrIf} $1 P= -1
    System::Call 'kernel32::AttachConsole(i -1)'
    System::Call 'kernel32::GetStdHandle(i -12) p.r1'
  ${EndIf}
  ${IfNot} $1 P= 0
  ${AndIfNot} $1 P= -1
    StrCpy $0 "${who}: $0$\r$\n"
    StrLen $2 $0
    System::Call 'kernel32::WriteFile(p r1, m r0, i r2, *i 0, p 0)'
  ${EndIf}
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro TELL_FUNCTION "" "setup"
!insertmacro TELL_FUNCTION "un." "uninstall"

; ---- Folders -------------------------------------------------------------------------------

; Removes one trailing backslash: "C:\X\" and "C:\X" name one folder.
!macro TrimSlash var
  Push $R9
  StrCpy $R9 ${var} 1 -1
  ${If} $R9 == "\"
    StrCpy ${var} ${var} -1
  ${EndIf}
  Pop $R9
!macroend

; Adds the folder on the stack to $PluginDirs unless it is there already (NSIS compares
; strings without regard to letter case, as Windows compares paths).
Function AddPluginDir
  Exch $0
  Push $1
  !insertmacro TrimSlash $0
  ClearErrors
  ${WordFind} "|$PluginDirs" "|$0|" "E*" $1
  ${If} ${Errors}
    StrCpy $PluginDirs "$PluginDirs$0|"
  ${EndIf}
  Pop $1
  Pop $0
FunctionEnd

; Every distinct CommonPluginInstallPath of the installed After Effects versions.
Function FindPluginDirs
  Push $0
  Push $1
  Push $2
  StrCpy $PluginDirs ""
  StrCpy $FoundDirs ""
  StrCpy $0 0
  ${Do}
    EnumRegKey $1 HKLM "${AE_KEY}" $0
    ${IfThen} $1 == "" ${|} ${ExitDo} ${|}
    ReadRegStr $2 HKLM "${AE_KEY}\$1" "CommonPluginInstallPath"
    ${If} $2 != ""
      Push $2
      Call AddPluginDir
      StrCpy $FoundDirs "$FoundDirs$\r$\n    After Effects $1: $2"
    ${EndIf}
    IntOp $0 $0 + 1
  ${Loop}
  ${If} $PluginDirs == ""
    Push "${FALLBACK_PLUGIN_DIR}"
    Call AddPluginDir
    StrCpy $FoundDirs "No After Effects names its plug-in folder in the registry: setup uses Adobe's common folder, which Premiere Pro and After Effects read."
  ${Else}
    StrCpy $FoundDirs "QX_Vignette.aex goes once into each common plug-in folder (read by After Effects and Premiere Pro alike) that the registry names:$FoundDirs$\r$\nChoose another folder to install into that one alone."
  ${EndIf}
  ${WordFind} "$PluginDirs" "|" "+1" $PluginDir
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

Function PluginPageLeave
  Push $0
  Push $1
  ${WordFind} "$PluginDirs" "|" "+1" $0
  StrCpy $1 $PluginDir
  !insertmacro TrimSlash $1
  ${If} $1 != $0
    StrCpy $PluginDirs ""
    Push $PluginDir
    Call AddPluginDir
  ${EndIf}
  Pop $1
  Pop $0
FunctionEnd

; Makes the folder on the stack and the missing ones above it, noting each in $CreatedDirs
; (deepest first), and proves it writable with a file written and deleted. Leaves "" on the
; stack, or the reason the folder cannot be used.
Function PrepareDir
  Exch $0
  Push $1
  Push $2
  Push $3
  StrCpy $1 $0
  StrCpy $3 ""
  ${DoUntil} ${FileExists} "$1\*.*"
    StrCpy $3 "$3$1|"
    ${GetParent} $1 $2
    ${IfThen} $2 == $1 ${|} ${ExitDo} ${|}
    ${IfThen} $2 == "" ${|} ${ExitDo} ${|}
    StrCpy $1 $2
  ${Loop}
  ClearErrors
  CreateDirectory $0
  StrCpy $CreatedDirs "$3$CreatedDirs"
  ${If} ${Errors}
    StrCpy $0 "cannot create the folder $0"
  ${Else}
    ClearErrors
    FileOpen $1 "$0\qx-vignette-setup.tmp" w
    ${If} ${Errors}
      StrCpy $0 "cannot write into $0"
    ${Else}
      FileClose $1
      Delete "$0\qx-vignette-setup.tmp"
      StrCpy $0 ""
    ${EndIf}
  ${EndIf}
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; Removes the folders named in the list on the stack ("a|b|", deepest first) where they are empty.
!macro REMOVE_DIRS_FUNCTION prefix
Function ${prefix}RemoveEmptyDirs
  Exch $0
  Push $1
  ${Do}
    ${IfThen} $0 == "" ${|} ${ExitDo} ${|}
    ${WordFind} "$0" "|" "+1" $1
    RMDir $1
    ${WordFind} "$0" "|" "+1}" $0
    ${IfThen} $0 == "|" ${|} StrCpy $0 "" ${|}
  ${Loop}
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro REMOVE_DIRS_FUNCTION ""
!insertmacro REMOVE_DIRS_FUNCTION "un."

; Copies of the plug-in that someone put by hand where a host also looks (the zip's way, or
; a host's own folder) would load beside the installed one: they go. Not the ones this
; setup is about to replace.
Function OtherCopyFound
  Push $0
  Push $1
  StrCpy $0 $R8
  !insertmacro TrimSlash $0
  ClearErrors
  ${WordFind} "|$PluginDirs" "|$0|" "E*" $1
  ${If} ${Errors}
    ClearErrors
    Delete $R9
    ${If} ${Errors}
      !insertmacro Tell "warning: cannot remove $R9: hosts load it beside the new copy; delete it by hand"
    ${Else}
      !insertmacro Tell "removed $R9, an earlier copy that hosts would have loaded beside the new one"
    ${EndIf}
  ${EndIf}
  Pop $1
  Pop $0
  Push "go on"
FunctionEnd

Function SweepFolder
  Exch $0
  ${If} $0 != ""
  ${AndIf} ${FileExists} "$0\*.*"
    ${Locate} "$0" "/L=F /M=${PLUGIN_FILE} /G=1" OtherCopyFound
  ${EndIf}
  Pop $0
FunctionEnd

; In every folder a host of the registry loads: the common ones and those of each version.
Function RemoveOtherCopies
  Push $0
  Push $1
  Push $2
  StrCpy $0 0
  ${Do}
    EnumRegKey $1 HKLM "${AE_KEY}" $0
    ${IfThen} $1 == "" ${|} ${ExitDo} ${|}
    ReadRegStr $2 HKLM "${AE_KEY}\$1" "CommonPluginInstallPath"
    Push $2
    Call SweepFolder
    ReadRegStr $2 HKLM "${AE_KEY}\$1" "PluginInstallPath"
    Push $2
    Call SweepFolder
    IntOp $0 $0 + 1
  ${Loop}
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

; A host that is running holds the plug-in it loaded: a newer one reaches it after a restart.
!macro WARN_IF_RUNNING_FUNCTION prefix
Function ${prefix}WarnIfHostsRun
  Push $0
  Push $1
  Push $2
  Push $3
  StrCpy $3 ""
  System::Call 'kernel32::CreateToolhelp32Snapshot(i 2, i 0) p.r0'
  ${IfNot} $0 P= -1
    System::Alloc 568  ; PROCESSENTRY32W
    Pop $1
    System::Call '*$1(i 568)'
    System::Call 'kernel32::Process32FirstW(p r0, p r1) i.r2'
    ${DoWhile} $2 <> 0
      System::Call '*$1(i, i, i, i, l, i, i, i, i, i, &w260 .r2)'
      ${If} $2 == "AfterFX.exe"
      ${OrIf} $2 == "Adobe Premiere Pro.exe"
        ClearErrors
        ${WordFind} "|$3" "|$2|" "E*" $R0
        ${If} ${Errors}
          StrCpy $3 "$3$2|"
        ${EndIf}
      ${EndIf}
      System::Call 'kernel32::Process32NextW(p r0, p r1) i.r2'
    ${Loop}
    System::Free $1
    System::Call 'kernel32::CloseHandle(p r0)'
  ${EndIf}
  ${If} $3 != ""
    StrCpy $3 $3 -1
    ${WordReplace} "$3" "|" " and " "+" $3
    StrCpy $0 "$3 is running. Setup goes on, but the running host keeps the plug-in it has loaded: restart it afterwards."
    !insertmacro Tell "warning: $0"
    MessageBox MB_OK|MB_ICONEXCLAMATION "$0" /SD IDOK
  ${EndIf}
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro WARN_IF_RUNNING_FUNCTION ""
!insertmacro WARN_IF_RUNNING_FUNCTION "un."

; ---- Install -------------------------------------------------------------------------------

Function .onInit
  SetRegView 64
  Call FindPluginDirs
  ${GetOptions} $CMDLINE "/PLUGINDIR=" $0
  ${IfNot} ${Errors}
  ${AndIf} $0 != ""
    StrCpy $PluginDir $0
    StrCpy $PluginDirs ""
    Push $0
    Call AddPluginDir
  ${EndIf}
  StrCpy $UpgradeText "QX_Vignette.aex goes into the plug-in folder that After Effects and Premiere Pro share; nothing is copied twice where a host would load it twice."
  ReadRegStr $PreviousVersion HKLM "${UNINSTALL_KEY}" "DisplayVersion"
  ${If} $PreviousVersion != ""
    ${If} $PreviousVersion == "${VERSION}"
      StrCpy $UpgradeText "QX Vignette $PreviousVersion is installed already: setup installs it again, in place."
    ${Else}
      StrCpy $UpgradeText "QX Vignette $PreviousVersion is installed: setup upgrades it to ${VERSION} in place, in the folders it uses, and replaces its entry in Apps && features."
    ${EndIf}
  ${EndIf}
  Call WarnIfHostsRun
FunctionEnd

; Fails setup with a message and exit code ${EXIT_CANNOT_WRITE}, after removing the folders it made.
Function CannotWrite
  Exch $0
  Push $CreatedDirs
  Call RemoveEmptyDirs
  StrCpy $0 "$0. Nothing was installed. Run setup as an administrator, or choose a folder you can write to (/PLUGINDIR= and /D= on the command line)."
  !insertmacro Tell "error: $0"
  MessageBox MB_OK|MB_ICONSTOP "$0" /SD IDOK
  SetErrorLevel ${EXIT_CANNOT_WRITE}
  Abort
FunctionEnd

Section "Install"
  SetRegView 64
  SetOverwrite on
  ${If} $PreviousVersion != ""
  ${AndIf} $PreviousVersion != "${VERSION}"
    !insertmacro Tell "upgrading QX Vignette $PreviousVersion to ${VERSION} in place"
  ${EndIf}

  ; Every folder proven writable before anything is copied: nothing half-installed.
  StrCpy $CreatedDirs ""
  Push $INSTDIR
  Call PrepareDir
  Pop $0
  ${If} $0 != ""
    Push $0
    Call CannotWrite
  ${EndIf}
  StrCpy $1 $PluginDirs
  ${Do}
    ${IfThen} $1 == "" ${|} ${ExitDo} ${|}
    ${WordFind} "$1" "|" "+1" $2
    Push $2
    Call PrepareDir
    Pop $0
    ${If} $0 != ""
      Push $0
      Call CannotWrite
    ${EndIf}
    ${WordFind} "$1" "|" "+1}" $1
    ${IfThen} $1 == "|" ${|} StrCpy $1 "" ${|}
  ${Loop}

  ; An upgrade: the previous copies that this one does not replace go, and so do the folders
  ; they alone kept; the folders the previous setup made and this one keeps stay recorded.
  StrCpy $3 1
  ${Do}
    ReadRegStr $2 HKLM "${UNINSTALL_KEY}" "Plugin$3"
    ${IfThen} $2 == "" ${|} ${ExitDo} ${|}
    ${GetParent} $2 $4
    ClearErrors
    ${WordFind} "|$PluginDirs" "|$4|" "E*" $5
    ${If} ${Errors}
      Delete $2
    ${EndIf}
    IntOp $3 $3 + 1
  ${Loop}
  ReadRegStr $2 HKLM "${UNINSTALL_KEY}" "CreatedFolders"
  Push $2
  Call RemoveEmptyDirs
  StrCpy $3 $2
  ${Do}
    ${IfThen} $3 == "" ${|} ${ExitDo} ${|}
    ${WordFind} "$3" "|" "+1" $4
    ${If} ${FileExists} "$4\*.*"
      ClearErrors
      ${WordFind} "|$CreatedDirs" "|$4|" "E*" $5
      ${If} ${Errors}
        StrCpy $CreatedDirs "$CreatedDirs$4|"
      ${EndIf}
    ${EndIf}
    ${WordFind} "$3" "|" "+1}" $3
    ${IfThen} $3 == "|" ${|} StrCpy $3 "" ${|}
  ${Loop}
  ReadRegStr $2 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $2 != ""
  ${AndIf} $2 != $INSTDIR
    Delete "$2\qxv.exe"
    Delete "$2\${PLUGIN_FILE}"
    Delete "$2\README.md"
    Delete "$2\WHERE-HOSTS-LOOK.txt"
    Delete "$2\uninstall.exe"
    RMDir $2
  ${EndIf}
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Call RemoveOtherCopies

  SetOutPath $INSTDIR
  File "/oname=qxv.exe" "${QXV}"
  ; qxv.exe's own copy of the plug-in, which it loads from beside itself; hosts never look here.
  File "/oname=${PLUGIN_FILE}" "${AEX}"
  File "/oname=README.md" "${README}"
  File "/oname=WHERE-HOSTS-LOOK.txt" "${WHERE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  StrCpy $1 $PluginDirs
  StrCpy $3 1
  ${Do}
    ${IfThen} $1 == "" ${|} ${ExitDo} ${|}
    ${WordFind} "$1" "|" "+1" $2
    SetOutPath $2
    ; A loaded plug-in cannot be overwritten but can be moved aside, to go at the next restart.
    ${If} ${FileExists} "$2\${PLUGIN_FILE}"
      ClearErrors
      Delete "$2\${PLUGIN_FILE}"
      ${If} ${Errors}
        Rename "$2\${PLUGIN_FILE}" "$2\${PLUGIN_FILE}.replaced"
        Delete /REBOOTOK "$2\${PLUGIN_FILE}.replaced"
      ${EndIf}
    ${EndIf}
    File "/oname=${PLUGIN_FILE}" "${AEX}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Plugin$3" "$2\${PLUGIN_FILE}"
    !insertmacro Tell "installed $2\${PLUGIN_FILE}"
    IntOp $3 $3 + 1
    ${WordFind} "$1" "|" "+1}" $1
    ${IfThen} $1 == "|" ${|} StrCpy $1 "" ${|}
  ${Loop}
  SetOutPath $INSTDIR

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\uninstall.exe,0"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegStr HKLM "${UNINSTALL_KEY}" "CreatedFolders" "$CreatedDirs"
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntOp $3 $3 - 1
  ${GetSize} "$INSTDIR" "/M=${PLUGIN_FILE} /S=0K" $1 $4 $5
  IntOp $1 $1 * $3
  IntOp $0 $0 + $1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; ---- Uninstall -----------------------------------------------------------------------------

Function un.onInit
  SetRegView 64
  Call un.WarnIfHostsRun
FunctionEnd

Section "Uninstall"
  SetRegView 64
  StrCpy $3 1
  ${Do}
    ReadRegStr $2 HKLM "${UNINSTALL_KEY}" "Plugin$3"
    ${IfThen} $2 == "" ${|} ${ExitDo} ${|}
    Delete /REBOOTOK $2
    !insertmacro Tell "removed $2"
    IntOp $3 $3 + 1
  ${Loop}
  Delete "$INSTDIR\qxv.exe"
  Delete "$INSTDIR\${PLUGIN_FILE}"
  Delete "$INSTDIR\README.md"
  Delete "$INSTDIR\WHERE-HOSTS-LOOK.txt"
  Delete "$INSTDIR\uninstall.exe"
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "CreatedFolders"
  Push $0
  Call un.RemoveEmptyDirs
  RMDir $INSTDIR
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
