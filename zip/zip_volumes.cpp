#include "zip/zip_volumes.h"

#include "toolkit/core/dialogs.h"
#include "toolkit/core/disks.h"
#include "zip/zip_codec.h"
#include "zip/zip_desktop.h"
#include "zip/zip_file_helpers.h"
#include "zip/zip_message_ids.h"
#include "zip/zip_messages.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <optional>

namespace mirnax {

namespace zip_volumes {

bool IsFixedOrNetwork(int driveType) { return driveType == dtFixed || driveType == dtRemote; }

EZipBuilder Because(int ident, const std::string& reason) {
  EZipBuilder failure(ident, true);
  if (!reason.empty()) failure.Message += "\n" + reason;
  return failure;
}

}  // namespace zip_volumes

using namespace zip_files;
using namespace zip_volumes;

namespace {
std::string Msg(int ident) { return ZipMessageOrNotice(ident); }

std::string VolumeDigits(int volume) { return std::to_string(volume + 1001).substr(1); }
}  // namespace

std::string TZipBuilder::VolumeLabelFor(int volume) { return "PKBACK# " + VolumeDigits(volume); }

std::string TZipBuilder::VolumeFileForWriting(const std::string& name, int volume) {
  const size_t ext = ExtensionStart(name);
  return name.substr(0, ext) + VolumeDigits(volume) + name.substr(ext);
}

std::string TZipBuilder::VolumeFileForReading(const std::string& name, int volume) {
  const size_t ext = ExtensionStart(name);
  const size_t slash = name.find_last_of("/\\");
  const size_t base = slash == std::string::npos ? 0 : slash + 1;
  const size_t digits = ext >= base + 3 ? ext - 3 : base;
  return name.substr(0, digits) + VolumeDigits(volume) + name.substr(ext);
}

void TZipBuilder::DiskFreeAndSize(int action) {
  int64_t freeBytes = -1, sizeBytes = -1;
  if (!Disks().FreeAndSize(driveRoot_, freeBytes, sizeBytes)) freeBytes = sizeBytes = -1;
  if (action & 1) diskFree_ = freeBytes;
  if (action & 2) diskSize_ = sizeBytes;
}

bool TZipBuilder::IsDiskPresent() {
  // The drive is the mount that holds the archive; without one there is no drive at all.
  if (driveRoot_.empty()) {
    // No mount holds it: the message names the folder the archive was looked for in.
    const std::string path = ToPlatformPath(archivePath_);
    const size_t slash = path.rfind('/');
    throw EZipBuilder(zmDriveNotReady, slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1));
  }
  DiskFreeAndSize(3);
  std::string label;
  if (Disks().VolumeLabel(driveRoot_, label) && diskSize_ != -1) {
    volumeLabel_ = label;
    return true;
  }
  // A disk without a readable file system is one a span that formats its disks can use.
  return driveType_ == dtRemovable && addOptions_.Contains(AddDiskSpanErase);
}

int TZipBuilder::CheckForDisk() { return AskForDisk(0); }

int TZipBuilder::AskForDisk(int64_t spannedSize) {
  driveType_ = Disks().DriveType(driveRoot_);
  int answer = mbOK;
  ProcessMessages();
  while ((answer == mbOK && !IsDiskPresent()) || newDisk_) {
    if (IsFixedOrNetwork(driveType_)) {
      newDisk_ = false;
      break;
    }
    if (unattended_) throw EZipBuilder(zmPromptNotAllowed, true);
    std::string text;
    TMsgDlgType icon = mtWarning;
    if (diskNr_ < 0) {
      text = Msg(zmInsertLastDisk);
      icon = mtError;
    } else if (zipBusy_) {
      int64_t volumeSize = diskSize_;
      if (maxVolumeSize_ > 0) volumeSize = std::min(diskSize_, maxVolumeSize_);
      if (volumeSize > 0) {
        // The set's size: the archive behind the spanning marker, and what the first disk keeps free.
        const int64_t setSize = spannedSize + int64_t{zip_codec::kSignatureSize} + keepFreeOnDisk1_;
        totalDisks_ = static_cast<int>(std::max<int64_t>(diskNr_, setSize / volumeSize));
        text = FormatZipMessage(FormatZipMessage(Msg(zmInsertDiskOf), std::to_string(diskNr_ + 1)), std::to_string(totalDisks_ + 1));
      } else {
        text = FormatZipMessage(Msg(zmInsertDisk), std::to_string(diskNr_ + 1));
      }
    } else {
      text = FormatZipMessage(FormatZipMessage(Msg(zmInsertDiskOf), std::to_string(diskNr_ + 1)), std::to_string(totalDisks_ + 1));
    }
    // The mount point stands where a drive letter would.
    text += FormatZipMessage(Msg(zmInDrive), driveRoot_);
    answer = Dialogs().Ask(text, ZipDesktop().BoxCaption(), icon, mbOK | mbCancel, mbOK);
    newDisk_ = false;
    if (answer == mbOK) Disks().DiskPromptAnswered(driveRoot_, diskNr_ < 0 ? "" : VolumeLabelFor(diskNr_));
  }
  if (answer != mbOK) throw EZipBuilder(zmCancelled, false);
  return driveType_;
}

// The part of a set split by other zip tools ("name.z01", "name.z02", ..., "name.zip" the last)
// that holds the volume, when the path is one of such a set; else nothing.
static std::optional<std::string> SplitPartFor(const std::string& path, int volume, int lastVolume) {
  const size_t ext = ExtensionStart(path);
  const std::string stem = path.substr(0, ext), extension = Lower(path.substr(ext));
  const bool part = extension.size() >= 4 && extension[1] == 'z' &&
                    std::all_of(extension.begin() + 2, extension.end(), [](char c) { return c >= '0' && c <= '9'; });
  const auto partName = [&](int number) {
    const std::string digits = std::to_string(number);
    return stem + ".z" + (digits.size() < 2 ? "0" : "") + digits;
  };
  if (!part && !(extension == ".zip" && FileExistsNative(partName(1)))) return std::nullopt;
  if (volume >= lastVolume) return stem + (part ? ".zip" : path.substr(ext));
  return partName(volume + 1);
}

bool TZipBuilder::IsRightDisk(unsigned driveType) {
  if (IsFixedOrNetwork(static_cast<int>(driveType))) {
    const auto split = SplitPartFor(archivePath_, diskNr_, totalDisks_);
    archivePath_ = split ? *split : VolumeFileForReading(archivePath_, diskNr_);
    return true;
  }
  return volumeLabel_ == VolumeLabelFor(diskNr_);
}

void TZipBuilder::GetNewDisk(int diskSeq) {
  CloseArchiveFile();
  diskNr_ = diskSeq;
  bool tried = false;
  do {
    if (tried) {
      if (IsFixedOrNetwork(driveType_)) throw EZipBuilder(zmArchiveCannotOpen, true);
      ShowZipMessage(zmArchiveCannotOpen, "");
    }
    tried = true;
    do {
      newDisk_ = true;
      CheckForDisk();
    } while (!IsRightDisk(static_cast<unsigned>(driveType_)));
    fileHandle_ = ::open(ToPlatformPath(archivePath_).c_str(), O_RDONLY | O_CLOEXEC);
  } while (fileHandle_ == -1);
}

int TZipBuilder::ZipFormat() {
  formatError_.clear();
  return ZipDesktop().FormatDisk(driveRoot_, formatLabel_, confirmErase_, formatError_);
}

}  // namespace mirnax
