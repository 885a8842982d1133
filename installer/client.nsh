; What the installer and the uninstaller know of a running client, and of the files its updater
; placed.

; Windows of a running client or updater, from the splash to the main window.
!define CLIENT_WINDOW_CLASSES "WebMainFrm LoadFrm LoginFrm LoginBgFrm UpdateFrm"

!macro CLIENT_FUNCTIONS un
; $0 = 1 when a client or its updater runs, else 0.
Function ${un}IsClientRunning
  Push $1
  Push $2
  StrCpy $0 0
  StrCpy $2 1
  ${Do}
    ${WordFind} "${CLIENT_WINDOW_CLASSES}" " " "E+$2" $1
    ${IfThen} ${Errors} ${|} ${ExitDo} ${|}
    FindWindow $1 "$1"
    ${If} $1 <> 0
      StrCpy $0 1
      ${ExitDo}
    ${EndIf}
    IntOp $2 $2 + 1
  ${Loop}
  ; A client started from this folder whose windows are not up yet still holds its file.
  ${If} $0 = 0
  ${AndIf} ${FileExists} "$INSTDIR\${EXE}"
    ClearErrors
    FileOpen $1 "$INSTDIR\${EXE}" a
    ${If} ${Errors}
      StrCpy $0 1
    ${Else}
      FileClose $1
    ${EndIf}
  ${EndIf}
  Pop $2
  Pop $1
FunctionEnd

; A running client is never replaced or removed behind the player's back: they close it and
; retry, or cancel. Silent runs cancel, ending with exit code 2 and nothing changed.
Function ${un}WaitForClientToClose
  ${Do}
    Call ${un}IsClientRunning
    ${IfThen} $0 = 0 ${|} ${ExitDo} ${|}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(ClientRunning)" /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Quit
    retry:
  ${Loop}
FunctionEnd
!macroend

; Deletes from $INSTDIR the files named by the file lines of the updater's manifest in the
; temporary folder (the last name of each line's URL, as the updater chose it). Only plain file
; names: no folders, drives or wildcards.
Function un.DeleteUpdatedFiles
  ClearErrors
  FileOpen $0 "$TEMP\update.txt" r
  ${IfThen} ${Errors} ${|} Return ${|}
  ${Do}
    ClearErrors
    FileRead $0 $1
    ${IfThen} ${Errors} ${|} ${ExitDo} ${|}
    ${TrimNewLines} "$1" $1
    ${WordFind} "$1" "version" "E*" $2
    ${IfThen} ${Errors} ${|} StrCpy $2 0 ${|}
    ${IfThen} $2 <> 0 ${|} ${Continue} ${|}
    ${WordFind} "$1" "|" "E+2" $2
    ${IfThen} ${Errors} ${|} ${Continue} ${|}
    ${WordFind} "$2" "/" "-1" $2
    Push $2
    Call un.IsPlainFileName
    Pop $3
    ${If} $3 = 1
      Delete "$INSTDIR\$2"
    ${EndIf}
  ${Loop}
  FileClose $0
FunctionEnd

; 1 when the name on the stack names a file directly inside a folder, else 0.
Function un.IsPlainFileName
  Exch $R0
  Push $R1
  Push $R2
  Push $R3
  StrCpy $R2 1
  ${If} $R0 == ""
  ${OrIf} $R0 == "."
  ${OrIf} $R0 == ".."
    StrCpy $R2 0
  ${EndIf}
  StrCpy $R1 0
  ${DoWhile} $R2 = 1
    StrCpy $R3 $R0 1 $R1
    ${IfThen} $R3 == "" ${|} ${ExitDo} ${|}
    ${If} $R3 == "\"
    ${OrIf} $R3 == "/"
    ${OrIf} $R3 == ":"
    ${OrIf} $R3 == "*"
    ${OrIf} $R3 == "?"
    ${OrIf} $R3 == '"'
    ${OrIf} $R3 == "<"
    ${OrIf} $R3 == ">"
    ${OrIf} $R3 == "|"
      StrCpy $R2 0
    ${EndIf}
    IntOp $R1 $R1 + 1
  ${Loop}
  StrCpy $R0 $R2
  Pop $R3
  Pop $R2
  Pop $R1
  Exch $R0
FunctionEnd
