#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test headless.
# Arguments go to ctest (for example -R Profile, or -V).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/scripts/setup.sh"
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
cd "$ZORV_BUILD"
ctest --output-on-failure --parallel "$(nproc)" "$@"
