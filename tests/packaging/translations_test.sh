#!/usr/bin/env bash
# The client's translations cover every text of its sources: lupdate, run as
# the veltra8-cli-lupdate target runs it but on copies of the .ts files (the
# sources stay untouched), must find no text without a translation and none
# that the sources no longer hold.
#   translations_test.sh LUPDATE SOURCE-DIR [PROGRAM [MORE-SOURCE-DIR...]]
# PROGRAM (default veltra8-cli) names the .ts files; the station keeps its own.
# MORE-SOURCE-DIRs, relative to SOURCE-DIR, hold more of the same program's
# texts (the client's drawing program).
set -euo pipefail
lupdate=$1
cli=$2
program=${3:-veltra8-cli}
more=("${@:4}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failed=0
check() {  # file, extra lupdate options...
  local ts=$1
  shift
  cp "$cli/translations/$ts" "$work/$ts"
  (cd "$cli" && "$lupdate" -silent -I .. -locations none "$@" . "${more[@]}" -ts "$work/$ts")
  # Counted per message: a numerus message is one entry however many forms.
  local messages unfinished stale
  messages=$(grep -c '<message' "$work/$ts" || true)
  unfinished=$(grep -c 'type="unfinished"' "$work/$ts" || true)
  stale=$(grep -cE 'type="(vanished|obsolete)"' "$work/$ts" || true)
  echo "$ts: $messages texts, $unfinished without translation, $stale no longer in the sources"
  if [ "$unfinished" -ne 0 ] || [ "$stale" -ne 0 ]; then
    grep -B2 -E 'type="(unfinished|vanished|obsolete)"' "$work/$ts" | grep '<source>' | sed 's/^ */  /' >&2
    failed=1
  fi
}
check "${program}_es.ts"
check "${program}_en.ts" -pluralonly
if [ $failed -ne 0 ]; then
  echo "run 'cmake --build build --target ${program}-lupdate' and translate the texts above" >&2
  exit 1
fi
