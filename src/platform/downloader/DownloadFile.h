#pragma once

#include <memory>

#include <QString>

// The file a transfer writes into: a temporary file in the download folder,
// written at any offset from several threads at once, and given its final
// name only once it is complete. Until then nothing exists under the final
// name, and a file that is never committed is removed.
class DownloadFile {
 public:
  // Null (with `error` set) when the folder does not take a new file.
  static std::unique_ptr<DownloadFile> createIn(const QString& folder, QString* error);
  ~DownloadFile();

  DownloadFile(const DownloadFile&) = delete;
  DownloadFile& operator=(const DownloadFile&) = delete;

  // Thread-safe: each call writes its own byte range.
  bool writeAt(qint64 offset, const char* data, qint64 size, QString* error);

  // Flushes the data and renames the file to `finalPath`, replacing what was
  // there. On failure the temporary file is removed.
  bool commitAs(const QString& finalPath, QString* error);

  QString temporaryPath() const { return temporaryPath_; }

 private:
  DownloadFile(int descriptor, QString temporaryPath);
  void closeDescriptor();

  int descriptor_;
  QString temporaryPath_;
  bool committed_ = false;
};
