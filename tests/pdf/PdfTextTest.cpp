// Text helpers: number formatting, Windows-1252 output, escaping, dates.

#include "pdf/PdfErrors.h"
#include "pdf/PdfText.h"
#include "pdf/PdfTypes.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <locale>
#include <random>

#include "support/CaseName.h"

using namespace pdf;

namespace {

struct RealCase {
  long double Value;
  const char* Expected;
};

class FormatRealTest : public ::testing::TestWithParam<RealCase> {};

// The value with twelve significant digits, enough to tell the cases apart.
std::string realText(long double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.12Lg", value);
  return text;
}

TEST_P(FormatRealTest, RoundsToTwoDecimalsInBinary) { EXPECT_EQ(FormatReal(GetParam().Value), GetParam().Expected); }

INSTANTIATE_TEST_SUITE_P(Examples, FormatRealTest,
                         ::testing::Values(RealCase{10, "10"}, RealCase{60.5L, "60.5"},
                                           RealCase{227.0L / 255.0L, "0.89"}, RealCase{50.0L / 3.0L, "16.67"},
                                           RealCase{0.125L, "0.13"}, RealCase{-1.25L, "-1.24"}, RealCase{-0.004L, "0"},
                                           RealCase{0.124L, "0.12"}, RealCase{0.005f, "0"}, RealCase{0.5f, "0.5"},
                                           RealCase{-3.5L, "-3.49"}, RealCase{-0.006L, "0"}, RealCase{596, "596"},
                                           // Truncation toward zero after adding one half: negative whole
                                           // numbers come out one hundredth closer to zero.
                                           RealCase{-20, "-19.99"}, RealCase{0.85f * 10, "8.5"},
                                           RealCase{static_cast<float>(50.0 * 100 / 300), "16.67"},
                                           RealCase{123456789012.25L, "123456789012.25"},
                                           RealCase{1e20L, "100000000000000000000"}),
                         [](const auto& instance) { return caseName(realText(instance.param.Value)); });

// The canvas writes its 32-bit floats through a faster path; it must give
// what the extended-precision rule gives, ties and large values included.
TEST(FormatReal, FloatPathMatchesExtendedPrecision) {
  std::mt19937 Random(20240105);
  std::uniform_int_distribution<uint32_t> Bits;
  std::vector<float> Values = {0.005f, -0.005f, 0.125f, -1.25f,        60.5f,   16.666666f, 0.015f,
                               2.675f, 1e9f,    -1e9f,  1.0995116e12f, 3.4e38f, 1e-30f};
  for (int I = 0; I < 200000; ++I) {
    const uint32_t Raw = Bits(Random);
    float Value;
    std::memcpy(&Value, &Raw, sizeof Value);
    Values.push_back(Value);
    Values.push_back(static_cast<float>(static_cast<int>(Raw % 200000) - 100000) / 200.0f);  // exact ties
  }
  for (float Value : Values) {
    std::string Fast;
    std::string Extended;
    AppendReal(Value, Fast);
    AppendReal(static_cast<long double>(Value), Extended);
    ASSERT_EQ(Fast, Extended) << Value;
  }
}

TEST(FormatReal, NonFiniteValuesAreWrittenAsZero) {
  EXPECT_EQ(FormatReal(std::numeric_limits<double>::infinity()), "0");
  EXPECT_EQ(FormatReal(std::numeric_limits<double>::quiet_NaN()), "0");
}

TEST(FormatGeneral, FifteenSignificantDigitsWithoutExponent) {
  EXPECT_EQ(FormatGeneral(1.5), "1.5");
  EXPECT_EQ(FormatGeneral(2), "2");
  EXPECT_EQ(FormatGeneral(0.1), "0.1");
  EXPECT_EQ(FormatGeneral(-0.00001), "-0.00001");
  EXPECT_EQ(FormatGeneral(1.0 / 3.0), "0.333333333333333");
  EXPECT_EQ(FormatGeneral(1e17), "100000000000000000");
  EXPECT_EQ(FormatGeneral(0), "0");
}

// The decimal point must not follow the system's regional settings.
TEST(FormatReal, IgnoresAFrenchLocale) {
  const char* French = nullptr;
  for (const char* Name : {"fr_FR.UTF-8", "fr_FR.utf8", "fr_FR"})
    if (std::setlocale(LC_ALL, Name)) {
      French = Name;
      break;
    }
  if (!French) GTEST_SKIP() << "no French locale on this machine (localedef -i fr_FR -f UTF-8 fr_FR.UTF-8)";
  const std::locale Previous = std::locale::global(std::locale(French));
  ASSERT_EQ(std::string(std::localeconv()->decimal_point), ",");

  std::string Real;
  TPdfReal(2.25).WriteToStream(Real);
  const std::string Results[] = {FormatReal(60.5), FormatReal(227.0 / 255.0), FormatGeneral(1.5), Real};

  std::locale::global(Previous);
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(Results[0], "60.5");
  EXPECT_EQ(Results[1], "0.89");
  EXPECT_EQ(Results[2], "1.5");
  EXPECT_EQ(Results[3], "2.25");
}

TEST(WriteText, WritesWindows1252WithQuestionMarks) {
  const struct {
    std::u16string Text;
    std::string Bytes;
  } Cases[] = {
      {u"Abc", "Abc"},
      {u"é", "\xE9"},
      {u"€", "\x80"},
      {u"Œuvre — “x”", "\x8Cuvre \x97 \x93x\x94"},
      {u"Ā", "?"},               // no Windows-1252 byte
      {u"\u0081", "?"},          // C1 control: not a character of the code page
      {u"a\U0001F600b", "a?b"},  // one character outside the BMP, one "?"
      {u"\xD800", "?"},          // lone surrogate
      {u"ÿ", "\xFF"},
  };
  for (const auto& Case : Cases) {
    std::string Out = "x";
    WriteText(Case.Text, Out);
    EXPECT_EQ(Out, "x" + Case.Bytes) << Utf8Of(Case.Text);
  }
}

TEST(EscapeLiteral, EscapesTheEightSpecialCharacters) {
  EXPECT_EQ(EscapeLiteral(u"a(b)c\\d"), u"a\\(b\\)c\\\\d");
  EXPECT_EQ(EscapeLiteral(u"\r\n\t\b\f"), u"\\r\\n\\t\\b\\f");
  EXPECT_EQ(EscapeLiteral(u"Régime : %<>"), u"Régime : %<>");
}

TEST(HexForms, CodeUnitsAndUnicodeText) {
  EXPECT_FALSE(NeedsHexForm(u"Sécurité €"));
  EXPECT_TRUE(NeedsHexForm(u"x\U0001F600"));
  EXPECT_EQ(HexOfCodeUnits(u"A\u00E9\u20AC\u0001"), "41E920AC01");
  EXPECT_EQ(UnicodeTextHeader(), "FEFF");  // no language escape: PDF 1.2 has none
  EXPECT_EQ(UnicodeTextHex(u"A€"), "004120AC");
  EXPECT_EQ(HexOfAnsiBytes(u"é\U0001F600"), "E93F");
}

TEST(PdfDates, WritesAndReadsBack) {
  const TPdfDateTime Date{2024, 1, 5, 9, 30, 7};
  EXPECT_EQ(PdfDateOf(Date), u"D:20240105093007");
  EXPECT_EQ(DateOfPdf(u"D:20240105093007"), Date);
  EXPECT_EQ(DateOfPdf(u"D:20000229235959"), (TPdfDateTime{2000, 2, 29, 23, 59, 59}));
}

TEST(PdfDates, MalformedTextsAreConversionErrors) {
  for (const std::u16string Text : {u"", u"D:2024010509300", u"D:202401050930070", u"D:2024010509300x",
                                    u"D:20241305093007", u"D:20230229093007", u"D:20240105243007", u"D:2024-1-5093007"})
    EXPECT_THROW(DateOfPdf(Text), EPdfConvertError) << Utf8Of(Text);
}

TEST(PadNumber, PadsWithZerosAndNeverCuts) {
  EXPECT_EQ(PadNumber(1234, 10), "0000001234");
  EXPECT_EQ(PadNumber(65535, 5), "65535");
  EXPECT_EQ(PadNumber(-1, 10), "0000000000");
  EXPECT_EQ(PadNumber(123456, 3), "123456");
}

}  // namespace
