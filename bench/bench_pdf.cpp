// Writes the certificate-like page with our PDF writer and the same page with
// libharu (uncompressed, as ours), in one run, and reports documents per
// second of each and their ratio.
//
//     cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELNARA_BUILD_BENCH=ON
//     cmake --build build-bench --target bench_pdf
//     build-bench/bin/bench_pdf [--benchmark_repetitions=5]
//
// With VELNARA_BENCH_OUT=folder, both PDFs are also written there once, for
// a look or a check with qpdf.

#include "pdf/PdfDoc.h"
#include "pdf/PdfJpegImage.h"
#include "pdf/PdfText.h"

#include <benchmark/benchmark.h>
#include <hpdf.h>
#include <jpeglib.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// ---- the page, as a list of drawing steps both writers follow ----

enum class Step { Font, Text, LineWidth, Line, StrokeColor, Logo };

struct Item {
  Step Kind = Step::Logo;
  const char16_t* FontName = u"";
  const char* BaseFont = "";
  float A = 0, B = 0, C = 0, D = 0;
  std::u16string Text;
  std::string AnsiText;  // the same text as libharu wants it: Windows-1252 bytes
};

Item Make(Step AKind, float A = 0, float B = 0, float C = 0, float D = 0) {
  Item Result;
  Result.Kind = AKind;
  Result.A = A;
  Result.B = B;
  Result.C = C;
  Result.D = D;
  return Result;
}

Item Font(const char16_t* AName, const char* ABaseFont, float ASize) {
  Item Result = Make(Step::Font, ASize);
  Result.FontName = AName;
  Result.BaseFont = ABaseFont;
  return Result;
}

Item Text(float X, float Y, std::u16string AText) {
  Item Result = Make(Step::Text, X, Y);
  pdf::WriteText(AText, Result.AnsiText);
  Result.Text = std::move(AText);
  return Result;
}

Item Line(float X1, float Y1, float X2, float Y2) { return Make(Step::Line, X1, Y1, X2, Y2); }
Item Width(float W) { return Make(Step::LineWidth, W); }
Item Grey(bool AGrey) { return Make(Step::StrokeColor, AGrey ? 227.0f : 0.0f); }

void AddShadedTable(std::vector<Item>& Page, float Top, float Bottom, std::initializer_list<float> Columns) {
  Page.push_back(Width(1));
  Page.push_back(Line(20, Top, 576, Top));
  Page.push_back(Line(20, Bottom, 576, Bottom));
  Page.push_back(Grey(true));
  float Position = Top;
  for (int I = 0; I < 26; ++I) {
    Position -= 1;
    Page.push_back(Line(21, Position, 575, Position));
  }
  Page.push_back(Grey(false));
  Page.push_back(Line(21, Position - 1, 575, Position - 1));
  for (float X : Columns) Page.push_back(Line(X, Top, X, Bottom));
}

// The certificate of an insured person with three beneficiaries.
std::vector<Item> CertificatePage() {
  std::vector<Item> Page;
  Page.push_back(Make(Step::Logo));
  Page.push_back(Font(u"Arial", "Helvetica", 10));
  Page.push_back(Text(60.5f, 757, u"Assuré social : "));
  Page.push_back(Text(130, 757, u"DUPONT Jérôme"));
  Page.push_back(Text(20, 737, u"N° de Sécurité Sociale : "));
  Page.push_back(Text(130, 737, u"1 85 07 75 123 456 78"));
  Page.push_back(Text(86, 717, u"Régime : "));
  Page.push_back(Text(130, 717, u"Régime général"));
  Page.push_back(Text(90, 697, u"Caisse : "));
  Page.push_back(Text(130, 697, u"CPAM de Paris"));
  Page.push_back(Font(u"Arial-Bold", "Helvetica-Bold", 20));
  Page.push_back(Text(20, 657, u"Attestation de droits Régime Obligatoire"));
  AddShadedTable(Page, 617, 565, {20, 227, 304, 424, 576});
  Page.push_back(Font(u"Arial", "Helvetica", 10));
  Page.push_back(Text(23, 602, u"organisme de rattachement sécurité sociale"));
  Page.push_back(Text(237, 602, u"code gestion"));
  Page.push_back(Text(315, 605, u"n° de sécurité sociale"));
  Page.push_back(Text(315, 595, u"de l'assuré"));
  Page.push_back(Text(23, 575, u"01 751 0000"));
  Page.push_back(Text(237, 575, u"10"));
  Page.push_back(Text(314, 575, u"1 85 07 75 123 456 78"));
  Page.push_back(Text(435, 575, u" "));
  const int Rows = 3;
  AddShadedTable(Page, 555, 520 - 20.0f * Rows, {20, 424, 576});
  Page.push_back(Text(23, 540, u"Bénéficiaire(s)"));
  Page.push_back(Text(255, 540, u"n° de sécurité sociale du bénéficiaire"));
  Page.push_back(Text(435, 543, u"né(e) le / rang"));
  const char16_t* Names[Rows] = {u"DUPONT Jérôme", u"DUPONT Léa", u"DUPONT Noé"};
  for (int Row = 0; Row < Rows; ++Row) {
    const float Y = 513 - 20.0f * Row;
    Page.push_back(Text(23, Y, Names[Row]));
    Page.push_back(Text(314, Y, u"1 85 07 75 123 456 78"));
    Page.push_back(Text(435, Y, u"15/07/1985"));
    Page.push_back(Text(510, Y, std::u16string(1, static_cast<char16_t>(u'1' + Row))));
  }
  Page.push_back(Text(15, 40,
                      u"Conformément à la loi Informatique et Libertés, vous pouvez demander la "
                      u"rectification des informations vous concernant auprès"));
  Page.push_back(Text(15, 30, u"de votre organisme gestionnaire."));
  Page.push_back(Font(u"Arial-Italic", "Helvetica-Oblique", 6));
  Page.push_back(Text(15, 20,
                      u"Extrait le 05/01/2024 - 09:30:07 depuis la carte portant numéro de série "
                      u"0123456789"));
  return Page;
}

