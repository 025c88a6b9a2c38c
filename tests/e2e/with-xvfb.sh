#!/bin/bash
# Runs a command under a private 800x600x24 Xvfb and returns its exit status.
. "$(dirname "$0")/xvfb.sh"
start_xvfb || exit 1
trap stop_xvfb EXIT
"$@"
