#pragma once

#include <cstdint>
#include <initializer_list>

#include <QString>

class Clock;
class Tppal;
namespace pdf {
class TPdfCanvas;
}

// The certificate page: the insured person, the scheme table and the table of
// beneficiaries, drawn item after item on the page of a new document whose
// logo image is registered as "logo_sante". Every position derives from the
// page size read back from the canvas, the left margin and the line step.
class CertificateLayout {
 public:
  // The card data comes from the application object; the clock gives the
  // date printed in the footer.
  CertificateLayout(const Tppal& application, pdf::TPdfCanvas& pageCanvas, const Clock& wallClock);

  // Sizes the logo from its pixel size and fixes the margins.
  void prepare(int logoPixelWidth, int logoPixelHeight);
  // Draws the whole page; throws when the card data has no beneficiary row
  // or a row lacks a printed slot.
  void draw();

  // The layout variables, kept while the page is drawn (points).
  long double appli_pdf_begin = 0;    // left margin of the texts and tables
  long double appli_pdf_br = 0;       // line step
  long double appli_pdf_h = 0;        // drawn height of the logo
  long double appli_pdf_percent = 0;  // logo scale in percent
  long double appli_pdf_w = 0;        // drawn width of the logo
  long double appli_pdf_size1 = 0;    // bottom of the logo
  long double appli_pdf_more = 0;     // current baseline or table top
  long double appli_pdf_size2 = 0;    // table width
  float appli_pdf_pos = 0;            // current shading line
  int32_t appli_pdf_cnt = 0;          // beneficiary being printed, from 1

 private:
  void drawLogo();
  void drawInsured();
  void drawTitle();
  void drawSchemeTable();
  void drawBeneficiaryTable();
  void drawBeneficiaries();
  void drawLegalNotice();
  void drawFooter();
  // Top and bottom rules, the grey header band with its black rule, then the
  // column lines from top to bottom.
  void drawTableFrame(long double top, long double bottom, std::initializer_list<long double> columns);
  void drawLine(long double x1, long double y1, long double x2, long double y2);
  void drawText(long double x, long double y, const QString& text);
  // A text from the card, cut with an ellipsis where it would come closer
  // than a small gap to `limit`, what stands on its right.
  void drawValue(long double x, long double y, long double limit, const QString& text);
  const QString& slot(int row, int slot) const;
  QString fullName(int row) const;

  const Tppal& ppal;
  pdf::TPdfCanvas& canvas;
  const Clock& clock;
};
