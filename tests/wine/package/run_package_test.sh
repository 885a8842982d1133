#!/bin/sh
# Runs the package test in a fresh Wine prefix of its own (installs touch the user's folders and
# HKCU), with two demo portals: the main one (the client's own version, so no update is offered)
# and one that offers the next version of the client, 1.2.0, as the update. The program finds
# them through CORVANE_TEST_PORTAL and CORVANE_TEST_PORTAL_UPDATE.
set -eu
CORVANE_REPO=$(cd "$(dirname "$0")/../../.." && pwd)
. "$CORVANE_REPO/tools/lib.sh"
work=$(mktemp -d)
export WINEPREFIX="$REPO/build/wineprefix-package"
make_prefix "$WINEPREFIX"
# Wine links the user's desktop and documents to the Unix home, and mirrors Start-menu shortcuts
# into the host's menus: keep what the installer makes inside the prefix.
for folder in "$WINEPREFIX"/drive_c/users/*/*; do
    if [ -L "$folder" ]; then
        rm "$folder"
        mkdir "$folder"
    fi
done
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe="

cleanup() {
    stop_wineserver
    for p in ${PORTAL_PIDS:-}; do kill "$p" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT INT TERM
start_demo_portal "$work" main --log "$work/requests.log"
# The update the installed client is offered: kept in this one line and PortalUpdate.cpp. The
# client comes last: the updater starts the last file it downloaded.
start_demo_portal "$work" update --version 1.2.0 --files "$CORVANE_TEST_NEXT_DIR" \
    --manifest-line "demo20000.bin|{base}/files/demo20000.bin" --manifest-line "Corvane.exe|{base}/files/Corvane.exe"
wait_for_portals "$work" main update
export CORVANE_TEST_PORTAL="$(portal_url "$work" main)"
export CORVANE_TEST_PORTAL_UPDATE="$(portal_url "$work" update)"
export CORVANE_TEST_PORTAL_LOG="$work/requests.log"
start_wineserver
"$REPO/tools/wine-exec" "$@"
