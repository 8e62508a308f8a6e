#!/bin/bash
# Runs the amd64 installer and then its uninstaller silently under wine64 in
# a fresh copy of the prepared Wine prefix, and checks what each leaves on
# drive C: and in the registry.
#
#   test-installer.sh SETUP.exe Tolvane.exe BOT_DIR
#
# TOLVANE_WINE_TEMPLATE  the prepared prefix (the wine_template test makes it)
# TOLVANE_WINE_KEEP=1    keep the prefix afterwards (its place is printed)
set -u

setup=$(realpath "$1")
exe=$(realpath "$2")
bot=$(realpath "$3")

WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64
export WINELOADER=$WINE
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

template=${TOLVANE_WINE_TEMPLATE:?the prepared Wine prefix is needed (test wine_template)}
if [ ! -f "$template/.ready" ]; then
  echo "no prepared Wine prefix in $template: run the wine_template test first" >&2
  exit 1
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/tolvane-setup.XXXXXX")
cp -a "$template" "$work/prefix"
export WINEPREFIX=$work/prefix
drive=$WINEPREFIX/drive_c

# Wine starts its desktop process for the installer's (hidden) windows:
# give it an X server of its own.
fdfile=$work/display
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 100); do
  [ -s "$fdfile" ] && break
  sleep 0.05
done
export DISPLAY=:$(head -n1 "$fdfile")

cleanup() {
  "$WINESERVER" -k >/dev/null 2>&1
  kill "$xvfb_pid" 2>/dev/null
  wait "$xvfb_pid" 2>/dev/null
  if [ "${TOLVANE_WINE_KEEP:-0}" = 1 ]; then
    echo "prefix kept in $work" >&2
  else
    rm -rf "$work"
  fi
}
trap cleanup EXIT

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

# What GetUserName gives under Wine: the Linux user's name.
user=$(id -un)
data="Documents and Settings/$user/My Documents/Tolvane"
saved="Documents and Settings/$user/Tolvane"
programs="users/$user/AppData/Local/Programs/Tolvane"
startmenu="users/$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Tolvane"
run_key='HKCU\SOFTWARE\Microsoft\Windows\CurrentVersion\Run'

# Every file and folder of drive C:, but the temporary folders. (An
# uninstaller runs from a copy of itself in the temporary folder, which
# Windows deletes at the next restart.)
snapshot() {
  (cd "$drive" && find . -mindepth 1 \( -type f -o -type d -o -type l \) -printf '%y %P\n' |
    grep -v -e '^. windows/temp' -e "^. users/$user/Temp" -e "^. users/$user/AppData/Local/Temp" |
    LC_ALL=C sort)
}

run_wine() {
  "$WINE" "$@"
  local status=$?
  "$WINESERVER" -w
  return $status
}

