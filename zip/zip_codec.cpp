#include "zip/zip_codec.h"

#include <algorithm>

namespace mirnax::zip_codec {

// ---- Reader and writer ----

const unsigned char* TByteReader::Take(size_t count) {
  if (!Has(count)) {
    ok_ = false;
    return nullptr;
  }
  const unsigned char* at = data_ + pos_;
  pos_ += count;
  return at;
}

uint8_t TByteReader::U8() {
  const unsigned char* p = Take(1);
  return p == nullptr ? 0 : p[0];
}

uint16_t TByteReader::U16() {
  const unsigned char* p = Take(2);
  return p == nullptr ? 0 : static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t TByteReader::U32() {
  const unsigned char* p = Take(4);
  if (p == nullptr) return 0;
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

uint64_t TByteReader::U64() {
  if (!Has(8)) {
    ok_ = false;
    return 0;
  }
  const uint64_t low = U32();
  return low | (uint64_t{U32()} << 32);
}

std::string_view TByteReader::Bytes(size_t count) {
  const unsigned char* p = Take(count);
  return p == nullptr ? std::string_view() : std::string_view(reinterpret_cast<const char*>(p), count);
}

bool TByteReader::Skip(size_t count) { return Take(count) != nullptr; }

void TByteWriter::U16(uint16_t value) {
  U8(static_cast<uint8_t>(value));
  U8(static_cast<uint8_t>(value >> 8));
}

void TByteWriter::U32(uint32_t value) {
  U16(static_cast<uint16_t>(value));
  U16(static_cast<uint16_t>(value >> 16));
}

void TByteWriter::U64(uint64_t value) {
  U32(static_cast<uint32_t>(value));
  U32(static_cast<uint32_t>(value >> 32));
}

// ---- Records ----

namespace {
// Checks that the whole fixed part is there and begins with the signature; the reader then
// stands behind the signature.
TReadResult Open(TByteReader& in, size_t size, uint32_t signature) {
  if (!in.Has(size)) {
    in.Skip(size);
    return TReadResult::Truncated;
  }
  return in.U32() == signature ? TReadResult::Ok : TReadResult::BadSignature;
}
}  // namespace

TReadResult Read(TByteReader& in, TLocalHeader& h) {
  if (const TReadResult r = Open(in, kLocalHeaderSize, kLocalHeaderSig); r != TReadResult::Ok) return r;
  h.Version = in.U16();
  h.Flag = in.U16();
  h.Method = in.U16();
  h.ModTime = in.U16();
  h.ModDate = in.U16();
  h.Crc = in.U32();
  h.CompressedSize = in.U32();
  h.UncompressedSize = in.U32();
  h.NameLength = in.U16();
  h.ExtraLength = in.U16();
  return TReadResult::Ok;
}

void Write(TByteWriter& out, const TLocalHeader& h) {
  out.U32(kLocalHeaderSig);
  out.U16(h.Version);
  out.U16(h.Flag);
  out.U16(h.Method);
  out.U16(h.ModTime);
  out.U16(h.ModDate);
  out.U32(h.Crc);
  out.U32(h.CompressedSize);
  out.U32(h.UncompressedSize);
  out.U16(h.NameLength);
  out.U16(h.ExtraLength);
}

TReadResult Read(TByteReader& in, TCentralHeader& h) {
  if (const TReadResult r = Open(in, kCentralHeaderSize, kCentralHeaderSig); r != TReadResult::Ok) return r;
  h.MadeByVersion = in.U8();
  h.HostSystem = in.U8();
  h.Version = in.U16();
  h.Flag = in.U16();
  h.Method = in.U16();
  h.ModTime = in.U16();
  h.ModDate = in.U16();
  h.Crc = in.U32();
  h.CompressedSize = in.U32();
  h.UncompressedSize = in.U32();
  h.NameLength = in.U16();
  h.ExtraLength = in.U16();
  h.CommentLength = in.U16();
  h.StartDisk = in.U16();
  h.InternalAttributes = in.U16();
  h.ExternalAttributes = in.U32();
  h.LocalHeaderOffset = in.U32();
  return TReadResult::Ok;
}

void Write(TByteWriter& out, const TCentralHeader& h) {
  out.U32(kCentralHeaderSig);
  out.U8(h.MadeByVersion);
  out.U8(h.HostSystem);
  out.U16(h.Version);
  out.U16(h.Flag);
  out.U16(h.Method);
  out.U16(h.ModTime);
  out.U16(h.ModDate);
  out.U32(h.Crc);
  out.U32(h.CompressedSize);
  out.U32(h.UncompressedSize);
  out.U16(h.NameLength);
  out.U16(h.ExtraLength);
  out.U16(h.CommentLength);
  out.U16(h.StartDisk);
  out.U16(h.InternalAttributes);
  out.U32(h.ExternalAttributes);
  out.U32(h.LocalHeaderOffset);
}

TReadResult Read(TByteReader& in, TEndRecord& r) {
  if (const TReadResult result = Open(in, kEndRecordSize, kEndRecordSig); result != TReadResult::Ok) return result;
  r.ThisDisk = in.U16();
  r.CentralDisk = in.U16();
  r.CentralEntries = in.U16();
  r.TotalEntries = in.U16();
  r.CentralSize = in.U32();
  r.CentralOffset = in.U32();
  r.CommentLength = in.U16();
  return TReadResult::Ok;
}

void Write(TByteWriter& out, const TEndRecord& r) {
  out.U32(kEndRecordSig);
  out.U16(r.ThisDisk);
  out.U16(r.CentralDisk);
  out.U16(r.CentralEntries);
  out.U16(r.TotalEntries);
  out.U32(r.CentralSize);
  out.U32(r.CentralOffset);
  out.U16(r.CommentLength);
}

TReadResult Read(TByteReader& in, TZip64EndRecord& r) {
  if (const TReadResult result = Open(in, kZip64EndSize, kZip64EndSig); result != TReadResult::Ok) return result;
  r.RecordSize = in.U64();
  r.MadeByVersion = in.U16();
  r.Version = in.U16();
  r.ThisDisk = in.U32();
  r.CentralDisk = in.U32();
  r.CentralEntries = in.U64();
  r.TotalEntries = in.U64();
  r.CentralSize = in.U64();
  r.CentralOffset = in.U64();
  return TReadResult::Ok;
}

void Write(TByteWriter& out, const TZip64EndRecord& r) {
  out.U32(kZip64EndSig);
  out.U64(r.RecordSize);
  out.U16(r.MadeByVersion);
  out.U16(r.Version);
  out.U32(r.ThisDisk);
  out.U32(r.CentralDisk);
  out.U64(r.CentralEntries);
  out.U64(r.TotalEntries);
  out.U64(r.CentralSize);
  out.U64(r.CentralOffset);
}

TReadResult Read(TByteReader& in, TZip64Locator& l) {
  if (const TReadResult result = Open(in, kZip64LocatorSize, kZip64LocatorSig); result != TReadResult::Ok)
    return result;
  l.EndRecordDisk = in.U32();
  l.EndRecordOffset = in.U64();
  l.TotalDisks = in.U32();
  return TReadResult::Ok;
}

void Write(TByteWriter& out, const TZip64Locator& l) {
  out.U32(kZip64LocatorSig);
  out.U32(l.EndRecordDisk);
  out.U64(l.EndRecordOffset);
  out.U32(l.TotalDisks);
}

TReadResult Read(TByteReader& in, TDataDescriptor& d) {
  if (!in.Has(kShortDataDescriptorSize)) {
    in.Skip(kShortDataDescriptorSize);
    return TReadResult::Truncated;
  }
  const uint32_t first = in.U32();
  d.Signed = first == kDataDescriptorSig;
  if (d.Signed && !in.Has(kDataDescriptorSize - kSignatureSize)) {
    in.Skip(kDataDescriptorSize);
    return TReadResult::Truncated;
  }
  // Without its signature the first four bytes were the CRC.
  d.Crc = d.Signed ? in.U32() : first;
  d.CompressedSize = in.U32();
  d.UncompressedSize = in.U32();
  return TReadResult::Ok;
}

void Write(TByteWriter& out, const TDataDescriptor& d) {
  if (d.Signed) out.U32(kDataDescriptorSig);
  out.U32(d.Crc);
  out.U32(d.CompressedSize);
  out.U32(d.UncompressedSize);
}

// ---- Finding records ----

bool StartsWith(std::string_view bytes, uint32_t signature) {
  TByteReader in(bytes);
  return in.U32() == signature && in.Ok();
}

size_t DataDescriptorLength(std::string_view firstFour) {
  return StartsWith(firstFour, kDataDescriptorSig) ? kDataDescriptorSize : kShortDataDescriptorSize;
}

size_t FindEndRecord(std::string_view bytes, size_t from) {
  if (bytes.size() < kEndRecordSize) return std::string_view::npos;
  for (size_t i = std::min(from, bytes.size() - kEndRecordSize) + 1; i-- > 0;)
    if (StartsWith(bytes.substr(i), kEndRecordSig)) return i;
  return std::string_view::npos;
}

// ---- The self-extractor's header ----

std::string EncodeSfxHeader(const TSfxHeader& h) {
  std::string bytes;
  TByteWriter out(bytes);
  out.Bytes(kSfxHeaderMark);
  out.U8(h.Flags);
  out.U8(static_cast<uint8_t>(h.Caption.size()));
  out.U8(static_cast<uint8_t>(h.DefaultDir.size()));
  out.U8(static_cast<uint8_t>(h.CommandLine.size()));
  out.Bytes(h.Caption);
  out.Bytes(h.DefaultDir);
  out.Bytes(h.CommandLine);
  bytes.resize(kSfxHeaderSize, '\0');
  return bytes;
}

TReadResult DecodeSfxHeader(std::string_view bytes, TSfxHeader& h) {
  TByteReader in(bytes.substr(0, kSfxHeaderSize));
  if (!in.Has(kSfxHeaderSize)) return TReadResult::Truncated;
  if (in.Bytes(kSfxHeaderMark.size()) != kSfxHeaderMark) return TReadResult::BadSignature;
  h.Flags = in.U8();
  const uint8_t captionLength = in.U8(), dirLength = in.U8(), commandLength = in.U8();
  h.Caption = in.Bytes(captionLength);
  h.DefaultDir = in.Bytes(dirLength);
  h.CommandLine = in.Bytes(commandLength);
  return in.Ok() ? TReadResult::Ok : TReadResult::Truncated;
}

}  // namespace mirnax::zip_codec
