; The Windows installer of curtate.exe: per user, without administrator rights, into the
; user's programs folder, with a Start-menu shortcut and an uninstaller listed among the
; user's installed programs. The 64-bit program on 64-bit Windows 7 and later, the 32-bit one
; on every other Windows. /S installs and uninstalls silently.
;
; An installed copy is replaced where it is: the folder recorded in the uninstall entry is the
; default, and a copy in another folder chosen by the user is removed once the new one stands,
; so there is one copy and one entry. Nothing of the installed copy changes before every new
; file has been written beside it; a failure puts the previous files back and leaves its entry.
; Each step is checked, and no file is deleted while it is the only copy of one.
;
; Exit codes besides NSIS's own (0 done, 1 cancelled by the user, 2 failed, the installed copy
; left as it was):
;   3  Curtate is running (silently; interactively the user may close it and retry)
;   4  a newer version is installed (silently; interactively the user is asked)
;   5  failed, and a file of the installed copy could not be put back: it is left in its folder
;      as <name>.old (the message names each), and the next run renames it back first
;   6  installed, but the copy the entry recorded in another folder could not be removed
; The uninstaller run as "uninstall.exe /S" copies itself to the temporary folder and ends at
; once with 0; run as "uninstall.exe /S _?=<its folder>" it works in place, its exit code is
; 3 while Curtate runs and 2 when a file could not be removed (the entry stays; the message
; says whether the copy is whole or partly removed), and it leaves its own uninstall.exe and
; the folder behind: a running program's file cannot be deleted.
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
!define EXIT_LEFT_ASIDE 5
!define EXIT_OTHER_COPY_LEFT 6

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

