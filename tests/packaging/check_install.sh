#!/bin/sh
# Checks of the Linux packaging: check_install.sh <check> <source dir> <build dir>
# Directory layout comes from the environment set by CMakeLists.txt, so the
# checks follow the same values as the install rules.
set -u

check=$1
src=$2
build=$3
pkg=$src/packaging
app_id=$TESSAPLEX_APP_ID
desktop=$pkg/$app_id.desktop
metainfo=$pkg/$app_id.metainfo.xml
rules=$pkg/70-tessaplex.rules
vendors="1189 514c"
products="8842 8840 8830 8831 8832 8833 8850 8851"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
need() { command -v "$1" >/dev/null 2>&1 || { echo "FAIL: $1 is not installed (package $2)"; exit 1; }; }

scratch=$(mktemp -d "${TMPDIR:-/tmp}/tessaplex-pkg.XXXXXX") || exit 1
trap 'rm -rf "$scratch"' EXIT

# Absolute paths of everything the install must produce with prefix /usr.
under_usr() { case $1 in /*) echo "$1" ;; *) echo "/usr/$1" ;; esac; }
rules_dir=$(under_usr "$TESSAPLEX_UDEV_RULES_DIR")
icons_dir=$(under_usr "$TESSAPLEX_ICONS_DIR")
expected_files() {
    under_usr "$TESSAPLEX_BINDIR/tessaplex"
    echo "$rules_dir/70-tessaplex.rules"
    under_usr "$TESSAPLEX_APPLICATIONS_DIR/$app_id.desktop"
    under_usr "$TESSAPLEX_METAINFO_DIR/$app_id.metainfo.xml"
    echo "$icons_dir/48x48/apps/tessaplex.png"
    echo "$icons_dir/256x256/apps/tessaplex.png"
    echo "$icons_dir/scalable/apps/tessaplex.svg"
    under_usr "$TESSAPLEX_BINDIR/tessaplex-cli"
    under_usr "$TESSAPLEX_MAN1_DIR/tessaplex-cli.1.gz"
    under_usr "$TESSAPLEX_BASH_COMPLETION_DIR/tessaplex-cli"
}

case $check in
desktop)
    need desktop-file-validate desktop-file-utils
    desktop-file-validate "$desktop" || fail "desktop-file-validate rejected $desktop"
    grep -qx "Exec=tessaplex" "$desktop" || fail "Exec is not the installed program"
    grep -qx "Icon=tessaplex" "$desktop" || fail "Icon does not name the installed icons"
    ;;
metainfo)
    need appstreamcli appstream
    # Without --strict warnings still exit 0; only pedantic notes may pass.
    appstreamcli validate --no-net --strict "$metainfo" || fail "appstreamcli rejected $metainfo"
    grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" \
        || fail "metainfo launchable does not name $app_id.desktop"
    for v in $vendors; do
        V=$(echo "$v" | tr a-f A-F)
        for p in $products; do
            grep -q "<modalias>usb:v${V}p${p}d\*</modalias>" "$metainfo" || fail "metainfo lacks modalias for $v:$p"
        done
    done
    ;;
rules)
    for v in $vendors; do
        for p in $products; do
            grep -v '^[[:space:]]*#' "$rules" \
                | grep -F "SUBSYSTEM==\"hidraw\"" \
                | grep -F "ATTRS{idVendor}==\"$v\"" \
                | grep -F "ATTRS{idProduct}==\"$p\"" \
                | grep -qF 'TAG+="uaccess"' || fail "no uaccess rule for hidraw $v:$p"
        done
    done
    # The key tester's access: the keypad's own event nodes, no other keyboard's.
    for v in $vendors; do
        for p in $products; do
            grep -v '^[[:space:]]*#' "$rules" \
                | grep -F 'SUBSYSTEM=="input", KERNEL=="event*"' \
                | grep -F "ATTRS{idVendor}==\"$v\"" \
                | grep -F "ATTRS{idProduct}==\"$p\"" \
                | grep -qF 'TAG+="uaccess"' || fail "no uaccess rule for the input events of $v:$p"
        done
    done
    # Every rule names one keypad by both ids and only tags it: a line without
    # them, or a GROUP, OWNER or MODE, would open other devices or other users.
    grep -v '^[[:space:]]*#' "$rules" | grep -v '^[[:space:]]*$' | while IFS= read -r line; do
        v=$(echo "$line" | sed -n 's/.*ATTRS{idVendor}=="\([^"]*\)".*/\1/p')
        p=$(echo "$line" | sed -n 's/.*ATTRS{idProduct}=="\([^"]*\)".*/\1/p')
        case " $vendors " in *" $v "*) ;; *) echo "FAIL: rule without a keypad vendor id: $line" ;; esac
        case " $products " in *" $p "*) ;; *) echo "FAIL: rule without a keypad product id: $line" ;; esac
        case $line in
        *GROUP*|*OWNER*|*MODE*|*RUN*) echo "FAIL: rule does more than tag the keypad: $line" ;;
        'SUBSYSTEM=="hidraw", '*|'SUBSYSTEM=="input", KERNEL=="event*", '*) ;;
        *) echo "FAIL: rule for a node other than the keypad's hidraw or event nodes: $line" ;;
        esac
    done >"$scratch/scope"
    if [ -s "$scratch/scope" ]; then
        cat "$scratch/scope"
        fail "the rule reaches beyond the keypad"
    fi
    # sysfs prints lower-case hex; "514C" would never match.
    if grep -v '^[[:space:]]*#' "$rules" | grep -Eq 'ATTRS\{id(Vendor|Product)\}=="[^"]*[A-F]'; then
        fail "upper-case hex in an id match"
    fi
    # Any mode whose last digit carries the write bit opens the keypad to every user.
    if grep -v '^[[:space:]]*#' "$rules" | grep -Eq 'MODE[:+]?="?[0-7]*[2367]"?([,[:space:]]|$)'; then
        fail "world-writable MODE in $rules"
    fi
    ;;
