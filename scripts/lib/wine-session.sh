# Sourced by the scripts: a private Xvfb display and a private Wine prefix under a build folder.
#   wine_session_start BUILD_DIR   exports DISPLAY, WINEPREFIX and friends, starts what is missing
#   wine_session_stop              stops the Xvfb and the wineserver that wine_session_start started
#
# A BUILD_DIR whose name ends in 64 (build/cross64) gets a 64-bit prefix run by Wine's 64-bit
# loader and server, called by their own names: the `wine` and `wineserver` commands pick the
# 32-bit ones whenever those are installed, runnable or not. VT2_WINE names the loader to use.

_vt2_xvfb_pid=""
_vt2_started_wineserver=""

_vt2_free_display() {
    local n
    for n in $(seq 91 160); do
        if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
            echo "$n"
            return 0
        fi
    done
    return 1
}

wine_session_start() {
    local build_dir=$1
    mkdir -p "$build_dir"
    build_dir=$(cd "$build_dir" && pwd)  # Wine wants an absolute prefix
    export WINEPREFIX="$build_dir/wineprefix"
    if [ "${build_dir%64}" != "$build_dir" ]; then
        export WINEARCH=win64
        export VT2_WINE=/usr/lib/wine/wine64
        export WINELOADER=/usr/lib/wine/wine64
        export WINESERVER=/usr/lib/wine/wineserver64
    else
        export WINEARCH=win32
        export VT2_WINE=wine
        export WINESERVER=wineserver
    fi
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    # A runtime folder of the session's own, as a user's login gives one (mode 0700): the Linux
    # bridges the session starts keep their secrets there, and VT2 under Wine reads them there.
    export XDG_RUNTIME_DIR="$build_dir/runtime"
    mkdir -p -m 0700 "$XDG_RUNTIME_DIR"
    chmod 0700 "$XDG_RUNTIME_DIR"

    local display
    display=$(_vt2_free_display) || { echo "wine-session: no free X display" >&2; return 1; }
    Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >"$build_dir/xvfb.log" 2>&1 &
    _vt2_xvfb_pid=$!
    export DISPLAY=":$display"
    local waited=0
    until [ -e "/tmp/.X11-unix/X$display" ]; do
        if ! kill -0 "$_vt2_xvfb_pid" 2>/dev/null; then
            echo "wine-session: Xvfb did not start (see $build_dir/xvfb.log)" >&2
            return 1
        fi
        sleep 0.1
        waited=$((waited + 1))
        [ "$waited" -lt 300 ] || { echo "wine-session: Xvfb did not come up" >&2; return 1; }
    done

    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "wine-session: creating the Wine prefix $WINEPREFIX"
        "$VT2_WINE" wineboot -i >"$build_dir/wineboot.log" 2>&1
        "$WINESERVER" -w
        # Wine's first start in a new prefix now and then dies loading kernel32.dll under load:
        # one more try in a clean prefix.
        if [ ! -f "$WINEPREFIX/system.reg" ]; then
            echo "wine-session: the prefix was not made (see $build_dir/wineboot.log); once more"
            rm -rf "$WINEPREFIX"
            "$VT2_WINE" wineboot -i >"$build_dir/wineboot.log" 2>&1
            "$WINESERVER" -w
        fi
    fi
    # Xvfb has no window manager: Wine must not wait for one (it waits 2 s for each window that is
    # hidden or closed when it thinks a window manager owns it).
    if [ ! -f "$WINEPREFIX/.vt2-unmanaged" ]; then
        "$VT2_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
        "$WINESERVER" -w
        touch "$WINEPREFIX/.vt2-unmanaged"
    fi
    # Text files open in Notepad, as on every Windows (the fresh prefix knows the editor but not .txt).
    if [ ! -f "$WINEPREFIX/.vt2-txt-association" ]; then
        "$VT2_WINE" reg add 'HKCR\.txt' /ve /d txtfile /f >/dev/null 2>&1
        "$WINESERVER" -w
        touch "$WINEPREFIX/.vt2-txt-association"
    fi
    # Injected moves arrive as they are sent: without the pointer acceleration Wine applies to
    # moves of more than a few counts, a test moves the aim by a known amount in one move (many
    # small moves, under load, are not always all delivered).
    if [ ! -f "$WINEPREFIX/.vt2-no-acceleration" ]; then
        "$VT2_WINE" reg add 'HKCU\Control Panel\Mouse' /v MouseSpeed /d 0 /f >/dev/null 2>&1
        "$WINESERVER" -w
        touch "$WINEPREFIX/.vt2-no-acceleration"
    fi
    # One wineserver for the whole run keeps the many short test processes fast.
    "$WINESERVER" -p
    _vt2_started_wineserver=1
}

wine_session_stop() {
    if [ -n "$_vt2_started_wineserver" ]; then
        "$WINESERVER" -k 2>/dev/null || true
        "$WINESERVER" -w 2>/dev/null || true
        _vt2_started_wineserver=""
    fi
    if [ -n "$_vt2_xvfb_pid" ]; then
        kill "$_vt2_xvfb_pid" 2>/dev/null || true
        wait "$_vt2_xvfb_pid" 2>/dev/null || true
        _vt2_xvfb_pid=""
    fi
}
