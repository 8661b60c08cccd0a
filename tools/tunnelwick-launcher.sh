#!/bin/sh
# Starts Tunnelwick in the player's own game directory,
#   ${XDG_DATA_HOME:-~/.local/share}/tunnelwick
# The game reads and writes everything relative to its working directory, so
# that directory is seeded from the shipped data tree on first use. Later runs
# keep what the player has (highscores.dat, settings.ini, saved and edited
# levels, packs and their tables) and only add shipped files that are new (a
# new pack's folder under packs/ included); pictures and sounds, which
# the game never writes, are brought up to date with the shipped ones.
#
# Where the shipped data and the binary are: $TUNNELWICK_DATA and
# $TUNNELWICK_BIN if set, else found from this script's own place (the source
# tree: tools/../data and tools/../build/tunnelwick; an installation:
# games/../share/tunnelwick/data and games/../lib/tunnelwick/tunnelwick).
set -eu

here=$(dirname "$(readlink -f "$0")")

# Started from the desktop's menu there is no terminal: what goes wrong is
# also shown in a window (xmessage, as the game's own start-up failures are).
fail() {
    echo "tunnelwick: $1" >&2
    if [ -n "${DISPLAY:-}" ] && command -v xmessage >/dev/null 2>&1; then
        xmessage -center -title Tunnelwick "Tunnelwick cannot start: $1" >/dev/null 2>&1 || true
    fi
    exit 1
}

# The source tree (this script in tools/) or an installation (games/tunnelwick).
if [ -f "$here/../CMakeLists.txt" ] && [ -d "$here/../data" ] && [ -d "$here/../src" ]; then
    shipped_data=$here/../data
    shipped_binary=$here/../build/tunnelwick
else
    shipped_data=$here/../share/tunnelwick/data
    shipped_binary=$here/../lib/tunnelwick/tunnelwick
fi
data=${TUNNELWICK_DATA:-$shipped_data}
binary=${TUNNELWICK_BIN:-$shipped_binary}
if [ ! -x "$binary" ]; then
    fail "the game binary was not found (build it with 'make', or set TUNNELWICK_BIN)"
fi
# Options are the game's to answer (help, version, or a refusal); none of
# them opens the window or touches the game directory.
if [ $# -gt 0 ]; then exec "$binary" "$@"; fi
if [ ! -d "$data" ]; then
    fail "the game's data directory was not found (set TUNNELWICK_DATA)"
fi

binary=$(readlink -f "$binary")

# XDG_DATA_HOME counts only when it is an absolute path. Without HOME (a
# service, a cleared environment) the home is the user database's.
home=${HOME:-}
if [ -z "$home" ]; then
    home=$(getent passwd "$(id -u)" 2>/dev/null | cut -d: -f6) || home=
fi
case "${XDG_DATA_HOME:-}" in
    /*) base=$XDG_DATA_HOME ;;
    *)
        [ -n "$home" ] || fail "no home directory is known (HOME is not set, and the user database names none)"
        base=$home/.local/share ;;
esac
gamedir=$base/tunnelwick
if ! why=$(mkdir -p "$gamedir" 2>&1) || [ ! -w "$gamedir" ]; then
    fail "the game's directory $gamedir could not be made or written to: ${why:-Permission denied}"
fi

# Copies one shipped file into place through a temporary file, so that an
# interrupted copy never leaves half a file that later runs would keep.
install_file() {
    tmp="$2.new.$$"
    cp "$1" "$tmp" && mv -f "$tmp" "$2" || { rm -f "$tmp"; return 1; }
}

(
    cd "$data"
    find . -type d | while IFS= read -r dir; do mkdir -p "$gamedir/$dir"; done
    find . -type f | while IFS= read -r file; do
        target="$gamedir/$file"
        case "$file" in
            ./graphics/* | ./sounds/*)
                # Read-only assets: refresh when the shipped one differs.
                if [ ! -e "$target" ] || ! cmp -s "$file" "$target"; then install_file "$file" "$target"; fi ;;
            *)
                # Levels, high scores, settings: never overwrite the player's.
                if [ ! -e "$target" ]; then install_file "$file" "$target"; fi ;;
        esac
    done
)

cd "$gamedir"
exec "$binary"
