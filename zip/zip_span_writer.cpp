#include "toolkit/core/dialogs.h"
#include "toolkit/core/disks.h"
#include "zip/zip_codec.h"
#include "zip/zip_desktop.h"
#include "zip/zip_directory.h"
#include "zip/zip_message_ids.h"
#include "zip/zip_messages.h"
#include "zip/zip_spanning.h"
#include "zip/zip_volumes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace mirnax {

using namespace zip_files;
using namespace zip_spanning;
using namespace zip_volumes;
namespace codec = zip_codec;

int TZipBuilder::WriteSpan(const std::string& inFileName, const std::string& outFileName) {
  zipBusy_ = true;
  driveRoot_ = Disks().DriveRoot(ToPlatformPath(outFileName));
  diskNr_ = 0;
  newDisk_ = true;
  TZipBusyCursor busy;
  if (verbose_ && OnMessage) OnMessage(this, 0, "Now creating spanning chunks from " + inFileName + " to " + outFileName);
  int result = 0;
  {
    TSpanWriter writer(*this, outFileName);
    result = SpanFailure([&] { writer.Run(inFileName); });
    Progress(ptEndOfBatch, "", 0);
    try {
      writer.CloseVolume();
    } catch (const EZipBuilder& e) {
      ShowExceptionError(e);
    }
  }
  zipBusy_ = false;
  return result;
}

TZipBuilder::TSpanWriter::TSpanWriter(TZipBuilder& zip, const std::string& outFileName)
    : zip_(zip), outFileName_(outFileName) {}

void TZipBuilder::TSpanWriter::Run(const std::string& inFileName) {
  const ZipEndOfCentral eoc = OpenSource(inFileName);
  const std::vector<MDZipData> sizes = ReadCentralSizes(eoc);
  TMemberIndex central(sizes);
  if (::lseek(in_.Get(), 0, SEEK_SET) != 0) throw EZipBuilder(zmEndSeekError, true);

  std::string marker;
  codec::TByteWriter(marker).U32(codec::kSpanMarkerSig);
  WriteSplit(marker.data(), static_cast<int64_t>(marker.size()), 0);
  showProgress_ = true;
  zip_.Progress(ptTotalFiles, "", eoc.TotalEntries);
  zip_.Progress(ptTotalSize, "", sourceSize_);
  for (MDZipData& member : records_) CopyMember(member, central, sizes);
  uint16_t centralDisk = 0;
  uint32_t centralOffset = 0;
  CopyCentral(eoc, centralDisk, centralOffset);
  WriteEnd(eoc, centralDisk, centralOffset);
  showProgress_ = false;
}

ZipEndOfCentral TZipBuilder::TSpanWriter::OpenSource(const std::string& inFileName) {
  zip_.archivePath_ = inFileName;
  if (!FileExistsNative(inFileName)) throw EZipBuilder(zmArchiveCannotOpen, true);
  ZipEndOfCentral eoc;
  zip_.CheckIfLastDisk(eoc, true);
  // The source is read through a handle of its own; the directory reader's is done with.
  in_ = TFileHandle(zip_.TakeArchiveFile());
  struct stat st {};
  ::fstat(in_.Get(), &st);
  sourceTime_ = st.st_mtim;
  sourceSize_ = st.st_size;
  buffer_.resize(kSpanBufferSize);
  records_ = AllocSpanMem(eoc.TotalEntries);
  return eoc;
}

std::vector<TZipBuilder::MDZipData> TZipBuilder::TSpanWriter::ReadCentralSizes(const ZipEndOfCentral& eoc) {
  // A member whose local header left its size to a data descriptor (a local size of 0) has its
  // data copied by the central size.
  std::vector<MDZipData> sizes = AllocSpanMem(eoc.TotalEntries);
  if (::lseek(in_.Get(), eoc.CentralOffset, SEEK_SET) < 0) throw EZipBuilder(zmEndSeekError, true);
  for (MDZipData& entry : sizes) {
    const auto header = ReadFileRecord<codec::TCentralHeader>(in_.Get(), zmCentralHeaderUnreadable,
                                                               zmCentralHeaderBadSignature);
    entry.FileNameLen = header.NameLength;
    entry.FileName.resize(entry.FileNameLen);
    entry.ComprSize = header.CompressedSize;
    if (ReadFully(in_.Get(), entry.FileName.data(), entry.FileNameLen) != entry.FileNameLen)
      throw EZipBuilder(zmCentralNameUnreadable, true);
    if (::lseek(in_.Get(), int64_t{header.ExtraLength} + header.CommentLength, SEEK_CUR) < 0)
      throw EZipBuilder(zmEndSeekError, true);
  }
  return sizes;
}

