// The two archive libraries the component loads at run time ("ZIPDLL.DLL" and "UNZDLL.DLL",
// libzipdll.so and libunzdll.so here) and the command records it hands them. TZipBuilder's
// library members are defined in zip_libraries.cpp.
#pragma once

#include "toolkit/core/library.h"
#include "zip/zip_builder.h"

namespace mirnax {

// One library: its names, the messages about it, and its two entry points once loaded.
struct MIRNAX_NO_EXPORT TZipBuilder::TDll {
  const char* fileName;  // as the component names it
  const char* execName;
  const char* versionName;
  int loadedMsg, noExecMsg, noVersionMsg, noLoadMsg;
  TLibrary library;
  void* exec = nullptr;
  void* version = nullptr;
};

}  // namespace mirnax
