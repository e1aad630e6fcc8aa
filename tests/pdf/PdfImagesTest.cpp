// Images: JPEG pictures embedded unchanged, bitmaps, the creator registry
// and the picture holder.

#include "pdf/PdfDoc.h"
#include "pdf/PdfErrors.h"
#include "pdf/PdfJpegImage.h"
#include "pdf/PdfPicture.h"

#include "PdfTestSupport.h"

#include <gtest/gtest.h>

using namespace pdf;
using pdftest::JpegKind;
using pdftest::MakeJpeg;

namespace {

std::string Body(const TPdfObject& AObject) {
  std::string Out;
  AObject.WriteToStream(Out);
  return Out;
}

std::string Definition(const TPdfObject& AObject) {
  std::string Out;
  AObject.WriteValueToStream(Out);
  return Out;
}

TEST(JpegImage, KindsSizesAndColourSpaces) {
  const struct {
    JpegKind Kind;
    int Width;
    int Height;
    const char* ColorSpace;
  } Cases[] = {
      {JpegKind::Gray, 17, 9, "/DeviceGray"},
      {JpegKind::Rgb, 300, 100, "/DeviceRGB"},
      {JpegKind::Cmyk, 8, 24, "/DeviceCMYK\r\n/Decode [1 0 1 0 1 0 1 0 ]"},  // behind libjpeg's Adobe marker
      {JpegKind::CmykWithoutAdobeMarker, 8, 24, "/DeviceCMYK"},
      {JpegKind::ProgressiveRgb, 40, 30, "/DeviceRGB"},
  };
  for (const auto& Case : Cases) {
    const std::string Bytes = MakeJpeg(Case.Kind, Case.Width, Case.Height);
    TJpegPicture Picture;
    Picture.LoadFromBytes(Bytes);
    EXPECT_EQ(Picture.Width(), Case.Width);
    EXPECT_EQ(Picture.Height(), Case.Height);

    const std::unique_ptr<TPdfImage> Image = BuildPdfImage(Picture, u"Pdf-Jpeg");
    EXPECT_EQ(Image->Stream(), Bytes);  // byte for byte, never decoded
    EXPECT_EQ(Body(Image->Attributes()),
              "<<\r\n/Length 0\r\n/Filter [/DCTDecode ]\r\n/Type /XObject\r\n/Subtype /Image\r\n"
              "/ColorSpace " +
                  std::string(Case.ColorSpace) + "\r\n/Width " + std::to_string(Case.Width) + "\r\n/Height " +
                  std::to_string(Case.Height) + "\r\n/BitsPerComponent 8\r\n>>")
        << Case.ColorSpace << " " << Case.Width;
  }
}

TEST(JpegImage, WrittenInADocumentUnderItsName) {
  const std::string Bytes = MakeJpeg(JpegKind::Rgb, 300, 100);
  TJpegPicture Picture;
  Picture.LoadFromBytes(Bytes);
  TPdfDoc Doc;
  Doc.NewDoc();
  Doc.AddXObject(u"logo_sante", BuildPdfImage(Picture, u"Pdf-Jpeg"));
  Doc.AddXObject(u"logo_copie", BuildPdfImage(Picture, u"Pdf-Jpeg"));
  const TPdfXObject* Logo = Doc.GetXObject(u"logo_sante");
  const TPdfXObject* Copy = Doc.GetXObject(u"logo_copie");
  ASSERT_NE(Logo, nullptr);
  ASSERT_NE(Copy, nullptr);
  EXPECT_NE(Logo, Copy);
  EXPECT_EQ(Logo->ObjectNumber(), 4);
  EXPECT_EQ(Copy->ObjectNumber(), 5);
  EXPECT_EQ(Definition(*Logo),
            "4 0 obj\r\n<<\r\n/Length " + std::to_string(Bytes.size()) +
                "\r\n/Filter [/DCTDecode ]\r\n"
                "/Type /XObject\r\n/Subtype /Image\r\n/ColorSpace /DeviceRGB\r\n/Width 300\r\n/Height 100\r\n"
                "/BitsPerComponent 8\r\n/Name /logo_sante\r\n>>\r\nstream\r\n" +
                Bytes + "\nendstream\r\nendobj\r\n");
  EXPECT_EQ(Copy->Stream(), Logo->Stream());
}

std::string WithByte(std::string ABytes, size_t AAt, unsigned char AValue) {
  ABytes[AAt] = static_cast<char>(AValue);
  return ABytes;
}

size_t MarkerOffset(const std::string& ABytes, unsigned char AMarker) {
  for (size_t I = 0; I + 1 < ABytes.size(); ++I)
    if (static_cast<unsigned char>(ABytes[I]) == 0xFF && static_cast<unsigned char>(ABytes[I + 1]) == AMarker) return I;
  return std::string::npos;
}

TEST(JpegImage, DamagedFilesAreRefused) {
  const std::string Good = MakeJpeg(JpegKind::Rgb, 32, 16);
  const size_t Frame = MarkerOffset(Good, 0xC0);
  const size_t Scan = MarkerOffset(Good, 0xDA);
  ASSERT_NE(Frame, std::string::npos);
  ASSERT_NE(Scan, std::string::npos);
  const struct {
    const char* Label;
    std::string Bytes;
    const char* MessageStart;
  } Cases[] = {
      {"empty", "", "Empty input file"},
      {"PNG", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16), "Not a JPEG file"},
      {"text", "Bonjour, ceci n'est pas une image", "Not a JPEG file"},
      {"start of image only", Good.substr(0, 2), "Premature end of JPEG file"},
      {"cut inside the frame header", Good.substr(0, Frame + 6), "Premature end of JPEG file"},
      {"cut before the scan", Good.substr(0, Scan), "Premature end of JPEG file"},
      {"cut inside the scan", Good.substr(0, Good.size() - 40), "Premature end of JPEG file"},
      {"segment longer than the file", WithByte(Good.substr(0, Frame + 4), Frame + 2, 0x7F),
       "Premature end of JPEG file"},
      {"zero width", WithByte(WithByte(Good, Frame + 7, 0), Frame + 8, 0), "Empty JPEG image"},
      {"zero components", WithByte(Good, Frame + 9, 0), "Empty JPEG image"},
      {"more components than the segment holds", WithByte(Good, Frame + 9, 9), "Bogus marker length"},
  };
  for (const auto& Case : Cases) {
    TJpegPicture Picture;
    try {
      Picture.LoadFromBytes(Case.Bytes);
      ADD_FAILURE() << "accepted: " << Case.Label;
    } catch (const EPdfInvalidImageFormat& Error) {
      EXPECT_EQ(std::string(Error.what()).rfind(Case.MessageStart, 0), 0u) << Case.Label << ": " << Error.what();
    }
    EXPECT_TRUE(Picture.Empty()) << Case.Label;
  }
}

