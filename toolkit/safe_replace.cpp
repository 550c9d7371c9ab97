#include "toolkit/safe_replace.h"

#include <cstring>

#include "toolkit/exceptions.h"
#include "toolkit/fileio.h"
#include "toolkit/paths.h"
#include "toolkit/sysutils.h"

namespace fs = std::filesystem;

std::optional<fs::perms> PermissionsOf(const std::string& native) {
  std::error_code error;
  const fs::file_status status = fs::status(native, error);
  if (error || !fs::is_regular_file(status)) return std::nullopt;
  return status.permissions() & fs::perms::mask;
}

void SetPermissions(const std::string& native, fs::perms perms) {
  std::error_code error;
  fs::permissions(native, perms, fs::perm_options::replace, error);
  if (error) {
    throw EInOutError(Format("Cannot set the permissions of %s: %s", native.c_str(), error.message().c_str()),
                      error.value());
  }
}

TSafeReplace::TSafeReplace(const std::string& path)
    : path_(path), target_(ResolveLinks(NativePath(path))), side_(target_, path) {}

void TSafeReplace::Write(const std::function<void(TFileStream&)>& fill) {
  try {
    TFileStream file(side_.Name(), fmOpenReadWrite);
    if (const auto perms = PermissionsOf(target_)) SetPermissions(side_.Name(), *perms);
    fill(file);
    file.Flush();
    file.Close();
  } catch (const EStreamError&) {
    throw EFCreateError(Format(SFCreateError, path_.c_str()));
  } catch (const EInOutError& e) {
    if (e.ErrorCode == 0) throw;
    throw EInOutError(Format("Write error on %s: %s", path_.c_str(), std::strerror(e.ErrorCode)), e.ErrorCode);
  }
}

void TSafeReplace::Write(std::string_view bytes) {
  Write([bytes](TFileStream& file) { file.WriteBuffer(bytes.data(), bytes.size()); });
}

void TSafeReplace::Commit() {
  RenameOver(side_.Name(), target_);
  side_.Keep();  // it is the file now
  SyncFolderOf(target_);
}
