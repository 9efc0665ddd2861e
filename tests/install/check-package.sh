#!/usr/bin/env bash
# Checks the Debian package that `make package` built: it lists the programs, the library and the
# desktop files, depends on what the programs link, and the command line unpacked from it converts
# an example exactly as the build's does.
#   check-package.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir=$1 build_dir=$2
fail() { echo "check-package: $*" >&2; exit 1; }
shopt -s nullglob
packages=("$build_dir"/scan2theta_*.deb)
((${#packages[@]} == 1)) || fail "expected one scan2theta_*.deb in $build_dir, found ${#packages[@]}"
package=${packages[0]}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

dpkg-deb -c "$package" | awk '{print $6}' >"$scratch/contents"
for file in ./usr/bin/scan2theta ./usr/bin/scan2theta-gui ./usr/share/man/man1/scan2theta.1.gz \
    ./usr/share/applications/org.scan2theta.scan2theta.desktop ./usr/share/scan2theta/standards/Silicon.std \
    ./usr/include/scan2theta/engine/BatchRun.h ./usr/share/doc/scan2theta/copyright \
    ./usr/share/doc/scan2theta/changelog.gz ./usr/share/man/man1/scan2theta-gui.1.gz; do
    grep -qxF "$file" "$scratch/contents" || fail "the package does not list $file"
done
grep -qE '^\./usr/lib/(.*/)?libscan2theta\.so\.' "$scratch/contents" || fail "the package holds no libscan2theta.so"
depends=$(dpkg-deb -f "$package" Depends)
# dpkg refreshes the library cache through its ldconfig trigger.
[[ $(dpkg-deb --ctrl-tarfile "$package" | tar -xO ./triggers 2>/dev/null) == "activate-noawait ldconfig" ]] \
    || fail "the package lacks the ldconfig trigger"
for library in libc6 libstdc++6 libqt6widgets6; do
    [[ $depends == *"$library"* ]] || fail "Depends lacks $library: $depends"
done

dpkg-deb -x "$package" "$scratch/root"
example=$source_dir/examples/alumina-scan.guf
"$build_dir/scan2theta" standards --home "$scratch/home" >/dev/null
"$scratch/root/usr/bin/scan2theta" convert --home "$scratch/home" -q --calibration file -f cpi -s 0.02 \
    --date 2026-01-01 -o "$scratch/packaged.cpi" "$example" || fail "the packaged scan2theta did not convert"
"$build_dir/scan2theta" convert --home "$scratch/home" -q --calibration file -f cpi -s 0.02 \
    --date 2026-01-01 -o "$scratch/built.cpi" "$example"
cmp -s "$scratch/packaged.cpi" "$scratch/built.cpi" || fail "the packaged scan2theta wrote other bytes"
echo "check-package: ok ($(basename "$package"))"
