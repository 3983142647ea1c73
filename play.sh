#!/usr/bin/env bash
# Installs what is missing (packages.txt), builds the game and its resource
# files (no test, no benchmark: ./test.sh builds those), and starts the game
# from its run folder. Arguments go to the game (for example 1 for a window instead of full
# screen, 2 for no sound).
set -euo pipefail
ZORV_BUILD_TARGET=zorv
source "$(dirname "${BASH_SOURCE[0]}")/scripts/setup.sh"
cd "$ZORV_RUN"
exec ./zorv "$@"
