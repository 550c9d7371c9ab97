// TZipBuilder: a non-visual component that lists zip archives itself and adds, deletes and
// extracts members through the two archive libraries it loads at run time ("ZIPDLL.DLL",
// "UNZDLL.DLL", libzipdll.so and libunzdll.so here). Errors never leave it as exceptions: each
// public operation reports through ErrCode, Message, OnMessage and (unless Unattended) a box.
#pragma once

#include "mirnax/mirnax_export.h"
#include "toolkit/core/classes.h"
#include "toolkit/core/component.h"
#include "toolkit/core/exceptions.h"
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
  constexpr TOptionSet() = default;  ///< The empty set.
  /// The set of the members listed.
  constexpr TOptionSet(std::initializer_list<E> members) {
    for (E e : members) Include(e);
  }
  constexpr bool Contains(E e) const { return (bits_ >> e) & 1u; }  ///< Whether e is in the set.
  constexpr void Include(E e) { bits_ = static_cast<Bits>(bits_ | (1u << e)); }  ///< Adds e.
  constexpr void Exclude(E e) { bits_ = static_cast<Bits>(bits_ & ~(1u << e)); }  ///< Removes e.
  constexpr Bits ToBits() const { return bits_; }  ///< The set as bits.
  /// The set of the given bits.
  static constexpr TOptionSet FromBits(Bits bits) {
    TOptionSet set;
    set.bits_ = bits;
    return set;
  }
  constexpr bool Empty() const { return bits_ == 0; }  ///< Whether no member is in the set.
  /// Whether both sets hold the same members.
  friend constexpr bool operator==(TOptionSet, TOptionSet) = default;

 private:
  Bits bits_ = 0;
};

/// Options of Add: folder names kept, folders recursed, files moved into the archive, only newer
/// or only existing members replaced, the archive dated by its newest member, DOS names, hidden
/// files, encryption, folder entries of their own, spanning over volumes (after erasing them).
enum AddOptsEnum {
  AddDirNames, AddRecurseDirs, AddMove, AddFreshen, AddUpdate, AddZipTime,
  AddForceDOS, AddHiddenFiles, AddEncrypt, AddSeparateDirs, AddDiskSpan, AddDiskSpanErase
};
/// Options of Extract: folder names kept, existing files overwritten, only newer or only existing
/// files replaced, members only tested.
enum ExtrOptsEnum { ExtrDirNames, ExtrOverWrite, ExtrFreshen, ExtrUpdate, ExtrTest };
/// Options of a self-extracting archive: ask for its command line, let the user pick the files,
/// run the command line after extracting, hide the overwrite question, check the archive's size.
enum SFXOptsEnum { SFXAskCmdLine, SFXAskFiles, SFXAutoRun, SFXHideOverWriteBox, SFXCheckSize };
/// What a self-extracting archive does with existing files: ask, overwrite, or keep them.
enum OvrOpts { OvrConfirm, OvrAlways, OvrNever };
/// How member names are converted: from the OEM code page when the archive comes from DOS or
/// OS/2 (automatic), never, or always.
enum CPOpts { cpAUTO, cpNone, cpOEM };
/// How files are deleted: at once, or into the desktop's trash.
enum DeleteOpts { htdFinal, htdAllowUndo };
/// What an OnProgress call reports: a new file and its size, bytes done, the end of a batch, the
/// number of files and the number of bytes to process.
enum ProgressType { ptNewFile = 0, ptUpdate = 1, ptEndOfBatch = 2, ptTotalFiles = 3, ptTotalSize = 4 };

using AddOpts = TOptionSet<AddOptsEnum, uint16_t>;  ///< A set of Add's options.
using ExtrOpts = TOptionSet<ExtrOptsEnum, uint8_t>;  ///< A set of Extract's options.
using SFXOpts = TOptionSet<SFXOptsEnum, uint8_t>;  ///< A set of a self-extracting archive's options.

namespace zip_files {
class TSideOutput;
}  // namespace zip_files

