// Archives made byte by byte for the zip tests and the directory fuzzer's seeds, so every field
// (names, comments, host systems, offsets, trailing bytes) is exactly what a case needs; and a
// recorder of what the component reports.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace zipfixture {

struct TMember {
  std::string name;
  std::string data;
  std::string comment;
  uint16_t flags = 0;
  uint8_t host = 3;        // host system of the creator (0 FAT, 3 Unix, 11 NTFS)
  uint8_t madeBy = 20;
  uint32_t unixMode = 0100644;
};

inline void Put16(std::string& s, uint32_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}
inline void Put32(std::string& s, uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

inline std::string EndRecord(uint16_t entries, uint32_t cdSize, uint32_t cdOffset, const std::string& comment) {
  std::string s;
  Put32(s, 0x06054B50);
  Put16(s, 0);
  Put16(s, 0);
  Put16(s, entries);
  Put16(s, entries);
  Put32(s, cdSize);
  Put32(s, cdOffset);
  Put16(s, static_cast<uint32_t>(comment.size()));
  return s + comment;
}

inline void Put64(std::string& s, uint64_t v) {
  Put32(s, static_cast<uint32_t>(v));
  Put32(s, static_cast<uint32_t>(v >> 32));
}

// The 64-bit end record and its locator, as an archive of more than 65535 members has them in
// front of its end record; the end record itself then says 0xFFFF members.
inline std::string Zip64End(uint64_t entries, uint64_t cdSize, uint64_t cdOffset) {
  std::string s;
  Put32(s, 0x06064B50);
  Put64(s, 44);
  Put16(s, 45);
  Put16(s, 45);
  Put32(s, 0);
  Put32(s, 0);
  Put64(s, entries);
  Put64(s, entries);
  Put64(s, cdSize);
  Put64(s, cdOffset);
  Put32(s, 0x07064B50);
  Put32(s, 0);
  Put64(s, cdOffset + cdSize);
  Put32(s, 1);
  return s;
}

// A stored (uncompressed) archive of the members, with the archive comment; zip64 gives it the
// 64-bit end record whatever the member count.
inline std::string MakeArchive(const std::vector<TMember>& members, const std::string& comment = "", bool zip64 = false) {
  std::string data, central;
  for (const TMember& m : members) {
    const uint32_t crc = static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(m.data.data()), static_cast<uInt>(m.data.size())));
    const auto offset = static_cast<uint32_t>(data.size());
    Put32(data, 0x04034B50);
    Put16(data, 20);
    Put16(data, m.flags);
    Put16(data, 0);
    Put16(data, 0x6000);  // 12:00:00
    Put16(data, 0x5A21);  // 2025-01-01
    Put32(data, crc);
    Put32(data, static_cast<uint32_t>(m.data.size()));
    Put32(data, static_cast<uint32_t>(m.data.size()));
    Put16(data, static_cast<uint32_t>(m.name.size()));
    Put16(data, 0);
    data += m.name + m.data;

    Put32(central, 0x02014B50);
    central += static_cast<char>(m.madeBy);
    central += static_cast<char>(m.host);
    Put16(central, 20);
    Put16(central, m.flags);
    Put16(central, 0);
    Put16(central, 0x6000);
    Put16(central, 0x5A21);
    Put32(central, crc);
    Put32(central, static_cast<uint32_t>(m.data.size()));
    Put32(central, static_cast<uint32_t>(m.data.size()));
    Put16(central, static_cast<uint32_t>(m.name.size()));
    Put16(central, 0);
    Put16(central, static_cast<uint32_t>(m.comment.size()));
    Put16(central, 0);
    Put16(central, 0);
    Put32(central, m.host == 3 ? m.unixMode << 16 : 0);
    Put32(central, offset);
    central += m.name + m.comment;
  }
  const bool wide = zip64 || members.size() > 0xFFFF;
  return data + central + (wide ? Zip64End(members.size(), central.size(), data.size()) : "") +
         EndRecord(wide ? 0xFFFF : static_cast<uint16_t>(members.size()), static_cast<uint32_t>(central.size()),
                   static_cast<uint32_t>(data.size()), comment);
}

}  // namespace zipfixture
