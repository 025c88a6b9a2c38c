#!/bin/bash
# Mutation testing of the game: installs what is missing, then applies every slip of
# tools/mutation/catalogue.txt alone to a scratch copy under /tmp, rebuilds, runs the tests
# that can notice it and prints killed or survived, and the score. Takes about 21 minutes.
#   tools/mutation/run.sh [--only REGEX] [--list]
set -euo pipefail
cd "$(dirname "$0")/../.."
./tools/install-deps.sh
exec python3 tools/mutation/mutate.py "$@"
