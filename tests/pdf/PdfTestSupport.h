#pragma once
// Helpers shared by the writer's tests: JPEG files made on the spot with
// libjpeg, temporary files, and running the real PDF readers.

#include <filesystem>
#include <string>

namespace pdftest {

enum class JpegKind { Gray, Rgb, Cmyk, CmykWithoutAdobeMarker, ProgressiveRgb };

// A small valid JPEG file of that kind and size. libjpeg marks CMYK files
// with an Adobe marker unless told not to.
std::string MakeJpeg(JpegKind AKind, int AWidth, int AHeight);

// A file in a fresh folder under the system's temporary folder, removed
// with the object.
class TempFile {
 public:
  explicit TempFile(const std::string& AName);
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  const std::filesystem::path& Path() const { return FPath; }
  void Write(const std::string& ABytes) const;

 private:
  std::filesystem::path FFolder;
  std::filesystem::path FPath;
};

struct CommandResult {
  int ExitCode = -1;
  std::string Output;  // standard output and standard error
};

// Runs a shell command line and collects what it prints.
CommandResult RunCommand(const std::string& ACommandLine);

// True when the program is on the PATH.
bool HasProgram(const std::string& AName);

struct Rgb {
  int R = 0, G = 0, B = 0;
};

// The pixel at (AX, AY), from the top left, of a binary PPM file (P6, as
// pdftoppm and mutool draw write them); throws when the file is not one.
Rgb PpmPixel(const std::filesystem::path& AFile, int AX, int AY);

}  // namespace pdftest

namespace pdftest {

// Checks the cross-reference table of a saved file against the file itself:
// "startxref" points at "xref", the table has AObjectCount + 1 lines of 20
// bytes, and each in-use entry's offset points at "n 0 obj". Returns what is
// wrong, or an empty text.
std::string XrefProblems(const std::string& AFile, int AObjectCount);

}  // namespace pdftest
