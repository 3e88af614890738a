#!/usr/bin/env bash
# phonecheck-test.sh <phonecheck.exe> <build dir>: the console check against the simulated phones
# that simphone.py linked as COM41 (ready), COM42 (silent), COM43 (SIM PIN) and COM44 (goes away
# mid-answer): its lines, the PIN round, and a stop mid-check that ends the program at once.
set -u
exe=$1
. "$(dirname "$(readlink -f "$0")")/wine-env.sh" "$2"
failed=0
expect() {  # what, expected, actual
    if [ "$2" != "$3" ]; then
        printf 'FAIL: %s\n  expected: %q\n  actual:   %q\n' "$1" "$2" "$3"; failed=1
    fi
}
run() { timeout 60 wine "$exe" "$@" </dev/null | tr -d '\r'; }
t=$'\t'

expect "one line per port, tab-separated" \
"COM41${t}modem${t}ZOR${t}Z100${t}ready${t}20${t}home
COM42${t}no answer${t}${t}${t}${t}${t}
COM43${t}modem${t}ZOR${t}Z100${t}PIN, 3 tries left${t}20${t}home
COM44${t}no answer${t}${t}${t}${t}${t}" "$(run COM41 COM42 COM43 COM44 | sort)"

expect "a wrong PIN is refused" "rejected" "$(run --pin COM43 4321)"
expect "a PIN that is no PIN is not sent" "not valid" "$(run --pin COM43 12)"
expect "the right PIN is taken" "accepted" "$(run --pin COM43 1234)"
expect "the SIM is ready after it" "COM43${t}modem${t}ZOR${t}Z100${t}ready${t}20${t}home" "$(run COM43)"

start=$(date +%s%N)
out=$(run --stop-after 200 COM41 COM42); code=${PIPESTATUS[0]}
ms=$(( ($(date +%s%N) - start) / 1000000 ))
expect "a stop mid-check reports what was done and nothing after" "COM41${t}modem${t}ZOR${t}Z100${t}ready${t}20${t}home" "$out"
expect "and ends with exit code 0" 0 "$code"
if [ "$ms" -ge 1500 ]; then echo "FAIL: the program took $ms ms to end after a stop at 200 ms"; failed=1; fi

[ $failed -eq 0 ] && echo "phonecheck: all checks hold (stop to exit: $ms ms, Wine's start included)"
exit $failed
