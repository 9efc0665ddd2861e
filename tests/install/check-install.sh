#!/usr/bin/env bash
# Installs the build into a scratch DESTDIR and checks what a user gets: every file the install
# promises, the installed command line converting an example exactly as the build's does, the
# desktop entry and metainfo validated, the man pages with every subcommand, the completion, and
# (with --consumer) a CMake project outside this one that finds the library and converts a file.
#   check-install.sh SOURCE_DIR BUILD_DIR [--consumer]
set -euo pipefail
source_dir=$1 build_dir=$2 consumer=${3:-}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "check-install: $*" >&2; exit 1; }

DESTDIR=$scratch/root cmake --install "$build_dir" --prefix /usr >/dev/null
root=$scratch/root/usr
library=$(cd "$root" && find lib* -name libscan2theta.so | head -n1)
libdir=$(dirname "${library:-none/none}")
[[ -n $library ]] || fail "no libscan2theta.so installed"
for file in bin/scan2theta bin/scan2theta-gui \
    "$libdir/libscan2theta.a" "$libdir/pkgconfig/scan2theta.pc" \
    "$libdir/cmake/scan2theta/scan2thetaConfig.cmake" "$libdir/cmake/scan2theta/scan2thetaConfigVersion.cmake" \
    include/scan2theta/engine/BatchRun.h include/scan2theta/platform/ConsolePlatform.h \
    include/scan2theta/calibration/Spline.h include/scan2theta/options/OptionFile.h \
    include/scan2theta/standards/StandardFile.h include/scan2theta/peaks \
    share/scan2theta/standards/Silicon.std share/scan2theta/standards/LaB6.std \
    share/man/man1/scan2theta.1.gz share/man/man1/scan2theta-gui.1.gz \
    share/bash-completion/completions/scan2theta share/bash-completion/completions/scan2theta-gui \
    share/applications/org.scan2theta.scan2theta.desktop share/icons/hicolor/scalable/apps/scan2theta.svg \
    share/metainfo/org.scan2theta.scan2theta.metainfo.xml; do
    [[ -e $root/$file ]] || fail "not installed: $file"
done
[[ -z $(find "$root/include/scan2theta" -path '*/ui/*') ]] || fail "Qt headers installed with the core"

# The installed command line, run from there, writes what the build's writes.
example=$source_dir/examples/si-standard.chn
home=$scratch/home
"$build_dir/scan2theta" standards --home "$home" >/dev/null  # a first start writes Default.pre
"$root/bin/scan2theta" convert --home "$home" -q -s 0.02 -f xfit -o "$scratch/installed.dat" "$example" \
    || fail "the installed scan2theta did not convert $example"
"$build_dir/scan2theta" convert --home "$home" -q -s 0.02 -f xfit -o "$scratch/built.dat" "$example"
cmp -s "$scratch/installed.dat" "$scratch/built.dat" || fail "the installed scan2theta wrote other bytes"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/bin/scan2theta-gui" --version \
    | grep -qx "scan2theta-gui [0-9.]*" || fail "the installed scan2theta-gui --version"

desktop-file-validate "$root/share/applications/org.scan2theta.scan2theta.desktop" \
    || fail "desktop entry not valid"
appstreamcli validate --no-net --pedantic "$root/share/metainfo/org.scan2theta.scan2theta.metainfo.xml" >/dev/null \
    || fail "metainfo not valid"
# The man page holds every subcommand's help; man itself can lay it out.
for command in convert info "calibration show" "calibration fit" "calibration from-standard" standards; do
    zgrep -q "^\.SS \"$command\"" "$root/share/man/man1/scan2theta.1.gz" || fail "man page without $command"
done
zgrep -q -- '--files-from\|--overwrite' "$root/share/man/man1/scan2theta.1.gz" || fail "man page without convert's options"
MANWIDTH=80 man -l "$root/share/man/man1/scan2theta-gui.1.gz" 2>/dev/null | grep -q -- '--home' \
    || fail "scan2theta-gui.1 does not show --home"
# Dated as the release in the change log (unless SOURCE_DATE_EPOCH said otherwise), not as the
# day of the build, so that every build of a release gives the same pages.
if [[ -z ${SOURCE_DATE_EPOCH:-} ]]; then
    release=$(sed -n 's/^ -- .*>  //p' "$source_dir/dist/changelog" | head -n1)
    month=$(LC_ALL=C date -u -d "$release" '+%B %Y')
    for page in scan2theta scan2theta-gui; do
        zgrep -q "^\.TH [^ ]* \"1\" \"$month\"" "$root/share/man/man1/$page.1.gz" \
            || fail "$page.1 is not dated $month, the release's month"
    done
fi

# Completion, as bash-completion loads it.
completions=$(PATH=$root/bin:$PATH bash -c '
    source /usr/share/bash-completion/bash_completion
    source "$1"
    complete_words() { COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
        COMPREPLY=(); _scan2theta; echo "${COMPREPLY[*]}"; }
    complete_words scan2theta c
    complete_words scan2theta calibration f
    complete_words scan2theta convert --ove
    complete_words scan2theta convert -f x
    complete_words scan2theta info --j' _ "$root/share/bash-completion/completions/scan2theta")
expected=$'convert calibration\nfit from-standard\n--overwrite\nxfit\n--json'
[[ $completions == "$expected" ]] || fail "completion gave:"$'\n'"$completions"

if [[ $consumer == --consumer ]]; then
    cmake -S "$source_dir/tests/install/consumer" -B "$scratch/consumer" -DCMAKE_PREFIX_PATH="$root" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null || fail "find_package(scan2theta) failed"
    cmake --build "$scratch/consumer" >/dev/null || fail "the outside program did not build"
    "$scratch/consumer/convert-one" "$example" "$scratch/consumer.txt" || fail "the outside program failed"
    # The outside program converts with the built-in straight line.
    "$build_dir/scan2theta" convert --home "$home" -q -K 10.939501 -C 0.02692846 -o "$scratch/reference.txt" \
        "$example"
    cmp -s "$scratch/consumer.txt" "$scratch/reference.txt" || fail "the outside program wrote other bytes"
    PKG_CONFIG_PATH=$root/$libdir/pkgconfig pkg-config --libs --cflags scan2theta | grep -q -- '-lscan2theta' \
        || fail "pkg-config does not find scan2theta"
fi
# The Python module, where Debian's python3 finds it below /usr (built only where pybind11 is).
if compgen -G "$build_dir/python/scan2theta/_scan2theta*.so" >/dev/null; then
    package=$(compgen -G "$root/lib/python3.*/dist-packages/scan2theta" | head -n1)
    [[ -n $package && -f $package/__init__.py && -f $package/__init__.pyi ]] || fail "Python module not installed"
    grep -qx "${package%/scan2theta}" <(/usr/bin/python3 -c 'import sys; print(*sys.path, sep="\n")' \
        | sed "s|^/usr/|$root/|") || fail "Debian's python3 does not look in ${package%/scan2theta}"
    # A sanitized module needs the sanitizers' run-time loaded first: the ordinary build imports it.
    if [[ $consumer == --consumer ]]; then
        PYTHONPATH=${package%/scan2theta} /usr/bin/python3 -c \
            'import scan2theta, sys; assert len(scan2theta.read(sys.argv[1])) == 4096' "$example" \
            || fail "the installed Python module did not read $example"
    fi
fi
echo "check-install: ok"
