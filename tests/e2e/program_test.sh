#!/usr/bin/env bash
# The real program in a real X server under a window manager (Xvfb, openbox),
# driven as a user drives it: real key presses and pointer clicks through the
# XTEST extension, on the xcb platform.
#
#   program_test.sh CASE PROGRAM LIBRARY DICTIONARY_FOLDER
#
# CASE is one of:
#   bookmark    type a word, open it, step right, right and left, bookmark the
#               word shown from the definition page, step right and bookmark
#               that word too; bookmark.dat then holds exactly the two
#               headwords, newest first.
#   unmark      start with two bookmarks, open one of them and unmark it from
#               the definition page, by keyboard alone; bookmark.dat then
#               holds only the other.
#   keep        start with two bookmarks, reopen one from the search page's
#               bookmark list, step on, open the other from the definition
#               page's bookmark list and step on; bookmark.dat is unchanged.
#   focus       tap a headword, close its page and type a word: it reaches the
#               search box, not the word list; after a box and after the help
#               page on the definition page, its keys work at once.
#   keyup       Return closes a box of the program and a box of a second copy
#               of it; its key-up, over the search page, opens nothing.
#   escape      Escape on the search page selects the search text and never
#               ends the program; Ctrl+Q on the definition page ends it.
#   history     History pressed while the bookmark list shows opens the
#               history list at once, on both pages.
#   wheel       a wheel notch over the scroll bar and a click on its arrow
#               move the list four headwords down, and no further.
#   linescroll  a line scroll that takes the selected headword out of the
#               list leaves no row selected: Return opens nothing.
#   lastpage    a headword on the last page is selected when typed.
#   lettercase  looking up a word whose headword differs from it in letter
#               case alone ("monday", "Monday") asks nothing.
#   saveerror   a mark, an unmark and a Clear All that cannot save bookmark.dat
#               say why in an "Error" box; the program goes on and the file is
#               unchanged. The program runs with the refuse_rename shim
#               (LEXIVANE_E2E_SHIM) preloaded, which fails every rename while
#               a marker file exists.
#   foreigntext an emoji typed into the search box moves nothing; pasted text
#               with a line break looks up the words as if spaced.
#   places      the definition and help pages open exactly over the page that
#               opened them; the Tools button's tooltip reads the same on both
#               pages.
#   resize      a larger search page shows more rows; the definition page
#               opens with its size, its title band spans it with the arrows
#               at its right end and the entry fills it; a size given there
#               stays when it closes; maximised (through the window manager),
#               both pages fill the screen; after a restart the page opens
#               maximised and goes back to the size it had before.
#   zoom        Ctrl+plus, Ctrl+= and the keypad's plus zoom the word list:
#               fewer, taller rows; the definition page shows its entry zoomed
#               and Ctrl+0 brings it back; the zoom survives a restart.
#   links       on a dictionary whose entries link to each other, a tapped link
#               and one reached with Tab and Return show their headwords;
#               Alt+Left and Alt+Right go back and forward through the words
#               shown, while Right still steps alphabetically.
#   dictionary  the search page's Tools menu opens the small dictionary in
#               place of the medium one, and the choice holds when the program
#               starts again; the definition page's opens the medium one again.
#   commandline --help and --version print and end, an unknown option is
#               refused with exit code 2; 'lexivane cat' starts with the
#               definition page of "cat" open.
#   secondcopy  a second copy started with a word brings the first copy's
#               minimised definition page back, which shows the word, and
#               reports as before.
#
# The program runs from a fresh folder holding copies of PROGRAM, LIBRARY and
# a test dictionary of DICTIONARY_FOLDER (as the small dictionary). Each case
# must end within 60 seconds, the program with exit code 0. Failing runs
# report the windows shown, the program's output, and leave a screenshot of
# the screen in the current directory.
set -euo pipefail

