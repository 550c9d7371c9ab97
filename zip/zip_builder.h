// TZipBuilder: a non-visual component that lists zip archives itself and adds, deletes and
// extracts members through the two archive libraries it loads at run time ("ZIPDLL.DLL",
// "UNZDLL.DLL", libzipdll.so and libunzdll.so here). Errors never leave it as exceptions: each
// public operation reports through ErrCode, Message, OnMessage and (unless Unattended) a box.
#pragma once

#include "mirnax/mirnax_export.h"
#include "toolkit/core/classes.h"
#include "toolkit/core/component.h"
#include "toolkit/core/exceptions.h"
#include "toolkit/core/library.h"
#include "zip/zip_records.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace mirnax {

/// A set of the members of an enumeration, one bit per member in declaration order.
template <class E, class Bits>
class TOptionSet {
 public:
  constexpr TOptionSet() = default;
  constexpr TOptionSet(std::initializer_list<E> members) {
    for (E e : members) Include(e);
  }
  constexpr bool Contains(E e) const { return (bits_ >> e) & 1u; }
  constexpr void Include(E e) { bits_ = static_cast<Bits>(bits_ | (1u << e)); }
  constexpr void Exclude(E e) { bits_ = static_cast<Bits>(bits_ & ~(1u << e)); }
  constexpr Bits ToBits() const { return bits_; }
  static constexpr TOptionSet FromBits(Bits bits) {
    TOptionSet set;
    set.bits_ = bits;
    return set;
  }
  constexpr bool Empty() const { return bits_ == 0; }
  friend constexpr bool operator==(TOptionSet, TOptionSet) = default;

 private:
  Bits bits_ = 0;
};

enum AddOptsEnum {
  AddDirNames, AddRecurseDirs, AddMove, AddFreshen, AddUpdate, AddZipTime,
  AddForceDOS, AddHiddenFiles, AddEncrypt, AddSeparateDirs, AddDiskSpan, AddDiskSpanErase
};
enum ExtrOptsEnum { ExtrDirNames, ExtrOverWrite, ExtrFreshen, ExtrUpdate, ExtrTest };
enum SFXOptsEnum { SFXAskCmdLine, SFXAskFiles, SFXAutoRun, SFXHideOverWriteBox, SFXCheckSize };
enum OvrOpts { OvrConfirm, OvrAlways, OvrNever };
enum CPOpts { cpAUTO, cpNone, cpOEM };
enum DeleteOpts { htdFinal, htdAllowUndo };
enum ProgressType { ptNewFile = 0, ptUpdate = 1, ptEndOfBatch = 2, ptTotalFiles = 3, ptTotalSize = 4 };

using AddOpts = TOptionSet<AddOptsEnum, uint16_t>;
using ExtrOpts = TOptionSet<ExtrOptsEnum, uint8_t>;
using SFXOpts = TOptionSet<SFXOptsEnum, uint8_t>;

// The component's failure: a message ID, its text, and whether a box is to show it.
namespace zip_files {
class TSideOutput;
}  // namespace zip_files

class MIRNAX_EXPORT EZipBuilder : public Exception {
 public:
  EZipBuilder(int ident, bool displayMsg);
  EZipBuilder(int ident, int diskNo);
  EZipBuilder(int ident, const std::string& drive);

  bool DisplayMsg;
  int ResId;
};

/// The end-of-central-directory record, 22 bytes in the file.
struct ZipEndOfCentral {
  uint32_t HeaderSig = 0;
  uint16_t ThisDiskNo = 0;
  uint16_t CentralDiskNo = 0;
  uint16_t CentralEntries = 0;
  uint16_t TotalEntries = 0;
  uint32_t CentralSize = 0;
  uint32_t CentralOffset = 0;
  uint16_t ZipCommentLen = 0;
};

/// One member, as its central header describes it.
struct ZipDirEntry {
  uint8_t MadeByVersion = 0;
  uint8_t HostVersionNo = 0;
  uint16_t Version = 0;
  uint16_t Flag = 0;
  uint16_t CompressionMethod = 0;
  uint16_t ModifTime = 0;
  uint16_t ModifDate = 0;
  uint32_t CRC32 = 0;
  uint32_t CompressedSize = 0;
  uint32_t UncompressedSize = 0;
  uint16_t FileNameLength = 0;
  uint16_t ExtraFieldLength = 0;
  uint16_t FileCommentLen = 0;
  uint16_t StartOnDisk = 0;
  uint16_t IntFileAttrib = 0;
  uint32_t ExtFileAttrib = 0;
  uint32_t RelOffLocalHdr = 0;
  std::string FileName;     ///< converted, with '\' separators
  std::string FileComment;  ///< converted
};

