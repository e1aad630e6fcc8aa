// The page canvas: one operator line per call, the text state and its
// checks, font selection, images, measuring.

#include "pdf/PdfDoc.h"
#include "pdf/PdfErrors.h"
#include "pdf/PdfJpegImage.h"

#include "PdfTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <sstream>

using namespace pdf;

namespace {

class CanvasTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Doc.SetClock([] { return TPdfDateTime{2024, 1, 5, 9, 30, 7}; });
    Doc.NewDoc();
    Doc.AddPage();
  }

  TPdfCanvas& Canvas() { return *Doc.Canvas(); }
  std::string& Content() { return Canvas().Contents()->Stream(); }

  // What the action appends to the content stream.
  std::string WrittenBy(const std::function<void(TPdfCanvas&)>& Action) {
    const size_t Before = Content().size();
    Action(Canvas());
    return Content().substr(Before);
  }

  void AddLogo(const std::u16string& AName) {
    TJpegPicture Logo;
    Logo.LoadFromBytes(pdftest::MakeJpeg(pdftest::JpegKind::Rgb, 30, 10));
    Doc.AddXObject(AName, BuildPdfImage(Logo, u"Pdf-Jpeg"));
  }

  TPdfDoc Doc;
};

struct OperatorCase {
  const char* Label;
  std::function<void(TPdfCanvas&)> Action;
  std::string Expected;
};

