; Orvello's per-user installer: no administrator rights, installs under the
; user's local programs folder, a Start-menu shortcut, an entry in the user's
; Apps list, and on request a start at sign-in.
;   makensis -DVERSION=1.0.0 -DSTAGE=<unpacked package> -DOUTFILE=<setup.exe>
;            -DICON=<orvello.ico> installer.nsi
; Silent: setup.exe /S [/AUTOSTART]; the uninstaller takes /S too.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

!define PRODUCT "Orvello"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvello"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define VC_REDIST_URL "https://aka.ms/vs/17/release/vc_redist.x64.exe"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Orvello"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "Orvello ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "CompanyName" "Brackwater"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${COPYRIGHT}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\Orvello.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Orvello holds this mutex while it runs; its files cannot be replaced then.
!macro WaitUntilOrvelloHasEnded
  ${Do}
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "Orvello_SingleInstance") p .r0'
    ${If} $0 P= 0
      ${Break}
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r0)'
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "Orvello is running. End it with Exit in its tray menu, then choose Retry." \
      /SD IDCANCEL IDRETRY +2
    Abort
  ${Loop}
!macroend

!macro RemoveModelFiles DIR
  Delete "${DIR}\config.json"
  Delete "${DIR}\vocab.txt"
  Delete "${DIR}\nemo128.onnx"
  Delete "${DIR}\encoder-model.int8.onnx"
  Delete "${DIR}\encoder-model.onnx"
  Delete "${DIR}\encoder-model.onnx.data"
  Delete "${DIR}\decoder_joint-model.int8.onnx"
  Delete "${DIR}\decoder_joint-model.onnx"
  RMDir "${DIR}"
!macroend

!macro NoteIfMissing DLL
  ${IfNot} ${FileExists} "$SYSDIR\${DLL}"
    StrCpy $R0 "$R0$\r$\n    ${DLL}"
  ${EndIf}
!macroend

Section "Orvello" SectionProgram
  SectionIn RO
  !insertmacro WaitUntilOrvelloHasEnded
  SetOutPath "$INSTDIR"
  File /r "${STAGE}\*.*"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortCut "$SMPROGRAMS\Orvello.lnk" "$INSTDIR\Orvello.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Brackwater"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Orvello.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
  DeleteRegValue HKCU "${RUN_KEY}" "Orvello"
  Call WarnAboutMissingVisualCppRuntime
SectionEnd

; Orvello reads its "Start Minimized in Tray" option at every start, so a start at sign-in
; goes straight to the tray when that option is ticked.
Section /o "Start Orvello when I sign in" SectionAutostart
  WriteRegStr HKCU "${RUN_KEY}" "Orvello" '"$INSTDIR\Orvello.exe"'
SectionEnd

Function .onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/AUTOSTART" $1
  ${IfNot} ${Errors}
    SectionSetFlags ${SectionAutostart} ${SF_SELECTED}
  ${EndIf}
FunctionEnd

; onnxruntime.dll needs the Visual C++ runtime, which Windows does not ship. Orvello is
; installed either way: it starts without it and says the same when it loads its engine.
Function WarnAboutMissingVisualCppRuntime
  StrCpy $R0 ""
  !insertmacro NoteIfMissing "msvcp140.dll"
  !insertmacro NoteIfMissing "msvcp140_1.dll"
  !insertmacro NoteIfMissing "msvcp140_atomic_wait.dll"
  !insertmacro NoteIfMissing "vcruntime140.dll"
  !insertmacro NoteIfMissing "vcruntime140_1.dll"
  ${If} $R0 != ""
    MessageBox MB_OK|MB_ICONEXCLAMATION "Orvello's speech engine needs the Microsoft Visual C++ \
      2015-2022 Redistributable (x64). These of its files are missing on this computer:$R0$\r$\n$\r$\n\
      Orvello is installed, but it recognises speech only once you have installed \
      vc_redist.x64.exe from Microsoft:$\r$\n    ${VC_REDIST_URL}" /SD IDOK
  ${EndIf}
FunctionEnd

Section "Uninstall"
  !insertmacro WaitUntilOrvelloHasEnded
  Delete "$SMPROGRAMS\Orvello.lnk"
  DeleteRegValue HKCU "${RUN_KEY}" "Orvello"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; Only Orvello's own files and the model files it reads: the folder may hold more.
  Delete "$INSTDIR\Orvello.exe"
  Delete "$INSTDIR\onnxruntime.dll"
  Delete "$INSTDIR\Read me.txt"
  RMDir /r "$INSTDIR\licenses"
  !insertmacro RemoveModelFiles "$INSTDIR\models\parakeet-tdt-0.6b-v3-onnx"
  !insertmacro RemoveModelFiles "$INSTDIR\parakeet-tdt-0.6b-v3-onnx"
  Delete "$INSTDIR\models\ping.wav"
  !insertmacro RemoveModelFiles "$INSTDIR\models"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  ; The prepared model Orvello keeps for faster starts; anything else of the user's stays.
  RMDir /r "$LOCALAPPDATA\Orvello\model-cache"
  RMDir "$LOCALAPPDATA\Orvello"
SectionEnd