void TZipBuilder::TSpanWriter::CopyMember(MDZipData& member, TMemberIndex& central,
                                          const std::vector<MDZipData>& sizes) {
  constexpr auto kLocalSize = static_cast<int64_t>(codec::kLocalHeaderSize);
  const auto local = ReadFileRecord<codec::TLocalHeader>(in_.Get(), zmLocalHeaderUnreadable, zmLocalHeaderBadSignature);
  const uint16_t nameLen = local.NameLength, extraLen = local.ExtraLength;
  std::string name(nameLen, '\0');
  if (ReadFully(in_.Get(), name.data(), nameLen) != nameLen) throw EZipBuilder(zmLocalNameUnreadable, true);
  const uint32_t centralSize = sizes[central.Take(name)].ComprSize;
  const uint32_t compressed = local.CompressedSize != 0 ? local.CompressedSize : centralSize;
  member.FileName = name;
  member.FileNameLen = nameLen;
  zip_.ReportCopying(name);
  const bool descriptor = local.HasDescriptor();
  zip_.Progress(ptNewFile, ReplaceForwardSlash(name),
                kLocalSize + nameLen + extraLen + compressed + (descriptor ? codec::kDataDescriptorSize : 0));
  const std::string header = codec::Encode(local);
  WriteSplit(header.data(), kLocalSize, kLocalSize + nameLen + extraLen);
  member.DiskStart = static_cast<uint16_t>(zip_.diskNr_);
  member.RelOffLocal = static_cast<uint32_t>(bytesWritten_ - kLocalSize);
  WriteSplit(name.data(), nameLen, 0);
  CopySplit(extraLen, zmLocalExtraCopyError);
  CopySplit(compressed, zmDataCopyError);
  if (descriptor) CopySplit(codec::kDataDescriptorSize, zmDescriptorCopyError);
}

void TZipBuilder::TSpanWriter::CopyCentral(const ZipEndOfCentral& eoc, uint16_t& centralDisk, uint32_t& centralOffset) {
  constexpr auto kCentralSize = static_cast<int64_t>(codec::kCentralHeaderSize);
  const std::string central = zip_.LoadZipStr(zmCentralDirectoryName, "central directory");
  zip_.ReportCopying(central);
  zip_.Progress(ptNewFile, central, int64_t{eoc.CentralSize} + eoc.ZipCommentLen + int64_t{codec::kEndRecordSize});
  TMemberIndex index(records_);
  for (int i = 0; i < eoc.TotalEntries; ++i) {
    auto header = ReadFileRecord<codec::TCentralHeader>(in_.Get(), zmCentralHeaderUnreadable, zmCentralHeaderBadSignature);
    const uint16_t nameLen = header.NameLength;
    std::string name(nameLen, '\0');
    if (ReadFully(in_.Get(), name.data(), nameLen) != nameLen) throw EZipBuilder(zmCentralNameUnreadable, true);
    const MDZipData& member = records_[index.Take(name)];
    header.StartDisk = member.DiskStart;
    header.LocalHeaderOffset = member.RelOffLocal;
    const std::string bytes = codec::Encode(header);
    WriteSplit(bytes.data(), kCentralSize, kCentralSize + static_cast<int64_t>(header.TailLength()));
    if (i == 0) {
      centralDisk = static_cast<uint16_t>(zip_.diskNr_);
      centralOffset = static_cast<uint32_t>(bytesWritten_ - kCentralSize);
    }
    WriteSplit(name.data(), nameLen, 0);
    CopySplit(header.ExtraLength, zmCentralExtraCopyError);
    CopySplit(header.CommentLength, zmFileCommentUnreadable);
  }
}

