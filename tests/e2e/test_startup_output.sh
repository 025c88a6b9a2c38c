#!/bin/bash
# A full start prints its lines in order: the three start-up lines, the texture library's
# line per texture, the text program, the colour, texture, bump and shadow programs, then
# the player's and the level's model summaries with the character's two lines between.
# Escape ends the game with status 0, full screen and in an 800x600 window.
. "$(dirname "$0")/game.sh"
in_runtime "$1"
start_game "$work/out" "$work/err"
quit_game "$work/err"

# The whole start, line by line, up to the first frame: each expected line is a pattern,
# exact except for the driver's version and the models' counts.
{
    echo '^initialized glfw$'
    echo '^initialized glew$'
    echo '^OpenGL Version: [34]\..*$'
    for name in mouse_body_c mouse_body_n mouse_eye_c mouse_eye_n mouse_teeth_c mouse_teeth_n \
        mouse_tail_c mouse_tail_n mouse_nosehair_c mouse_nosehair_n mouse_nose_c mouse_nose_n \
        brick19 brick19n2 water_c water_n stone_c stone_n ground11 ground11n \
        cheeseSide cheeseSide_n cheeseTop cheeseTop_n youwin youlose; do
        echo "^loading textures/$name\\.jpg\$"
    done
    for p in text color texture bump shadow; do
        echo "^Shader shader/$p\\.vert successful compiled\$"
        echo "^Shader shader/$p\\.frag successful compiled\$"
        echo '^Program successful linked$'
    done
    for model in gorbeck:38 level:19; do
        echo "^numMeshes of models/${model%%:*}\\.obj: ${model##*:}\$"
        echo '^gorbeck numver: ([0-9]+) \| [0-9]+$'
        echo '^gorbeck numnor: ([0-9]+) \| [0-9]+$'
        echo '^gorbeck numcol: ([0-9]+) \| [0-9]+$'
        echo '^gorbeck numind: ([0-9]+) \| [0-9]+$'
        if [ "${model%%:*}" = gorbeck ]; then
            echo '^blabla$'
            echo '^50$'
        fi
    done
} >"$work/patterns"
mapfile -t patterns <"$work/patterns"
mapfile -t lines <"$work/out"
for i in "${!patterns[@]}"; do
    [[ "${lines[$i]}" =~ ${patterns[$i]} ]] || fail "line $((i + 1)) is '${lines[$i]}', expected /${patterns[$i]}/"
done
# The byte sizes are the counts times 16, 12, 16 and 12.
grep -E '^gorbeck num' "$work/out" | awk '
    { split($0, a, /[:|] */); n = a[2] + 0; size = a[3] + 0 }
    /numver|numcol/ && size != 16 * n { bad = 1 }
    /numnor|numind/ && size != 12 * n { bad = 1 }
    END { exit bad }' || fail "a byte size is not its count times the element size"
[ "${#lines[@]}" -eq "${#patterns[@]}" ] || fail "$(( ${#lines[@]} - ${#patterns[@]} )) more lines than expected before the first frame"

start_game "$work/out2" "$work/err2" --windowed
quit_game "$work/err2"
head -n 1 "$work/out2" | grep -qx "initialized glfw" || fail "--windowed: start-up lines missing"
echo "PASS"
