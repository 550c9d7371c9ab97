#!/bin/sh
# The strip of the Debian packages, handed to CMake as CMAKE_STRIP by tools/package.sh: it strips
# as Debian's own tooling does. Besides the symbols and the debugging information, it removes the
# .comment section (the compiler's and the C runtime's version strings, one per object linked in)
# and a bare .note section; the build id (.note.gnu.build-id) stays, for debuggers and for the
# detached debugging symbols. A shared library or plugin keeps the symbols it exports and loses
# the rest (--strip-unneeded); a program loses them all.
# CMake calls it as "strip [options] FILE", the file last.
set -eu
for file; do :; done
case "${file##*/}" in
  *.so | *.so.*) set -- --strip-unneeded "$@" ;;
esac
exec "${STRIP:-strip}" --remove-section=.comment --remove-section=.note "$@"
