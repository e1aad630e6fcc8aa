// The standard fonts: registered names, dictionaries and widths.

#include "pdf/PdfDoc.h"
#include "pdf/PdfErrors.h"
#include "pdf/PdfFonts.h"

#include <gtest/gtest.h>

using namespace pdf;

namespace {

class FontsTest : public ::testing::Test {
 protected:
  void SetUp() override { Doc.NewDoc(); }

  int32_t Width(const std::u16string& AFont, char16_t AChar) {
    return Doc.GetFont(AFont).GetCharWidth(std::u16string(1, AChar), 1);
  }

  static std::string Written(const TPdfObject& AObject) {
    std::string Out;
    AObject.WriteValueToStream(Out);
    return Out;
  }

  TPdfDoc Doc;
};

TEST_F(FontsTest, TwelveRegisteredNamesAndTheirBaseFonts) {
  const struct {
    const char16_t* Name;
    const char16_t* BaseFont;
  } Cases[] = {
      {u"FixedWidth", u"Courier"},
      {u"FixedWidth-Bold", u"Courier-Bold"},
      {u"FixedWidth-Italic", u"Courier-Oblique"},
      {u"FixedWidth-BoldItalic", u"Courier-BoldOblique"},
      {u"Arial", u"Helvetica"},
      {u"Arial-Bold", u"Helvetica-Bold"},
      {u"Arial-Italic", u"Helvetica-Oblique"},
      {u"Arial-BoldItalic", u"Helvetica-BoldOblique"},
      {u"Times-Roman", u"Times-Roman"},
      {u"Times-Bold", u"Times-Bold"},
      {u"Times-Italic", u"Times-Italic"},
      {u"Times-BoldItalic", u"Times-BoldItalic"},
  };
  int Index = 0;
  for (const auto& Case : Cases) {
    TPdfFont& Font = Doc.GetFont(Case.Name);
    EXPECT_EQ(Font.Name(), Case.Name);
    EXPECT_EQ(Font.Data()->PdfNameByName(u"BaseFont")->Value(), Case.BaseFont);
    EXPECT_EQ(Utf8Of(Font.Data()->PdfNameByName(u"Name")->Value()), "F" + std::to_string(Index));
    EXPECT_EQ(&Doc.GetFont(Case.Name), &Font);  // made once per document
    ++Index;
  }
}

TEST_F(FontsTest, UnknownNamesAreRefused) {
  for (const std::u16string Name : {u"Helvetica", u"arial", u"Pdf-Jpeg", u""}) {
    try {
      Doc.GetFont(Name);
      ADD_FAILURE() << "accepted " << Utf8Of(Name);
    } catch (const std::runtime_error& Error) {
      EXPECT_EQ(Error.what(), "CreateFont --InvalidFontName:" + Utf8Of(Name));
    }
  }
  TPdfDoc Empty;
  EXPECT_THROW(Empty.GetFont(u"Arial"), EPdfInvalidOperation);
}

TEST_F(FontsTest, DictionaryIsWrittenWithoutWidths) {
  const TPdfFont& Arial = Doc.GetFont(u"Arial");
  EXPECT_EQ(Written(*Arial.Data()),
            std::to_string(Arial.Data()->ObjectNumber()) +
                " 0 obj\r\n"
                "<<\r\n/Type /Font\r\n/Subtype /Type1\r\n/Encoding /WinAnsiEncoding\r\n/FirstChar 32\r\n"
                "/LastChar 255\r\n/BaseFont /Helvetica\r\n/Name /F0\r\n>>\r\nendobj\r\n");
  const TPdfArray* Widths = Arial.Data()->PdfArrayByName(u"Widths");
  ASSERT_NE(Widths, nullptr);
  EXPECT_EQ(Widths->ItemCount(), 224);
}

TEST_F(FontsTest, ObliqueFacesShareTheUprightWidths) {
  const auto& Arial = dynamic_cast<const TPdfType1Font&>(Doc.GetFont(u"Arial"));
  const auto& Italic = dynamic_cast<const TPdfType1Font&>(Doc.GetFont(u"Arial-Italic"));
  const auto& Bold = dynamic_cast<const TPdfType1Font&>(Doc.GetFont(u"Arial-Bold"));
  const auto& BoldItalic = dynamic_cast<const TPdfType1Font&>(Doc.GetFont(u"Arial-BoldItalic"));
  for (int Code = 0; Code < 256; ++Code) {
    EXPECT_EQ(Arial.WidthOfCode(static_cast<uint8_t>(Code)), Italic.WidthOfCode(static_cast<uint8_t>(Code)));
    EXPECT_EQ(Bold.WidthOfCode(static_cast<uint8_t>(Code)), BoldItalic.WidthOfCode(static_cast<uint8_t>(Code)));
  }
  EXPECT_EQ(Arial.Data()->PdfNameByName(u"Name")->Value(), u"F0");
  EXPECT_EQ(Italic.Data()->PdfNameByName(u"Name")->Value(), u"F1");
  EXPECT_NE(Arial.Data(), Italic.Data());
}

TEST_F(FontsTest, TellingRows) {
  const struct {
    const char16_t* Font;
    char16_t Char;
    int32_t Width;
  } Cases[] = {
      {u"Arial", u' ', 278},
      {u"Arial-Bold", u' ', 278},
      {u"Times-Roman", u' ', 250},
      {u"Times-Bold", u' ', 250},
      {u"Times-Italic", u' ', 250},
      {u"Times-BoldItalic", u' ', 250},
      {u"Arial", u'@', 1015},
      {u"Arial-Bold", u'@', 975},
      {u"Times-Roman", u'@', 921},
      {u"Times-Bold", u'@', 930},
      {u"Times-Italic", u'@', 920},
      {u"Times-BoldItalic", u'@', 832},
      {u"Arial", u'A', 667},
      {u"Arial-Bold", u'A', 722},
      {u"Times-Roman", u'A', 722},
      {u"Times-Italic", u'A', 611},
      {u"Arial", u'é', 556},
      {u"Arial-Bold", u'é', 556},
      {u"Arial-Italic", u'é', 556},
      {u"Times-Roman", u'é', 444},
      {u"Arial", u'—', 1000},
      {u"Arial-Bold", u'—', 1000},
      {u"Times-Roman", u'—', 1000},
      {u"Times-Bold", u'—', 1000},
      {u"Times-BoldItalic", u'—', 1000},
      {u"Times-Italic", u'—', 889},
      {u"Arial", u'€', 556},
      {u"Arial-BoldItalic", u'€', 556},
      {u"Times-Roman", u'€', 500},
      {u"Times-BoldItalic", u'€', 500},
      // No glyph, no-break space, soft hyphen, control codes.
      {u"Arial", u'\x7F', 0},
      {u"Times-Roman", u'\xA0', 0},
      {u"Arial-Bold", u'\xAD', 0},
      {u"Arial", u'\t', 0},
      {u"Times-Bold", u'\x01', 0},
  };
  for (const auto& Case : Cases)
    EXPECT_EQ(Width(Case.Font, Case.Char), Case.Width) << Utf8Of(Case.Font) << " code " << int(Case.Char);
  const auto& Arial = dynamic_cast<const TPdfType1Font&>(Doc.GetFont(u"Arial"));
  for (int Code : {127, 129, 141, 143, 144, 157, 160, 173})
    EXPECT_EQ(Arial.WidthOfCode(static_cast<uint8_t>(Code)), 0) << Code;
}

// "Caisse : " in Arial at 10 points: C 722, a 556, i 222, s 500, s 500,
// e 556, space 278, colon 278, space 278, that is 3890 thousandths of 10
// points. (The standard Helvetica "C" is 722 wide; a sum that takes it as
// 667 would give 38.35 and measure every text with a C short.)
TEST_F(FontsTest, CaisseMeasuresAtTenPoints) {
  Doc.AddPage();
  Doc.Canvas()->SetFont(u"Arial", 10);
  const char16_t Caisse[] = u"Caisse : ";
  const int32_t Expected[] = {722, 556, 222, 500, 500, 556, 278, 278, 278};
  for (size_t I = 0; I < 9; ++I) EXPECT_EQ(Width(u"Arial", Caisse[I]), Expected[I]) << I;
  EXPECT_FLOAT_EQ(Doc.Canvas()->TextWidth(Caisse), 38.9f);
}

TEST_F(FontsTest, EveryCourierCodeIsSixHundred) {
  for (const char16_t* Name : {u"FixedWidth", u"FixedWidth-Bold", u"FixedWidth-Italic", u"FixedWidth-BoldItalic"}) {
    const auto& Font = dynamic_cast<const TPdfType1Font&>(Doc.GetFont(Name));
    for (int Code = 32; Code < 256; ++Code)
      EXPECT_EQ(Font.WidthOfCode(static_cast<uint8_t>(Code)), 600) << Utf8Of(Name) << " " << Code;
    EXPECT_EQ(Font.FirstChar(), 32);
    EXPECT_EQ(Font.LastChar(), 255);
  }
}

}  // namespace
