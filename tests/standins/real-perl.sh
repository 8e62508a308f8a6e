#!/bin/sh
# "perl" for the end-to-end runs of the real bot: Wine starts this Linux
# script (through a link named perl.exe on the Windows PATH) with the
# Windows path of Kavri.pl, which Wine's winepath turns into the Linux path.
script=$("${WINELOADER:-/usr/lib/wine/wine64}" winepath -u "$1" 2>/dev/null | tail -n 1)
shift
exec /usr/bin/perl "$script" "$@"
