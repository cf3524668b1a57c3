#!/bin/sh
# Installs what is missing, builds, and starts the panel with a simulated motor controller
# (motor-sim) on the port the panel will open, in a private port directory, so the panel
# answers out of the box. Closing the panel ends the simulator. Arguments go to the panel,
# e.g. --trace. Without a display: xvfb-run -a ./scripts/run-panel.sh
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target motor_panel_app motor-sim

demo=$(mktemp -d "${TMPDIR:-/tmp}/motor-panel-demo.XXXXXX")
sim=""
finish() {
    if [ -n "$sim" ]; then
        kill "$sim" 2>/dev/null || true
        wait "$sim" 2>/dev/null || true
    fi
    rm -rf "$demo"
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

# The simulator links itself as the port the panel will open (the one in its saved port file,
# COM1 the first time), in a port directory of its own: nothing of the user's is touched.
mkdir "$demo/ports"
mkfifo "$demo/messages"
MOTOR_PANEL_PORT_DIR="$demo/ports" build/bin/motor-sim --port=saved 2>"$demo/messages" &
sim=$!
# Its messages go on to standard error; the panel starts once the link is in place.
exec 3<"$demo/messages"
ready=no
while IFS= read -r line <&3; do
    printf '%s\n' "$line" >&2
    case $line in "motor-sim: ready"*) ready=yes && break ;; esac
done
[ "$ready" = yes ] || { echo "run-panel: the simulator did not start" >&2; exit 1; }
cat <&3 >&2 &
exec 3<&-

echo "run-panel: the simulated motor 010203 answers: press A or D, or type a position and press S" >&2
MOTOR_PANEL_PORT_DIR="$demo/ports" build/bin/motor-panel "$@"
