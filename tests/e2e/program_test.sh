#!/usr/bin/env bash
# The real program in a real X server, driven as a user drives it: real key
# presses and pointer clicks through the XTEST extension, on the xcb platform.
#
#   program_test.sh CASE PROGRAM LIBRARY DICTIONARY
#
# CASE is one of:
#   bookmark  type a word, open it, step right, right and left, bookmark the
#             word shown from the definition page, step right and bookmark
#             that word too; bookmark.dat then holds exactly the two
#             headwords, newest first.
#   unmark    start with two bookmarks, open one of them and unmark it from
#             the definition page, by keyboard alone; bookmark.dat then holds
#             only the other.
#   keep      start with two bookmarks, reopen one from the search page's
#             bookmark list, step on, open the other from the definition
#             page's bookmark list and step on; bookmark.dat is unchanged.
#
# The program runs from a fresh folder holding copies of PROGRAM, LIBRARY and
# DICTIONARY (as the small dictionary). Each case must end within 60 seconds
# and with exit code 0. Failing runs report the windows shown, the program's
# output, and leave a screenshot of the screen in the current directory.
set -euo pipefail

if (($# != 4)); then
    echo "usage: $0 bookmark|unmark|keep PROGRAM LIBRARY DICTIONARY" >&2
    exit 2
fi
test_case=$1
program=$2
library=$3
dictionary=$4

# shellcheck source-path=SCRIPTDIR source=../../scripts/xsession.sh
source "$(dirname "$0")/../../scripts/xsession.sh"
xs_deadline=$((SECONDS + 60))

pictures="$(cd "$(dirname "$0")/../../res/pictures" && pwd)"
work=$(mktemp -d "${TMPDIR:-/tmp}/lexivane-e2e.XXXXXX")
app_pid=""

finish() {
    local status=$?
    if ((status != 0)); then
        echo "program_test $test_case: failed (status $status); windows shown:" >&2
        xs_list_windows >&2 || true
        if [[ -n "${DISPLAY:-}" ]]; then
            import -window root "e2e-$test_case-failure.png" 2>/dev/null &&
                echo "  screenshot: $PWD/e2e-$test_case-failure.png" >&2
        fi
        [[ -f "$work/program.log" ]] && sed 's/^/  program: /' "$work/program.log" >&2
    fi
    xs_end_process "$app_pid"
    xs_stop_xvfb
    rm -rf "$work"
    exit "$status"
}
trap finish EXIT
trap 'exit 130' HUP INT PIPE TERM

# Clicks the command-bar button that shows res/pictures/$2 in window $1. The
# button is found on a screenshot of the window: the picture, laid over the
# bar's background colour (its bottom-left pixel), is searched for, and the
# best match must be near exact. The pointer then leaves the windows, so that
# no tooltip opens over them.
click_picture() {
    local id=$1 picture=$2 shot="$work/window.png" icon="$work/icon.png"
    local background found error x y
    import -window "$id" "$shot"
    background=$(convert "$shot" -format '%[pixel:p{1,h-2}]' info:)
    convert "$pictures/$picture" -background "$background" -flatten "$icon"
    found=$(compare -dissimilarity-threshold 1 -metric RMSE -subimage-search \
        "$shot" "$icon" null: 2>&1 || true)
    # "ABSOLUTE (NORMALISED) @ X,Y"
    if [[ ! $found =~ \(([0-9.e+-]+)\)\ @\ ([0-9]+),([0-9]+) ]]; then
        xs_fail "could not search the window for $picture: $found"
    fi
    error=${BASH_REMATCH[1]}
    x=$((BASH_REMATCH[2] + 8))
    y=$((BASH_REMATCH[3] + 8))
    awk -v e="$error" 'BEGIN { exit !(e < 0.05) }' ||
        xs_fail "no button showing $picture in window $id (best match $found)"
    xdotool mousemove --window "$id" "$x" "$y" click 1
    xdotool mousemove 0 0
}

# Presses keys in window $1, which first takes the focus.
keys() {
    local id=$1
    shift
    xs_focus "$id"
    xdotool key --delay 40 "$@"
}

# Answers the message box captioned $1 with Return.
answer_box() {
    local box
    box=$(xs_wait_window "$1")
    keys "$box" Return
    xs_wait_window_gone "$box" "$1"
}

# Writes the UTF-16LE bytes of the bookmark file holding the words given, one
# line feed after each.
bookmark_bytes() {
    local word
    for word in "$@"; do printf '%s\n' "$word"; done | iconv -f UTF-8 -t UTF-16LE
}

start_program() {
    mkdir -p "$work/program" "$work/runtime"
    chmod 700 "$work/runtime"
    cp "$program" "$library" "$work/program/"
    cp "$dictionary" "$work/program/English Dictionary (small).pdb"
    xs_start_xvfb "$work"
    (cd "$work/program" &&
        exec env QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime" \
            "./$(basename "$program")" >"$work/program.log" 2>&1) &
    app_pid=$!
}

# Closes the definition page $1 with Escape and the search page $2 with Quit
# (Ctrl+Q), waits for the program to end and checks that it ended with exit
# code 0.
close_program() {
    local definition=$1 search=$2 status=0
    keys "$definition" Escape
    xs_wait_window_gone "$definition" Definition
    keys "$search" ctrl+q
    while kill -0 "$app_pid" 2>/dev/null; do
        xs_in_time || xs_fail "the program did not end after its last page closed"
        sleep 0.05
    done
    wait "$app_pid" || status=$?
    app_pid=""
    ((status == 0)) || xs_fail "the program ended with exit code $status"
}

# bookmark.dat must hold exactly the bytes of file $1.
expect_bookmarks() {
    local actual="$work/program/bookmark.dat"
    [[ -f "$actual" ]] || xs_fail "bookmark.dat was not written"
    cmp "$1" "$actual" >&2 ||
        xs_fail "bookmark.dat holds $(od -An -c "$actual" | tr -s ' '), expected $(od -An -c "$1" | tr -s ' ')"
}

case $test_case in
    bookmark)
        start_program
        search=$(xs_wait_window Lexivane)
        xs_focus "$search"
        xdotool type --delay 40 cat
        keys "$search" Return
        definition=$(xs_wait_window Definition)
        # cat, chair, city: two steps on and one back show "chair".
        keys "$definition" Right Right Left
        # The list opens with its title row selected; row 1 marks the word shown.
        click_picture "$definition" bookmarks.png
        keys "$definition" Down Return
        answer_box Bookmarks
        # The newest bookmark goes first.
        keys "$definition" Right
        click_picture "$definition" bookmarks.png
        keys "$definition" Down Return
        answer_box Bookmarks
        close_program "$definition" "$search"
        bookmark_bytes city chair >"$work/expected"
        expect_bookmarks "$work/expected"
        ;;
    keep)
        mkdir -p "$work/program"
        bookmark_bytes dog cat >"$work/program/bookmark.dat"
        cp "$work/program/bookmark.dat" "$work/expected"
        start_program
        search=$(xs_wait_window Lexivane)
        click_picture "$search" bookmarks.png
        # Rows: "Bookmarks", "---Clear All---", "dog", "cat".
        keys "$search" Down Down Down Return
        definition=$(xs_wait_window Definition)
        keys "$definition" Right
        # Rows: "Bookmarks", "---Mark this---", "---Clear All---", "dog", "cat".
        click_picture "$definition" bookmarks.png
        keys "$definition" Down Down Down Return
        keys "$definition" Right
        close_program "$definition" "$search"
        expect_bookmarks "$work/expected"
        ;;
    unmark)
        mkdir -p "$work/program"
        bookmark_bytes dog cat >"$work/program/bookmark.dat"
        start_program
        search=$(xs_wait_window Lexivane)
        xs_focus "$search"
        xdotool type --delay 40 cat
        keys "$search" Return
        definition=$(xs_wait_window Definition)
        # By keyboard alone: Ctrl+B opens the list, whose row 1 reads
        # "---Unmark this---" for a bookmarked word; confirm, then acknowledge
        # the removal.
        keys "$definition" ctrl+b Down Return
        answer_box Bookmarks
        answer_box Bookmarks
        close_program "$definition" "$search"
        bookmark_bytes dog >"$work/expected"
        expect_bookmarks "$work/expected"
        ;;
    *)
        echo "unknown case $test_case" >&2
        exit 2
        ;;
esac
echo "program_test $test_case: passed"
