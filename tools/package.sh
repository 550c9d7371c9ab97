#!/usr/bin/env bash
# Builds the Debian packages (installed under /usr, stripped, with Debian's hardening flags), then
# checks them with lintian. Usage: tools/package.sh   (the packages land in build-deb/)
#   mirnax                    the window program, its menu entry
#   mirnax-freeze             the terminal program and the translations (no graphical library)
#   libmirnax-components1     the component library and its private folder <libdir>/mirnax/
#   libmirnax-components-dev  headers, CMake package, pkg-config file, API reference, mirnax-gallery
#   mirnax-designer-plugin    the Qt Designer plugin
set -euo pipefail
cd "$(dirname "$0")/.."
out=build-deb
for tool in dpkg-buildflags dpkg-shlibdeps dpkg-gensymbols lintian; do
  command -v "$tool" >/dev/null || { echo "package.sh: $tool is missing (apt-get install dpkg-dev lintian)" >&2; exit 2; }
done
# Every hardening flag Debian has: fortified functions (CPPFLAGS), stack protector, format checks
# and position-independent code (CXXFLAGS), read-only relocations bound at start (LDFLAGS).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
flag() { dpkg-buildflags --get "$1"; }
# The binaries are stripped as Debian's own tooling strips them (tools/debian_strip.sh): CMake's
# plain strip leaves the compilers' .comment sections in.
cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr -DBUILD_TESTING=OFF -DMIRNAX_DOCS=ON \
  -DCMAKE_STRIP="$PWD/tools/debian_strip.sh" \
  -DCMAKE_C_FLAGS="$(flag CFLAGS) $(flag CPPFLAGS)" -DCMAKE_CXX_FLAGS="$(flag CXXFLAGS) $(flag CPPFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(flag LDFLAGS)" -DCMAKE_SHARED_LINKER_FLAGS="$(flag LDFLAGS)" \
  -DCMAKE_MODULE_LINKER_FLAGS="$(flag LDFLAGS)" >/dev/null
cmake --build "$out" -j2
rm -f "$out"/*.deb
(cd "$out" && cpack -G DEB >/dev/null)
# CPack gives every package with a library in the system's folder postinst and postrm scripts that
# call ldconfig; the library package's trigger does that job (as Debian asks), so they go.
lib=$(ls "$out"/libmirnax-components1_*.deb)
rm -rf "$out/unpacked"
dpkg-deb -R "$lib" "$out/unpacked"
rm -f "$out/unpacked/DEBIAN/postinst" "$out/unpacked/DEBIAN/postrm"
# Its symbols file, one line per exported symbol with the version that brought it; a symbol the
# template expects and the library lacks fails the build (-c4).
version=$(dpkg-deb --field "$lib" Version)
dpkg-gensymbols -plibmirnax-components1 -v"$version" -P"$out/unpacked" -Ipackaging/libmirnax-components1.symbols \
  -O"$out/unpacked/DEBIAN/symbols" -c4 >/dev/null
dpkg-deb --root-owner-group -Zxz -b "$out/unpacked" "$lib" >/dev/null
rm -rf "$out/unpacked"
status=0
for deb in "$out"/*.deb; do
  echo "$deb"
  dpkg-deb --field "$deb" Package Version Depends | sed 's/^/  /'
done
# lintian exits non-zero on errors; warnings and the hardening information are shown too.
lintian --display-info --tag-display-limit 0 "$out"/*.deb || status=$?
exit "$status"
