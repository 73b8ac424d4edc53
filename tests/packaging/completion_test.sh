#!/usr/bin/env bash
# The bash completion of veltra8-cli, as a user's shell runs it: with
# bash-completion's main script, on the built client first in PATH and a
# simulator serving a link in a virtual-ports folder of the test's own.
#   completion_test.sh BIN-DIR COMPLETION-SCRIPT [BASH-COMPLETION-MAIN]
set -uo pipefail
bin=$1
script=$2
main=${3:-/usr/share/bash-completion/bash_completion}
[ -r "$main" ] || { echo "bash-completion is not installed ($main)"; exit 1; }

export PATH="$bin:$PATH" LANG=C LANGUAGE= LC_ALL= LC_MESSAGES=
work=$(mktemp -d)
sim=
cleanup() {
  [ -n "$sim" ] && kill "$sim" 2>/dev/null && wait "$sim" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
export VELTRA8_PORTS_DIR="$work/ports"
mkdir "$VELTRA8_PORTS_DIR"

# shellcheck source=/dev/null
source "$main"
# shellcheck source=/dev/null
source "$script"
function=$(complete -p veltra8-cli 2>/dev/null | sed -n 's/.*-F \([^ ]*\) .*/\1/p')
[ -n "$function" ] || { echo "FAIL: the script registers no completion function for veltra8-cli"; exit 1; }

failures=0
# The sorted candidates for LINE, completed at its end. The words are split
# as readline splits them, "=" standing alone.
candidates() {
  local line=$1 token
  COMP_WORDS=()
  for token in $line; do
    while [[ $token == *=* ]]; do
      [ -n "${token%%=*}" ] && COMP_WORDS+=("${token%%=*}")
      COMP_WORDS+=("=")
      token=${token#*=}
    done
    [ -n "$token" ] && COMP_WORDS+=("$token")
  done
  [[ $line == *" " ]] && COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMP_LINE=$line
  COMP_POINT=${#line}
  COMPREPLY=()
  "$function" veltra8-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}" 2>/dev/null
  printf '%s\n' "${COMPREPLY[@]}" | sed '/^$/d' | sort | tr '\n' ' ' | sed 's/ $//'
}
expect() {  # LINE, the expected candidates in any order
  local line=$1 want got
  want=$(printf '%s\n' $2 | sort | tr '\n' ' ' | sed 's/ $//')
  got=$(candidates "$line")
  if [ "$got" != "$want" ]; then
    echo "FAIL: '$line'"
    echo "  expected: $want"
    echo "  got:      $got"
    failures=$((failures + 1))
  fi
}

# --- Commands and their options ------------------------------------------------
# Exactly the commands the client's help lists (made from its table of
# commands), and for each exactly the options its own --help lists: a command
# or an option added without its completion fails here.
commands=$(veltra8-cli --help | sed -n '/^Commands:/,/^$/s/^  \([a-z-]*\) .*/\1/p' | tr '\n' ' ')
[ -n "$commands" ] || { echo "FAIL: veltra8-cli --help lists no command"; exit 1; }
expect "veltra8-cli " "$commands --version -h --help"
expect "veltra8-cli set-" "set-clock set-rate"
expect "veltra8-cli --" "--version --help"
for command in $commands; do
  options=$(veltra8-cli "$command" --help | sed -n 's/^  \(-[^ ].*\)$/\1/p' |
    sed 's/  .*//; s/ <[^>]*>//g; s/,//g')
  expect "veltra8-cli $command -" "$options"
done
# Options after other options and their values.
expect "veltra8-cli live -n 5 --ti" "--timeout"
expect "veltra8-cli download --full -q --r" "--raw"

# --- Option values -------------------------------------------------------------
expect "veltra8-cli live -f " "text csv jsonl influx"
expect "veltra8-cli live --format " "text csv jsonl influx"
expect "veltra8-cli live --format=" "text csv jsonl influx"
expect "veltra8-cli live --format=j" "jsonl"
expect "veltra8-cli download -f " "txt csv jsonl influx"
expect "veltra8-cli download -n 3 -f t" "txt"
expect "veltra8-cli convert a.txt -f " "csv jsonl influx"
expect "veltra8-cli set-rate " "1 15 30 60"
expect "veltra8-cli set-rate -p /dev/ttyS0 1" "1 15"
# Values nobody can guess: no candidates, and no files either.
expect "veltra8-cli live -n " ""
expect "veltra8-cli live --timeout " ""
expect "veltra8-cli plot a.txt --channels " ""

# -p from the ports the client lists: the simulator's link among them.
mkfifo "$work/sim.out"
veltra8-sim --ports-dir "$VELTRA8_PORTS_DIR" >"$work/sim.out" 2>&1 &
sim=$!
exec 3<"$work/sim.out"
link=
while IFS= read -r -t 10 -u 3 line; do
  case $line in link:\ *) link=${line#link: } ;; slave:\ *) break ;; esac
done
if [ -z "$link" ]; then
  echo "FAIL: the simulator gave no link"
  failures=$((failures + 1))
else
  all=$(candidates "veltra8-cli live -p ")
  [[ " $all " == *" $link "* ]] || { echo "FAIL: -p offers '$all', not the link $link"; failures=$((failures + 1)); }
  expect "veltra8-cli download -p $VELTRA8_PORTS_DIR/" "$link"
  expect "veltra8-cli set-clock --port $VELTRA8_PORTS_DIR/" "$link"
  expect "veltra8-cli set-rate --port=$VELTRA8_PORTS_DIR/v" "$link"
fi

# --- Files where a file is expected ----------------------------------------------
mkdir "$work/files" "$work/files/saved"
touch "$work/files/day1.txt" "$work/files/day2.csv" "$work/files/notes"
cd "$work/files" || exit 1
expect "veltra8-cli convert " "day1.txt day2.csv notes saved"
expect "veltra8-cli convert day1.txt d" "day1.txt day2.csv"
expect "veltra8-cli plot day1.txt -o " "day1.txt day2.csv notes saved"
expect "veltra8-cli plot d" "day1.txt day2.csv"
expect "veltra8-cli live -o " "day1.txt day2.csv notes saved"
expect "veltra8-cli download --raw n" "notes"
expect "veltra8-cli download --output=day" "day1.txt day2.csv"
# Commands that take no file offer none.
expect "veltra8-cli download " ""
expect "veltra8-cli ports " ""

if [ $failures -ne 0 ]; then
  echo "$failures completion checks failed"
  exit 1
fi
echo "completion: all checks passed"
