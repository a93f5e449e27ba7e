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
# format, the budget lines and both plots as SVG.
python3 "$(dirname "$0")/random_sweeps.py" "$work" "${SWEEP_POINTS:-20000}"
cp "$sample" "$work/sample.s1p"
reports=0
# Each pair of reports is removed once compared, so the comparison needs the
# room of one report at a time; a build that fails says why.
run_windows() {
    (cd "$work" && wine "$windows/apps/an-sweep.exe" "$@" 2>"$work/windows.err")
}
for file in "$work"/sample.s1p "$work"/sweep*; do
    for type in 1 2 3 4; do
        for format in table csv json; do
            name=$(basename "$file").$type.$format
            linux_status=0 windows_status=0
            # The plot is the same for every format: drawn once per type.
            linux_plot=() windows_plot=()
            if [ "$format" = csv ]; then
                linux_plot=(--plot "$work/linux.$name.svg" --impedance-plot "$work/linux.$name.z.svg")
                windows_plot=(--plot "windows.$name.svg" --impedance-plot "windows.$name.z.svg")
            fi
            "$linux/apps/an-sweep" --type "$type" --format "$format" --budget "$work/linux.$name.budget" \
                "${linux_plot[@]}" - \
                <"$file" >"$work/linux.$name" 2>"$work/linux.err" || linux_status=$?
            run_windows --type "$type" --format "$format" --budget "windows.$name.budget" "${windows_plot[@]}" - \
                <"$file" >"$work/windows.$name" || windows_status=$?
            if [ "$linux_status" -ne "$windows_status" ]; then
                # Wine itself now and then fails to start a program on a busy
                # machine: a second run tells that apart from a fault of ours,
                # which fails the same way every time. Either way it is shown.
                echo "the Windows run for $name exited $windows_status; once more. It said:"
                cat "$work/windows.err"
                windows_status=0
                run_windows --type "$type" --format "$format" --budget "windows.$name.budget" \
                    "${windows_plot[@]}" - <"$file" >"$work/windows.$name" || windows_status=$?
            fi
            if [ "$linux_status" -ne "$windows_status" ]; then
                echo "an-sweep exits $linux_status on Linux and $windows_status on Windows for $name"
                cat "$work/linux.err" "$work/windows.err"
                exit 1
            fi
            for part in "$name" "$name.budget" "$name.svg" "$name.z.svg"; do
                [ -e "$work/linux.$part" ] || continue
                if ! cmp -s "$work/linux.$part" "$work/windows.$part"; then
                    echo "an-sweep's reports differ: $part"
                    diff "$work/linux.$part" "$work/windows.$part" >"$work/difference" || true
                    head -n 10 "$work/difference"
                    exit 1
                fi
                rm -f "$work/linux.$part" "$work/windows.$part"
                reports=$((reports + 1))
            done
        done
    done
done
echo "an-sweep: $reports reports, budget files and plots the same, byte for byte"
