#include "platform/downloader/TransferProgress.h"

#include <algorithm>

DownloadState TransferProgress::snapshot() const {
  DownloadState state;
  state.bytesProceed = bytesProceed_;
  state.resourceSize = resourceSize_;
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
  const double rate = seconds > 0 ? state.bytesProceed / seconds : 0;
  if (state.resourceSize > 0 && rate > 0)
    state.remainingTime = std::max<qint64>(0, state.resourceSize - state.bytesProceed) / rate;
  return state;
}
