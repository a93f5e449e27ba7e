#!/usr/bin/env bash
# The same digits on Windows: the calculator's results for the reference
# inputs and for COUNT random inputs over all four AN types, printed by the
# Linux build and by the Windows build under Wine, must be the same texts
# and the same bits; so must an-sweep's report of the sample sweep.
#   compare_digits.sh LINUX_BUILD_DIR WINDOWS_BUILD_DIR [COUNT]
set -euo pipefail
linux=$1 windows=$2 count=${3:-200000}
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

# an-sweep's report of the sample sweep, read from standard input on both.
for format in table csv; do
    "$linux/apps/an-sweep" --format "$format" - <"$sample" >"$work/linux.$format"
    wine "$windows/apps/an-sweep.exe" --format "$format" - <"$sample" >"$work/windows.$format"
done
cmp "$work/linux.table" "$work/windows.table"
# The unrounded exact extremes (CSV columns 6 and 7) come from the platform's
# log10 and hypot; near 0 dB their last bits become the last digits, so they
# are compared to 1E-9 dB. Everything else is equal.
awk -F, 'NR == FNR { line[FNR] = $0; next }
    { split(line[FNR], l, ",")
      for (i = 1; i <= NF; i++) {
          if ((i == 6 || i == 7) && FNR > 1) {
              d = l[i] - $i; if (d < 0) d = -d
              if (d > 1e-9) bad++
          } else if (l[i] != $i) bad++
      } }
    END { exit bad > 0 }' "$work/linux.csv" "$work/windows.csv" || { diff "$work/linux.csv" "$work/windows.csv" | head; exit 1; }
echo "an-sweep's report of the sample sweep: the same table; the same CSV within 1E-9 dB"
