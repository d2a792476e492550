#!/usr/bin/env bash
# make test-web: the browser build's checks.
#   1. the replay tool under node plays every pinned replay to the same
#      states, messages and "scores.dat" as the Linux one;
#   2. the page in a headless Chromium (tests/web): it loads and shows the
#      title, plays, sounds, keeps scores across a reload, and a game
#      recorded in it checks with the Linux replay tool. Its screenshots and
#      the recording go to WEB_BUILD/test-shots, the measured numbers (site
#      size, first load, frame time) to WEB_BUILD/test-results.json;
#   3. the page where things go wrong (tests/web/test_trouble.py): without
#      WebGL, and with quorvax.data answering 404 or quorvax.wasm cut off;
#   4. the page with the world's table (tests/web/test_table.py): the Linux
#      quorvax-server serves it, takes its games, keeps none twice after its
#      outbox waited for it, and its table page's watch link plays them.
# A missing browser is a failure, not a skip: CI must not pass without it.
#   test-web.sh WEB_BUILD LINUX_BUILD
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/web-env.sh"
web="$(cd "$1" && pwd)"
linux="$(cd "$2" && pwd)"
failed=0

echo "== the replays under node against Linux"
bash "$here/compare-replays.sh" "$web/quorvax-replay.js" "$linux/game" "$here/../tests/replays" || failed=1

echo "== the page in Chromium"
if ! command -v chromium >/dev/null; then
  echo "test-web: no chromium here (scripts/install-deps-web.sh installs it): the browser tests cannot run"
  failed=1
else
  "$web_python" "$here/../tests/web/test_driver.py" || failed=1
  "$web_python" "$here/../tests/web/test_page.py" --site "$web/site" --replay "$linux/game/quorvax-replay" \
    --game-dir "$linux/game" --song-length-ms "$web/tools/song-length-ms.txt" \
    --shots "$web/test-shots" --results "$web/test-results.json" || failed=1
  "$web_python" "$here/../tests/web/test_touch.py" --site "$web/site" --shots "$web/test-shots" ||
    failed=1
  "$web_python" "$here/../tests/web/test_trouble.py" --site "$web/site" --shots "$web/test-shots" || failed=1
  "$web_python" "$here/../tests/web/test_table.py" --site "$web/site" --server "$linux/server/quorvax-server" ||
    failed=1
fi
[ $failed -eq 0 ] && echo "test-web: all passed"
exit $failed
