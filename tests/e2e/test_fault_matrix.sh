#!/bin/bash
# Every fault of the matrix (broken or missing textures, models, shaders and music, and no
# display) is handled by the game built in this tree: right status, no hang, no crash.
exec "$(dirname "$0")/fault_matrix.sh" "$1"