/// The component's failure: a message ID, its text, and whether a box is to show it.
class MIRNAX_EXPORT EZipBuilder : public Exception {
 public:
  EZipBuilder(int ident, bool displayMsg);  ///< The message ident, shown in a box when displayMsg.
  EZipBuilder(int ident, int diskNo);  ///< The message ident about volume diskNo, shown in a box.
  EZipBuilder(int ident, const std::string& drive);  ///< The message ident about a drive, shown in a box.

  bool DisplayMsg;  ///< Whether a box is to show the message.
  int ResId;  ///< The message ID.
};

/// The end-of-central-directory record, 22 bytes in the file.
struct ZipEndOfCentral {
  uint32_t HeaderSig = 0;  ///< 0x06054B50.
  uint16_t ThisDiskNo = 0;  ///< The volume this record is on, 0-based.
  uint16_t CentralDiskNo = 0;  ///< The volume the central directory starts on.
  uint16_t CentralEntries = 0;  ///< Members in the central directory on this volume.
  uint16_t TotalEntries = 0;  ///< Members in the whole central directory.
  uint32_t CentralSize = 0;  ///< Bytes of the central directory.
  uint32_t CentralOffset = 0;  ///< Where the central directory starts on its volume.
  uint16_t ZipCommentLen = 0;  ///< Bytes of the archive's comment behind this record.
};

/// One member, as its central header describes it.
struct ZipDirEntry {
  uint8_t MadeByVersion = 0;  ///< The version of the tool that wrote the member, times 10.
  uint8_t HostVersionNo = 0;  ///< The system it was written on (0 DOS, 3 Unix, 6 OS/2, 11 NTFS).
  uint16_t Version = 0;  ///< The version needed to extract it, times 10.
  uint16_t Flag = 0;  ///< General-purpose bits: 0 encrypted, 11 the name is UTF-8.
  uint16_t CompressionMethod = 0;  ///< 0 stored, 8 deflated.
  uint16_t ModifTime = 0;  ///< DOS time of the last change.
  uint16_t ModifDate = 0;  ///< DOS date of the last change.
  uint32_t CRC32 = 0;  ///< Checksum of the uncompressed data.
  uint32_t CompressedSize = 0;  ///< Bytes in the archive.
  uint32_t UncompressedSize = 0;  ///< Bytes once extracted.
  uint16_t FileNameLength = 0;  ///< Bytes of the stored name.
  uint16_t ExtraFieldLength = 0;  ///< Bytes of the extra field.
  uint16_t FileCommentLen = 0;  ///< Bytes of the member's comment.
  uint16_t StartOnDisk = 0;  ///< The volume its local header is on, 0-based.
  uint16_t IntFileAttrib = 0;  ///< Internal attributes: bit 0, a text file.
  uint32_t ExtFileAttrib = 0;  ///< The system's attributes of the file.
  uint32_t RelOffLocalHdr = 0;  ///< Where its local header starts on that volume.
  std::string FileName;     ///< converted, with '\' separators
  std::string FileComment;  ///< converted
};

/// The zip component: lists zip archives, adds, deletes, extracts and tests members through the
/// archive libraries, spans archives over volumes and makes self-extracting archives.
class MIRNAX_EXPORT TZipBuilder : public TComponent {
 public:
  /// Progress of an operation: what happened, the file it concerns and a size.
  using TProgressEvent = std::function<void(TObject* sender, ProgressType type, const std::string& fileName, int64_t fileSize)>;
  /// A message: its code (0 for information) and text.
  using TMessageEvent = std::function<void(TObject* sender, int errCode, const std::string& message)>;
  /// A notification that takes the sender.
  using TNotifyEvent = std::function<void(TObject* sender)>;

  /// A component without an archive, compression level 9, owned by owner when it is given.
  explicit TZipBuilder(TComponent* owner = nullptr);
  ~TZipBuilder() override;

