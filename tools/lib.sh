# Shared by the tools: paths, the private Wine prefix and the virtual display.
# Source it; it defines functions and never changes the caller's ~/.wine.

# Scripts outside tools/ set CORVANE_REPO before sourcing this file.
REPO=${CORVANE_REPO:-$(cd "$(dirname "$0")/.." && pwd)}
BUILD_WIN="$REPO/build/win"
BUILD_NATIVE="$REPO/build/native"

export LANG=zh_CN.UTF-8
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml="
export WINEARCH=win32

die() { echo "$(basename "$0"): $*" >&2; exit 1; }

# Compiles through ccache when the machine has it (a developer's choice; set-up never installs it).
launcher_flags() {
    if command -v ccache >/dev/null 2>&1; then
        echo "-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
    fi
}

# configure_win [-DNAME=value...]: further cache settings go to CMake.
configure_win() {
    # shellcheck disable=SC2046
    cmake -S "$REPO" -B "$BUILD_WIN" -DCMAKE_BUILD_TYPE=Release $(launcher_flags) \
        -DCMAKE_TOOLCHAIN_FILE="$REPO/cmake/toolchain-mingw32.cmake" "$@" >/dev/null ||
        die "configuring the Windows build failed"
}

build_win() {
    configure_win
    cmake --build "$BUILD_WIN" -j "$(nproc)" "$@" || die "the Windows build failed"
}

# make_prefix DIR: a fresh 32-bit Wine prefix in DIR, made from a cached template when there is
# one (a new prefix takes half a minute, a copy a few seconds).
make_prefix() {
    dir=$1
    template="$REPO/build/wine-template"
    if [ ! -f "$template/system.reg" ]; then
        rm -rf "$template"
        WINEPREFIX="$template" wineboot -u >/dev/null 2>&1 || die "wineboot failed"
        WINEPREFIX="$template" wineserver -w
    fi
    rm -rf "$dir"
    cp -a "$template" "$dir"
}

# start_demo_portal DIR NAME [options...]: a demo portal in the background that writes its port
# to DIR/NAME.port; its process id is added to PORTAL_PIDS.
start_demo_portal() {
    dir=$1
    name=$2
    shift 2
    python3 "$REPO/tools/demo_portal/portal.py" --port 0 --port-file "$dir/$name.port" "$@" \
        >/dev/null 2>&1 </dev/null &
    PORTAL_PIDS="${PORTAL_PIDS:-} $!"
}

# wait_for_portals DIR NAME...: until each named portal listens; its address is then
# `portal_url DIR NAME`.
wait_for_portals() {
    dir=$1
    shift
    for name in "$@"; do
        for _ in $(seq 100); do
            [ -s "$dir/$name.port" ] && break
            sleep 0.1
        done
        [ -s "$dir/$name.port" ] || die "the demo portal $name did not start"
    done
}
portal_url() { echo "http://127.0.0.1:$(cat "$1/$2.port")"; }

# start_display: a virtual X display when there is none; sets DISPLAY and XVFB_PID.
start_display() {
    XVFB_PID=
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
        return
    fi
    for n in $(seq 90 120); do
        [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        export DISPLAY=":$n"
        for _ in $(seq 50); do
            xdpyinfo >/dev/null 2>&1 && return
            sleep 0.1
        done
        kill "$XVFB_PID" 2>/dev/null
    done
    die "could not start Xvfb"
}

stop_display() {
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
    XVFB_PID=
}

# A persistent wineserver keeps Wine's start-up cost per program low. Its output must not hold
# the caller's pipes open.
# The first program in a prefix also starts Wine's services, which inherit its standard output;
# start them here with ours closed, so that no test's pipe stays open after the test.
start_wineserver() {
    wineserver -p >/dev/null 2>&1 </dev/null &
    wine cmd /c exit >/dev/null 2>&1 </dev/null || die "Wine does not start programs"
}
stop_wineserver() { wineserver -k >/dev/null 2>&1 || true; }

# start_lanes N: N lanes for Wine test programs, each a fresh prefix (build/wineprefix-test-<n>),
# a wineserver and a virtual display of its own, described in build/lanes/<n>.env for
# tools/in-lane. stop_lanes ends them.
start_lanes() {
    stop_lanes
    mkdir -p "$REPO/build/lanes"
    LANE_XVFB_PIDS=
    for lane in $(seq "$1"); do
        prefix="$REPO/build/wineprefix-test-$lane"
        make_prefix "$prefix"
        unset DISPLAY
        start_display
        LANE_XVFB_PIDS="$LANE_XVFB_PIDS $XVFB_PID"
        export WINEPREFIX="$prefix"
        start_wineserver
        mkdir -p "$REPO/build/lanes/$lane"
        cat >"$REPO/build/lanes/$lane.env" <<ENV
export WINEPREFIX='$prefix'
export DISPLAY='$DISPLAY'
export CORVANE_TEST_LANE_DIR='$REPO/build/lanes/$lane'
ENV
    done
}
stop_lanes() {
    for env in "$REPO"/build/lanes/*.env; do
        [ -f "$env" ] || continue
        (. "$env" && stop_wineserver)
    done
    for pid in ${LANE_XVFB_PIDS:-}; do kill "$pid" 2>/dev/null; done
    LANE_XVFB_PIDS=
    rm -rf "$REPO/build/lanes"
}
