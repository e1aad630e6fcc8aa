#include "platform/downloader/TransferJob.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <limits>
#include <system_error>
#include <thread>

#include <pthread.h>

#include <QFile>
#include <QUrl>

#include "platform/downloader/DownloadRequest.h"
#include "platform/downloader/ErrorTexts.h"
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
  // Parts refused alike at the same moment report it once.
  if (failed_.exchange(true)) return;
  host_.reportError(error, code);
}

void TransferJob::run() {
  DownloadFile::removeLeftoversIn(settings_.localFolder);
  ResourceInfo info;
  if (!probe(&info)) return;
  if (info.size > 0) progress_.setResourceSize(info.size);

  // Refused before any byte is fetched whenever the server told enough: a
  // script's URL names nothing, so its name may only come with the GET.
  probedName_ = info.serverFileName;
  const bool nameKnown = !QUrl(settings_.url).hasQuery() || !info.serverFileName.isEmpty();
  if (const QString refusal = nameKnown ? refusalOf(QString(), info.size) : sizeRefusal(info.size);
      !refusal.isEmpty()) {
    fail(refusal, 0);
    return;
  }

  QString error;
  const QString target = localPathFor(settings_.localFolder, settings_.fileName, &error);
  if (target.isEmpty()) {
    fail(download_text::cannotStart(error), 0);
    return;
  }
  std::unique_ptr<DownloadFile> file = DownloadFile::createIn(settings_.localFolder, &error);
  if (!file) {
    fail(download_text::fileFailed(error), 0);
    return;
  }

  fetchParts(planParts(info, settings_.threadCount, settings_.batchSize), *file);
  if (!keepGoing()) return;  // the temporary file goes with `file`
  if (!file->commitAs(target, &error)) fail(download_text::fileFailed(error), 0);
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

QString TransferJob::refusalOf(const QString& dispositionName, qint64 size) const {
  const QString name = dispositionName.isEmpty() ? probedName_ : dispositionName;
  const QString refusal = offeredNameRefusal(offeredFileName(QUrl(settings_.url), name), settings_.fileName);
  return refusal.isEmpty() ? sizeRefusal(size) : refusal;
}

QString TransferJob::sizeRefusal(qint64 size) const {
  if (size < 0) return {};
  if (size > settings_.maxBytes) return download_text::announcedTooLarge(size, settings_.maxBytes);
  // What the parts have written already takes its room in the folder.
  const qint64 needed = size - progress_.bytesProceed();
  std::error_code failed;
  const std::filesystem::space_info volume =
      std::filesystem::space(std::filesystem::path(settings_.localFolder.toStdU16String()), failed);
  if (failed) return {};
  const qint64 available = qint64(std::min<std::uintmax_t>(volume.available, std::numeric_limits<qint64>::max()));
  if (needed > available) return download_text::notEnoughSpace(settings_.localFolder, size, available);
  return {};
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

void TransferJob::fetchParts(const std::vector<ByteRange>& ranges, DownloadFile& file) {
  std::vector<std::unique_ptr<PartTransfer>> parts;
  const auto refusal = [this](const QString& name, qint64 size) { return refusalOf(name, size); };
  for (const auto& [first, end] : ranges)
    parts.push_back(std::make_unique<PartTransfer>(
        settings_, first, end, file, progress_, host_, [this] { return keepGoing(); }, refusal));
  auto fetch = [this](PartTransfer& part) {
    try {
      const AttemptResult result = runAttempts(
          settings_.attempts, settings_.retryDelay, [&](int) { return part.attempt(); },
          [this](std::chrono::milliseconds delay) { return pause(delay); });
      if (result.kind == AttemptResult::Kind::Fail) fail(result.error, result.code);
    } catch (const std::exception& error) {
      fail(download_text::transferFailed(QString::fromLocal8Bit(error.what())), 0);
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
    // The parts already running see it and end.
    fail(download_text::transferFailed(QString::fromLocal8Bit(error.what())), 0);
  }
  fetch(*parts.front());
  for (std::thread& helper : helpers) helper.join();
}
