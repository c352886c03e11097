# Shared by scripts/test, scripts/bench and scripts/demo: installs what is missing,
# builds the presets, and prepares the project's own Wine prefix and X display.
# Sourced, not run.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD="$ROOT/build"
JOBS=${JOBS:-$(nproc)}

log() { printf '== %s\n' "$*" >&2; }

# Installs the Debian packages among "$@" that are not installed yet (as root).
ensure_packages() {
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    log "installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

ensure_build_tools() {
    ensure_packages cmake make g++ libgtest-dev googletest libbenchmark-dev \
        g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 xvfb x11-utils
}

# The formatter is pinned: another clang-format version formats some constructs differently.
CLANG_FORMAT=clang-format-14
ensure_format_tools() {
    ensure_packages git "$CLANG_FORMAT"
}

# Prints the C++ sources (relative to the root) that the pinned clang-format would change.
check_format() {
    ensure_format_tools >&2 || return 1
    local f files
    files=$(cd "$ROOT" && git ls-files -- '*.cpp' '*.h')
    # No list at all (not a git checkout) must not pass as "all formatted".
    [ -n "$files" ] || { echo "(no C++ sources listed by git)"; return 1; }
    for f in $files; do
        "$CLANG_FORMAT" --style=file "$ROOT/$f" | cmp -s - "$ROOT/$f" || echo "$f"
    done
}

# The 32-bit compilers, NSIS and zip, for scripts/package and the 32-bit tests (unzip for
# the installer's round trips, xdotool to answer the installer's questions in them).
ensure_package_tools() {
    ensure_packages g++-mingw-w64-i686-posix binutils-mingw-w64-i686 nsis zip unzip xdotool
}

# clang with its runtime libraries (libFuzzer and the sanitizers), for scripts/fuzz only.
ensure_fuzz_tools() {
    ensure_packages cmake make clang libclang-rt-14-dev
}

# Configures and builds one preset.
build_preset() {
    local preset=$1
    log "configure and build: $preset"
    cmake --preset "$preset" -S "$ROOT" >"$BUILD/$preset.configure.log" 2>&1 ||
        { cat "$BUILD/$preset.configure.log"; return 1; }
    cmake --build --preset "$preset" -j "$JOBS" 2>&1 | grep -E 'error:|warning:|\*\*\*|Error [0-9]' | head -n 60
    return "${PIPESTATUS[0]}"
}

# The project's own Wine prefix under build/ (or the one given), created once and reused.
setup_wine() {
    export WINEPREFIX="${1:-$BUILD/wineprefix}"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    # A 64-bit prefix made while 32-bit Wine was missing has an empty 32-bit system folder;
    # once wine32 is installed the wine launcher starts no program in it ("could not load
    # kernel32.dll") and wineboot -u does not fill it: the prefix is made again.
    if [ -x /usr/lib/wine/wine ] && grep -q '^#arch=win64' "$WINEPREFIX/system.reg" 2>/dev/null &&
        [ -z "$(ls -A "$WINEPREFIX/drive_c/windows/syswow64" 2>/dev/null)" ]; then
        log "making the Wine prefix $WINEPREFIX again: it lacks 32-bit Wine's system folder"
        wineserver -k >/dev/null 2>&1 || true
        rm -rf "$WINEPREFIX"
    fi
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        log "creating the Wine prefix $WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w
    fi
    # Without a window manager (Xvfb), a managed Wine window waits about 2 s each time it
    # is shown or destroyed and gets no frame; unmanaged windows draw their own frames.
    if ! grep -q '"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
        wineserver -w
    fi
}

# Whether this machine runs 32-bit x86 programs at all: returns 0 when it does, 2 when the
# kernel refuses the program as of an unknown format ("Exec format error": some kernels are
# built or booted without IA-32 emulation, and there no 32-bit program runs, 32-bit Wine
# included) and 1, with the reason, when the probe failed otherwise (then nothing is known).
# Probed with the smallest i386 program, so that nothing needs installing first: an ELF header,
# one loadable segment, and the code of exit(0) through int 0x80. It is written under the build
# folder, not the temporary one, which may be mounted without the right to run programs.
machine_runs_32bit() {
    local probe="$BUILD/probe-32bit" output status=0
    mkdir -p "$BUILD" || return 1
    printf '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >"$probe" &&
        chmod +x "$probe" || { log "the 32-bit probe could not be written to $probe"; return 1; }
    # The shell reports the kernel's ENOEXEC for a binary file as status 126 with strerror's
    # words, in English under the C locale.
    output=$(export LC_ALL=C; "$probe" 2>&1) || status=$?
    rm -f "$probe"
    [ $status -eq 0 ] && return 0
    if [ $status -eq 126 ] && [[ $output == *"Exec format error"* ]]; then
        return 2
    fi
    log "the 32-bit probe $probe did not run (exit status $status): $output"
    return 1
}

# 32-bit Wine (Debian: the i386 architecture and wine32), for the 32-bit build's tests and
# for the installer, itself a 32-bit program. Added only when missing. Returns 2 on a machine
# whose kernel runs no 32-bit executable (IA-32 emulation off): there wine32 is not installed,
# since Debian's wine launcher would then start its 32-bit loader for every program and fail,
# 64-bit ones included. Returns 1 when the probe or the installation failed.
ensure_wine32() {
    local probed=0
    machine_runs_32bit || probed=$?
    [ $probed -eq 0 ] || return $probed
    dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed' && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        log "adding the i386 architecture"
        $sudo dpkg --add-architecture i386 || return 1
    fi
    ensure_packages wine32:i386
}

# The project's 32-bit Wine prefix under build/ (WINEARCH=win32): a 32-bit Windows, as Rhino 3
# and 4 ran on, where the installer chooses the 32-bit program. Created once and reused.
setup_wine32() {
    WINEARCH=win32 setup_wine "$BUILD/wineprefix-x86"
}

# Starts Xvfb on a free display unless one is already set and usable.
XVFB_PID=""
start_xvfb() {
    if [ -n "${DISPLAY:-}" ] && [ -z "${CURTATE_FORCE_XVFB:-}" ] && xdpyinfo >/dev/null 2>&1; then
        return 0
    fi
    local n=90
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 1 50); do
        xdpyinfo >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    log "Xvfb did not start on $DISPLAY"
    return 1
}

# Ends what this script started: its Xvfb and the wineserver of its own prefix.
stop_session() {
    if [ -n "${WINEPREFIX:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
    if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" >/dev/null 2>&1 || true; fi
}
