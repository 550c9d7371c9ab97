#include "zip/zip_directory.h"

#include "toolkit/core/disks.h"
#include "zip/zip_desktop.h"
#include "zip/zip_file_helpers.h"
#include "zip/zip_message_ids.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <exception>
#include <new>
#include <string_view>

namespace mirnax {

namespace zip_directory {

ZipEndOfCentral ToEndOfCentral(const zip_codec::TEndRecord& r) {
  ZipEndOfCentral eoc;
  eoc.HeaderSig = zip_codec::kEndRecordSig;
  eoc.ThisDiskNo = r.ThisDisk;
  eoc.CentralDiskNo = r.CentralDisk;
  eoc.CentralEntries = r.CentralEntries;
  eoc.TotalEntries = r.TotalEntries;
  eoc.CentralSize = r.CentralSize;
  eoc.CentralOffset = r.CentralOffset;
  eoc.ZipCommentLen = r.CommentLength;
  return eoc;
}

zip_codec::TEndRecord FromEndOfCentral(const ZipEndOfCentral& eoc) {
  zip_codec::TEndRecord r;
  r.ThisDisk = eoc.ThisDiskNo;
  r.CentralDisk = eoc.CentralDiskNo;
  r.CentralEntries = eoc.CentralEntries;
  r.TotalEntries = eoc.TotalEntries;
  r.CentralSize = eoc.CentralSize;
  r.CentralOffset = eoc.CentralOffset;
  r.CommentLength = eoc.ZipCommentLen;
  return r;
}

ZipDirEntry EntryFrom(const zip_codec::TCentralHeader& h) {
  ZipDirEntry entry;
  entry.MadeByVersion = h.MadeByVersion;
  entry.HostVersionNo = h.HostSystem;
  entry.Version = h.Version;
  entry.Flag = h.Flag;
  entry.CompressionMethod = h.Method;
  entry.ModifTime = h.ModTime;
  entry.ModifDate = h.ModDate;
  entry.CRC32 = h.Crc;
  entry.CompressedSize = h.CompressedSize;
  entry.UncompressedSize = h.UncompressedSize;
  entry.FileNameLength = h.NameLength;
  entry.ExtraFieldLength = h.ExtraLength;
  entry.FileCommentLen = h.CommentLength;
  entry.StartOnDisk = h.StartDisk;
  entry.IntFileAttrib = h.InternalAttributes;
  entry.ExtFileAttrib = h.ExternalAttributes;
  entry.RelOffLocalHdr = h.LocalHeaderOffset;
  return entry;
}

}  // namespace zip_directory

using namespace zip_directory;
using namespace zip_files;
namespace codec = zip_codec;

namespace {

constexpr auto kEndSize = static_cast<int64_t>(codec::kEndRecordSize);

// Where the central directory is said to be, and where it ends.
struct TCentralPlace {
  uint64_t entries;
  int64_t size;
  int64_t offset;
  int64_t end;
};

// The place the end record gives, or its Zip64 end record where it points to one: more than 65535
// members or a directory beyond 4 GiB, the 64-bit end record and its locator lying just in front
// of the end record.
TCentralPlace LocateCentral(int fd, int64_t fileSize, const ZipEndOfCentral& eoc) {
  TCentralPlace place{eoc.TotalEntries, eoc.CentralSize, eoc.CentralOffset, fileSize - eoc.ZipCommentLen - kEndSize};
  if (!FromEndOfCentral(eoc).PointsToZip64()) return place;
  char zip64[codec::kZip64EndSize + codec::kZip64LocatorSize];
  const int64_t at = place.end - static_cast<int64_t>(sizeof zip64);
  codec::TByteReader in(zip64, sizeof zip64);
  codec::TZip64EndRecord record;
  codec::TZip64Locator locator;
  if (at >= 0 && ::lseek(fd, at, SEEK_SET) == at &&
      ReadFully(fd, zip64, sizeof zip64) == static_cast<int64_t>(sizeof zip64) &&
      codec::Read(in, record) == codec::TReadResult::Ok && record.RecordSize == codec::kZip64EndRecordRest &&
      codec::Read(in, locator) == codec::TReadResult::Ok) {
    place.entries = record.TotalEntries;
    place.size = static_cast<int64_t>(std::min<uint64_t>(record.CentralSize, INT64_MAX / 4));
    place.offset = static_cast<int64_t>(std::min<uint64_t>(record.CentralOffset, INT64_MAX / 4));
    place.end = at;
  }
  return place;
}

}  // namespace

int TZipBuilder::GetCount() const { return zipFileName_.empty() ? 0 : static_cast<int>(zipContents_.size()); }

std::string TZipBuilder::GetZipComment() const {
  std::string comment = zipComment_;
  ConvertOem2Iso(comment);
  return comment;
}

void TZipBuilder::FreeZipDirEntryRecords() {
  while (!zipContents_.empty()) zipContents_.pop_back();
}

int TZipBuilder::TakeArchiveFile() { return std::exchange(fileHandle_, -1); }

void TZipBuilder::CloseArchiveFile() {
  if (fileHandle_ != -1) ::close(fileHandle_);
  fileHandle_ = -1;
}

void TZipBuilder::List() {
  if (Designing()) return;
  FreeZipDirEntryRecords();
  zipSOC_ = 0;
  offsetsShifted_ = false;
  diskNr_ = 0;
  totalDisks_ = 0;
  zipComment_.clear();
  if (!FileExistsNative(zipFileName_)) {
    if (OnDirUpdate) OnDirUpdate(this);
    return;
  }
  bool failed = true;
  {
    TZipBusyCursor busy;
    try {
      ReadDirectory();
      failed = false;
    } catch (const EZipBuilder& e) {
      ShowExceptionError(e);
    } catch (const std::bad_alloc&) {
      ShowZipMessage(zmNoMemory, "");
    } catch (const std::exception& e) {
      ShowZipMessage(zmDirectoryReadError, std::string("\n") + e.what());
    } catch (...) {
      ShowZipMessage(zmDirectoryReadError, "");
    }
    CloseArchiveFile();
  }
  if (failed) {
    zipFileName_.clear();
    zipSOC_ = 0;
  }
  if (OnDirUpdate) OnDirUpdate(this);
}

// ---- The end record ----

bool TZipBuilder::CheckIfLastDisk(ZipEndOfCentral& eoc, bool doExcept) {
  zipComment_.clear();
  CloseArchiveFile();
  fileHandle_ = ::open(ToPlatformPath(archivePath_).c_str(), O_RDONLY | O_CLOEXEC);
  if (fileHandle_ == -1) {
    if (doExcept) throw EZipBuilder(zmArchiveCannotOpen, true);
    ShowZipMessage(zmArchiveCannotOpenNoted, "");
    return false;
  }
  NoteVolume();
  if (ReadEndRecordAtEnd(eoc)) return true;
  try {
    if (FindEndRecordBehindComment(eoc)) return true;
  } catch (...) {
    if (doExcept) throw;
    return false;
  }
  if (!doExcept) return false;
  if (!firstVolume_ && labelVolume_ > 0) throw EZipBuilder(zmNotLastDisk, labelVolume_);
  if (!firstVolume_) throw EZipBuilder(zmNotAZipArchive, true);
  if (labelVolume_ == 1) throw EZipBuilder(zmFirstDiskOfSet, true);
  throw EZipBuilder(zmFirstDiskOfSetUnlabelled, true);
}

void TZipBuilder::NoteVolume() {
  labelVolume_ = 0;
  if (volumeLabel_.compare(0, 8, "PKBACK# ") == 0) {
    const std::string number = volumeLabel_.substr(8, 3);
    labelVolume_ = std::all_of(number.begin(), number.end(), ::isdigit) && !number.empty() ? std::stoi(number) : 0;
  }
  char head[2 * codec::kSignatureSize];
  const std::string_view bytes(head, sizeof head);
  firstVolume_ = ReadFully(fileHandle_, head, sizeof head) == static_cast<int64_t>(sizeof head) &&
                 codec::StartsWith(bytes, codec::kSpanMarkerSig) &&
                 codec::StartsWith(bytes.substr(codec::kSignatureSize), codec::kLocalHeaderSig);
}

bool TZipBuilder::ReadEndRecordAtEnd(ZipEndOfCentral& eoc) {
  // Most archives have no comment: the end record is then the last 22 bytes.
  const off_t end = ::lseek(fileHandle_, -kEndSize, SEEK_END);
  if (end < 0) {
    realFileSize_ = fileSize_ = std::max<off_t>(::lseek(fileHandle_, 0, SEEK_END), 0);
    return false;
  }
  realFileSize_ = fileSize_ = end + kEndSize;
  char record[codec::kEndRecordSize];
  codec::TEndRecord found;
  if (ReadFully(fileHandle_, record, sizeof record) != kEndSize ||
      codec::Decode(std::string_view(record, sizeof record), found) != codec::TReadResult::Ok)
    return false;
  eoc = ToEndOfCentral(found);
  return true;
}

bool TZipBuilder::FindEndRecordBehindComment(ZipEndOfCentral& eoc) {
  // A comment of up to 65535 bytes follows the end record: scan back over the file's tail.
  const int64_t tail = std::min<int64_t>(fileSize_, codec::kMaxCommentLength + kEndSize);
  std::string buffer(static_cast<size_t>(tail), '\0');
  if (::lseek(fileHandle_, fileSize_ - tail, SEEK_SET) < 0) throw EZipBuilder(zmEndSeekError, true);
  if (ReadFully(fileHandle_, buffer.data(), buffer.size()) != tail) throw EZipBuilder(zmEndReadError, true);
  const size_t at = codec::FindEndRecord(buffer);
  if (at == std::string::npos) return false;
  codec::TByteReader in(std::string_view(buffer).substr(at));
  codec::TEndRecord found;
  codec::Read(in, found);
  eoc = ToEndOfCentral(found);
  const int64_t recordEnd = static_cast<int64_t>(at) + kEndSize + found.CommentLength;
  if (recordEnd != tail) {
    const int64_t extra = tail - recordEnd;
    fileSize_ -= extra;
    // Up to 511 zero bytes that round the file up to a multiple of 512 are a transfer's
    // padding, not a fault.
    const bool padding = extra > 0 && extra < 512 && realFileSize_ % 512 == 0 &&
                         std::all_of(buffer.begin() + recordEnd, buffer.end(), [](char b) { return b == 0; });
    if (!padding) ShowZipMessage(zmExtraBytesAtEnd, "");
  }
  // A comment said to run past the end of the file keeps what the file has.
  zipComment_ = in.Bytes(std::min<size_t>(found.CommentLength, in.Remaining()));
  return true;
}

// ---- The central directory ----

void TZipBuilder::ReadDirectory() {
  archivePath_ = zipFileName_;
  driveRoot_ = Disks().DriveRoot(ToPlatformPath(zipFileName_));
  driveType_ = Disks().DriveType(driveRoot_);
  IsDiskPresent();

  ZipEndOfCentral eoc;
  CheckIfLastDisk(eoc, true);
  totalDisks_ = eoc.ThisDiskNo;
  const TCentralPlace place = LocateCentral(fileHandle_, fileSize_, eoc);
  int64_t actualStart = 0;
  diskNr_ = eoc.ThisDiskNo;
  if (eoc.ThisDiskNo == eoc.CentralDiskNo) {
    actualStart = place.end - place.size;
  } else {
    GetNewDisk(eoc.CentralDiskNo);
    actualStart = place.offset;
  }
  const int64_t shift = actualStart - place.offset;
  if (shift != 0) {
    offsetsShifted_ = true;
    ShowZipMessage(zmDirectoryMoved, "");
  }
  if (actualStart < 0 || ::lseek(fileHandle_, actualStart, SEEK_SET) < 0) throw EZipBuilder(zmDirectorySeekError, true);
  zipSOC_ = fileSize_ == kEndSize ? 0 : fileSize_;
  ReadEntries(place.entries);
  totalDisks_ = eoc.ThisDiskNo;
  // Offsets recorded in the archive count from where it began before data was put in front.
  zipSOC_ += shift;
}

void TZipBuilder::ReadEntries(uint64_t entries) {
  TBufferedReader reader(fileHandle_);
  // Nothing is reserved from the counts the file states beyond what the file can hold.
  zipContents_.reserve(
      static_cast<size_t>(std::min<uint64_t>(entries, static_cast<uint64_t>(fileSize_) / codec::kCentralHeaderSize)));
  for (uint64_t i = 0; i < entries; ++i) {
    char header[codec::kCentralHeaderSize];
    if (reader.Read(header, sizeof header) < sizeof header) {
      // The directory goes on at the start of the next volume.
      if (diskNr_ >= totalDisks_) throw EZipBuilder(zmCentralHeaderUnreadable, true);
      GetNewDisk(diskNr_ + 1);
      reader = TBufferedReader(fileHandle_);
      if (reader.Read(header, sizeof header) < sizeof header) throw EZipBuilder(zmCentralHeaderUnreadable, true);
    }
    codec::TCentralHeader central;
    if (codec::Decode(std::string_view(header, sizeof header), central) != codec::TReadResult::Ok)
      throw EZipBuilder(zmCentralHeaderBadSignature, true);
    ZipDirEntry entry = EntryFrom(central);
    // Names are read whole, whatever their length (at most 65535 by their field), once they are
    // known to lie within the file.
    std::string name(entry.FileNameLength, '\0');
    if (reader.Read(name.data(), name.size()) != name.size()) throw EZipBuilder(zmCentralNameUnreadable, true);
    hostVer_ = entry.MadeByVersion;
    hostNum_ = entry.HostVersionNo;
    const bool utf8 = (entry.Flag & codec::kUtf8Flag) != 0;
    ConvertOem2Iso(name, utf8);
    entry.FileName = ReplaceForwardSlash(name);
    if (entry.ExtraFieldLength != 0 && !reader.Skip(entry.ExtraFieldLength)) throw EZipBuilder(zmDirectorySeekError, true);
    if (entry.FileCommentLen != 0) {
      std::string comment(entry.FileCommentLen, '\0');
      if (reader.Read(comment.data(), comment.size()) != comment.size()) throw EZipBuilder(zmFileCommentUnreadable, true);
      ConvertOem2Iso(comment, utf8);
      entry.FileComment = std::move(comment);
    }
    zipSOC_ = std::min<int64_t>(zipSOC_, entry.RelOffLocalHdr);
    zipContents_.push_back(std::move(entry));
  }
}

}  // namespace mirnax