TEST(JpegImage, OnlyJpegPicturesAreAccepted) {
  TPdfBitmap Bitmap(2, 2, pf24bit);
  TJpegPicture Unloaded;
  for (const TGraphic* Picture : {static_cast<const TGraphic*>(&Bitmap), static_cast<const TGraphic*>(&Unloaded)}) {
    try {
      BuildPdfImage(*Picture, u"Pdf-Jpeg");
      ADD_FAILURE();
    } catch (const EPdfInvalidValue& Error) {
      EXPECT_STREQ(Error.what(), "only jpeg image is allowed.");
    }
  }
  try {
    BuildPdfImage(Bitmap, u"Pdf-Png");
    FAIL();
  } catch (const std::runtime_error& Error) {
    EXPECT_STREQ(Error.what(), "AddImage --InvalidImageClassName:Pdf-Png");
  }
  EXPECT_THROW(BuildPdfImage(Bitmap, u"Arial"), std::runtime_error);  // a font, not a creator
}

TEST(BitmapImage, IndexedAndTrueColour) {
  TPdfBitmap Indexed(2, 1, pf8bit);
  Indexed.Palette() = {0xFF0000, 0x00FF80};
  Indexed.Pixels() = std::string("\x01\x00", 2);
  const auto IndexedImage = BuildPdfImage(Indexed, u"Pdf-Bitmap");
  std::string Palette = "<FF0000 00FF80 ";
  for (int I = 2; I < 256; ++I) Palette += "000000 ";
  Palette += ">";
  EXPECT_EQ(Body(IndexedImage->Attributes()),
            "<<\r\n/Length 0\r\n/Filter []\r\n/Type /XObject\r\n/Subtype /Image\r\n"
            "/ColorSpace [/Indexed /DeviceRGB 255 " +
                Palette +
                " ]\r\n"
                "/Width 2\r\n/Height 1\r\n/BitsPerComponent 8\r\n>>");
  EXPECT_EQ(IndexedImage->Stream(), std::string("\x01\x00", 2));

  TPdfBitmap Rgba(1, 2, pf32bit);
  Rgba.Pixels() = "ABCxDEFy";
  const auto RgbImage = BuildPdfImage(Rgba, u"Pdf-Bitmap");
  EXPECT_EQ(RgbImage->Attributes().PdfNameByName(u"ColorSpace")->Value(), u"DeviceRGB");
  EXPECT_EQ(RgbImage->Stream(), "ABCDEF");
}

