#include "platform/files/ElfFileVersion.h"

#include <QByteArray>
#include <QFile>
#include <optional>

namespace {

constexpr quint32 kSectionTypeNote = 7;
constexpr quint32 kFileVersionNoteType = 1;
const QByteArray kFileVersionOwner("FileVersion\0", 12);
// Note sections are a few bytes; anything far larger is not ours and is not read.
constexpr quint64 kLargestNoteSection = 1 << 20;
// Far more sections than any library has; a larger table is taken as damage.
constexpr quint64 kMostSections = 1 << 18;

// Where the section table is and how its entries are laid out, for one of the
// two ELF classes.
struct ElfLayout {
  quint64 tableOffset = 0;
  quint64 entrySize = 0;
  quint64 entryCount = 0;
  int typeAt = 4;
  int offsetAt = 0;
  int sizeAt = 0;
  int alignAt = 0;
  int wordSize = 0;
};

// Reads byte ranges of the file only when they lie wholly inside it.
class BoundedFile {
 public:
  explicit BoundedFile(QFile& file) : file_(file), size_(quint64(file.size())) {}

  std::optional<QByteArray> read(quint64 offset, quint64 length) const {
    if (offset > size_ || length > size_ - offset) return std::nullopt;
    if (!file_.seek(qint64(offset))) return std::nullopt;
    QByteArray bytes = file_.read(qint64(length));
    if (quint64(bytes.size()) != length) return std::nullopt;
    return bytes;
  }
  quint64 size() const { return size_; }

 private:
  QFile& file_;
  quint64 size_;
};

// Little-endian unsigned number of 2, 4 or 8 bytes; the caller has checked the range.
quint64 littleEndian(const QByteArray& bytes, quint64 at, int width) {
  quint64 value = 0;
  for (int i = width - 1; i >= 0; --i) value = (value << 8) | quint8(bytes[qsizetype(at) + i]);
  return value;
}

std::optional<ElfLayout> readLayout(const BoundedFile& file) {
  const auto ident = file.read(0, 16);
  if (!ident ||
      !ident->startsWith("\x7f"
                         "ELF") ||
      (*ident)[5] != 1)
    return std::nullopt;
  const bool is64 = (*ident)[4] == 2;
  if (!is64 && (*ident)[4] != 1) return std::nullopt;
  const auto header = file.read(0, is64 ? 64 : 52);
  if (!header) return std::nullopt;
  ElfLayout layout;
  layout.wordSize = is64 ? 8 : 4;
  layout.tableOffset = littleEndian(*header, is64 ? 0x28 : 0x20, layout.wordSize);
  layout.entrySize = littleEndian(*header, is64 ? 0x3A : 0x2E, 2);
  layout.entryCount = littleEndian(*header, is64 ? 0x3C : 0x30, 2);
  layout.offsetAt = is64 ? 24 : 16;
  layout.sizeAt = is64 ? 32 : 20;
  layout.alignAt = is64 ? 48 : 32;
  if (layout.tableOffset == 0 || layout.entrySize < quint64(is64 ? 64 : 40)) return std::nullopt;
  if (layout.entryCount == 0) {
    // Many sections: the real count sits in the size field of entry 0.
    const auto first = file.read(layout.tableOffset, layout.entrySize);
    if (!first) return std::nullopt;
    layout.entryCount = littleEndian(*first, quint64(layout.sizeAt), layout.wordSize);
  }
  if (layout.entryCount > kMostSections || layout.entryCount > file.size() / layout.entrySize) {
    return std::nullopt;
  }
  return layout;
}

QString formatVersion(quint32 mostSignificant, quint32 leastSignificant) {
  return QStringLiteral("%1.%2.%3.%4")
      .arg(mostSignificant >> 16)
      .arg(mostSignificant & 0xFFFF)
      .arg(leastSignificant >> 16)
      .arg(leastSignificant & 0xFFFF);
}

quint64 alignedUp(quint64 value, quint64 alignment) { return (value + alignment - 1) / alignment * alignment; }

// Walks the notes of one note section for the file version note.
std::optional<QString> versionInNotes(const QByteArray& notes, quint64 alignment) {
  const quint64 end = quint64(notes.size());
  quint64 at = 0;
  while (end - at >= 12) {
    const quint64 nameSize = littleEndian(notes, at, 4);
    const quint64 descriptorSize = littleEndian(notes, at + 4, 4);
    const quint64 type = littleEndian(notes, at + 8, 4);
    const quint64 nameAt = at + 12;
    // Name and descriptor each start on the section's note alignment.
    const quint64 descriptorAt = alignedUp(nameAt + nameSize, alignment);
    const quint64 next = alignedUp(descriptorAt + descriptorSize, alignment);
    if (descriptorAt > end || descriptorSize > end - descriptorAt) return std::nullopt;
    if (type == kFileVersionNoteType && descriptorSize == 8 &&
        notes.mid(qsizetype(nameAt), qsizetype(nameSize)) == kFileVersionOwner) {
      return formatVersion(quint32(littleEndian(notes, descriptorAt, 4)),
                           quint32(littleEndian(notes, descriptorAt + 4, 4)));
    }
    if (next > end) return std::nullopt;
    at = next;
  }
  return std::nullopt;
}

}  // namespace

QString readElfFileVersion(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const BoundedFile bounded(file);
  const auto layout = readLayout(bounded);
  if (!layout) return {};
  const auto table = bounded.read(layout->tableOffset, layout->entryCount * layout->entrySize);
  if (!table) return {};
  for (quint64 entry = 0; entry < layout->entryCount; ++entry) {
    const quint64 base = entry * layout->entrySize;
    if (littleEndian(*table, base + quint64(layout->typeAt), 4) != kSectionTypeNote) continue;
    const quint64 offset = littleEndian(*table, base + quint64(layout->offsetAt), layout->wordSize);
    const quint64 size = littleEndian(*table, base + quint64(layout->sizeAt), layout->wordSize);
    const quint64 align = littleEndian(*table, base + quint64(layout->alignAt), layout->wordSize);
    if (size > kLargestNoteSection) continue;
    const auto notes = bounded.read(offset, size);
    if (!notes) continue;
    if (auto version = versionInNotes(*notes, align == 8 ? 8 : 4)) return *version;
  }
  return {};
}
