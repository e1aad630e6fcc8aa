// Download of the installer offered by the update check, and its launch with
// administrator rights.
#include <cmath>
#include <exception>

#include <QFile>
#include <QLocale>

#include "app/Tppal.h"
#include "platform/Downloader.h"
#include "platform/Shell.h"

namespace {
using Button = View::Button;

QString downloadErrorsText(const Downloader& downloader) {
  QString text;
  for (const QString& error : downloader.errors()) text += error + QStringLiteral("\r\n");
  return text;
}

// "%.2n": two decimals with the user's thousands and decimal separators.
QString twoDecimals(double value) { return QLocale().toString(value, 'f', 2); }
}  // namespace

void Tppal::setToolbarVisible(bool visible, bool withConfig) {
  for (Button b : {Button::btn_vitale, Button::btn_diagnostique, Button::btn_about, Button::btn_update})
    view.setButtonVisible(b, visible);
  if (withConfig) view.setButtonVisible(Button::btn_config, visible);
  view.setButtonVisible(Button::btn_quit, visible);
}

void Tppal::btn_update_goClick() {
  guarded([this] {
    setToolbarVisible(false, false);
    view.setButtonVisible(Button::btn_update_go, false);
    view.setProgressVisible(true);
    try {
      download_failed = false;
      download_running = true;
      p.downloader->start();
    } catch (const std::exception&) {
      download_running = false;
      // " Gestion" was never hidden: it stays as it is.
      offerDownloadAgain(false);
      return;
    }
    view.setDownloadTextVisible(true);
    view.setEditText(View::Edit::txt_suivi_download, QString());
  });
}

void Tppal::onDataItemProceed(const DownloadState& state) {
  const double done = double(state.bytesProceed) / 1024;
  const double total = double(state.resourceSize) / 1024;
  const double minutes = state.remainingTime / 60;
  view.setEditText(View::Edit::txt_suivi_download, twoDecimals(done) + QStringLiteral(" sur ") + twoDecimals(total) +
                                                       QStringLiteral(" Kb fait, temps restant ") +
                                                       twoDecimals(minutes) + QStringLiteral(" min"));
  // Rounded to the nearest, halves to even (the default rounding mode).
  const double roundedTotal = std::nearbyint(total);
  // With an unknown or tiny size there is no share to show: the bar stays.
  if (roundedTotal > 0) view.setProgressPosition(int(std::nearbyint(std::nearbyint(done) * 100 / roundedTotal)));
}

void Tppal::onError(const QString&, int) {
  download_failed = true;
  offerDownloadAgain(true);
}

void Tppal::offerDownloadAgain(bool withConfig) {
  messageBox(QStringLiteral("Erreur durant le téléchargement..."), downloadErrorsText(*p.downloader),
             View::MessageIcon::Information);
  view.setProgressVisible(false);
  view.setButtonVisible(Button::btn_update_go, true);
  view.setDownloadTextVisible(false);
  view.setEditText(View::Edit::txt_suivi_download, QString());
  setToolbarVisible(true, withConfig);
}

void Tppal::onProcessCompleted() {
  guarded([this] {
    view.setButtonVisible(Button::btn_update_go, false);
    view.setProgressVisible(false);
    view.setDownloadTextVisible(false);
    pump();
    // A transfer that failed may have left an old or partial installer
    // behind: it is never started.
    if (download_failed)
      showLaunchError();
    else
      update_admin();
    pump();
    setToolbarVisible(true, true);
  });
  download_running = false;
}

void Tppal::update_admin() {
  // The downloader writes a plain file; the installer must be runnable.
  QFile installer(appli_maj_name);
  if (installer.exists()) installer.setPermissions(installer.permissions() | QFileDevice::ExeOwner);
  if (p.shell->runAsAdministrator(appli_maj_name)) {
    requestTerminate();
  } else {
    showLaunchError();
  }
}

void Tppal::showLaunchError() {
  messageBox(QStringLiteral("Erreur Lancement Mise à Jour..."),
             QStringLiteral("Impossible de lancer la mise à jour ! \rVeuillez relancer la procédure"),
             View::MessageIcon::Information);
}
