#include "platform/CertificateFile.h"

#include <windows.h>

#include <algorithm>
#include <system_error>

#include <QDir>

namespace {

[[noreturn]] void throwSystemError(const char* what) {
  throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), what);
}

HANDLE handleOf(std::intptr_t value) { return reinterpret_cast<HANDLE>(value); }

}  // namespace

CertificateFile::CertificateFile(const QString& path) {
  // Shared with nobody while it is open: a viewer that holds the file, or
  // another writer, makes the opening fail and keeps its file. Opened as it
  // is, never truncated before it is ours, and a link is opened itself
  // (FILE_FLAG_OPEN_REPARSE_POINT) so that it can be refused, never followed.
  const QString native = QDir::toNativeSeparators(path);
  const HANDLE file = CreateFileW(reinterpret_cast<const wchar_t*>(native.utf16()), GENERIC_READ | GENERIC_WRITE, 0,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) throwSystemError("CreateFileW");
  try {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file, &info)) throwSystemError("GetFileInformationByHandle");
    if ((info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0 ||
        info.nNumberOfLinks != 1)
      throw CertificateFileRefused("the certificate is not a plain file with a single name");
    if (!SetEndOfFile(file)) throwSystemError("SetEndOfFile");
  } catch (...) {
    CloseHandle(file);
    throw;
  }
  handle_ = reinterpret_cast<std::intptr_t>(file);
}

CertificateFile::~CertificateFile() {
  if (handle_ != -1) CloseHandle(handleOf(handle_));
}

void CertificateFile::write(std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
    if (!WriteFile(handleOf(handle_), bytes.data(), chunk, &written, nullptr)) throwSystemError("WriteFile");
    if (written == 0) throw std::system_error(ERROR_DISK_FULL, std::system_category(), "WriteFile");
    bytes.remove_prefix(written);
  }
}

void CertificateFile::close() {
  const HANDLE file = handleOf(handle_);
  handle_ = -1;
  if (!FlushFileBuffers(file)) {
    const DWORD error = GetLastError();
    CloseHandle(file);
    throw std::system_error(static_cast<int>(error), std::system_category(), "FlushFileBuffers");
  }
  if (!CloseHandle(file)) throwSystemError("CloseHandle");
}
