#include "app/Tppal.h"

#include <exception>
#include <new>
#include <system_error>

#include "platform/ConfigDatabase.h"
#include "platform/Downloader.h"
#include "sysinfo/BiosInfo.h"
#include "sysinfo/OperatingSystemInfo.h"
#include "sysinfo/ProcessorInfo.h"

Tppal::Tppal(const Platform& platform)
    : p(platform),
      view(*platform.view),
      os_info(std::make_unique<TOperatingSystemInfo>(*platform.wmi)),
      bios_info(std::make_unique<TBiosInfo>(*platform.wmi)),
      processor_info(std::make_unique<TProcessorInfo>(*platform.wmi)) {
  p.downloader->setBatchSize(download_defaults::kBatchSize);
  p.downloader->setThreadCount(download_defaults::kThreadCount);
  p.downloader->setInternetAgent(QString::fromLatin1(download_defaults::kInternetAgent));
  p.downloader->setEvents(this);
}

Tppal::~Tppal() = default;

namespace {
// The database engine and the system speak English: the box says first, in
// French, what failed, and keeps their text after it for support staff.
QString userMessage(const std::exception& error) {
  const QString technical = QString::fromUtf8(error.what());
  if (dynamic_cast<const DatabaseError*>(&error))
    return QStringLiteral("La base de configuration n'a pas pu être lue ou modifiée : ") + technical;
  if (dynamic_cast<const std::system_error*>(&error))
    return QStringLiteral("Le système a refusé une opération : ") + technical;
  if (dynamic_cast<const std::bad_alloc*>(&error)) return QStringLiteral("Mémoire insuffisante : ") + technical;
  return technical;
}
}  // namespace

void Tppal::guarded(const std::function<void()>& handler) {
  last_unhandled_error.reset();
  QString message;
  try {
    handler();
    return;
  } catch (const std::exception& e) {
    message = userMessage(e);
  } catch (...) {
    message = QStringLiteral("Erreur inconnue");
  }
  last_unhandled_error = message;
  messageBox(appli_nom.isEmpty() ? QStringLiteral("Velnara") : appli_nom, message, View::MessageIcon::Error);
}

void Tppal::messageBox(const QString& caption, const QString& text, View::MessageIcon icon) {
  // Once the program has been asked to end, a box no longer waits for the user.
  view.messageBox(caption, text, icon, !appli_terminate);
}

void Tppal::requestTerminate() {
  appli_terminate = true;
  view.requestTerminate();
}

void Tppal::pump() { view.pump(); }

void Tppal::setStepIcon(View::StepRow row, View::Icon icon) {
  // A row's picture is cleared before the new one is drawn into it.
  view.setStepIcon(row, View::Icon::None);
  if (icon != View::Icon::None) view.setStepIcon(row, icon);
}

void Tppal::setLabel(View::Label label, const QString& text, Colorref color) {
  view.setLabelText(label, text);
  view.setLabelColor(label, color);
}

void Tppal::showPage(View::Page page) {
  view.showPage(page);
  if (page == View::Page::tab_debug) tab_debugShow();
  if (page == View::Page::tab_config) guarded([this] { tab_configShow(); });
}
