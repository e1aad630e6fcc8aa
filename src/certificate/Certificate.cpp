// Row 8 of the run: the certificate, and opening it.
#include <memory>
#include <sstream>
#include <string>

#include <QFile>

#include "app/Tppal.h"
#include "certificate/CertificateLayout.h"
#include "pdf/PdfDoc.h"
#include "pdf/PdfJpegImage.h"
#include "pdf/PdfPicture.h"
#include "platform/CertificateFile.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Folders.h"
#include "platform/Shell.h"
#include "platform/SystemPaths.h"

namespace {

QString certificatePath(const QString& dataFolder) {
  return dataFolder + kPathSeparator + QStringLiteral("velnara.pdf");
}

pdf::TPdfDateTime pdfDateOf(const QDateTime& when) {
  const QDate date = when.date();
  const QTime time = when.time();
  return {date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second()};
}

// The whole certificate as file bytes. The document and the logo live only
// for this call, so they are released whatever fails on the way.
std::string certificateBytes(const Tppal& ppal, const QString& logoFile, const Clock& clock) {
  pdf::TPRJpegImage logoHolder;
  pdf::TPdfDoc doc;
  doc.SetClock([&clock] { return pdfDateOf(clock.now()); });
  doc.NewDoc();
  doc.AddPage();

  // The logo is a JPEG under the installation's own extension.
  pdf::TPicture::RegisterFileFormat<pdf::TJpegPicture>(u"mvi", u"Fichier image JPEG");
  logoHolder.Picture().LoadFromFile(QFile::encodeName(logoFile).toStdString());
  doc.AddXObject(u"logo_sante", pdf::BuildPdfImage(logoHolder.Picture(), u"Pdf-Jpeg"));

  CertificateLayout layout(ppal, *doc.Canvas(), clock);
  layout.prepare(logoHolder.Picture().Width(), logoHolder.Picture().Height());
  layout.draw();

  std::ostringstream file;
  doc.SaveToStream(file);
  return std::move(file).str();
}

}  // namespace

void Tppal::check_pdf() {
  const bool generated = runStep({View::StepRow::Image_etat6, QStringLiteral("\r\nGénération du PDF\r\n"),
                                  QStringLiteral("Génération du PDF"), QStringLiteral("PDF en erreur !")},
                                 [this] { creation_pdf(); });
  if (generated) AddDebugText(QStringLiteral("le PDF a été correctement généré\r\n"), fsBold, colors::green);
}

void Tppal::creation_pdf() {
  std::unique_ptr<CertificateFile> appli_pdf_file;
  try {
    appli_pdf_file = std::make_unique<CertificateFile>(certificatePath(appli_dossier_commun));
  } catch (const CertificateFileRefused&) {
    appli_check_continue = 1;
    AddDebugText(QStringLiteral("le fichier PDF est un lien ou n'est pas un fichier ordinaire, "), fsNone,
                 colors::black);
    AddDebugText(QStringLiteral("génération impossible\r\n"), fsBold, colors::red);
    return;
  } catch (...) {
    appli_check_continue = 1;
    AddDebugText(QStringLiteral("le fichier PDF est déjà ouvert, "), fsNone, colors::black);
    AddDebugText(QStringLiteral("génération impossible\r\n"), fsBold, colors::red);
    return;
  }

  try {
    const QString logoFile = p.folders->executableDir() + kPathSeparator + QStringLiteral("velna.mvi");
    appli_pdf_file->write(certificateBytes(*this, logoFile, *p.clock));
    appli_pdf_file->close();
  } catch (...) {
    AddDebugText(QStringLiteral("Impossible d'écrire dans le fichier PDF, "), fsNone, colors::black);
    AddDebugText(QStringLiteral("génération impossible\r\n"), fsBold, colors::red);
    appli_check_continue = 1;
  }
  // A failure before close() leaves the closing to the file's destructor.
}

void Tppal::image_pdfClick() {
  guarded([this] {
    const QString path = certificatePath(appli_dossier_commun);
    if (p.files->fileExists(path)) {
      p.shell->open(path);
      return;
    }
    messageBox(QStringLiteral("Erreur ouverture PDF..."),
               QStringLiteral("Le fichier velnara.pdf est introuvable ! ") + QStringLiteral("\r") +
                   QStringLiteral("Veuillez relancer la procédure de lecture Carte Vitale"),
               View::MessageIcon::Information);
  });
}