  // Published properties.
  bool Verbose() const { return verbose_; }  ///< Whether the libraries report every step.
  void SetVerbose(bool value) { verbose_ = value; }  ///< Sets Verbose.
  bool Trace() const { return trace_; }  ///< Whether the libraries trace their work.
  void SetTrace(bool value) { trace_ = value; }  ///< Sets Trace.
  int AddCompLevel() const { return addCompLevel_; }  ///< The compression level, 0 (stored) to 9 (smallest).
  void SetAddCompLevel(int value) { addCompLevel_ = value; }  ///< Sets AddCompLevel.
  AddOpts AddOptions() const { return addOptions_; }  ///< The options of Add.
  void SetAddOptions(AddOpts value) { addOptions_ = value; }  ///< Sets AddOptions.
  ExtrOpts ExtrOptions() const { return extrOptions_; }  ///< The options of Extract.
  void SetExtrOptions(ExtrOpts value) { extrOptions_ = value; }  ///< Sets ExtrOptions.
  SFXOpts SFXOptions() const { return sfxOptions_; }  ///< The options of a self-extracting archive.
  void SetSFXOptions(SFXOpts value) { sfxOptions_ = value; }  ///< Sets SFXOptions.
  /// The folder extracted members are written below.
  const std::string& ExtrBaseDir() const { return extrBaseDir_; }
  void SetExtrBaseDir(const std::string& value) { extrBaseDir_ = value; }  ///< Sets ExtrBaseDir.
  /// The files (for Add) or members (for Delete and Extract) to work on; wildcards allowed.
  TStrings& FSpecArgs() { return fSpecArgs_; }
  /// Sets FSpecArgs to a copy of value.
  void SetFSpecArgs(const TStrings& value) { fSpecArgs_.Assign(value); }
  const std::string& ZipFileName() const { return zipFileName_; }  ///< The archive's file name.
  /// Sets ZipFileName and, outside design mode, reads the archive's directory.
  void SetZipFileName(const std::string& value);
  const std::string& Password() const { return password_; }  ///< The password of encrypted members.
  void SetPassword(const std::string& value) { password_ = value; }  ///< Sets Password.
  /// The self-extractor stub ZIPSFX.BIN; empty looks for it in the usual places.
  const std::string& SFXPath() const { return sfxPath_; }
  void SetSFXPath(const std::string& value) { sfxPath_ = value; }  ///< Sets SFXPath.
  /// The folder of the archive libraries; empty finds them in their usual places.
  const std::string& DLLDirectory() const { return dllDirectory_; }
  /// Sets DLLDirectory, dropping one trailing separator.
  void SetDLLDirectory(const std::string& value);
  /// What a self-extracting archive does with existing files.
  OvrOpts SFXOverWriteMode() const { return sfxOverWriteMode_; }
  void SetSFXOverWriteMode(OvrOpts value) { sfxOverWriteMode_ = value; }  ///< Sets SFXOverWriteMode.
  /// The caption of a self-extracting archive's dialog.
  const std::string& SFXCaption() const { return sfxCaption_; }
  void SetSFXCaption(const std::string& value) { sfxCaption_ = value; }  ///< Sets SFXCaption.
  /// The folder a self-extracting archive proposes.
  const std::string& SFXDefaultDir() const { return sfxDefaultDir_; }
  void SetSFXDefaultDir(const std::string& value) { sfxDefaultDir_ = value; }  ///< Sets SFXDefaultDir.
  /// The command line a self-extracting archive runs after extracting.
  const std::string& SFXCommandLine() const { return sfxCommandLine_; }
  void SetSFXCommandLine(const std::string& value) { sfxCommandLine_ = value; }  ///< Sets SFXCommandLine.
  /// The folder for temporary files; empty uses the system's.
  const std::string& TempDir() const { return tempDir_; }
  void SetTempDir(const std::string& value) { tempDir_ = value; }  ///< Sets TempDir.
  /// Bytes left free on the first volume of a spanned archive.
  int64_t KeepFreeOnDisk1() const { return keepFreeOnDisk1_; }
  void SetKeepFreeOnDisk1(int64_t value);  ///< negative values are ignored
  /// The largest size of one volume, 0 for the size of the medium.
  int64_t MaxVolumeSize() const { return maxVolumeSize_; }
  void SetMaxVolumeSize(int64_t value);  ///< negative values are ignored
  /// The least free space a volume must offer to be written on.
  int64_t MinFreeVolumeSize() const { return minFreeVolumeSize_; }
  void SetMinFreeVolumeSize(int64_t value);  ///< values below 1 are ignored
  bool ConfirmErase() const { return confirmErase_; }  ///< Whether deleting from an archive asks first.
  void SetConfirmErase(bool value) { confirmErase_ = value; }  ///< Sets ConfirmErase.
  bool Unattended() const { return unattended_; }  ///< Whether no box asks or reports while working.
  void SetUnattended(bool value) { unattended_ = value; }  ///< Sets Unattended.
  CPOpts CodePage() const { return codePage_; }  ///< How member names are converted.
  void SetCodePage(CPOpts value) { codePage_ = value; }  ///< Sets CodePage.
  DeleteOpts HowToDelete() const { return howToDelete_; }  ///< How files are deleted.
  void SetHowToDelete(DeleteOpts value) { howToDelete_ = value; }  ///< Sets HowToDelete.
  std::string VersionInfo() const { return "1.52 M"; }  ///< The component's version.
  void SetVersionInfo(const std::string&) {}  ///< the version is not the user's to change

