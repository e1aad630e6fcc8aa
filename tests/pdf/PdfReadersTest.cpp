// Files the real readers must take without a word: images under names that
// need escaping, a text outside the Basic Multilingual Plane, a CMYK logo.
// qpdf checks the structure; poppler (pdftoppm, pdfinfo) and MuPDF (mutool)
// render the page and give the texts back, and the colour they render is
// compared with the picture's.

#include "pdf/PdfDoc.h"
#include "pdf/PdfJpegImage.h"

#include "PdfTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>

using namespace pdf;

namespace {

// The image is drawn 200 x 100 points at (100, 600), so its middle is pixel
// (200, 192) of a 72 dpi rendering of the 842 points high page.
constexpr int kMiddleX = 200;
constexpr int kMiddleY = 842 - 650;

std::unique_ptr<TPdfImage> SolidBlueImage() {
  TPdfBitmap Bitmap(2, 2, pf24bit);
  for (size_t I = 0; I < Bitmap.Pixels().size(); I += 3) Bitmap.Pixels()[I + 2] = '\xFF';
  return BuildPdfImage(Bitmap, u"Pdf-Bitmap");
}

std::unique_ptr<TPdfImage> CmykRedLogo() {
  // Made with ImageMagick (convert -size 48x16 xc:red -colorspace CMYK):
  // YCCK behind an Adobe marker, stored inverted as Adobe's programs do.
  TJpegPicture Logo;
  Logo.LoadFromFile(VELNARA_TEST_FIXTURES "/certificate/logo-48x16-cmyk-red.jpg");
  return BuildPdfImage(Logo, u"Pdf-Jpeg");
}

std::string OnePage(const std::u16string& AImageName, std::unique_ptr<TPdfImage> AImage,
                    const std::u16string& ATitle = u"Attestation") {
  TPdfDoc Doc;
  Doc.SetClock([] { return TPdfDateTime{2024, 1, 5, 9, 30, 7}; });
  Doc.NewDoc();
  Doc.AddPage();
  Doc.Info()->SetTitle(ATitle);
  Doc.AddXObject(AImageName, std::move(AImage));
  Doc.Canvas()->DrawXObject(100, 600, 200, 100, AImageName);
  Doc.Canvas()->TextOut(100, 500, ATitle);
  std::ostringstream Out;
  Doc.SaveToStream(Out);
  return Out.str();
}

struct ReaderCase {
  const char* Label;
  std::function<std::string()> Make;
  pdftest::Rgb Colour;  // at the image's middle
  std::string Title;    // UTF-8, as the readers give it back
  std::string Drawn;    // the title drawn in WinAnsi, as pdftotext gives it back
};

void PrintTo(const ReaderCase& ACase, std::ostream* AOut) { *AOut << ACase.Label; }

class ReadersTest : public ::testing::TestWithParam<ReaderCase> {
 protected:
  void SetUp() override {
    for (const char* Program : {"qpdf", "pdftoppm", "pdfinfo", "mutool"})
      ASSERT_TRUE(pdftest::HasProgram(Program))
          << Program << " is needed (Debian packages qpdf, poppler-utils, mupdf-tools)";
    Pdf.Write(GetParam().Make());
  }
  std::string Quoted(const std::filesystem::path& APath) const { return "'" + APath.string() + "'"; }

  pdftest::TempFile Pdf{"page.pdf"};
};

TEST_P(ReadersTest, TakeTheFileWithoutWarningAndGiveItBack) {
  const ReaderCase& Case = GetParam();
  const std::string File = Quoted(Pdf.Path());

  const pdftest::CommandResult Check = pdftest::RunCommand("qpdf --check " + File);
  EXPECT_EQ(Check.ExitCode, 0) << Check.Output;
  EXPECT_EQ(Check.Output.find("WARNING"), std::string::npos) << Check.Output;

  // Both renderers say nothing at all about a sound file.
  const std::filesystem::path Poppler = Pdf.Path().parent_path() / "poppler";
  const pdftest::CommandResult Rendered =
      pdftest::RunCommand("pdftoppm -r 72 -singlefile " + File + " " + Quoted(Poppler));
  EXPECT_EQ(Rendered.ExitCode, 0) << Rendered.Output;
  EXPECT_EQ(Rendered.Output, "");
  const std::filesystem::path MuPdf = Pdf.Path().parent_path() / "mupdf.ppm";
  // -N: this MuPDF has no colour management and says so on every CMYK
  // conversion; without it, it converts plainly and keeps quiet.
  const pdftest::CommandResult Drawn = pdftest::RunCommand("mutool draw -N -q -r 72 -o " + Quoted(MuPdf) + " " + File);
  EXPECT_EQ(Drawn.ExitCode, 0) << Drawn.Output;
  EXPECT_EQ(Drawn.Output, "");

  for (const auto& Page : {Poppler.string() + ".ppm", MuPdf.string()}) {
    const pdftest::Rgb Pixel = pdftest::PpmPixel(Page, kMiddleX, kMiddleY);
    // Near enough for a colour-managed rendering of CMYK, far from any other.
    EXPECT_NEAR(Pixel.R, Case.Colour.R, 60) << Page;
    EXPECT_NEAR(Pixel.G, Case.Colour.G, 60) << Page;
    EXPECT_NEAR(Pixel.B, Case.Colour.B, 60) << Page;
  }

  const pdftest::CommandResult Text = pdftest::RunCommand("pdftotext -enc UTF-8 " + File + " -");
  EXPECT_EQ(Text.Output, Case.Drawn + "\n\n\f");

  const pdftest::CommandResult Info = pdftest::RunCommand("pdfinfo -enc UTF-8 " + File);
  EXPECT_EQ(Info.ExitCode, 0) << Info.Output;
  const size_t TitleAt = Info.Output.find("Title:");
  ASSERT_NE(TitleAt, std::string::npos) << Info.Output;
  const size_t ValueAt = Info.Output.find_first_not_of(' ', TitleAt + 6);
  EXPECT_EQ(Info.Output.substr(ValueAt, Info.Output.find('\n', ValueAt) - ValueAt), Case.Title);
  pdftest::TempFile Script("title.js");
  Script.Write("print(new Document(scriptArgs[0]).getMetaData('info:Title'))\n");
  const pdftest::CommandResult Meta = pdftest::RunCommand("mutool run " + Quoted(Script.Path()) + " " + File);
  EXPECT_EQ(Meta.Output, Case.Title + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReadersTest,
    ::testing::Values(ReaderCase{"image_named_with_blanks",
                                 [] { return OnePage(u"logo sante", SolidBlueImage()); },
                                 {0, 0, 255},
                                 "Attestation",
                                 "Attestation"},
                      ReaderCase{"image_named_with_euro",
                                 [] { return OnePage(u"logo €uro", SolidBlueImage()); },
                                 {0, 0, 255},
                                 "Attestation",
                                 "Attestation"},
                      ReaderCase{"title_with_emoji",
                                 [] { return OnePage(u"logo", SolidBlueImage(), u"Attestation \U0001F600 ok"); },
                                 {0, 0, 255},
                                 "Attestation \xF0\x9F\x98\x80 ok",
                                 "Attestation ? ok"},
                      ReaderCase{"cmyk_red_logo",
                                 [] { return OnePage(u"logo_sante", CmykRedLogo()); },
                                 {255, 0, 0},
                                 "Attestation",
                                 "Attestation"}),
    [](const auto& instance) { return std::string(instance.param.Label); });

}  // namespace
