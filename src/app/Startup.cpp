// Start-up sequence and toolbar of the main window.
#include <QFile>
#include <QFileInfo>

#include "app/DataFolders.h"
#include "app/Tppal.h"
#include "platform/Downloader.h"
#include "platform/Files.h"
#include "platform/Folders.h"
#include "platform/SystemPaths.h"

namespace {
// Paths inside the program keep the platform's separator; folder texts that
// end with one keep it.
const QString sep = QString(kPathSeparator);
}  // namespace

void Tppal::FormCreate() {
  appli_nom = QStringLiteral("Velnara");
  appli_logiciel = kSoftwareName;
  appli_societe = kCompanyName;
  appli_version = QStringLiteral("1.09");

  appli_ini_file = p.folders->apiLecIniFile();

  appli_dossier_commun = programDataFolder(p.folders->commonAppData());
  appli_dossier_apilec = cardLibraryFolder(p.folders->commonAppData()) + sep;
  // The card library takes single-byte text; on this platform that is UTF-8
  // for file names.
  appli_dossier_apilec_force = QFile::encodeName(appli_dossier_apilec);

  raz_tab();
  appli_reader_lec = QStringLiteral("N/A");

  appli_url_update = p.updateUrl.isEmpty() ? QStringLiteral(VELNARA_UPDATE_URL) : p.updateUrl;
  appli_url_logiciel = p.siteUrl.isEmpty() ? QStringLiteral(VELNARA_SITE_URL) : p.siteUrl;

  raz_etat();

  appli_apilec_version = p.files->fileVersion(p.folders->executableDir() + sep + kCardLibraryFile);
  view.setStatusText(statusBarText());

  About_box();
  Creationfiche();

  p.downloader->setLocalFolder(appli_dossier_commun);
  appli_maj_name = appli_dossier_commun + sep + appli_logiciel + QStringLiteral("-last.exe");
  // The download writes the installer that update_admin starts, and nothing else.
  p.downloader->setFileName(QFileInfo(appli_maj_name).fileName());
}

QString Tppal::statusBarText() const {
  return QStringLiteral("Version ") + appli_version + QStringLiteral(" (") + appli_apilec_version + QStringLiteral(")");
}

void Tppal::raz_tab() {
  // The page set of this window has no tab headers to hide: pages are only
  // ever chosen by the program.
}

void Tppal::FormCloseQuery() { p.downloader->stop(); }

void Tppal::btn_vitaleClick() {
  view.setButtonVisible(View::Button::btn_diagnostique, false);
  showPage(View::Page::tab_carte);
}

void Tppal::btn_diagnostiqueClick() { showPage(View::Page::tab_debug); }

void Tppal::btn_configClick() { showPage(View::Page::tab_config); }

void Tppal::btn_aboutClick() { showPage(View::Page::tab_about); }

void Tppal::btn_updateClick() {
  asTheOnlyActivity([this] {
    guarded([this] {
      view.setButtonVisible(View::Button::btn_diagnostique, true);
      raz_etat();
      pump();
      showPage(View::Page::tab_update);
      debug_mode();
      pump();
      check_maj();
      pump();
    });
  });
}

void Tppal::btn_quitClick() {
  p.downloader->stop();
  requestTerminate();
}
