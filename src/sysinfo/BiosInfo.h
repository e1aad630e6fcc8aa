#pragma once

#include <QString>

#include "sysinfo/WMIBase.h"

struct TBiosProperties {
  QString Name;
};

// The BIOS name of the diagnostic header.
class TBiosInfo : public TWMIBase {
 public:
  explicit TBiosInfo(WmiSource& source) : TWMIBase(source) {}

  QString GetWMIClass() const override;
  QString NamespacePath() const override;
  void ClearValues() override;
  void LoadInstance(int n) override;

  const TBiosProperties& BiosProperties() const { return values_; }

 private:
  TBiosProperties values_;
};
