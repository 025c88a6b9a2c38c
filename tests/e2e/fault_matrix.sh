#!/bin/bash
# fault_matrix.sh RUNTIME_DIR: breaks one thing of a copy of the run-time tree at a time
# (a texture, a model, a shader, the music, the display), plays a short replay under a
# private Xvfb and checks that the game handles it: the expected exit status, no hang, no
# crash, the expected console lines, and no sanitizer report. Prints one line per case and
# a closing count; exits 1 if any case failed.
# FAULT_TIMEOUT (seconds, default 300) bounds each run of the game; FAULT_JOBS (default 2)
# is how many cases run at once; FAULT_ONLY, an extended regular expression, keeps only the
# cases whose names it matches; GORBECK_PRELOAD, when set, is the game's LD_PRELOAD (and
# only the game's).
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
. "$here/game.sh"

if [ $# != 1 ] || [ ! -x "$1/gorbeck" ]; then
    echo "usage: $0 RUNTIME_DIR (a folder holding gorbeck and its assets)" >&2
    exit 2
fi
runtime=$(cd "$1" && pwd)
limit=${FAULT_TIMEOUT:-300}
parallel=${FAULT_JOBS:-2}
work=$(mktemp -d)
trap 'stop_xvfb; rm -rf "$work"' EXIT
start_xvfb || { echo "fault matrix: Xvfb did not start"; exit 1; }

# Five frames with no key held: short, and each of them drawn.
{
    printf 'gorbeck-replay 1\nstart 0.5\n'
    for t in 0.55 0.6 0.65 0.7 0.75; do
        printf 'frame %s 400 300 -\n' "$t"
    done
} >"$work/short.replay"
short_end='^replay: 5 frames, player at \(.*\), gameState 0$'

# Helpers for the cases; each case runs in its own copy of the tree, its working dir.

bad() { echo "$*" >why; exit 1; }

# run OUT ERR ARGS...: runs the game, sets status; a hang, a signal, a sanitizer report or a
# GL error fails the case (Mesa reports each GL error under MESA_DEBUG, and a fault handled
# in order raises none).
run() {
    local out=$1 err=$2 report
    shift 2
    status=0
    timeout -k 10 "$limit" env MESA_DEBUG=1 ${GORBECK_PRELOAD:+LD_PRELOAD="$GORBECK_PRELOAD"} ./gorbeck "$@" >"$out" 2>"$err" || status=$?
    case $status in
    124 | 137) bad "still running after $limit s (hang)" ;;
    esac
    [ "$status" -le 128 ] || bad "killed by signal $((status - 128)): $(tail -n 3 "$err")"
    if report=$(grep -m1 -E 'ERROR: AddressSanitizer|runtime error:|LeakSanitizer|ERROR: UndefinedBehaviorSanitizer|Mesa: User error|GL_INVALID' "$err"); then
        bad "sanitizer or GL error report: $report"
    fi
}

# The short replay, drawing each frame.
play() {
    run out err --replay "$work/short.replay" --draw-every 1
}

expect_status() { [ "$status" = "$1" ] || bad "exit status $status, expected $1; stderr: $(head -c 300 err)"; }

# The game ran to the end of the short replay.
expect_finished() {
    expect_status 0
    tail -n 1 out | grep -qE "$short_end" || bad "no closing replay line, last line: $(tail -n 1 out)"
}

expect_line() { grep -qxF -- "$1" out || bad "no line \"$1\""; }

# expect_count N PATTERN: N lines match the whole pattern.
expect_count() {
    local n
    n=$(grep -cE -- "^($2)\$" out)
    [ "$n" = "$1" ] || bad "$n lines /$2/, expected $1"
}

# Every one of the 26 images was tried, whatever became of the others.
expect_all_textures_tried() { expect_count 26 'loading textures/.*'; }

# expect_after FIRST PATTERN: the line after the first line FIRST matches the whole pattern.
expect_after() {
    local next
    next=$(awk -v first="$1" 'found { print; exit } $0 == first { found = 1 }' out)
    [[ "$next" =~ ^($2)$ ]] || bad "after \"$1\" came \"$next\", expected /$2/"
}

# A failed start: nothing but one line on standard error, matching $1.
expect_one_error() {
    [ "$(wc -l <err)" = 1 ] || bad "expected one line on stderr, got: $(head -c 400 err)"
    grep -qE -- "$1" err || bad "unexpected error line: $(cat err)"
}

