# shellcheck shell=bash
# Sourced by the session scripts, each of which defines how it fails.
# poll SECONDS WHAT COMMAND...: runs the command every 0.1 s until it succeeds; after the time,
# fails with WHAT.
poll() {
    local tries=$(($1 * 10)) what=$2
    shift 2
    until "$@" >/dev/null 2>&1; do
        ((tries-- > 0)) || fail "$what"
        sleep 0.1
    done
}
# owned NAME: NAME is taken on the session bus (asked of the bus: a call to a service there could
# start a second, unconfigured copy of it).
owned() {
    gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus \
        -m org.freedesktop.DBus.NameHasOwner "$1" | grep -q true
}
