# Sourced by the benchmarks: a display (Xvfb when there is none), a 32-bit Wine prefix of the
# benchmarks' own (made from the template prefix, booted first when there is none) and a
# wineserver kept for the run. Call bench_setup after setting REPO; cleanup is installed here.
. "$REPO/tools/lib.sh"
REPO=$(cd "$(dirname "$0")/../.." && pwd)  # lib.sh guessed it from tools/

bench_cleanup() {
    for f in ${BENCH_CLEANUP:-}; do $f; done
    if [ -n "${BENCH_WINESERVER:-}" ]; then stop_wineserver; fi
    stop_display
}

bench_setup() {
    start_display
    export WINEPREFIX="${WINEPREFIX:-$REPO/build/wineprefix-bench}"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then make_prefix "$WINEPREFIX"; fi
    trap 'bench_cleanup' EXIT INT TERM
    start_wineserver
    BENCH_WINESERVER=1
}

# bench_work [name ...]: a scratch directory for the run in $work, removed with it; the background
# processes whose ids the variables `name` hold when the benchmark ends are ended with it.
bench_work() {
    work=$(mktemp -d)
    BENCH_WORK_PIDS="$*"
    BENCH_CLEANUP="${BENCH_CLEANUP:-} bench_stop_work"
}
bench_stop_work() {
    for name in ${BENCH_WORK_PIDS:-}; do
        eval "pid=\${$name:-}"
        [ -n "$pid" ] && kill "$pid" 2>/dev/null
    done
    rm -rf "$work"
}

# bench_portal [options]: a demo portal for the run, with its address in PORTAL; it stops with
# the benchmark.
bench_portal() {
    BENCH_PORTAL_DIR=$(mktemp -d)
    BENCH_CLEANUP="${BENCH_CLEANUP:-} bench_stop_portal"
    start_demo_portal "$BENCH_PORTAL_DIR" bench "$@"
    wait_for_portals "$BENCH_PORTAL_DIR" bench
    PORTAL=$(portal_url "$BENCH_PORTAL_DIR" bench)
}
bench_stop_portal() {
    for pid in ${PORTAL_PIDS:-}; do kill "$pid" 2>/dev/null; done
    rm -rf "$BENCH_PORTAL_DIR"
}
