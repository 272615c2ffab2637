# shellcheck shell=bash
# Helpers for driving the real program in a private X server (Xvfb), sourced by
# the end-to-end test and the start-up timing script. Needs Xvfb and xdotool;
# xs_start_wm also the window manager, openbox, and xprop.
#
# Every wait polls until the caller's deadline, xs_deadline (a value of
# $SECONDS), and then fails through xs_fail, which the caller may redefine to
# add its own diagnostics; it must not return.

xs_deadline=${xs_deadline:-$((SECONDS + 60))}
xs_xvfb_pid=""
xs_wm_pid=""

xs_fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# True while the deadline has not passed.
xs_in_time() {
    ((SECONDS < xs_deadline))
}

# Starts Xvfb on a free display in the folder $1 and exports DISPLAY. The
# server writes its display number to the descriptor given by -displayfd once
# it accepts connections. Without -noreset it would reset whenever its last
# client left, refusing connections meanwhile: a short-lived xdotool that
# comes and goes before the program connects would make the program fail.
xs_start_xvfb() {
    local folder=$1
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$folder/display" \
        >"$folder/xvfb.log" 2>&1 &
    xs_xvfb_pid=$!
    until [[ -s "$folder/display" ]]; do
        kill -0 "$xs_xvfb_pid" 2>/dev/null || xs_fail "Xvfb did not start: $(cat "$folder/xvfb.log")"
        xs_in_time || xs_fail "Xvfb gave no display number in time"
        sleep 0.05
    done
    DISPLAY=":$(tr -d '\n' <"$folder/display")"
    export DISPLAY
}

# Ends the process $1 (TERM, then KILL after five seconds) and reaps it when it
# is our child.
xs_end_process() {
    local pid=$1 tries=0
    [[ -n "$pid" ]] || return 0
    kill -TERM "$pid" 2>/dev/null || return 0
    while kill -0 "$pid" 2>/dev/null && ((tries < 50)); do
        sleep 0.1
        tries=$((tries + 1))
    done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

xs_stop_xvfb() {
    xs_end_process "$xs_wm_pid"
    xs_wm_pid=""
    xs_end_process "$xs_xvfb_pid"
    xs_xvfb_pid=""
}

# Starts openbox on the display, with its system-wide default configuration
# (a user's own in $HOME is not read: XDG_CONFIG_HOME points into the folder
# $1), and waits until it manages the screen: it then names itself on the
# root window. From here on windows are framed, placed, activated and
# focused by the window manager, as on a desktop.
xs_start_wm() {
    local folder=$1
    mkdir -p "$folder/wm-config"
    XDG_CONFIG_HOME="$folder/wm-config" openbox --sm-disable >"$folder/openbox.log" 2>&1 &
    xs_wm_pid=$!
    until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
        kill -0 "$xs_wm_pid" 2>/dev/null || xs_fail "openbox did not start: $(cat "$folder/openbox.log")"
        xs_in_time || xs_fail "openbox did not take the screen in time"
        sleep 0.05
    done
}

# Prints the id of the shown window whose name is exactly $1, waiting for it.
xs_wait_window() {
    local name=$1 id
    while :; do
        id=$(xdotool search --onlyvisible --name "^$name\$" 2>/dev/null | head -n 1 || true)
        [[ -n "$id" ]] && break
        xs_in_time || xs_fail "no window \"$name\" appeared"
        sleep 0.05
    done
    echo "$id"
}

# Waits until window $1 (named $2 in messages) is no longer shown.
xs_wait_window_gone() {
    local id=$1 name=$2
    while xdotool search --onlyvisible --name "^$name\$" 2>/dev/null | grep -qx "$id"; do
        xs_in_time || xs_fail "window \"$name\" stayed open"
        sleep 0.05
    done
}

# Gives window $1 the keyboard focus and waits until the server reports it.
# Under a window manager the window is activated through it, as a click on
# its frame would; with none the focus is set directly.
xs_focus() {
    local id=$1
    until [[ $(xdotool getwindowfocus 2>/dev/null || true) == "$id" ]]; do
        if [[ -n "$xs_wm_pid" ]]; then
            xdotool windowactivate "$id" 2>/dev/null || true
        else
            xdotool windowfocus "$id" 2>/dev/null || true
        fi
        xs_in_time || xs_fail "window $id did not take the keyboard focus"
        sleep 0.05
    done
}

# Waits until window $1 has the keyboard focus without asking for it: the
# window manager or the program itself must give it.
xs_wait_focus() {
    local id=$1
    until [[ $(xdotool getwindowfocus 2>/dev/null || true) == "$id" ]]; do
        xs_in_time || xs_fail "window $id never got the keyboard focus back"
        sleep 0.05
    done
}

# Lists the shown windows by id and name, for failure reports.
xs_list_windows() {
    local id name
    for id in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
        name=$(xdotool getwindowname "$id" 2>/dev/null || true)
        echo "  window $id \"$name\""
    done
}
