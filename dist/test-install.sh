#!/usr/bin/env bash
# Installs a build into a temporary prefix and starts the installed game
# under X the way a menu would, from a directory without the game's files:
# it must show its title picture from the installed files and, on Escape,
# write the player's own "scores.dat" into $XDG_DATA_HOME/quorvax. Then the
# same from a directory that holds the files, which it must use as it is.
# Exits 77 (skipped) without a display.
set -euo pipefail
build=$(cd "$1" && pwd)
if [ -z "${DISPLAY:-}" ]; then
    echo "no DISPLAY: skipped"
    exit 77
fi
for tool in xdotool xwd appstreamcli; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed"; exit 1; }
done

work=$(mktemp -d /tmp/quorvax-install-XXXXXX)
pid=""
cleanup() {
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        kill "$pid" 2>/dev/null || true
        sleep 2
        # The game ends on the signal; a hung one must not outlive the test.
        kill -9 "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    for log in "$work"/*.log; do
        [ -s "$log" ] && { echo "--- $log"; tail -n 30 "$log"; }
    done
    exit 1
}

prefix=$work/prefix
id=net.quorvax.Quorvax
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || fail "install"
for f in bin/quorvax share/quorvax/First.jpg share/applications/$id.desktop \
    share/metainfo/$id.metainfo.xml share/man/man6/quorvax.6 \
    share/icons/hicolor/{32x32,64x64,128x128,256x256}/apps/$id.png; do
    [ -e "$prefix/$f" ] || fail "not installed: $f"
done
# The menu entry, the metadata and the icons as one installed whole.
appstreamcli validate-tree --no-net "$prefix" >"$work/validate.log" 2>&1 || fail "validate-tree"

mkdir -p "$work/home" "$work/xdg" "$work/elsewhere" "$work/own"

source "$(dirname "$0")/../tests/e2e/find-window.sh"

# Starts the installed game in directory $1, waits for its title picture,
# then presses Escape and waits for the game to end. The program's own
# message box where the machine has no sound ("Error opening Mapper") is
# answered with Enter; a missing file would keep its box open and fail here.
play() {
    local dir=$1 win="" box="" colours=0 end
    (cd "$dir" && exec env HOME="$work/home" XDG_DATA_HOME="$work/xdg" SDL_AUDIODRIVER=dummy \
        "$prefix/bin/quorvax" >"$work/game.log" 2>&1) &
    pid=$!
    end=$((SECONDS + 90))
    while [ $SECONDS -lt $end ]; do
        kill -0 "$pid" 2>/dev/null || fail "the game ended by itself"
        win=$(find_window Quorvax) && break
        if box=$(find_window quorvax); then
            xdotool windowfocus "$box" 2>/dev/null || true
            xdotool key --window "$box" Return 2>/dev/null || true
        fi
        sleep 0.3
    done
    [ -n "$win" ] || fail "no game window"
    # The title picture is many colours; without "First.jpg" it would be one.
    for _ in $(seq 120); do
        xwd -silent -id "$win" >"$work/shot.xwd" 2>/dev/null || true
        colours=$(tail -c 2000000 "$work/shot.xwd" | od -An -v -tx4 -w4 | sort -u | wc -l)
        [ "$colours" -gt 200 ] && break
        sleep 0.5
    done
    [ "$colours" -gt 200 ] || fail "no title picture on the screen ($colours colours)"
    echo "title picture on the screen: $colours colours"
    # No window manager here: give the window the keyboard, then press.
    xdotool windowfocus "$win" 2>/dev/null || true
    xdotool key Escape
    for _ in $(seq 120); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.5
    done
    kill -0 "$pid" 2>/dev/null && fail "the game did not end on Escape"
    wait "$pid" || fail "the game ended with status $?"
    pid=""
    if grep -q "^quorvax: cannot" "$work/game.log"; then
        fail "the launcher complained"
    fi
}

play "$work/elsewhere"
player=$work/xdg/quorvax
[ -s "$player/scores.dat" ] || fail "no scores.dat in $player"
[ -e "$work/elsewhere/scores.dat" ] && fail "scores.dat written where the game was started"
[ -e "$work/home/.local" ] && fail "the home directory was used despite XDG_DATA_HOME"
for f in First.jpg SONAT_A1.MID wood.bmp bomb.wav; do
    [ "$(readlink "$player/$f")" = "$prefix/share/quorvax/$f" ] || fail "$f is not linked"
done
[ -L "$player/scores.dat" ] && fail "scores.dat is a link"

# A directory that holds the game's files is used as it is.
cp "$prefix"/share/quorvax/* "$work/own/"
rm "$player/scores.dat"
play "$work/own"
[ -s "$work/own/scores.dat" ] || fail "no scores.dat in the game's own directory"
[ -e "$player/scores.dat" ] && fail "the player's directory was used"
echo "installed game ran from $work/elsewhere and $work/own"
