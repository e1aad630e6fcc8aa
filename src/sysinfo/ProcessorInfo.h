#pragma once

#include <QString>

#include "sysinfo/WMIBase.h"

struct TProcessorProperties {
  QString ProcessorId;
  quint32 L2CacheSize = 0;  // kilobytes
};

// The processor identifier and level-2 cache size of the diagnostic header;
// on a machine with several processors, those of the first one returned.
class TProcessorInfo : public TWMIBase {
 public:
  explicit TProcessorInfo(WmiSource& source) : TWMIBase(source) {}

  QString GetWMIClass() const override;
  QString NamespacePath() const override;
  void ClearValues() override;
  void LoadInstance(int n) override;

  const TProcessorProperties& ProcessorProperties() const { return values_; }

 private:
  TProcessorProperties values_;
};
