#!/bin/bash
# A full start prints its lines in order: the three start-up lines, the texture library's
# line per texture, the text program, then the colour, texture, bump and shadow programs.
# A broken shader/color.vert gives its report and the colour program's failure line, and
# the other programs still build.
. "$(dirname "$0")/game.sh"
runtime=$1
work=$(mktemp -d)
trap 'stop_xvfb; rm -rf "$work"' EXIT
start_xvfb || fail "no Xvfb"

program_lines() {
    printf 'Shader shader/%s.vert successful compiled\nShader shader/%s.frag successful compiled\nProgram successful linked\n' "$1" "$1"
}

copy_runtime "$runtime" "$work/game"
run_game_until_escape "$work/game" "$work/out" "$work/err"
[ "$GAME_STATUS" = 0 ] || fail "exit status $GAME_STATUS"

# Everything after the texture lines up to the first line of a later stage.
grep -v '^loading \|^could not load \|^Loading image failed' "$work/out" | sed -n '4,18p' >"$work/programs"
{ for p in text color texture bump shadow; do program_lines $p; done; } >"$work/expected"
diff "$work/expected" "$work/programs" || fail "program lines differ"
[ "$(grep -c '^loading textures/' "$work/out")" = 26 ] || fail "expected 26 loading lines"
sed -n '4p' "$work/out" | grep -qx 'loading textures/mouse_body_c.jpg' || fail "textures do not follow the start-up lines"

printf '#version 330 core\nvoid main() { syntax error here }\n' >"$work/game/shader/color.vert"
run_game_until_escape "$work/game" "$work/out2" "$work/err2"
[ "$GAME_STATUS" = 0 ] || fail "exit status $GAME_STATUS with a broken shader"
grep -q '^The shader shader/color.vert failed to compile with following error:$' "$work/out2" || fail "no compile report"
grep -q '^colorShader: shaderloading not successful$' "$work/out2" || fail "no colorShader line"
grep -q 'shader/color.frag' "$work/out2" && fail "the fragment stage of a failed vertex stage was reported"
for p in texture bump shadow; do
    program_lines $p >"$work/one"
    grep -qF -f "$work/one" "$work/out2" || fail "$p did not build"
done
[ "$(grep -c '^Program successful linked$' "$work/out2")" = 4 ] || fail "expected four programs to link"
echo "PASS"
