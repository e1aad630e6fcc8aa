// A one-page document shaped like the rights certificate: three fonts, one
// JPEG logo, text with accents, lines, grey shading and colours; checked
// byte by byte where the layout fixes the bytes, and read back by qpdf and
// pdftotext.

#include "pdf/PdfDoc.h"
#include "pdf/PdfJpegImage.h"
#include "pdf/PdfPicture.h"

#include "PdfTestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace pdf;

namespace {

struct Beneficiary {
  std::u16string Surname, FirstName, Number, BirthDate, Rank;
};

std::u16string Grouped(const std::u16string& ANumber) {
  auto Piece = [&ANumber](size_t AFrom, size_t ACount) {
    return AFrom < ANumber.size() ? ANumber.substr(AFrom, ACount) : std::u16string();
  };
  return Piece(0, 1) + u" " + Piece(1, 2) + u" " + Piece(3, 2) + u" " + Piece(5, 2) + u" " + Piece(7, 3) + u" " +
         Piece(10, 3) + u" " + Piece(14, 2);
}

std::u16string DateOf(const std::u16string& AText) {
  return AText.substr(0, 2) + u"/" + AText.substr(2, 2) + u"/" + AText.substr(4, 4);
}

void DrawShadedTable(TPdfCanvas& C, float ATop, float ABottom, std::initializer_list<float> AColumns) {
  C.SetLineWidth(1);
  for (float Y : {ATop, ABottom}) {
    C.MoveTo(20, Y);
    C.LineTo(576, Y);
    C.Stroke();
  }
  C.SetRGBStrokeColor(0xE3E3E3);
  float Position = ATop;
  for (int I = 0; I < 26; ++I) {
    Position -= 1;
    C.MoveTo(21, Position);
    C.LineTo(575, Position);
    C.Stroke();
  }
  C.SetRGBStrokeColor(0);
  C.MoveTo(21, Position - 1);
  C.LineTo(575, Position - 1);
  C.Stroke();
  for (float X : AColumns) {
    C.MoveTo(X, ATop);
    C.LineTo(X, ABottom);
    C.Stroke();
  }
}

// The certificate's page, item after item.
void DrawCertificate(TPdfDoc& ADoc, const TPicture& ALogo, const std::vector<Beneficiary>& ARows) {
  ADoc.NewDoc();
  ADoc.AddPage();
  ADoc.AddXObject(u"logo_sante", BuildPdfImage(ALogo, u"Pdf-Jpeg"));
  TPdfCanvas& C = *ADoc.Canvas();
  const float LogoWidth = static_cast<float>(ALogo.Width() * (5000.0 / ALogo.Height()) / 100);
  const Beneficiary& Insured = ARows.front();
  const auto Count = static_cast<float>(ARows.size());

  C.DrawXObject(15, static_cast<float>(C.PageHeight() - 50 - 15), LogoWidth, 50, u"logo_sante");
  C.SetFont(u"Arial", 10);
  C.TextOut(60.5, 757, u"Assuré social : ");
  C.TextOut(130, 757, Insured.Surname + u" " + Insured.FirstName);
  C.TextOut(20, 737, u"N° de Sécurité Sociale : ");
  C.TextOut(130, 737, Grouped(Insured.Number));
  C.TextOut(86, 717, u"Régime : ");
  C.TextOut(130, 717, u"Régime général");
  C.TextOut(90, 697, u"Caisse : ");
  C.TextOut(130, 697, u"CPAM de Paris (75)");
  C.SetFont(u"Arial-Bold", 20);
  C.TextOut(20, 657, u"Attestation de droits Régime Obligatoire");
  DrawShadedTable(C, 617, 565, {20, 227, 304, 424, 576});
  C.SetFont(u"Arial", 10);
  C.TextOut(23, 602, u"organisme de rattachement sécurité sociale");
  C.TextOut(237, 602, u"code gestion");
  C.TextOut(315, 605, u"n° de sécurité sociale");
  C.TextOut(315, 595, u"de l'assuré");
  C.TextOut(23, 575, u"01 751 0000");
  C.TextOut(237, 575, u"10");
  C.TextOut(314, 575, Grouped(Insured.Number));
  C.TextOut(435, 575, u" ");
  const float Bottom = 520 - 20 * Count;
  DrawShadedTable(C, 555, Bottom, {20, 424, 576});
  C.SetFont(u"Arial", 10);
  C.TextOut(23, 540, u"Bénéficiaire(s)");
  C.TextOut(255, 540, u"n° de sécurité sociale du bénéficiaire");
  C.TextOut(435, 543, u"né(e) le / rang");
  float Y = 513;
  for (const Beneficiary& Row : ARows) {
    C.TextOut(23, Y, Row.Surname + u" " + Row.FirstName);
    C.TextOut(314, Y, Grouped(Row.Number));
    C.TextOut(435, Y, DateOf(Row.BirthDate));
    C.TextOut(510, Y, Row.Rank);
    Y -= 20;
  }
  C.TextOut(15, 40,
            u"Conformément à la loi Informatique et Libertés, vous pouvez demander la rectification des "
            u"informations vous concernant auprès");
  C.TextOut(15, 30, u"de votre organisme gestionnaire.");
  C.SetFont(u"Arial-Italic", 6);
  C.TextOut(15, 20, u"Extrait le 05/01/2024 - 09:30:07 depuis la carte portant numéro de série 0123456789");
}

class CertificateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LogoBytes = pdftest::MakeJpeg(pdftest::JpegKind::Rgb, 300, 100);
    LogoFile.Write(LogoBytes);
    TPicture::RegisterFileFormat<TJpegPicture>(u"mvi", u"Fichier image JPEG");
    Logo.LoadFromFile(LogoFile.Path());
    Doc.SetClock([] { return TPdfDateTime{2024, 1, 5, 9, 30, 7}; });
    DrawCertificate(Doc, Logo,
                    {{u"DUPONT", u"Jérôme", u"1850775123456 78", u"15071985", u"1"},
                     {u"DUPONT", u"Léa", u"2120175123456 12", u"03022012", u"2"}});
    std::ostringstream Out;
    Doc.SaveToStream(Out);
    File = Out.str();
  }

  std::string LogoBytes;
  pdftest::TempFile LogoFile{"velna.mvi"};
  TPicture Logo;
  TPdfDoc Doc;
  std::string File;
};