// A 300 x 100 colour JPEG, as the logo.
std::string LogoJpeg() {
  jpeg_compress_struct Info;
  jpeg_error_mgr Errors;
  Info.err = jpeg_std_error(&Errors);
  jpeg_create_compress(&Info);
  unsigned char* Buffer = nullptr;
  unsigned long Size = 0;
  jpeg_mem_dest(&Info, &Buffer, &Size);
  Info.image_width = 300;
  Info.image_height = 100;
  Info.input_components = 3;
  Info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&Info);
  jpeg_set_quality(&Info, 85, TRUE);
  jpeg_start_compress(&Info, TRUE);
  std::vector<unsigned char> Row(300 * 3);
  while (Info.next_scanline < Info.image_height) {
    for (size_t I = 0; I < Row.size(); ++I)
      Row[I] = static_cast<unsigned char>((I / 3 + Info.next_scanline * 2) & 0xFF);
    JSAMPROW Rows[1] = {Row.data()};
    jpeg_write_scanlines(&Info, Rows, 1);
  }
  jpeg_finish_compress(&Info);
  jpeg_destroy_compress(&Info);
  std::string Bytes(reinterpret_cast<const char*>(Buffer), Size);
  std::free(Buffer);
  return Bytes;
}

const std::vector<Item>& Page() {
  static const std::vector<Item> Items = CertificatePage();
  return Items;
}

const std::string& Logo() {
  static const std::string Bytes = LogoJpeg();
  return Bytes;
}

// ---- our writer ----

std::string WriteWithVelnaPdf() {
  pdf::TPdfDoc Doc;
  Doc.NewDoc();
  Doc.AddPage();
  pdf::TJpegPicture Picture;
  Picture.LoadFromBytes(Logo());
  Doc.AddXObject(u"logo_sante", pdf::BuildPdfImage(Picture, u"Pdf-Jpeg"));
  pdf::TPdfCanvas& C = *Doc.Canvas();
  const float LogoWidth = static_cast<float>(Picture.Width() * (5000.0 / Picture.Height()) / 100);
  for (const Item& Step : Page()) {
    switch (Step.Kind) {
      case Step::Logo:
        C.DrawXObject(15, static_cast<float>(C.PageHeight() - 65), LogoWidth, 50, u"logo_sante");
        break;
      case Step::Font:
        C.SetFont(Step.FontName, Step.A);
        break;
      case Step::Text:
        C.TextOut(Step.A, Step.B, Step.Text);
        break;
      case Step::LineWidth:
        C.SetLineWidth(Step.A);
        break;
      case Step::StrokeColor:
        C.SetRGBStrokeColor(Step.A > 0 ? 0xE3E3E3 : 0);
        break;
      case Step::Line:
        C.MoveTo(Step.A, Step.B);
        C.LineTo(Step.C, Step.D);
        C.Stroke();
        break;
    }
  }
  std::ostringstream Out;
  Doc.SaveToStream(Out);
  return std::move(Out).str();
}

// ---- libharu ----

void OnHaruError(HPDF_STATUS AError, HPDF_STATUS ADetail, void*) {
  char Message[96];
  std::snprintf(Message, sizeof Message, "libharu error 0x%04X, detail %u", static_cast<unsigned>(AError),
                static_cast<unsigned>(ADetail));
  throw std::runtime_error(Message);
}

