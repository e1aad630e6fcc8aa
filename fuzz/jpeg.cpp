// Any bytes offered as a JPEG logo: the header reader either refuses them or
// gives their size and colour space, and the image made from them goes into
// a page unchanged, declared in that colour space.
#include <sstream>

#include "FuzzSupport.h"
#include "QpdfReader.h"
#include "pdf/PdfDoc.h"
#include "pdf/PdfErrors.h"
#include "pdf/PdfImages.h"
#include "pdf/PdfJpegImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  pdf::TJpegPicture picture;
  try {
    picture.LoadFromBytes(bytes);
  } catch (const pdf::EPdfInvalidImageFormat&) {
    return 0;
  }
  FUZZ_REQUIRE(picture.Width() > 0 && picture.Height() > 0);
  FUZZ_REQUIRE(picture.Components() == 1 || picture.Components() == 3 || picture.Components() == 4);
  // libjpeg takes every four-component frame for CMYK (or YCCK).
  FUZZ_REQUIRE(picture.Cmyk() == (picture.Components() == 4));

  pdf::TPdfDoc doc;
  // A fixed date: the file's bytes, and so the coverage, depend on the input alone.
  doc.SetClock([] { return pdf::TPdfDateTime{2026, 12, 9, 14, 5, 33}; });
  doc.NewDoc();
  doc.AddPage();
  std::unique_ptr<pdf::TPdfImage> logo = pdf::BuildPdfImage(picture, u"Pdf-Jpeg");
  // Declared as what the frame holds; CMYK behind an Adobe marker inverted.
  const pdf::TPdfDictionary& attributes = logo->Attributes();
  const std::u16string colorSpace = attributes.PdfNameByName(u"ColorSpace")->Value();
  FUZZ_REQUIRE(colorSpace == (picture.Cmyk() ? u"DeviceCMYK" : picture.Grayscale() ? u"DeviceGray" : u"DeviceRGB"));
  const pdf::TPdfArray* decode = attributes.PdfArrayByName(u"Decode");
  FUZZ_REQUIRE((decode != nullptr) == (picture.Cmyk() && picture.AdobeMarker()));
  FUZZ_REQUIRE(!decode || decode->ItemCount() == 8);
  doc.AddXObject(u"logo_sante", std::move(logo));
  doc.Canvas()->DrawXObject(15, 777, 150, 50, u"logo_sante");
  std::ostringstream out;
  doc.SaveToStream(out);

  const ReadBackPage page = FUZZ_READ_BACK(out.str());
  FUZZ_REQUIRE(page.images.size() == 1);
  const ReadBackPage::Image& image = page.images.front();
  FUZZ_REQUIRE(image.width == picture.Width() && image.height == picture.Height());
  FUZZ_REQUIRE(image.filter == "/DCTDecode");
  FUZZ_REQUIRE(image.data == bytes);
  return 0;
}
