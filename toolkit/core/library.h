// Libraries loaded at run time. Programs name them by their DLL names ("ZIPDLL.DLL"); the loader
// maps such a name to this platform's file name ("libzipdll.so").
#pragma once

#include <string>
#include <string_view>

namespace mirnax {

class TLibrary {
 public:
  TLibrary() = default;
  ~TLibrary() { Unload(); }
  TLibrary(const TLibrary&) = delete;
  TLibrary& operator=(const TLibrary&) = delete;

  // "ZIPDLL.DLL" -> "libzipdll.so"; a folder part is kept, with '\' turned into '/'. A name that
  // already looks like a shared object is returned as it is.
  static std::string PlatformName(std::string_view name);

  // Loads the library (the name is mapped first). A bare name is searched as the platform's
  // loader does (the program's run path, then the system's library path) and then in the
  // program's own folder. False when it cannot be loaded; Error() says why.
  bool Load(std::string_view name);
  void Unload();
  bool Loaded() const { return handle_ != nullptr; }
  // The address of an exported symbol, or nullptr.
  void* Symbol(const char* name) const;
  const std::string& Error() const { return error_; }

 private:
  void* handle_ = nullptr;
  std::string error_;
};

// The folder of the files the component library loads or copies at run time (the two archive
// libraries, the self-extractor stub): "mirnax" beside the library or program this code was
// loaded from, found from the code's own address, so that any install prefix works; that folder
// itself when it has no such subfolder, as in the build tree, where everything lies in build/bin.
// Empty when the address cannot be placed.
std::string PrivateFilesFolder();

}  // namespace mirnax
