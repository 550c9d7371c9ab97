#include "zip/zip_codec.h"

#include <algorithm>
#include <concepts>
#include <type_traits>

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

namespace {
// Each record's fields in their order on disk, listed once for reading and writing: f takes each
// field as wide as its type is.
template <class H, class F>
  requires std::same_as<std::remove_const_t<H>, TLocalHeader>
void Fields(H& h, F&& f) {
  f(h.Version); f(h.Flag); f(h.Method); f(h.ModTime); f(h.ModDate); f(h.Crc); f(h.CompressedSize);
  f(h.UncompressedSize); f(h.NameLength); f(h.ExtraLength);
}

template <class H, class F>
  requires std::same_as<std::remove_const_t<H>, TCentralHeader>
void Fields(H& h, F&& f) {
  f(h.MadeByVersion); f(h.HostSystem); f(h.Version); f(h.Flag); f(h.Method); f(h.ModTime); f(h.ModDate);
  f(h.Crc); f(h.CompressedSize); f(h.UncompressedSize); f(h.NameLength); f(h.ExtraLength); f(h.CommentLength);
  f(h.StartDisk); f(h.InternalAttributes); f(h.ExternalAttributes); f(h.LocalHeaderOffset);
}

template <class R, class F>
  requires std::same_as<std::remove_const_t<R>, TEndRecord>
void Fields(R& r, F&& f) {
  f(r.ThisDisk); f(r.CentralDisk); f(r.CentralEntries); f(r.TotalEntries); f(r.CentralSize); f(r.CentralOffset);
  f(r.CommentLength);
}

template <class R, class F>
  requires std::same_as<std::remove_const_t<R>, TZip64EndRecord>
void Fields(R& r, F&& f) {
  f(r.RecordSize); f(r.MadeByVersion); f(r.Version); f(r.ThisDisk); f(r.CentralDisk); f(r.CentralEntries);
  f(r.TotalEntries); f(r.CentralSize); f(r.CentralOffset);
}

template <class L, class F>
  requires std::same_as<std::remove_const_t<L>, TZip64Locator>
void Fields(L& l, F&& f) {
  f(l.EndRecordDisk); f(l.EndRecordOffset); f(l.TotalDisks);
}

struct TFieldReader {
  TByteReader& in;
  void operator()(uint8_t& v) const { v = in.U8(); }
  void operator()(uint16_t& v) const { v = in.U16(); }
  void operator()(uint32_t& v) const { v = in.U32(); }
  void operator()(uint64_t& v) const { v = in.U64(); }
};

struct TFieldWriter {
  TByteWriter& out;
  void operator()(uint8_t v) const { out.U8(v); }
  void operator()(uint16_t v) const { out.U16(v); }
  void operator()(uint32_t v) const { out.U32(v); }
  void operator()(uint64_t v) const { out.U64(v); }
};

template <class Record>
TReadResult ReadRecord(TByteReader& in, Record& record, size_t size, uint32_t signature) {
  if (const TReadResult r = Open(in, size, signature); r != TReadResult::Ok) return r;
  Fields(record, TFieldReader{in});
  return TReadResult::Ok;
}

template <class Record>
void WriteRecord(TByteWriter& out, const Record& record, uint32_t signature) {
  out.U32(signature);
  Fields(record, TFieldWriter{out});
}
}  // namespace

TReadResult Read(TByteReader& in, TLocalHeader& h) { return ReadRecord(in, h, kLocalHeaderSize, kLocalHeaderSig); }
void Write(TByteWriter& out, const TLocalHeader& h) { WriteRecord(out, h, kLocalHeaderSig); }
TReadResult Read(TByteReader& in, TCentralHeader& h) {
  return ReadRecord(in, h, kCentralHeaderSize, kCentralHeaderSig);
}
void Write(TByteWriter& out, const TCentralHeader& h) { WriteRecord(out, h, kCentralHeaderSig); }
TReadResult Read(TByteReader& in, TEndRecord& r) { return ReadRecord(in, r, kEndRecordSize, kEndRecordSig); }
void Write(TByteWriter& out, const TEndRecord& r) { WriteRecord(out, r, kEndRecordSig); }
TReadResult Read(TByteReader& in, TZip64EndRecord& r) { return ReadRecord(in, r, kZip64EndSize, kZip64EndSig); }
void Write(TByteWriter& out, const TZip64EndRecord& r) { WriteRecord(out, r, kZip64EndSig); }
TReadResult Read(TByteReader& in, TZip64Locator& l) { return ReadRecord(in, l, kZip64LocatorSize, kZip64LocatorSig); }
void Write(TByteWriter& out, const TZip64Locator& l) { WriteRecord(out, l, kZip64LocatorSig); }

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
