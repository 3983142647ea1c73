#!/usr/bin/env bash
# The game as a Linux system installs it.
#   tests/packaging/install-test.sh install BUILD_DIR
#     cmake --install for oneself (--prefix ~/.local) into a temporary
#     DESTDIR: no systemd unit (systemd never looks there); the installed
#     game runs from another folder to its main menu (under its own Xvfb),
#     its files go where the desktop says, its screenshot to the pictures
#     folder, the program alone names where it looked for its data, the game
#     without a home folder says so and writes nothing, the
#     installed tools run a level, the desktop entry is valid, the man pages
#     name the installed folders and every option a program's --help names.
#   tests/packaging/install-test.sh package BUILD_DIR
#     A packager's build in BUILD_DIR/packager: configured without tests
#     (BUILD_TESTING=OFF, GoogleTest and Google Benchmark hidden from it),
#     with Debian's build flags and in Debian's layout (/usr/games,
#     /usr/share/games) it has no test,
#     benchmark or sanitizer target; cmake --install builds what it installs
#     (a program missing from the build comes back; as many jobs at once as
#     CMAKE_BUILD_PARALLEL_LEVEL says) into a DESTDIR, where the
#     installed game runs from another folder and the unit names the
#     installed server, passes systemd-analyze and does not restart a server
#     that refused; cpack -G DEB: the package's files, and its
#     dependencies against the libraries its programs link (dpkg-deb);
#     lintian finds no error, no warning and no program without hardening.
set -euo pipefail
mode="$1"
build="$(cd "$2" && pwd)"
work="$(mktemp -d)"
xvfb=""
game=""
cleanup() {
    [ -z "$game" ] || kill -9 "$game" 2>/dev/null || true
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAILED: $*" >&2
    exit 1
}

programs=(zorv zorv_sim zorv_solve zorv_gallery zorv_scored)

