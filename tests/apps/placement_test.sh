#!/usr/bin/env bash
# The calculator and three sweep windows on a real X server with a window
# manager, at three screen set-ups: every window's frame lies on the screen
# (Xvfb has no panels: the available area is the screen), the windows
# cascade visibly, and where the screen has room for both, no sweep window
# covers the calculator.
#   placement_test.sh QUILLET SAMPLE
set -u
quillet=$1
sample=$2
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
for name in a b c; do cp "$sample" "$work/$name.s1p"; done
failures=0

# frame LEFT TOP RIGHT BOTTOM of a client window, from its absolute place
# and the extents the window manager put around it.
frame() {
    local info extents
    info=$(xwininfo -id "$1")
    extents=$(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
    set -- $extents
    local l=${1:-0} r=${2:-0} t=${3:-0} b=${4:-0}
    local x y w h
    x=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
    y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
    w=$(sed -n 's/.*Width: *//p' <<<"$info")
    h=$(sed -n 's/.*Height: *//p' <<<"$info")
    echo $((x - l)) $((y - t)) $((x + w + r)) $((y + h + b))
}

check_setup() {  # WIDTH HEIGHT SCALE ROOM_FOR_BOTH
    local width=$1 height=$2 scale=$3 room=$4 display=:$((120 + RANDOM % 50))
    Xvfb "$display" -screen 0 "${width}x${height}x24" -nolisten tcp >/dev/null 2>&1 &
    local xvfb=$!
    sleep 1
    DISPLAY=$display openbox >/dev/null 2>&1 &
    local wm=$!
    sleep 1
    DISPLAY=$display QT_SCALE_FACTOR=$scale "$quillet" "$work"/a.s1p "$work"/b.s1p "$work"/c.s1p >/dev/null 2>&1 &
    local app=$!
    local windows=()
    for _ in $(seq 50); do
        mapfile -t windows < <(DISPLAY=$display xdotool search --onlyvisible --pid "$app" 2>/dev/null)
        [ ${#windows[@]} -ge 4 ] && break
        sleep 0.2
    done
    sleep 1  # the windows settle once framed
    local what="${width}x${height} at scale $scale"
    if [ ${#windows[@]} -lt 4 ]; then
        echo "FAILED: $what: ${#windows[@]} windows shown, not 4"
        failures=$((failures + 1))
    fi
    local calculator="" tops=()
    for window in "${windows[@]}"; do
        read -r left top right bottom < <(DISPLAY=$display frame "$window")
        local title
        title=$(DISPLAY=$display xdotool getwindowname "$window")
        if [ "$left" -lt 0 ] || [ "$top" -lt 0 ] || [ "$right" -gt "$width" ] || [ "$bottom" -gt "$height" ]; then
            echo "FAILED: $what: \"$title\" at $left,$top-$right,$bottom is not wholly on the screen"
            failures=$((failures + 1))
        fi
        case $title in
        *.s1p*) tops+=("$top") ;;
        *) calculator="$left $top $right $bottom" ;;
        esac
    done
    if [ "$(printf '%s\n' "${tops[@]}" | sort -u | wc -l)" -ne "${#tops[@]}" ]; then
        echo "FAILED: $what: sweep windows on top of each other (tops ${tops[*]})"
        failures=$((failures + 1))
    fi
    if [ "$room" = yes ] && [ -n "$calculator" ]; then
        read -r cl ct cr cb <<<"$calculator"
        for window in "${windows[@]}"; do
            read -r left top right bottom < <(DISPLAY=$display frame "$window")
            case $(DISPLAY=$display xdotool getwindowname "$window") in *.s1p*) ;; *) continue ;; esac
            if [ "$left" -lt "$cr" ] && [ "$right" -gt "$cl" ] && [ "$top" -lt "$cb" ] && [ "$bottom" -gt "$ct" ]; then
                echo "FAILED: $what: a sweep window covers the calculator"
                failures=$((failures + 1))
                break
            fi
        done
    fi
    echo "ok: $what checked"
    kill "$app" "$wm" "$xvfb" 2>/dev/null
    wait "$app" "$wm" "$xvfb" 2>/dev/null
}

check_setup 1600 1000 1 yes
check_setup 1024 768 1 no
check_setup 1600 1000 2 no
[ "$failures" -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
