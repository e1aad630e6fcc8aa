// The library's four-part file version, stored in the file itself so that the
// program can read it without loading the library: an ELF note owned by
// "FileVersion", type 1, whose descriptor is the two 32-bit halves of a
// Windows fixed file version (most significant first), little-endian.
#include <cstdint>

namespace {

constexpr uint32_t kMostSignificant = (uint32_t{API_LEC_VERSION_MAJOR} << 16) | API_LEC_VERSION_MINOR;
constexpr uint32_t kLeastSignificant = (uint32_t{API_LEC_VERSION_RELEASE} << 16) | API_LEC_VERSION_BUILD;

constexpr unsigned char byteOf(uint32_t value, int index) {
  return static_cast<unsigned char>((value >> (8 * index)) & 0xFF);
}

struct FileVersionNote {
  uint32_t nameSize;
  uint32_t descriptorSize;
  uint32_t type;
  char name[12];
  unsigned char descriptor[8];
};
static_assert(sizeof(FileVersionNote) == 32, "an ELF note has no padding here");

// A section whose name begins with ".note" is given the note type by the
// assembler, which is what the reader looks for.
[[gnu::used, gnu::section(".note.velnara.version"), gnu::aligned(4)]] const FileVersionNote kFileVersionNote = {
    12,
    8,
    1,
    "FileVersion",
    {byteOf(kMostSignificant, 0), byteOf(kMostSignificant, 1), byteOf(kMostSignificant, 2), byteOf(kMostSignificant, 3),
     byteOf(kLeastSignificant, 0), byteOf(kLeastSignificant, 1), byteOf(kLeastSignificant, 2),
     byteOf(kLeastSignificant, 3)}};

}  // namespace