class MIRNAX_EXPORT TZipBuilder : public TComponent {
 public:
  using TProgressEvent = std::function<void(TObject* sender, ProgressType type, const std::string& fileName, int64_t fileSize)>;
  using TMessageEvent = std::function<void(TObject* sender, int errCode, const std::string& message)>;
  using TNotifyEvent = std::function<void(TObject* sender)>;

  explicit TZipBuilder(TComponent* owner = nullptr);
  ~TZipBuilder() override;

  /// Published properties.
  bool Verbose() const { return verbose_; }
  void SetVerbose(bool value) { verbose_ = value; }
  bool Trace() const { return trace_; }
  void SetTrace(bool value) { trace_ = value; }
  int AddCompLevel() const { return addCompLevel_; }
  void SetAddCompLevel(int value) { addCompLevel_ = value; }
  AddOpts AddOptions() const { return addOptions_; }
  void SetAddOptions(AddOpts value) { addOptions_ = value; }
  ExtrOpts ExtrOptions() const { return extrOptions_; }
  void SetExtrOptions(ExtrOpts value) { extrOptions_ = value; }
  SFXOpts SFXOptions() const { return sfxOptions_; }
  void SetSFXOptions(SFXOpts value) { sfxOptions_ = value; }
  const std::string& ExtrBaseDir() const { return extrBaseDir_; }
  void SetExtrBaseDir(const std::string& value) { extrBaseDir_ = value; }
  TStrings& FSpecArgs() { return fSpecArgs_; }
  void SetFSpecArgs(const TStrings& value) { fSpecArgs_.Assign(value); }
  const std::string& ZipFileName() const { return zipFileName_; }
  /// Stores the name and, outside design mode, reads the archive's directory.
  void SetZipFileName(const std::string& value);
  const std::string& Password() const { return password_; }
  void SetPassword(const std::string& value) { password_ = value; }
  const std::string& SFXPath() const { return sfxPath_; }
  void SetSFXPath(const std::string& value) { sfxPath_ = value; }
  const std::string& DLLDirectory() const { return dllDirectory_; }
  /// Drops one trailing separator.
  void SetDLLDirectory(const std::string& value);
  OvrOpts SFXOverWriteMode() const { return sfxOverWriteMode_; }
  void SetSFXOverWriteMode(OvrOpts value) { sfxOverWriteMode_ = value; }
  const std::string& SFXCaption() const { return sfxCaption_; }
  void SetSFXCaption(const std::string& value) { sfxCaption_ = value; }
  const std::string& SFXDefaultDir() const { return sfxDefaultDir_; }
  void SetSFXDefaultDir(const std::string& value) { sfxDefaultDir_ = value; }
  const std::string& SFXCommandLine() const { return sfxCommandLine_; }
  void SetSFXCommandLine(const std::string& value) { sfxCommandLine_ = value; }
  const std::string& TempDir() const { return tempDir_; }
  void SetTempDir(const std::string& value) { tempDir_ = value; }
  int64_t KeepFreeOnDisk1() const { return keepFreeOnDisk1_; }
  void SetKeepFreeOnDisk1(int64_t value);  ///< negative values are ignored
  int64_t MaxVolumeSize() const { return maxVolumeSize_; }
  void SetMaxVolumeSize(int64_t value);  ///< negative values are ignored
  int64_t MinFreeVolumeSize() const { return minFreeVolumeSize_; }
  void SetMinFreeVolumeSize(int64_t value);  ///< values below 1 are ignored
  bool ConfirmErase() const { return confirmErase_; }
  void SetConfirmErase(bool value) { confirmErase_ = value; }
  bool Unattended() const { return unattended_; }
  void SetUnattended(bool value) { unattended_ = value; }
  CPOpts CodePage() const { return codePage_; }
  void SetCodePage(CPOpts value) { codePage_ = value; }
  DeleteOpts HowToDelete() const { return howToDelete_; }
  void SetHowToDelete(DeleteOpts value) { howToDelete_ = value; }
  std::string VersionInfo() const { return "1.52 M"; }
  void SetVersionInfo(const std::string&) {}  ///< the version is not the user's to change

  TProgressEvent OnProgress;
  TMessageEvent OnMessage;
  TNotifyEvent OnDirUpdate;

