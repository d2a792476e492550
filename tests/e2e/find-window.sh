# Sourced by the scripts that drive the game under an X server.
# find_window NAME: the id of a viewable window whose title is exactly NAME.
find_window() {
  local w
  for w in $(xwininfo -root -tree 2>/dev/null | awk -v n=" \"$1\": " 'index($0, n) {print $1}'); do
    xwininfo -id "$w" 2>/dev/null | grep -q IsViewable && { echo "$w"; return 0; }
  done
  return 1
}
