#include "platform/wmi/LinuxHost.h"

#include <sys/utsname.h>

#include <utility>

#include <QDir>
#include <QFile>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

KernelIdentity LinuxHost::unameIdentity() {
  utsname names{};
  if (uname(&names) != 0) return {};
  return {QString::fromLocal8Bit(names.release), QString::fromLocal8Bit(names.machine),
          QString::fromLocal8Bit(names.nodename)};
}

std::optional<CpuIdRegisters> LinuxHost::hardwareCpuId(quint32 leaf) {
#if defined(__x86_64__) || defined(__i386__)
  unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
  // __get_cpuid checks the highest leaf of the range first.
  if (__get_cpuid(leaf, &eax, &ebx, &ecx, &edx) == 0) return std::nullopt;
  return CpuIdRegisters{eax, ebx, ecx, edx};
#else
  (void)leaf;
  return std::nullopt;
#endif
}

LinuxHost::LinuxHost(QString root, KernelReader kernel, CpuIdReader cpuid)
    : root_(std::move(root)), kernel_(std::move(kernel)), cpuid_(std::move(cpuid)) {}

QString LinuxHost::readFile(const QString& relativePath) const {
  QFile file(absolutePath(relativePath));
  // Files under /proc and /sys report no size: read them to their end.
  if (!file.open(QIODevice::ReadOnly)) return QString();
  return QString::fromUtf8(file.readAll()).trimmed();
}

QStringList LinuxHost::folderEntries(const QString& relativePath, const QString& pattern) const {
  return QDir(absolutePath(relativePath)).entryList({pattern}, QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
}

QString LinuxHost::absolutePath(const QString& relativePath) const { return QDir(root_).filePath(relativePath); }