  /// Run-time state.
  bool Cancel() const { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }
  int ErrCode() const { return errCode_; }
  const std::string& Message() const { return message_; }
  int SuccessCnt() const { return successCnt_; }
  const std::vector<ZipDirEntry>& ZipContents() const { return zipContents_; }
  int Count() const { return GetCount(); }
  int GetCount() const;
  std::string ZipComment() const { return GetZipComment(); }
  std::string GetZipComment() const;
  int ZipVers() { return GetZipVers(); }
  int UnzVers() { return GetUnzVers(); }

  /// The archive libraries.
  void Load_Zip_Dll();
  void Load_Unz_Dll();
  void Unload_Zip_Dll();
  void Unload_Unz_Dll();
  int GetZipVers();
  int GetUnzVers();

  /// The libraries' callback: reports progress and messages, lets pending events run, and
  /// returns non-zero when Cancel is set.
  static int ZCallback(ZCallBackStruct* record);

  /// Messages.
  void ShowZipMessage(int ident, const std::string& userStr);
  std::string LoadZipStr(int ident, const std::string& defaultText) const;
  void ShowExceptionError(const EZipBuilder& error);

  /// Passwords through the dialogs service.
  std::string GetAddPassword();
  std::string GetExtrPassword();
  std::string GetPassword(int type);

  /// Directory reading.
  void List();
  bool CheckIfLastDisk(ZipEndOfCentral& eoc, bool doExcept);
  void FreeZipDirEntryRecords();
  /// Where the archive's data begins (the bytes before it belong to a stub), and whether its
  /// central directory lay elsewhere than its end record said.
  int64_t ZipSOC() const { return zipSOC_; }
  bool OffsetsShifted() const { return offsetsShifted_; }
  int TotalDisks() const { return totalDisks_; }
  int64_t FileSize() const { return fileSize_; }
  int64_t RealFileSize() const { return realFileSize_; }

  /// The archive operations; their outcome is in SuccessCnt, ErrCode and Message.
  void Add();
  void Delete();
  void Extract();

  /// File helpers; the results are 0 or small negative codes.
  int CopyBuffer(int& inFile, int& outFile, int readLen);
  int CopyFile(const std::string& in, const std::string& out);
  int EraseFile(const std::string& fileName, DeleteOpts how);

  /// Name and text helpers.
  void ConvertOem2Iso(std::string& text, bool utf8Flagged = false) const;
  static std::string AppendSlash(const std::string& s);
  static std::string ReplaceForwardSlash(const std::string& s);

  /// Spanning over volumes: the archive cut into volumes (removable disks labelled "PKBACK# 001"
  /// and on, or numbered files A001.zip, A002.zip on other drives) and joined back. 0 on success,
  /// -7 after a reported failure, -8 out of memory, -9 any other error. ReadSpan takes a folder
  /// (ending in a separator) or a file name and gives back the joined archive's name.
  int WriteSpan(const std::string& inFileName, const std::string& outFileName);
  int ReadSpan(const std::string& inFileName, std::string& outFilePath);
  /// Self-extracting archives: the stub ZIPSFX.BIN, a 256-byte options header and the archive
  /// behind them, offsets shifted by what stands in front; and back. 0 on success, -1 no output,
  /// -2 a write failed, -3 the stub or archive unreadable, -9 nothing done or sizes that do not
  /// add up.
  int ConvertSFX(bool newSFX = false);
  int ConvertZIP();
  /// The central directory and end record copied from the open archive, every offset moved by
  /// offsetChange; 0, or -2 on any failure.
  int RWCentralDir(int& outFile, const ZipEndOfCentral& eoc, int64_t offsetChange);
  /// "MPU", the option flags, the three text lengths and the texts, zero-filled to 256 bytes.
  std::string BuildSFXHeader() const;

  /// One member while spanning or joining.
  struct MDZipData {
    uint16_t DiskStart = 0;     ///< volume of the local header (0-based)
    uint32_t RelOffLocal = 0;   ///< its offset within that volume (within the joined file when joining)
    uint32_t FileNameLen = 0;
    std::string FileName;       ///< as stored, forward slashes kept
    uint32_t ComprSize = 0;     ///< from the central directory (joining)
  };
  static std::vector<MDZipData> AllocSpanMem(int count);
  static void DeleteSpanMem(std::vector<MDZipData>& records);
  /// The first record whose name equals name over nameLen characters, letter case aside;
  /// raises 11026 when there is none.
  static int FindZipEntry(int count, const std::vector<MDZipData>& records, const char* name, int nameLen);

