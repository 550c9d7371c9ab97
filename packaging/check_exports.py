#!/usr/bin/env python3
"""Fails when the component library exports anything but names of namespace mirnax, when a program
that links it carries a copy of what it exports, or when the terminal program needs a library it
must not (the component library, Qt's GUI).

Usage: check_exports.py LIBRARY --shared PROGRAM... --static PROGRAM...

The library's dynamic symbols, reduced to the entity each names ("vtable for", thunks and the like
dropped), must all live in mirnax::. A --shared program must name the library among its needed
libraries and define none of its exported symbols itself. A --static program must load neither the
library nor Qt's GUI libraries, directly or through another library (ldd).

A program's weak definitions (inline functions, vtables and type information of classes whose
virtual functions are all inline) are the compiler's vague-linkage copies, which the dynamic
linker merges with the library's: they do not count as copies of the library."""
import subprocess
import sys

from check_namespace import entity

GUI_LIBRARIES = ("libmirnax-components", "libQt6Gui", "libQt6Widgets", "libQt6PrintSupport")


def defined(path, dynamic):
    """The demangled names of the symbols path defines: every one of its dynamic table, or the
    strong ones of its full table."""
    command = ["nm", "-C", "--defined-only"] + (["-D"] if dynamic else []) + [path]
    listing = subprocess.run(command, capture_output=True, text=True, check=True)
    skipped = "aANnU" if dynamic else "aANnUVWvwu"
    names = set()
    for line in listing.stdout.splitlines():
        parts = line.split(" ", 2)
        if len(parts) == 3 and parts[1] not in skipped:
            names.add(parts[2].split("@", 1)[0])
    return names


def needed(path):
    dynamic = subprocess.run(["readelf", "-d", path], capture_output=True, text=True, check=True).stdout
    return [line.split("[", 1)[1].rstrip("]") for line in dynamic.splitlines() if "(NEEDED)" in line]


def main(argv):
    library = argv[0]
    shared, static, into = [], [], None
    for arg in argv[1:]:
        if arg in ("--shared", "--static"):
            into = shared if arg == "--shared" else static
        else:
            into.append(arg)
    faults = []
    exported = defined(library, dynamic=True)
    faults += [f"{library} exports {name}" for name in sorted(exported)
               if not entity(name).startswith("mirnax::")]
    soname = library.rsplit("/", 1)[-1].split(".so", 1)[0]
    for program in shared:
        if not any(name.startswith(soname + ".so") for name in needed(program)):
            faults.append(f"{program} does not link {soname}")
        faults += [f"{program} defines {name} itself" for name in sorted(defined(program, dynamic=False) & exported)]
    for program in static:
        loads = subprocess.run(["ldd", program], capture_output=True, text=True, check=True).stdout
        faults += [f"{program} loads {line.split()[0]}" for line in loads.splitlines()
                   if line.strip().startswith(GUI_LIBRARIES)]
    for fault in faults:
        print(fault)
    print(f"{library}: {len(exported)} exported symbols; {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