install)
    dest=$scratch/root
    DESTDIR=$dest "${CMAKE:-cmake}" --install "$build" --prefix /usr >"$scratch/install.log" 2>&1 \
        || { cat "$scratch/install.log"; fail "cmake --install failed"; }
    for f in $(expected_files); do
        [ -f "$dest$f" ] || fail "not installed: $f"
    done
    [ -x "$dest$(under_usr "$TESSAPLEX_BINDIR/tessaplex")" ] || fail "installed program is not executable"
    for size in 48 256; do
        icon=$dest$icons_dir/${size}x${size}/apps/tessaplex.png
        [ -f "$icon" ] && ! file -b "$icon" | grep -q "PNG image data, $size x $size" \
            && fail "icon in ${size}x${size} is $(file -b "$icon")"
    done
    # A rule under the prefix only counts where udev looks for rules.
    case $rules_dir in
        /usr/lib/udev/rules.d|/lib/udev/rules.d|/etc/udev/rules.d) ;;
        *) fail "udev does not read $rules_dir" ;;
    esac
    ;;
deb)
    need dpkg-deb dpkg
    need dpkg-shlibdeps dpkg-dev
    (cd "$scratch" && "${CPACK:-cpack}" -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out") \
        >"$scratch/cpack.log" 2>&1 || { cat "$scratch/cpack.log"; fail "cpack -G DEB failed"; exit 1; }
    deb=$(ls "$scratch"/out/tessaplex_*.deb 2>/dev/null | head -n 1)
    [ -n "$deb" ] || { cat "$scratch/cpack.log"; fail "no .deb produced"; exit 1; }
    dpkg-deb -c "$deb" >"$scratch/contents" || fail "dpkg-deb -c failed"
    for f in $(expected_files); do
        grep -q " \.$f\$" "$scratch/contents" || fail "package lacks $f"
    done
    dpkg-deb -f "$deb" Package | grep -qx tessaplex || fail "package name is not tessaplex"
    dpkg-deb -f "$deb" Section | grep -qx utils || fail "section is not utils"
    depends=$(dpkg-deb -f "$deb" Depends)
    for lib in libhidapi-hidraw0 libqt5widgets5; do
        echo "$depends" | grep -q "$lib" || fail "Depends lacks $lib (shlibdeps): $depends"
    done
    dpkg-deb -I "$deb" | grep -q ' postinst' || fail "no postinst in the package"
    dpkg-deb -I "$deb" | grep -q ' postrm' || fail "no postrm in the package"
    dpkg-deb -e "$deb" "$scratch/control" || fail "dpkg-deb -e failed"
    # The scripts must not fail the install where udevd is unreachable
    # (chroots, containers, image builds).
    mkdir -p "$scratch/bin"
    printf '#!/bin/sh\nexit 1\n' >"$scratch/bin/udevadm"
    printf '#!/bin/sh\nexit 1\n' >"$scratch/bin/gtk-update-icon-cache"
    chmod +x "$scratch/bin/udevadm" "$scratch/bin/gtk-update-icon-cache"
    for script in postinst:configure postrm:remove postrm:purge; do
        name=${script%%:*}
        [ -x "$scratch/control/$name" ] || { fail "$name is not executable"; continue; }
        grep -q 'udevadm control --reload-rules' "$scratch/control/$name" || fail "$name does not reload udev rules"
        PATH=$scratch/bin:/usr/bin:/bin "$scratch/control/$name" "${script#*:}" \
            || fail "$name ${script#*:} fails when udevadm fails"
    done
    ;;
cli)
    # The command-line program as installed: no Qt Gui or Widgets (it must
    # run without a display), its manual page and its bash completion.
    dest=$scratch/root
    DESTDIR=$dest "${CMAKE:-cmake}" --install "$build" --prefix /usr >"$scratch/install.log" 2>&1 \
        || { cat "$scratch/install.log"; fail "cmake --install failed"; }
    cli=$dest$(under_usr "$TESSAPLEX_BINDIR/tessaplex-cli")
    [ -x "$cli" ] || { fail "tessaplex-cli is not installed"; exit 1; }
    ldd "$cli" >"$scratch/ldd" || fail "ldd failed on $cli"
    grep -q 'libQt5Core' "$scratch/ldd" || fail "ldd does not list libQt5Core: $(cat "$scratch/ldd")"
    if grep -Eq 'libQt5(Gui|Widgets)' "$scratch/ldd"; then
        fail "tessaplex-cli links Qt Gui or Widgets: $(grep -E 'libQt5(Gui|Widgets)' "$scratch/ldd")"
    fi
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$cli" --simulate info >"$scratch/info" 2>&1 \
        || fail "tessaplex-cli --simulate info fails without a display: $(cat "$scratch/info")"

    man_page=$dest$(under_usr "$TESSAPLEX_MAN1_DIR/tessaplex-cli.1.gz")
    gzip -t "$man_page" || fail "the manual page is not a gzip file"
    if command -v groff >/dev/null 2>&1; then
        warnings=$(gzip -dc "$man_page" | groff -man -ww -z 2>&1)
        [ -z "$warnings" ] || fail "groff warns about the manual page: $warnings"
    fi

    completion=$dest$(under_usr "$TESSAPLEX_BASH_COMPLETION_DIR/tessaplex-cli")
    # Every command the program lists must complete, and a command's own
    # options after it. bash-completion's helpers are stubbed: only our
    # function is under test.
    commands=$("$cli" --help | sed -n '/^Commands:/,/^$/p' | awk 'NR > 1 && NF { print $1 }')
    [ -n "$commands" ] || fail "no commands in tessaplex-cli --help"
    complete_words() {
        bash -c '
            _init_completion() { cur=${COMP_WORDS[COMP_CWORD]}; prev=${COMP_WORDS[COMP_CWORD-1]};
                                 words=("${COMP_WORDS[@]}"); cword=$COMP_CWORD; }
            _filedir() { :; }
            . "$1"; shift
            COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
            _tessaplex_cli
            printf "%s\n" "${COMPREPLY[@]}"' sh "$completion" "$@"
    }
    offered=$(complete_words tessaplex-cli "")
    for command in $commands; do
        echo "$offered" | grep -qx "$command" || fail "bash completion does not offer $command"
    done
    complete_words tessaplex-cli --simulate led --l | grep -qx -- "--layer" \
        || fail "bash completion does not offer --layer after led"
    # Without the bash-completion package: no error, knob names and the
    # program's own action words.
    bare_complete() {
        bash -c '. "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _tessaplex_cli 2>&1
                 printf "%s\n" "${COMPREPLY[@]}"' sh "$completion" "$@"
    }
    ! bare_complete "$cli" "" | grep -q 'not found' \
        || fail "bash completion without bash-completion prints errors: $(bare_complete "$cli" "")"
    bare_complete "$cli" set kn | grep -qx 'knob\\ 1\\ left' \
        || fail "bash completion without bash-completion: no knob names: $(bare_complete "$cli" set kn)"
    bare_complete "$cli" set K1 Volume | grep -qx 'Volume+' \
        || fail "bash completion does not offer action words: $(bare_complete "$cli" set K1 Volume)"
    ;;
*)
    echo "unknown check: $check"
    exit 2
    ;;
esac

[ "$failures" -eq 0 ] || exit 1
echo "$check: ok"
