#include "platform/downloader/CurlDownloader.h"

#include <algorithm>
#include <exception>
#include <stdexcept>

#include <QFileInfo>
#include <QThread>
#include <QUrl>

#include "platform/downloader/ErrorTexts.h"
#include "platform/downloader/LocalFileName.h"
#include "platform/downloader/TransferJob.h"

namespace {

// One event on its way to the window thread.
struct Delivery {
  bool done = false;       // the handler has returned
  bool abandoned = false;  // the transfer thread stopped waiting: never run it
};

}  // namespace

CurlDownloader::CurlDownloader(QObject* parent) : QObject(parent) {}

CurlDownloader::~CurlDownloader() { stop(); }

void CurlDownloader::setBatchSize(int bytes) { settings_.batchSize = std::max(1, bytes); }

void CurlDownloader::setThreadCount(int count) { settings_.threadCount = std::max(1, count); }

QStringList CurlDownloader::errors() const {
  std::lock_guard lock(mutex_);
  return errors_;
}

QString CurlDownloader::settingsProblem() const {
  const QUrl url(settings_.url);
  if (!url.isValid() || (url.scheme() != QLatin1String("https") && url.scheme() != QLatin1String("http")))
    return download_text::cannotStart(
        QStringLiteral("The address \"%1\" is not an http or https URL").arg(settings_.url));
  if (!QFileInfo(settings_.localFolder).isDir())
    return download_text::cannotStart(QStringLiteral("The folder \"%1\" does not exist").arg(settings_.localFolder));
  QString problem;
  if (localPathFor(settings_.localFolder, settings_.fileName, &problem).isEmpty())
    return download_text::cannotStart(problem);
  return {};
}

void CurlDownloader::start() {
  if (busy_) throw std::runtime_error("Operation is in progress");
  // The previous transfer has delivered its last event; its thread is ending.
  if (controller_.joinable()) controller_.join();
  {
    std::lock_guard lock(mutex_);
    errors_.clear();
    stopRequested_ = false;
  }
  const QString problem = settingsProblem();
  if (!problem.isEmpty()) {
    std::lock_guard lock(mutex_);
    errors_.append(problem);
    throw std::runtime_error(problem.toStdString());
  }
  progress_ = std::make_shared<TransferProgress>();
  busy_ = true;
  ++transferNumber_;
  try {
    controller_ =
        std::thread([this, settings = settings_, number = transferNumber_] { runTransfer(settings, number); });
  } catch (...) {
    busy_ = false;
    throw;
  }
}

void CurlDownloader::stop() {
  {
    std::lock_guard lock(mutex_);
    stopRequested_ = true;
  }
  wake_.notify_all();
  // No transfer thread waits on this thread any more, so the join cannot
  // deadlock, even from inside an event handler.
  if (controller_.joinable()) controller_.join();
  busy_ = false;
}

void CurlDownloader::runTransfer(const DownloadSettings& settings, int transferNumber) {
  nameTransferThread();
  try {
    TransferJob(settings, *this, *progress_).run();
  } catch (const std::exception& error) {
    reportError(download_text::transferFailed(QString::fromLocal8Bit(error.what())), 0);
  }
  deliverAndWait([this, transfer = transferNumber] {
    // Unless the handler stopped this transfer and started another one.
    struct EndOfTransfer {
      CurlDownloader& downloader;
      int transfer;
      ~EndOfTransfer() {
        if (downloader.transferNumber_ == transfer) downloader.busy_ = false;
      }
    } endOfTransfer{*this, transfer};
    if (events_) events_->onProcessCompleted();
  });
}

bool CurlDownloader::stopRequested() const {
  std::lock_guard lock(mutex_);
  return stopRequested_;
}

bool CurlDownloader::pause(std::chrono::milliseconds delay) {
  std::unique_lock lock(mutex_);
  return !wake_.wait_for(lock, delay, [this] { return stopRequested_; });
}

void CurlDownloader::reportProgress() {
  deliverAndWait([this, progress = progress_] {
    if (events_) events_->onDataItemProceed(progress->snapshot());
  });
}

void CurlDownloader::reportError(const QString& error, int code) {
  {
    std::lock_guard lock(mutex_);
    errors_.append(error);
  }
  deliverAndWait([this, error, code] {
    if (events_) events_->onError(error, code);
  });
}

void CurlDownloader::deliverAndWait(std::function<void()> handlerCall) {
  auto delivery = std::make_shared<Delivery>();
  {
    std::lock_guard lock(mutex_);
    if (stopRequested_) return;
  }
  // A queued call and our own wait rather than a blocking queued connection:
  // the wait also ends on stop(), so the window thread can always join us.
  QMetaObject::invokeMethod(
      this,
      [this, delivery, call = std::move(handlerCall)] {
        {
          std::lock_guard lock(mutex_);
          if (delivery->abandoned) return;
        }
        struct Done {
          CurlDownloader* downloader;
          Delivery& delivery;
          ~Done() {
            {
              std::lock_guard lock(downloader->mutex_);
              delivery.done = true;
            }
            downloader->wake_.notify_all();
          }
        } done{this, *delivery};
        try {
          call();
        } catch (const std::exception& error) {
          // An exception must not unwind through the event loop.
          qWarning("Download event handler failed: %s", error.what());
        } catch (...) {
          qWarning("Download event handler failed");
        }
      },
      Qt::QueuedConnection);
  std::unique_lock lock(mutex_);
  wake_.wait(lock, [&] { return delivery->done || stopRequested_; });
  if (!delivery->done) delivery->abandoned = true;
}
