#!/usr/bin/env bash
# an-register as a user runs it: exit statuses, what it prints, files it
# refuses and leaves alone.
# usage: cli_test.sh AN_REGISTER SAMPLE
set -u
an_register=$1
sample=$2
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
failures=0
check() {  # check DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
status() { "$@" >"$work/out" 2>"$work/err"; echo $?; }
reg() { "$an_register" --register "$work/lab/register.sqlite" "$@"; }
record() {  # [date=DAY] [due=DAY] record FILE [OPTION...]
    local file=$1
    shift
    reg record --serial SN-1 --file "$file" --date "${date:-2026-03-01}" --operator "A. Operator" --instrument "VNA 17" \
        --instrument-cal-due "${due:-2027-01-31}" --line L1 --terminals "N: 50 ohm" --fixture "adapter 4" "$@"
}

check "reading a register that is not there is status 2" test "$(status reg networks)" = 2
check "  and makes nothing" test ! -e "$work/lab"
check "a network is added, the folder made" \
    test "$(status reg add-network --maker Acme --model L-50 --serial SN-1 --type 1 --lines L1,N --interval-days 365)" = 0
check "a serial number is taken once" \
    test "$(status reg add-network --maker Acme --model L-50 --serial SN-1 --type 1 --lines L1 --interval-days 365)" = 2
check "  the error names the register" grep -q "register.sqlite: cannot add the network: serial number SN-1" "$work/err"

check "the sample sweep is recorded as failed" test "$(status record "$sample" --uncertainty 2.5%,1.5 --coverage 2)" = 0
check "  so it says" grep -q "^recorded verification 1 of SN-1: fail (Guarded acceptance, guard band w = U (expanded uncertainty U = 2.5 %" "$work/out"
head -100 "$sample" >"$work/low.s1p"
check "its lower half, correcting it, passes" test "$(status record "$work/low.s1p" --supersedes 1)" = 0
check "  so it says" grep -q "^recorded verification 2 of SN-1: pass" "$work/out"
check "a day that does not exist is refused" test "$(date=2026-02-29 status record "$work/low.s1p")" = 2
check "  so it says" grep -q "takes a day written YYYY-MM-DD, not '2026-02-29'" "$work/err"
check "a day to come is refused" test "$(date=2099-03-01 due=2099-12-31 status record "$work/low.s1p")" = 2
check "  so it says" grep -q "nothing was recorded: The date 2099-03-01 has not come yet" "$work/err"
check "an instrument out of calibration is refused" test "$(due=2026-02-28 status record "$work/low.s1p")" = 2
check "  so it says" grep -q "calibration ran out on 2026-02-28" "$work/err"
check "an uncertainty without its coverage factor is refused" test "$(status record "$work/low.s1p" --uncertainty 2,1)" = 2
check "an unreadable measurement is refused" test "$(status record "$work/none.s1p")" = 2
check "  the error names it" grep -q "none.s1p" "$work/err"

check "history shows the correction" test "$(status reg history --serial SN-1)" = 0
check "  on the first" grep -q "^1 .*superseded by 2" "$work/out"
check "due lists the network due a year after the correction" test "$(status reg due --today 2026-12-08)" = 0
check "  so" grep -q "^ok  *SN-1  *2027-03-01" "$work/out"
check "a withdrawal is kept" test "$(status reg withdraw 2 --reason "wrong adapter" --by "B. Checker")" = 0
check "  once" test "$(status reg withdraw 2 --reason again --by "B. Checker")" = 2
check "  and the network is overdue" test "$(reg due --today 2026-12-08 | grep -c '^OVERDUE  SN-1')" = 1

check "verify finds the results again" test "$(status reg verify 1)" = 0
check "  so it says" grep -q "the results are identical" "$work/out"
# A register changed behind the program's back (its guard dropped first).
cp "$work/lab/register.sqlite" "$work/tampered.sqlite"
python3 - "$work/tampered.sqlite" <<'PY'
import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
db.execute("DROP TRIGGER verifications_kept")
db.execute("UPDATE verifications SET worst_margin = worst_margin + 1e-9 WHERE id = 1")
db.commit()
PY
check "verify finds changed results: status 1" \
    test "$(status "$an_register" --register "$work/tampered.sqlite" verify 1)" = 1
check "  and says what differs" grep -q "worst margin: recorded" "$work/out"

check "export writes CSV" test "$(status reg export)" = 0
check "  a line per verification" test "$(wc -l <"$work/out")" = 3
check "export writes JSON to a file" test "$(status reg export --format json --output "$work/all.json")" = 0
check "  that reads as JSON" python3 -c "import json,sys; d=json.load(open(sys.argv[1])); assert len(d['verifications']) == 2" "$work/all.json"

check "a backup goes to a new file" test "$(status reg backup "$work/copy.sqlite")" = 0
check "  which reads as the register" test "$(status "$an_register" --register "$work/copy.sqlite" history --serial SN-1)" = 0
check "  never over an existing one" test "$(status reg backup "$work/copy.sqlite")" = 2
check "  nor over the register" test "$(status reg backup --force "$work/lab/register.sqlite")" = 2

# The printed record carries what an auditor looks for, as a reader takes it out.
check "a record is printed" test "$(status reg print 1 --output "$work/record.pdf")" = 0
pdftotext -layout "$work/record.pdf" "$work/record.txt" 2>/dev/null
sha=$(sha256sum "$sample" | cut -d' ' -f1)
for text in "SN-1" "Verdict *fail" "Decision rule *Guarded acceptance" "$sha" "Page 1 of"; do
    check "  showing $text" grep -Eq "$text" "$work/record.txt"
done
check "a history is printed" test "$(status reg print-history --serial SN-1 --output "$work/history.pdf")" = 0
check "  as PDF" test "$(head -c 5 "$work/history.pdf")" = "%PDF-"
cp "$work/lab/register.sqlite" "$work/before.sqlite"
check "a record is never printed over the register" \
    test "$(status reg print 1 --output "$work/lab/register.sqlite")" = 2
check "  which is left as it was" cmp -s "$work/before.sqlite" "$work/lab/register.sqlite"
check "a record that is not there is status 2" test "$(status reg print 99 --output "$work/none.pdf")" = 2
check "  and writes nothing" test ! -e "$work/none.pdf"

printf 'frequency,magnitude\n' >"$work/text.sqlite"
check "a file that is no register is refused" \
    test "$(status "$an_register" --register "$work/text.sqlite" add-network --maker A --model B --serial C --type 1 --lines L1 --interval-days 1)" = 2
check "  and left as it was" test "$(cat "$work/text.sqlite")" = "frequency,magnitude"

chmod a-w "$work/lab/register.sqlite"
check "a read-only register is read" test "$(status reg networks)" = 0
check "  and not written" test "$(status reg add-network --maker A --model B --serial SN-2 --type 1 --lines L1 --interval-days 1)" = 2
check "  saying why" grep -q "read-only" "$work/err"

check "a usage error is status 2" test "$(status reg add-network --maker A)" = 2
check "--version names the program" test "$("$an_register" --version | head -1 | cut -d' ' -f1)" = an-register

echo "$failures failed"
[ "$failures" -eq 0 ]
