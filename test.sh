#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test headless.
# Arguments go to ctest (for example -R Profile, or -V).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/scripts/setup.sh"
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
# CTest hands a test only the first entry of an environment list that
# gtest_discover_tests records, so the private home is set here as well: no
# test ever sees the real home or XDG folders.
export HOME="$ZORV_BUILD/testhome" XDG_DATA_HOME="$ZORV_BUILD/testhome/data" \
    XDG_DOCUMENTS_DIR="$ZORV_BUILD/testhome/documents"
mkdir -p "$XDG_DATA_HOME" "$XDG_DOCUMENTS_DIR"
cd "$ZORV_BUILD"
ctest --output-on-failure --parallel "$(nproc)" "$@"