; Pops a folder and pushes 1 when it is $INSTDIR, 0 when it is another folder and "" when that
; cannot be told. The same folder may be written otherwise (a short name, another drive letter
; mapped to it, a junction, "..", a trailing "\"), so the two are compared by what they hold: a
; file written into $INSTDIR under a name of this process's own shows in the other.
!macro IsInstallFolder un
Function ${un}IsInstallFolder
    Exch $0
    Push $1
    Push $2
    System::Call 'kernel32::GetCurrentProcessId() i.r1'
    StrCpy $1 "curtate-setup-$1.tmp"
    ClearErrors
    FileOpen $2 "$INSTDIR\$1" w
    ${If} ${Errors}
        StrCpy $0 ""
    ${Else}
        FileClose $2
        ${If} ${FileExists} "$0\$1"
            StrCpy $0 1
        ${Else}
            StrCpy $0 0
        ${EndIf}
        Delete "$INSTDIR\$1"
    ${EndIf}
    Pop $2
    Pop $1
    Exch $0
FunctionEnd
!macroend
!insertmacro IsInstallFolder ""
!insertmacro IsInstallFolder "un."

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
; copy was not touched yet, has been put back, or was left aside as the message said.
Function .onInstFailed
    Call DiscardStaged
FunctionEnd

!macro Fail what
    Call DiscardStaged
    MessageBox MB_OK|MB_ICONSTOP "${what} Curtate was not installed; an installed copy is left as it was." /SD IDOK
    SetErrorLevel 2
    Abort
!macroend

; Files of the installed copy are in $INSTDIR only as the .old files listed in $R5 (each after
; a blank): said, and the installer ends. Nothing deletes an .old file whose program file is
; missing; the next run renames it back first.
!macro FailAside what
    Call DiscardStaged
    MessageBox MB_OK|MB_ICONSTOP "${what} Curtate was not installed, and the installed copy is left in $INSTDIR with these files renamed:$R5. Rename each back without its .old ending, or run this installer again, which does that first." /SD IDOK
    SetErrorLevel ${EXIT_LEFT_ASIDE}
    Abort
!macroend

; Renames <name>.old back to <name> when <name> is missing: the installed copy that an earlier
; run moved aside and could not put back. One that cannot be renamed is added to $R5.
!macro RestoreAside name
    ${IfNot} ${FileExists} "$INSTDIR\${name}"
    ${AndIf} ${FileExists} "$INSTDIR\${name}.old"
        ClearErrors
        Rename "$INSTDIR\${name}.old" "$INSTDIR\${name}"
        ${If} ${Errors}
            StrCpy $R5 "$R5 ${name}.old"
        ${EndIf}
    ${EndIf}
!macroend

; Each step of the swap runs only while every one before it succeeded; $R4 names the file whose
; step failed. (${Errors} clears the error flag, so each step clears it first and tests it
; right after.)
;
; Moves the installed <name> aside as <name>.old; ${flag} is 1 once it was moved.
!macro MoveAside name flag
    StrCpy ${flag} 0
    ${If} $R4 == ""
    ${AndIf} ${FileExists} "$INSTDIR\${name}"
        ClearErrors
        Rename "$INSTDIR\${name}" "$INSTDIR\${name}.old"
        ${If} ${Errors}
            StrCpy $R4 "${name}"
        ${Else}
            StrCpy ${flag} 1
        ${EndIf}
    ${EndIf}
!macroend

; Puts the new <name>.new in place.
!macro MoveIn name
    ${If} $R4 == ""
        ClearErrors
        Rename "$INSTDIR\${name}.new" "$INSTDIR\${name}"
        ${If} ${Errors}
            StrCpy $R4 "${name}"
        ${EndIf}
    ${EndIf}
!macroend

; Puts the installed <name> back from <name>.old (once moved aside: ${flag} is 1); an .old file
; that could not be put back is added to $R5.
!macro PutBack name flag
    ${If} ${flag} == 1
        ClearErrors
        Delete "$INSTDIR\${name}"
        ${IfNot} ${Errors}
            Rename "$INSTDIR\${name}.old" "$INSTDIR\${name}"
        ${EndIf}
        ${If} ${Errors}
            StrCpy $R5 "$R5 ${name}.old"
        ${EndIf}
    ${EndIf}
!macroend

; Leftovers of an earlier run: an .old file beside its program file.
!macro DeleteLeftOver name
    ${If} ${FileExists} "$INSTDIR\${name}"
        Delete "$INSTDIR\${name}.old"
    ${EndIf}
!macroend

; Removes the copy in the folder $R0 that the entry recorded, when that folder is another one
; than $INSTDIR. The program first; when it cannot go, that copy keeps its uninstaller and is
; left whole. $R6 is that folder when a file of its copy stays.
Function RemoveOtherCopy
    ${If} $R0 == ""
    ${OrIfNot} ${FileExists} "$R0\uninstall.exe"
        Return
    ${EndIf}
    Push $R0
    Call IsInstallFolder
    Pop $0
    ${If} $0 == 1
        Return
    ${ElseIf} $0 == ""
        StrCpy $R6 "$R0"
        Return
    ${EndIf}
    ClearErrors
    Delete "$R0\curtate.exe"
    ${If} ${Errors}
    ${OrIf} ${FileExists} "$R0\curtate.exe"
        StrCpy $R6 "$R0"
        Return
    ${EndIf}
    Delete "$R0\curtate.exe.old"
    Delete "$R0\README.txt"
    Delete "$R0\README.txt.old"
    Delete "$R0\uninstall.exe"
    Delete "$R0\uninstall.exe.old"
    ${If} ${FileExists} "$R0\curtate.exe.old"
    ${OrIf} ${FileExists} "$R0\README.txt*"
    ${OrIf} ${FileExists} "$R0\uninstall.exe*"
        StrCpy $R6 "$R0"
    ${EndIf}
    ; A folder that holds files of the user's own stays.
    RMDir "$R0"
FunctionEnd

Section "Curtate"
    ; Started again while the pages were shown?
    Call WaitUntilToolEnds
    ReadRegStr $R0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    StrCpy $R4 ""
    StrCpy $R5 ""
    StrCpy $R6 ""

    SetOutPath "$INSTDIR"
    !insertmacro RestoreAside curtate.exe
    !insertmacro RestoreAside README.txt
    !insertmacro RestoreAside uninstall.exe
    ${If} $R5 != ""
        !insertmacro FailAside "Files of the installed copy could not be renamed back."
    ${EndIf}

    ; Every new file beside the installed ones under a name of its own.
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

    ; The swap, undone on failure. A leftover that cannot be deleted stops its move aside.
    !insertmacro DeleteLeftOver curtate.exe
    !insertmacro DeleteLeftOver README.txt
    !insertmacro DeleteLeftOver uninstall.exe
    !insertmacro MoveAside curtate.exe $R1
    !insertmacro MoveAside README.txt $R2
    !insertmacro MoveAside uninstall.exe $R3
    !insertmacro MoveIn curtate.exe
    !insertmacro MoveIn README.txt
    !insertmacro MoveIn uninstall.exe
    ${If} $R4 != ""
        !insertmacro PutBack curtate.exe $R1
        !insertmacro PutBack README.txt $R2
        !insertmacro PutBack uninstall.exe $R3
        ${If} $R5 != ""
            !insertmacro FailAside "$INSTDIR\$R4 could not be replaced, and the installed copy could not be put back."
        ${EndIf}
        !insertmacro Fail "$INSTDIR\$R4 could not be replaced."
    ${EndIf}
    Delete "$INSTDIR\curtate.exe.old"
    Delete "$INSTDIR\README.txt.old"
    Delete "$INSTDIR\uninstall.exe.old"

    ; The copy the entry recorded in another folder gives way to this one.
    Call RemoveOtherCopy

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

    ${If} $R6 != ""
        MessageBox MB_OK|MB_ICONEXCLAMATION "Curtate ${VERSION} is installed in $INSTDIR. The copy installed before in $R6 could not be removed: remove it with its uninstall.exe, or delete that folder." /SD IDOK
        SetErrorLevel ${EXIT_OTHER_COPY_LEFT}
    ${EndIf}
SectionEnd

; Removes one file of the copy; a file still there counts as not removed, whatever Delete said
; (one held open with delete sharing stays until it is closed). One that cannot be removed
; stops the uninstaller with exit code 2 and a message that says whether something went before
; it ($R0 is 1 once a file went): the entry and the uninstaller stay, so that running it again
; removes the rest.
!macro RemoveOrStop name
    ${If} ${FileExists} "$INSTDIR\${name}"
        ClearErrors
        Delete "$INSTDIR\${name}"
        ${If} ${Errors}
        ${OrIf} ${FileExists} "$INSTDIR\${name}"
            ${If} $R0 == 1
                MessageBox MB_OK|MB_ICONSTOP "$INSTDIR\${name} could not be removed; Curtate is partly removed: run the uninstaller again." /SD IDOK
            ${Else}
                MessageBox MB_OK|MB_ICONSTOP "$INSTDIR\${name} could not be removed; Curtate stays installed." /SD IDOK
            ${EndIf}
            SetErrorLevel 2
            Abort
        ${EndIf}
        StrCpy $R0 1
    ${EndIf}
!macroend

; The program first; the shortcut, the uninstaller and the entry only once every other file is
; gone, so that a copy that could not be removed stays listed and can be removed later. Run in
; place ("_?="), the uninstaller cannot delete its own running file: uninstall.exe and the
; folder stay.
Section "Uninstall"
    Call un.WaitUntilToolEnds
    ; The entry and the shortcut are this copy's only when the entry records this folder.
    ReadRegStr $R1 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    StrCpy $R2 0
    ${If} $R1 != ""
        Push $R1
        Call un.IsInstallFolder
        Pop $R2
    ${EndIf}
    StrCpy $R0 0
    !insertmacro RemoveOrStop curtate.exe
    !insertmacro RemoveOrStop curtate.exe.old
    !insertmacro RemoveOrStop README.txt
    !insertmacro RemoveOrStop README.txt.old
    !insertmacro RemoveOrStop uninstall.exe.old
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    ${If} $R2 == 1
        Delete "$SMPROGRAMS\${PRODUCT}.lnk"
        DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ${EndIf}
SectionEnd
