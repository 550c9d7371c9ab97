#!/usr/bin/env python3
"""Fails when a library defines a type or function of ours outside namespace mirnax.

Usage: check_namespace.py LIBRARY...   (static archives or shared objects)

Every symbol nm lists as defined is reduced to the entity it names (return types, "vtable for"
and the like dropped); what is left must live in mirnax::, or be an instance of a standard or Qt
template, moc's tables, a plugin's C entry point, or the compiler's own."""
import subprocess
import sys

PREFIXES = ("typeinfo name for ", "typeinfo for ", "vtable for ", "VTT for ", "construction vtable for ",
            "guard variable for ", "non-virtual thunk to ", "virtual thunk to ", "covariant return thunk to ",
            "reference temporary #0 for ", "TLS init function for ", "TLS wrapper function for ")
FOREIGN = ("std", "__gnu_cxx", "__cxxabiv1")
COMPILER = ("frame_dummy", "register_tm_clones", "deregister_tm_clones", "completed.0", "CSWTCH", "DW.ref")
PLUGIN_ENTRY = ("qt_plugin_instance", "qt_plugin_query_metadata_v2", "qt_plugin_query_metadata")


def entity(name):
    """The qualified name a demangled symbol defines: its return type and argument list dropped."""
    for prefix in PREFIXES:
        if name.startswith(prefix):
            name = name[len(prefix):]
    depth = 0
    start = 0
    for i, c in enumerate(name):
        if c in "<(":
            if c == "(" and depth == 0 and not name.startswith("(anonymous namespace)", i):
                return name[start:i]
            depth += 1
        elif c in ">)":
            depth -= 1
        elif c == " " and depth == 0:
            start = i + 1  # what came before was a return type or a qualifier
    return name[start:]


def outside(name):
    """True when a symbol names something of ours outside mirnax::."""
    what = entity(name)
    if not what:  # the type information of a function type like bool (*)(int)
        return False
    first = what.split("::", 1)[0].split("<", 1)[0]
    if first == "mirnax" or first in FOREIGN or what in PLUGIN_ENTRY:
        return False
    if first.startswith(("Q", "q")):  # Qt's templates, moc's tables (qt_meta_data_mirnax__...)
        return False
    if first == "(anonymous namespace)" and "::qt_meta_stringdata_mirnax__" in what:
        return False
    return not (first.startswith(("_", ".")) or first.startswith(COMPILER))


def main(paths):
    found = []
    for path in paths:
        listing = subprocess.run(["nm", "-C", "--defined-only", path], capture_output=True, text=True, check=True)
        for line in listing.stdout.splitlines():
            parts = line.split(" ", 2)
            if len(parts) == 3 and parts[1] not in "aANn" and outside(parts[2]):
                found.append(f"{path}: {parts[2]}")
    for line in sorted(set(found)):
        print(line)
    print(f"{len(paths)} libraries, {len(set(found))} symbols outside mirnax::")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
