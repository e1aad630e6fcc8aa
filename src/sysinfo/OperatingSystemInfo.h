#pragma once

#include <QString>

#include "sysinfo/WMIBase.h"

struct TOperatingSystemProperties {
  QString Caption;
  QString BuildNumber;
  QString OSArchitecture;
  QString CSName;
  QString SerialNumber;
};

// The operating system: name, build, architecture, computer name and serial
// number, as the diagnostic header shows them.
class TOperatingSystemInfo : public TWMIBase {
 public:
  explicit TOperatingSystemInfo(WmiSource& source) : TWMIBase(source) {}

  QString GetWMIClass() const override;
  QString NamespacePath() const override;
  void ClearValues() override;
  void LoadInstance(int n) override;

  const TOperatingSystemProperties& OperatingSystemProperties() const { return values_; }

 private:
  TOperatingSystemProperties values_;
};
