; The per-user installer of the LumoraVeldan client, with its uninstaller.
;   makensis -INPUTCHARSET UTF8 -DCLIENT=<Corvane.exe> -DICON=<vld.ico> -DSIDE_PICTURE=<164x314 .bmp>
;            -DOUTFILE=<setup.exe> Corvane.nsi
; No administrator rights: everything goes to the player's own folders and HKCU, so the updater
; can later replace the client's files without elevation.

Unicode true
ManifestSupportedOS all
RequestExecutionLevel user
SetCompressor /SOLID lzma

!ifndef CLIENT | ICON | SIDE_PICTURE | OUTFILE
  !error "define CLIENT, ICON, SIDE_PICTURE and OUTFILE"
!endif

; The version shown everywhere is the client's own, read from its version resource: major,
; minor and revision (the fourth number), as the client names itself to the update check.
!getdllversion "${CLIENT}" CLIENT_VERSION_
!define VERSION "${CLIENT_VERSION_1}.${CLIENT_VERSION_2}.${CLIENT_VERSION_4}"
!define PRODUCT "LumoraVeldan客户端"
!define PUBLISHER "Corvane"
!define EXE "Corvane.exe"
!define UNINSTALLER "uninst.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\LumoraVeldan"
!define EMULATION_KEY "Software\Microsoft\Internet Explorer\Main\FeatureControl\FEATURE_BROWSER_EMULATION"
; The browser control's document mode for the client: Internet Explorer 11, edge mode.
!define EMULATION_MODE 11001

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\LumoraVeldan"
; An installed version's folder wins: installing again upgrades in place.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

!include MUI2.nsh
!include LogicLib.nsh
!include WordFunc.nsh
!include TextFunc.nsh
!include client.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${SIDE_PICTURE}"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TEXT "此程序将引导你完成 $(^NameDA) 的安装。$\r$\n$\r$\n客户端安装在你自己的用户文件夹中，无需管理员权限；以后的更新也会直接替换那里的文件。如果游戏正在运行，请先退出。$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CheckFolderWritable
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "SimpChinese"

LangString ClientRunning ${LANG_SIMPCHINESE} "${PRODUCT}正在运行。请先退出游戏，再点“重试”继续；点“取消”放弃。"
LangString FolderNotWritable ${LANG_SIMPCHINESE} "无法写入此文件夹：$\r$\n$INSTDIR$\r$\n请选择一个您有权写入的文件夹（客户端更新时需要写入它）。"

VIProductVersion "${CLIENT_VERSION_1}.${CLIENT_VERSION_2}.${CLIENT_VERSION_3}.${CLIENT_VERSION_4}"
VIFileVersion "${CLIENT_VERSION_1}.${CLIENT_VERSION_2}.${CLIENT_VERSION_3}.${CLIENT_VERSION_4}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductName" "LumoraVeldan Client"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileDescription" "${PRODUCT} 安装程序"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "LegalCopyright" "${PUBLISHER}"

!insertmacro CLIENT_FUNCTIONS ""
!insertmacro CLIENT_FUNCTIONS "un."

; The folder must be one the player (and so the updater) can write, without elevation.
Function CheckFolderWritable
  ClearErrors
  CreateDirectory "$INSTDIR"
  FileOpen $0 "$INSTDIR\corvane-write-test.tmp" w
  ${If} ${Errors}
    RMDir "$INSTDIR"
    MessageBox MB_OK|MB_ICONEXCLAMATION "$(FolderNotWritable)"
    Abort
  ${EndIf}
  FileClose $0
  Delete "$INSTDIR\corvane-write-test.tmp"
  ; A folder made just for the test goes again: the player may still cancel.
  RMDir "$INSTDIR"
FunctionEnd

Section "Install"
  Call WaitForClientToClose
  ; Installed before in another folder: that copy goes first, as its own uninstaller takes it (the
  ; player's files there stay), so that the list entry and the shortcuts name the only copy.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
  ${AndIf} $0 != $INSTDIR
  ${AndIf} ${FileExists} "$0\${UNINSTALLER}"
    ; Run where it lies, so that it is waited for; it cannot remove itself then.
    ExecWait '"$0\${UNINSTALLER}" /S _?=$0' $1
    ${If} $1 = 0
      Delete "$0\${UNINSTALLER}"
      RMDir "$0"
    ${EndIf}
  ${EndIf}
  SetOutPath "$INSTDIR"
  File "/oname=${EXE}" "${CLIENT}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  ; SetOutPath made $INSTDIR the shortcuts' working folder.
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0
  CreateShortcut "$DESKTOP\${PRODUCT}.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE},0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize 0 $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

  ; The client writes nothing to the registry itself; its browser control's mode is set here.
  WriteRegDWORD HKCU "${EMULATION_KEY}" "${EXE}" ${EMULATION_MODE}
SectionEnd

Section "Uninstall"
  Call un.WaitForClientToClose
  ; Files updates placed, as the updater recorded them after each commit; a manifest itself is
  ; never read here, since none but the updater has checked it.
  Call un.DeleteUpdatedFiles
  ; What an updater that was ended half-way left, and its record: its own names, which no player
  ; file has.
  Delete "$INSTDIR\*.corvane-new"
  Delete "$INSTDIR\*.corvane-old"
  Delete "$INSTDIR\*.corvane-journal"
  Delete "$INSTDIR\${PLACED_FILES}"
  Delete "$INSTDIR\${EXE}"
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Only when empty: a folder the player chose may hold files of theirs.
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$DESKTOP\${PRODUCT}.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegValue HKCU "${EMULATION_KEY}" "${EXE}"

  ; The client's files in the temporary folder; no client runs now.
  Delete "$TEMP\update.txt"
  Delete "$TEMP\Update.exe"
  Delete "$TEMP\vld.ico"
  ; The folders the updater ran from, each made for one update.
  FindFirst $0 $1 "$TEMP\${UPDATER_FOLDER_PREFIX}*"
  ${DoWhile} $1 != ""
    Delete "$TEMP\$1\Update.exe"
    RMDir "$TEMP\$1"
    FindNext $0 $1
  ${Loop}
  FindClose $0
SectionEnd
