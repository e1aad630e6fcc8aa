#include "certificate/CertificateLayout.h"

#include <stdexcept>

#include "app/Tppal.h"
#include "certificate/CertificateText.h"
#include "pdf/PdfCanvas.h"
#include "platform/Clock.h"

namespace {
constexpr pdf::TPdfColor kShading = 0xE3E3E3;  // RGB 227, 227, 227
constexpr pdf::TPdfColor kBlack = 0;
constexpr int kShadingLines = 26;
// Room kept between a card text and whatever stands to its right: the next
// column's line or text, or the page's right margin.
constexpr long double kColumnGap = 3;

// Slots of a card data row.
enum Slot {
  kSurname = 0,
  kFirstName = 2,
  kNumber = 3,
  kBirthDate = 4,
  kRank = 5,
  kScheme = 6,
  kFund = 7,
  kCentre = 8,
  kManagement = 9,
  kSchemeLabel = 51,
  kFundLabel = 52,
};
}  // namespace

CertificateLayout::CertificateLayout(const Tppal& application, pdf::TPdfCanvas& pageCanvas, const Clock& wallClock)
    : ppal(application), canvas(pageCanvas), clock(wallClock) {}

void CertificateLayout::prepare(int logoPixelWidth, int logoPixelHeight) {
  appli_pdf_begin = 20;
  appli_pdf_br = 20;
  appli_pdf_percent = 5000.0L / logoPixelHeight;
  appli_pdf_h = 50;
  appli_pdf_w = logoPixelWidth * appli_pdf_percent / 100;
  appli_pdf_size1 = canvas.PageHeight() - appli_pdf_h - 15;
}

void CertificateLayout::draw() {
  // Row 0 is the insured person; without it there is nothing to certify.
  if (ppal.appli_xml_cnt2 < 1) throw std::runtime_error("no beneficiary in the card data");
  drawLogo();
  canvas.SetFont(u"Arial", 10);
  drawInsured();
  drawTitle();
  drawSchemeTable();
  drawBeneficiaryTable();
  drawBeneficiaries();
  drawLegalNotice();
  drawFooter();
}

void CertificateLayout::drawLogo() {
  canvas.DrawXObject(15, float(appli_pdf_size1), float(appli_pdf_w), float(appli_pdf_h), u"logo_sante");
}

void CertificateLayout::drawInsured() {
  const long double values = appli_pdf_begin + 110;
  // The values run to the page's right margin, as wide as the left one.
  const long double margin = canvas.PageWidth() - appli_pdf_begin;
  appli_pdf_more = appli_pdf_size1 - appli_pdf_br;
  drawText(appli_pdf_begin + 40.5L, appli_pdf_more, QStringLiteral("Assuré social : "));
  drawValue(values, appli_pdf_more, margin, fullName(0));
  appli_pdf_more -= appli_pdf_br;
  drawText(appli_pdf_begin, appli_pdf_more, QStringLiteral("N° de Sécurité Sociale : "));
  drawValue(values, appli_pdf_more, margin, certificate::groupedNumber(slot(0, kNumber)));
  appli_pdf_more -= appli_pdf_br;
  drawText(appli_pdf_begin + 66, appli_pdf_more, QStringLiteral("Régime : "));
  drawValue(values, appli_pdf_more, margin, slot(0, kSchemeLabel));
  appli_pdf_more -= appli_pdf_br;
  drawText(appli_pdf_begin + 70, appli_pdf_more, QStringLiteral("Caisse : "));
  drawValue(values, appli_pdf_more, margin, slot(0, kFundLabel));
}

void CertificateLayout::drawTitle() {
  appli_pdf_more -= 2 * appli_pdf_br;
  canvas.SetFont(u"Arial-Bold", 20);
  drawText(appli_pdf_begin, appli_pdf_more, QStringLiteral("Attestation de droits Régime Obligatoire"));
}

void CertificateLayout::drawSchemeTable() {
  appli_pdf_more -= 2 * appli_pdf_br;
  appli_pdf_size2 = canvas.PageWidth() - 2 * appli_pdf_begin;
  const long double top = appli_pdf_more;
  const long double fundColumn = appli_pdf_begin + 207, numberColumn = appli_pdf_begin + 284,
                    emptyColumn = appli_pdf_begin + 404, right = appli_pdf_begin + appli_pdf_size2;
  drawTableFrame(top, top - 52, {appli_pdf_begin, fundColumn, numberColumn, emptyColumn, right});

  canvas.SetFont(u"Arial", 10);
  drawText(appli_pdf_begin + 3, top - 15, QStringLiteral("organisme de rattachement sécurité sociale"));
  drawText(appli_pdf_begin + 217, top - 15, QStringLiteral("code gestion"));
  drawText(appli_pdf_begin + 295, top - 12, QStringLiteral("n° de sécurité sociale"));
  drawText(appli_pdf_begin + 295, top - appli_pdf_br - 2, QStringLiteral("de l'assuré"));

  const long double values = top - 42;
  const QString space = QStringLiteral(" ");
  drawValue(appli_pdf_begin + 3, values, fundColumn,
            slot(0, kScheme) + space + slot(0, kFund) + space + slot(0, kCentre));
  drawValue(appli_pdf_begin + 217, values, numberColumn, slot(0, kManagement));
  drawValue(appli_pdf_begin + 294, values, emptyColumn, certificate::groupedNumber(slot(0, kNumber)));
  drawText(appli_pdf_begin + 415, values, space);
}

