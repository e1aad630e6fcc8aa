#include "platform/downloader/TransferJob.h"

#include <algorithm>
#include <exception>
#include <system_error>
#include <thread>

#include <pthread.h>

#include <QUrl>

#include "platform/downloader/DownloadRequest.h"
#include "platform/downloader/LocalFileName.h"
#include "platform/downloader/PartTransfer.h"

void nameTransferThread() { pthread_setname_np(pthread_self(), "velnara-dl"); }

TransferJob::TransferJob(DownloadSettings settings, TransferHost& host, TransferProgress& progress)
    : settings_(std::move(settings)), host_(host), progress_(progress) {}

bool TransferJob::keepGoing() const { return !failed_ && !host_.stopRequested(); }

bool TransferJob::pause(std::chrono::milliseconds delay) {
  // In short steps, so that a part that gave up ends the others' waits too.
  using namespace std::chrono_literals;
  while (delay > 0ms) {
    const auto step = std::min<std::chrono::milliseconds>(delay, kStopCheckInterval);
    if (!host_.pause(step) || failed_) return false;
    delay -= step;
  }
  return true;
}

void TransferJob::fail(const QString& error, int code) {
  failed_ = true;
  host_.reportError(error, code);
}

void TransferJob::run() {
  ResourceInfo info;
  if (!probe(&info)) return;
  if (info.size > 0) progress_.setResourceSize(info.size);

  // The name is checked before any byte is fetched whenever it is known.
  const bool nameKnown = !QUrl(settings_.url).hasQuery() || !info.serverFileName.isEmpty();
  QString target;
  if (nameKnown && (target = checkedTargetPath(info.serverFileName)).isEmpty()) return;

  QString error;
  std::unique_ptr<DownloadFile> file = DownloadFile::createIn(settings_.localFolder, &error);
  if (!file) {
    fail(error, 0);
    return;
  }

  QString serverName;
  fetchParts(planParts(info, settings_.threadCount, settings_.batchSize), *file, &serverName);
  if (!keepGoing()) return;  // the temporary file goes with `file`
  if (target.isEmpty() && (target = checkedTargetPath(serverName)).isEmpty()) return;
  if (!file->commitAs(target, &error)) fail(error, 0);
}

bool TransferJob::probe(ResourceInfo* info) {
  const AttemptResult result = runAttempts(
      settings_.attempts, settings_.retryDelay,
      [&](int) {
        return probeResource(
            settings_, [this] { return keepGoing(); }, info);
      },
      [this](std::chrono::milliseconds delay) { return pause(delay); });
  if (result.kind == AttemptResult::Kind::Fail) fail(result.error, result.code);
  return result.kind == AttemptResult::Kind::Done;
}

QString TransferJob::checkedTargetPath(const QString& serverName) {
  QString problem;
  const QString name = chooseFileName(QUrl(settings_.url), serverName);
  const QString path = localPathFor(settings_.localFolder, name, &problem);
  if (path.isEmpty()) fail(problem, 0);
  return path;
}

std::vector<TransferJob::ByteRange> TransferJob::planParts(const ResourceInfo& info, int threadCount, int batchSize) {
  const qint64 batch = std::max(1, batchSize);
  const qint64 count =
      info.size > 0 && info.acceptsRanges ? std::min<qint64>(std::max(1, threadCount), info.size / batch) : 1;
  if (count < 2) return {{0, -1}};
  std::vector<ByteRange> ranges;
  const qint64 share = info.size / count;
  for (qint64 index = 0; index < count; ++index)
    ranges.emplace_back(index * share, index + 1 == count ? info.size : (index + 1) * share);
  return ranges;
}

void TransferJob::fetchParts(const std::vector<ByteRange>& ranges, DownloadFile& file, QString* serverName) {
  std::vector<std::unique_ptr<PartTransfer>> parts;
  for (const auto& [first, end] : ranges)
    parts.push_back(
        std::make_unique<PartTransfer>(settings_, first, end, file, progress_, host_, [this] { return keepGoing(); }));
  auto fetch = [this](PartTransfer& part) {
    try {
      const AttemptResult result = runAttempts(
          settings_.attempts, settings_.retryDelay, [&](int) { return part.attempt(); },
          [this](std::chrono::milliseconds delay) { return pause(delay); });
      if (result.kind == AttemptResult::Kind::Fail) fail(result.error, result.code);
    } catch (const std::exception& error) {
      fail(QString::fromLocal8Bit(error.what()), 0);
    }
  };
  std::vector<std::thread> helpers;
  try {
    for (size_t index = 1; index < parts.size(); ++index)
      helpers.emplace_back([&fetch, &part = *parts[index]] {
        nameTransferThread();
        fetch(part);
      });
  } catch (const std::system_error& error) {
    fail(QString::fromLocal8Bit(error.what()), 0);  // the parts already running see it and end
  }
  fetch(*parts.front());
  for (std::thread& helper : helpers) helper.join();
  *serverName = parts.front()->serverFileName();
}
