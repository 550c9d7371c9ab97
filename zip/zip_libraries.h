// The two archive libraries the component loads at run time ("ZIPDLL.DLL" and "UNZDLL.DLL",
// libzipdll.so and libunzdll.so here) and the command records it hands them. TZipBuilder's
// library members are defined in zip_libraries.cpp.
#pragma once

#include "toolkit/core/library.h"
#include "zip/zip_builder.h"

namespace mirnax {

/// One library: its names, the messages about it, and its two entry points once loaded.
struct TZipBuilder::TDll {
  const char* fileName;  ///< as the component names it
  const char* execName;  ///< Name of the entry point that runs a command.
  const char* versionName;  ///< Name of the entry point that gives the version.
  int loadedMsg;  ///< The message that it was loaded.
  int noExecMsg;  ///< The message that it has no command entry point.
  int noVersionMsg;  ///< The message that it has no version entry point.
  int noLoadMsg;  ///< The message that it could not be loaded.
  TLibrary library;  ///< The loaded library.
  void* exec = nullptr;  ///< The command entry point, once loaded.
  void* version = nullptr;  ///< The version entry point, once loaded.
};

}  // namespace mirnax
