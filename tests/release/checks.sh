# Sourced by the installer's round trips: counted checks, a JUnit report of their count, and
# the prefix's folders and uninstall entry. The sourcing script sets `report` (the report's
# path) and `name` (the report's suite name and the summary's label) first.
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Curtate'
checks=0
failures=()
check() {  # check DESCRIPTION COMMAND...
    local what=$1
    shift
    checks=$((checks + 1))
    "$@" >/dev/null 2>&1 || failures+=("$what")
}
# check_exit DESCRIPTION CODE COMMAND...: the command ends with exit code CODE.
check_exit() {
    local what=$1 want=$2 got=0
    shift 2
    checks=$((checks + 1))
    "$@" >/dev/null 2>&1 || got=$?
    [ "$got" -eq "$want" ] || failures+=("$what (exit code $got, not $want)")
}
unix_path_of() {  # the Unix path of a Windows folder variable of the prefix (LOCALAPPDATA, APPDATA)
    winepath -u "$(wine cmd /c echo "%$1%" 2>/dev/null | tr -d '\r')" 2>/dev/null
}
entry_value() {  # the uninstall entry's value NAME, empty when there is none
    wine reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$1 *REG_[A-Z_]* *//p"
}
finish() {
    mkdir -p "$(dirname "$report")"
    printf '<?xml version="1.0" encoding="UTF-8"?>\n<testsuites tests="%d" failures="%d" errors="0" name="%s">\n</testsuites>\n' \
        "$checks" "${#failures[@]}" "$name" >"$report"
    if [ ${#failures[@]} -gt 0 ]; then
        printf '%s: failed:\n' "$name"
        printf '  %s\n' "${failures[@]}"
        exit 1
    fi
    printf '%s: %d checks passed\n' "$name" "$checks"
    exit 0
}