TEST_F(CertificateTest, ObjectsAreNumberedInCreationOrder) {
  const TPdfXref& Xref = Doc.Xref();
  ASSERT_EQ(Xref.ItemCount(), 10);
  const char16_t* Types[] = {u"", u"Catalog", u"", u"Pages", u"Page", u"", u"Font", u"XObject", u"Font", u"Font"};
  for (int Number = 1; Number <= 9; ++Number) {
    const TPdfObject* Object = Xref.GetObject(Number);
    const auto* Dictionary = dynamic_cast<const TPdfDictionary*>(Object);
    const auto* Stream = dynamic_cast<const TPdfStream*>(Object);
    const std::u16string Type = Dictionary ? TypeNameOf(*Dictionary) : Stream ? TypeNameOf(Stream->Attributes()) : u"";
    EXPECT_EQ(Type, Types[Number]) << Number;
  }
  EXPECT_EQ(Doc.GetFont(u"Arial").Data()->ObjectNumber(), 6);
  EXPECT_EQ(Doc.GetXObject(u"logo_sante")->ObjectNumber(), 7);
  EXPECT_EQ(Doc.GetFont(u"Arial-Bold").Data()->ObjectNumber(), 8);
  EXPECT_EQ(Doc.GetFont(u"Arial-Italic").Data()->ObjectNumber(), 9);
}

TEST_F(CertificateTest, FileStructureIsExact) {
  EXPECT_EQ(File.rfind("%PDF-1.2 \r\n1 0 obj\r\n", 0), 0u);
  EXPECT_EQ(pdftest::XrefProblems(File, 9), "");
  const size_t Xref = File.find("xref\r\n0 10\r\n");
  ASSERT_NE(Xref, std::string::npos);
  EXPECT_EQ(File.substr(Xref + 12 + 10 * 20),
            "trailer\r\n<<\r\n/Size 10\r\n/Root 1 0 R\r\n/Info 2 0 R\r\n>>\r\nstartxref\r\n" + std::to_string(Xref) +
                "\r\n%%EOF\r\n");
  EXPECT_NE(File.find("4 0 obj\r\n<<\r\n/Type /Page\r\n/Parent 3 0 R\r\n/MediaBox [0 0 596 842 ]\r\n"
                      "/Resources <<\r\n/Font <<\r\n/F0 6 0 R\r\n/F1 8 0 R\r\n/F2 9 0 R\r\n>>\r\n"
                      "/XObject <<\r\n/logo_sante 7 0 R\r\n>>\r\n/ProcSet [/PDF /Text /ImageC ]\r\n>>\r\n"
                      "/Contents 5 0 R\r\n>>\r\nendobj\r\n"),
            std::string::npos);
  EXPECT_NE(File.find("7 0 obj\r\n<<\r\n/Length " + std::to_string(LogoBytes.size()) +
                      "\r\n/Filter [/DCTDecode ]\r\n/Type /XObject\r\n/Subtype /Image\r\n/ColorSpace /DeviceRGB\r\n"
                      "/Width 300\r\n/Height 100\r\n/BitsPerComponent 8\r\n/Name /logo_sante\r\n>>\r\nstream\r\n" +
                      LogoBytes + "\nendstream\r\nendobj\r\n"),
            std::string::npos);
  EXPECT_EQ(File.find("Widths"), std::string::npos);
  EXPECT_EQ(File.find("FlateDecode"), std::string::npos);
}