# The files of each package, under the prefix: $1 the package (zorv,
# zorv-data, zorv-server; all for the three), $2 the programs' folder, $3 the
# data folder, $4 the run folder (whose fonts the data folder links).
package_files() {
    local p n f
    if [ "$1" = zorv ] || [ "$1" = all ]; then
        for p in zorv zorv_sim zorv_solve zorv_gallery; do echo "$2/$p"; done
        for n in 16 24 32 48 64 128 256; do echo "share/icons/hicolor/${n}x$n/apps/zorv.png"; done
        echo share/applications/zorv.desktop
        echo share/man/man6/zorv.6.gz
        for p in zorv_sim zorv_solve zorv_gallery; do echo "share/man/man1/$p.1.gz"; done
    fi
    if [ "$1" = zorv-data ] || [ "$1" = all ]; then
        for n in $(seq 0 11); do echo "$3/resource$n.dat"; done
        for f in "$4"/*.ttf; do echo "$3/$(basename "$f")"; done
    fi
    if [ "$1" = zorv-server ] || [ "$1" = all ]; then
        echo "$2/zorv_scored"
        echo share/man/man1/zorv_scored.1.gz
    fi
    for p in zorv zorv-data zorv-server; do
        if [ "$1" = "$p" ] || [ "$1" = all ]; then
            echo "share/doc/$p/copyright"
            echo "share/doc/$p/changelog.gz"
        fi
    done
}

# Waits up to $2 seconds for the text $3 in the file $1.
wait_for_text() {
    local i
    for ((i = 0; i < $2 * 2; ++i)); do
        grep -qF -- "$3" "$1" 2>/dev/null && return 0
        sleep 0.5
    done
    return 1
}

# The installed game from another folder, in a window of its own X server:
# past the intro to the main menu, a screenshot, then Alt+Q, which only the
# main menu answers by quitting (the intro only skips to the menu).
run_installed_game() {
    local bin="$1" home="$work/home" out="$work/game.out" i code=""
    command -v Xvfb >/dev/null && command -v xdotool >/dev/null || fail "Xvfb and xdotool are needed (packages-test.txt)"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
    xvfb=$!
    for ((i = 0; i < 40; ++i)); do
        [ -s "$work/display" ] && break
        sleep 0.5
    done
    [ -s "$work/display" ] || fail "Xvfb did not start"
    export DISPLAY=":$(head -n1 "$work/display")"
    # A German desktop's folders, named in user-dirs.dirs, and a relative
    # XDG_DATA_HOME, which counts as not set.
    mkdir -p "$home/.config" "$home/Bilder" "$work/elsewhere"
    printf '%s\n' 'XDG_DOCUMENTS_DIR="$HOME/Dokumente"' 'XDG_PICTURES_DIR="$HOME/Bilder"' >"$home/.config/user-dirs.dirs"
    (cd "$work/elsewhere" && exec env -u XDG_CONFIG_HOME -u XDG_DOCUMENTS_DIR -u XDG_PICTURES_DIR HOME="$home" \
        XDG_DATA_HOME=mydata SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=x11 "$bin/zorv" 1 >"$out" 2>&1) &
    game=$!
    timeout 60 xdotool search --sync --name Professor >/dev/null || fail "no game window: $(cat "$out")"
    for i in 1 2 3; do xdotool mousemove 400 300 click 1; sleep 0.5; done
    xdotool key KP_Insert
    wait_for_text "$out" 20 "Screen captured:  $home/Bilder/ZORV Screenshots/capture_" ||
        fail "no screenshot in the pictures folder: $(cat "$out")"
    for ((i = 0; i < 60; ++i)); do
        xdotool key alt+q 2>/dev/null || true
        sleep 1
        if ! kill -0 "$game" 2>/dev/null; then
            wait "$game" && code=0 || code=$?
            break
        fi
    done
    game=""
    [ "$code" = 0 ] || fail "the game did not quit from its main menu (exit ${code:-none}): $(cat "$out")"
    [ -z "$(ls "$work/elsewhere")" ] || fail "the game wrote into the folder it was started from: $(ls "$work/elsewhere")"
    [ "$(find "$home/Bilder" -name 'capture_*.bmp' | wc -l)" = 1 ] || fail "the screenshot is not in the pictures folder"
    [ -f "$home/.local/share/Vormak Games/ZORV Data/INFOv3.DAT" ] || fail "the player's files are not in ~/.local/share"
    [ -d "$home/Dokumente/ZORV Levels" ] && [ ! -e "$home/Documents" ] ||
        fail "the levels folder is not the one user-dirs.dirs names: $(ls "$home")"
    echo "the installed game reached its main menu from another folder; its files where the desktop says"
}

# The program alone, with no data beside it nor installed: it ends with one
# line on standard error that names the folders it looked in, and writes
# nothing anywhere.
run_program_alone() {
    local alone="$work/alone" code=0
    mkdir -p "$alone/bin" "$alone/home" "$alone/here"
    cp "$1/zorv" "$alone/bin/"
    (cd "$alone/here" && exec env HOME="$alone/home" SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "$alone/bin/zorv" 3) \
        >"$work/alone.out" 2>"$work/alone.err" || code=$?
    [ "$code" = 1 ] && [ ! -s "$work/alone.out" ] && [ "$(wc -l <"$work/alone.err")" = 1 ] &&
        grep -qF "'$alone/bin' nor '$alone/share/" "$work/alone.err" ||
        fail "the program alone (exit $code) did not name where it looked: $(cat "$work/alone.out" "$work/alone.err")"
    [ "$(cd "$alone" && find . | sort | tr '\n' ' ')" = ". ./bin ./bin/zorv ./here ./home " ] ||
        fail "the program alone wrote: $(cd "$alone" && find .)"
    echo "the program alone named where it looked: $(cat "$work/alone.err")"
}

# The installed game $1/zorv with HOME unset or relative (and no XDG folder)
# names what to set in one line and writes nothing, not in the install $2.
run_without_home() {
    local before home code
    before="$(find "$2" | sort)"
    for home in "" relhome; do
        code=0
        (cd "$work" && exec env -u HOME -u XDG_DATA_HOME -u XDG_DOCUMENTS_DIR -u XDG_CONFIG_HOME ${home:+HOME=$home} \
            SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy timeout 20 "$1/zorv" 3 >nohome.out 2>nohome.err) || code=$?
        [ "$code" = 1 ] && [ "$(cat "$work"/nohome.*)" = "$(grep HOME "$work/nohome.err")" ] &&
            [ "$(find "$2" | sort)" = "$before" ] || fail "with HOME '$home' (exit $code): $(cat "$work"/nohome.*)"
    done
    echo "with no home folder the installed game wrote nothing: $(cat "$work/nohome.err")"
}

# The installed tools on a level, from another folder.
run_installed_tools() {
    local bin="$1" there="$work/tools"
    mkdir -p "$there"
    cd "$there"
    "$bin/zorv_sim" reg:0 2>"$work/sim.err" | grep -q '"result": "exited"' ||
        fail "zorv_sim did not play level reg:0 to the exit: $(cat "$work/sim.err")"
    "$bin/zorv_solve" reg:0 >"$work/solve.out" 2>&1 || fail "zorv_solve did not solve reg:0: $(cat "$work/solve.out")"
    "$bin/zorv_gallery" --from 0 --to 0 --out "$there/sheet" reg >"$work/gallery.out" 2>&1 ||
        fail "zorv_gallery failed: $(cat "$work/gallery.out")"
    [ -s "$there/sheet-1.png" ] || fail "zorv_gallery wrote no sheet"
    cd - >/dev/null
    echo "the installed tools ran level reg:0"
}

# The man pages under $1 of the programs in $2 name the data folder $3 and
# every option a program's --help names (--word).
check_man_pages() {
    local p page option missing=""
    for p in "${programs[@]}"; do
        page="$(zcat "$1"/share/man/man?/"$p".?.gz | sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g')"
        for option in $("$2/$p" --help | grep -oE -- '--[a-z][a-z-]*[a-z]' | sort -u); do
            grep -qF -- "$option" <<<"$page" || missing+=" $p:$option"
        done
        ! grep -E 'PREFIX/|@ZORV' <<<"$page" || fail "the man page of $p names no installed folder"
    done
    [ -z "$missing" ] || fail "options missing from the man pages:$missing"
    zcat "$1/share/man/man6/zorv.6.gz" | grep -qxF ".I $3/" || fail "the game's man page does not name its data folder $3"
    echo "every option of every --help is in its man page; the data folder is $3"
}

# The server's unit $1, as systemd reads it: not a word from systemd-analyze
# (where there is one) on it, the server $2 (installed into a DESTDIR)
# standing for the path it names. A server that refuses its database or its
# options ends with a code that the unit does not restart on (it would only
# refuse again); after a crash systemd waits seconds, not 100 ms, to start
# it again.
check_unit() {
    local code codes="" args
    if command -v systemd-analyze >/dev/null; then
        mkdir -p "$work/unit"
        sed "s|^ExecStart=[^ ]*|ExecStart=$2|" "$1" >"$work/unit/$(basename "$1")"
        systemd-analyze verify "$work/unit/$(basename "$1")" >"$work/verify.out" 2>&1 || true
        [ ! -s "$work/verify.out" ] || fail "systemd-analyze verify: $(cat "$work/verify.out")"
    fi
    echo "not a database" >"$work/refused.db"
    for args in "--db $work/refused.db --port 0" "--no-such-option"; do
        code=0
        timeout 20 "$2" $args >/dev/null 2>"$work/refused.err" || code=$?
        [ "$code" != 0 ] && [ "$(wc -l <"$work/refused.err")" = 1 ] ||
            fail "zorv_scored $args (exit $code) did not refuse in one line: $(cat "$work/refused.err")"
        grep -qE "^RestartPreventExitStatus=(.* )?$code( |$)" "$1" ||
            fail "the unit restarts the server after it refused ($args, exit $code)"
        codes+=" $code"
    done
    grep -qE '^RestartSec=[1-9][0-9]*s?$' "$1" || fail "the unit restarts the server in a tight loop"
    echo "the unit: verified; not restarted after a refusal (exit$codes), seconds apart after a crash"
}

# The desktop entry under $1 is valid and starts the game in $2.
check_desktop_entry() {
    command -v desktop-file-validate >/dev/null || fail "desktop-file-validate is needed (packages-test.txt: desktop-file-utils)"
    desktop-file-validate "$1/share/applications/zorv.desktop" || fail "the desktop entry is not valid"
    grep -qx "Exec=$2/zorv" "$1/share/applications/zorv.desktop" || fail "the desktop entry does not start the installed game"
}

if [ "$mode" = install ]; then
    prefix=/home/player/.local
    dest="$work/dest"
    DESTDIR="$dest" cmake --install "$build" --prefix "$prefix" >"$work/install.out" 2>&1 ||
        fail "cmake --install: $(cat "$work/install.out")"
    while read -r f; do
        [ -f "$dest$prefix/$f" ] || fail "not installed: $f"
    done < <(package_files all bin share/zorv "$build/run")
    [ -z "$(find "$dest" -path '*systemd*')" ] || fail "a unit where systemd never looks: $(find "$dest" -path '*systemd*')"
    check_desktop_entry "$dest$prefix" "$prefix/bin"
    check_man_pages "$dest$prefix" "$dest$prefix/bin" "$prefix/share/zorv"
    run_installed_tools "$dest$prefix/bin"
    run_program_alone "$dest$prefix/bin"
    run_without_home "$dest$prefix/bin" "$dest"
    run_installed_game "$dest$prefix/bin"
elif [ "$mode" = package ]; then
    packager="$build/packager"
    cmake -S "$(dirname "$0")/../.." -B "$packager" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
        -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON \
        -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_INSTALL_BINDIR=games -DCMAKE_INSTALL_DATADIR=share/games \
        -DZORV_DEBIAN_BUILDFLAGS=ON >"$work/configure.out" 2>&1 || fail "configuring without tests: $(cat "$work/configure.out")"
    ! cmake --build "$packager" --target help | grep -E 'tests_|bench_|asan|testsupport|milestones' ||
        fail "a build without tests has test targets"
    rm -f "$packager/run/zorv_scored"
    dest="$work/dest"
    DESTDIR="$dest" CMAKE_BUILD_PARALLEL_LEVEL=2 cmake --install "$packager" >"$work/install.out" 2>&1 ||
        fail "cmake --install: $(tail -n 30 "$work/install.out")"
    [ -x "$dest/usr/games/zorv_scored" ] || fail "the install did not build the program missing from the build"
    grep -qxF -- "-- Building what the install takes, 2 jobs at once" "$work/install.out" ||
        fail "the install's build did not take CMAKE_BUILD_PARALLEL_LEVEL: $(head -n 5 "$work/install.out")"
    echo "a build without tests: no test target; the install built what it installs"
    # The unit goes where the system's systemd pkg-config file says, else
    # into Debian 12's folder.
    units="$(dirname "$0")/../../packaging/SystemdUnitDir.cmake"
    mkdir -p "$work/pc" "$work/nopc"
    printf 'systemdsystemunitdir=/usr/lib/systemd/system\nName: s\nDescription: s\nVersion: 1\n' >"$work/pc/systemd.pc"
    [ "$(PKG_CONFIG_PATH="$work/pc" cmake -P "$units")" = /usr/lib/systemd/system ] &&
        [ "$(PKG_CONFIG_LIBDIR="$work/nopc" cmake -P "$units")" = /lib/systemd/system ] ||
        fail "the unit's folder is not the one systemd's pkg-config file names"
    unitdir="$(cmake -P "$units")"
    # The data folder links the system's fonts (relative links, within
    # /usr): here the DESTDIR's fonts are the system's, as the package's
    # dependency on fonts-dejavu-core makes them.
    ln -s /usr/share/fonts "$dest/usr/share/fonts"
    while read -r f; do
        [ -f "$dest/usr/$f" ] || fail "not installed in Debian's layout: usr/$f"
    done < <(package_files all games share/games/zorv "$packager/run")
    grep -q "^ExecStart=/usr/games/zorv_scored " "$dest$unitdir/zorv-scored.service" ||
        fail "the unit does not start the installed server"
    check_unit "$dest$unitdir/zorv-scored.service" "$dest/usr/games/zorv_scored"
    check_desktop_entry "$dest/usr" /usr/games
    check_man_pages "$dest/usr" "$dest/usr/games" /usr/share/games/zorv
    run_without_home "$dest/usr/games" "$dest"
    zcat "$dest/usr/share/man/man1/zorv_scored.1.gz" | grep -qxF ".I $unitdir/zorv-scored.service" ||
        fail "the server's man page does not name the installed unit"
    run_installed_game "$dest/usr/games"

    (cd "$packager" && cpack -G DEB -B "$work/package") >"$work/cpack.out" 2>&1 || fail "cpack: $(cat "$work/cpack.out")"
    version="$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$packager/CPackConfig.cmake")"
    arch="$(dpkg --print-architecture)"
    # Each package: its architecture, the programs whose libraries it
    # depends on, and what it depends on besides.
    while read -r package architecture programs others; do
        deb="$work/package/${package}_${version}_$architecture.deb"
        [ -f "$deb" ] || fail "no package $(basename "$deb") among: $(ls "$work/package")"
        [ "$(dpkg-deb -f "$deb" Architecture)" = "$architecture" ] || fail "$package is not Architecture: $architecture"
        # Its files, exactly (folders aside).
        dpkg-deb -c "$deb" | awk '$6 !~ /\/$/ {print $6}' | sed 's|^\./||' | sort >"$work/contents"
        { package_files "$package" games share/games/zorv "$packager/run" | sed 's|^|usr/|'
          [ "$package" != zorv-server ] || echo "${unitdir#/}/zorv-scored.service"; } | sort >"$work/expected"
        diff "$work/expected" "$work/contents" >"$work/diff" ||
            fail "$package holds other files (< missing, > extra): $(cat "$work/diff")"
        # Each library its programs link comes from a package it depends on,
        # and it depends on nothing else than those and the others named.
        depends="$(dpkg-deb -f "$deb" Depends)"
        names="$(sed -e 's/([^)]*)//g' -e 's/|/,/g' <<<"$depends" | tr ',' '\n' | tr -d ' ' | sort -u)"
        owners="$(tr ',' '\n' <<<"$others")"
        for p in ${programs//,/ }; do
            [ "$p" != - ] || continue
            for lib in $(objdump -p "$packager/run/$p" | awk '$1 == "NEEDED" {print $2}'); do
                # The file the loader takes for it, and the package that holds it.
                path="$(ldd "$packager/run/$p" | awk -v lib="$lib" '$1 == lib {print $3}')"
                owner="$({ dpkg -S "$path" || dpkg -S "$(readlink -f "$path")"; } 2>/dev/null | head -n1 | cut -d: -f1)"
                [ -n "$owner" ] || fail "no Debian package holds $lib"
                grep -qxF "$owner" <<<"$names" || fail "$p links $lib of $owner, which the Depends of $package lacks: $depends"
                owners+=$'\n'"$owner"
            done
        done
        extra="$(comm -23 <(echo "$names") <(grep -v '^-$' <<<"$owners" | sort -u))"
        [ -z "$extra" ] || fail "$package depends on what its programs do not need: $extra"
        echo "$package: Architecture $architecture, $(wc -l <"$work/contents") files; Depends: $depends"
    done <<PACKAGES
zorv $arch zorv,zorv_sim,zorv_solve,zorv_gallery zorv-data
zorv-data all - fonts-dejavu-core
zorv-server $arch zorv_scored -
PACKAGES
    # The fonts the data package links are fonts-dejavu-core's.
    dpkg-deb -c "$work/package/zorv-data_${version}_all.deb" | awk '$7 == "->" {print $6, $8}' >"$work/links"
    [ "$(wc -l <"$work/links")" -ge 3 ] || fail "zorv-data links no fonts: $(cat "$work/links")"
    while read -r link target; do
        font="$(realpath -m "/$(dirname "${link#./}")/$target")"
        [ "$(dpkg -S "$font" 2>/dev/null | cut -d: -f1)" = fonts-dejavu-core ] ||
            fail "$link leads to $font, no font of fonts-dejavu-core"
    done <"$work/links"
    # The server's unit through removal and purge: what zorv-server's scripts
    # ask of systemd's helpers (stand-ins here, which write down each call).
    dpkg-deb -e "$work/package/zorv-server_${version}_$arch.deb" "$work/scripts"
    mkdir -p "$work/helpers"
    for helper in deb-systemd-helper deb-systemd-invoke systemctl; do
        printf '#!/bin/sh\necho "%s $*" >>"%s"\n' "$helper" "$work/calls" >"$work/helpers/$helper"
        chmod +x "$work/helpers/$helper"
    done
    while read -r script action call; do
        : >"$work/calls"
        PATH="$work/helpers:$PATH" sh "$work/scripts/$script" "$action" || fail "zorv-server's $script $action failed"
        grep -qxF "$call zorv-scored.service" "$work/calls" || fail "zorv-server's $script $action did not call $call"
    done <<SCRIPTS
prerm remove deb-systemd-invoke stop
postrm purge deb-systemd-helper purge
postinst configure deb-systemd-helper update-state
SCRIPTS
    if command -v lintian >/dev/null; then
        lintian -I --fail-on error,warning "$work"/package/*.deb >"$work/lintian.out" 2>&1 || fail "lintian: $(cat "$work/lintian.out")"
        ! grep -F hardening-no- "$work/lintian.out" || fail "programs built without Debian's hardening flags"
        echo "lintian: no error, no warning and no missing hardening on the three packages"
    fi
else
    fail "usage: $0 install|package BUILD_DIR"
fi
