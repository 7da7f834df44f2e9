#!/usr/bin/env bash
# Runs a test program on a display server of its own: weston's headless backend for "wayland",
# Xvfb with the openbox window manager for "xcb". When the server cannot start, says why and
# exits 77, which CTest counts as a skipped test.
#   run_on_display.sh wayland|xcb PROGRAM [ARGUMENT...]
set -euo pipefail
platform=$1
shift
export XDG_RUNTIME_DIR=$(mktemp -d)
chmod 700 "$XDG_RUNTIME_DIR"
log="$XDG_RUNTIME_DIR/server.log"
servers=()
trap 'kill "${servers[@]}" 2>/dev/null || true; rm -rf "$XDG_RUNTIME_DIR"' EXIT
skip() {
    echo "Skipped: $*"
    sed 's/^/    /' "$log"
    exit 77
}
# start NAME COMMAND...: starts a server in the background, if it is installed.
start() {
    command -v "$2" >/dev/null || skip "$1 is not installed"
    "${@:2}" >>"$log" 2>&1 &
    servers+=($!)
}
# wait_for NAME CONDITION...: up to ten seconds for the server to meet the condition.
wait_for() {
    local tries
    for tries in $(seq 100); do
        "${@:2}" 2>/dev/null && return 0
        kill -0 "${servers[-1]}" 2>/dev/null || skip "$1 stopped as it started"
        sleep 0.1
    done
    skip "$1 did not start within ten seconds"
}
window_manager_runs() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"; }

touch "$log"
case $platform in
wayland)
    start weston weston --backend=headless-backend.so --socket=wayland-test --idle-time=0
    wait_for weston test -S "$XDG_RUNTIME_DIR/wayland-test"
    export WAYLAND_DISPLAY=wayland-test QT_QPA_PLATFORM=wayland
    ;;
xcb)
    start Xvfb Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$XDG_RUNTIME_DIR/display"
    wait_for Xvfb test -s "$XDG_RUNTIME_DIR/display"
    export DISPLAY=:$(cat "$XDG_RUNTIME_DIR/display") QT_QPA_PLATFORM=xcb
    start openbox openbox
    wait_for openbox window_manager_runs
    ;;
*)
    echo "unknown platform $platform" >&2
    exit 2
    ;;
esac
"$@"
