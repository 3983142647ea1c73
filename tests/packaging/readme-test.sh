#!/usr/bin/env bash
# The README's commands as a newcomer types them after ./play.sh, in a build
# folder of their own (BUILD_DIR/packager, which the package test uses after
# it): ./play.sh's build (the game only), then the command that begins
# "Level tools" and the one that begins "Host a score board", each of which
# must build what its section runs; then the commands of "Level tools", and
# --help of every program they build or run, from the run folder.
#   tests/packaging/readme-test.sh BUILD_DIR
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
dir="$(cd "$1" && pwd)/packager"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAILED: $*" >&2
    exit 1
}

# The commands of a section of README.md (its indented lines), with the
# build folder "build" as this test's own.
section_commands() {
    awk -v title="## $1" '$0 == title { on = 1; next } /^## / { on = 0 } on && /^    +[^ ]/ { sub(/^ +/, ""); print }' \
        "$root/README.md" | sed -E "s#(^| )build(/| |\$)#\\1$dir\\2#g"
}

# The command of the line, from the source folder, as a shell runs it.
run() {
    (cd "$root" && bash -c "$1") >"$work/out" 2>&1 || fail "README's \"$1\" failed: $(tail -n 20 "$work/out")"
}

# ./play.sh's build: it runs the game with --help in the end, which exits.
ZORV_BUILD="$dir" "$root/play.sh" --help >"$work/play.out" 2>&1 || fail "./play.sh: $(tail -n 20 "$work/play.out")"
grep -q '^Usage: zorv' "$work/play.out" || fail "./play.sh did not run the game: $(tail -n 5 "$work/play.out")"
# What ./play.sh does not build (an earlier run of this test built them).
programs=(zorv_sim zorv_solve zorv_gallery zorv_scored)
for p in "${programs[@]}"; do rm -f "$dir/run/$p"; done

for section in "Level tools" "Host a score board"; do
    first="$(section_commands "$section" | head -n 1)"
    grep -qE "^cmake --build $dir --target [a-z_ ]+\$" <<<"$first" ||
        fail "\"$section\" does not begin with the command that builds what it uses: $first"
    run "$first"
    # The programs it names, and those the section runs, are in the run
    # folder and answer --help.
    used="$( (sed -E 's/.* --target //' <<<"$first" | tr ' ' '\n' | sed "s#^#$dir/run/#"
        section_commands "$section" | grep -oE "$dir/run/zorv_[a-z]+") | sort -u)"
    for program in $used; do
        [ -x "$program" ] || fail "\"$first\" did not build $(basename "$program"), which \"$section\" runs"
        run "$program --help"
        grep -q '^Usage: ' "$work/out" || fail "$program --help printed no usage"
    done
    echo "\"$section\": $first; built and ran --help of" $(basename -a $used)
done
# The level tools' examples end (the score server's would run on).
while read -r command; do run "$command"; done < <(section_commands "Level tools")
echo "every command of \"Level tools\" ran"
