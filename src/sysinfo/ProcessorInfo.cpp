#include "sysinfo/ProcessorInfo.h"

#include "sysinfo/WmiValueRule.h"

QString TProcessorInfo::GetWMIClass() const { return QStringLiteral("Win32_Processor"); }

QString TProcessorInfo::NamespacePath() const { return QStringLiteral("root\\cimv2"); }

void TProcessorInfo::ClearValues() { values_ = {}; }

void TProcessorInfo::LoadInstance(int n) {
  TWMIBase::LoadInstance(n);
  const QString& text = InstanceText(n);
  values_.ProcessorId = wmiPropertyValue(text, QStringLiteral("ProcessorId"));
  // The field keeps the low 32 bits of the 64-bit value, as its width dictates.
  values_.L2CacheSize = static_cast<quint32>(wmiIntegerValue(text, QStringLiteral("L2CacheSize")));
}