std::string WriteWithLibharu() {
  HPDF_Doc Pdf = HPDF_New(OnHaruError, nullptr);
  HPDF_SetCompressionMode(Pdf, HPDF_COMP_NONE);
  HPDF_Page P = HPDF_AddPage(Pdf);
  HPDF_Page_SetWidth(P, 596);
  HPDF_Page_SetHeight(P, 842);
  HPDF_Image Image = HPDF_LoadJpegImageFromMem(Pdf, reinterpret_cast<const HPDF_BYTE*>(Logo().data()),
                                               static_cast<HPDF_UINT>(Logo().size()));
  const float LogoWidth = static_cast<float>(HPDF_Image_GetWidth(Image) * (5000.0 / HPDF_Image_GetHeight(Image)) / 100);
  std::map<std::string, HPDF_Font> Fonts;
  HPDF_Page_SetFontAndSize(P, HPDF_GetFont(Pdf, "Helvetica", "WinAnsiEncoding"), 10);
  for (const Item& Step : Page()) {
    switch (Step.Kind) {
      case Step::Logo:
        HPDF_Page_DrawImage(P, Image, 15, HPDF_Page_GetHeight(P) - 65, LogoWidth, 50);
        break;
      case Step::Font:
        HPDF_Page_SetFontAndSize(P, HPDF_GetFont(Pdf, Step.BaseFont, "WinAnsiEncoding"), Step.A);
        break;
      case Step::Text:
        HPDF_Page_BeginText(P);
        HPDF_Page_TextOut(P, Step.A, Step.B, Step.AnsiText.c_str());
        HPDF_Page_EndText(P);
        break;
      case Step::LineWidth:
        HPDF_Page_SetLineWidth(P, Step.A);
        break;
      case Step::StrokeColor:
        HPDF_Page_SetRGBStroke(P, Step.A / 255, Step.A / 255, Step.A / 255);
        break;
      case Step::Line:
        HPDF_Page_MoveTo(P, Step.A, Step.B);
        HPDF_Page_LineTo(P, Step.C, Step.D);
        HPDF_Page_Stroke(P);
        break;
    }
  }
  HPDF_SaveToStream(Pdf);
  HPDF_UINT32 Size = HPDF_GetStreamSize(Pdf);
  std::string Bytes(Size, '\0');
  HPDF_ReadFromStream(Pdf, reinterpret_cast<HPDF_BYTE*>(Bytes.data()), &Size);
  Bytes.resize(Size);
  HPDF_Free(Pdf);
  return Bytes;
}

// ---- benchmarks ----

void BM_VelnaPdf(benchmark::State& State) {
  for (auto _ : State) benchmark::DoNotOptimize(WriteWithVelnaPdf());
  State.SetItemsProcessed(State.iterations());
  State.SetLabel("documents");
}

void BM_Libharu(benchmark::State& State) {
  for (auto _ : State) benchmark::DoNotOptimize(WriteWithLibharu());
  State.SetItemsProcessed(State.iterations());
  State.SetLabel("documents");
}

BENCHMARK(BM_VelnaPdf)->Name("certificate/velnapdf");
BENCHMARK(BM_Libharu)->Name("certificate/libharu");

// Prints the usual table, then documents per second of each writer and
// their ratio (means when repetitions are asked for).
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& Runs) override {
    for (const Run& R : Runs) {
      const bool Wanted =
          R.run_type == Run::RT_Iteration ? !R.repetitions || R.repetitions == 1 : R.aggregate_name == "mean";
      const auto Rate = R.counters.find("items_per_second");
      if (Wanted && Rate != R.counters.end()) Rates[R.run_name.function_name] = Rate->second.value;
    }
    ConsoleReporter::ReportRuns(Runs);
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    const double Ours = Rates["certificate/velnapdf"];
    const double Theirs = Rates["certificate/libharu"];
    if (Ours <= 0 || Theirs <= 0) return;
    std::printf("\nvelnapdf: %.0f documents/s\nlibharu:  %.0f documents/s\nratio velnapdf / libharu: %.2f\n", Ours,
                Theirs, Ours / Theirs);
  }

 private:
  std::map<std::string, double> Rates;
};

void WriteSamples() {
  const char* Folder = std::getenv("VELNARA_BENCH_OUT");
  if (!Folder) return;
  std::ofstream(std::string(Folder) + "/velnapdf.pdf", std::ios::binary) << WriteWithVelnaPdf();
  std::ofstream(std::string(Folder) + "/libharu.pdf", std::ios::binary) << WriteWithLibharu();
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  WriteSamples();
  RatioReporter Reporter;
  benchmark::RunSpecifiedBenchmarks(&Reporter);
  benchmark::Shutdown();
  return 0;
}