# What a broken model must lead to: model_OUTCOME PATH MESHES ERROR_PATTERN, the pattern being
# the one line of a refused start.
model_refused() {
    expect_status 1
    expect_one_error "$3"
}

# A cut-off OBJ file is either refused, when the cut leaves a line the importer cannot read,
# or read as far as it goes; then the model has fewer meshes, or as many with the last cut short.
model_cut() {
    if [ "$status" = 1 ]; then
        model_refused "$@"
    else
        expect_finished
        local meshes
        meshes=$(sed -n "s|^numMeshes of $1: ||p" out)
        [ -n "$meshes" ] && [ "$meshes" -le "$2" ] || bad "read with \"$meshes\" meshes, expected at most $2"
    fi
}

# every_mesh_says PATH MESHES TEXT: each mesh, and no more, says "mesh I of PATH TEXT".
every_mesh_says() {
    expect_finished
    for i in $(seq 0 $(($2 - 1))); do expect_line "mesh $i of $1 $3"; done
    expect_count "$2" ".*$3"
}

model_normals() { every_mesh_says "$1" "$2" 'has no normals; computing them from its faces'; }
model_texcoords() { every_mesh_says "$1" "$2" 'has no texture coordinates; its textures show one colour'; }

model_more() {
    expect_finished
    expect_line "numMeshes of $1: $(($2 + 1))"
    expect_line "$1 has $(($2 + 1)) meshes but its texture table only $2; the meshes past the table are drawn with plain textures"
}

model_fewer() {
    expect_finished
    expect_line "numMeshes of $1: $(($2 - 1))"
    ! grep -q 'texture table' out || bad 'a texture table line for a model with fewer meshes'
}

