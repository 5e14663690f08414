#!/usr/bin/env bash
# Print requests into running programs on an X screen and queue of their own (20 at once, two
# programs ending in turn, a flood, a stopped one, no runtime folder): a page each, always served.
#   requests-session.sh XTOOL PROGRAM          GLIMMERBOX_INSTALLED wins over PROGRAM
set -euo pipefail
XTOOL=$1 PROGRAM=${GLIMMERBOX_INSTALLED:-$2} PID='' failed=0 QUEUE=Requests$$
# shellcheck source=session.sh
source "$(dirname "$(realpath "$0")")/session.sh"
QUEUES=$QUEUE && work_folder requests 1024x768 7
CHANNEL=$T/runtime/glimmerbox
lpadmin -p "$QUEUE" -E -v "cups-pdf:/$NAME" -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null ||
    fail "the spooler did not take a queue"
export PRINTER=$QUEUE

up() { # the main window shows, once a second program has said Ctrl+Print is another's
    shown '^Glimmerbox v1\.04$' ||
        { shown '^Ctrl\+Print$' && dismiss '^Ctrl\+Print$' && touch "$T/told-$PID" && false; }
}
start() { # N: program N, its log in $T/N.log, once its window shows
    (ulimit -n 1024 && exec "$PROGRAM" >"$T/$1.log" 2>&1) &
    PIDS[$1]=$! && PID=$!
    wait_for 30 "the window of program $1" up
}
end() { # N: program N ends as the user ends it, by its window
    wmctrl -ic "$(PID=${PIDS[$1]} window '^Glimmerbox v1\.04$')"
    timeout 30 tail --pid="${PIDS[$1]}" -f /dev/null || fail "program $1 still runs"
}
served() { # what is no request is taken, then refused
    [[ $(echo x | timeout 5 socat - "UNIX-CONNECT:$CHANNEL") == \
        $'taken\nfailed not a request Glimmerbox knows' ]]
}

start 1 && start 2 && PID=${PIDS[2]} && end 1
check "program 2 said at its start that another takes the requests" \
    grep -q 'hand-over: another Glimmerbox of this user takes the requests$' "$T/2.log"
wait_for 30 "the channel served after program 1 ended" served
start 3 && end 2
wait_for 30 "program 3 serving after program 2, the holder, ended" served
channel=$(stat -c '%i %w' "$CHANNEL") && start 4 && end 4 && PID=${PIDS[3]} # inode, birth
check "program 4 ending left program 3's channel" test "$(stat -c '%i %w' "$CHANNEL")" == "$channel"
told() { for n in 1 2 3 4; do [[ ! -e $T/told-${PIDS[n]} ]] || echo -n "$n"; done; }
check "programs 2 and 4 said another program holds Ctrl+Print, 1 and 3 not" test "$(told)" == 24
refused() { ! setpriv --reuid=65534 --regid=65534 --clear-groups env -u DISPLAY "$@" 2>/dev/null; }
check "another user cannot reach the channel" \
    refused timeout 10 socat - "UNIX-CONNECT:$CHANNEL" </dev/null
check "another user's --print-screen prints nothing" refused "$PROGRAM" --print-screen

pages=$(pdfs) commands=() statuses=''
for _ in {1..20}; do "$PROGRAM" --print-screen 2>>"$T/cmd.log" & commands+=($!); done
for c in "${commands[@]}"; do wait "$c" && statuses+=0 || statuses+=1; done
check "20 commands at once, each answered by the program: $statuses $(cat "$T/cmd.log")" \
    test "$statuses" == 00000000000000000000 -a ! -s "$T/cmd.log"
wait_for 120 "20 pages" printed $((pages + 20))
check "... and none for the other user" test "$(pdfs)" -eq $((pages + 20))

(ulimit -n 4096 && exec timeout 60 python3 -c '
import contextlib, socket, sys
held = [socket.socket(socket.AF_UNIX) for _ in range(1100)]
for s in held:
    with contextlib.suppress(OSError):
        s.connect(sys.argv[1])' "$CHANNEL")
wait_for 30 "the channel served after a flood of 1100 connections" served
check "the flood took the channel from it for a while" grep -q 'lost the --print-screen' "$T/3.log"
for _ in {1..30}; do served; done
check "a client that says nothing let go of" timeout 9 socat -u "UNIX-CONNECT:$CHANNEL" -
rm "$CHANNEL" && wait_for 30 "the channel served again after another program removed it" served
check "lines that are no request warned of at most once in 10 s" \
    test "$(grep -c 'ignored a request' "$T/3.log")" -le 10

kill -STOP "${PIDS[3]}" && pages=$(pdfs)
said=$(timeout 60 "$PROGRAM" --print-screen 2>&1) || check "--print-screen printed: $said" false
check "a stopped program is said: $said" grep -q "did not take the request within 3" <<<"$said"
kill -CONT "${PIDS[3]}"
check "after it, --print-screen through it" "$PROGRAM" --print-screen
wait_for 60 "the page of the program" printed $((pages + 2))
check "the request given up on printed nothing" test "$(pdfs)" -eq $((pages + 2))

# Neither XDG_RUNTIME_DIR nor Qt's stand-in under TMPDIR is a folder: no channel anywhere.
mkdir "$T/tmp" && touch "$T/tmp/runtime-$(id -un)" && pages=$(pdfs)
export XDG_RUNTIME_DIR=/dev/null TMPDIR=$T/tmp
start 5
check "program 5 says why it has no channel" grep -q 'channel: .*folder of their own$' "$T/5.log"
check "... and made none at the root" test ! -e /glimmerbox
check "--print-screen without a channel prints alone" "$PROGRAM" --print-screen
export XDG_RUNTIME_DIR=$T/runtime && end 3
check "the holder removed its channel at exit" test ! -e "$CHANNEL"
check "--print-screen with no program running prints alone" "$PROGRAM" --print-screen
wait_for 60 "the pages printed alone" printed $((pages + 2))
exit "$failed"
