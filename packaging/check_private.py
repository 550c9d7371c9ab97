#!/usr/bin/env python3
"""Fails when the component library exports a private member function of one of its classes.

Usage: check_private.py DOXYGEN DOXYFILE LIBRARY WORKDIR MACRO...

A private function that is not virtual is no part of what a program links against: it is marked
MIRNAX_NO_EXPORT in its header, so that changing it changes nothing outside the library. Doxygen
reads the installed headers (the API reference's configuration, DOXYFILE, with the private members,
an XML output, and the macros MACRO... alone: protected members are read as themselves) and names
them; nm lists what the library exports. Virtual functions stay exported (a subclass's vtable names
them), and so do names a class also declares public or protected."""
import pathlib
import subprocess
import sys
import xml.etree.ElementTree as ET

from check_exports import defined
from check_namespace import entity


def private_functions(xml_folder):
    """Qualified names of the private non-virtual member functions, less any name that also has a
    public or protected declaration."""
    private, other = set(), set()
    for path in xml_folder.glob("*.xml"):
        for compound in ET.parse(path).getroot().iter("compounddef"):
            if compound.get("kind") not in ("class", "struct"):
                continue
            owner = compound.find("compoundname").text
            for member in compound.iter("memberdef"):
                if member.get("kind") != "function":
                    continue
                name = owner + "::" + member.find("name").text
                args = member.findtext("argsstring") or ""
                virtual = member.get("virt") != "non-virtual" or " override" in args or " final" in args
                if member.get("prot") == "private" and not virtual:
                    private.add(name)
                else:
                    other.add(name)
    return private - other


def main(doxygen, doxyfile, library, workdir, *macros):
    work = pathlib.Path(workdir)
    work.mkdir(parents=True, exist_ok=True)
    config = work / "Doxyfile"
    predefined = " ".join(f'"{macro}"' for macro in macros)
    config.write_text(f'@INCLUDE = "{doxyfile}"\n'
                      f'OUTPUT_DIRECTORY = "{work}"\n'
                      "GENERATE_HTML = NO\nGENERATE_XML = YES\nEXTRACT_PRIVATE = YES\n"
                      "WARN_IF_UNDOCUMENTED = NO\nWARN_AS_ERROR = NO\nQUIET = YES\n"
                      f"PREDEFINED = {predefined}\n")
    subprocess.run([doxygen, str(config)], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    private = private_functions(work / "xml")
    exported = {entity(name).replace("[abi:cxx11]", "") for name in defined(library, dynamic=True)}
    faults = sorted(private & exported)
    for name in faults:
        print(f"{library} exports the private {name}: mark it MIRNAX_NO_EXPORT")
    print(f"{len(private)} private member functions; {len(faults)} exported")
    return 1 if faults or not private else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
