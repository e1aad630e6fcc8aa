#include "DownloadRecorder.h"

#include <QCoreApplication>
#include <QThread>

void DownloadRecorder::noteThread() {
  allOnWindowThread = allOnWindowThread && QThread::currentThread() == QCoreApplication::instance()->thread();
}

void DownloadRecorder::onDataItemProceed(const DownloadState& state) {
  noteThread();
  progress.push_back(state);
  sequence.push_back("progress");
  if (duringNextProgress) {
    auto hook = std::move(duringNextProgress);
    duringNextProgress = nullptr;
    hook();
  }
}

void DownloadRecorder::onError(const QString& error, int) {
  noteThread();
  errorTexts.push_back(error);
  errorListAtEachError.push_back(errors_());
  sequence.push_back("error");
}

void DownloadRecorder::onProcessCompleted() {
  noteThread();
  ++completions;
  sequence.push_back("completed");
  if (duringNextCompletion) {
    auto hook = std::move(duringNextCompletion);
    duringNextCompletion = nullptr;
    hook();
  }
}

void DownloadRecorder::clear() {
  progress.clear();
  errorTexts.clear();
  errorListAtEachError.clear();
  sequence.clear();
  completions = 0;
  allOnWindowThread = true;
}