if (($# != 4)); then
    echo "usage: $0 CASE PROGRAM LIBRARY DICTIONARY_FOLDER" >&2
    exit 2
fi
test_case=$1
program=$2
library=$3
dictionaries=$4

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

# Places on the search page, in its window's coordinates: the search box, the
# word list's rows (14 pixels each from y 5), its scroll bar and the bar's
# lower arrow.
box_x=58
box_y=37
list_x=150
bar_x=231
bar_middle_y=130
bar_arrow_y=259

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

# Clicks the point $2,$3 of window $1 with button $4 (1 unless given), then
# moves the pointer away.
click_at() {
    xdotool mousemove --window "$1" "$2" "$3" click "${4:-1}"
    xdotool mousemove 0 0
}

# Taps row $2 of the search page $1's word list.
click_row() {
    click_at "$1" "$list_x" $((12 + 14 * $2))
}

# Presses keys in window $1, which first takes the focus.
keys() {
    local id=$1
    shift
    xs_focus "$id"
    xdotool key --delay 40 "$@"
}

# Types text $2 in window $1, which first takes the focus.
type_in() {
    xs_focus "$1"
    xdotool type --delay 40 "$2"
}

# Answers the message box captioned $1 with Return.
answer_box() {
    local box
    box=$(xs_wait_window "$1")
    keys "$box" Return
    xs_wait_window_gone "$box" "$1"
}

# Answers the message box captioned $1 with Return held until the box has
# gone and the window manager has given window $2 the focus, so that the
# key-up reaches window $2, as it does when a user's press outlasts the box.
answer_box_held() {
    local box
    box=$(xs_wait_window "$1")
    xs_focus "$box"
    xdotool keydown Return
    xs_wait_window_gone "$box" "$1"
    xs_wait_focus "$2"
    xdotool keyup Return
}

# Bookmarks the word the definition page $1 shows: the list opens with its
# title row selected, and row 1 marks the word.
mark_shown() {
    keys "$1" ctrl+b Down Return
    answer_box Bookmarks
}

# Types $2 into the search page $1's box, which a click puts the cursor in
# first, replacing its text.
search_for() {
    click_at "$1" "$box_x" "$box_y"
    keys "$1" ctrl+a
    type_in "$1" "$2"
}

# Opens the word typed into the search page $1's box and prints the id of its
# definition page.
open_typed() {
    search_for "$1" "$2"
    keys "$1" Return
    xs_wait_window Definition
}

# Closes the definition page $1 with Escape.
close_definition() {
    keys "$1" Escape
    xs_wait_window_gone "$1" Definition
}

# Writes the UTF-16LE bytes of the bookmark file holding the words given, one
# line feed after each.
bookmark_bytes() {
    local word
    for word in "$@"; do printf '%s\n' "$word"; done | iconv -f UTF-8 -t UTF-16LE
}

# Starts the program on test dictionary $1 (basic unless given) under the
# window manager, with the libraries named in $preload preloaded. Started
# again, it runs in the same folder and X server.
preload=""
start_program() {
    mkdir -p "$work/program" "$work/runtime"
    chmod 700 "$work/runtime"
    cp "$program" "$library" "$work/program/"
    cp "$dictionaries/${1:-basic}.pdb" "$work/program/English Dictionary (small).pdb"
    if [[ -z "$xs_xvfb_pid" ]]; then
        xs_start_xvfb "$work"
        xs_start_wm "$work"
    fi
    (($# == 0)) || shift
    launch_program "$@"
}

# Starts the program in its folder again, with the arguments given.
launch_program() {
    # A preloaded library comes before the sanitizers' runtime, which
    # otherwise insists on being first.
    (cd "$work/program" &&
        exec env QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime" LD_PRELOAD="$preload" \
            ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0" \
            "./$(basename "$program")" "$@" >>"$work/program.log" 2>&1) &
    app_pid=$!
}

# Starts a second copy of the program in its folder, with the arguments
# given; its output goes to second.log.
launch_second() {
    (cd "$work/program" &&
        exec env QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime" \
            "./$(basename "$program")" "$@" >"$work/second.log" 2>&1) &
    second_pid=$!
}

# Clicks the first link on the definition page $1: the first pixel below the
# title band in the colour that links are drawn in on a white background.
click_link() {
    local shot="$work/window.png" point
    import -window "$1" "$shot"
    point=$(convert "$shot" txt:- | awk -F '[,:]' '$2 > 30 && /#0000FF/ && !found { print $1, $2; found = 1 }')
    [[ -n "$point" ]] || xs_fail "no link drawn on the definition page"
    # shellcheck disable=SC2086 # x and y
    xdotool mousemove --window "$1" $point click 1
    xdotool mousemove 0 0
}

# Waits for the program to end and checks that it ended with exit code 0.
expect_clean_end() {
    local status=0
    while kill -0 "$app_pid" 2>/dev/null; do
        xs_in_time || xs_fail "the program did not end"
        sleep 0.05
    done
    wait "$app_pid" || status=$?
    app_pid=""
    ((status == 0)) || xs_fail "the program ended with exit code $status"
}

# Closes the definition page $1 with Escape and the search page $2 through
# the window manager (Alt+F4), and checks that the program ended cleanly.
close_program() {
    close_definition "$1"
    keys "$2" alt+F4
    expect_clean_end
}

# bookmark.dat must hold exactly the words given, in that order.
expect_bookmarks() {
    local actual="$work/program/bookmark.dat"
    bookmark_bytes "$@" >"$work/expected"
    [[ -f "$actual" ]] || xs_fail "bookmark.dat was not written"
    cmp "$work/expected" "$actual" >&2 ||
        xs_fail "bookmark.dat holds $(od -An -c "$actual" | tr -s ' '), expected $(od -An -c "$work/expected" | tr -s ' ')"
}

# Prints "X Y WIDTH HEIGHT" of window $1 on the screen.
window_place() {
    xdotool getwindowgeometry --shell "$1" |
        awk -F= '{ v[$1] = $2 } END { print v["X"], v["Y"], v["WIDTH"], v["HEIGHT"] }'
}

# Window $1, named $2, must stand exactly where window $3 does.
expect_same_place() {
    local place expected
    place=$(window_place "$1")
    expected=$(window_place "$3")
    [[ "$place" == "$expected" ]] || xs_fail "$2 stands at $place, not over its opener at $expected"
}

# Waits until window $1 is $2 pixels wide and $3 high ("+" for either: more
# than 800 pixels, a maximised window on our 1024 x 768 screen).
wait_size() {
    local id=$1 width height
    while :; do
        read -r _ _ width height <<<"$(window_place "$id")"
        if [[ $2 == + ]]; then
            ((width > 800 && height > 600)) && return
        elif ((width == $2 && height == $3)); then
            return
        fi
        xs_in_time || xs_fail "window $id is ${width}x$height, not ${2}x${3:-}"
        sleep 0.05
    done
}

# Resizes window $1 to $2 x $3 pixels, as a drag of its border does.
resize_window() {
    xdotool windowsize "$1" "$2" "$3"
    wait_size "$1" "$2" "$3"
}

# Maximises window $1 ($2 "add") or gives it its normal size back ("remove")
# through the window manager, as its title bar's button does.
maximise() {
    wmctrl -i -r "$1" -b "${2:-add},maximized_vert,maximized_horz"
    if [[ ${2:-add} == add ]]; then wait_size "$1" +; fi
}

# Prints the colour of pixel $2,$3 of window $1 as "RED,GREEN,BLUE".
pixel_at() {
    import -window "$1" "$work/pixel.png"
    convert "$work/pixel.png" -format \
        "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}

# The definition page $1 fills its window, whatever its size: the yellow title
# band reaches its right edge and the entry (white) its right edge and half
# its height. Its next arrow, at the band's right end, is then clicked.
expect_filled_definition() {
    local width height colour
    read -r _ _ width height <<<"$(window_place "$1")"
    colour=$(pixel_at "$1" $((width - 4)) 4)
    [[ $colour == 255,255,15 ]] || xs_fail "the title band ends short of the right edge ($colour)"
    colour=$(pixel_at "$1" $((width - 24)) $((height / 2)))
    [[ $colour == 255,255,255 ]] || xs_fail "the entry ends short of the right edge ($colour)"
    click_at "$1" $((width - 21)) 15
}

# Prints the height in pixels of what the definition page $1 shows in its
# entry, below the title band.
entry_height() {
    local width height
    read -r _ _ width height <<<"$(window_place "$1")"
    import -window "$1" "$work/entry.png"
    convert "$work/entry.png" -crop "$((width - 8))x$((height - 80))+4+32" +repage \
        -fuzz 10% -trim -format '%h' info:
}

# Rests the pointer on the Tools button of window $1 and saves the tooltip
# that opens to picture $2. The pointer moves within the button now and then
# until the tooltip opens: Qt starts its tooltip timer on a motion inside a
# window, which the first move into a newly shown one may not give.
tools_tooltip() {
    local tip="" id tries=0
    while [[ -z "$tip" ]]; do
        ((tries++ % 10 == 0)) && xdotool mousemove --window "$1" $((18 + tries % 3)) 283
        for id in $(xdotool search --onlyvisible --classname lexivane 2>/dev/null); do
            [[ $(xdotool getwindowname "$id") == lexivane ]] && tip=$id
        done
        xs_in_time || xs_fail "no tooltip opened over the Tools button"
        sleep 0.05
    done
    import -window "$tip" "$2"
    xdotool mousemove 0 0
    xs_wait_window_gone "$tip" lexivane
}

case $test_case in
    bookmark)
        start_program
        search=$(xs_wait_window Lexivane)
        definition=$(open_typed "$search" cat)
        # cat, chair, city: two steps on and one back show "chair".
        keys "$definition" Right Right Left
        click_picture "$definition" bookmarks.png
        keys "$definition" Down Return
        answer_box Bookmarks
        # The newest bookmark goes first.
        keys "$definition" Right
        click_picture "$definition" bookmarks.png
        keys "$definition" Down Return
        answer_box Bookmarks
        close_program "$definition" "$search"
        expect_bookmarks city chair
        ;;
    keep)
        mkdir -p "$work/program"
        bookmark_bytes dog cat >"$work/program/bookmark.dat"
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
        expect_bookmarks dog cat
        ;;
    unmark)
        mkdir -p "$work/program"
        bookmark_bytes dog cat >"$work/program/bookmark.dat"
        start_program
        search=$(xs_wait_window Lexivane)
        definition=$(open_typed "$search" cat)
        # By keyboard alone: Ctrl+B opens the list, whose row 1 reads
        # "---Unmark this---" for a bookmarked word; confirm, then acknowledge
        # the removal.
        keys "$definition" ctrl+b Down Return
        answer_box Bookmarks
        answer_box Bookmarks
        close_program "$definition" "$search"
        expect_bookmarks dog
        ;;
    focus)
        start_program
        search=$(xs_wait_window Lexivane)
        # Rows: a, able, about, apple, AT&T, bird, boat, book, bread, café,
        # cake, car, cat. The tap leaves the word list with the keyboard focus.
        click_row "$search" 12
        definition=$(xs_wait_window Definition)
        close_definition "$definition"
        # Nothing here hands out the focus: the window manager and the
        # program must give it back, to the search box.
        xs_wait_focus "$search"
        xdotool type --delay 40 dog
        xdotool key Return
        definition=$(xs_wait_window Definition)
        # The definition page has the keys again after its box and its help
        # page: dog, door, earth.
        mark_shown "$definition"
        xs_wait_focus "$definition"
        xdotool key Right
        keys "$definition" F1
        help=$(xs_wait_window Help)
        keys "$help" Escape
        xs_wait_window_gone "$help" Help
        xs_wait_focus "$definition"
        xdotool key Right
        mark_shown "$definition"
        close_program "$definition" "$search"
        expect_bookmarks earth dog
        ;;
    keyup)
        start_program
        search=$(xs_wait_window Lexivane)
        # No bookmarks: "No entries".
        keys "$search" ctrl+b
        answer_box_held Bookmarks "$search"
        # A second copy finds the first one's working files locked and says
        # "CreateFileForMapping : 32".
        launch_second
        answer_box_held Error "$search"
        wait "$second_pid" || true
        definition=$(open_typed "$search" cat)
        mark_shown "$definition"
        close_program "$definition" "$search"
        expect_bookmarks cat
        ;;
    escape)
        start_program
        search=$(xs_wait_window Lexivane)
        search_for "$search" cat
        # Escape selects the text, so that typing replaces it.
        keys "$search" Escape
        type_in "$search" dog
        keys "$search" Return
        definition=$(xs_wait_window Definition)
        mark_shown "$definition"
        close_definition "$definition"
        keys "$search" Escape Return
        definition=$(xs_wait_window Definition)
        keys "$definition" ctrl+q
        expect_clean_end
        expect_bookmarks dog
        ;;
    history)
        mkdir -p "$work/program"
        bookmark_bytes zebra >"$work/program/bookmark.dat"
        start_program
        search=$(xs_wait_window Lexivane)
        close_definition "$(open_typed "$search" cat)"
        close_definition "$(open_typed "$search" dog)"
        # History rows: "History", "---Clear All---", "dog", "cat".
        keys "$search" ctrl+b ctrl+h Down Down Down Return
        definition=$(xs_wait_window Definition)
        # Escape closes the history list that History opened, not the page.
        keys "$definition" ctrl+b ctrl+h Escape
        mark_shown "$definition"
        close_program "$definition" "$search"
        expect_bookmarks cat zebra
        ;;
    wheel)
        start_program
        search=$(xs_wait_window Lexivane)
        # One notch down moves three headwords, the arrow one more: row 0 is
        # then "AT&T".
        click_at "$search" "$bar_x" "$bar_middle_y" 5
        click_at "$search" "$bar_x" "$bar_arrow_y"
        click_row "$search" 0
        definition=$(xs_wait_window Definition)
        mark_shown "$definition"
        close_program "$definition" "$search"
        expect_bookmarks "AT&T"
        ;;
    linescroll)
        start_program
        search=$(xs_wait_window Lexivane)
        search_for "$search" dog
        # "dog", selected in row 0, leaves the list: Return opens nothing.
        click_at "$search" "$bar_x" "$bar_arrow_y"
        keys "$search" Return
        # Up brings "dog" back and selects it.
        keys "$search" Up Return
        definition=$(xs_wait_window Definition)
        mark_shown "$definition"
        close_program "$definition" "$search"
        expect_bookmarks dog
        ;;
    lastpage)
        start_program
        search=$(xs_wait_window Lexivane)
        definition=$(open_typed "$search" water)
        mark_shown "$definition"
        close_program "$definition" "$search"
        expect_bookmarks water
        ;;
    lettercase)
        start_program lettercase
        search=$(xs_wait_window Lexivane)
        # Rows: a, day, Monday, week.
        click_row "$search" 2
        definition=$(xs_wait_window Definition)
        # The entry's first word is its headword, "Monday".
        keys "$definition" ctrl+a ctrl+l
        mark_shown "$definition"
        close_program "$definition" "$search"
        expect_bookmarks Monday
        ;;
    saveerror)
        [[ -f "${LEXIVANE_E2E_SHIM:-}" ]] || xs_fail "no refuse_rename shim in LEXIVANE_E2E_SHIM"
        preload=$LEXIVANE_E2E_SHIM
        export LEXIVANE_E2E_REFUSE="$work/refuse"
        touch "$LEXIVANE_E2E_REFUSE"
        mkdir -p "$work/program"
        bookmark_bytes dog zebra >"$work/program/bookmark.dat"
        start_program
        search=$(xs_wait_window Lexivane)
        definition=$(open_typed "$search" cat)
        keys "$definition" ctrl+b Down Return
        answer_box Error
        rm "$LEXIVANE_E2E_REFUSE"
        # The list still offers to mark the word, which now works.
        mark_shown "$definition"
        touch "$LEXIVANE_E2E_REFUSE"
        keys "$definition" ctrl+b Down Return
        answer_box Bookmarks
        answer_box Error
        # Clear All, refused as well, leaves the program running.
        keys "$definition" ctrl+b Down Down Return
        answer_box Bookmarks
        answer_box Error
        close_program "$definition" "$search"
        expect_bookmarks cat dog zebra
        ;;
    foreigntext)
        start_program
        search=$(xs_wait_window Lexivane)
        # Nothing of it is in the dictionaries: "a" stays selected.
        search_for "$search" "😀"
        keys "$search" Return
        definition=$(xs_wait_window Definition)
        mark_shown "$definition"
        close_definition "$definition"
        printf 'less-than\nsign' | xclip -selection clipboard >/dev/null 2>&1
        keys "$search" ctrl+a ctrl+shift+v Return
        definition=$(xs_wait_window Definition)
        mark_shown "$definition"
        close_program "$definition" "$search"
        expect_bookmarks "less-than sign" a
        ;;
    places)
        start_program
        search=$(xs_wait_window Lexivane)
        tools_tooltip "$search" "$work/search-tip.png"
        keys "$search" F1
        help=$(xs_wait_window Help)
        expect_same_place "$help" "the help page" "$search"
        keys "$help" Escape
        xs_wait_window_gone "$help" Help
        keys "$search" Return
        definition=$(xs_wait_window Definition)
        expect_same_place "$definition" "the definition page" "$search"
        tools_tooltip "$definition" "$work/definition-tip.png"
        compare -metric AE "$work/search-tip.png" "$work/definition-tip.png" null: 2>/dev/null ||
            xs_fail "the definition page's Tools tooltip differs from the search page's"
        keys "$definition" F1
        help=$(xs_wait_window Help)
        expect_same_place "$help" "the help page" "$definition"
        keys "$help" Escape
        xs_wait_window_gone "$help" Help
        close_program "$definition" "$search"
        ;;
    links)
        start_program links
        search=$(xs_wait_window Lexivane)
        # cat's entry links to "mouse", then to "dog".
        definition=$(open_typed "$search" cat)
        click_link "$definition"
        mark_shown "$definition"
        keys "$definition" alt+Left Tab Tab Return
        mark_shown "$definition"
        # Shown: cat, dog; back and forward again, then on alphabetically to
        # mouse and to zebra.
        keys "$definition" alt+Left alt+Right Right Right
        mark_shown "$definition"
        # Shown: cat, dog, mouse, zebra; back to cat.
        keys "$definition" alt+Left alt+Left alt+Left
        mark_shown "$definition"
        close_program "$definition" "$search"
        expect_bookmarks cat zebra dog mouse
        ;;
    dictionary)
        # The medium dictionary (lettercase: a, day, Monday, week) opens
        # first; "cat" and "dog" are headwords of the small one (basic).
        mkdir -p "$work/program"
        cp "$dictionaries/lettercase.pdb" "$work/program/English Dictionary (medium).pdb"
        start_program
        search=$(xs_wait_window Lexivane)
        # Tools: the small dictionary, the medium one (checked), About, Quit.
        keys "$search" alt+t Down Return
        xs_wait_window_gone "$search" Lexivane
        search=$(xs_wait_window Lexivane)
        definition=$(open_typed "$search" cat)
        mark_shown "$definition"
        keys "$definition" ctrl+q
        expect_clean_end
        launch_program
        search=$(xs_wait_window Lexivane)
        definition=$(open_typed "$search" dog)
        mark_shown "$definition"
        # From the definition page, back to the medium one: both pages end.
        keys "$definition" alt+t Down Down Return
        xs_wait_window_gone "$definition" Definition
        xs_wait_window_gone "$search" Lexivane
        search=$(xs_wait_window Lexivane)
        definition=$(open_typed "$search" mon)
        mark_shown "$definition"
        close_program "$definition" "$search"
        expect_bookmarks Monday dog cat
        ;;
    commandline)
        [[ "$(timeout 10 "$program" --help)" == "Usage: lexivane [WORD...]"* ]] || xs_fail "--help printed no usage"
        [[ "$(timeout 10 "$program" --version)" == "lexivane 1."* ]] || xs_fail "--version printed no version"
        start_program basic cat
        status=0
        timeout 10 "$program" --bogus 2>"$work/usage.txt" >/dev/null || status=$?
        ((status == 2)) || xs_fail "an unknown option ended with $status, not 2"
        grep -q "unknown option '--bogus'" "$work/usage.txt" || xs_fail "no usage error: $(cat "$work/usage.txt")"
        search=$(xs_wait_window Lexivane)
        definition=$(xs_wait_window Definition)
        mark_shown "$definition"
        close_program "$definition" "$search"
        expect_bookmarks cat
        ;;
    secondcopy)
        start_program basic cat
        search=$(xs_wait_window Lexivane)
        definition=$(xs_wait_window Definition)
        xdotool windowminimize "$definition"
        xs_wait_window_gone "$definition" Definition
        launch_second dog
        answer_box Error
        wait "$second_pid" || true
        [[ $(xs_wait_window Definition) == "$definition" ]] ||
            xs_fail "the first copy's definition page did not come back"
        # It shows "dog" after "cat", which Alt+Left shows again.
        mark_shown "$definition"
        keys "$definition" alt+Left
        mark_shown "$definition"
        close_program "$definition" "$search"
        expect_bookmarks cat dog
        ;;
    resize)
        start_program
        search=$(xs_wait_window Lexivane)
        # The list takes the extra height: row 30, "ice", shows.
        resize_window "$search" 500 640
        click_row "$search" 30
        definition=$(xs_wait_window Definition)
        expect_same_place "$definition" "the definition page" "$search"
        # The arrow steps to "island".
        expect_filled_definition "$definition"
        mark_shown "$definition"
        resize_window "$definition" 420 560
        place=$(window_place "$definition")
        close_definition "$definition"
        [[ $(window_place "$search") == "$place" ]] ||
            xs_fail "the search page stands at $(window_place "$search"), not where the definition page closed at $place"
        # Maximised, row 45 ("sea") shows; its definition page is maximised too.
        maximise "$search"
        click_row "$search" 45
        definition=$(xs_wait_window Definition)
        wait_size "$definition" +
        expect_same_place "$definition" "the definition page" "$search"
        expect_filled_definition "$definition"
        mark_shown "$definition"
        close_program "$definition" "$search"
        expect_bookmarks ship island
        # The next run opens maximised, and goes back to the size it had.
        start_program
        search=$(xs_wait_window Lexivane)
        wait_size "$search" +
        maximise "$search" remove
        until [[ $(window_place "$search") == "$place" ]]; do
            xs_in_time || xs_fail "the search page came back at $(window_place "$search"), not $place"
            sleep 0.05
        done
        keys "$search" alt+F4
        expect_clean_end
        ;;
    zoom)
        start_program
        search=$(xs_wait_window Lexivane)
        # 110, 125, 150 and 175 percent: rows of 25 pixels, where row 8 is
        # "bread" (at 14 pixels a row, "city").
        keys "$search" ctrl+plus ctrl+equal ctrl+KP_Add ctrl+plus
        click_at "$search" "$list_x" $((5 + 25 * 8 + 12))
        definition=$(xs_wait_window Definition)
        zoomed=$(entry_height "$definition")
        keys "$definition" ctrl+0
        normal=$(entry_height "$definition")
        ((zoomed > normal * 3 / 2)) ||
            xs_fail "the entry is $zoomed pixels high at 175 percent, $normal at 100"
        keys "$definition" ctrl+plus ctrl+plus ctrl+plus ctrl+plus
        [[ $(entry_height "$definition") == "$zoomed" ]] || xs_fail "Ctrl+plus did not zoom the entry"
        mark_shown "$definition"
        close_program "$definition" "$search"
        # The next run keeps the zoom: row 6 is "boat".
        start_program
        search=$(xs_wait_window Lexivane)
        click_at "$search" "$list_x" $((5 + 25 * 6 + 12))
        definition=$(xs_wait_window Definition)
        mark_shown "$definition"
        close_program "$definition" "$search"
        expect_bookmarks boat bread
        ;;
    *)
        echo "unknown case $test_case" >&2
        exit 2
        ;;
esac
echo "program_test $test_case: passed"
