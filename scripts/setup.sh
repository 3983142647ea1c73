#!/usr/bin/env bash
# Shared set-up of ./play.sh and ./test.sh: install the missing Debian
# packages, then configure and build. Sourced, so that the caller gets
# ZORV_ROOT, ZORV_BUILD and ZORV_RUN; ZORV_BUILD_TARGET names what to build
# (zorv: the game and its resource files; all, the default: everything, tests
# too); ZORV_TESTING=ON (./test.sh) also installs packages-test.txt and
# configures the build with its tests, which a build configured by ./play.sh
# (BUILD_TESTING=OFF) leaves out.
set -euo pipefail

ZORV_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
ZORV_BUILD="${ZORV_BUILD:-$ZORV_ROOT/build}"
ZORV_RUN="$ZORV_BUILD/run"

ZORV_TESTING="${ZORV_TESTING:-OFF}"

zorv_install_packages() {
    local missing=()
    local pkg list lists=("$ZORV_ROOT/packages.txt")
    [ "$ZORV_TESTING" != ON ] || lists+=("$ZORV_ROOT/packages-test.txt")
    for list in "${lists[@]}"; do
        while read -r pkg; do
            pkg="${pkg%%#*}"
            pkg="${pkg//[[:space:]]/}"
            [ -n "$pkg" ] || continue
            if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
                missing+=("$pkg")
            fi
        done < "$list"
    done
    if [ "${#missing[@]}" -gt 0 ]; then
        echo "Installing missing packages: ${missing[*]}"
        local sudo=""
        [ "$(id -u)" -eq 0 ] || sudo="sudo"
        $sudo apt-get update
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
    fi
}

# The build's own lines, less those that say nothing was to be done: a start
# with nothing to rebuild prints nothing of the build.
zorv_build_lines() {
    awk '/Built target |Consolidate compiler generated dependencies/ { next }
         !told { print "Building (a first build takes a few minutes)..."; told = 1 }
         { print; fflush() }'
}

zorv_build() {
    # Configured once; after that the build itself configures again when
    # the CMake files change. A build ./play.sh configured has no tests: the
    # first ./test.sh turns them on, and a later ./play.sh leaves them on.
    if [ ! -f "$ZORV_BUILD/CMakeCache.txt" ] || { [ ! -f "$ZORV_BUILD/Makefile" ] && [ ! -f "$ZORV_BUILD/build.ninja" ]; }; then
        cmake -S "$ZORV_ROOT" -B "$ZORV_BUILD" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING="$ZORV_TESTING" >/dev/null
    elif [ "$ZORV_TESTING" = ON ] && grep -qx 'BUILD_TESTING:BOOL=OFF' "$ZORV_BUILD/CMakeCache.txt"; then
        cmake "$ZORV_BUILD" -DBUILD_TESTING=ON >/dev/null
    fi
    cmake --build "$ZORV_BUILD" --target "${ZORV_BUILD_TARGET:-all}" --parallel "$(nproc)" | zorv_build_lines
}

zorv_install_packages
zorv_build
