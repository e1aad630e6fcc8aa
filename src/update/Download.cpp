// Download of the installer and its launch.
#include "app/Tppal.h"
#include "platform/NotAvailable.h"

void Tppal::btn_update_goClick() {
  guarded([] { throw NotAvailable("Téléchargement de la mise à jour"); });
}

void Tppal::update_admin() { throw NotAvailable("Lancement de la mise à jour"); }

void Tppal::onDataItemProceed(const DownloadState&) {}

void Tppal::onError(const QString&, int) {}

void Tppal::onProcessCompleted() {}
