#!/usr/bin/env bash
# an-sweep as a user runs it: exit statuses, files written or not, formats.
# usage: cli_test.sh AN_SWEEP SAMPLE
set -u
an_sweep=$1
sample=$2
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # check DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
status() { "$@" >"$work/out" 2>"$work/err"; echo $?; }

check "a sweep evaluates" test "$(status "$an_sweep" "$sample")" = 0
check "the table ends in the summary" grep -q '^Outside the tolerance' "$work/out"
check "--check fails on points outside the tolerance" test "$(status "$an_sweep" --check "$sample")" = 1
check "--check passes a sweep within it" test "$(printf '1,150,0\n2,151,1\n' >"$work/ok.csv"; status "$an_sweep" --type 4 --check "$work/ok.csv")" = 0

# The verdict as an exit status; type 4 is 150 ohm at every frequency, and
# 1 % of 179 or 181 ohm is more than their 0.667 points from the edge.
verdict() {  # verdict ROWS [OPTION...]: the exit status of --check --type 4
    local rows=$1
    shift
    printf "$rows" >"$work/verdict.csv"
    status "$an_sweep" --type 4 --check "$@" "$work/verdict.csv"
}
while read -r rows expected options; do
    check "--check $options on $rows is status $expected" test "$(verdict "$rows" $options)" = "$expected"
done <<'EOF'
1,150,0\n 0 --uncertainty 1,1
1,179,0\n 3 --uncertainty 1,1
1,181,0\n 4 --uncertainty 1,1
1,190,0\n 1 --uncertainty 1,1
1,150,12.4\n 4 --uncertainty 1,1 --coverage 2
1,150,0\n2,179,0\n3,181,0\n4,150,10\n 4 --uncertainty 1,1
1,179,0\n2,150,0\n 3 --uncertainty 1,1
1,179,0\n2,150,14\n 1 --uncertainty 1,1
1,179,0\n 0
1,181,0\n 1
1,181,0\n 2 --uncertainty 1,-1
1,181,0\n 2 --coverage 2
EOF
check "the table states the verdict" \
    sh -c "'$an_sweep' --type 4 --uncertainty 1,1 '$work/verdict.csv' | grep -q '^Verdict: conditional fail'"
check "without --check a conditional fail is status 0" \
    test "$(status "$an_sweep" --type 4 --uncertainty 1,1 "$work/verdict.csv")" = 0
printf '1,50,0\n2,50,120\n' >"$work/unbounded.csv"
check "an unbounded point is status 1 under --uncertainty too" \
    test "$(status "$an_sweep" --type 2 --uncertainty 0,0 --check "$work/unbounded.csv")" = 1

check "--output writes what the terminal would show" \
    test "$(status "$an_sweep" --format csv --output "$work/result.csv" "$sample")" = 0
"$an_sweep" --format csv "$sample" >"$work/stdout.csv" 2>/dev/null
check "  the same bytes" cmp -s "$work/result.csv" "$work/stdout.csv"
check "  nothing on the terminal" test ! -s "$work/out"

printf '# MHz S RI R 50\n1 0.2 0\n0.5 0.1 0\n' >"$work/bad.s1p"
check "bad input is status 2" test "$(status "$an_sweep" --output "$work/never.csv" "$work/bad.s1p")" = 2
check "  the error names file and line" grep -q "bad.s1p:3: frequencies must rise" "$work/err"
check "  nothing is written to --output" test ! -e "$work/never.csv"
echo "old" >"$work/kept.csv"
"$an_sweep" --output "$work/kept.csv" "$work/bad.s1p" 2>/dev/null
check "  an existing --output keeps its contents" grep -qx old "$work/kept.csv"

status "$an_sweep" "$work/bad.s1p" >/dev/null
check "  and prints no part of the result" test ! -s "$work/out"

# Outputs never replace the measurement, whatever name reaches it.
cp "$sample" "$work/input.s1p"
ln -s input.s1p "$work/link.s1p"
ln "$work/input.s1p" "$work/hard.s1p"
for target in input.s1p link.s1p hard.s1p; do
    check "--output $target over the measurement is refused" \
        test "$(status "$an_sweep" --output "$work/$target" "$work/input.s1p")" = 2
    check "--plot $target.svg over the measurement is refused" \
        test "$(cd "$work" && ln -sf input.s1p "$target.svg" && status "$an_sweep" --plot "$target.svg" input.s1p)" = 2
    check "--impedance-plot $target.png over the measurement is refused" \
        test "$(cd "$work" && ln -sf input.s1p "$target.png" &&
            status "$an_sweep" --impedance-plot "$target.png" input.s1p)" = 2
done
for target in input.s1p hard.s1p; do
    check "--budget $target over the measurement is refused" \
        test "$(status "$an_sweep" --budget "$work/$target" "$work/input.s1p")" = 2
