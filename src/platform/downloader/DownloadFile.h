#pragma once

#include <cstdint>
#include <memory>

#include <QString>

// The file a transfer writes into: a temporary file in the download folder,
// written at any offset from several threads at once, and given its final
// name only once it is complete. Until then nothing exists under the final
// name, and a file that is never committed is removed.
//
// The temporary file is named .download-<16 hexadecimal digits>.part and
// held for as long as it is open (a lock on Linux, a sharing mode that
// forbids deleting it on Windows), so that the files of a process that was
// killed can be told from those of a transfer still running. Each system has
// its own implementation of the file operations (platform/linux,
// platform/windows).
class DownloadFile {
 public:
  // Null (with `error` set) when the folder does not take a new file.
  static std::unique_ptr<DownloadFile> createIn(const QString& folder, QString* error);

  // Removes the temporary files that no transfer holds any more from the
  // folder: only regular files named exactly as this class names them.
  static void removeLeftoversIn(const QString& folder);
  static bool isTemporaryName(const QString& name);
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
  DownloadFile(std::intptr_t handle, QString temporaryPath);
  void closeHandle();
  // A new temporary name in the folder.
  static QString newTemporaryPath(const QString& folder);

  std::intptr_t handle_;  // the system's descriptor or handle
  QString temporaryPath_;
  bool committed_ = false;
};
