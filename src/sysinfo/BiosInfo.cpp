#include "sysinfo/BiosInfo.h"

#include "sysinfo/WmiValueRule.h"

QString TBiosInfo::GetWMIClass() const { return QStringLiteral("Win32_Bios"); }

QString TBiosInfo::NamespacePath() const { return QStringLiteral("root\\cimv2"); }

void TBiosInfo::ClearValues() { values_ = {}; }

void TBiosInfo::LoadInstance(int n) {
  TWMIBase::LoadInstance(n);
  values_.Name = wmiPropertyValue(InstanceText(n), QStringLiteral("Name"));
}
