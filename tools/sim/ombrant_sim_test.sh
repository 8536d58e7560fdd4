#!/bin/bash
# Exit codes, log and written machine of ombrant-sim on a small XP machine.
# Usage: ombrant_sim_test.sh OMBRANT_SIM TESTDATA
set -u
sim=$1
data=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# expect STATUS NAME SCRIPT-TEXT [MACHINE]
expect() {
  local status=$1 name=$2 script=$3 machine=${4:-$data/xp}
  printf '%s\n' "$script" > "$work/$name.txt"
  "$sim" "$machine" "$work/$name.txt" "$work/$name.out" > "$work/$name.stdout" 2> "$work/$name.stderr"
  local got=$?
  if [ "$got" != "$status" ]; then
    echo "FAIL $name: exit $got, expected $status; stderr: $(cat "$work/$name.stderr")"
    failures=$((failures + 1))
  fi
}
# contains FILE TEXT NAME
contains() {
  if ! grep -qF -- "$2" "$1"; then
    echo "FAIL $3: $1 lacks: $2"
    failures=$((failures + 1))
  fi
}

question="Uninstall means that the Ombrants you've created will be removed. That includes your bookmarks and other data you might have saved in the Internet applications you used. Are you sure you want to continue?"

expect 0 answered "$(printf '# a comment\nanswer no\nuninstall\nexpect-box %s\nexit' "$question")"
contains "$work/answered.out/log.txt" "page 0" answered
contains "$work/answered.out/log.txt" "box question-yesno \"Ombrant\" \"$question\" -> no" answered
contains "$work/answered.out/log.txt" "exit 0" answered
contains "$work/answered.out/machine.ini" "[account:Anna]" answered
contains "$work/answered.out/machine.ini" "sid=S-1-5-21-" answered
contains "$work/answered.out/machine.ini" "path=C:\\Program Files\\Mail\\mail.exe" answered
[ -f "$work/answered.out/hives/Admin.reg" ] || { echo "FAIL answered: no hives/Admin.reg"; failures=$((failures + 1)); }
[ -f "$work/answered.out/drives/C/WINDOWS/system32/runas.exe" ] || { echo "FAIL answered: drives not written"; failures=$((failures + 1)); }

expect 1 unanswered "$(printf 'uninstall\nexit')"
contains "$work/unanswered.stderr" "unanswered.txt:1: a message box had no answer queued" unanswered
contains "$work/unanswered.out/log.txt" "exit 1" unanswered

expect 1 wrong-box "$(printf 'answer no\nuninstall\nexpect-box Something else')"
contains "$work/wrong-box.stderr" "wrong-box.txt:3: expected the box \"Something else\"" wrong-box

expect 1 no-control "$(printf 'next\nset editNothing x')"
contains "$work/no-control.stderr" "no-control.txt:2: no edit field named \"editNothing\"" no-control

expect 2 bad-step "$(printf 'next\nfly away')"
contains "$work/bad-step.stderr" "bad-step.txt:2: unknown step \"fly\"" bad-step

expect 2 bad-machine "exit" "$work/no-such-machine"
contains "$work/bad-machine.stderr" "machine.ini" bad-machine

mkdir -p "$work/broken"
printf '[machine]\nbits=48\n' > "$work/broken/machine.ini"
expect 2 broken-machine "exit" "$work/broken"
contains "$work/broken-machine.stderr" "line 2" broken-machine

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "ombrant-sim: all checks passed"