TEST_F(CanvasTest, EveryOperatorWritesOneLine) {
  const OperatorCase Cases[] = {
      {"GSave", [](TPdfCanvas& C) { C.GSave(); }, "q\n"},
      {"GRestore", [](TPdfCanvas& C) { C.GRestore(); }, "Q\n"},
      {"Concat", [](TPdfCanvas& C) { C.Concat(150, 0, 0, 50, 15, 777); }, "150 0 0 50 15 777 cm\n"},
      {"SetFlat", [](TPdfCanvas& C) { C.SetFlat(3); }, "3 i\n"},
      {"SetLineCap", [](TPdfCanvas& C) { C.SetLineCap(lcProjectingSquareEnd); }, "2 J\n"},
      {"SetDash",
       [](TPdfCanvas& C) {
         C.SetDash({3, 2}, 1);
       },
       "[3 2 ] 1 d\n"},
      {"SetDash solid",
       [](TPdfCanvas& C) {
         C.SetDash({0, 2}, 0);
       },
       "[] 0 d\n"},
      {"SetDash empty", [](TPdfCanvas& C) { C.SetDash({}, 4); }, "[] 4 d\n"},
      {"SetLineJoin", [](TPdfCanvas& C) { C.SetLineJoin(ljRoundJoin); }, "1 j\n"},
      {"SetLineWidth half", [](TPdfCanvas& C) { C.SetLineWidth(0.5); }, "0.5 w\n"},
      {"SetLineWidth one", [](TPdfCanvas& C) { C.SetLineWidth(1); }, "1 w\n"},
      {"SetMiterLimit", [](TPdfCanvas& C) { C.SetMiterLimit(10); }, "10 M\n"},
      {"MoveTo", [](TPdfCanvas& C) { C.MoveTo(20, 617); }, "20 617 m\n"},
      {"LineTo", [](TPdfCanvas& C) { C.LineTo(576, 617.125f); }, "576 617.13 l\n"},
      {"CurveToC", [](TPdfCanvas& C) { C.CurveToC(1, 2, 3, 4, 5, 6); }, "1 2 3 4 5 6 c\n"},
      {"CurveToV", [](TPdfCanvas& C) { C.CurveToV(1, 2, 3, 4); }, "1 2 3 4 v\n"},
      {"CurveToY", [](TPdfCanvas& C) { C.CurveToY(1, 2, 3, 4); }, "1 2 3 4 y\n"},
      {"Rectangle", [](TPdfCanvas& C) { C.Rectangle(10, 20, 30.25f, 40); }, "10 20 30.25 40 re\n"},
      {"Closepath", [](TPdfCanvas& C) { C.Closepath(); }, "h\n"},
      {"NewPath", [](TPdfCanvas& C) { C.NewPath(); }, "n\n"},
      {"Stroke", [](TPdfCanvas& C) { C.Stroke(); }, "S\n"},
      {"ClosePathStroke", [](TPdfCanvas& C) { C.ClosePathStroke(); }, "s\n"},
      {"Fill", [](TPdfCanvas& C) { C.Fill(); }, "f\n"},
      {"Eofill", [](TPdfCanvas& C) { C.Eofill(); }, "f*\n"},
      {"FillStroke", [](TPdfCanvas& C) { C.FillStroke(); }, "B\n"},
      {"ClosepathFillStroke", [](TPdfCanvas& C) { C.ClosepathFillStroke(); }, "b\n"},
      {"EofillStroke", [](TPdfCanvas& C) { C.EofillStroke(); }, "B*\n"},
      {"ClosepathEofillStroke", [](TPdfCanvas& C) { C.ClosepathEofillStroke(); }, "b*\n"},
      {"Clip", [](TPdfCanvas& C) { C.Clip(); }, "W\n"},
      {"Eoclip", [](TPdfCanvas& C) { C.Eoclip(); }, "W*\n"},
      {"SetCharSpace", [](TPdfCanvas& C) { C.SetCharSpace(1.5); }, "1.5 Tc\n"},
      {"SetWordSpace", [](TPdfCanvas& C) { C.SetWordSpace(2); }, "2 Tw\n"},
      {"SetHorizontalScaling", [](TPdfCanvas& C) { C.SetHorizontalScaling(50); }, "50 Tz\n"},
      {"SetLeading", [](TPdfCanvas& C) { C.SetLeading(12); }, "12 TL\n"},
      {"SetFontAndSize", [](TPdfCanvas& C) { C.SetFontAndSize(u"/F1", 20); }, "/F1 20 Tf\n"},
      {"SetTextRenderingMode", [](TPdfCanvas& C) { C.SetTextRenderingMode(trClipping); }, "7 Tr\n"},
      {"SetTextRise", [](TPdfCanvas& C) { C.SetTextRise(-3); }, "-3 Ts\n"},
      {"BeginText", [](TPdfCanvas& C) { C.BeginText(); }, "BT\n"},
      {"EndText", [](TPdfCanvas& C) { C.EndText(); }, "ET\n"},
      {"MoveTextPoint", [](TPdfCanvas& C) { C.MoveTextPoint(60.5, 757); }, "60.5 757 Td\n"},
      {"SetTextMatrix", [](TPdfCanvas& C) { C.SetTextMatrix(1, 0, 0, 1, 100, 200); }, "1 0 0 1 100 200 Tm\n"},
      {"MoveToNextLine", [](TPdfCanvas& C) { C.MoveToNextLine(); }, "T*\n"},
      {"ShowText", [](TPdfCanvas& C) { C.ShowText(u"Régime (a\\b)"); }, "(R\xE9gime \\(a\\\\b\\)) Tj\n"},
      {"ShowText hex", [](TPdfCanvas& C) { C.ShowText(u"é\U0001F600"); }, "<E93F> Tj\n"},
      {"ShowTextNextLine", [](TPdfCanvas& C) { C.ShowTextNextLine(u"x\ty"); }, "(x\\ty) '\n"},
      {"ExecuteXObject", [](TPdfCanvas& C) { C.ExecuteXObject(u"logo_sante"); }, "/logo_sante Do\n"},
      {"ExecuteXObject escaped", [](TPdfCanvas& C) { C.ExecuteXObject(u"logo santé/€"); },
       "/logo#20sant#E9#2F#E2#82#AC Do\n"},
      {"grey stroke", [](TPdfCanvas& C) { C.SetRGBStrokeColor(0xE3E3E3); }, "0.89 0.89 0.89 RG\n"},
      {"red fill", [](TPdfCanvas& C) { C.SetRGBFillColor(0x0000FF); }, "1 0 0 rg\n"},
      {"blue fill", [](TPdfCanvas& C) { C.SetRGBFillColor(0xFF0000); }, "0 0 1 rg\n"},
      {"green stroke", [](TPdfCanvas& C) { C.SetRGBStrokeColor(0x008000); }, "0 0.5 0 RG\n"},
      {"black stroke", [](TPdfCanvas& C) { C.SetRGBStrokeColor(0); }, "0 0 0 RG\n"},
      {"negative colour", [](TPdfCanvas& C) { C.SetRGBStrokeColor(-1); }, "0 0 0 RG\n"},
      {"TextOut", [](TPdfCanvas& C) { C.TextOut(20, 657, u"Assuré"); }, "BT\n20 657 Td\n(Assur\xE9) Tj\nET\n"},
  };
  for (const auto& Case : Cases) EXPECT_EQ(WrittenBy(Case.Action), Case.Expected) << Case.Label;
}

