#pragma once

#include <cstdint>
#include <stdexcept>
#include <string_view>

#include <QString>

// The file at the certificate's place is not one the program may write: a
// symbolic link, something other than a plain file, or a file with another
// name elsewhere.
class CertificateFileRefused : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The certificate file, held with exclusive access while a generation writes
// it. Another writer, or a viewer that holds what it shows, makes the opening
// fail and keeps its file as it was: the file is opened without truncation,
// taken without waiting, and emptied only once it is held. Each system holds
// a file its own way (locks on Linux, sharing modes on Windows).
class CertificateFile {
 public:
  // Opens or creates the file and takes it over; throws
  // CertificateFileRefused for a link or anything but a plain file with one
  // name (left untouched), std::system_error when it cannot be created or is
  // held by another.
  explicit CertificateFile(const QString& path);
  // Closes the file if close() was not reached; errors no longer matter then.
  ~CertificateFile();
  CertificateFile(const CertificateFile&) = delete;
  CertificateFile& operator=(const CertificateFile&) = delete;

  // Writes all the bytes; throws std::system_error when the system refuses
  // some of them (a full disk, a file size limit, an I/O error).
  void write(std::string_view bytes);
  // Makes the content durable and releases the file and its locks; throws
  // std::system_error when the system reports that the data did not make it.
  void close();

 private:
  std::intptr_t handle_ = -1;  // the system's descriptor or handle of the open file
};