  TProgressEvent OnProgress;  ///< Called with the progress of an operation.
  TMessageEvent OnMessage;  ///< Called with every message, error or information.
  TNotifyEvent OnDirUpdate;  ///< Called after the archive's directory was read anew.

  // Run-time state.
  bool Cancel() const { return cancel_; }  ///< Whether the operation under way is to stop.
  /// Asks the operation under way to stop, or clears the request.
  void SetCancel(bool value) { cancel_ = value; }
  int ErrCode() const { return errCode_; }  ///< The message ID of the last error, 0 when none.
  const std::string& Message() const { return message_; }  ///< The text of the last message.
  int SuccessCnt() const { return successCnt_; }  ///< How many members the last operation handled.
  /// The members of the archive, as its central directory lists them.
  const std::vector<ZipDirEntry>& ZipContents() const { return zipContents_; }
  int Count() const { return GetCount(); }  ///< The number of members.
  int GetCount() const;  ///< The number of members; 0 without an archive.
  std::string ZipComment() const { return GetZipComment(); }  ///< The archive's comment.
  std::string GetZipComment() const;  ///< The archive's comment.
  /// The zip library's version, times 100; 0 when it cannot be loaded.
  int ZipVers() { return GetZipVers(); }
  /// The unzip library's version, times 100; 0 when it cannot be loaded.
  int UnzVers() { return GetUnzVers(); }

  // The archive libraries.
  void Load_Zip_Dll();  ///< Loads the zip library; a failure is reported.
  void Load_Unz_Dll();  ///< Loads the unzip library; a failure is reported.
  void Unload_Zip_Dll();  ///< Unloads the zip library.
  void Unload_Unz_Dll();  ///< Unloads the unzip library.
  int GetZipVers();  ///< The zip library's version, loading it for the question when it is not loaded.
  int GetUnzVers();  ///< The unzip library's version, loading it for the question when it is not loaded.

  /// The libraries' callback: reports progress and messages, lets pending events run, and
  /// returns non-zero when Cancel is set.
  static int ZCallback(ZCallBackStruct* record);

  // Messages.
  /// Reports message ident with userStr behind it, in ErrCode, Message, OnMessage and a box.
  void ShowZipMessage(int ident, const std::string& userStr);
  /// The text of message ident, or defaultText when there is none.
  std::string LoadZipStr(int ident, const std::string& defaultText) const;
  /// Reports a failure as ShowZipMessage does, the box only when the error asks for one.
  void ShowExceptionError(const EZipBuilder& error);

  // Passwords through the dialogs service.
  /// Asks twice for the password of new members; empty when cancelled or the two differ.
  std::string GetAddPassword();
  std::string GetExtrPassword();  ///< Asks for the password of encrypted members; empty when cancelled.
  /// Asks once: 0 to confirm, 1 to extract, 2 for a new archive; empty when cancelled.
  std::string GetPassword(int type);

