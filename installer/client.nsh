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

; The folders in the temporary folder that the client makes for the updater to run from.
!define UPDATER_FOLDER_PREFIX "corvane-update-"
; The record of the files updates placed, which the updater keeps in the installation folder.
!define PLACED_FILES "update.corvane-files"
; Characters no name the updater places holds: paths, streams, wildcards, short-name aliases and
; the control characters (a NUL ends the read itself).
!define UNSAFE_NAME_CHARACTERS '\/:*?"<>|~${U+1}${U+2}${U+3}${U+4}${U+5}${U+6}${U+7}${U+8}${U+9}${U+A}${U+B}${U+C}${U+D}${U+E}${U+F}${U+10}${U+11}${U+12}${U+13}${U+14}${U+15}${U+16}${U+17}${U+18}${U+19}${U+1A}${U+1B}${U+1C}${U+1D}${U+1E}${U+1F}'
; The digits after "COM" or "LPT" that name a port, the superscripts included.
!define PORT_DIGITS "0123456789¹²³"

; Deletes from $INSTDIR the files the updater recorded as placed there (UTF-16, a name and CR LF a
; line), with the updater's own name rules. A read ends at CR, at LF, at a pair of them and after
; 1023 characters: a piece is a name only when it ends in CR LF and the piece before it did too,
; so that no part of a longer or broken line is taken for a name.
Function un.DeleteUpdatedFiles
  ClearErrors
  FileOpen $0 "$INSTDIR\${PLACED_FILES}" r
  ${IfThen} ${Errors} ${|} Return ${|}
  StrCpy $4 1
  ${Do}
    ClearErrors
    FileReadUTF16LE $0 $1
    ${IfThen} ${Errors} ${|} ${ExitDo} ${|}
    StrCpy $2 $1 "" -2
    StrCpy $5 0
    ${IfThen} $2 S== "$\r$\n" ${|} StrCpy $5 1 ${|}
    ${If} $4 = 1
    ${AndIf} $5 = 1
      StrCpy $2 $1 -2
      Push $2
      Call un.IsPlainFileName
      Pop $3
      ; A folder of that name is the player's.
      ${If} $3 = 1
      ${AndIfNot} ${FileExists} "$INSTDIR\$2\*.*"
        Delete "$INSTDIR\$2"
      ${EndIf}
    ${EndIf}
    StrCpy $4 $5
  ${Loop}
  FileClose $0
FunctionEnd

; 1 when the string under the top of the stack holds a character of the string on top, else 0.
Function un.HoldsCharacterOf
  Exch $R0  ; the characters
  Exch
  Exch $R1  ; the string
  Push $R2
  Push $R3
  Push $R4
  Push $R5
  Push $R6
  StrCpy $R6 0
  StrCpy $R2 0
  ${Do}
    StrCpy $R3 $R1 1 $R2
    ${IfThen} $R3 == "" ${|} ${ExitDo} ${|}
    StrCpy $R4 0
    ${Do}
      StrCpy $R5 $R0 1 $R4
      ${IfThen} $R5 == "" ${|} ${ExitDo} ${|}
      ${IfThen} $R5 S== $R3 ${|} StrCpy $R6 1 ${|}
      IntOp $R4 $R4 + 1
    ${Loop}
    ${IfThen} $R6 = 1 ${|} ${ExitDo} ${|}
    IntOp $R2 $R2 + 1
  ${Loop}
  StrCpy $R0 $R6
  Pop $R6
  Pop $R5
  Pop $R4
  Pop $R3
  Pop $R2
  Pop $R1
  Exch $R0
FunctionEnd

; 1 when the name on the stack is one the updater places (updater/SafeFileName.cpp holds the same
; rules), else 0: a plain name of a file directly inside a folder, at most 255 characters, not
; ending in a dot or a blank, no "..", no device name in any form, none of the updater's own names.
Function un.IsPlainFileName
  Exch $R0
  Push $R1
  Push $R2
  Push $R3
  StrCpy $R1 1
  StrLen $R2 $R0
  ${If} $R2 = 0
  ${OrIf} $R2 > 255
    StrCpy $R1 0
  ${EndIf}
  StrCpy $R2 $R0 1 -1
  ${If} $R2 == "."
  ${OrIf} $R2 == " "
    StrCpy $R1 0
  ${EndIf}
  ${WordFind} "$R0" ".." "E*" $R2
  ${IfThen} ${Errors} ${|} StrCpy $R2 0 ${|}
  ${IfThen} $R2 <> 0 ${|} StrCpy $R1 0 ${|}
  ${If} $R1 = 1
    Push $R0
    Push '${UNSAFE_NAME_CHARACTERS}'
    Call un.HoldsCharacterOf
    Pop $R2
    ${IfThen} $R2 = 1 ${|} StrCpy $R1 0 ${|}
  ${EndIf}
  ; The updater's own files (compared in any letter case).
  StrCpy $R2 $R0 "" -12
  ${If} $R2 == ".corvane-new"
  ${OrIf} $R2 == ".corvane-old"
    StrCpy $R1 0
  ${EndIf}
  StrCpy $R2 $R0 "" -16
  ${IfThen} $R2 == ".corvane-journal" ${|} StrCpy $R1 0 ${|}
  StrCpy $R2 $R0 "" -14
  ${IfThen} $R2 == ".corvane-files" ${|} StrCpy $R1 0 ${|}
  ; A device: the base name before the first dot, without its final blanks, in any letter case.
  ${WordFind} "$R0" "." "+1{" $R2
  ${Do}
    StrCpy $R3 $R2 1 -1
    ${IfThen} $R3 != " " ${|} ${ExitDo} ${|}
    StrCpy $R2 $R2 -1
  ${Loop}
  ${If} $R2 == "CON"
  ${OrIf} $R2 == "PRN"
  ${OrIf} $R2 == "AUX"
  ${OrIf} $R2 == "NUL"
  ${OrIf} $R2 == "CONIN$$"
  ${OrIf} $R2 == "CONOUT$$"
    StrCpy $R1 0
  ${EndIf}
  StrLen $R3 $R2
  ${If} $R3 = 4
    StrCpy $R3 $R2 3
    ${If} $R3 == "COM"
    ${OrIf} $R3 == "LPT"
      StrCpy $R3 $R2 1 3
      Push $R3
      Push "${PORT_DIGITS}"
      Call un.HoldsCharacterOf
      Pop $R3
      ${IfThen} $R3 = 1 ${|} StrCpy $R1 0 ${|}
    ${EndIf}
  ${EndIf}
  StrCpy $R0 $R1
  Pop $R3
  Pop $R2
  Pop $R1
  Exch $R0
FunctionEnd
