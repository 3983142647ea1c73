#!/usr/bin/env bash
# Lists what ./play.sh builds (its build target and everything that target
# needs, as a build from nothing would compile it) and fails when a test, a
# benchmark or a sanitizer build is among it: a player's first start builds
# the game and its resource files only.
#   tests/packaging/play-build-test.sh BUILD_DIR
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="$(cd "$1" && pwd)"

target="$(sed -n 's/^ZORV_BUILD_TARGET=\([A-Za-z0-9_]*\)$/\1/p' "$root/play.sh")"
if [ -z "$target" ]; then
    echo "play.sh names no build target (ZORV_BUILD_TARGET): it would build everything, tests too" >&2
    exit 1
fi

# Every command of a build from nothing, without running one.
if [ -f "$build/build.ninja" ]; then
    commands="$(ninja -C "$build" -t commands "$target")"
else
    commands="$(make -C "$build" --no-print-directory -nB "$target")"
fi

# The compiled sources and the targets their objects belong to
# (.../CMakeFiles/TARGET.dir/...).
sources="$(grep -oE -- ' -c [^ ]+' <<<"$commands" | sed 's/^ -c //' | sort -u)"
targets="$(grep -oE -- ' -o [^ ]+\.o( |$)' <<<"$commands" | sed -E 's|.*CMakeFiles/([^/]+)\.dir/.*|\1|' | sort | uniq -c)"
if [ -z "$sources" ]; then
    echo "found no compile command for the target $target in $build" >&2
    exit 1
fi
echo "./play.sh builds the target $target: $(wc -l <<<"$sources") objects, by target:"
echo "$targets"

bad="$(grep -E "^$root/(tests|bench)/" <<<"$sources" || true)"
bad_targets="$(awk '{print $2}' <<<"$targets" | grep -E '^(tests_|bench_|zorv_testsupport|zorv_milestones)|asan' || true)"
sanitized="$(grep -c -- '-fsanitize' <<<"$commands" || true)"
if [ -n "$bad" ] || [ -n "$bad_targets" ] || [ "$sanitized" != 0 ]; then
    echo "FAILED: ./play.sh would build tests, benchmarks or sanitizer builds:" >&2
    [ -z "$bad" ] || echo "$bad" >&2
    [ -z "$bad_targets" ] || echo "targets: $bad_targets" >&2
    [ "$sanitized" = 0 ] || echo "$sanitized commands with -fsanitize" >&2
    exit 1
fi
# The game itself and its resource files are among it.
for needed in "$root/engine/main.cpp" "$root/tools/ResourceBuilder.cpp"; do
    grep -qxF "$needed" <<<"$sources" || { echo "FAILED: ./play.sh does not build $needed" >&2; exit 1; }
done
grep -q -- '--assets' <<<"$commands" || { echo "FAILED: ./play.sh does not build the resource files" >&2; exit 1; }
echo "no test, benchmark or sanitizer build among them"