TEST_F(CanvasTest, NewPageSelectsArialTenOnce) {
  EXPECT_EQ(Content(), "/F0 10 Tf\n");
  EXPECT_EQ(WrittenBy([](TPdfCanvas& C) { C.SetFont(u"Arial", 10); }), "");
  EXPECT_EQ(WrittenBy([](TPdfCanvas& C) {
              C.SetFont(u"Arial-Bold", 20);
              C.SetFont(u"Arial", 20);
              C.SetFont(u"Arial", 20);
            }),
            "/F1 20 Tf\n/F0 20 Tf\n");
  const TPdfDictionary& Fonts = PageResource(*Canvas().Page(), u"Font");
  ASSERT_EQ(Fonts.ItemCount(), 2);
  EXPECT_EQ(Fonts.Items(0).Key(), u"F0");
  EXPECT_EQ(Fonts.Items(1).Key(), u"F1");
}

TEST_F(CanvasTest, TextStateChangesAreWrittenOnlyWhenTheyChange) {
  EXPECT_EQ(WrittenBy([](TPdfCanvas& C) {
              C.SetCharSpace(0);
              C.SetWordSpace(0);
              C.SetHorizontalScaling(100);
              C.SetLeading(0);
              C.SetCharSpace(2);
              C.SetCharSpace(2);
            }),
            "2 Tc\n");
  EXPECT_EQ(Canvas().Attribute().CharSpace(), 2);
}

TEST_F(CanvasTest, OutOfRangeTextStateIsRefusedAndKept) {
  const struct {
    std::function<void(TPdfCanvas&)> Action;
    const char* Message;
  } Cases[] = {
      {[](TPdfCanvas& C) { C.SetWordSpace(-0.5f); }, "SetWordSpace --invalid word space"},
      {[](TPdfCanvas& C) { C.SetCharSpace(-31); }, "SetCharSpace --invalid char space"},
      {[](TPdfCanvas& C) { C.SetCharSpace(301); }, "SetCharSpace --invalid char space"},
      {[](TPdfCanvas& C) { C.SetFont(u"Arial", 301); }, "SetCharSpace --invalid font size"},
      {[](TPdfCanvas& C) { C.SetFont(u"Arial", -1); }, "SetCharSpace --invalid font size"},
      {[](TPdfCanvas& C) { C.SetHorizontalScaling(9); }, "SetHorizontalScaling --invalid font size"},
      {[](TPdfCanvas& C) { C.SetHorizontalScaling(301); }, "SetHorizontalScaling --invalid font size"},
      {[](TPdfCanvas& C) { C.SetLeading(300.5f); }, "SetLeading --invalid font size"},
  };
  for (const auto& Case : Cases) {
    const size_t Before = Content().size();
    try {
      Case.Action(Canvas());
      ADD_FAILURE() << "accepted: " << Case.Message;
    } catch (const EPdfInvalidValue& Error) {
      EXPECT_STREQ(Error.what(), Case.Message);
    }
    EXPECT_EQ(Content().size(), Before) << Case.Message;
  }
  const TPdfCanvasAttribute& State = Canvas().Attribute();
  EXPECT_EQ(State.WordSpace(), 0);
  EXPECT_EQ(State.CharSpace(), 0);
  EXPECT_EQ(State.FontSize(), 10);
  EXPECT_EQ(State.HorizontalScaling(), 100);
  EXPECT_EQ(State.Leading(), 0);
  // The limits themselves are allowed.
  EXPECT_NO_THROW(Canvas().SetCharSpace(-30));
  EXPECT_NO_THROW(Canvas().SetFont(u"Arial", 300));
  EXPECT_NO_THROW(Canvas().SetHorizontalScaling(10));
}

