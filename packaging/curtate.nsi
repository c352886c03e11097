; The Windows installer of curtate.exe: per user, without administrator rights, into the
; user's programs folder, with a Start-menu shortcut and an uninstaller listed among the
; user's installed programs. The 64-bit program on 64-bit Windows 7 and later, the 32-bit one
; on every other Windows. /S installs and uninstalls silently.
;
; An installed copy is replaced where it is: the folder recorded in the uninstall entry is the
; default, and a copy in another folder chosen by the user is removed once the new one stands,
; so there is one copy and one entry. Nothing of the installed copy changes before every new
; file has been written beside it; a failure puts the previous files back and leaves its entry.
;
; Exit codes besides NSIS's own (0 done, 1 cancelled by the user, 2 failed):
;   3  Curtate is running (silently; interactively the user may close it and retry)
;   4  a newer version is installed (silently; interactively the user is asked)
; The uninstaller run as "uninstall.exe /S" copies itself to the temporary folder and ends at
; once with 0; run as "uninstall.exe /S _?=<its folder>" it works in place and its exit code
; is 3 while Curtate runs and 2 when a program file could not be removed.
;
; scripts/package defines VERSION (the release's version), EXE64, EXE32, README and OUTFILE.

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestSupportedOS all

!include "LogicLib.nsh"
!include "x64.nsh"
!include "WinVer.nsh"
!include "WordFunc.nsh"

!define PRODUCT "Curtate"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Curtate"
; The kernel object a running curtate.exe holds for its whole run (its single-instance marker,
; kInstanceMutexName in the program's start-up code): while it exists, curtate.exe is in use.
!define INSTANCE_MUTEX "Local\CurtateCycloidPanel"
!define EXIT_TOOL_RUNNING 3
!define EXIT_NEWER_INSTALLED 4

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
; The per-user programs folder (%LOCALAPPDATA%\Programs, where Windows 7 and later put
; per-user programs; under Local Settings\Application Data on Windows XP), unless the uninstall
; entry records where the installed copy is.
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "LegalCopyright" ""

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; Returns when curtate.exe is not running. While it runs: asks the user to close it (Retry /
; Cancel); Cancel, and every silent run, ends the installer or uninstaller with
; EXIT_TOOL_RUNNING before anything was touched.
!macro WaitUntilToolEnds un
Function ${un}WaitUntilToolEnds
    Push $0
    ${Do}
        ; SYNCHRONIZE access is enough to see that the object exists.
        System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${INSTANCE_MUTEX}") p.r0'
        ${If} $0 P= 0
            ${Break}
        ${EndIf}
        System::Call 'kernel32::CloseHandle(p r0)'
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Curtate is running. Close its panel (in Rhino's window), then choose Retry." /SD IDCANCEL IDRETRY +3
        SetErrorLevel ${EXIT_TOOL_RUNNING}
        Quit
    ${Loop}
    Pop $0
FunctionEnd
!macroend
!insertmacro WaitUntilToolEnds ""
!insertmacro WaitUntilToolEnds "un."

Function .onInit
    SetShellVarContext current
    Call WaitUntilToolEnds
    ; An older version over a newer one only when the user says so.
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "DisplayVersion"
    ${If} $0 != ""
        ${VersionCompare} $0 "${VERSION}" $1
        ${If} $1 == 1
            MessageBox MB_YESNO|MB_ICONQUESTION "Curtate $0 is installed, which is newer than this version (${VERSION}). Replace it with ${VERSION}?" /SD IDNO IDYES +3
            SetErrorLevel ${EXIT_NEWER_INSTALLED}
            Quit
        ${EndIf}
    ${EndIf}
FunctionEnd

Function un.onInit
    SetShellVarContext current
FunctionEnd

Function DiscardStaged
    Delete "$INSTDIR\curtate.exe.new"
    Delete "$INSTDIR\README.txt.new"
    Delete "$INSTDIR\uninstall.exe.new"
FunctionEnd

; After a failure (the user's Abort on a file that could not be written, too): the installed
; copy was not touched yet, or has been put back.
Function .onInstFailed
    Call DiscardStaged
FunctionEnd

!macro Fail what
    Call DiscardStaged
    MessageBox MB_OK|MB_ICONSTOP "${what} Curtate was not installed; an installed copy is left as it was." /SD IDOK
    SetErrorLevel 2
    Abort
!macroend

; Moves the installed <name> aside as <name>.old; $R<n> is 1 once it was moved (a failure sets
; the error flag).
!macro MoveAside name flag
    StrCpy ${flag} 0
    ${If} ${FileExists} "$INSTDIR\${name}"
        Rename "$INSTDIR\${name}" "$INSTDIR\${name}.old"
        ${IfNot} ${Errors}
            StrCpy ${flag} 1
        ${EndIf}
    ${EndIf}
!macroend

!macro PutBack name flag
    ${If} ${flag} == 1
        Delete "$INSTDIR\${name}"
        Rename "$INSTDIR\${name}.old" "$INSTDIR\${name}"
    ${EndIf}
!macroend

Section "Curtate"
    ; Started again while the pages were shown?
    Call WaitUntilToolEnds
    ReadRegStr $R0 HKCU "${UNINSTALL_KEY}" "InstallLocation"

    ; Every new file beside the installed ones under a name of its own.
    SetOutPath "$INSTDIR"
    ClearErrors
    ; The 64-bit program imports functions that kernel32 has from Windows 7 on.
    ${If} ${RunningX64}
    ${AndIf} ${AtLeastWin7}
        File "/oname=curtate.exe.new" "${EXE64}"
    ${Else}
        File "/oname=curtate.exe.new" "${EXE32}"
    ${EndIf}
    File "/oname=README.txt.new" "${README}"
    WriteUninstaller "$INSTDIR\uninstall.exe.new"
    ${If} ${Errors}
        !insertmacro Fail "The files could not be written into $INSTDIR."
    ${EndIf}

    ; Leftovers of an earlier run that could not remove them; then the swap, undone on failure.
    Delete "$INSTDIR\curtate.exe.old"
    Delete "$INSTDIR\README.txt.old"
    Delete "$INSTDIR\uninstall.exe.old"
    ClearErrors
    !insertmacro MoveAside curtate.exe $R1
    !insertmacro MoveAside README.txt $R2
    !insertmacro MoveAside uninstall.exe $R3
    ${IfNot} ${Errors}
        Rename "$INSTDIR\curtate.exe.new" "$INSTDIR\curtate.exe"
        Rename "$INSTDIR\README.txt.new" "$INSTDIR\README.txt"
        Rename "$INSTDIR\uninstall.exe.new" "$INSTDIR\uninstall.exe"
    ${EndIf}
    ${If} ${Errors}
        !insertmacro PutBack curtate.exe $R1
        !insertmacro PutBack README.txt $R2
        !insertmacro PutBack uninstall.exe $R3
        !insertmacro Fail "The files in $INSTDIR could not be replaced."
    ${EndIf}
    Delete "$INSTDIR\curtate.exe.old"
    Delete "$INSTDIR\README.txt.old"
    Delete "$INSTDIR\uninstall.exe.old"

    ; The copy the entry recorded in another folder gives way to this one.
    ${If} $R0 != ""
    ${AndIf} $R0 != $INSTDIR
    ${AndIf} ${FileExists} "$R0\uninstall.exe"
        Delete "$R0\curtate.exe"
        Delete "$R0\README.txt"
        Delete "$R0\uninstall.exe"
        RMDir "$R0"
    ${EndIf}

    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\curtate.exe"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\curtate.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The program first; the shortcut, the uninstaller and the entry only once it is gone, so that
; a copy that could not be removed stays listed and can be removed later.
!macro RemoveOrStop name
    Delete "$INSTDIR\${name}"
    ${If} ${FileExists} "$INSTDIR\${name}"
        MessageBox MB_OK|MB_ICONSTOP "$INSTDIR\${name} could not be removed; Curtate stays installed." /SD IDOK
        SetErrorLevel 2
        Abort
    ${EndIf}
!macroend

Section "Uninstall"
    Call un.WaitUntilToolEnds
    ; The program first: when it cannot go, nothing else has gone.
    !insertmacro RemoveOrStop curtate.exe
    !insertmacro RemoveOrStop README.txt
    Delete "$INSTDIR\curtate.exe.old"
    Delete "$INSTDIR\README.txt.old"
    Delete "$INSTDIR\uninstall.exe.old"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    ; The entry and the shortcut are this copy's only when the entry records this folder.
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 == $INSTDIR
        Delete "$SMPROGRAMS\${PRODUCT}.lnk"
        DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ${EndIf}
SectionEnd