TEST(BitmapImage, BadBitmapsAreRefused) {
  TPdfBitmap NoPalette(1, 1, pf8bit);
  TPdfBitmap BigPalette(1, 1, pf8bit);
  BigPalette.Palette().assign(257, 0);
  TPdfBitmap Short(2, 2, pf24bit);
  Short.Pixels().resize(5);
  const struct {
    const TPdfBitmap* Bitmap;
    const char* Message;
  } Cases[] = {
      {&NoPalette, "failed to get Palette.."},
      {&BigPalette, "failed to get Palette.."},
      {&Short, "bitmap pixels do not match its size."},
  };
  for (const auto& Case : Cases) {
    try {
      BuildPdfImage(*Case.Bitmap, u"Pdf-Bitmap");
      ADD_FAILURE() << Case.Message;
    } catch (const EPdfInvalidImageFormat& Error) {
      EXPECT_STREQ(Error.what(), Case.Message);
    }
  }
  EXPECT_THROW(TPdfBitmap(0, 3, pf24bit), EPdfInvalidValue);
}

TEST(PictureHolder, LoadsByExtensionWithMviDeclaredAsJpeg) {
  const std::string Bytes = MakeJpeg(JpegKind::Rgb, 100, 300);
  pdftest::TempFile Logo("velna.mvi");
  Logo.Write(Bytes);

  TPRJpegImage Holder;
  EXPECT_TRUE(Holder.SharedImage());
  EXPECT_TRUE(Holder.Stretch());
  EXPECT_TRUE(Holder.Printable());
  pdftest::TempFile Undeclared("velna.xyz");
  Undeclared.Write(Bytes);
  try {
    Holder.Picture().LoadFromFile(Undeclared.Path());
    FAIL();
  } catch (const EPdfInvalidImageFormat& Error) {
    EXPECT_STREQ(Error.what(), "Unknown picture file extension (.xyz)");
  }
  EXPECT_EQ(Holder.Picture().Graphic(), nullptr);

  TPicture::RegisterFileFormat<TJpegPicture>(u"mvi", u"Fichier image JPEG");
  EXPECT_EQ(TPicture::FileFormatDescription(u"MVI"), u"Fichier image JPEG");
  Holder.Picture().LoadFromFile(Logo.Path());
  EXPECT_EQ(Holder.Picture().Width(), 100);
  EXPECT_EQ(Holder.Picture().Height(), 300);
  EXPECT_EQ(BuildPdfImage(Holder.Picture(), u"Pdf-Jpeg")->Stream(), Bytes);

  // A damaged file fails while loading and leaves the loaded picture.
  pdftest::TempFile Broken("broken.mvi");
  Broken.Write("GIF89a not a jpeg");
  EXPECT_THROW(Holder.Picture().LoadFromFile(Broken.Path()), EPdfInvalidImageFormat);
  EXPECT_EQ(Holder.Picture().Width(), 100);
  EXPECT_THROW(Holder.Picture().LoadFromFile(Logo.Path().parent_path() / "absent.jpg"), std::runtime_error);
}

}  // namespace