TEST_F(CanvasTest, DrawingAnImageTwiceAddsOneResource) {
  AddLogo(u"logo_sante");
  const std::string Drawn = WrittenBy([](TPdfCanvas& C) {
    C.DrawXObject(15, 777, 150, 50, u"logo_sante");
    C.DrawXObject(15, 777, 16.666666f, 50, u"logo_sante");
  });
  EXPECT_EQ(Drawn,
            "q\n150 0 0 50 15 777 cm\n/logo_sante Do\nQ\n"
            "q\n16.67 0 0 50 15 777 cm\n/logo_sante Do\nQ\n");
  EXPECT_EQ(PageResource(*Canvas().Page(), u"XObject").ItemCount(), 1);

  EXPECT_EQ(WrittenBy([](TPdfCanvas& C) { C.DrawXObjectEx(1, 2, 3, 4, 5, 6, 7, 8, u"logo_sante"); }),
            "q\n5 6 7 8 re\nW\nn\n3 0 0 4 1 2 cm\n/logo_sante Do\nQ\n");
}

// The drawing operator names the image exactly as the page's resources do,
// whatever the name holds.
TEST_F(CanvasTest, DrawnImageNameIsTheResourceKey) {
  for (const std::u16string Name : {u"logo sante", u"logo €uro", u"(logo)#1", u"logo\U0001F600"}) {
    Doc.NewDoc();
    Doc.AddPage();
    AddLogo(Name);
    const std::string Drawn = WrittenBy([&Name](TPdfCanvas& C) { C.DrawXObject(15, 777, 150, 50, Name); });
    std::string Key;
    WriteName(Name, Key);
    EXPECT_EQ(Drawn, "q\n150 0 0 50 15 777 cm\n" + Key + " Do\nQ\n") << Utf8Of(Name);
    std::string Resources;
    PageResource(*Canvas().Page(), u"XObject").WriteToStream(Resources);
    EXPECT_EQ(Resources, "<<\r\n" + Key + " " + std::to_string(Doc.GetXObject(Name)->ObjectNumber()) + " 0 R\r\n>>")
        << Utf8Of(Name);
  }
  EXPECT_THROW(Canvas().DrawXObject(0, 0, 1, 1, std::u16string(u"a\0b", 3)), EPdfInvalidValue);
}

TEST_F(CanvasTest, DrawingAnUnknownImageFails) {
  try {
    Canvas().DrawXObject(0, 0, 1, 1, u"absent");
    FAIL();
  } catch (const EPdfInvalidValue& Error) {
    EXPECT_STREQ(Error.what(), "DrawXObject --XObject not found: absent");
  }
  try {
    Canvas().DrawXObjectEx(0, 0, 1, 1, 0, 0, 1, 1, u"absent");
    FAIL();
  } catch (const EPdfInvalidValue& Error) {
    EXPECT_STREQ(Error.what(), "DrawXObjectEx --XObject not found: absent");
  }
}

TEST_F(CanvasTest, PagesKeepTheirOwnTextState) {
  Canvas().SetFont(u"Times-Roman", 12);
  Canvas().SetCharSpace(1.25f);
  TPdfDictionary* First = Canvas().Page();
  Doc.AddPage();
  // The new page starts over, even with the font the first page ended on.
  EXPECT_EQ(Content(), "/F0 10 Tf\n");
  EXPECT_EQ(Canvas().Attribute().CharSpace(), 0);
  Canvas().SetFont(u"Arial", 10);
  EXPECT_EQ(Content(), "/F0 10 Tf\n");

  Canvas().SetPage(First);
  EXPECT_EQ(Canvas().Attribute().Font()->Name(), u"Times-Roman");
  EXPECT_EQ(Canvas().Attribute().FontSize(), 12);
  EXPECT_EQ(Canvas().Attribute().CharSpace(), 1.25f);

  std::ostringstream File;
  Doc.SaveToStream(File);
  EXPECT_EQ(File.str().find("_Font"), std::string::npos);
  EXPECT_EQ(File.str().find("_Leading"), std::string::npos);
}

