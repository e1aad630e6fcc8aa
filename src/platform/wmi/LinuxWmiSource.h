#pragma once

#include "platform/WmiSource.h"
#include "platform/wmi/LinuxHost.h"

// Answers the management queries the diagnostic header makes, for the local
// machine: "SELECT * FROM Win32_OperatingSystem", "... Win32_BIOS" and
// "... Win32_Processor" in the namespace root\cimv2, one instance each,
// built from this machine's own facts. Anything else throws
// std::runtime_error.
class LinuxWmiSource : public WmiSource {
 public:
  explicit LinuxWmiSource(LinuxHost host = LinuxHost());

  QStringList query(const QString& host, const QString& namespacePath, const QString& wql) override;

 private:
  LinuxHost host_;
};
