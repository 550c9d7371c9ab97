// Spanning an archive over volumes and joining the volumes back into one archive. Each is an
// object that lives for one WriteSpan or ReadSpan and owns its files, its buffer and its counters
// (TSpanWriter in zip_span_writer.cpp, TSpanJoiner in zip_span_joiner.cpp); what stays on the
// component is the volume state its public members report (the drive, its label and free space,
// the disk number, the number of disks). The pieces both share are here and in zip_spanning.cpp.
#pragma once

#include "zip/zip_builder.h"
#include "zip/zip_file_helpers.h"
#include "zip/zip_side_output.h"

#include <ctime>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace mirnax {

namespace zip_spanning {

// Spanning and joining move whole archives: large blocks keep them near the speed of a plain copy.
inline constexpr int kSpanBufferSize = 1 << 20;
inline constexpr int64_t kKernelCopyBlock = 8 << 20;

// Matches central headers to the members recorded for them: each name in turn takes the first
// member of that name not yet taken, so a set with two members of one name keeps both.
class TMemberIndex {
 public:
  explicit TMemberIndex(const std::vector<TZipBuilder::MDZipData>& records);
  // The member's index; raises zmMemberNotFound when no member of that name is left.
  size_t Take(const std::string& name);

 private:
  std::unordered_map<std::string, std::deque<size_t>> byName_;
};

}  // namespace zip_spanning

// Cuts one archive into volumes: removable disks labelled "PKBACK# 001" and on, or numbered files
// on other drives.
class MIRNAX_NO_EXPORT TZipBuilder::TSpanWriter {
 public:
  TSpanWriter(TZipBuilder& zip, const std::string& outFileName);
  TSpanWriter(const TSpanWriter&) = delete;
  TSpanWriter& operator=(const TSpanWriter&) = delete;

  // Writes the archive onto the volumes; a failure is raised for the caller to report.
  void Run(const std::string& inFileName);
  // Closes the volume being written, with the source's time; raises zmOutputWriteError when the
  // close fails.
  void CloseVolume();

 private:
  ZipEndOfCentral OpenSource(const std::string& inFileName);
  // The central directory's names and compressed sizes, for members whose local header left the
  // size to a data descriptor.
  std::vector<MDZipData> ReadCentralSizes(const ZipEndOfCentral& eoc);
  void CopyMember(MDZipData& member, zip_spanning::TMemberIndex& central, const std::vector<MDZipData>& sizes);
  // The central headers, each naming the volume and offset its member went to; the volume and
  // offset the directory begins at.
  void CopyCentral(const ZipEndOfCentral& eoc, uint16_t& centralDisk, uint32_t& centralOffset);
  void WriteEnd(const ZipEndOfCentral& eoc, uint16_t centralDisk, uint32_t centralOffset);

  // Output volumes.
  void OpenVolume();
  // The volume's file, its disk formatted first where the span formats its disks.
  std::string PrepareVolume(int driveType);
  // false when the user puts in another disk rather than overwrite the file there.
  bool MayOverwrite(const std::string& name);
  // false when the disk has too little room and the user puts in another.
  bool CreateVolume(const std::string& name);
  void LabelVolume(int driveType);
  void NextVolume();
  // Writes len bytes, on as many volumes as they need; with minSize, only onto a volume that
  // still takes that much.
  void WriteSplit(const char* buffer, int64_t len, int64_t minSize);
  // Copies len bytes of the source onto the volumes; a short read raises errId.
  void CopySplit(int64_t len, int errId);

  TZipBuilder& zip_;
  const std::string outFileName_;
  zip_files::TFileHandle in_;   // the archive being spanned
  int64_t sourceSize_ = 0;
  zip_files::TFileHandle out_;  // the volume being written
  int64_t bytesWritten_ = 0;    // to the current volume
  int64_t freeOnDisk_ = 0;      // what the current volume still takes
  struct timespec sourceTime_ {};
  bool showProgress_ = false;
  std::vector<char> buffer_;
  std::vector<MDZipData> records_;
};

// Joins the volumes of a set, from its last one back to its first, into one archive.
class MIRNAX_NO_EXPORT TZipBuilder::TSpanJoiner {
 public:
  explicit TSpanJoiner(TZipBuilder& zip);
  TSpanJoiner(const TSpanJoiner&) = delete;
  TSpanJoiner& operator=(const TSpanJoiner&) = delete;

  // Joins the set whose last volume is inFileName into an archive named by wanted (a folder, or a
  // file name whose extension becomes .zip); a failure is raised for the caller to report.
  void Run(const std::string& inFileName, const std::string& wanted);
  // Closes the files and settles the outcome of the join: the joined archive's name in
  // outFilePath, or after a failure no name and no output. result, or -7 when the output did not
  // close.
  int Finish(int result, std::string& outFilePath);

 private:
  // Where the joined archive is written.
  void CreateOutput(const std::string& wanted);
  ZipEndOfCentral FindLastVolume(const std::string& inFileName);
  // The central directory's names and compressed sizes; the bytes the members take.
  int64_t ReadCentralNames();
  void CopyMember(zip_spanning::TMemberIndex& index);
  void CopyDescriptor();
  void CopyCentralHeader(const MDZipData& member);
  void CopyEnd(int64_t centralStart);

  // Opens the set's volume disk, prompting until it is there.
  void OpenVolume(int disk);
  // Reads len bytes from the current volume on; a volume that ends first gives way to the next
  // one, never past the last of the set.
  void Read(char* buffer, int64_t len, int errId);
  template <class Record>
  void ReadRecord(Record& record, int shortId, int badId);
  void Write(const char* buffer, int64_t len, int errId);
  void Copy(int64_t len, int errId);

  TZipBuilder& zip_;
  zip_files::TFileHandle in_;   // the volume being read
  std::unique_ptr<zip_files::TSideOutput> out_;  // the joined archive, until it is whole
  std::string outName_;
  std::string givenName_;  // the name asked for, when it is not outName_ and a file has it
  int64_t bytesWritten_ = 0;
  struct timespec sourceTime_ {};
  bool showProgress_ = false;
  std::vector<char> buffer_;
  std::vector<MDZipData> records_;
};

}  // namespace mirnax
