#!/usr/bin/env bash
# Builds the Debian package (installed under /usr, stripped), then checks it with lintian.
# Usage: tools/package.sh        (the package lands in build-deb/)
set -euo pipefail
cd "$(dirname "$0")/.."
out=build-deb
cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr -DBUILD_TESTING=OFF >/dev/null
cmake --build "$out" -j2
(cd "$out" && cpack -G DEB >/dev/null)
deb=$(ls -t "$out"/mirnax_*.deb | head -1)
echo "$deb"
dpkg-deb --field "$deb" Package Version Depends
# lintian exits non-zero on errors only; warnings are printed for the record.
lintian --tag-display-limit 0 "$deb"