void TZipBuilder::TSpanWriter::WriteEnd(const ZipEndOfCentral& eoc, uint16_t centralDisk, uint32_t centralOffset) {
  constexpr auto kEndSize = static_cast<int64_t>(codec::kEndRecordSize);
  // The end record goes whole onto one volume, which may be a new one: its disk number is the
  // volume it lands on.
  if (freeOnDisk_ < kEndSize + eoc.ZipCommentLen && out_.IsOpen()) NextVolume();
  if (!out_.IsOpen()) OpenVolume();
  if (eoc.TotalEntries == 0) {
    centralDisk = static_cast<uint16_t>(zip_.diskNr_);
    centralOffset = static_cast<uint32_t>(bytesWritten_);
  }
  codec::TEndRecord end = zip_directory::FromEndOfCentral(eoc);
  end.ThisDisk = static_cast<uint16_t>(zip_.diskNr_);
  end.CentralDisk = centralDisk;
  end.CentralOffset = centralOffset;
  const std::string bytes = codec::Encode(end);
  WriteSplit(bytes.data(), kEndSize, kEndSize + eoc.ZipCommentLen);
  if (::lseek(in_.Get(), kEndSize, SEEK_CUR) < 0) throw EZipBuilder(zmEndSeekError, true);
  CopySplit(eoc.ZipCommentLen, zmArchiveCommentCopyError);
}

// ---- Output volumes ----

void TZipBuilder::TSpanWriter::OpenVolume() {
  while (!out_.IsOpen()) {
    const int driveType = zip_.AskForDisk(sourceSize_);
    const std::string name = PrepareVolume(driveType);
    if (!MayOverwrite(name) || !CreateVolume(name)) {
      // The prompt asks for another disk.
      bytesWritten_ = 0;
      zip_.newDisk_ = true;
      continue;
    }
    LabelVolume(driveType);
  }
}

std::string TZipBuilder::TSpanWriter::PrepareVolume(int driveType) {
  if (IsFixedOrNetwork(driveType)) return VolumeFileForWriting(outFileName_, zip_.diskNr_);
  if (zip_.addOptions_.Contains(AddDiskSpanErase)) {
    zip_.formatLabel_ = VolumeLabelFor(zip_.diskNr_);
    const int result = zip_.ZipFormat();
    if (result == -2) throw EZipBuilder(zmCancelled, false);
    if (result == -1) throw Because(zmCancelled, zip_.formatError_);
    zip_.DiskFreeAndSize(3);
  }
  return outFileName_;
}

bool TZipBuilder::TSpanWriter::MayOverwrite(const std::string& name) {
  struct stat st {};
  if (::stat(ToPlatformPath(name).c_str(), &st) != 0) return true;
  if (zip_.unattended_) throw EZipBuilder(zmPromptNotAllowed, true);
  int number = 1;
  const std::string& label = zip_.volumeLabel_;
  const std::string digits = label.size() >= 11 ? label.substr(8, 3) : "";
  if (!digits.empty() && std::all_of(digits.begin(), digits.end(), ::isdigit)) number = std::stoi(digits);
  // A file of this very span (its time is the source's) is a disk of the set written before.
  const bool sameSet = st.st_mtim.tv_sec == sourceTime_.tv_sec && number - 1 < zip_.diskNr_;
  const std::string text = sameSet ? FormatZipMessage(ZipMessageOrNotice(zmOverwriteDisk), std::to_string(number))
                                   : FormatZipMessage(ZipMessageOrNotice(zmOverwriteFile), name);
  const int answer = Dialogs().Ask(text, "Confirm", mtWarning, mbYes | mbNo | mbCancel, mbNo);
  if (answer == mbNo) return false;
  if (answer != mbYes) throw EZipBuilder(zmCancelled, false);
  return true;
}

