#pragma once

#include <QByteArray>
#include <cstdint>
#include <optional>
#include <string>

// A minimal little-endian ELF file in memory: its header, one note section and
// a section table, with the knobs that make it wrong in one place at a time.
struct ElfImage {
  static ElfImage withVersion(bool is64, uint32_t mostSignificant, uint32_t leastSignificant);
  // One note (owner, type, a zero descriptor of the given size) padded to the alignment.
  static QByteArray note(const std::string& owner, uint32_t type, uint32_t descriptorSize, uint64_t alignment = 4);
  QByteArray bytes() const;

  bool is64 = true;
  uint8_t elfClass = 2;
  uint8_t dataEncoding = 1;
  uint32_t sectionType = 7;
  uint64_t noteAlignment = 4;
  QByteArray notePrefix;
  std::string owner = "FileVersion";
  uint32_t type = 1;
  uint32_t descriptorSize = 8;
  uint32_t mostSignificant = 0;
  uint32_t leastSignificant = 0;

  uint64_t sectionOffsetShift = 0;
  std::optional<uint64_t> sectionSizeOverride;
  std::optional<uint32_t> nameSizeOverride;
  std::optional<uint32_t> descriptorSizeOverride;
  std::optional<uint16_t> sectionCountOverride;
  std::optional<uint16_t> entrySizeOverride;
  std::optional<uint64_t> tableOffsetOverride;
};
