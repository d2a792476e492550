#!/usr/bin/env bash
# Runs the Windows build's tests under Wine (make test-windows):
#   1. the Windows test program (the portable tests and the Windows
#      backend's own) in the game's directory of the Windows build;
#   2. the zip holds no DLL, and its programs import system libraries only;
#   3. every replay script of tests/replays through quorvax-replay.exe and
#      through the Linux quorvax-replay: the state lines and "scores.dat"
#      must be the same (scripts/compare-replays.sh);
#   4. a player's end-to-end run of quorvax.exe (tests/e2e/player_e2e.sh
#      --wine), when the build has the game;
#   5. a game recorded by quorvax.exe --record, which the Linux
#      quorvax-replay --check must replay to the same final state and
#      quorvax.exe --play must play back (tests/e2e/record_wine_e2e.sh);
#   6. a game of quorvax.exe played to its end and sent over WinHTTP to the
#      Linux quorvax-server on loopback (tests/e2e/leaderboard_wine_e2e.sh);
#   7. the player's settings in quorvax.exe (tests/e2e/settings_wine_e2e.sh).
#   test-windows.sh WINDOWS_BUILD LINUX_BUILD
# Wine runs in a prefix of its own inside the Windows build tree, under an
# Xvfb display unless one is set. Any failure fails the run.
set -euo pipefail
win_build="$(cd "$1" && pwd)"
linux_build="$(cd "$2" && pwd)"
here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"

if [ -z "${DISPLAY:-}" ]; then
  exec bash "$here/with-xvfb.sh" 1920x1080x24 bash "$0" "$@"
fi

export WINEPREFIX="$win_build/wine"
export WINEDEBUG=-all
export WINEARCH=win64
# No Mono or Gecko installers are looked for while the prefix is made, and
# a program that crashes ends at once instead of waiting in Wine's debugger.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "== making the Wine prefix $WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi

game="$win_build/game"
failed=0

echo "== quorvax_tests.exe under Wine"
if ! (cd "$game" && wine ./quorvax_tests.exe --gtest_brief=1); then
  echo "test-windows: the Windows test program failed"
  failed=1
fi

echo "== the zip: no DLL of its own, the programs need only the system's"
system_dlls=" GDI32.dll GLU32.dll KERNEL32.dll msvcrt.dll OPENGL32.dll USER32.dll WINHTTP.dll WINMM.dll "
for zip in "$win_build"/quorvax-*-win64.zip; do
  [ -f "$zip" ] || continue
  if unzip -Z1 "$zip" | grep -i '\.dll$'; then
    echo "test-windows: $(basename "$zip") holds a DLL"
    failed=1
  fi
done
for exe in "$game/quorvax.exe" "$game/quorvax-replay.exe"; do
  [ -f "$exe" ] || continue
  for dll in $(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name/ {print $3}'); do
    if [[ $system_dlls != *" $dll "* ]]; then
      echo "test-windows: $(basename "$exe") needs $dll, which Windows does not have"
      failed=1
    fi
  done
done

echo "== replays: Windows against Linux"
if ! bash "$here/compare-replays.sh" "$game" "$linux_build/game" "$root/tests/replays"; then
  failed=1
fi

# e2e TITLE SCRIPT ARGS...: one end-to-end run of quorvax.exe; status 77 is a skip.
e2e() {
  echo "== $1"
  local status=0
  bash "$root/tests/e2e/$2" "${@:3}" || status=$?
  if [ $status -eq 77 ]; then
    echo "(skipped)"
  elif [ $status -ne 0 ]; then
    failed=1
  fi
}
if [ -f "$game/quorvax.exe" ]; then
  e2e "a player's run of quorvax.exe under Wine" player_e2e.sh "$game" \
    "$linux_build/tests/screen_probe" --wine
  e2e "a game recorded by quorvax.exe, checked by the Linux replay tool" record_wine_e2e.sh \
    "$game" "$linux_build/game"
  e2e "a game of quorvax.exe sent to the world's table" leaderboard_wine_e2e.sh "$game" \
    "$linux_build/server/quorvax-server"
  e2e "the player's settings in quorvax.exe" settings_wine_e2e.sh "$game"
fi

wineserver -k 2>/dev/null || true
exit $failed
