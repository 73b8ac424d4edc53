#!/usr/bin/env bash
# The station's unit passes systemd-analyze verify without a word: every key
# known, the command there. The installed path is swapped for the built
# program, and an instance is verified, as systemctl would start it.
#   station_unit_test.sh UNIT-FILE STATION-PROGRAM
set -euo pipefail
unit=$1
program=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sed "s#/usr/bin/veltra8-station#$program#" "$unit" > "$work/veltra8-station@cold-room.service"
out=$(systemd-analyze verify --man=no "$work/veltra8-station@cold-room.service" 2>&1) || { echo "$out" >&2; exit 1; }
if [ -n "$out" ]; then
  echo "$out" >&2
  exit 1
fi
grep -q '^Type=notify$' "$unit"
echo "veltra8-station@.service verified"
