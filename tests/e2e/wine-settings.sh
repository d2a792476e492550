# Sourced by the runs of quorvax.exe under Wine. The player's settings
# folder (%APPDATA%\Quorvax\) lives in the Wine prefix, which every run
# shares and which outlives them: a file left there by one run (Jump moved
# to Z) would take SHIFT from the next. Each run sets the folder aside
# before its first game and puts it back when it ends, so every game starts
# from the default settings and a player's own prefix keeps its file.
# Needs WINEPREFIX (or Wine's default prefix).

wine_appdata=""
wine_settings=""
wine_settings_aside=""

# Sets the folder aside; then %APPDATA% is in $wine_appdata and the folder's
# Unix path in $wine_settings. Fails when Wine names no folder.
set_aside_wine_settings() {
  wine_appdata=$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')
  [ -n "$wine_appdata" ] || return 1
  wine_settings=$(winepath -u "$wine_appdata\\Quorvax" 2>/dev/null)
  [ -n "$wine_settings" ] || return 1
  wine_settings_aside=$(mktemp -d)
  if [ -e "$wine_settings" ]; then
    mv "$wine_settings" "$wine_settings_aside/Quorvax" || return 1
  fi
}

# Drops what the run wrote there and puts back what was set aside; for the
# run's EXIT trap, once its game has ended.
restore_wine_settings() {
  [ -n "$wine_settings_aside" ] || return 0
  rm -rf "$wine_settings"
  if [ -e "$wine_settings_aside/Quorvax" ]; then
    mv "$wine_settings_aside/Quorvax" "$wine_settings"
  fi
  rm -rf "$wine_settings_aside"
  wine_settings_aside=""
}
