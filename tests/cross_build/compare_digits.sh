#!/usr/bin/env bash
# The same digits on Windows: the calculator's results for the reference
# inputs and for COUNT random inputs over all four AN types, printed by the
# Linux build and by the Windows build under Wine, must be the same texts
# and the same bits; and an-sweep's reports must be the same bytes.
#   compare_digits.sh LINUX_BUILD_DIR WINDOWS_BUILD_DIR [COUNT]
set -euo pipefail
linux=$(realpath "$1") windows=$(realpath "$2") count=${3:-200000}
sample=$(dirname "$0")/../../samples/an-type1-sweep.s1p
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export WINEDEBUG=-all

"$linux/tests/print_digits" "$count" >"$work/linux.txt"
wine "$windows/tests/print_digits.exe" "$count" | tr -d '\r' >"$work/windows.txt"
rows=$(wc -l <"$work/linux.txt")
[ "$rows" -eq $((count + 21)) ] || { echo "the Linux build printed $rows rows, not $((count + 21))"; exit 1; }
# Fields: inputs | deviation text | phase text | bits of both
awk -F'|' 'NR == FNR { line[FNR] = $0; text[FNR] = $2 "|" $3; next }
    { if (line[FNR] != $0) bits++; if (text[FNR] != $2 "|" $3) texts++ }
    END { printf "%d rows: %d with other texts, %d with other bits\n", FNR, texts, bits; exit (texts + bits > 0) }' \
    "$work/linux.txt" "$work/windows.txt"

# an-sweep's complete reports, byte for byte: the sample (read from
# standard input) and random sweeps of every kind, all four AN types, every
# format and the budget lines.
python3 "$(dirname "$0")/random_sweeps.py" "$work" "${SWEEP_POINTS:-20000}"
cp "$sample" "$work/sample.s1p"
reports=0
for file in "$work"/sample.s1p "$work"/sweep*; do
    for type in 1 2 3 4; do
        for format in table csv json; do
            name=$(basename "$file").$type.$format
            "$linux/apps/an-sweep" --type "$type" --format "$format" --budget "$work/linux.$name.budget" - \
                <"$file" >"$work/linux.$name" 2>/dev/null || true
            (cd "$work" && wine "$windows/apps/an-sweep.exe" --type "$type" --format "$format" \
                --budget "windows.$name.budget" - <"$file" >"$work/windows.$name" 2>/dev/null) || true
            for part in "$name" "$name.budget"; do
                [ -e "$work/linux.$part" ] || continue
                cmp -s "$work/linux.$part" "$work/windows.$part" ||
                    { echo "an-sweep's reports differ: $part"; diff "$work/linux.$part" "$work/windows.$part" | head; exit 1; }
                reports=$((reports + 1))
            done
        done
    done
done
echo "an-sweep: $reports reports and budget files the same, byte for byte"
