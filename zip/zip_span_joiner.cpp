#include "toolkit/core/disks.h"
#include "zip/zip_codec.h"
#include "zip/zip_desktop.h"
#include "zip/zip_message_ids.h"
#include "zip/zip_spanning.h"
#include "zip/zip_volumes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>

namespace mirnax {

using namespace zip_files;
using namespace zip_spanning;
using namespace zip_volumes;
namespace codec = zip_codec;

int TZipBuilder::ReadSpan(const std::string& inFileName, std::string& outFilePath) {
  unzBusy_ = true;
  driveRoot_ = Disks().DriveRoot(ToPlatformPath(inFileName));
  diskNr_ = -1;
  newDisk_ = false;
  CloseArchiveFile();
  TZipBusyCursor busy;
  TSpanJoiner joiner(*this);
  int result = SpanFailure([&] { joiner.Run(inFileName, outFilePath); });
  Progress(ptEndOfBatch, "", 0);
  result = joiner.Finish(result, outFilePath);
  unzBusy_ = false;
  return result;
}

TZipBuilder::TSpanJoiner::TSpanJoiner(TZipBuilder& zip) : zip_(zip), buffer_(kSpanBufferSize) {}

template <class Record>
void TZipBuilder::TSpanJoiner::ReadRecord(Record& record, int shortId, int badId) {
  char bytes[Record::kFixedSize];
  Read(bytes, sizeof bytes, shortId);
  if (codec::Decode(std::string_view(bytes, sizeof bytes), record) != codec::TReadResult::Ok)
    throw EZipBuilder(badId, true);
}

void TZipBuilder::TSpanJoiner::Run(const std::string& inFileName, const std::string& wanted) {
  CreateOutput(wanted);
  const ZipEndOfCentral eoc = FindLastVolume(inFileName);
  zip_.totalDisks_ = eoc.ThisDiskNo;
  zip_.diskNr_ = eoc.ThisDiskNo;
  if (eoc.CentralDiskNo > eoc.ThisDiskNo) throw EZipBuilder(zmEndSeekError, true);
  if (eoc.CentralDiskNo != eoc.ThisDiskNo) OpenVolume(eoc.CentralDiskNo);
  if (::lseek(in_.Get(), eoc.CentralOffset, SEEK_SET) < 0) throw EZipBuilder(zmEndSeekError, true);
  records_ = AllocSpanMem(eoc.TotalEntries);
  const int64_t totalSize = ReadCentralNames();

  OpenVolume(0);
  showProgress_ = true;
  zip_.Progress(ptTotalFiles, "", eoc.TotalEntries);
  zip_.Progress(ptTotalSize, "", totalSize);
  char marker[codec::kSignatureSize];
  Read(marker, sizeof marker, zmNoSpanSignature);
  if (!codec::StartsWith(std::string_view(marker, sizeof marker), codec::kSpanMarkerSig))
    throw EZipBuilder(zmNoSpanSignature, true);
  TMemberIndex index(records_);
  for (int i = 0; i < eoc.TotalEntries; ++i) CopyMember(index);
  showProgress_ = false;

  const int64_t centralStart = bytesWritten_;
  for (const MDZipData& member : records_) CopyCentralHeader(member);
  CopyEnd(centralStart);
}

void TZipBuilder::TSpanJoiner::CreateOutput(const std::string& wantedName) {
  const std::string wanted = ToPlatformPath(wantedName);
  struct stat st {};
  if (wanted.empty() || wanted.back() == '/' || (::stat(wanted.c_str(), &st) == 0 && S_ISDIR(st.st_mode))) {
    std::string name = AppendSlash(ReplaceForwardSlash(wanted.empty() ? "." : wanted));
    name = ToPlatformPath(name) + "zipXXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd < 0) throw EZipBuilder(zmNoTempName, true);
    ::close(fd);
    ::unlink(name.c_str());
    outName_ = name;
  } else {
    outName_ = wanted;
  }
  outName_ = WithExtension(outName_, ".zip");
  // A file named without the extension .zip goes too, once the join has taken its place.
  if (outName_ != wanted && ::lstat(wanted.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) givenName_ = wanted;
  // The join is written beside its name and takes it only when whole: a failed or killed join
  // leaves a previous file of that name as it was. The volumes stay, so a join that replaces no
  // file need not wait for the disk.
  const auto sync = givenName_.empty() ? TSideOutput::TSync::WhenReplacing : TSideOutput::TSync::Always;
  try {
    out_ = std::make_unique<TSideOutput>(outName_, 0666, sync);
  } catch (const Exception&) {
    throw EZipBuilder(zmOutputNotCreated, true);
  }
  bytesWritten_ = 0;
}

int TZipBuilder::TSpanJoiner::Finish(int result, std::string& outFilePath) {
  records_.clear();
  in_.Close();
  zip_.CloseArchiveFile();
  bool closed = true;
  if (out_) {
    const struct timespec times[2] = {sourceTime_, sourceTime_};
    ::futimens(out_->Get(), times);
    closed = out_->Seal();
  }
  if (result == 0 && !closed) {
    zip_.ShowZipMessage(zmJoinEndWriteError, "");
    result = -7;
  }
  if (result == 0 && !zip_.InstallOutput(*out_, htdFinal)) result = -7;
  if (result == 0 && !givenName_.empty()) zip_.EraseFile(givenName_, htdFinal);
  out_.reset();
  if (result != 0)
    outFilePath.clear();
  else
    outFilePath = outName_;
  return result;
}

ZipEndOfCentral TZipBuilder::TSpanJoiner::FindLastVolume(const std::string& inFileName) {
  zip_.archivePath_ = inFileName;
  ZipEndOfCentral eoc;
  for (int pass = 0;; ++pass) {
    zip_.CheckForDisk();
    zip_.newDisk_ = true;
    if (pass > 0 && IsFixedOrNetwork(zip_.driveType_)) {
      // A numbered file that is not the last one says which it is.
      const size_t ext = ExtensionStart(inFileName);
      const std::string digits = ext >= 3 ? inFileName.substr(ext - 3, 3) : "";
      const int number = !digits.empty() && std::all_of(digits.begin(), digits.end(), ::isdigit) ? std::stoi(digits) : 0;
      if (number == 1) throw EZipBuilder(zmFirstDiskOfSet, true);
      throw EZipBuilder(zmNotLastDisk, number);
    }
    if (zip_.CheckIfLastDisk(eoc, false)) break;
  }
  in_ = TFileHandle(zip_.TakeArchiveFile());
  struct stat st {};
  ::fstat(in_.Get(), &st);
  sourceTime_ = st.st_mtim;
  return eoc;
}

int64_t TZipBuilder::TSpanJoiner::ReadCentralNames() {
  int64_t totalSize = 0;
  for (MDZipData& member : records_) {
    codec::TCentralHeader header;
    ReadRecord(header, zmCentralHeaderUnreadable, zmCentralHeaderBadSignature);
    member.FileName.resize(header.NameLength);
    Read(member.FileName.data(), header.NameLength, zmCentralNameUnreadable);
    member.FileNameLen = header.NameLength;
    member.ComprSize = header.CompressedSize;
    totalSize += static_cast<int64_t>(header.TailLength()) + member.ComprSize;
    for (int64_t skip = int64_t{header.ExtraLength} + header.CommentLength; skip > 0;) {
      const int64_t block = std::min<int64_t>(skip, kSpanBufferSize);
      Read(buffer_.data(), block, zmEndSeekError);
      skip -= block;
    }
  }
  return totalSize;
}

void TZipBuilder::TSpanJoiner::CopyMember(TMemberIndex& index) {
  codec::TLocalHeader header;
  ReadRecord(header, zmLocalHeaderUnreadable, zmLocalHeaderBadSignature);
  const uint16_t nameLen = header.NameLength, extraLen = header.ExtraLength;
  std::string name(nameLen, '\0');
  Read(name.data(), nameLen, zmLocalNameUnreadable);
  MDZipData& member = records_[index.Take(name)];
  member.DiskStart = 0;
  member.RelOffLocal = static_cast<uint32_t>(bytesWritten_);
  // A member written with a data descriptor may have left its local size at 0.
  const uint32_t compressed = header.CompressedSize != 0 ? header.CompressedSize : member.ComprSize;
  const bool descriptor = header.HasDescriptor();
  zip_.ReportCopying(name);
  zip_.Progress(ptNewFile, ReplaceForwardSlash(name),
                int64_t{codec::kLocalHeaderSize} + nameLen + extraLen + compressed +
                    (descriptor ? codec::kDataDescriptorSize : 0));
  const std::string bytes = codec::Encode(header);
  Write(bytes.data(), static_cast<int64_t>(bytes.size()), zmJoinLocalWriteError);
  Write(name.data(), nameLen, zmJoinLocalWriteError);
  Copy(extraLen, zmLocalExtraCopyError);
  Copy(compressed, zmDataCopyError);
  if (descriptor) CopyDescriptor();
}

void TZipBuilder::TSpanJoiner::CopyDescriptor() {
  // The descriptor's own signature is optional: without it, it is 12 bytes long.
  constexpr auto kSigSize = static_cast<int64_t>(codec::kSignatureSize);
  Read(buffer_.data(), kSigSize, zmDescriptorCopyError);
  const auto length = static_cast<int64_t>(codec::DataDescriptorLength(std::string_view(buffer_.data(), kSigSize)));
  Read(buffer_.data() + kSigSize, length - kSigSize, zmDescriptorCopyError);
  Write(buffer_.data(), length, zmDescriptorCopyError);
}

void TZipBuilder::TSpanJoiner::CopyCentralHeader(const MDZipData& member) {
  codec::TCentralHeader header;
  ReadRecord(header, zmCentralHeaderUnreadable, zmCentralHeaderBadSignature);
  std::string name(header.NameLength, '\0');
  Read(name.data(), header.NameLength, zmCentralNameUnreadable);
  header.StartDisk = 0;
  header.LocalHeaderOffset = member.RelOffLocal;
  const std::string bytes = codec::Encode(header);
  Write(bytes.data(), static_cast<int64_t>(bytes.size()), zmJoinCentralWriteError);
  Write(name.data(), header.NameLength, zmJoinCentralWriteError);
  Copy(header.ExtraLength, zmCentralExtraCopyError);
  Copy(header.CommentLength, zmFileCommentUnreadable);
}

void TZipBuilder::TSpanJoiner::CopyEnd(int64_t centralStart) {
  codec::TEndRecord end;
  ReadRecord(end, zmEndSeekError, zmEndSeekError);
  end.ThisDisk = 0;
  end.CentralDisk = 0;
  end.CentralSize = static_cast<uint32_t>(bytesWritten_ - centralStart);
  end.CentralOffset = static_cast<uint32_t>(centralStart);
  const std::string bytes = codec::Encode(end);
  Write(bytes.data(), static_cast<int64_t>(bytes.size()), zmJoinEndWriteError);
  Copy(end.CommentLength, zmArchiveCommentCopyError);
}

// ---- Reading across volumes ----

void TZipBuilder::TSpanJoiner::OpenVolume(int disk) {
  in_.Close();
  zip_.GetNewDisk(disk);
  in_ = TFileHandle(zip_.TakeArchiveFile());
}

void TZipBuilder::TSpanJoiner::Read(char* buffer, int64_t len, int errId) {
  while (len > 0) {
    const int64_t got = ReadFully(in_.Get(), buffer, static_cast<size_t>(len));
    buffer += got;
    len -= got;
    if (len == 0) return;
    struct stat st {};
    const off_t at = ::lseek(in_.Get(), 0, SEEK_CUR);
    if (::fstat(in_.Get(), &st) != 0 || at != st.st_size || zip_.diskNr_ >= zip_.totalDisks_)
      throw EZipBuilder(errId, true);
    OpenVolume(zip_.diskNr_ + 1);
  }
}

void TZipBuilder::TSpanJoiner::Write(const char* buffer, int64_t len, int errId) {
  if (!WriteFully(out_->Get(), buffer, static_cast<size_t>(len))) throw EZipBuilder(errId, true);
  bytesWritten_ += len;
  out_->WrittenUpTo(bytesWritten_);
  if (showProgress_) zip_.Progress(ptUpdate, "", len);
}

void TZipBuilder::TSpanJoiner::Copy(int64_t len, int errId) {
  while (len > 0) {
    const ssize_t copied =
        ::copy_file_range(in_.Get(), nullptr, out_->Get(), nullptr, static_cast<size_t>(std::min(len, kKernelCopyBlock)), 0);
    if (copied > 0) {
      bytesWritten_ += copied;
      out_->WrittenUpTo(bytesWritten_);
      if (showProgress_) zip_.Progress(ptUpdate, "", copied);
      len -= copied;
      continue;
    }
    // The end of a volume, or files the kernel cannot copy between: read on through the buffer,
    // which moves to the next volume.
    const int64_t block = std::min<int64_t>(len, kSpanBufferSize);
    Read(buffer_.data(), block, errId);
    Write(buffer_.data(), block, errId);
    len -= block;
  }
}

}  // namespace mirnax
