// The zip format's records, read and written in this one place: the end of central directory
// record and its Zip64 forms, the central and local headers, the data descriptor, and the
// self-extractor's options header. Reading goes through TByteReader, which checks every length
// before it reads; writing through TByteWriter, which only appends. No Qt and no other library:
// the component, the self-extractor stub and the fuzz targets all build it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace mirnax::zip_codec {

// Signatures.
inline constexpr uint32_t kLocalHeaderSig = 0x04034B50;
inline constexpr uint32_t kCentralHeaderSig = 0x02014B50;
inline constexpr uint32_t kEndRecordSig = 0x06054B50;
inline constexpr uint32_t kZip64EndSig = 0x06064B50;
inline constexpr uint32_t kZip64LocatorSig = 0x07064B50;
// The data descriptor's optional signature; it also opens the first volume of a spanned set.
inline constexpr uint32_t kDataDescriptorSig = 0x08074B50;
inline constexpr uint32_t kSpanMarkerSig = kDataDescriptorSig;

// Sizes of the fixed parts.
inline constexpr size_t kSignatureSize = 4;
inline constexpr size_t kLocalHeaderSize = 30;
inline constexpr size_t kCentralHeaderSize = 46;
inline constexpr size_t kEndRecordSize = 22;
inline constexpr size_t kZip64EndSize = 56;
inline constexpr size_t kZip64LocatorSize = 20;
inline constexpr size_t kDataDescriptorSize = 16;       // with its signature
inline constexpr size_t kShortDataDescriptorSize = 12;  // without
inline constexpr size_t kMaxCommentLength = 65535;
// What follows the Zip64 end record's size field, without extensible data.
inline constexpr uint64_t kZip64EndRecordRest = kZip64EndSize - 12;
// The traditional PKWARE encryption header in front of an encrypted member's data.
inline constexpr size_t kEncryptionHeaderSize = 12;

// General purpose flags.
inline constexpr uint16_t kEncryptedFlag = 1u << 0;
inline constexpr uint16_t kDescriptorFlag = 1u << 3;  // sizes and CRC follow the data
inline constexpr uint16_t kUtf8Flag = 1u << 11;       // name and comment are UTF-8

// Host systems of "version made by".
inline constexpr uint8_t kHostMsDos = 0;
inline constexpr uint8_t kHostUnix = 3;
inline constexpr uint8_t kHostHpfs = 6;
inline constexpr uint8_t kHostNtfs = 11;

// End record values that send the reader to the Zip64 end record.
inline constexpr uint16_t kZip64Count = 0xFFFF;
inline constexpr uint32_t kZip64Size = 0xFFFFFFFF;

// Little-endian reads over bytes that it never leaves: a read that does not fit reads nothing,
// gives 0 (or an empty view) and leaves the reader failed for good, so a record read field by
// field is checked once at its end.
class TByteReader {
 public:
  TByteReader(const void* data, size_t size) : data_(static_cast<const unsigned char*>(data)), size_(size) {}
  explicit TByteReader(std::string_view bytes) : TByteReader(bytes.data(), bytes.size()) {}

  bool Ok() const { return ok_; }
  size_t Position() const { return pos_; }
  size_t Remaining() const { return size_ - pos_; }
  bool Has(size_t count) const { return ok_ && count <= Remaining(); }

  uint8_t U8();
  uint16_t U16();
  uint32_t U32();
  uint64_t U64();
  // The next count bytes, viewed in place.
  std::string_view Bytes(size_t count);
  bool Skip(size_t count);

 private:
  const unsigned char* Take(size_t count);

  const unsigned char* data_;
  size_t size_;
  size_t pos_ = 0;
  bool ok_ = true;
};

// Little-endian writes appended to a string; it grows as it writes, so nothing lands outside it.
class TByteWriter {
 public:
  explicit TByteWriter(std::string& out) : out_(out) {}
  void U8(uint8_t value) { out_ += static_cast<char>(value); }
  void U16(uint16_t value);
  void U32(uint32_t value);
  void U64(uint64_t value);
  void Bytes(std::string_view bytes) { out_ += bytes; }

 private:
  std::string& out_;
};

enum class TReadResult { Ok, Truncated, BadSignature };

// The fixed part of a local header; the name and the extra field follow it.
struct TLocalHeader {
  static constexpr size_t kFixedSize = kLocalHeaderSize;
  uint16_t Version = 0;
  uint16_t Flag = 0;
  uint16_t Method = 0;
  uint16_t ModTime = 0;
  uint16_t ModDate = 0;
  uint32_t Crc = 0;
  uint32_t CompressedSize = 0;
  uint32_t UncompressedSize = 0;
  uint16_t NameLength = 0;
  uint16_t ExtraLength = 0;

  bool HasDescriptor() const { return (Flag & kDescriptorFlag) != 0; }
  // The name and extra field behind the fixed part.
  size_t TailLength() const { return size_t{NameLength} + ExtraLength; }
};

// The fixed part of a central header; the name, the extra field and the comment follow it.
struct TCentralHeader {
  static constexpr size_t kFixedSize = kCentralHeaderSize;
  uint8_t MadeByVersion = 0;
  uint8_t HostSystem = 0;
  uint16_t Version = 0;
  uint16_t Flag = 0;
  uint16_t Method = 0;
  uint16_t ModTime = 0;
  uint16_t ModDate = 0;
  uint32_t Crc = 0;
  uint32_t CompressedSize = 0;
  uint32_t UncompressedSize = 0;
  uint16_t NameLength = 0;
  uint16_t ExtraLength = 0;
  uint16_t CommentLength = 0;
  uint16_t StartDisk = 0;
  uint16_t InternalAttributes = 0;
  uint32_t ExternalAttributes = 0;
  uint32_t LocalHeaderOffset = 0;

