#include "ElfImage.h"

namespace {

void putLittleEndian(QByteArray& bytes, uint64_t value, int width) {
  for (int i = 0; i < width; ++i) bytes.append(char((value >> (8 * i)) & 0xFF));
}

void padTo(QByteArray& bytes, uint64_t alignment) {
  while (uint64_t(bytes.size()) % alignment != 0) bytes.append('\0');
}

QByteArray noteBytes(uint32_t nameSize, uint32_t descriptorSize, uint32_t type, const std::string& owner,
                     const QByteArray& descriptor, uint64_t alignment) {
  QByteArray note;
  putLittleEndian(note, nameSize, 4);
  putLittleEndian(note, descriptorSize, 4);
  putLittleEndian(note, type, 4);
  note.append(owner.c_str(), qsizetype(owner.size() + 1));
  padTo(note, alignment);
  note.append(descriptor);
  padTo(note, alignment);
  return note;
}

}  // namespace

ElfImage ElfImage::withVersion(bool is64, uint32_t mostSignificant, uint32_t leastSignificant) {
  ElfImage image;
  image.is64 = is64;
  image.elfClass = is64 ? 2 : 1;
  image.mostSignificant = mostSignificant;
  image.leastSignificant = leastSignificant;
  return image;
}

QByteArray ElfImage::note(const std::string& owner, uint32_t type, uint32_t descriptorSize, uint64_t alignment) {
  return noteBytes(uint32_t(owner.size() + 1), descriptorSize, type, owner, QByteArray(qsizetype(descriptorSize), '\0'),
                   alignment);
}

QByteArray ElfImage::bytes() const {
  const int word = is64 ? 8 : 4;
  const uint64_t headerSize = is64 ? 64 : 52;
  const uint64_t entrySize = is64 ? 64 : 40;
  const uint64_t notesOffset = 64;

  QByteArray descriptor;
  putLittleEndian(descriptor, mostSignificant, 4);
  putLittleEndian(descriptor, leastSignificant, 4);
  descriptor.truncate(descriptorSize);
  QByteArray notes = notePrefix;
  notes.append(noteBytes(nameSizeOverride.value_or(uint32_t(owner.size() + 1)),
                         descriptorSizeOverride.value_or(descriptorSize), type, owner, descriptor, noteAlignment));
  QByteArray notesPadded = notes;
  padTo(notesPadded, 8);
  const uint64_t tableOffset = notesOffset + uint64_t(notesPadded.size());

  QByteArray file(
      "\x7f"
      "ELF",
      4);
  file.append(char(elfClass));
  file.append(char(dataEncoding));
  file.append(char(1));
  file.append(QByteArray(9, '\0'));
  putLittleEndian(file, 3, 2);     // shared object
  putLittleEndian(file, 62, 2);    // x86-64
  putLittleEndian(file, 1, 4);     // version
  putLittleEndian(file, 0, word);  // entry
  putLittleEndian(file, 0, word);  // program headers
  putLittleEndian(file, tableOffsetOverride.value_or(tableOffset), word);
  putLittleEndian(file, 0, 4);  // flags
  putLittleEndian(file, headerSize, 2);
  putLittleEndian(file, 0, 2);  // program header entry size
  putLittleEndian(file, 0, 2);  // program header count
  putLittleEndian(file, entrySizeOverride.value_or(uint16_t(entrySize)), 2);
  putLittleEndian(file, sectionCountOverride.value_or(2), 2);
  putLittleEndian(file, 0, 2);  // section name table index
  file.append(QByteArray(qsizetype(notesOffset - headerSize), '\0'));
  file.append(notesPadded);

  file.append(QByteArray(qsizetype(entrySize), '\0'));  // entry 0 is empty
  QByteArray entry;
  putLittleEndian(entry, 0, 4);  // name
  putLittleEndian(entry, sectionType, 4);
  putLittleEndian(entry, 2, word);  // allocated
  putLittleEndian(entry, 0, word);  // address
  putLittleEndian(entry, notesOffset + sectionOffsetShift, word);
  putLittleEndian(entry, sectionSizeOverride.value_or(uint64_t(notes.size())), word);
  putLittleEndian(entry, 0, 4);  // link
  putLittleEndian(entry, 0, 4);  // info
  putLittleEndian(entry, noteAlignment, word);
  putLittleEndian(entry, 0, word);  // entry size
  file.append(entry);
  return file;
}
