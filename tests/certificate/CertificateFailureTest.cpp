// The certificate step when the file cannot be taken or the page cannot be
// made: the two failure messages, the failed row, and what becomes of the file.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include <QDir>

#include <fcntl.h>
#include <sched.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/CertificateFixture.h"

using namespace certtest;

namespace {

const QByteArray kPrevious = "previous certificate, still open elsewhere";

class CertificateFailureTest : public CertificateFixture {
 protected:
  void writePrevious() {
    QFile file(certificatePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(kPrevious);
  }

  // The step failed, its log holds exactly the reason and the verdict.
  void expectFailedWith(const QString& reason) {
    EXPECT_EQ(ppal.appli_check_continue, 1);
    EXPECT_EQ(t.view.icon(View::StepRow::Image_etat6), View::Icon::etat_nok);
    EXPECT_EQ(t.view.labelText[View::Label::label_suivi], QStringLiteral("PDF en erreur !"));
    EXPECT_EQ(t.view.labelColor[View::Label::label_suivi], colors::maroon);
    EXPECT_EQ(t.view.labelText[View::Label::label_suivi2],
              QStringLiteral("Consulter le diagnostic pour plus d'informations"));
    const std::vector<TextRun> expected{{reason, fsNone, colors::black},
                                        {QStringLiteral("génération impossible\r\n"), fsBold, colors::red}};
    EXPECT_EQ(stepLog(), expected) << ppal.debugLog().plainText().toStdString();
  }

  // Nobody holds the file any more: the generation closed it.
  void expectReleased() {
    const int fd = ::open(QFile::encodeName(certificatePath()).constData(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    ::close(fd);
  }
};

// ---- the file is held by another writer or cannot be created ----

// Something that keeps the certificate file from being taken, for as long as
// it lives; empty when the hold could not be taken.
using Holder = std::shared_ptr<const bool>;

Holder holding(std::function<void()> release) {
  return Holder(new bool(true), [release](const bool* held) {
    release();
    delete held;
  });
}

Holder holdWithFlock(const QString& path) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC);
  Holder holder = holding([fd] { ::close(fd); });
  return fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? holder : nullptr;
}

Holder holdWithOpenFileLock(const QString& path) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC);
  struct flock range {};
  range.l_type = F_WRLCK;
  range.l_whence = SEEK_SET;
  Holder holder = holding([fd] { ::close(fd); });
  return fd >= 0 && ::fcntl(fd, F_OFD_SETLK, &range) == 0 ? holder : nullptr;
}

// A viewer in another process holding a classic read lock (fcntl F_SETLK):
// the child takes it, says so, and keeps it until the holder goes.
Holder holdWithReadLockInAnotherProcess(const QString& path) {
  const QByteArray name = QFile::encodeName(path);
  int ready[2], release[2];
  if (::pipe(ready) != 0 || ::pipe(release) != 0) return nullptr;
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(ready[0]);
    ::close(release[1]);
    const int fd = ::open(name.constData(), O_RDONLY);
    struct flock range {};
    range.l_type = F_RDLCK;
    range.l_whence = SEEK_SET;
    const char status = (fd >= 0 && ::fcntl(fd, F_SETLK, &range) == 0) ? 'y' : 'n';
    if (::write(ready[1], &status, 1) != 1) ::_exit(1);
    char ignored;
    while (::read(release[0], &ignored, 1) > 0) {
    }
    ::_exit(0);
  }
  ::close(ready[1]);
  ::close(release[0]);
  char status = 'n';
  const bool locked = child > 0 && ::read(ready[0], &status, 1) == 1 && status == 'y';
  ::close(ready[0]);
  Holder holder = holding([child, releaseFd = release[1]] {
    ::close(releaseFd);
    if (child > 0) ::waitpid(child, nullptr, 0);
  });
  return locked ? holder : nullptr;
}

struct HeldCase {
  const char* name;
  Holder (*hold)(const QString& path);
};
void PrintTo(const HeldCase& c, std::ostream* out) { *out << c.name; }

class HeldFileTest : public CertificateFailureTest, public ::testing::WithParamInterface<HeldCase> {};

TEST_P(HeldFileTest, IsRefusedAndKeepsItsContent) {
  writePrevious();
  const Holder holder = GetParam().hold(certificatePath());
  ASSERT_TRUE(holder) << "could not take the lock for the test";

  ppal.check_pdf();

  expectFailedWith(QStringLiteral("le fichier PDF est déjà ouvert, "));
  EXPECT_EQ(certificate(), kPrevious);
}

INSTANTIATE_TEST_SUITE_P(Holders, HeldFileTest,
                         ::testing::Values(HeldCase{"flock", &holdWithFlock},
                                           HeldCase{"open_file_lock", &holdWithOpenFileLock},
                                           HeldCase{"read_lock_in_another_process", &holdWithReadLockInAnotherProcess}),
                         [](const auto& instance) { return std::string(instance.param.name); });

TEST_F(CertificateFailureTest, AMissingDataFolderIsRefusedTheSameWay) {
  ASSERT_TRUE(QDir(ppal.appli_dossier_commun).removeRecursively());
  ppal.check_pdf();
  expectFailedWith(QStringLiteral("le fichier PDF est déjà ouvert, "));
  EXPECT_FALSE(QFile::exists(certificatePath()));
}