bool TZipBuilder::TSpanWriter::CreateVolume(const std::string& name) {
  const std::string native = ToPlatformPath(name);
  out_ = TFileHandle(::open(native.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (!out_.IsOpen()) throw EZipBuilder(zmOutputNotCreated, true);
  zip_.DiskFreeAndSize(1);
  int64_t freeBytes = zip_.diskFree_;
  if (zip_.maxVolumeSize_ != 0) freeBytes = std::min(freeBytes, zip_.maxVolumeSize_);
  if (zip_.diskNr_ == 0) freeBytes -= zip_.keepFreeOnDisk1_;
  if (freeBytes >= zip_.minFreeVolumeSize_) {
    freeOnDisk_ = freeBytes;
    bytesWritten_ = 0;
    return true;
  }
  out_.Close();
  ::unlink(native.c_str());
  if (zip_.unattended_) throw EZipBuilder(zmPromptNotAllowed, true);
  const int answer = Dialogs().Ask(ZipMessageOrNotice(zmNotEnoughFreeSpace), ZipDesktop().BoxCaption(), mtError,
                                   mbRetry | mbCancel, mbRetry);
  if (answer == mbRetry) return false;
  if (answer == mrNone) throw EZipBuilder(zmNoFreeSpaceAnswer, true);
  throw EZipBuilder(zmCancelled, false);
}

void TZipBuilder::TSpanWriter::LabelVolume(int driveType) {
  if (IsFixedOrNetwork(driveType)) return;
  std::string reason;
  if (!Disks().SetVolumeLabel(zip_.driveRoot_, VolumeLabelFor(zip_.diskNr_), reason)) throw Because(zmLabelNotSet, reason);
  zip_.volumeLabel_ = VolumeLabelFor(zip_.diskNr_);
}

void TZipBuilder::TSpanWriter::CloseVolume() {
  if (!out_.IsOpen()) return;
  const struct timespec times[2] = {sourceTime_, sourceTime_};
  ::futimens(out_.Get(), times);
  if (out_.Close() != 0) throw EZipBuilder(zmOutputWriteError, true);
}

void TZipBuilder::TSpanWriter::NextVolume() {
  CloseVolume();
  freeOnDisk_ = 0;
  bytesWritten_ = 0;
  ++zip_.diskNr_;
  zip_.newDisk_ = true;
}

void TZipBuilder::TSpanWriter::WriteSplit(const char* buffer, int64_t len, int64_t minSize) {
  for (;;) {
    zip_.ProcessMessages();
    if (zip_.cancel_) throw EZipBuilder(zmCancelled, false);
    if (!out_.IsOpen()) {
      OpenVolume();
      // A record larger than a whole fresh volume would ask for disks for ever.
      if (minSize != 0 && freeOnDisk_ < minSize) throw EZipBuilder(zmNotEnoughFreeSpace, true);
    }
    if (minSize != 0 && freeOnDisk_ < minSize) {
      NextVolume();
      continue;
    }
    // Both counts are 64 bits wide: a volume with more than 4 GB free takes a write of any
    // size whole, nothing is cut to the low 32 bits.
    const int64_t count = std::min(len, freeOnDisk_);
    if (!WriteFully(out_.Get(), buffer, static_cast<size_t>(count))) throw EZipBuilder(zmOutputWriteError, true);
    if (showProgress_) zip_.Progress(ptUpdate, "", count);
    bytesWritten_ += count;
    freeOnDisk_ -= count;
    if (count == len) return;
    NextVolume();
    buffer += count;
    len -= count;
  }
}

void TZipBuilder::TSpanWriter::CopySplit(int64_t len, int errId) {
  while (len > 0) {
    zip_.ProcessMessages();
    if (zip_.cancel_) throw EZipBuilder(zmCancelled, false);
    if (!out_.IsOpen()) OpenVolume();
    if (freeOnDisk_ == 0) {
      NextVolume();
      continue;
    }
    // The kernel copies between the files where it can; elsewhere the bytes pass the buffer.
    const int64_t block = std::min({len, freeOnDisk_, kKernelCopyBlock});
    const ssize_t copied = ::copy_file_range(in_.Get(), nullptr, out_.Get(), nullptr, static_cast<size_t>(block), 0);
    if (copied > 0) {
      if (showProgress_) zip_.Progress(ptUpdate, "", copied);
      bytesWritten_ += copied;
      freeOnDisk_ -= copied;
      len -= copied;
      continue;
    }
    const int64_t part = std::min<int64_t>(len, kSpanBufferSize);
    if (ReadFully(in_.Get(), buffer_.data(), static_cast<size_t>(part)) != part) throw EZipBuilder(errId, true);
    WriteSplit(buffer_.data(), part, 0);
    len -= part;
  }
}

}  // namespace mirnax
