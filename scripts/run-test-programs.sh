#!/usr/bin/env bash
# Runs every test program whole, as a developer runs one (all its tests in
# one process), several programs side by side: once for each SEED given, in
# the order --gtest_shuffle gives with that seed, or once in the written
# order without one. CTest runs each test in a process of its own, so this
# is what finds a test that leans on what an earlier test left behind.
#   scripts/run-test-programs.sh [BUILD_DIR] [SEED...]
# A failed pass names its seed: the same command with that seed runs the
# same order again.
# The end-to-end suite (each of its tests runs the game under an X server of
# its own, and waits on it) runs as a process of its own beside the rest of
# its program, so that the pass takes no longer than that suite.
set -euo pipefail
build="$(cd "${1:-$(dirname "${BASH_SOURCE[0]}")/../build}" && pwd)"
shift || true
seeds=("$@")
[ "${#seeds[@]}" -gt 0 ] || seeds=("")
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy HOME="$build/testhome" \
    XDG_DATA_HOME="$build/testhome/data" XDG_DOCUMENTS_DIR="$build/testhome/documents" \
    XDG_CONFIG_HOME="$build/testhome/config" XDG_PICTURES_DIR="$build/testhome/pictures"
mkdir -p "$XDG_DATA_HOME" "$XDG_DOCUMENTS_DIR"
logs="$(mktemp -d)"
trap 'rm -rf "$logs"' EXIT
mapfile -t programs < <(find "$build/tests" -maxdepth 2 -type f -name 'tests_*' -executable ! -name '*[[]*' | sort)
[ "${#programs[@]}" -gt 0 ] || { echo "no test programs under $build/tests" >&2; exit 1; }
export logs build

# One line per process: the program and its test filter ("*" for all).
runs() {
    local program
    for program in "${programs[@]}"; do
        if [ "$(basename "$program")" = tests_screens ]; then
            echo "$program EndToEndTest.*"
            echo "$program -EndToEndTest.*"
        else
            echo "$program *"
        fi
    done
}

run_one() {
    local program="$1" filter="$2"
    local name
    name="$(basename "$program")"
    [ "$filter" = "*" ] || name="$name ($filter)"
    local log="$logs/${name//[^A-Za-z0-9_.-]/_}.log"
    # In the run folder, where CTest runs them too.
    # shellcheck disable=SC2086
    if (cd "$build/run" && "$program" "--gtest_filter=$filter" $shuffle >"$log" 2>&1); then
        echo "ok     $name"
    else
        echo "FAILED $name"
        { grep -E '^\[  FAILED  \]|: Failure$|^Note: Randomizing' "$log" || tail -n 5 "$log"; } | head -n 20 |
            sed 's/^/    /'
        return 1
    fi
}
export -f run_one
failed=0
for seed in "${seeds[@]}"; do
    shuffle=""
    if [ -n "$seed" ]; then
        shuffle="--gtest_shuffle --gtest_random_seed=$seed"
        echo "Every test program whole, shuffled with seed $seed:"
    else
        echo "Every test program whole:"
    fi
    export shuffle
    if ! runs | xargs -P "$(nproc)" -L 1 bash -c 'run_one "$@"' _; then
        failed=1
        [ -z "$seed" ] || echo "Seed $seed: scripts/run-test-programs.sh $build $seed runs this order again"
    fi
done
exit "$failed"
