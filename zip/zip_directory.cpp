#include "zip/zip_directory.h"

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

}  // namespace mirnax
