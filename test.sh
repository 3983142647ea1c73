#!/usr/bin/env bash
# Installs what is missing (packages.txt and packages-test.txt), builds
# everything and runs every test headless: each test in a process of its own
# (CTest), then each test program whole.
# Arguments go to ctest (for example -R Profile, or -V), and then only ctest
# runs.
set -euo pipefail
ZORV_BUILD_TARGET=all
ZORV_TESTING=ON
source "$(dirname "${BASH_SOURCE[0]}")/scripts/setup.sh"
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
# CTest hands a test only the first entry of an environment list that
# gtest_discover_tests records, so the private home is set here as well: no
# test ever sees the real home or XDG folders.
export HOME="$ZORV_BUILD/testhome" XDG_DATA_HOME="$ZORV_BUILD/testhome/data" \
    XDG_DOCUMENTS_DIR="$ZORV_BUILD/testhome/documents" XDG_CONFIG_HOME="$ZORV_BUILD/testhome/config" \
    XDG_PICTURES_DIR="$ZORV_BUILD/testhome/pictures"
mkdir -p "$XDG_DATA_HOME" "$XDG_DOCUMENTS_DIR"
cd "$ZORV_BUILD"
ctest --output-on-failure --parallel "$(nproc)" "$@"
# Then every test program whole, as a developer runs one, shuffled twice:
# with a fixed seed, and with a new one each run (ZORV_TEST_SEED chooses
# it), so that a test that leans on what an earlier one left behind fails
# here sooner or later, with the seed that runs that order again. Not when
# only some tests were asked for.
if [ "$#" -eq 0 ]; then
    "$ZORV_ROOT/scripts/run-test-programs.sh" "$ZORV_BUILD" 7 "${ZORV_TEST_SEED:-$((RANDOM % 99999 + 1))}"
fi
