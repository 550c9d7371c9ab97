// The component library as one shared library: what it adds to the static units it bundles.
#pragma once

#include "mirnax/mirnax_export.h"

/// The component library: the controls, the zip component and the toolkit they are built on.
namespace mirnax {
/// The library's version, "major.minor.patch", as built.
MIRNAX_EXPORT const char* LibraryVersion();

/// Runs the Register of every component unit: the controls and the zip component on their
/// palette pages. Safe to call more than once.
MIRNAX_EXPORT void RegisterAll();
}  // namespace mirnax
