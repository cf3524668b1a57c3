#!/bin/sh
# Starts or stops the wine server of a build's Windows tests: wine-server.sh start|stop WINE_DIR
#
# start makes the prefix WINE_DIR/prefix when it is missing (about 10 s, once per build folder),
# maps the test ports to WINE_DIR/lines/comN (the line peer points those at pseudo-terminals) and
# starts the server in the foreground of this session. A server that Wine starts by itself
# detaches into a session of its own and then takes the first pseudo-terminal it opens as its
# controlling terminal: closing that line's far end (what the hang-up tests do) would send it
# SIGHUP, on which it dumps all its objects to stderr. Ours never leads a session.
set -eu

# The ports the Windows tests use. Never COM1 to COM4: Wine maps those to the machine's own
# serial devices.
test_ports="41 42 43 255"

action=$1
wine_dir=$(realpath -m "$2")
export WINEPREFIX="$wine_dir/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
lines="$wine_dir/lines"
pid_file="$wine_dir/server.pid"

make_prefix() {
    mkdir -p "$wine_dir" "$lines"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "wine-server: making the Wine prefix $WINEPREFIX" >&2
        wine wineboot --init </dev/null >"$wine_dir/wineboot.log" 2>&1
    fi
    # The port mapping names this folder: write it again when the build folder has moved.
    stamp="$wine_dir/ports.mapped"
    if [ "$(cat "$stamp" 2>/dev/null)" != "$lines $test_ports" ]; then
        for n in $test_ports; do
            wine reg add 'HKLM\Software\Wine\Ports' /v "COM$n" /t REG_SZ /d "$lines/com$n" /f \
                </dev/null >>"$wine_dir/wineboot.log" 2>&1
        done
        echo "$lines $test_ports" >"$stamp"
    fi
    # Wine reads the mapping when its server starts.
    wineserver -k 2>/dev/null || true
    wineserver -w
}

start() {
    make_prefix
    wineserver -f -p </dev/null >"$wine_dir/server.log" 2>&1 &
    echo $! >"$pid_file"
    # The first program starts Wine's services, which make the mapped ports; its output is
    # inherited by those services, so it goes to a file and not into a pipe somebody waits on.
    wine cmd /c exit </dev/null >>"$wine_dir/server.log" 2>&1
    if ! kill -0 "$(cat "$pid_file")" 2>/dev/null; then
        echo "wine-server: the foreground server did not stay up; see $wine_dir/server.log" >&2
        wineserver -k 2>/dev/null || true
        exit 1
    fi
}

stop() {
    wineserver -k 2>/dev/null || true
    wineserver -w
    rm -f "$pid_file"
}

case $action in
    start) start ;;
    stop) stop ;;
    *) echo "usage: $0 start|stop WINE_DIR" >&2; exit 2 ;;
esac