TEST_F(CanvasTest, WidthsFollowTheTextState) {
  EXPECT_FLOAT_EQ(Canvas().TextWidth(u"Caisse : "), 38.9f);
  EXPECT_FLOAT_EQ(Canvas().TextWidth(u""), 0);
  EXPECT_EQ(Canvas().MeasureText(u"Caisse : ", 100), 9);
  EXPECT_EQ(Canvas().MeasureText(u"Caisse : ", 12.9f), 2);  // 7.22 + 5.56 = 12.78
  EXPECT_EQ(Canvas().MeasureText(u"Caisse : ", 12.7f), 1);

  Canvas().SetCharSpace(1);
  Canvas().SetWordSpace(2);
  // Five advances of 1 + width, a word space for each inner blank, minus
  // one character space.
  EXPECT_FLOAT_EQ(Canvas().TextWidth(u"a b a"), 5 * 1 + 5.56f * 3 + 2.78f * 2 + 2 * 2 - 1);
  EXPECT_FLOAT_EQ(Canvas().TextWidth(u"a "), 2 * 1 + 5.56f + 2.78f - 1);

  Canvas().SetCharSpace(0);
  Canvas().SetWordSpace(0);
  Canvas().SetHorizontalScaling(50);
  EXPECT_FLOAT_EQ(Canvas().TextWidth(u"Caisse : "), 38.9f / 2);

  // Characters are measured as the byte they are written as.
  Canvas().SetHorizontalScaling(100);
  EXPECT_FLOAT_EQ(Canvas().TextWidth(u"€"), 5.56f);
  EXPECT_FLOAT_EQ(Canvas().TextWidth(u"\U0001F600"), 5.56f);  // one "?"
}

// Arial 10: "Caisse : " is 38.9 wide, "Caiss…" 35, the ellipsis 10.
TEST_F(CanvasTest, FitTextCutsWithAnEllipsisOnlyWhatIsTooWide) {
  const float Whole = Canvas().TextWidth(u"Caisse : ");
  const float Cut = Canvas().TextWidth(u"Caiss…");
  const struct {
    const char* Label;
    std::u16string Text;
    float Width;
    std::u16string Fitted;
  } Cases[] = {
      {"fits with room", u"Caisse : ", 100, u"Caisse : "},
      {"fits exactly", u"Caisse : ", Whole, u"Caisse : "},
      {"a hair too wide", u"Caisse : ", std::nextafter(Whole, 0.0f), u"Caiss…"},
      {"the cut fits exactly", u"Caisse : ", Cut, u"Caiss…"},
      {"the cut a hair too wide", u"Caisse : ", std::nextafter(Cut, 0.0f), u"Cais…"},
      {"narrower than the ellipsis", u"Caisse : ", 5, u"…"},
      {"empty", u"", 0, u""},
      {"widest glyph", std::u16string(40, u'W'), 100, std::u16string(9, u'W') + u"…"},  // 9 x 9.44 + 10
      {"em dashes", std::u16string(40, u'—'), 100, std::u16string(9, u'—') + u"…"},
      // "a" 5.56, the emoji one "?" of 5.56 and nothing for its second half.
      {"surrogate pair kept whole", u"a\U0001F600bcd", 21.5f, u"a\U0001F600…"},
      {"surrogate pair left out whole", u"a\U0001F600bcd", 21, u"a…"},
  };
  for (const auto& Case : Cases) {
    const std::u16string Fitted = Canvas().FitText(Case.Text, Case.Width);
    EXPECT_EQ(Utf8Of(Fitted), Utf8Of(Case.Fitted)) << Case.Label;
    if (Fitted != Case.Text && Fitted != u"…") {
      EXPECT_LE(Canvas().TextWidth(Fitted), Case.Width) << Case.Label;
    }
  }
  // Spacing counts as it is drawn: "Cais…" is 20 + 10 and four spaces of 2.
  Canvas().SetCharSpace(2);
  EXPECT_EQ(Utf8Of(Canvas().FitText(u"Caisse : ", 38.9f)), Utf8Of(u"Cais…"));
  // The ellipsis is WinAnsi code 0x85 in the file.
  Canvas().SetCharSpace(0);
  EXPECT_EQ(WrittenBy([](TPdfCanvas& C) { C.ShowText(C.FitText(u"Caisse : ", 20)); }), "(C\x85) Tj\n");
}

