// The certificate's page, operator line by operator line, and its file.
#include <gtest/gtest.h>

#include "support/CertificateFixture.h"

using namespace certtest;

namespace {

// One TextOut: the position and the text as it is escaped in the file.
QStringList text(const QString& x, const QString& y, const QString& escaped) {
  return {QStringLiteral("BT"), x + u' ' + y + QStringLiteral(" Td"), u'(' + escaped + QStringLiteral(") Tj"),
          QStringLiteral("ET")};
}
QStringList text(const char* x, const char* y, const QString& escaped) {
  return text(QString::fromLatin1(x), QString::fromLatin1(y), escaped);
}

QStringList line(int x1, int y1, int x2, int y2) {
  return {QStringLiteral("%1 %2 m").arg(x1).arg(y1), QStringLiteral("%1 %2 l").arg(x2).arg(y2), QStringLiteral("S")};
}

// Top and bottom rules, the 26 grey lines and the black rule below them, then
// the columns, as both tables draw them.
QStringList tableFrame(int top, int bottom, std::initializer_list<int> columns) {
  QStringList ops{QStringLiteral("1 w")};
  ops << line(20, top, 576, top) << line(20, bottom, 576, bottom) << QStringLiteral("0.89 0.89 0.89 RG");
  for (int y = top - 1; y >= top - 26; --y) ops << line(21, y, 575, y);
  ops << QStringLiteral("0 0 0 RG") << line(21, top - 27, 575, top - 27);
  for (int x : columns) ops << line(x, top, x, bottom);
  return ops;
}

// The whole content stream for the first `count` people of the fixture,
// written out from the page's measured positions.
QStringList expectedContent(int count) {
  QStringList ops{QStringLiteral("/F0 10 Tf"), QStringLiteral("q"), QStringLiteral("150 0 0 50 15 777 cm"),
                  QStringLiteral("/logo_sante Do"), QStringLiteral("Q")};
  ops << text("60.5", "757", QStringLiteral("Assuré social : ")) << text("130", "757", QStringLiteral("DUPONT Jérôme"))
      << text("20", "737", QStringLiteral("N° de Sécurité Sociale : "))
      << text("130", "737", QStringLiteral("1 85 07 75 123 456 78")) << text("86", "717", QStringLiteral("Régime : "))
      << text("130", "717", QStringLiteral("Régime général")) << text("90", "697", QStringLiteral("Caisse : "))
      << text("130", "697", QStringLiteral("CPAM de Paris \\(75\\)"));
  ops << QStringLiteral("/F1 20 Tf") << text("20", "657", QStringLiteral("Attestation de droits Régime Obligatoire"));

  ops << tableFrame(617, 565, {20, 227, 304, 424, 576}) << QStringLiteral("/F0 10 Tf")
      << text("23", "602", QStringLiteral("organisme de rattachement sécurité sociale"))
      << text("237", "602", QStringLiteral("code gestion"))
      << text("315", "605", QStringLiteral("n° de sécurité sociale"))
      << text("315", "595", QStringLiteral("de l'assuré")) << text("23", "575", QStringLiteral("01 751 0000"))
      << text("237", "575", QStringLiteral("10")) << text("314", "575", QStringLiteral("1 85 07 75 123 456 78"))
      << text("435", "575", QStringLiteral(" "));

  const int bottom = 520 - 20 * count;
  ops << tableFrame(555, bottom, {20, 424, 576}) << text("23", "540", QStringLiteral("Bénéficiaire\\(s\\)"))
      << text("255", "540", QStringLiteral("n° de sécurité sociale du bénéficiaire"))
      << text("435", "543", QStringLiteral("né\\(e\\) le / rang"));

  const QStringList names{QStringLiteral("DUPONT Jérôme"), QStringLiteral("DUPONT Léa"),
                          QStringLiteral("DUPONT-MAÏA Noël")};
  const QStringList numbers{QStringLiteral("1 85 07 75 123 456 78"), QStringLiteral("2 12 01 75 123 456 12"),
                            QStringLiteral("1 15 03 75 123 456 34")};
  const QStringList dates{QStringLiteral("15/07/1985"), QStringLiteral("03/02/2012"), QStringLiteral("21/03/2015")};
  for (int k = 0; k < count; ++k) {
    const QString y = QString::number(513 - 20 * k);
    ops << text(QStringLiteral("23"), y, names[k]) << text(QStringLiteral("314"), y, numbers[k])
        << text(QStringLiteral("435"), y, dates[k]) << text(QStringLiteral("510"), y, QString::number(k + 1));
  }

  ops << text("15", "40",
              QStringLiteral("Conformément à la loi Informatique et Libertés, vous pouvez demander la "
                             "rectification des informations vous concernant auprès"))
      << text("15", "30", QStringLiteral("de votre organisme gestionnaire.")) << QStringLiteral("/F2 6 Tf")
      << text("15", "20",
              QStringLiteral("Extrait le 09/12/2026 - 14:05:33 depuis la carte portant numéro de série 0123456789"));
  return ops;
}

class CertificateLayoutTest : public CertificateFixture, public ::testing::WithParamInterface<int> {};

TEST_P(CertificateLayoutTest, ContentStreamIsTheLayoutInDrawingOrder) {
  const int count = GetParam();
  fillCard(count);
  ppal.check_pdf();
  ASSERT_EQ(ppal.appli_check_continue, 0) << ppal.debugLog().plainText().toStdString();

  const QStringList ops = contentLines(certificate());
  EXPECT_EQ(joined(ops), joined(expectedContent(count)));

  // The points the layout is known by, checked on their own for clearer
  // failures: the bottom of the second table, its columns and the rows.
  const int bottom = 520 - 20 * count;
  EXPECT_TRUE(containsRun(ops, line(20, bottom, 576, bottom)));
  for (int column : {20, 424, 576}) EXPECT_TRUE(containsRun(ops, line(column, 555, column, bottom))) << column;
  for (int k = 0; k < count; ++k) EXPECT_TRUE(ops.contains(QStringLiteral("510 %1 Td").arg(513 - 20 * k))) << k;
  EXPECT_FALSE(ops.contains(QStringLiteral("510 %1 Td").arg(513 - 20 * count)));
}

INSTANTIATE_TEST_SUITE_P(Beneficiaries, CertificateLayoutTest, ::testing::Values(1, 3),
                         [](const auto& instance) { return std::to_string(instance.param) + "_beneficiaries"; });

using CertificateFileTest = CertificateFixture;

TEST_F(CertificateFileTest, ManyBeneficiariesRunOnPastTheBottomOfTheOnePage) {
  fillCard(30);
  ppal.check_pdf();
  ASSERT_EQ(ppal.appli_check_continue, 0);

  const QByteArray pdf = certificate();
  EXPECT_TRUE(objectOf(pdf, 3).contains("/Count 1"));
  // Below the page's bottom edge the positions are negative, and the content
  // number format rounds a whole negative number half a hundredth up:
  // -80 is written -79.99.
  const QStringList ops = contentLines(pdf);
  const QStringList bottomRule{QStringLiteral("20 -79.99 m"), QStringLiteral("576 -79.99 l"), QStringLiteral("S")};
  EXPECT_TRUE(containsRun(ops, bottomRule));                                  // 520 - 20 x 30
  EXPECT_TRUE(containsRun(ops, text("510", "-66.99", QStringLiteral("3"))));  // the 30th row, at 513 - 20 x 29
}

TEST_F(CertificateFileTest, BackslashesAndParenthesesArePrintedAsTheyAre) {
  ppal.appli_xml_ext[0][0] = QStringLiteral("D'AR\\C (dit)");
  ppal.check_pdf();
  ASSERT_EQ(ppal.appli_check_continue, 0);

  const QStringList ops = contentLines(certificate());
  EXPECT_TRUE(containsRun(ops, text("130", "757", QStringLiteral("D'AR\\\\C \\(dit\\) Jérôme"))))
      << joined(ops.mid(0, 12));
}

TEST_F(CertificateFileTest, HoldsTheNineObjectsInCreationOrder) {
  fillCard(3);
  ppal.check_pdf();
  const QByteArray pdf = certificate();
  ASSERT_TRUE(pdf.startsWith("%PDF-1.2")) << pdf.left(40).toStdString();

  qsizetype previous = 0;
  for (int n = 1; n <= 9; ++n) {
    const qsizetype at = pdf.indexOf("\r\n" + QByteArray::number(n) + " 0 obj\r\n");
    EXPECT_GT(at, previous) << n;
    previous = at;
  }
  EXPECT_TRUE(objectOf(pdf, 1).contains("/Type /Catalog\r\n/Pages 3 0 R"));
  EXPECT_TRUE(objectOf(pdf, 2).contains("/Producer (VelnaPdf version 0.9)\r\n/CreationDate (D:20261209140533)"));
  EXPECT_TRUE(objectOf(pdf, 3).contains("/Type /Pages\r\n/Kids [4 0 R ]\r\n/Count 1"));
  EXPECT_TRUE(
      objectOf(pdf, 4).contains("/MediaBox [0 0 596 842 ]\r\n/Resources <<\r\n/Font <<\r\n/F0 6 0 R\r\n"
                                "/F1 8 0 R\r\n/F2 9 0 R\r\n>>\r\n/XObject <<\r\n/logo_sante 7 0 R\r\n>>"));
  EXPECT_TRUE(objectOf(pdf, 4).contains("/Contents 5 0 R"));
  EXPECT_TRUE(objectOf(pdf, 5).contains("stream\r\n/F0 10 Tf\n"));
  EXPECT_TRUE(objectOf(pdf, 6).contains("/BaseFont /Helvetica\r\n/Name /F0"));
  EXPECT_TRUE(objectOf(pdf, 7).contains("/Subtype /Image"));
  EXPECT_TRUE(objectOf(pdf, 8).contains("/BaseFont /Helvetica-Bold\r\n/Name /F1"));
  EXPECT_TRUE(objectOf(pdf, 9).contains("/BaseFont /Helvetica-Oblique\r\n/Name /F2"));
  EXPECT_TRUE(objectOf(pdf, 10).isEmpty());
  EXPECT_TRUE(pdf.contains("\r\nxref\r\n0 10\r\n"));
  EXPECT_TRUE(pdf.contains("trailer\r\n<<\r\n/Size 10\r\n/Root 1 0 R\r\n/Info 2 0 R\r\n>>"));
  EXPECT_TRUE(pdf.endsWith("%%EOF\r\n"));
}

// The logo keeps its proportions at 50 points high, whatever its pixel size,
// and goes into the file as it is.
struct LogoCase {
  const char* name;
  QString file;
  const char* placement;
  const char* imageHeader;
};

class LogoTest : public CertificateFixture, public ::testing::WithParamInterface<LogoCase> {};

TEST_P(LogoTest, DrawnFiftyHighAtTheTopLeftAndEmbeddedUnchanged) {
  installLogo(GetParam().file);
  ppal.check_pdf();
  ASSERT_EQ(ppal.appli_check_continue, 0) << ppal.debugLog().plainText().toStdString();

  const QByteArray pdf = certificate();
  const QStringList ops = contentLines(pdf);
  ASSERT_GE(ops.size(), 5);
  EXPECT_EQ(joined(ops.mid(1, 4)), joined({QStringLiteral("q"), QString::fromLatin1(GetParam().placement),
                                           QStringLiteral("/logo_sante Do"), QStringLiteral("Q")}));

  QFile logo(GetParam().file);
  ASSERT_TRUE(logo.open(QIODevice::ReadOnly));
  const QByteArray bytes = logo.readAll();
  const QByteArray image = objectOf(pdf, 7);
  EXPECT_TRUE(image.contains("/Length " + QByteArray::number(bytes.size()) + "\r\n")) << image.left(200).toStdString();
  EXPECT_TRUE(image.contains(GetParam().imageHeader)) << image.left(200).toStdString();
  EXPECT_TRUE(image.contains("stream\r\n" + bytes + "\nendstream"));
}

INSTANTIATE_TEST_SUITE_P(Sizes, LogoTest,
                         ::testing::Values(LogoCase{"repository_logo_360x120", kRepositoryLogo, "150 0 0 50 15 777 cm",
                                                    "/ColorSpace /DeviceRGB\r\n/Width 360\r\n/Height 120\r\n"},
                                           LogoCase{"wide_300x100", fixture("logo-300x100.jpg"), "150 0 0 50 15 777 cm",
                                                    "/ColorSpace /DeviceRGB\r\n/Width 300\r\n/Height 100\r\n"},
                                           LogoCase{"tall_grey_100x300", fixture("logo-100x300-gray.jpg"),
                                                    "16.67 0 0 50 15 777 cm",
                                                    "/ColorSpace /DeviceGray\r\n/Width 100\r\n/Height 300\r\n"}),
                         [](const auto& instance) { return std::string(instance.param.name); });

}  // namespace