  /// Volumes and disk prompts.
  bool IsDiskPresent();
  /// Bit 0: measure the free space, bit 1: the size (-1 each when it cannot be measured).
  void DiskFreeAndSize(int action);
  /// Makes sure the drive has a disk, prompting for the wanted one where it must; the drive type.
  int CheckForDisk();
  bool IsRightDisk(unsigned driveType);
  /// Opens the given volume of the set for reading, prompting until it is there.
  void GetNewDisk(int diskSeq);
  /// "PKBACK# " and the volume number + 1 in three digits.
  static std::string VolumeLabelFor(int volume);
  /// A.zip as the file of volume 0: A001.zip (writing: the digits follow the base name).
  static std::string VolumeFileForWriting(const std::string& name, int volume);
  /// A003.zip as the file of volume 1: A002.zip (reading: the last three characters of the base
  /// name are the number).
  static std::string VolumeFileForReading(const std::string& name, int volume);
  const std::string& DriveRoot() const { return driveRoot_; }
  const std::string& VolumeLabel() const { return volumeLabel_; }
  int64_t DiskFree() const { return diskFree_; }
  int64_t DiskSize() const { return diskSize_; }

 protected:
  /// Formats the disk in the drive with the wanted label: 0 done, -1 failed, -2 cancelled,
  /// -3 no format could be started.
  virtual int ZipFormat();
  /// Where the stub is looked for after the current folder: the running program's folder and
  /// the folder the libraries are installed in (empty when unknown).
  virtual std::string ProgramFolder() const;
  virtual std::string LibraryInstallFolder() const;

 private:
  /// Its parts, each in a file named for it; the operations that keep state for their length are
  /// objects of their own.
  struct TDll;        ///< one archive library (zip_libraries.h)
  class TSpanWriter;  ///< one WriteSpan (zip_spanning.h, zip_span_writer.cpp)
  class TSpanJoiner;  ///< one ReadSpan (zip_spanning.h, zip_span_joiner.cpp)

  /// The frame (zip_builder.cpp).
  void Report(const std::string& text, bool show);
  void ProcessMessages() const;
  void Progress(ProgressType type, const std::string& name, int64_t size);

  /// The archive libraries and their command records (zip_libraries.cpp).
  int GetVers(TDll& dll);
  bool LoadDll(TDll& dll);
  void UnloadDll(TDll& dll);
  void SetZipSwitches(const std::string& archive);
  void SetUnZipSwitches(const std::string& archive);
  /// One call of the zip library on the target (adding, or deleting), of the unzip library on the
  /// archive; the library's count of members done.
  int RunZipDll(const std::string& target, bool deleting);
  int RunUnzipDll(const std::string& archive);

  /// Add, Delete, Extract (zip_operations.cpp).
  void ResetOutcome();
  std::string TempZipName();
  bool ArchiveEncrypted() const;
  /// The end of every Add and Delete: specifications, record and library released, the busy flag
  /// cleared, the directory read again when the archive changed (after a delete, a directory that
  /// cannot be read is reported with the delete that was done).
  void EndZipCall(bool unload, bool deleting = false);
  /// Runs the unzip library in ExtrBaseDir and gives the caller's folder back; joined, a joined
  /// copy of a spanned archive, is removed afterwards.
  void ExtractInBaseFolder(const std::string& source, const std::string& joined);

  /// Directory reading (zip_directory.cpp).
  void CloseArchiveFile();
  /// The open archive's handle, handed over to whoever reads on from it (the component's is then
  /// closed).
  int TakeArchiveFile();
  void ReadDirectory();
  /// The volume the archive says it is: by its disk's label, and whether it begins as the first
  /// volume of a set.
  void NoteVolume();
  bool ReadEndRecordAtEnd(ZipEndOfCentral& eoc);
  bool FindEndRecordBehindComment(ZipEndOfCentral& eoc);
  void ReadEntries(uint64_t entries);

  /// Volumes and disk prompts (zip_volumes.cpp): CheckForDisk, and while an archive of
  /// spannedSize bytes is spanned, a prompt that counts its disks.
  int AskForDisk(int64_t spannedSize);

  /// Spanning and joining (zip_spanning.cpp). Runs one operation's body and reports its failure:
  /// 0, or -7 after a reported failure, -8 out of memory, -9 any other error.
  int SpanFailure(const std::function<void()>& body);
  /// "Copying: " and the name, to OnMessage.
  void ReportCopying(const std::string& name);

  /// Puts a finished side output in its target's place, a previous file erased as how says (none:
  /// replaced in one step); false, reported, when the new file could not take the target's name.
  bool InstallOutput(zip_files::TSideOutput& output, std::optional<DeleteOpts> how);

