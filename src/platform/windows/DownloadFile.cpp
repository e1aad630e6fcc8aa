// The download file's operations on Windows.
#include "platform/downloader/DownloadFile.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include <QDir>

namespace {

const wchar_t* wide(const QString& text) { return reinterpret_cast<const wchar_t*>(text.utf16()); }

HANDLE handleOf(std::intptr_t value) { return reinterpret_cast<HANDLE>(value); }

QString systemError() {
  wchar_t* text = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, GetLastError(), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  const QString message = QString::fromWCharArray(text, static_cast<qsizetype>(length)).trimmed();
  LocalFree(text);
  return message;
}

}  // namespace

void DownloadFile::removeLeftoversIn(const QString& folder) {
  const QStringList names =
      QDir(folder).entryList({QStringLiteral(".download-*.part")}, QDir::Files | QDir::Hidden | QDir::System);
  for (const QString& name : names) {
    if (!isTemporaryName(name)) continue;
    // A transfer still running has it open without leave to delete it: the
    // deletion then fails, and only a killed process's file goes.
    DeleteFileW(wide(QDir::toNativeSeparators(folder + u'/' + name)));
  }
}

DownloadFile::DownloadFile(std::intptr_t handle, QString temporaryPath)
    : handle_(handle), temporaryPath_(std::move(temporaryPath)) {}

std::unique_ptr<DownloadFile> DownloadFile::createIn(const QString& folder, QString* error) {
  for (int tries = 0; tries < 100; ++tries) {
    const QString path = newTemporaryPath(QDir::toNativeSeparators(folder));
    // Shared for reading and writing, never for deleting: see removeLeftoversIn.
    const HANDLE file = CreateFileW(wide(path), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE)
      return std::unique_ptr<DownloadFile>(new DownloadFile(reinterpret_cast<std::intptr_t>(file), path));
    if (GetLastError() != ERROR_FILE_EXISTS) {
      *error = QStringLiteral("Cannot create a file in %1: %2").arg(folder, systemError());
      return nullptr;
    }
  }
  *error = QStringLiteral("Cannot create a file in %1").arg(folder);
  return nullptr;
}

DownloadFile::~DownloadFile() {
  closeHandle();
  if (!committed_) DeleteFileW(wide(temporaryPath_));
}

void DownloadFile::closeHandle() {
  if (handle_ != -1) CloseHandle(handleOf(handle_));
  handle_ = -1;
}

bool DownloadFile::writeAt(qint64 offset, const char* data, qint64 size, QString* error) {
  while (size > 0) {
    // A position of its own for each write: the parts write at once.
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFF);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<qint64>(size, 1 << 30));
    if (!WriteFile(handleOf(handle_), data, chunk, &written, &at) || written == 0) {
      *error = QStringLiteral("Cannot write %1: %2").arg(temporaryPath_, systemError());
      return false;
    }
    data += written;
    offset += written;
    size -= written;
  }
  return true;
}

bool DownloadFile::commitAs(const QString& finalPath, QString* error) {
  const bool flushed = FlushFileBuffers(handleOf(handle_)) != FALSE;
  const QString flushError = flushed ? QString() : systemError();
  closeHandle();
  if (!flushed) {
    *error = QStringLiteral("Cannot write %1: %2").arg(temporaryPath_, flushError);
    return false;
  }
  if (!MoveFileExW(wide(temporaryPath_), wide(QDir::toNativeSeparators(finalPath)), MOVEFILE_REPLACE_EXISTING)) {
    *error = QStringLiteral("Cannot name the file %1: %2").arg(finalPath, systemError());
    return false;
  }
  committed_ = true;
  return true;
}