# end_screen win|lose image|black: plays the recorded route to that outcome, drawing only its
# last frame, the end screen, and checks what it shows: the outcome's own image (the win
# image is cheese yellow, the lose image dark water blue) or, when that could not load, black.
end_screen() {
    local outcome=$1 expected=$2 state frames red mean
    case $outcome in win) state=1 ;; lose) state=-1 ;; esac
    frames=$(grep -c '^frame ' "$source_dir/demo/$outcome.replay")
    run "$outcome.out" "$outcome.err" --replay "$source_dir/demo/$outcome.replay" --draw-every 100000 \
        --screenshot "end=$outcome.png"
    [ "$status" = 0 ] || bad "$outcome replay: exit status $status; stderr: $(head -c 300 "$outcome.err")"
    tail -n 1 "$outcome.out" | grep -qE "^replay: $frames frames, player at \(.*\), gameState $state$" \
        || bad "$outcome replay: last line $(tail -n 1 "$outcome.out")"
    red=$(convert "$outcome.png" -format '%[fx:mean.r]' info:)
    mean=$(convert "$outcome.png" -colorspace Gray -format '%[fx:mean]' info:)
    case $expected/$outcome in
    black/*) awk -v m="$mean" 'BEGIN { exit !(m < 0.005) }' || bad "the $outcome screen is not black (mean $mean)" ;;
    image/win) awk -v r="$red" 'BEGIN { exit !(r > 0.5) }' || bad "the win screen does not show the win image (red $red)" ;;
    image/lose) awk -v r="$red" -v m="$mean" 'BEGIN { exit !(m > 0.02 && r < 0.35) }' \
        || bad "the lose screen does not show the lose image (red $red, mean $mean)" ;;
    esac
}

# Ways to break a file.

# recode FORMAT OPTIONS... FILE: the image rewritten by ImageMagick, under its own name.
recode() {
    local file=${!#}
    convert "$file" "${@:2:$# - 2}" "$1:$file.new" && mv "$file.new" "$file"
}
truncate_half() { head -c $(($(stat -c %s "$1") / 2)) "$1" >"$1.new" && mv "$1.new" "$1"; }
make_empty() { : >"$1"; }

# obj_without vn|vt FILE: the normals or the texture coordinates go, from the faces too.
obj_without() {
    awk -v kind="$1" '$1 == kind { next }
         /^f / { line = "f"; for (i = 2; i <= NF; i++) { split($i, p, "/"); line = line " " p[1] (kind == "vn" ? "/" p[2] : "//" p[3]) }
                 print line; next }
         { print }' "$2" >"$2.new" && mv "$2.new" "$2"
}
# A new object holding a copy of the file's first face.
obj_extra_mesh() { printf 'o extra_mesh\n%s\n' "$(grep -m1 '^f ' "$1")" >>"$1"; }
# Everything from the last object on goes; its faces only use its own vertices.
obj_drop_last_mesh() {
    local last
    last=$(grep -n '^o ' "$1" | tail -n 1 | cut -d: -f1)
    head -n $((last - 1)) "$1" >"$1.new" && mv "$1.new" "$1"
}
# Binary bytes under the .obj name: one of the textures.
obj_garbage() { cp textures/water_c.jpg "$1"; }

shader_syntax_error() { sed -i '1a this is not a declaration;' "$1"; }
# A function declared but never defined compiles, and only the linker finds it missing.
shader_link_error() {
    sed -i -e '/^void main()$/i vec4 undefinedHelper();' \
        -e '/^void main()$/{n;s/^{$/{\n    undefinedHelper();/}' "$1"
}

# The cases.

names=()
bodies=()
add() {
    [[ "$1" =~ ${FAULT_ONLY:-.} ]] || return 0
    names+=("$1")
    bodies+=("$2")
}

# Ways to break an image, and what follows its "loading" line: refused (DevIL cannot read
# it; it picks its loader by the extension, so PNG bytes are refused too), format (read, but
# not 24 bits a pixel) or either (how much of a cut-off image DevIL decodes is its own business).
image_faults="missing refused rm
grayscale format recode JPEG -colorspace Gray -type Grayscale
cmyk format recode JPEG -colorspace CMYK
rgba_png refused recode PNG32 -alpha set -channel A -evaluate set 50% +channel
palette_png refused recode PNG8 -colors 16
truncated either truncate_half
empty refused make_empty"

for t in mouse_body_c.jpg water_c.jpg youwin.jpg youlose.jpg; do
    p=textures/$t
    # The win and lose images only show on an end screen. A refused one leaves its own
    # screen black, says so at start-up, and the other screen keeps its image.
    refused="" end=""
    case $t in
    youwin.jpg) refused="; expect_line '$p did not load: the win screen will be black'; end_screen win black"
        end="; end_screen lose image" ;;
    youlose.jpg) refused="; expect_line '$p did not load: the lose screen will be black'; end_screen lose black"
        end="; end_screen win image" ;;
    esac
    while read -r fault outcome how; do
        case $outcome in
        refused) check="expect_after 'loading $p' 'could not load $p'$refused" ;;
        format) check="expect_after 'loading $p' 'Loading image failed\. Must be 24 bits/pixels\.'$refused" ;;
        # Refused either way, or loaded, so the next texture's line follows.
        either) check="expect_after 'loading $p' 'could not load $p|Loading image failed\. Must be 24 bits/pixels\.|loading textures/.*|Shader shader/text\.vert successful compiled'" ;;
        esac
        add "texture $t ${fault/_/ }" "$how $p; play; expect_finished; expect_all_textures_tried; expect_count 1 'loading $p'; $check$end"
    done <<<"$image_faults"
done

# Three images gone: the end screens have no image left, and the cheese top's normal map
# (index 23) is past the 23 that loaded.
add "texture three missing, a mesh falls back" "rm textures/youwin.jpg textures/youlose.jpg textures/cheeseTop_n.jpg; play
    expect_finished; expect_count 3 'could not load textures/.*'
    expect_line 'mesh 18 of models/level.obj: texture 23 is not loaded; drawing it with a plain flat normal map'
    expect_count 1 '.*is not loaded.*'
    end_screen lose black"

# Ways to break a model, and what the game must then do (model_OUTCOME, above).
model_faults="missing refused rm
empty refused make_empty
garbage refused obj_garbage
truncated cut truncate_half
no_normals normals obj_without vn
no_texture_coordinates texcoords obj_without vt
one_mesh_more_than_its_table more obj_extra_mesh
one_mesh_fewer fewer obj_drop_last_mesh"

# The physics world reads the level before anything is drawn, and reports first.
for m in "gorbeck 38 ^gorbeck: cannot load the model models/gorbeck\\.obj: .+" \
    "level 19 ^gorbeck: cannot load the level \"models/level\\.obj\": .+"; do
    read -r name n failed <<<"$m"
    while read -r fault outcome how; do
        add "model $name.obj ${fault//_/ }" "$how models/$name.obj; play; model_$outcome models/$name.obj $n '$failed'"
    done <<<"$model_faults"
done

for s in text color texture bump shadow; do
    for stage in vert frag; do
        p=shader/$s.$stage
        # The four scene programs say which one failed; the text program only loses the end screen.
        after="expect_finished; expect_count 4 'Program successful linked'"
        if [ $s = text ]; then
            after="$after; end_screen lose black"
        else
            after="$after; expect_line '${s}Shader: shaderloading not successful'"
        fi
        # A vertex stage that fails is reported alone.
        [ $stage = vert ] && only="; ! grep -q 'shader/$s.frag' out || bad 'the fragment stage was reported too'" || only=""
        report="The shader $p failed to compile with following error:"
        add "shader $s.$stage missing" "rm $p; play; $after; expect_after '$report' 'could not open the source file $p'$only"
        add "shader $s.$stage syntax error" "shader_syntax_error $p; play; $after; expect_after '$report' '.*error.*'$only"
        add "shader $s.$stage link error" "shader_link_error $p; play; $after; expect_line 'Shader $p successful compiled'
            expect_after 'The program failed to link with following error:' '.*error.*'"
    done
done

# Music never shows on the console: the output is a normal run's, to the letter.
same_as_normal="expect_finished; diff -q out '$work/normal.out' >/dev/null || bad \"output differs from a normal run: \$(diff '$work/normal.out' out | head -n 5)\""
add "music missing" "rm sounds/gorbeck.mp3; play; $same_as_normal"
add "music not an mp3" "cp textures/water_c.jpg sounds/gorbeck.mp3; play; $same_as_normal"
add "music empty" "make_empty sounds/gorbeck.mp3; play; $same_as_normal"
add "music truncated" "truncate_half sounds/gorbeck.mp3; play; $same_as_normal"

# The GL extension loader fails to start: the game stops before its first GL call.
failing_glew="$runtime/tests/libfailing_glew.so"
add "GL extension loader fails" "[ -f '$failing_glew' ] || bad 'no $failing_glew'
    GORBECK_PRELOAD=\"\${GORBECK_PRELOAD:+\$GORBECK_PRELOAD }$failing_glew\" play; expect_status 1
    [ \"\$(cat out)\" = 'initialized glfw' ] || bad \"standard output: \$(head -c 200 out)\"
    expect_one_error '^gorbeck: the GL extension loader could not start: Missing GL version$'"

add "no display" "unset DISPLAY WAYLAND_DISPLAY; play; expect_status 1
    [ ! -s out ] || bad \"standard output is not empty: \$(head -c 200 out)\"
    expect_one_error '^gorbeck: the window library could not start: '"

# Running them.

# run_case LABEL BODY RESULT_FILE
run_case() {
    local dir result
    dir=$(mktemp -d "$work/case.XXXXXX")
    # A private copy of the assets; the game itself is only linked, as it never changes.
    cp -r "$runtime/shader" "$runtime/models" "$runtime/textures" "$runtime/sounds" "$dir/"
    ln -s "$runtime/gorbeck" "$dir/gorbeck"
    (cd "$dir" && set -e && eval "$2")
    if [ $? = 0 ]; then
        result="ok   $1"
        rm -rf "$dir"
    elif [ -s "$dir/why" ]; then
        result="FAIL $1: $(head -n 1 "$dir/why")"
    else
        result="FAIL $1: the fault could not be set up"
    fi
    # A failure shows what the game said on standard error, sanitizer reports included.
    if [[ "$result" == FAIL* ]] && [ -s "$dir/err" ]; then
        result="$result"$'\n'"$(head -n 40 "$dir/err" | sed 's/^/    | /')"
    fi
    echo "$result"
    echo "$result" >"$3"
}

# The unbroken tree first: every case is measured against it.
run_case "normal run" "play; expect_finished; expect_all_textures_tried
    ! grep -q 'could not load\\|failed' out || bad 'something failed to load'
    expect_count 5 'Program successful linked'; cp out '$work/normal.out'" "$work/result.normal"
if [ ! -s "$work/normal.out" ]; then
    echo "fault matrix: the unbroken tree does not run, so no fault was tried"
    exit 1
fi

# Xvfb is a child of this shell too, so only the cases are waited for, by their ids.
pids=()
for i in "${!names[@]}"; do
    while [ "$(jobs -rp | grep -vcx "$XVFB_PID")" -ge "$parallel" ]; do
        wait -n
    done
    run_case "${names[$i]}" "${bodies[$i]}" "$work/result.$i" &
    pids+=($!)
done
wait "${pids[@]}"

total=$((${#names[@]} + 1))
handled=$(cat "$work"/result.* | grep -c '^ok ')
echo "fault matrix: $handled of $total cases handled"
[ "$handled" = "$total" ]