TEST_F(CertificateTest, ContentStreamFollowsTheLayout) {
  const std::string& Content = Doc.Canvas()->Contents()->Stream();
  EXPECT_EQ(Content.rfind("/F0 10 Tf\n"
                          "q\n150 0 0 50 15 777 cm\n/logo_sante Do\nQ\n"
                          "BT\n60.5 757 Td\n(Assur\xE9 social : ) Tj\nET\n"
                          "BT\n130 757 Td\n(DUPONT J\xE9r\xF4me) Tj\nET\n"
                          "BT\n20 737 Td\n(N\xB0 de S\xE9"
                          "curit\xE9 Sociale : ) Tj\nET\n"
                          "BT\n130 737 Td\n(1 85 07 75 123 456 78) Tj\nET\n",
                          0),
            0u);
  EXPECT_NE(Content.find("/F1 20 Tf\nBT\n20 657 Td\n(Attestation de droits R\xE9gime Obligatoire) Tj\nET\n"
                         "1 w\n20 617 m\n576 617 l\nS\n20 565 m\n576 565 l\nS\n0.89 0.89 0.89 RG\n21 616 m\n"),
            std::string::npos);
  EXPECT_NE(Content.find("21 591 m\n575 591 l\nS\n0 0 0 RG\n21 590 m\n575 590 l\nS\n"), std::string::npos);
  EXPECT_NE(Content.find("424 617 m\n424 565 l\nS\n576 617 m\n576 565 l\nS\n/F0 10 Tf\n"), std::string::npos);
  EXPECT_NE(Content.find("20 480 m\n576 480 l\nS\n"), std::string::npos);  // 520 - 20 x 2 rows
  EXPECT_NE(Content.find("BT\n23 540 Td\n(B\xE9n\xE9"
                         "ficiaire\\(s\\)) Tj\nET\n"),
            std::string::npos);
  EXPECT_NE(Content.find("BT\n435 493 Td\n(03/02/2012) Tj\nET\n"), std::string::npos);
  const std::string Footer =
      "/F2 6 Tf\nBT\n15 20 Td\n(Extrait le 05/01/2024 - 09:30:07 depuis la carte portant "
      "num\xE9ro de s\xE9rie 0123456789) Tj\nET\n";
  ASSERT_GE(Content.size(), Footer.size());
  EXPECT_EQ(Content.substr(Content.size() - Footer.size()), Footer);
}

TEST_F(CertificateTest, RealReadersAcceptItAndGiveTheTextsBack) {
  ASSERT_TRUE(pdftest::HasProgram("qpdf")) << "qpdf (Debian package qpdf) is needed";
  ASSERT_TRUE(pdftest::HasProgram("pdftotext")) << "pdftotext (Debian package poppler-utils) is needed";
  pdftest::TempFile Pdf("velnara.pdf");
  Pdf.Write(File);

  const pdftest::CommandResult Check = pdftest::RunCommand("qpdf --check '" + Pdf.Path().string() + "'");
  EXPECT_EQ(Check.ExitCode, 0) << Check.Output;
  EXPECT_NE(Check.Output.find("No syntax or stream encoding errors found"), std::string::npos) << Check.Output;
  EXPECT_EQ(Check.Output.find("WARNING"), std::string::npos) << Check.Output;

  const pdftest::CommandResult Text = pdftest::RunCommand("pdftotext -enc UTF-8 '" + Pdf.Path().string() + "' -");
  ASSERT_EQ(Text.ExitCode, 0) << Text.Output;
  for (const char* Expected :
       {"Attestation de droits Régime Obligatoire", "Assuré social :", "DUPONT Jérôme",
        "N° de Sécurité Sociale :", "Régime général", "CPAM de Paris (75)",
        "organisme de rattachement sécurité sociale", "Bénéficiaire(s)", "né(e) le / rang", "15/07/1985", "DUPONT Léa",
        "Conformément à la loi Informatique et Libertés", "numéro de série 0123456789"})
    EXPECT_NE(Text.Output.find(Expected), std::string::npos) << Expected << "\n--- pdftotext:\n" << Text.Output;
}

}  // namespace