TEST_F(CanvasTest, VirtualModeMeasuresWithoutWriting) {
  Doc.SetVirtualMode();
  const std::string Before = Content();
  Canvas().SetFont(u"Arial-Bold", 20);
  Canvas().TextOut(10, 10, u"rien");
  Canvas().SetLineWidth(2);
  EXPECT_EQ(Content(), Before);
  EXPECT_FLOAT_EQ(Canvas().TextWidth(u"A"), 14.44f);
}

TEST_F(CanvasTest, TextRectangles) {
  EXPECT_EQ(
      WrittenBy([](TPdfCanvas& C) { C.TextRect(PdfRect(100, 700, 200, 680), u"Caisse : ", paRightJustify, false); }),
      "BT\n161 691.5 Td\n(Caisse : ) Tj\nET\n");
  EXPECT_EQ(WrittenBy([](TPdfCanvas& C) { C.TextRect(PdfRect(100, 700, 200, 680), u"ab", paCenter, true); }),
            "q\n100 700 m\n200 700 l\n200 680 l\n100 680 l\nh\nW\nn\nBT\n144 691.5 Td\n(ab) Tj\nET\nQ\n");

  Canvas().SetLeading(12);
  EXPECT_EQ(WrittenBy([](TPdfCanvas& C) { C.MultilineTextRect(PdfRect(0, 100, 30, 0), u"aaa bbb ccc\r\nd", true); }),
            "BT\n0 91.5 Td\n(aaa ) Tj\nT*\n(bbb ) Tj\nT*\n(ccc) Tj\nT*\n(d) Tj\nT*\nET\n");
  // Without wrapping, each line is cut to what fits the box.
  EXPECT_EQ(WrittenBy([](TPdfCanvas& C) { C.MultilineTextRect(PdfRect(0, 100, 12, 0), u"aaa bbb", false); }),
            "BT\n0 91.5 Td\n(aa) Tj\nT*\nET\n");
  // Lines stop one font size above the bottom.
  EXPECT_EQ(WrittenBy([](TPdfCanvas& C) { C.MultilineTextRect(PdfRect(0, 100, 30, 75), u"a\r\nb\r\nc\r\nd", false); }),
            "BT\n0 91.5 Td\n(a) Tj\nT*\n(b) Tj\nT*\nET\n");
}

TEST(CanvasWords, NextWordEndsAfterABlankOrALineBreak) {
  const std::u16string Text = u"un deux\r\ntrois";
  size_t Index = 0;
  EXPECT_EQ(TPdfCanvas::GetNextWord(Text, Index), u"un ");
  EXPECT_EQ(TPdfCanvas::GetNextWord(Text, Index), u"deux\r\n");
  EXPECT_EQ(TPdfCanvas::GetNextWord(Text, Index), u"trois");
  EXPECT_EQ(Index, Text.size());
  EXPECT_EQ(TPdfCanvas::GetNextWord(Text, Index), u"");
}

TEST_F(CanvasTest, EllipseIsFourQuarterArcs) {
  EXPECT_EQ(WrittenBy([](TPdfCanvas& C) { C.Ellipse(0, 0, 200, 100); }),
            "0 50 m\n"
            "0 77.5 45 100 100 100 c\n"
            "155 100 200 77.5 200 50 c\n"
            "200 22.5 155 0 100 0 c\n"
            "45 0 0 22.5 0 50 c\n");
}

TEST_F(CanvasTest, PageSizeComesFromTheMediaBox) {
  EXPECT_EQ(Canvas().PageWidth(), 596);
  EXPECT_EQ(Canvas().PageHeight(), 842);
  Canvas().SetPageWidth(842);
  Canvas().SetPageHeight(596);
  std::string Box;
  Canvas().Page()->ValueByName(u"MediaBox")->WriteToStream(Box);
  EXPECT_EQ(Box, "[0 0 842 596 ]");
  Canvas().Page()->RemoveItem(u"MediaBox");
  EXPECT_EQ(Canvas().PageWidth(), 596);  // the document's default
}

}  // namespace