  // Directory reading.
  void List();  ///< Reads the archive's central directory into ZipContents.
  /// Opens the archive and reads its end record; false, or raises with doExcept, when there is none.
  bool CheckIfLastDisk(ZipEndOfCentral& eoc, bool doExcept);
  void FreeZipDirEntryRecords();  ///< Empties ZipContents.
  // Where the archive's data begins (the bytes before it belong to a stub), and whether its
  // central directory lay elsewhere than its end record said.
  /// Where the archive's data begins; the bytes before it belong to a stub.
  int64_t ZipSOC() const { return zipSOC_; }
  /// Whether the central directory lay elsewhere than its end record said.
  bool OffsetsShifted() const { return offsetsShifted_; }
  /// The 0-based number of the last volume: 0 for an archive that is not spanned.
  int TotalDisks() const { return totalDisks_; }
  int64_t FileSize() const { return fileSize_; }  ///< The archive's size as its end record tells it.
  int64_t RealFileSize() const { return realFileSize_; }  ///< The archive file's size on disk.

  // The archive operations; their outcome is in SuccessCnt, ErrCode and Message.
  /// Adds the files of FSpecArgs to the archive; the outcome is in SuccessCnt, ErrCode and Message.
  void Add();
  void Delete();  ///< Deletes the members of FSpecArgs from the archive; the outcome as Add's.
  void Extract();  ///< Extracts (or tests) the members of FSpecArgs; the outcome as Add's.

  // File helpers; the results are 0 or small negative codes.
  /// Copies readLen bytes (-1: to the end) between two open files; 0, or a negative code.
  int CopyBuffer(int& inFile, int& outFile, int readLen);
  int CopyFile(const std::string& in, const std::string& out);  ///< Copies a file; 0, or a negative code.
  /// Deletes a file at once or into the trash; 0, or -1 when it does not exist.
  int EraseFile(const std::string& fileName, DeleteOpts how);

  // Name and text helpers.
  /// Converts a member name from the OEM code page where CodePage says so.
  void ConvertOem2Iso(std::string& text, bool utf8Flagged = false) const;
  static std::string AppendSlash(const std::string& s);  ///< s with a separator at its end.
  static std::string ReplaceForwardSlash(const std::string& s);  ///< s with every '/' made a '\'.

  /// Writes the archive inFileName as the volumes of outFileName. Spanning over volumes: the
  /// archive cut into volumes (removable disks labelled "PKBACK# 001" and on, or numbered files
  /// A001.zip, A002.zip on other drives) and joined back. 0 on success, -7 after a reported
  /// failure, -8 out of memory, -9 any other error. ReadSpan takes a folder (ending in a separator)
  /// or a file name and gives back the joined archive's name.
  int WriteSpan(const std::string& inFileName, const std::string& outFileName);
  /// Joins the volumes of a spanned archive into one file; the codes as WriteSpan's.
  int ReadSpan(const std::string& inFileName, std::string& outFilePath);
  /// Makes the archive self-extracting (newSFX: as a new file). Self-extracting archives: the stub
  /// ZIPSFX.BIN, a 256-byte options header and the archive behind them, offsets shifted by what
  /// stands in front; and back. 0 on success, -1 no output, -2 a write failed, -3 the stub or
  /// archive unreadable, -9 nothing done or sizes that do not add up.
  int ConvertSFX(bool newSFX = false);
  int ConvertZIP();  ///< Turns a self-extracting archive back into a plain one; the codes as ConvertSFX's.
  /// The central directory and end record copied from the open archive, every offset moved by
  /// offsetChange; 0, or -2 on any failure.
  int RWCentralDir(int& outFile, const ZipEndOfCentral& eoc, int64_t offsetChange);
  /// "MPU", the option flags, the three text lengths and the texts, zero-filled to 256 bytes.
  std::string BuildSFXHeader() const;

