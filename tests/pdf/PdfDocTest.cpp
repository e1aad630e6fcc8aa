// The document: numbering, the saved file, states and their failures, and
// the catalog, information, destination, outline and annotation wrappers.

#include "pdf/PdfDoc.h"
#include "pdf/PdfErrors.h"
#include "pdf/PdfJpegImage.h"

#include "PdfTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>

using namespace pdf;

namespace {

const TPdfDateTime kCreated{2024, 1, 5, 9, 30, 7};

std::string Saved(TPdfDoc& ADoc) {
  std::ostringstream File;
  ADoc.SaveToStream(File);
  return File.str();
}

std::string ObjectText(const std::string& AFile, int ANumber) {
  const std::string Start = std::to_string(ANumber) + " 0 obj\r\n";
  const size_t From = AFile.find(Start);
  if (From == std::string::npos) return {};
  return AFile.substr(From, AFile.find("endobj\r\n", From) + 8 - From);
}

TEST(PdfDoc, OnePageDocumentIsWrittenExactly) {
  TPdfDoc Doc;
  TPdfDateTime Now = kCreated;
  Doc.SetClock([&Now] { return Now; });
  Doc.NewDoc();
  Doc.AddPage();
  Now.Minute = 31;
  const std::string File = Saved(Doc);

  EXPECT_EQ(File.rfind("%PDF-1.2 \r\n1 0 obj\r\n", 0), 0u);
  EXPECT_EQ(ObjectText(File, 1), "1 0 obj\r\n<<\r\n/Type /Catalog\r\n/Pages 3 0 R\r\n>>\r\nendobj\r\n");
  EXPECT_EQ(ObjectText(File, 2),
            "2 0 obj\r\n<<\r\n/Producer (VelnaPdf version 0.9)\r\n"
            "/CreationDate (D:20240105093007)\r\n/ModDate (D:20240105093107)\r\n>>\r\nendobj\r\n");
  EXPECT_EQ(ObjectText(File, 3), "3 0 obj\r\n<<\r\n/Type /Pages\r\n/Kids [4 0 R ]\r\n/Count 1\r\n>>\r\nendobj\r\n");
  EXPECT_EQ(ObjectText(File, 4),
            "4 0 obj\r\n<<\r\n/Type /Page\r\n/Parent 3 0 R\r\n/MediaBox [0 0 596 842 ]\r\n"
            "/Resources <<\r\n/Font <<\r\n/F0 6 0 R\r\n>>\r\n/XObject <<\r\n>>\r\n"
            "/ProcSet [/PDF /Text /ImageC ]\r\n>>\r\n/Contents 5 0 R\r\n>>\r\nendobj\r\n");
  EXPECT_EQ(ObjectText(File, 5),
            "5 0 obj\r\n<<\r\n/Length 10\r\n/Filter []\r\n>>\r\nstream\r\n/F0 10 Tf\n"
            "\nendstream\r\nendobj\r\n");
  EXPECT_EQ(pdftest::XrefProblems(File, 6), "");
  const size_t XrefAt = File.find("xref\r\n0 7\r\n");
  EXPECT_EQ(File.substr(File.find("trailer\r\n")),
            "trailer\r\n<<\r\n/Size 7\r\n/Root 1 0 R\r\n/Info 2 0 R\r\n>>\r\nstartxref\r\n" + std::to_string(XrefAt) +
                "\r\n%%EOF\r\n");
}

TEST(PdfDoc, SavingTwiceGivesTheSameFileAndStartsFromTheBeginning) {
  TPdfDoc Doc;
  Doc.SetClock([] { return kCreated; });
  Doc.NewDoc();
  Doc.AddPage();
  std::ostringstream Stream;
  Stream << "left over from before, longer than nothing";
  Doc.SaveToStream(Stream);
  const std::string First = Stream.str();
  EXPECT_EQ(First.rfind("%PDF-1.2", 0), 0u);
  EXPECT_EQ(Saved(Doc), First);
}

TEST(PdfDoc, StatesAndTheirFailures) {
  const struct {
    const char* Message;
    std::function<void(TPdfDoc&)> Action;
  } Cases[] = {
      {"SaveToStream --there is no document to save.",
       [](TPdfDoc& D) {
         std::ostringstream S;
         D.SaveToStream(S);
       }},
      {"GetCanvas --Document is null", [](TPdfDoc& D) { D.Canvas(); }},
      {"GetInfo --this method can not use this state..", [](TPdfDoc& D) { D.Info(); }},
      {"GetRoot --this method can not use this state..", [](TPdfDoc& D) { D.Root(); }},
      {"GetOutlineRoot --document is null..", [](TPdfDoc& D) { D.OutlineRoot(); }},
      {"AddPage --current pages null.", [](TPdfDoc& D) { D.AddPage(); }},
      {"GetFont --document is null.", [](TPdfDoc& D) { D.GetFont(u"Arial"); }},
      {"AddAnotation --document is null.", [](TPdfDoc& D) { D.CreateAnnotation(asLink, PdfRect(0, 0, 1, 1)); }},
      {"TPdfDestination --cannot destination object.", [](TPdfDoc& D) { D.CreateDestination(); }},
  };
  TPdfDoc Doc;
  for (int Round = 0; Round < 2; ++Round) {  // a new object, then after FreeDoc
    for (const auto& Case : Cases) {
      try {
        Case.Action(Doc);
        ADD_FAILURE() << "accepted: " << Case.Message;
      } catch (const EPdfInvalidOperation& Error) {
        EXPECT_STREQ(Error.what(), Case.Message);
      }
    }
    Doc.NewDoc();
    Doc.AddPage();
    Doc.FreeDoc();
  }

  Doc.NewDoc();
  try {
    std::ostringstream S;
    Doc.SaveToStream(S);
    FAIL();
  } catch (const EPdfInvalidOperation& Error) {
    EXPECT_STREQ(Error.what(), "GetPage --the Page is nil");
  }
  try {
    Doc.OutlineRoot();
    FAIL();
  } catch (const EPdfInvalidOperation& Error) {
    EXPECT_STREQ(Error.what(), "GetOutlineRoot --not use outline mode..");
  }
}

TEST(PdfDoc, ImageRegistrationFailures) {
  TPdfDoc Doc;
  Doc.NewDoc();
  TJpegPicture Logo;
  Logo.LoadFromBytes(pdftest::MakeJpeg(pdftest::JpegKind::Gray, 8, 8));
  Doc.AddXObject(u"logo", BuildPdfImage(Logo, u"Pdf-Jpeg"));

  auto ExpectMessage = [](const std::function<void()>& Action, const std::string& Message) {
    try {
      Action();
      ADD_FAILURE() << "accepted: " << Message;
    } catch (const std::exception& Error) {
      EXPECT_EQ(Error.what(), Message);
    }
  };
  ExpectMessage([&] { Doc.AddXObject(u"logo", BuildPdfImage(Logo, u"Pdf-Jpeg")); },
                "AddImage --the image named logo is already exists..");
  ExpectMessage([&] { Doc.AddXObject(u"other", nullptr); }, "AddImage --the image is not valid TPdfImage..");
  ExpectMessage([&] { Doc.AddXObject(u"other", std::make_unique<TPdfImage>()); },
                "AddImage --the image is not valid TPdfImage..");
  ExpectMessage([&] { Doc.RegisterXObject(std::unique_ptr<TPdfObject>(), u"x"); }, "RegisterXObject --AObject is null");
  ExpectMessage([&] { Doc.RegisterXObject(std::make_unique<TPdfStream>(), u"x"); }, "RegisterXObject --not XObject");
  ExpectMessage([&] { Doc.RegisterXObject(std::make_unique<TPdfXObject>(), u"logo"); },
                "RegisterXObject --dupulicate name: logo");
  const int Count = Doc.Xref().ItemCount();

  // A form of one's own, registered directly.
  Doc.RegisterXObject(std::make_unique<TPdfXObject>(), u"form");
  EXPECT_EQ(Doc.Xref().ItemCount(), Count + 1);
  ASSERT_NE(Doc.GetXObject(u"form"), nullptr);
  EXPECT_EQ(Doc.GetXObject(u"form")->Attributes().PdfNameByName(u"Name")->Value(), u"form");
  EXPECT_EQ(Doc.GetXObject(u"absent"), nullptr);
}

TEST(PdfDoc, WrappersWriteWhatTheyHold) {
  TPdfDoc Doc;
  Doc.SetClock([] { return kCreated; });
  Doc.SetUseOutlines(true);
  Doc.NewDoc();
  Doc.AddPage();
  Doc.Info()->SetTitle(u"Attestation de droits");
  Doc.Info()->SetAuthor(u"Velnara");
  EXPECT_EQ(Doc.Info()->Title(), u"Attestation de droits");
  EXPECT_EQ(Doc.Info()->CreationDate(), kCreated);
  EXPECT_EQ(Doc.Info()->Subject(), u"");

  TPdfCatalog& Root = *Doc.Root();
  Root.SetPageMode(pmUseOutlines);
  Root.SetPageLayout(plOneColumn);
  Root.SetViewerPreference(1 << vpHideToolbar | 1 << vpFitWindow);
  EXPECT_EQ(Root.PageMode(), pmUseOutlines);
  EXPECT_EQ(Root.PageLayout(), plOneColumn);
  EXPECT_EQ(Root.ViewerPreference(), 1 << vpHideToolbar | 1 << vpFitWindow);
  EXPECT_EQ(&Root.Pages(), Doc.Xref().GetObject(4));  // outlines took number 2

  TPdfDestination& Top = Doc.CreateDestination();
  Top.SetTop(842);
  Top.SetZoom(1.5);
  EXPECT_THROW(Top.SetZoom(-1), EPdfInvalidValue);
  try {
    Top.SetZoom(11);
    FAIL();
  } catch (const EPdfInvalidValue& Error) {
    EXPECT_STREQ(Error.what(), "Zoom property cannot set to over 10.");
  }
  Root.SetOpenAction(&Top);

  TPdfOutlineEntry& Chapter = Doc.OutlineRoot()->AddChild();
  Chapter.SetTitle(u"Assuré");
  Chapter.SetDest(&Top);
  Chapter.SetOpened(true);
  Chapter.AddChild().SetTitle(u"Bénéficiaires");
  Doc.OutlineRoot()->AddChild().SetTitle(u"Fin");
  EXPECT_THROW(Doc.CreateOutlineEntry(nullptr), EPdfInvalidOperation);

  TPdfDictionary& Note = Doc.CreateAnnotation(asTextNotes, PdfRect(10, 20, 30.5f, 5));
  std::string NoteText;
  Note.WriteValueToStream(NoteText);
  EXPECT_NE(NoteText.find("/Type /Annot\r\n/Subtype /Text\r\n/Rect [10 20 30.5 5 ]\r\n"), std::string::npos);

  const std::string File = Saved(Doc);
  EXPECT_NE(File.find("/OpenAction [5 0 R /XYZ null 842 1.5 ]"), std::string::npos);
  EXPECT_NE(File.find("/PageMode /UseOutlines"), std::string::npos);
  EXPECT_NE(File.find("/ViewerPreferences <<\r\n/HideToolbar true\r\n/FitWindow true\r\n>>"), std::string::npos);
  EXPECT_NE(File.find("/Title (Assur\xE9)"), std::string::npos);
  EXPECT_NE(File.find("/Count 3\r\n/First "), std::string::npos);  // root: three visible entries
  EXPECT_NE(File.find("/Annots ["), std::string::npos);

  // A real reader agrees that the whole is well formed.
  pdftest::TempFile Pdf("wrappers.pdf");
  Pdf.Write(File);
  const pdftest::CommandResult Check = pdftest::RunCommand("qpdf --check '" + Pdf.Path().string() + "'");
  EXPECT_EQ(Check.ExitCode, 0) << Check.Output;
  EXPECT_EQ(Check.Output.find("WARNING"), std::string::npos) << Check.Output;
}

TEST(PdfDoc, AStreamThatRefusesTheBytesIsAFailure) {
  TPdfDoc Doc;
  Doc.NewDoc();
  Doc.AddPage();
  std::ofstream Closed;  // never opened: every write fails
  EXPECT_THROW(Doc.SaveToStream(Closed), std::runtime_error);
}

}  // namespace
