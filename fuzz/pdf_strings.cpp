// Any text and any name put on a page: the text drawn with the canvas and
// kept in the page as a byte string and as a text string, the name as a name
// value and as the name of an image drawn on the page, the text's code units
// as a name too. qpdf must parse the file and read back what was written.
#include <sstream>
#include <string_view>

#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzSupport.h"
#include "QpdfReader.h"
#include "pdf/PdfDoc.h"
#include "pdf/PdfErrors.h"
#include "pdf/PdfImages.h"
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
// byte-order mark and UTF-16BE when the text needs it (nothing else: no
// language escape).
std::string textStringBytes(const std::u16string& text) {
  if (!pdf::NeedsHexForm(text)) return ansiBytesOf(text);
  std::string bytes = "\xFE\xFF";
  for (const char16_t c : text) {
    bytes += char(c >> 8);
    bytes += char(c & 0xFF);
  }
  return bytes;
}

// The bytes of a name of any characters: one byte up to 0xFF, the UTF-8 form
// above (a lone surrogate as U+FFFD).
std::string nameBytesOf(const std::u16string& name) {
  std::string bytes;
  for (size_t i = 0; i < name.size(); ++i) {
    char32_t c = name[i];
    if (c <= 0xFF) {
      bytes += char(c);
      continue;
    }
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < name.size() && name[i + 1] >= 0xDC00 && name[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (name[++i] - 0xDC00);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    if (c < 0x800) {
      bytes += char(0xC0 | (c >> 6));
    } else if (c < 0x10000) {
      bytes += char(0xE0 | (c >> 12));
      bytes += char(0x80 | ((c >> 6) & 0x3F));
    } else {
      bytes += char(0xF0 | (c >> 18));
      bytes += char(0x80 | ((c >> 12) & 0x3F));
      bytes += char(0x80 | ((c >> 6) & 0x3F));
    }
    bytes += char(0x80 | (c & 0x3F));
  }
  return bytes;
}

// The operand of the content stream's first Do, decoded as a reader does;
// "<not one name>" when it is not a single name token.
std::string drawnImageName(const std::string& content) {
  const size_t end = content.find(" Do\n");
  const size_t start = content.rfind('\n', end);
  if (end == std::string::npos || start == std::string::npos || content[start + 1] != '/') return "<not one name>";
  std::string name = "/";
  for (size_t i = start + 2; i < end; ++i) {
    const unsigned char c = uint8_t(content[i]);
    if (c == '#' && i + 2 < end) {
      name += char(std::stoi(content.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else if (c > 0x20 && c < 0x7F && std::string_view("#%()/<>[]{}").find(char(c)) == std::string_view::npos) {
      name += char(c);
    } else {
      return "<not one name>";
    }
  }
  return name;
}

struct Written {
  std::string pdf;
  std::string content;  // the page's content stream
};

Written writtenPdf(const std::u16string& text, const std::u16string& name, const std::u16string& wideName) {
  pdf::TPdfDoc doc;
  // A fixed date: the file's bytes, and so the coverage, depend on the input alone.
  doc.SetClock([] { return pdf::TPdfDateTime{2026, 12, 9, 14, 5, 33}; });
  doc.NewDoc();
  doc.AddPage();
  pdf::TPdfCanvas& canvas = *doc.Canvas();
  canvas.SetFont(u"Arial", 10);
  // The image first: its Do is the content's first.
  doc.AddXObject(name, pdf::BuildPdfImage(pdf::TPdfBitmap(1, 1, pdf::pf24bit), u"Pdf-Bitmap"));
  canvas.DrawXObject(20, 720, 10, 10, name);
  canvas.TextOut(20, 700, text);
  pdf::TPdfDictionary& page = *canvas.Page();
  page.AddItem(u"VelnaraString", std::make_unique<pdf::TPdfString>(text));
  page.AddItem(u"VelnaraText", std::make_unique<pdf::TPdfText>(text));
  page.AddItem(u"VelnaraName", std::make_unique<pdf::TPdfName>(name));
  page.AddItem(u"VelnaraWideName", std::make_unique<pdf::TPdfName>(wideName));
  std::ostringstream out;
  doc.SaveToStream(out);
  return {out.str(), canvas.Contents()->Stream()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const std::string nameBytes = input.ConsumeRandomLengthString(127);
  const std::u16string name = nameOf(nameBytes);
  const std::u16string text = codeUnitsOf(input.ConsumeRemainingBytesAsString());
  std::u16string wideName = text;
  std::erase(wideName, u'\0');

  if (name.find(u'\0') != std::u16string::npos) {
    // No byte of a name may be NUL: the writer refuses to write one.
    try {
      writtenPdf(text, name, wideName);
      FUZZ_REQUIRE(!"a name with a NUL is refused");
    } catch (const pdf::EPdfInvalidValue&) {
    }
    return 0;
  }
  const Written written = writtenPdf(text, name, wideName);
  const ReadBackPage page = FUZZ_READ_BACK(written.pdf);
  FUZZ_REQUIRE(page.strings.at("/VelnaraString") == ansiBytesOf(text));
  FUZZ_REQUIRE(page.strings.at("/VelnaraText") == textStringBytes(text));
  FUZZ_REQUIRE(page.names.at("/VelnaraName") == "/" + nameBytes);
  FUZZ_REQUIRE(page.names.at("/VelnaraWideName") == "/" + nameBytesOf(wideName));
  // The image is drawn under the very name its resource has.
  FUZZ_REQUIRE(drawnImageName(written.content) == "/" + nameBytes);
  FUZZ_REQUIRE(page.images.size() == 1);
  // The drawn text.
  FUZZ_REQUIRE(page.shownTexts == std::vector<std::string>{ansiBytesOf(text)});
  return 0;
}