  /// Self-extracting archives (zip_sfx_conversion.cpp). The stub in SFXPath, else found where
  /// ConvertSFX looks for it; false (reported) when there is none.
  bool FindSfxStub();
  /// The one place a conversion writes its output file: write fills a side file and may say what
  /// size it must have; only a whole new file takes the name, whatever had it erased first (as
  /// HowToDelete says). 0, or the failure's code with the new file removed (-1 when it could not
  /// take the name, reported, and stays under its side name).
  int WriteConversion(const std::string& output, unsigned mode,
                      const std::function<int(int outFile, std::optional<int64_t>& expectedSize)>& write);
  /// The stub, its options header and the archive (or, new, an empty one) behind them.
  int WriteSfx(int outFile, bool newSFX, std::optional<int64_t>& expectedSize);
  /// The library rewrites an archive without what stands in front of it: a self-extractor's
  /// archive is taken out into a temporary archive (target then names it), added to, and put back
  /// behind its program (PutBehindPrefix). The program's bytes; none when nothing stands in front.
  std::string TakeOutSfxArchive(std::string& target);
  /// Copies the archive from byte from on to the output, its offsets moved by offsetChange.
  int CopyArchiveShifted(const std::string& archive, int outFile, int64_t from, int64_t offsetChange,
                         int64_t& archiveSize);
  /// Writes prefix and then the archive with its offsets moved behind it over output.
  bool PutBehindPrefix(const std::string& prefix, const std::string& archive, const std::string& output);

  /// Published properties.
  bool verbose_ = false;
  bool trace_ = false;
  int addCompLevel_ = 9;
  AddOpts addOptions_;
  ExtrOpts extrOptions_;
  SFXOpts sfxOptions_{SFXCheckSize};
  std::string extrBaseDir_;
  TStringList fSpecArgs_;
  std::string zipFileName_;
  std::string password_;
  std::string sfxPath_;
  std::string dllDirectory_;
  OvrOpts sfxOverWriteMode_ = OvrConfirm;
  std::string sfxCaption_ = "Self-extracting Archive";
  std::string sfxDefaultDir_;
  std::string sfxCommandLine_;
  std::string tempDir_;
  int64_t keepFreeOnDisk1_ = 0;
  int64_t maxVolumeSize_ = 0;
  int64_t minFreeVolumeSize_ = 65536;
  bool confirmErase_ = true;
  bool unattended_ = false;
  CPOpts codePage_ = cpAUTO;
  DeleteOpts howToDelete_ = htdAllowUndo;

  /// The outcome of the last operation.
  bool cancel_ = false;
  int errCode_ = 0;
  std::string message_;
  int successCnt_ = 0;

  /// The libraries and the call running in one of them.
  void* handle_ = nullptr;  ///< the application, handed to the libraries
  bool zipBusy_ = false;
  bool unzBusy_ = false;
  std::unique_ptr<TDll> zipDll_;
  std::unique_ptr<TDll> unzDll_;
  ZipCommandHead* zipRecord_ = nullptr;    ///< while a zip library call runs
  UnzipCommandHead* unzRecord_ = nullptr;  ///< while an unzip library call runs
  std::deque<std::string> recordTexts_;   ///< the texts the running record points to

  /// The directory, as the last List read it.
  std::vector<ZipDirEntry> zipContents_;
  std::string zipComment_;
  uint8_t hostNum_ = 0;  ///< host system and made-by version of the last entry read
  uint8_t hostVer_ = 0;
  std::string archivePath_;  ///< the file of the volume being read
  int fileHandle_ = -1;
  int64_t fileSize_ = 0;
  int64_t realFileSize_ = 0;
  int64_t zipSOC_ = 0;
  bool offsetsShifted_ = false;
  bool firstVolume_ = false;
  int labelVolume_ = 0;

  /// Volumes: the disk in the drive and what the prompts ask for.
  std::string driveRoot_;
  std::string volumeLabel_;
  int driveType_ = 2;  ///< of the last disk check; removable until checked
  int64_t diskFree_ = -1;
  int64_t diskSize_ = -1;
  int totalDisks_ = 0;
  int diskNr_ = 0;
  bool newDisk_ = false;
  std::string formatLabel_;  ///< the label a format gives the disk
  std::string formatError_;  ///< why the last format failed
};

namespace zip_builder {
/// Adds TZipBuilder to the component palette, page "Components".
MIRNAX_EXPORT void Register();
}  // namespace zip_builder

}  // namespace mirnax
