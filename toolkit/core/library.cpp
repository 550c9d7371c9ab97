#include "toolkit/core/library.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "toolkit/core/paths.h"

namespace mirnax {

std::string TLibrary::PlatformName(std::string_view name) {
  std::string path = ForwardSlashes(name);
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  std::string file = path.substr(folder.size());
  if (file.find(".so") != std::string::npos) return path;
  std::string lower;
  for (char c : file) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower.size() > 4 && lower.compare(lower.size() - 4, 4, ".dll") == 0) lower.resize(lower.size() - 4);
  return folder + "lib" + lower + ".so";
}

namespace {
std::string ProgramFolder() {
  char buffer[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return "";
  std::string exe(buffer, static_cast<size_t>(n));
  return exe.substr(0, exe.rfind('/') + 1);
}
}  // namespace

bool TLibrary::Load(std::string_view name) {
  Unload();
  const std::string file = PlatformName(name);
  handle_ = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    const char* reason = ::dlerror();
    error_ = reason ? reason : "cannot load " + file;
    if (file.find('/') == std::string::npos) {
      const std::string beside = ProgramFolder() + file;
      handle_ = ::dlopen(beside.c_str(), RTLD_NOW | RTLD_LOCAL);
    }
  }
  if (handle_ != nullptr) error_.clear();
  return handle_ != nullptr;
}

void TLibrary::Unload() {
  if (handle_ != nullptr) ::dlclose(handle_);
  handle_ = nullptr;
}

void* TLibrary::Symbol(const char* name) const {
  return handle_ != nullptr ? ::dlsym(handle_, name) : nullptr;
}

std::string PrivateFilesFolder() {
  Dl_info info{};
  if (::dladdr(reinterpret_cast<const void*>(&PrivateFilesFolder), &info) == 0 || info.dli_fname == nullptr)
    return {};
  std::error_code error;
  const auto self = std::filesystem::canonical(info.dli_fname, error);
  if (error) return {};
  const auto folder = self.parent_path();
  return std::filesystem::is_directory(folder / "mirnax", error) ? (folder / "mirnax").string() : folder.string();
}

}  // namespace mirnax