expected_install() {
  {
    echo "d $(dirname "$programs")"
    echo "d $programs"
    echo "f $programs/Tolvane.exe"
    echo "f $programs/Uninstall.exe"
    echo "d $startmenu"
    echo "f $startmenu/Tolvane.lnk"
    echo "d Documents and Settings"
    echo "d Documents and Settings/$user"
    echo "d Documents and Settings/$user/My Documents"
    echo "d $data"
    echo "f $data/Kavri.pl"
    echo "f $data/README.html"
    echo "d $data/lib"
    echo "d $data/lib/Tolvane"
    echo "d $data/lib/Tolvane/Transport"
    (cd "$bot" && for m in lib/Tolvane/*.pm lib/Tolvane/Transport/*.pm; do echo "f $data/$m"; done)
    echo "d $saved"
  } | LC_ALL=C sort
}

before=$(snapshot)

# ---- install ---------------------------------------------------------
run_wine "$setup" /S
status=$?
[ $status = 0 ] && pass "the installer ends with 0" || fail "the installer ended with $status"

after=$(snapshot)
added=$(LC_ALL=C comm -13 <(echo "$before") <(echo "$after"))
removed=$(LC_ALL=C comm -23 <(echo "$before") <(echo "$after"))
if [ "$added" = "$(expected_install)" ]; then
  pass "the installer adds exactly the expected files and folders"
else
  fail "the installer's files differ from the expected ones:"
  diff <(expected_install) <(echo "$added") >&2
fi
[ -z "$removed" ] && pass "the installer removes nothing" || fail "the installer removed: $removed"

same() {  # same SOURCE INSTALLED
  if cmp -s "$1" "$drive/$2"; then pass "$2 is the built file"; else fail "$2 differs from $1"; fi
}
same "$exe" "$programs/Tolvane.exe"
same "$bot/Kavri.pl" "$data/Kavri.pl"
same "$bot/README.html" "$data/README.html"
(cd "$bot" && for m in lib/Tolvane/*.pm lib/Tolvane/Transport/*.pm; do echo "$m"; done) |
  while read -r m; do
    cmp -s "$bot/$m" "$drive/$data/$m" || echo "$m"
  done > "$work/differ"
[ -s "$work/differ" ] && fail "modules differ: $(cat "$work/differ")" || pass "the modules are the built ones"
[ -e "$drive/$data/settings.txt" ] &&
  fail "settings.txt exists: the program's first run would not set up Perl" ||
  pass "no settings.txt, so the program's first run sets up Perl"

if run_wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tolvane' \
    /v UninstallString >/dev/null 2>&1; then
  pass "the program is listed for uninstalling"
else
  fail "no uninstall entry"
fi

# ---- use: what the program and the bot would have made ---------------
printf 'me\r\npw\r\nKavri\r\nJoe\r\n0\r\n0\r\n1\r\n0\r\n' > "$drive/$data/settings.txt"
printf 'bob|\r\n' > "$drive/$data/buddya.txt"
printf 'Gone fishing' > "$drive/$data/boba.txt"
printf '1 message from 1 buddy since 2024-05-01 10:00\r\n' > "$drive/$data/mrecived.txt"
printf 'answer_interval = 5\r\n' > "$drive/$data/Kavri.ini"
printf '<html></html>' > "$drive/$saved/Tolvane 2024-05-01 10-00-00.html"
run_wine reg add "$run_key" /v Tolvane /d "C:\\$programs\\Tolvane.exe" /f >/dev/null 2>&1
run_wine reg add "$run_key" /v Other /d 'C:\other.exe' /f >/dev/null 2>&1
used=$(snapshot)

# ---- install again over the user's data: the bot is renewed, the rest stays
cp "$drive/$data/settings.txt" "$work/settings.before"
printf 'an older bot' > "$drive/$data/Kavri.pl"
run_wine "$setup" /S
status=$?
[ $status = 0 ] && pass "installing again ends with 0" || fail "installing again ended with $status"
[ "$(snapshot)" = "$used" ] && pass "installing again adds and removes nothing" ||
  fail "installing again changed the files: $(diff <(echo "$used") <(snapshot))"
same "$bot/Kavri.pl" "$data/Kavri.pl"
cmp -s "$work/settings.before" "$drive/$data/settings.txt" &&
  [ "$(cat "$drive/$data/boba.txt")" = "Gone fishing" ] &&
  pass "installing again keeps the user's files" || fail "installing again changed the user's files"

# ---- uninstall -------------------------------------------------------
run_wine "$drive/$programs/Uninstall.exe" /S
status=$?
[ $status = 0 ] && pass "the uninstaller ends with 0" || fail "the uninstaller ended with $status"

final=$(snapshot)
gone=$(LC_ALL=C comm -23 <(echo "$used") <(echo "$final"))
new=$(LC_ALL=C comm -13 <(echo "$used") <(echo "$final"))
expected_gone=$({
  echo "d $programs"
  echo "f $programs/Tolvane.exe"
  echo "f $programs/Uninstall.exe"
  echo "d $startmenu"
  echo "f $startmenu/Tolvane.lnk"
  echo "f $data/Kavri.pl"
  echo "f $data/README.html"
  echo "d $data/lib"
  echo "d $data/lib/Tolvane"
  echo "d $data/lib/Tolvane/Transport"
  (cd "$bot" && for m in lib/Tolvane/*.pm lib/Tolvane/Transport/*.pm; do echo "f $data/$m"; done)
} | LC_ALL=C sort)
if [ "$gone" = "$expected_gone" ]; then
  pass "the uninstaller removes the program, the shortcut and the installed bot, nothing else"
else
  fail "the uninstaller removed other files than expected:"
  diff <(echo "$expected_gone") <(echo "$gone") >&2
fi
[ -z "$new" ] && pass "the uninstaller adds nothing" || fail "the uninstaller left: $new"
for f in settings.txt buddya.txt boba.txt mrecived.txt Kavri.ini; do
  [ -f "$drive/$data/$f" ] || fail "the user's $f is gone"
done
[ "$(cat "$drive/$data/boba.txt")" = "Gone fishing" ] && pass "the user's files are kept as they were" ||
  fail "boba.txt changed"
[ -f "$drive/$saved/Tolvane 2024-05-01 10-00-00.html" ] && pass "the saved messages are kept" ||
  fail "the saved messages are gone"

if run_wine reg query "$run_key" /v Tolvane >/dev/null 2>&1; then
  fail "the Run value Tolvane is still there"
else
  pass "the Run value Tolvane is removed"
fi
if run_wine reg query "$run_key" /v Other >/dev/null 2>&1; then
  pass "other Run values stay"
else
  fail "the uninstaller removed another Run value"
fi
if run_wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tolvane' >/dev/null 2>&1; then
  fail "the uninstall entry is still there"
else
  pass "the uninstall entry is removed"
fi

if [ $failures = 0 ]; then
  echo "all checks passed"
  exit 0
fi
echo "$failures check(s) failed" >&2
exit 1
