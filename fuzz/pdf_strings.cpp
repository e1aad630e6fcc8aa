// Any text and any name put on a page: the text drawn with the canvas and
// kept in the page as a byte string and as a text string, the name as a name
// value. qpdf must parse the file and read back what was written.
#include <sstream>

#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzSupport.h"
#include "QpdfReader.h"
#include "pdf/PdfDoc.h"
#include "pdf/PdfErrors.h"
#include "pdf/PdfText.h"
#include "pdf/PdfTypes.h"

namespace {

std::u16string codeUnitsOf(const std::string& bytes) {
  const QString text = utf16Of(bytes);
  return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size()));
}

// A name from raw bytes: one character per byte, as the file holds it.
std::u16string nameOf(const std::string& bytes) {
  std::u16string name;
  for (const char c : bytes) name += char16_t(uint8_t(c));
  return name;
}

std::string ansiBytesOf(const std::u16string& text) {
  std::string bytes;
  pdf::WriteText(text, bytes);
  return bytes;
}

// What a reader decodes from a text string: the Windows-1252 bytes, or the
// UTF-16 form with its marks when the text needs it.
std::string textStringBytes(const std::u16string& text) {
  if (!pdf::NeedsHexForm(text)) return ansiBytesOf(text);
  const QByteArray hex = QByteArray::fromStdString(pdf::UnicodeTextHeader() + pdf::UnicodeTextHex(text));
  return QByteArray::fromHex(hex).toStdString();
}

std::string writtenPdf(const std::u16string& text, const std::u16string& name) {
  pdf::TPdfDoc doc;
  // A fixed date: the file's bytes, and so the coverage, depend on the input alone.
  doc.SetClock([] { return pdf::TPdfDateTime{2026, 12, 9, 14, 5, 33}; });
  doc.NewDoc();
  doc.AddPage();
  pdf::TPdfCanvas& canvas = *doc.Canvas();
  canvas.SetFont(u"Arial", 10);
  canvas.TextOut(20, 700, text);
  pdf::TPdfDictionary& page = *canvas.Page();
  page.AddItem(u"VelnaraString", std::make_unique<pdf::TPdfString>(text));
  page.AddItem(u"VelnaraText", std::make_unique<pdf::TPdfText>(text));
  page.AddItem(u"VelnaraName", std::make_unique<pdf::TPdfName>(name));
  std::ostringstream out;
  doc.SaveToStream(out);
  return out.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string nameBytes = input.ConsumeRandomLengthString(127);
  const std::u16string name = nameOf(nameBytes);
  const std::u16string text = codeUnitsOf(input.ConsumeRemainingBytesAsString());

  if (name.find(u'\0') != std::u16string::npos) {
    // No byte of a name may be NUL: the writer refuses to write one.
    try {
      writtenPdf(text, name);
      FUZZ_REQUIRE(!"a name with a NUL is refused");
    } catch (const pdf::EPdfInvalidValue&) {
    }
    return 0;
  }
  const ReadBackPage page = FUZZ_READ_BACK(writtenPdf(text, name));
  FUZZ_REQUIRE(page.strings.at("/VelnaraString") == ansiBytesOf(text));
  FUZZ_REQUIRE(page.strings.at("/VelnaraText") == textStringBytes(text));
  FUZZ_REQUIRE(page.names.at("/VelnaraName") == "/" + nameBytes);
  // The drawn text.
  FUZZ_REQUIRE(page.shownTexts == std::vector<std::string>{ansiBytesOf(text)});
  return 0;
}