  /// One member while spanning or joining.
  struct MDZipData {
    uint16_t DiskStart = 0;     ///< volume of the local header (0-based)
    uint32_t RelOffLocal = 0;   ///< its offset within that volume (within the joined file when joining)
    uint32_t FileNameLen = 0;  ///< Length of the name.
    std::string FileName;       ///< as stored, forward slashes kept
    uint32_t ComprSize = 0;     ///< from the central directory (joining)
  };
  static std::vector<MDZipData> AllocSpanMem(int count);  ///< count empty records.
  static void DeleteSpanMem(std::vector<MDZipData>& records);  ///< Frees the records.
  /// The first record whose name equals name over nameLen characters, letter case aside;
  /// raises 11026 when there is none.
  static int FindZipEntry(int count, const std::vector<MDZipData>& records, const char* name, int nameLen);

  // Volumes and disk prompts.
  bool IsDiskPresent();  ///< Whether the drive holds a medium; reports when it does not.
  /// Bit 0: measure the free space, bit 1: the size (-1 each when it cannot be measured).
  void DiskFreeAndSize(int action);
  /// Makes sure the drive has a disk, prompting for the wanted one where it must; the drive type.
  int CheckForDisk();
  /// Whether the medium in the drive is the one wanted; on fixed drives, the volume's file name.
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
  /// The root of the drive that holds the archive.
  const std::string& DriveRoot() const { return driveRoot_; }
  const std::string& VolumeLabel() const { return volumeLabel_; }  ///< The label of the medium in the drive.
  int64_t DiskFree() const { return diskFree_; }  ///< Free bytes of the medium, -1 when unmeasured.
  int64_t DiskSize() const { return diskSize_; }  ///< Size of the medium, -1 when unmeasured.

 protected:
  /// Formats the disk in the drive with the wanted label: 0 done, -1 failed, -2 cancelled,
  /// -3 no format could be started.
  virtual int ZipFormat();
  // Where the stub and the libraries are looked for: the running program's folder, then the
  // folder of the component library's private files (PrivateFilesFolder); empty when unknown.
  /// The running program's folder, where the stub and the libraries are looked for first.
  virtual std::string ProgramFolder() const;
  virtual std::string PrivateFolder() const;  ///< The private folder, where they are looked for next.

 private:
  /// Its parts, each in a file named for it; the operations that keep state for their length are
  /// objects of their own.
  struct TDll;        ///< one archive library (zip_libraries.h)
  class TSpanWriter;  ///< one WriteSpan (zip_spanning.h, zip_span_writer.cpp)
  class TSpanJoiner;  ///< one ReadSpan (zip_spanning.h, zip_span_joiner.cpp)

  /// The frame (zip_builder.cpp).
  MIRNAX_NO_EXPORT void Report(const std::string& text, bool show);
  MIRNAX_NO_EXPORT void ProcessMessages() const;
  MIRNAX_NO_EXPORT void Progress(ProgressType type, const std::string& name, int64_t size);

  /// The archive libraries and their command records (zip_libraries.cpp).
  MIRNAX_NO_EXPORT int GetVers(TDll& dll);
  MIRNAX_NO_EXPORT bool LoadDll(TDll& dll);
  MIRNAX_NO_EXPORT void UnloadDll(TDll& dll);
  MIRNAX_NO_EXPORT void SetZipSwitches(const std::string& archive);
  MIRNAX_NO_EXPORT void SetUnZipSwitches(const std::string& archive);
  /// One call of the zip library on the target (adding, or deleting), of the unzip library on the
  /// archive; the library's count of members done.
  MIRNAX_NO_EXPORT int RunZipDll(const std::string& target, bool deleting);
  MIRNAX_NO_EXPORT int RunUnzipDll(const std::string& archive);

