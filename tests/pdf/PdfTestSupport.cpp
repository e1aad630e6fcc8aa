#include "PdfTestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <random>
#include <stdexcept>
#include <vector>

#include <jpeglib.h>

namespace pdftest {

std::string MakeJpeg(JpegKind AKind, int AWidth, int AHeight) {
  jpeg_compress_struct Info;
  jpeg_error_mgr Errors;
  Info.err = jpeg_std_error(&Errors);
  jpeg_create_compress(&Info);
  unsigned char* Buffer = nullptr;
  unsigned long Size = 0;
  jpeg_mem_dest(&Info, &Buffer, &Size);

  Info.image_width = static_cast<JDIMENSION>(AWidth);
  Info.image_height = static_cast<JDIMENSION>(AHeight);
  switch (AKind) {
    case JpegKind::Gray:
      Info.input_components = 1;
      Info.in_color_space = JCS_GRAYSCALE;
      break;
    case JpegKind::Cmyk:
    case JpegKind::CmykWithoutAdobeMarker:
      Info.input_components = 4;
      Info.in_color_space = JCS_CMYK;
      break;
    default:
      Info.input_components = 3;
      Info.in_color_space = JCS_RGB;
  }
  jpeg_set_defaults(&Info);
  jpeg_set_quality(&Info, 80, TRUE);
  if (AKind == JpegKind::ProgressiveRgb) jpeg_simple_progression(&Info);
  if (AKind == JpegKind::CmykWithoutAdobeMarker) Info.write_Adobe_marker = FALSE;
  jpeg_start_compress(&Info, TRUE);
  const size_t RowSize = static_cast<size_t>(AWidth) * static_cast<size_t>(Info.input_components);
  std::vector<unsigned char> Row(RowSize);
  while (Info.next_scanline < Info.image_height) {
    for (size_t I = 0; I < RowSize; ++I) Row[I] = static_cast<unsigned char>((I * 7 + Info.next_scanline * 3) & 0xFF);
    JSAMPROW Rows[1] = {Row.data()};
    jpeg_write_scanlines(&Info, Rows, 1);
  }
  jpeg_finish_compress(&Info);
  jpeg_destroy_compress(&Info);
  std::string Bytes(reinterpret_cast<const char*>(Buffer), Size);
  std::free(Buffer);
  return Bytes;
}

TempFile::TempFile(const std::string& AName) {
  std::random_device Random;
  FFolder = std::filesystem::temp_directory_path() / ("velnara-pdf-test-" + std::to_string(Random()));
  std::filesystem::create_directories(FFolder);
  FPath = FFolder / AName;
}

TempFile::~TempFile() {
  std::error_code Ignored;
  std::filesystem::remove_all(FFolder, Ignored);
}

void TempFile::Write(const std::string& ABytes) const {
  std::ofstream File(FPath, std::ios::binary);
  File.write(ABytes.data(), static_cast<std::streamsize>(ABytes.size()));
  if (!File) throw std::runtime_error("cannot write " + FPath.string());
}

CommandResult RunCommand(const std::string& ACommandLine) {
  CommandResult Result;
  FILE* Pipe = popen((ACommandLine + " 2>&1").c_str(), "r");
  if (!Pipe) return Result;
  char Buffer[4096];
  size_t Count;
  while ((Count = fread(Buffer, 1, sizeof Buffer, Pipe)) > 0) Result.Output.append(Buffer, Count);
  const int Status = pclose(Pipe);
  Result.ExitCode = WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
  return Result;
}

bool HasProgram(const std::string& AName) { return RunCommand("command -v " + AName + " >/dev/null").ExitCode == 0; }

Rgb PpmPixel(const std::filesystem::path& AFile, int AX, int AY) {
  std::ifstream File(AFile, std::ios::binary);
  // The header's four fields, with the comment lines some writers put in it.
  auto Field = [&File] {
    std::string Text;
    while (File >> Text && Text.front() == '#') File.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    return Text;
  };
  const std::string Magic = Field();
  const int Width = std::atoi(Field().c_str()), Height = std::atoi(Field().c_str()),
            MaxValue = std::atoi(Field().c_str());
  File.get();  // the one blank before the samples
  if (!File || Magic != "P6" || MaxValue != 255 || AX < 0 || AY < 0 || AX >= Width || AY >= Height)
    throw std::runtime_error("not an 8-bit PPM file holding that pixel: " + AFile.string());
  File.seekg(
      static_cast<std::streamoff>((static_cast<size_t>(AY) * static_cast<size_t>(Width) + static_cast<size_t>(AX)) * 3),
      std::ios::cur);
  unsigned char Sample[3] = {};
  File.read(reinterpret_cast<char*>(Sample), 3);
  if (!File) throw std::runtime_error("short PPM file: " + AFile.string());
  return {Sample[0], Sample[1], Sample[2]};
}

}  // namespace pdftest

namespace pdftest {

std::string XrefProblems(const std::string& AFile, int AObjectCount) {
  const std::string Tail = "\r\n%%EOF\r\n";
  if (AFile.size() < Tail.size() || AFile.compare(AFile.size() - Tail.size(), Tail.size(), Tail) != 0)
    return "the file does not end with %%EOF";
  const size_t StartXref = AFile.rfind("startxref\r\n");
  if (StartXref == std::string::npos) return "no startxref";
  const size_t XrefAt = std::stoul(AFile.substr(StartXref + 11));
  const std::string Head = "xref\r\n0 " + std::to_string(AObjectCount + 1) + "\r\n";
  if (AFile.compare(XrefAt, Head.size(), Head) != 0) return "startxref does not point at '" + Head + "'";
  size_t Line = XrefAt + Head.size();
  if (AFile.compare(Line, 20, "0000000000 65535 f\r\n") != 0) return "entry 0 is not free";
  for (int Number = 1; Number <= AObjectCount; ++Number) {
    Line += 20;
    const std::string Entry = AFile.substr(Line, 20);
    if (Entry.size() != 20 || Entry.compare(10, 10, " 00000 n\r\n") != 0)
      return "entry " + std::to_string(Number) + " is '" + Entry + "'";
    const size_t Offset = std::stoul(Entry.substr(0, 10));
    const std::string Object = std::to_string(Number) + " 0 obj\r\n";
    if (AFile.compare(Offset, Object.size(), Object) != 0)
      return "entry " + std::to_string(Number) + " does not point at its object";
  }
  if (AFile.compare(Line + 20, 9, "trailer\r\n") != 0) return "the table has more entries than expected";
  return {};
}

}  // namespace pdftest