  // The name, extra field and comment behind the fixed part.
  size_t TailLength() const { return size_t{NameLength} + ExtraLength + CommentLength; }
};

// The end of central directory record; the archive comment follows it.
struct TEndRecord {
  static constexpr size_t kFixedSize = kEndRecordSize;
  uint16_t ThisDisk = 0;
  uint16_t CentralDisk = 0;
  uint16_t CentralEntries = 0;
  uint16_t TotalEntries = 0;
  uint32_t CentralSize = 0;
  uint32_t CentralOffset = 0;
  uint16_t CommentLength = 0;

  // Whether a count, size or offset stands for a value kept in the Zip64 end record.
  bool PointsToZip64() const {
    return TotalEntries == kZip64Count || CentralSize == kZip64Size || CentralOffset == kZip64Size;
  }
};

// The Zip64 end of central directory record (version 1, without its extensible data).
struct TZip64EndRecord {
  static constexpr size_t kFixedSize = kZip64EndSize;
  uint64_t RecordSize = kZip64EndRecordRest;
  uint16_t MadeByVersion = 45;
  uint16_t Version = 45;
  uint32_t ThisDisk = 0;
  uint32_t CentralDisk = 0;
  uint64_t CentralEntries = 0;
  uint64_t TotalEntries = 0;
  uint64_t CentralSize = 0;
  uint64_t CentralOffset = 0;
};

// The Zip64 end of central directory locator, just in front of the end record.
struct TZip64Locator {
  static constexpr size_t kFixedSize = kZip64LocatorSize;
  uint32_t EndRecordDisk = 0;
  uint64_t EndRecordOffset = 0;
  uint32_t TotalDisks = 1;
};

// The data descriptor behind a member's data, with or without its optional signature.
struct TDataDescriptor {
  bool Signed = true;
  uint32_t Crc = 0;
  uint32_t CompressedSize = 0;
  uint32_t UncompressedSize = 0;

  size_t Size() const { return Signed ? kDataDescriptorSize : kShortDataDescriptorSize; }
};

// Each Read takes the record's fixed part from the reader: Truncated when the bytes end before
// it does (the reader is then failed), else BadSignature when they are not that record; after
// either, where the reader stands is not to be relied on. Each Write appends the record's fixed
// part; Encode returns it.
TReadResult Read(TByteReader& in, TLocalHeader& header);
TReadResult Read(TByteReader& in, TCentralHeader& header);
TReadResult Read(TByteReader& in, TEndRecord& record);
TReadResult Read(TByteReader& in, TZip64EndRecord& record);
TReadResult Read(TByteReader& in, TZip64Locator& locator);
// A descriptor without its signature has none to be wrong: it is never BadSignature.
TReadResult Read(TByteReader& in, TDataDescriptor& descriptor);
void Write(TByteWriter& out, const TLocalHeader& header);
void Write(TByteWriter& out, const TCentralHeader& header);
void Write(TByteWriter& out, const TEndRecord& record);
void Write(TByteWriter& out, const TZip64EndRecord& record);
void Write(TByteWriter& out, const TZip64Locator& locator);
void Write(TByteWriter& out, const TDataDescriptor& descriptor);

// The record read from the start of bytes.
template <class Record>
TReadResult Decode(std::string_view bytes, Record& record) {
  TByteReader in(bytes);
  return Read(in, record);
}

template <class Record>
std::string Encode(const Record& record) {
  std::string bytes;
  TByteWriter out(bytes);
  Write(out, record);
  return bytes;
}

// Whether bytes begin with the signature.
bool StartsWith(std::string_view bytes, uint32_t signature);
// A data descriptor's whole length (16 or 12) from its first four bytes, which are its signature
// or else its CRC.
size_t DataDescriptorLength(std::string_view firstFour);
// Where the last end record of bytes begins, searching back from position from (or the last
// position a whole record fits, whichever is lower); npos when there is none.
size_t FindEndRecord(std::string_view bytes, size_t from = std::string_view::npos);

// The self-extractor's options header: "MPU", the option flags, the three text lengths and the
// texts, zero-filled to 256 bytes. It stands just in front of the archive behind the stub.
inline constexpr size_t kSfxHeaderSize = 256;
inline constexpr std::string_view kSfxHeaderMark = "MPU";
inline constexpr uint8_t kSfxAskCmdLine = 0x01;
inline constexpr uint8_t kSfxAskFiles = 0x02;
inline constexpr uint8_t kSfxHideOverwriteBox = 0x04;
inline constexpr uint8_t kSfxOverwriteAlways = 0x08;
inline constexpr uint8_t kSfxOverwriteNever = 0x10;
inline constexpr uint8_t kSfxNoCheckSize = 0x20;
inline constexpr uint8_t kSfxAutoRun = 0x40;

struct TSfxHeader {
  uint8_t Flags = 0;
  std::string Caption;
  std::string DefaultDir;
  std::string CommandLine;
};

// Each length is written in one byte, and texts that would run past 256 bytes are cut there.
std::string EncodeSfxHeader(const TSfxHeader& header);
// BadSignature without "MPU"; Truncated when the lengths point past the header's 256 bytes.
TReadResult DecodeSfxHeader(std::string_view bytes, TSfxHeader& header);

}  // namespace mirnax::zip_codec
