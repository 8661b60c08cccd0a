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
    echo "tunnelwick: the game binary was not found (build it with 'make', or set TUNNELWICK_BIN)" >&2
    exit 1
fi
# The version is the game's to tell; it touches no game directory.
if [ "${1:-}" = --version ]; then exec "$binary" --version; fi
if [ ! -d "$data" ]; then
    echo "tunnelwick: the game's data directory was not found (set TUNNELWICK_DATA)" >&2
    exit 1
fi

binary=$(readlink -f "$binary")

# XDG_DATA_HOME counts only when it is an absolute path.
case "${XDG_DATA_HOME:-}" in
    /*) base=$XDG_DATA_HOME ;;
    *) base=${HOME:?HOME is not set}/.local/share ;;
esac
gamedir=$base/tunnelwick
mkdir -p "$gamedir"

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