void CertificateLayout::drawBeneficiaryTable() {
  appli_pdf_more = appli_pdf_more - appli_pdf_br - 42;
  const long double top = appli_pdf_more;
  const long double bottom = top - 35 - appli_pdf_br * ppal.appli_xml_cnt2;
  drawTableFrame(top, bottom, {appli_pdf_begin, appli_pdf_begin + 404, appli_pdf_begin + appli_pdf_size2});

  canvas.SetFont(u"Arial", 10);
  drawText(appli_pdf_begin + 3, top - 15, QStringLiteral("Bénéficiaire(s)"));
  drawText(appli_pdf_begin + 235, top - 15, QStringLiteral("n° de sécurité sociale du bénéficiaire"));
  drawText(appli_pdf_begin + 415, top - 12, QStringLiteral("né(e) le / rang"));
}

void CertificateLayout::drawBeneficiaries() {
  // No page break: with many beneficiaries the rows run on down the page.
  const long double top = appli_pdf_more;
  // The number has the table's middle line on its right; the name, the date
  // and the rank have the next text, the last one the frame.
  const long double nameX = appli_pdf_begin + 3, numberX = appli_pdf_begin + 294, dateX = appli_pdf_begin + 415,
                    rankX = appli_pdf_begin + 490;
  const long double middleColumn = appli_pdf_begin + 404, right = appli_pdf_begin + appli_pdf_size2;
  for (appli_pdf_cnt = 1; appli_pdf_cnt <= ppal.appli_xml_cnt2; ++appli_pdf_cnt) {
    const int row = appli_pdf_cnt - 1;
    const long double y = top - 42 - appli_pdf_br * row;
    drawValue(nameX, y, numberX, fullName(row));
    drawValue(numberX, y, middleColumn, certificate::groupedNumber(slot(row, kNumber)));
    drawValue(dateX, y, rankX, certificate::birthDate(slot(row, kBirthDate)));
    drawValue(rankX, y, right, slot(row, kRank));
  }
}

void CertificateLayout::drawLegalNotice() {
  const long double height = canvas.PageHeight();
  drawText(15, height - (height - 2 * appli_pdf_br),
           QStringLiteral("Conformément à la loi Informatique et Libertés, vous pouvez demander la rectification "
                          "des informations vous concernant auprès"));
  drawText(15, height - (height - 1.5L * appli_pdf_br), QStringLiteral("de votre organisme gestionnaire."));
}

void CertificateLayout::drawFooter() {
  const long double height = canvas.PageHeight();
  canvas.SetFont(u"Arial-Italic", 6);
  drawText(15, height - (height - appli_pdf_br), certificate::footer(clock.now(), ppal.carte_numserie));
}

void CertificateLayout::drawTableFrame(long double top, long double bottom,
                                       std::initializer_list<long double> columns) {
  const long double left = appli_pdf_begin;
  const long double right = appli_pdf_begin + appli_pdf_size2;
  canvas.SetLineWidth(1);
  drawLine(left, top, right, top);
  drawLine(left, bottom, right, bottom);

  // The grey band is drawn as close one-point lines inside the frame.
  canvas.SetRGBStrokeColor(kShading);
  appli_pdf_pos = float(top);
  for (int line = 0; line < kShadingLines; ++line) {
    appli_pdf_pos -= 1;
    drawLine(left + 1, appli_pdf_pos, right - 1, appli_pdf_pos);
  }
  canvas.SetRGBStrokeColor(kBlack);
  drawLine(left + 1, appli_pdf_pos - 1, right - 1, appli_pdf_pos - 1);

  for (long double x : columns) drawLine(x, top, x, bottom);
}

void CertificateLayout::drawLine(long double x1, long double y1, long double x2, long double y2) {
  canvas.MoveTo(float(x1), float(y1));
  canvas.LineTo(float(x2), float(y2));
  canvas.Stroke();
}

void CertificateLayout::drawText(long double x, long double y, const QString& text) {
  canvas.TextOut(float(x), float(y), text.toStdU16String());
}

void CertificateLayout::drawValue(long double x, long double y, long double limit, const QString& text) {
  canvas.TextOut(float(x), float(y), canvas.FitText(text.toStdU16String(), float(limit - kColumnGap - x)));
}

const QString& CertificateLayout::slot(int row, int slot) const {
  // at() turns a row or slot the card data lacks into a failed generation.
  return ppal.appli_xml_ext.at(size_t(row)).at(size_t(slot));
}

QString CertificateLayout::fullName(int row) const {
  return slot(row, kSurname) + QStringLiteral(" ") + slot(row, kFirstName);
}
