#!/usr/bin/env bash
# Shared set-up of ./play.sh and ./test.sh: install the missing Debian
# packages, then configure and build the game, its resources and its tests.
# Sourced, so that the caller gets ZORV_ROOT, ZORV_BUILD and ZORV_RUN.
set -euo pipefail

ZORV_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
ZORV_BUILD="${ZORV_BUILD:-$ZORV_ROOT/build}"
ZORV_RUN="$ZORV_BUILD/run"

zorv_install_packages() {
    local missing=()
    local pkg
    while read -r pkg; do
        pkg="${pkg%%#*}"
        pkg="${pkg//[[:space:]]/}"
        [ -n "$pkg" ] || continue
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done < "$ZORV_ROOT/packages.txt"
    if [ "${#missing[@]}" -gt 0 ]; then
        echo "Installing missing packages: ${missing[*]}"
        local sudo=""
        [ "$(id -u)" -eq 0 ] || sudo="sudo"
        $sudo apt-get update
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
    fi
}

zorv_build() {
    cmake -S "$ZORV_ROOT" -B "$ZORV_BUILD" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$ZORV_BUILD" --parallel "$(nproc)"
}

zorv_install_packages
zorv_build
