#!/bin/bash
# Runs a Windows program under wine64 in a fresh Wine prefix, on an X server
# of its own (Xvfb) with a Wine virtual desktop that has a taskbar and a
# notification area. Every process of the prefix shares that desktop.
#
#   run-in-wine.sh PROGRAM.exe [ARGS...]   run it; exits with its exit code
#   run-in-wine.sh --prepare-only          only prepare the template prefix
#
# TOLVANE_WINE_TEMPLATE  prepared prefix that each run copies (made when missing)
# TOLVANE_WINE_KEEP=1    keep the run's prefix and logs (their place is printed)
set -u

WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64
export WINELOADER=$WINE
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

template=${TOLVANE_WINE_TEMPLATE:-${TMPDIR:-/tmp}/tolvane-wine-template}
# Changes with every change to how the template is prepared, so that an
# older template is made again.
template_version=2

start_xvfb() {  # sets XVFB_PID and DISPLAY
  local fdfile
  fdfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
  XVFB_PID=$!
  # Xvfb writes its display number once it takes clients; on a busy
  # machine that can take seconds.
  for _ in $(seq 1 600); do
    [ -s "$fdfile" ] && break
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.05
  done
  if [ ! -s "$fdfile" ]; then
    echo "run-in-wine: Xvfb gave no display within 30 s (it $(kill -0 "$XVFB_PID" 2>/dev/null && echo still runs || echo has ended))" >&2
    rm -f "$fdfile"
    kill "$XVFB_PID" 2>/dev/null
    exit 1
  fi
  DISPLAY=:$(head -n1 "$fdfile")
  export DISPLAY
  rm -f "$fdfile"
}

prepare_template() {
  mkdir -p "$(dirname "$template")"
  exec 9>"$template.lock"
  flock 9
  if [ "$(cat "$template/.ready" 2>/dev/null)" != "$template_version" ]; then
    rm -rf "$template"
    start_xvfb
    WINEPREFIX=$template "$WINE" wineboot -i >/dev/null 2>&1
    WINEPREFIX=$template "$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f >/dev/null 2>&1
    WINEPREFIX=$template "$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d 1024x768 /f >/dev/null 2>&1
    # A program that crashes ends (its backtrace goes to the output) instead
    # of waiting behind a crash dialog until the test times out.
    WINEPREFIX=$template "$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    WINEPREFIX=$template "$WINESERVER" -w
    kill "$XVFB_PID" 2>/dev/null; wait "$XVFB_PID" 2>/dev/null
    if [ ! -f "$template/system.reg" ]; then
      echo "run-in-wine: could not prepare the Wine prefix $template" >&2
      exit 1
    fi
    echo "$template_version" >"$template/.ready"
  fi
  flock -u 9
  exec 9>&-
}

prepare_template
[ "${1:-}" = "--prepare-only" ] && exit 0

program=$(realpath "$1")
shift
work=$(mktemp -d "${TMPDIR:-/tmp}/tolvane-wine.XXXXXX")
cp -a "$template" "$work/prefix"
export WINEPREFIX=$work/prefix
XVFB_PID=

cleanup() {
  "$WINESERVER" -k >/dev/null 2>&1
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
  fi
  if [ "${TOLVANE_WINE_KEEP:-0}" = 1 ]; then
    echo "run-in-wine: prefix kept in $work" >&2
  else
    rm -rf "$work"
  fi
}
trap cleanup EXIT
start_xvfb

cd "$(dirname "$program")"
"$WINE" "$program" "$@"
status=$?
exit $status
