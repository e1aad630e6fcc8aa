#pragma once
// Helpers shared by the writer's tests: JPEG files made on the spot with
// libjpeg, temporary files, and running the real PDF readers.

#include <filesystem>
#include <string>

namespace pdftest {

enum class JpegKind { Gray, Rgb, Cmyk, ProgressiveRgb };

// A small valid JPEG file of that kind and size.
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

}  // namespace pdftest

namespace pdftest {

// Checks the cross-reference table of a saved file against the file itself:
// "startxref" points at "xref", the table has AObjectCount + 1 lines of 20
// bytes, and each in-use entry's offset points at "n 0 obj". Returns what is
// wrong, or an empty text.
std::string XrefProblems(const std::string& AFile, int AObjectCount);

}  // namespace pdftest