  /// Add, Delete, Extract (zip_operations.cpp).
  MIRNAX_NO_EXPORT void ResetOutcome();
  MIRNAX_NO_EXPORT std::string TempZipName();
  MIRNAX_NO_EXPORT bool ArchiveEncrypted() const;
  /// The end of every Add and Delete: file masks, record and library released, the busy flag
  /// cleared, the directory read again when the archive changed (after a delete, a directory that
  /// cannot be read is reported with the delete that was done).
  MIRNAX_NO_EXPORT void EndZipCall(bool unload, bool deleting = false);
  /// Runs the unzip library in ExtrBaseDir and gives the caller's folder back; joined, a joined
  /// copy of a spanned archive, is removed afterwards.
  MIRNAX_NO_EXPORT void ExtractInBaseFolder(const std::string& source, const std::string& joined);

  /// Directory reading (zip_directory.cpp).
  MIRNAX_NO_EXPORT void CloseArchiveFile();
  /// The open archive's handle, handed over to whoever reads on from it (the component's is then
  /// closed).
  MIRNAX_NO_EXPORT int TakeArchiveFile();
  MIRNAX_NO_EXPORT void ReadDirectory();
  /// The volume the archive says it is: by its disk's label, and whether it begins as the first
  /// volume of a set.
  MIRNAX_NO_EXPORT void NoteVolume();
  MIRNAX_NO_EXPORT bool ReadEndRecordAtEnd(ZipEndOfCentral& eoc);
  MIRNAX_NO_EXPORT bool FindEndRecordBehindComment(ZipEndOfCentral& eoc);
  MIRNAX_NO_EXPORT void ReadEntries(uint64_t entries);

  /// Volumes and disk prompts (zip_volumes.cpp): CheckForDisk, and while an archive of
  /// spannedSize bytes is spanned, a prompt that counts its disks.
  MIRNAX_NO_EXPORT int AskForDisk(int64_t spannedSize);

  /// Spanning and joining (zip_spanning.cpp). Runs one operation's body and reports its failure:
  /// 0, or -7 after a reported failure, -8 out of memory, -9 any other error.
  MIRNAX_NO_EXPORT int SpanFailure(const std::function<void()>& body);
  /// "Copying: " and the name, to OnMessage.
  MIRNAX_NO_EXPORT void ReportCopying(const std::string& name);

  /// Puts a finished side output in its target's place, a previous file erased as how says (none:
  /// replaced in one step); false, reported, when the new file could not take the target's name.
  MIRNAX_NO_EXPORT bool InstallOutput(zip_files::TSideOutput& output, std::optional<DeleteOpts> how);

  /// Self-extracting archives (zip_sfx_conversion.cpp). The stub in SFXPath, else found where
  /// ConvertSFX looks for it; false (reported) when there is none.
  MIRNAX_NO_EXPORT bool FindSfxStub();
  /// The one place a conversion writes its output file: write fills a side file and may say what
  /// size it must have; only a whole new file takes the name, whatever had it erased first (as
  /// HowToDelete says). 0, or the failure's code with the new file removed (-1 when it could not
  /// take the name, reported, and stays under its side name).
  MIRNAX_NO_EXPORT int WriteConversion(
      const std::string& output, unsigned mode,
      const std::function<int(int outFile, std::optional<int64_t>& expectedSize)>& write);
  /// The stub, its options header and the archive (or, new, an empty one) behind them.
  MIRNAX_NO_EXPORT int WriteSfx(int outFile, bool newSFX, std::optional<int64_t>& expectedSize);
  /// The library rewrites an archive without what stands in front of it: a self-extractor's
  /// archive is taken out into a temporary archive (target then names it), added to, and put back
  /// behind its program (PutBehindPrefix). The program's bytes; none when nothing stands in front.
  MIRNAX_NO_EXPORT std::string TakeOutSfxArchive(std::string& target);
  /// Copies the archive from byte from on to the output, its offsets moved by offsetChange.
  MIRNAX_NO_EXPORT int CopyArchiveShifted(const std::string& archive, int outFile, int64_t from, int64_t offsetChange,
                                          int64_t& archiveSize);
  /// Writes prefix and then the archive with its offsets moved behind it over output.
  MIRNAX_NO_EXPORT bool PutBehindPrefix(const std::string& prefix, const std::string& archive,
                                        const std::string& output);

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
