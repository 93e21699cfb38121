#!/usr/bin/env bash
# Builds the Debian package dist/vorndemo_<version>_<arch>.deb: the build's
# `cmake --install` under /usr (stripped as dh_strip does), the copyright file and the
# compressed changelog in /usr/share/doc/vorndemo, the runtime dependencies
# from dpkg-shlibdeps, and md5sums. lintian then checks the package; any error
# fails the script. Prints lintian's report on stderr and the package's path.
# Usage: scripts/package.sh   (builds what is missing first, as scripts/setup.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
project=$(pwd)
umask 022

bash scripts/install-missing.sh package --no-install-recommends dpkg-dev lintian
bash scripts/setup.sh vorndemo assets > /dev/null

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/CMakeCache.txt)
logged=$(sed -n '1s/^vorndemo (\([^)]*\)).*/\1/p' packaging/changelog)
if [ "$version" != "$logged" ]; then
  echo "package: the project's version is $version but packaging/changelog begins with $logged; add an entry" >&2
  exit 1
fi
arch=$(dpkg --print-architecture)
deb=dist/vorndemo_${version}_${arch}.deb

work=build/package
root=$work/debian/vorndemo  # where dpkg-shlibdeps expects the package's files
doc=$root/usr/share/doc/vorndemo
rm -rf "$work"
mkdir -p "$root/DEBIAN" "$doc" dist
DESTDIR=$project/$root cmake --install build --prefix /usr > /dev/null
strip --remove-section=.comment --remove-section=.note "$root/usr/bin/vorndemo"
gzip -9n "$root/usr/share/man/man6/vorndemo.6"
gzip -9nc packaging/changelog > "$doc/changelog.gz"
cp packaging/copyright "$doc/copyright"

# dpkg-shlibdeps reads the package list from debian/control beside it.
printf 'Source: vorndemo\n\nPackage: vorndemo\nArchitecture: any\n' > "$work/debian/control"
depends=$(cd "$work" && dpkg-shlibdeps -O debian/vorndemo/usr/bin/vorndemo | sed -n 's/^shlibs:Depends=//p')
[ -n "$depends" ] || { echo "package: dpkg-shlibdeps found no dependencies" >&2; exit 1; }
# SDL 1.2 opens libGL.so.1 itself (dlopen), out of dpkg-shlibdeps' sight.
depends="$depends, libgl1"
size=$(du -k -s --exclude=DEBIAN "$root" | cut -f1)
sed -e "s/@VERSION@/$version/" -e "s/@ARCH@/$arch/" -e "s/@SIZE@/$size/" -e "s/@DEPENDS@/$depends/" \
  packaging/control.in > "$root/DEBIAN/control"
(cd "$root" && find usr -type f -print0 | sort -z | xargs -0 md5sum > DEBIAN/md5sums)

dpkg-deb --root-owner-group -Zxz --build "$root" "$deb" > /dev/null
# Its notice that it runs as root is no finding about the package.
report=$(lintian --tag-display-limit 0 "$deb" 2>&1 | grep -v '^running with root privileges') || true
[ -z "$report" ] || echo "$report" >&2
if grep -q '^E: ' <<< "$report"; then
  echo "package: lintian reports errors in $deb" >&2
  exit 1
fi
echo "$deb"
