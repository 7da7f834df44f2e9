#!/usr/bin/env bash
# Runs a test program on a display server of its own: weston's headless backend for "wayland",
# Xvfb with the openbox window manager for "xcb". When the server cannot start, says why and
# exits 77, which CTest counts as a skipped test.
#   run_on_display.sh wayland|xcb PROGRAM [ARGUMENT...]
set -euo pipefail
platform=$1
shift
runtime=$(mktemp -d)
chmod 700 "$runtime"
servers=()
cleanup() {
    [ ${#servers[@]} -eq 0 ] || kill "${servers[@]}" 2>/dev/null || true
    rm -rf "$runtime"
}
trap cleanup EXIT
skip() {
    echo "Skipped: $*"
    [ ! -s "$runtime/server.log" ] || sed 's/^/    /' "$runtime/server.log"
    exit 77
}
window_manager_runs() {
    xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"
}
# wait_for DESCRIPTION COMMAND...: up to ten seconds for COMMAND to succeed.
wait_for() {
    local what=$1 tries
    shift
    for tries in $(seq 100); do
        "$@" 2>/dev/null && return 0
        kill -0 "${servers[-1]}" 2>/dev/null || skip "$what stopped as it started"
        sleep 0.1
    done
    skip "$what did not start within ten seconds"
}

export XDG_RUNTIME_DIR=$runtime
case $platform in
wayland)
    command -v weston >/dev/null || skip "weston is not installed"
    weston --backend=headless-backend.so --socket=wayland-test --idle-time=0 >"$runtime/server.log" 2>&1 &
    servers+=($!)
    wait_for weston test -S "$runtime/wayland-test"
    export WAYLAND_DISPLAY=wayland-test QT_QPA_PLATFORM=wayland
    ;;
xcb)
    command -v Xvfb >/dev/null || skip "Xvfb is not installed"
    command -v openbox >/dev/null || skip "openbox is not installed"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$runtime/display" >"$runtime/server.log" 2>&1 &
    servers+=($!)
    wait_for Xvfb test -s "$runtime/display"
    export DISPLAY=:$(cat "$runtime/display") QT_QPA_PLATFORM=xcb
    openbox >>"$runtime/server.log" 2>&1 &
    servers+=($!)
    wait_for openbox window_manager_runs
    ;;
*)
    echo "unknown platform $platform" >&2
    exit 2
    ;;
esac
"$@"
