#!/usr/bin/env bash
# Runs a Windows program under Wine, as CMake's cross-compiling emulator.
#
# Wine's own diagnostics stay off stderr (the programs' stderr is checked by
# tests).  Wine's background processes (its server and services) start
# once, detached from every caller's output, so that they never hold a
# test's stdout open after the test ends; the first of them also creates
# the prefix.  The lock makes that happen once however many tests start at
# the same time, and its descriptor is closed for everything Wine starts.
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-winemenubuilder.exe=d;mscoree=d;mshtml=d}
export WINEPREFIX=${WINEPREFIX:-${HOME:-/root}/.wine}
mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  # Succeeds only where no server runs yet; it stays, which saves its
  # start-up on every later call.
  if wineserver -p </dev/null >/dev/null 2>&1 9>&-; then
    wine cmd.exe /c exit </dev/null >/dev/null 2>&1 9>&- || true
  fi
) 9>"$WINEPREFIX.lock"
exec wine "$@"