TEST_F(CertificateFailureTest, AFolderInPlaceOfTheFileIsRefusedTheSameWay) {
  ASSERT_TRUE(QDir().mkpath(certificatePath()));
  ppal.check_pdf();
  expectFailedWith(QStringLiteral("le fichier PDF est déjà ouvert, "));
}

// Whoever may write the data folder could put a link where the certificate
// goes: the file it leads to must never be written.
TEST_F(CertificateFailureTest, ALinkInPlaceOfTheFileIsRefusedAndWhatItLeadsToKept) {
  const QString other = t.install.dir.filePath(QStringLiteral("autre-fichier"));
  const QByteArray otherBytes = "un fichier de quelqu'un d'autre";
  const QString dangling = t.install.dir.filePath(QStringLiteral("absent"));
  struct Link {
    const char* what;
    std::function<bool()> make;
  };
  for (const Link& link : {Link{"symbolic link", [&] { return QFile::link(other, certificatePath()); }},
                           Link{"dangling symbolic link", [&] { return QFile::link(dangling, certificatePath()); }},
                           Link{"hard link", [&] {
                                  return ::link(QFile::encodeName(other).constData(),
                                                QFile::encodeName(certificatePath()).constData()) == 0;
                                }}}) {
    SCOPED_TRACE(link.what);
    QFile::remove(certificatePath());
    {
      QFile file(other);
      ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
      file.write(otherBytes);
    }
    ASSERT_TRUE(link.make());
    ppal.appli_check_continue = ppal.appli_check_continue2 = 0;
    ppal.debug_mode();  // a fresh log for each case
    ppal.check_pdf();
    expectFailedWith(QStringLiteral("le fichier PDF est un lien ou n'est pas un fichier ordinaire, "));
    QFile file(other);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), otherBytes);
    EXPECT_FALSE(QFile::exists(dangling));
  }
}

// ---- the page cannot be made ----

struct GenerationCase {
  const char* name;
  std::function<void(CertificateFailureTest&)> spoil;
};
void PrintTo(const GenerationCase& c, std::ostream* out) { *out << c.name; }

class GenerationFailureTest : public CertificateFailureTest, public ::testing::WithParamInterface<GenerationCase> {
 public:
  using CertificateFixture::fillCard;
  using CertificateFixture::logoPath;
  Tppal& app() { return ppal; }
};

TEST_P(GenerationFailureTest, LeavesAnEmptyClosedFile) {
  writePrevious();
  GetParam().spoil(*this);

  ppal.check_pdf();

  expectFailedWith(QStringLiteral("Impossible d'écrire dans le fichier PDF, "));
  EXPECT_TRUE(QFile::exists(certificatePath()));
  EXPECT_EQ(certificate(), QByteArray());
  expectReleased();
}

void writeLogo(CertificateFailureTest& test, const QByteArray& bytes) {
  auto& self = static_cast<GenerationFailureTest&>(test);
  QFile logo(self.logoPath());
  ASSERT_TRUE(logo.open(QIODevice::WriteOnly | QIODevice::Truncate));
  logo.write(bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Causes, GenerationFailureTest,
    ::testing::Values(GenerationCase{"missing_logo",
                                     [](CertificateFailureTest& test) {
                                       QFile::remove(static_cast<GenerationFailureTest&>(test).logoPath());
                                     }},
                      GenerationCase{"logo_not_a_jpeg",
                                     [](CertificateFailureTest& test) {
                                       writeLogo(test, QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
                                     }},
                      GenerationCase{"empty_logo", [](CertificateFailureTest& test) { writeLogo(test, QByteArray()); }},
                      GenerationCase{
                          "no_beneficiary",
                          [](CertificateFailureTest& test) { static_cast<GenerationFailureTest&>(test).fillCard(0); }},
                      GenerationCase{"fewer_rows_than_counted",
                                     [](CertificateFailureTest& test) {
                                       static_cast<GenerationFailureTest&>(test).app().appli_xml_cnt2 = 2;
                                     }},
                      GenerationCase{"insured_row_without_scheme_slots",
                                     [](CertificateFailureTest& test) {
                                       static_cast<GenerationFailureTest&>(test).app().appli_xml_ext[0].resize(6);
                                     }}),
    [](const auto& instance) { return std::string(instance.param.name); });

// ---- the disk is full ----

TEST_F(CertificateFailureTest, AFullDiskFailsTheStepInsteadOfLeavingAHalfFile) {
  // A 64 KiB file system of our own, in a mount namespace of this process so
  // that nothing outside the test sees it.
  const QByteArray folder = QFile::encodeName(ppal.appli_dossier_commun);
  if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
      ::mount("tmpfs", folder.constData(), "tmpfs", 0, "size=64k") != 0)
    GTEST_SKIP() << "mounting a small file system is not permitted here: " << std::strerror(errno);
  const std::shared_ptr<void> unmount(nullptr, [&folder](void*) { ::umount2(folder.constData(), MNT_DETACH); });

  QFile filler(ppal.appli_dossier_commun + QStringLiteral("/filler"));
  ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
  const QByteArray block(4096, 'f');
  while (filler.write(block) == block.size() && filler.flush()) {
  }
  filler.close();

  ppal.check_pdf();

  expectFailedWith(QStringLiteral("Impossible d'écrire dans le fichier PDF, "));
  EXPECT_FALSE(certificate().endsWith("%%EOF\r\n"));
}

}  // namespace
