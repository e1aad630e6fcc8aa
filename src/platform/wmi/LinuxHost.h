#pragma once

#include <functional>
#include <optional>

#include <QString>
#include <QStringList>

// What uname tells about the running kernel.
struct KernelIdentity {
  QString release;   // e.g. "6.1.0-18-amd64"
  QString machine;   // e.g. "x86_64"
  QString nodeName;  // the host name
};

// The four registers one CPUID leaf gives.
struct CpuIdRegisters {
  quint32 eax = 0;
  quint32 ebx = 0;
  quint32 ecx = 0;
  quint32 edx = 0;
};

// The facts of this machine the management classes are built from: files
// under a root folder, the kernel's identity and the processor's own
// identification. Each can be replaced, so that tests describe another
// machine.
class LinuxHost {
 public:
  using KernelReader = std::function<KernelIdentity()>;
  // Gives nothing for a leaf the processor does not have, and always on a
  // processor without the CPUID instruction.
  using CpuIdReader = std::function<std::optional<CpuIdRegisters>(quint32 leaf)>;

  static KernelIdentity unameIdentity();
  static std::optional<CpuIdRegisters> hardwareCpuId(quint32 leaf);

  explicit LinuxHost(QString root = QStringLiteral("/"), KernelReader kernel = &unameIdentity,
                     CpuIdReader cpuid = &hardwareCpuId);

  KernelIdentity kernel() const { return kernel_(); }
  std::optional<CpuIdRegisters> cpuid(quint32 leaf) const { return cpuid_(leaf); }

  // The contents of a file named relative to the root, without surrounding
  // white space; empty when it cannot be read.
  QString readFile(const QString& relativePath) const;
  // The names in a folder named relative to the root that match a wildcard
  // pattern, sorted; empty when the folder cannot be read.
  QStringList folderEntries(const QString& relativePath, const QString& pattern) const;

 private:
  QString absolutePath(const QString& relativePath) const;

  QString root_;
  KernelReader kernel_;
  CpuIdReader cpuid_;
};
