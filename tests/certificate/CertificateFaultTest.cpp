// Whole runs whose certificate meets a data folder gone in the middle of the
// run, or a full disk: the certificate step fails with its log lines, the
// run ends on the progress page without an error box, and the next run,
// once the folder or the space is back, gives a whole certificate.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include <QDir>
#include <QFile>

#include <sched.h>
#include <sys/mount.h>

#include "support/CardStation.h"
#include "support/HookedCardLibrary.h"

namespace {

QByteArray bytesOf(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Workstation {
  Workstation() { s.goodWorkstation(); }
  QString dataFolder() const { return s.ppal.appli_dossier_commun; }
  QString certificate() const { return dataFolder() + QStringLiteral("/velnara.pdf"); }

  // The run failed at the certificate and said why, and only there.
  void expectCertificateFailed(const QString& reason) const {
    EXPECT_TRUE(s.t.view.messages.empty()) << s.t.view.messages[0].text.toStdString();
    EXPECT_EQ(s.t.view.icon(View::StepRow::Image_etat5), View::Icon::etat_ok);
    EXPECT_EQ(s.t.view.icon(View::StepRow::Image_etat6), View::Icon::etat_nok);
    EXPECT_EQ(s.t.view.labelText.at(View::Label::label_suivi), QStringLiteral("PDF en erreur !"));
    EXPECT_EQ(s.t.view.currentPage(), View::Page::tab_launch);
    EXPECT_TRUE(s.written(plainBlack(reason)));
    EXPECT_TRUE(s.written(boldRed(QStringLiteral("génération impossible\r\n"))));
  }

  // The run ended on the certificate page with a whole file, which the
  // certificate's icon hands to the shell.
  void expectWholeCertificate() {
    EXPECT_TRUE(s.t.view.messages.empty()) << s.t.view.messages[0].text.toStdString();
    EXPECT_EQ(s.t.view.currentPage(), View::Page::tab_pdf) << s.log().toStdString();
    EXPECT_TRUE(s.log().contains(QStringLiteral("le PDF a été correctement généré\r\n")));
    const QByteArray pdf = bytesOf(certificate());
    EXPECT_TRUE(pdf.startsWith("%PDF-")) << pdf.left(16).toStdString();
    EXPECT_TRUE(pdf.endsWith("%%EOF\r\n")) << pdf.right(16).toStdString();
    s.ppal.image_pdfClick();
    EXPECT_EQ(s.t.shell.opened, QStringList{certificate()});
  }

  HookedCardLibrary library;
  CardStation s{QString(), &library};
};

}  // namespace

TEST(CertificateFault, DataFolderGoneDuringTheRunFailsTheCertificateOnly) {
  Workstation w;
  const QString folder = w.dataFolder();
  const QByteArray database = bytesOf(w.s.t.install.database());
  // The card is read; just as its session closes, the folder goes.
  w.library.atNext("Lec_FermetureSessionVitale", [&] { QDir(folder).removeRecursively(); });
  w.s.run();

  w.expectCertificateFailed(QStringLiteral("le fichier PDF est déjà ouvert, "));
  EXPECT_FALSE(QFileInfo::exists(folder)) << "the folder was made again";

  // The folder is back, as it was before the run.
  ASSERT_TRUE(QDir().mkpath(folder));
  {
    QFile file(w.s.t.install.database());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(database);
  }
  w.s.run();
  w.expectWholeCertificate();
}

TEST(CertificateFault, FullDiskFailsTheCertificateAndTheNextRunWorksOnceThereIsRoom) {
  Workstation w;
  // A small file system of our own over the data folder, in a mount
  // namespace of this thread so that nothing outside the test sees it. The
  // configuration stays readable through the connection already open.
  const QByteArray folder = QFile::encodeName(w.dataFolder());
  if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
      ::mount("tmpfs", folder.constData(), "tmpfs", 0, "size=1m") != 0)
    GTEST_SKIP() << "mounting a small file system is not permitted here: " << std::strerror(errno);
  const std::shared_ptr<void> unmount(nullptr, [&folder](void*) { ::umount2(folder.constData(), MNT_DETACH); });

  const QString filler = w.dataFolder() + QStringLiteral("/filler");
  {
    QFile file(filler);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const QByteArray block(4096, 'f');
    while (file.write(block) == block.size() && file.flush()) {
    }
  }
  w.s.run();
  w.expectCertificateFailed(QStringLiteral("Impossible d'écrire dans le fichier PDF, "));
  EXPECT_FALSE(bytesOf(w.certificate()).endsWith("%%EOF\r\n"));

  ASSERT_TRUE(QFile::remove(filler));
  w.s.run();
  w.expectWholeCertificate();
}