done
check "  the measurement is untouched" cmp -s "$sample" "$work/input.s1p"
check "--budget and --output on one file are refused" \
    test "$(cd "$work" && status "$an_sweep" --output b.csv --budget ./b.csv "$sample")" = 2

# The budget lines alone, one per band with points, all or nothing.
check "--budget writes the band lines" \
    test "$(status "$an_sweep" --bands 0.1-1,1-30,40-50 --budget "$work/budget.csv" "$sample")" = 0
check "  a header and one line per band with points" test "$(wc -l <"$work/budget.csv")" = 3
check "  its figures are the JSON report's" sh -c "'$an_sweep' --format json --bands 0.1-1,1-30 '$sample' |
    python3 -c 'import json,sys,csv; j=json.load(sys.stdin)[\"bands\"]; c=list(csv.DictReader(open(\"$work/budget.csv\")))
assert [float(r[\"standard_uncertainty_dB\"]) for r in c] == [b[\"standard_uncertainty_dB\"] for b in j]
assert [float(r[\"tolerance_limit_highest_dB\"]) for r in c] == [b[\"tolerance_limit\"][\"highest_dB\"] for b in j]'"
check "an --output that cannot be written leaves no budget" \
    test "$(status "$an_sweep" --output "$work/no/dir.csv" --budget "$work/left.csv" "$sample")" = 2
check "  (none written)" test ! -e "$work/left.csv"
check "bad --bands are a usage error naming the option" \
    sh -c "test \"\$('$an_sweep' --bands 30-0.15 '$sample' 2>&1 >/dev/null; echo \$?)\" != 0 &&
           '$an_sweep' --bands 30-0.15 '$sample' 2>&1 | grep -q -- '--bands'"
check "--output and --plot on one file are refused, however spelt" \
    test "$(cd "$work" && status "$an_sweep" --output same.svg --plot ./same.svg "$sample")" = 2
mkdir "$work/taken.svg"
check "a --plot that is a directory stops the run" \
    test "$(status "$an_sweep" --output "$work/early.txt" --plot "$work/taken.svg" "$sample")" = 2
check "  before --output is written" test ! -e "$work/early.txt"
echo kept >"$work/appended.csv"
"$an_sweep" --format csv --output /dev/stdout "$sample" >>"$work/appended.csv"
check "--output /dev/stdout writes into the stream, appending as the shell asked" \
    test "$(head -n 1 "$work/appended.csv")" = kept
echo private >"$work/private.csv"
chmod 600 "$work/private.csv"
"$an_sweep" --format csv --output "$work/private.csv" "$sample"
check "a replaced --output keeps its permissions" test "$(stat -c %a "$work/private.csv")" = 600

# All or nothing: a failing --output leaves no plot behind.
check "an --output that cannot be written is status 2" \
    test "$(status "$an_sweep" --output "$work/no/dir.csv" --plot "$work/left.png" "$sample")" = 2
check "  and leaves no plot" test ! -e "$work/left.png"
check "an --output that cannot be written leaves no impedance plot" \
    test "$(status "$an_sweep" --output "$work/no/dir.csv" --impedance-plot "$work/left-z.svg" "$sample")" = 2
check "  (none written)" test ! -e "$work/left-z.svg"
check "--plot and --impedance-plot on one file are refused" \
    test "$(cd "$work" && status "$an_sweep" --plot both.svg --impedance-plot ./both.svg "$sample")" = 2
check "--impedance-plot writes an SVG and a PNG" \
    sh -c "'$an_sweep' --impedance-plot '$work/z.svg' '$sample' >/dev/null &&
           '$an_sweep' --impedance-plot '$work/z.png' '$sample' >/dev/null &&
           grep -q '<title>AN impedance against tolerance</title>' '$work/z.svg' &&
           test \"\$(head -c 4 '$work/z.png' | tail -c 3)\" = PNG"
# Qt paints PNG files from a module beside the program's folder; a copy of
# the program without it says so, writes nothing, and still writes SVG.
mkdir -p "$work/bin"
cp "$an_sweep" "$work/bin/an-sweep"
check "without its PNG painter a PNG is status 2" \
    test "$(status "$work/bin/an-sweep" --output "$work/nopng.csv" --plot "$work/nopng.png" "$sample")" = 2
check "  naming the painter" grep -q 'cannot load the PNG painter .*quillet-png.so' "$work/err"
check "  and writes nothing" test ! -e "$work/nopng.png" -a ! -e "$work/nopng.csv"
check "  while SVG needs none" test "$(status "$work/bin/an-sweep" --plot "$work/nopng.svg" "$sample")" = 0
echo old >"$work/real.csv"
ln -s real.csv "$work/linked.csv"
"$an_sweep" --format csv --output "$work/linked.csv" "$sample" 2>/dev/null
check "--output through a symbolic link keeps the link" test -L "$work/linked.csv"
check "  and replaces the file it points to" cmp -s "$work/real.csv" "$work/stdout.csv"

check "standard input is read with -" \
    test "$(status "$an_sweep" --format csv - <"$sample")" = 0
check "  as the file itself" cmp -s "$work/out" "$work/stdout.csv"
check "  also through a pipe" sh -c "cat '$sample' | '$an_sweep' --format csv - | cmp -s - '$work/stdout.csv'"
check "a directory is named as such" test "$(status "$an_sweep" "$work")" = 2
check "  in the message" grep -q "a directory" "$work/err"
printf '1,50,0\n2,50,120\n' >"$work/unbounded.csv"
check "--check fails on an unbounded point" test "$(status "$an_sweep" --type 2 --check "$work/unbounded.csv")" = 1
printf '1,50,0\n1,50,0\n' >"$work/repeat.csv"
check "a repeated frequency is read" test "$(status "$an_sweep" "$work/repeat.csv")" = 0
check "  with a note" grep -q "repeat.csv:2: frequency repeated" "$work/err"

check "a missing file is status 2" test "$(status "$an_sweep" "$work/none.s1p")" = 2
check "an unknown option is status 2" test "$(status "$an_sweep" --colour "$sample")" = 2
check "  with the usage" grep -q '^Usage: an-sweep' "$work/err"
check "--list-types" test "$(status "$an_sweep" --list-types)" = 0
check "  lists the four types" test "$(wc -l <"$work/out")" -eq 4
check "--help is status 0" test "$(status "$an_sweep" --help)" = 0
check "--version names the program, its version and the licence" \
    test "$("$an_sweep" --version)" = "an-sweep $(sed -n 's/^project(Quillet VERSION \([0-9.]*\).*/\1/p' "$source_dir/CMakeLists.txt")
Licence: MIT"

check "--format json" test "$(status "$an_sweep" --format json "$sample")" = 0
if command -v python3 >/dev/null; then
    check "  is valid JSON with numbers as numbers" python3 -c '
import json, sys
d = json.load(open(sys.argv[1]))
assert all(isinstance(p["deviation_dB"], (int, float)) for p in d["points"])
assert isinstance(d["summary"]["outside_tolerance"], int)' "$work/out"
else
    check "  numbers are numbers" grep -q '"deviation_dB": [-0-9.]' "$work/out"
fi
if [ -w /dev/full ]; then
    check "a failed write to the terminal is status 2" \
        test "$("$an_sweep" "$sample" 2>/dev/null >/dev/full; echo $?)" = 2
fi
check "--plot FILE.png" test "$(status "$an_sweep" --plot "$work/plot.png" "$sample")" = 0
check "  is a PNG" sh -c "head -c 8 '$work/plot.png' | od -An -c | grep -q 'P   N   G'"
check "--plot FILE.svg" test "$(status "$an_sweep" --plot "$work/plot.svg" "$sample")" = 0
check "  is an SVG" grep -q '<svg' "$work/plot.svg"

check "a closed standard input is named as such" test "$(status "$an_sweep" - <&-)" = 2
check "  in the message" grep -q "standard input: closed" "$work/err"
mkdir "$work/tmp"
check "--plot with no runtime folder set" \
    test "$(TMPDIR="$work/tmp" status env -u XDG_RUNTIME_DIR "$an_sweep" --plot "$work/plot.svg" "$sample")" = 0
check "  leaves nothing in the temporary folder" test -z "$(ls -A "$work/tmp")"

# An interrupted run leaves the old outputs as they were and no temporary
# file beside them; so does one that aborts (a library giving up). Job
# control gives the background run the SIGINT that a shell script's
# background jobs would otherwise ignore; the abort leaves no core file.
ulimit -c 0
awk 'BEGIN { print "Frequency (MHz),|Z| (ohm),Phase (deg)"
             for (i = 1; i <= 2000000; i++) printf "%.6f,50,10\n", 0.15 + i * 0.00001 }' >"$work/big.csv"
for signal in INT TERM ABRT; do
    echo "old report" >"$work/r.csv"
    echo "old plot" >"$work/p.png"
    set -m
    TMPDIR="$work/tmp" env -u XDG_RUNTIME_DIR "$an_sweep" --output "$work/r.csv" --plot "$work/p.png" \
        "$work/big.csv" 2>/dev/null &
    run=$!
    set +m
    for _ in $(seq 100); do
        [ -n "$(ls "$work" | grep -F .tmp-)" ] && break
        sleep 0.05
    done
    kill -s "$signal" "$run"
    wait "$run"
    code=$?
    check "SIG$signal ends the run as the signal does" test "$code" -gt 128
    check "  the old report and plot stay" sh -c "grep -qx 'old report' '$work/r.csv' && grep -qx 'old plot' '$work/p.png'"
    check "  no temporary file stays beside them" test -z "$(ls "$work" | grep -F .tmp-)"
    check "  nor in the temporary folder" test -z "$(ls -A "$work/tmp")"
done

echo "$failures failed"
[ "$failures" -eq 0 ]
