// Self-extracting archives: the stub and its options header put in front of an archive, every
// offset moved behind them (ConvertSFX, and Add to a self-extractor), and taken away again
// (ConvertZIP).
#include "zip/zip_builder.h"

#include "toolkit/core/library.h"
#include "zip/zip_codec.h"
#include "zip/zip_desktop.h"
#include "zip/zip_directory.h"
#include "zip/zip_file_helpers.h"
#include "zip/zip_message_ids.h"
#include "zip/zip_side_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>
#include <vector>

namespace mirnax {

using namespace zip_files;
namespace codec = zip_codec;

namespace {
constexpr auto kSfxHeaderSize = static_cast<int64_t>(codec::kSfxHeaderSize);
constexpr const char* kStubName = "ZIPSFX.BIN";
}  // namespace

std::string TZipBuilder::ProgramFolder() const {
  std::error_code error;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : self.parent_path().string();
}

std::string TZipBuilder::PrivateFolder() const { return PrivateFilesFolder(); }

std::string TZipBuilder::BuildSFXHeader() const {
  codec::TSfxHeader header;
  if (sfxOptions_.Contains(SFXAskCmdLine)) header.Flags |= codec::kSfxAskCmdLine;
  if (sfxOptions_.Contains(SFXAskFiles)) header.Flags |= codec::kSfxAskFiles;
  if (sfxOptions_.Contains(SFXHideOverWriteBox)) header.Flags |= codec::kSfxHideOverwriteBox;
  if (sfxOverWriteMode_ == OvrAlways) header.Flags |= codec::kSfxOverwriteAlways;
  if (sfxOverWriteMode_ == OvrNever) header.Flags |= codec::kSfxOverwriteNever;
  if (!sfxOptions_.Contains(SFXCheckSize)) header.Flags |= codec::kSfxNoCheckSize;
  if (sfxOptions_.Contains(SFXAutoRun)) header.Flags |= codec::kSfxAutoRun;
  header.Caption = sfxCaption_;
  header.DefaultDir = sfxDefaultDir_;
  header.CommandLine = sfxCommandLine_;
  return codec::EncodeSfxHeader(header);
}

// ---- Conversions ----

int TZipBuilder::ConvertSFX(bool newSFX) {
  if (!newSFX && !FileExistsNative(zipFileName_)) {
    ShowZipMessage(zmArchiveNotFound, "");
    return -9;
  }
  const size_t texts = sfxCaption_.size() + sfxDefaultDir_.size() + sfxCommandLine_.size();
  if (texts >= 250) {
    ShowZipMessage(zmSfxTextsTooLong, "\r\nSFXCaption + SFXDefaultDir + SFXCommandLine = " + std::to_string(texts));
    return -9;
  }
  if (!FindSfxStub()) return -9;
  TZipBusyCursor busy;
  std::string output = zipFileName_;
  if (!newSFX) {
    if (!HasExtension(zipFileName_, ".zip")) {
      ShowZipMessage(zmSfxNeedsZipExtension, "");
      return -9;
    }
    output = WithExtension(zipFileName_, ".exe");
  }
  // The program's bits: readable and runnable by whom the user's mask allows.
  const int result = WriteConversion(output, 0777, [&](int outFile, std::optional<int64_t>& expectedSize) {
    return WriteSfx(outFile, newSFX, expectedSize);
  });
  if (result != 0) return result;
  if (!newSFX) EraseFile(zipFileName_, howToDelete_);
  SetZipFileName(output);
  return 0;
}

int TZipBuilder::ConvertZIP() {
  if (!FileExistsNative(zipFileName_)) {
    ShowZipMessage(zmSfxArchiveNotFound, "");
    return -3;
  }
  if (!HasExtension(zipFileName_, ".exe")) {
    ShowZipMessage(zmSfxNeedsExeExtension, "");
    return -3;
  }
  if (zipSOC_ == 0) {
    ShowZipMessage(zmNoSfxInFront, "");
    return -9;
  }
  TZipBusyCursor busy;
  const std::string output = WithExtension(zipFileName_, ".zip");
  const int result = WriteConversion(output, 0666, [&](int outFile, std::optional<int64_t>& expectedSize) {
    int64_t archiveSize = 0;
    const int copied = CopyArchiveShifted(zipFileName_, outFile, zipSOC_, -zipSOC_, archiveSize);
    expectedSize = archiveSize - zipSOC_;
    return copied;
  });
  if (result != 0) return result;
  EraseFile(zipFileName_, howToDelete_);
  SetZipFileName(output);
  return 0;
}

bool TZipBuilder::FindSfxStub() {
  if (FileExistsNative(sfxPath_)) return true;
  std::vector<std::string> candidates{kStubName};
  for (const std::string& folder : {ProgramFolder(), PrivateFolder(), ToPlatformPath(dllDirectory_)})
    if (!folder.empty()) candidates.push_back(folder + "/" + kStubName);
  const auto found = std::find_if(candidates.begin(), candidates.end(), FileExistsNative);
  if (found == candidates.end()) {
    ShowZipMessage(zmSfxStubNotFound, "");
    return false;
  }
  sfxPath_ = *found;
  return true;
}

int TZipBuilder::WriteConversion(const std::string& output, unsigned mode,
                                 const std::function<int(int outFile, std::optional<int64_t>& expectedSize)>& write) {
  std::unique_ptr<TSideOutput> side;
  try {
    side = std::make_unique<TSideOutput>(ToPlatformPath(output), mode);
  } catch (const Exception&) {
    return -1;
  }
  std::optional<int64_t> expectedSize;
  int result = write(side->Get(), expectedSize);
  struct stat st {};
  const bool sized = ::fstat(side->Get(), &st) == 0;
  if (!side->Seal() && result == 0) result = -2;
  if (result == 0 && expectedSize && (!sized || *expectedSize != st.st_size)) result = -9;
  if (result != 0) return result;
  return InstallOutput(*side, howToDelete_) ? 0 : -1;
}

int TZipBuilder::WriteSfx(int outFile, bool newSFX, std::optional<int64_t>& expectedSize) {
  const std::string header = BuildSFXHeader();
  TFileHandle stub(::open(ToPlatformPath(sfxPath_).c_str(), O_RDONLY | O_CLOEXEC));
  if (!stub.IsOpen()) return -3;
  const int64_t stubSize = ::lseek(stub.Get(), 0, SEEK_END);
  if (stubSize < 0 || ::lseek(stub.Get(), 0, SEEK_SET) != 0) return -3;
  if (!CopyRange(stub.Get(), outFile, stubSize)) return -2;
  stub.Close();
  if (!WriteFully(outFile, header.data(), header.size())) return -2;
  if (newSFX) {
    // An empty archive behind the program, its directory where the archive begins.
    codec::TEndRecord end;
    end.CentralOffset = static_cast<uint32_t>(stubSize + kSfxHeaderSize);
    const std::string bytes = codec::Encode(end);
    return WriteFully(outFile, bytes.data(), bytes.size()) ? 0 : -2;
  }
  int64_t archiveSize = 0;
  const int result = CopyArchiveShifted(zipFileName_, outFile, 0, stubSize + kSfxHeaderSize, archiveSize);
  expectedSize = stubSize + archiveSize + kSfxHeaderSize;
  return result;
}

// ---- Add to a self-extractor ----

std::string TZipBuilder::TakeOutSfxArchive(std::string& target) {
  const int64_t prefix = std::min<int64_t>(
      zipSOC_, fileSize_ - static_cast<int64_t>(codec::kEndRecordSize) - static_cast<int64_t>(zipComment_.size()));
  if (prefix <= 0) return "";
  std::string program(static_cast<size_t>(prefix), '\0');
  TFileHandle in(::open(target.c_str(), O_RDONLY | O_CLOEXEC));
  const bool read = in.IsOpen() && ReadFully(in.Get(), program.data(), program.size()) == prefix;
  in.Close();
  target = TempZipName();
  TFileHandle out(::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
  int64_t size = 0;
  const int copied = out.IsOpen() ? CopyArchiveShifted(zipFileName_, out.Get(), prefix, -prefix, size) : -1;
  out.Close();
  if (!read || copied != 0) {
    ::unlink(target.c_str());
    throw EZipBuilder(zmZipLibraryFailed, true);
  }
  return program;
}

bool TZipBuilder::PutBehindPrefix(const std::string& prefix, const std::string& archive, const std::string& output) {
  std::unique_ptr<TSideOutput> side;
  try {
    side = std::make_unique<TSideOutput>(ToPlatformPath(output), 0777);
  } catch (const Exception&) {
    return false;
  }
  int64_t size = 0;
  bool ok = WriteFully(side->Get(), prefix.data(), prefix.size()) &&
            CopyArchiveShifted(archive, side->Get(), 0, static_cast<int64_t>(prefix.size()), size) == 0;
  ok = side->Seal() && ok;
  // The archive added to is replaced in one step, as the library replaces a plain one.
  return ok && InstallOutput(*side, std::nullopt);
}

// ---- Moving an archive's offsets ----

int TZipBuilder::CopyArchiveShifted(const std::string& archive, int outFile, int64_t from, int64_t offsetChange,
                                    int64_t& archiveSize) {
  ZipEndOfCentral eoc;
  archivePath_ = archive;
  int result = 0;
  try {
    CheckIfLastDisk(eoc, true);
  } catch (const EZipBuilder&) {
    result = -3;
  }
  if (result == 0 && ::lseek(fileHandle_, from, SEEK_SET) != from) result = -2;
  if (result == 0 && offsetsShifted_) {
    // Offsets that already count from the archive's own start stay as they are.
    archiveSize = realFileSize_;
    if (!CopyRange(fileHandle_, outFile, realFileSize_ - from)) result = -2;
  } else if (result == 0) {
    archiveSize = fileSize_;
    if (eoc.CentralOffset < from || !CopyRange(fileHandle_, outFile, eoc.CentralOffset - from)) result = -2;
    else result = RWCentralDir(outFile, eoc, offsetChange);
  }
  CloseArchiveFile();
  return result;
}

int TZipBuilder::RWCentralDir(int& outFile, const ZipEndOfCentral& eoc, int64_t offsetChange) {
  try {
    for (int i = 0; i < eoc.TotalEntries; ++i) {
      auto header =
          ReadFileRecord<codec::TCentralHeader>(fileHandle_, zmCentralHeaderUnreadable, zmCentralHeaderBadSignature);
      const int64_t offset = int64_t{header.LocalHeaderOffset} + offsetChange;
      if (offset < 0 || offset > UINT32_MAX) throw EZipBuilder(zmJoinCentralWriteError, false);
      header.LocalHeaderOffset = static_cast<uint32_t>(offset);
      const std::string bytes = codec::Encode(header);
      if (!WriteFully(outFile, bytes.data(), bytes.size())) throw EZipBuilder(zmJoinCentralWriteError, false);
      if (!CopyRange(fileHandle_, outFile, static_cast<int64_t>(header.TailLength())))
        throw EZipBuilder(zmCentralEntryCopyError, false);
    }
    if (::lseek(fileHandle_, codec::kEndRecordSize, SEEK_CUR) < 0) throw EZipBuilder(zmEndRecordSeekError, false);
    codec::TEndRecord end = zip_directory::FromEndOfCentral(eoc);
    const int64_t offset = int64_t{eoc.CentralOffset} + offsetChange;
    if (offset < 0 || offset > UINT32_MAX) throw EZipBuilder(zmJoinEndWriteError, false);
    end.CentralOffset = static_cast<uint32_t>(offset);
    const std::string bytes = codec::Encode(end);
    if (!WriteFully(outFile, bytes.data(), bytes.size())) throw EZipBuilder(zmJoinEndWriteError, false);
    if (!CopyRange(fileHandle_, outFile, eoc.ZipCommentLen)) throw EZipBuilder(zmSfxCommentCopyError, false);
  } catch (const EZipBuilder&) {
    return -2;
  }
  return 0;
}

}  // namespace mirnax
