// Card texts too wide for their column: cut at the last character that fits,
// an ellipsis after it, so that no text runs into what stands on its right.
// The expected cuts were summed from the Helvetica width table apart from
// the writer, with the 3-point gap before each column's end.
#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <algorithm>

#include "pdf/PdfText.h"
#include "support/CertificateFixture.h"

using namespace certtest;

namespace {

const QString kRochefoucauld = QStringLiteral("DE LA ROCHEFOUCAULD-D'ESTISSAC-LIANCOURT");
const QString kMontmorency = kRochefoucauld + QStringLiteral("-MONTMORENCY");
const QString kHerFirstNames = QStringLiteral("Marie-Thérèse Éléonore Geneviève");
const QString kWideLetters = QString(40, u'W');
const QString kEmDashes = QString(40, QChar(0x2014));
const QString kSchemeLabel = QStringLiteral(
    "Régime social des indépendants — artisans, industriels, commerçants et professions libérales non agricoles");
const QString kFundLabel = QStringLiteral(
    "Caisse primaire d'assurance maladie des Hauts-de-Seine — centre de paiement de Nanterre-Préfecture");

QString cut(const QString& start) { return start + QChar(0x2026); }

// A text as the content stream holds it (Windows-1252 bytes, read back as
// Latin-1 as contentLines does), escaped as a literal string.
QString inStream(const QString& text) {
  std::string bytes;
  pdf::WriteEscapedText(text.toStdU16String(), bytes);
  return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
}

QStringList textOut(const char* x, int y, const QString& text) {
  return {QStringLiteral("BT"), QString::fromLatin1(x) + QStringLiteral(" %1 Td").arg(y),
          u'(' + inStream(text) + QStringLiteral(") Tj"), QStringLiteral("ET")};
}

struct Drawn {
  const char* x;
  int y;
  QString text;
};

struct FitCase {
  const char* name;
  int row;                                   // the card row the texts go to
  std::vector<std::pair<int, QString>> put;  // slot and card text
  std::vector<Drawn> drawn;                  // where and how they are printed
};
void PrintTo(const FitCase& c, std::ostream* out) { *out << c.name; }

// Row 0 is printed on the top lines (X 130) and in both tables; row 1 in
// the table of beneficiaries only, at Y 493. Columns: names 23 to 311,
// numbers 314 to 421, dates 435 to 507, ranks 510 to 573, top values to 573.
const FitCase kFitCases[] = {
    {"a_long_name_fits_the_top_line_but_not_the_table",
     0,
     {{0, kRochefoucauld}, {2, kHerFirstNames}},
     {{"130", 757, kRochefoucauld + u' ' + kHerFirstNames},
      {"23", 513, cut(kRochefoucauld + QStringLiteral(" Marie-"))}}},
    {"a_beneficiary_s_long_name",
     1,
     {{0, kRochefoucauld}, {2, kHerFirstNames}},
     {{"23", 493, cut(kRochefoucauld + QStringLiteral(" Marie-"))}}},
    {"a_longer_name_on_the_top_line",
     0,
     {{0, kMontmorency}, {2, kHerFirstNames}},
     {{"130", 757, cut(kMontmorency + QStringLiteral(" Marie-Thérèse Éléono"))},
      {"23", 513, cut(kRochefoucauld + QStringLiteral("-MON"))}}},
    {"portuguese_surnames",
     1,
     {{0, QStringLiteral("DOS SANTOS FERREIRA DA SILVA PEREIRA")}, {2, QStringLiteral("Maria da Conceição Aparecida")}},
     {{"23", 493, cut(QStringLiteral("DOS SANTOS FERREIRA DA SILVA PEREIRA Maria da Con"))}}},
    {"cut_after_a_blank",
     1,
     {{0, QStringLiteral("WOLFESCHLEGELSTEINHAUSENBERGERDORFF")}, {2, QStringLiteral("Hubert Blaine")}},
     {{"23", 493, cut(QStringLiteral("WOLFESCHLEGELSTEINHAUSENBERGERDORFF Hubert "))}}},
    {"the_widest_letter", 1, {{0, kWideLetters}, {2, QString()}}, {{"23", 493, cut(QString(29, u'W'))}}},
    {"em_dashes", 1, {{0, kEmDashes}, {2, QString()}}, {{"23", 493, cut(QString(27, QChar(0x2014)))}}},
    {"a_wide_number",
     0,
     {{3, QStringLiteral("WWWWWWWWWWWWW WW")}},
     {{"130", 737, QStringLiteral("W WW WW WW WWW WWW WW")},
      {"314", 575, cut(QStringLiteral("W WW WW WW WW"))},
      {"314", 513, cut(QStringLiteral("W WW WW WW WW"))}}},
    {"a_beneficiary_s_wide_number_date_and_rank",
     1,
     {{3, QStringLiteral("WWWWWWWWWWWWW WW")}, {4, QStringLiteral("WWWWWWWW")}, {5, QStringLiteral("WWWWWWWW")}},
     {{"314", 493, cut(QStringLiteral("W WW WW WW WW"))},
      {"435", 493, cut(QStringLiteral("WW/WW/W"))},
      {"510", 493, cut(QStringLiteral("WWWWW"))}}},
    {"scheme_and_fund_labels",
     0,
     {{51, kSchemeLabel}, {52, kFundLabel}},
     {{"130", 717, cut(kSchemeLabel.left(kSchemeLabel.size() - 11))},
      {"130", 697, cut(kFundLabel.left(kFundLabel.size() - 7))}}},
    {"scheme_codes",
     0,
     {{6, QStringLiteral("WWW")}, {7, QStringLiteral("WWWW")}, {8, QString(20, u'W')}, {9, QString(9, u'W')}},
     {{"23", 575, cut(QStringLiteral("WWW WWWW ") + QString(12, u'W'))}, {"237", 575, cut(QString(5, u'W'))}}},
};

class CertificateFitTest : public CertificateFixture, public ::testing::WithParamInterface<FitCase> {};

TEST_P(CertificateFitTest, TooWideTextsAreCutWithAnEllipsis) {
  const FitCase& c = GetParam();
  fillCard(2);
  for (const auto& [slotIndex, text] : c.put) ppal.appli_xml_ext[size_t(c.row)][size_t(slotIndex)] = text;
  ppal.check_pdf();
  ASSERT_EQ(ppal.appli_check_continue, 0) << ppal.debugLog().plainText().toStdString();

  const QStringList ops = contentLines(certificate());
  for (const Drawn& d : c.drawn)
    EXPECT_TRUE(containsRun(ops, textOut(d.x, d.y, d.text)))
        << "expected at " << d.x << " " << d.y << ": " << d.text.toStdString() << "\n"
        << joined(ops.filter(QStringLiteral(" %1 Td").arg(d.y)));
  // Nothing else is cut: the fixture's other texts are drawn whole.
  EXPECT_EQ(ops.filter(QChar(0x85)).size(), qsizetype(std::count_if(c.drawn.begin(), c.drawn.end(), [](const Drawn& d) {
              return d.text.endsWith(QChar(0x2026));
            })));
}

INSTANTIATE_TEST_SUITE_P(Columns, CertificateFitTest, ::testing::ValuesIn(kFitCases),
                         [](const auto& instance) { return std::string(instance.param.name); });

// A word as pdftotext places it, in points from the page's top left.
struct PlacedWord {
  double xMin, yMin, xMax, yMax;
  QString text;
};

std::vector<PlacedWord> placedWords(const QString& bboxHtml) {
  static const QRegularExpression word(
      QStringLiteral(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
  std::vector<PlacedWord> words;
  for (auto it = word.globalMatch(bboxHtml); it.hasNext();) {
    const auto m = it.next();
    words.push_back({m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                     m.captured(4).toDouble(), m.captured(5)});
  }
  return words;
}

bool overlap(const PlacedWord& a, const PlacedWord& b) {
  return a.xMin < b.xMax && b.xMin < a.xMax && a.yMin < b.yMax && b.yMin < a.yMax;
}

using CertificateOverlapTest = CertificateFixture;

// Every column holding a text too wide for it at once, checked on the glyph
// boxes a real reader finds in the file.
TEST_F(CertificateOverlapTest, NoTwoTextsOverlapOnThePageAReaderSees) {
  const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
  ASSERT_FALSE(pdftotext.isEmpty()) << "pdftotext (Debian package poppler-utils) is needed";
  fillCard(3);
  for (auto& row : ppal.appli_xml_ext) {
    row[0] = kMontmorency;
    row[2] = kHerFirstNames;
    row[3] = QStringLiteral("WWWWWWWWWWWWW WW");
    row[4] = QStringLiteral("WWWWWWWW");
    row[5] = QString(9, u'W');
  }
  ppal.appli_xml_ext[1][0] = kWideLetters;
  ppal.appli_xml_ext[2][0] = kEmDashes;
  auto& insured = ppal.appli_xml_ext[0];
  insured[6] = QStringLiteral("WWW");
  insured[7] = QStringLiteral("WWWW");
  insured[8] = QString(20, u'W');
  insured[9] = QString(9, u'W');
  insured[51] = kSchemeLabel;
  insured[52] = kFundLabel;
  ppal.check_pdf();
  ASSERT_EQ(ppal.appli_check_continue, 0) << ppal.debugLog().plainText().toStdString();

  QProcess process;
  process.start(pdftotext, {QStringLiteral("-bbox"), QStringLiteral("-enc"), QStringLiteral("UTF-8"), certificatePath(),
                            QStringLiteral("-")});
  ASSERT_TRUE(process.waitForFinished(60000));
  ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
  const std::vector<PlacedWord> words = placedWords(QString::fromUtf8(process.readAllStandardOutput()));

  // All the texts are there, the cut ones ending with the ellipsis.
  ASSERT_GT(words.size(), 100u);
  EXPECT_EQ(std::count_if(words.begin(), words.end(), [](const PlacedWord& w) { return w.text.endsWith(u'…'); }), 18);
  for (size_t i = 0; i < words.size(); ++i) {
    // Within the page's margins: 15 points for the notice and the footer.
    EXPECT_LE(words[i].xMax, 596 - 15) << words[i].text.toStdString();
    for (size_t j = i + 1; j < words.size(); ++j)
      EXPECT_FALSE(overlap(words[i], words[j])) << words[i].text.toStdString() << " [" << words[i].xMin << ", "
                                                << words[i].xMax << "] and " << words[j].text.toStdString() << " ["
                                                << words[j].xMin << ", " << words[j].xMax << "] at y " << words[j].yMin;
  }
}

}  // namespace
