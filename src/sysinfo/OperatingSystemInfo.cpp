#include "sysinfo/OperatingSystemInfo.h"

#include "sysinfo/WmiValueRule.h"

QString TOperatingSystemInfo::GetWMIClass() const { return QStringLiteral("Win32_OperatingSystem"); }

QString TOperatingSystemInfo::NamespacePath() const { return QStringLiteral("root\\cimv2"); }

void TOperatingSystemInfo::ClearValues() { values_ = {}; }

void TOperatingSystemInfo::LoadInstance(int n) {
  TWMIBase::LoadInstance(n);
  const QString& text = InstanceText(n);
  values_.Caption = wmiPropertyValue(text, QStringLiteral("Caption"));
  values_.BuildNumber = wmiPropertyValue(text, QStringLiteral("BuildNumber"));
  values_.OSArchitecture = wmiPropertyValue(text, QStringLiteral("OSArchitecture"));
  values_.CSName = wmiPropertyValue(text, QStringLiteral("CSName"));
  values_.SerialNumber = wmiPropertyValue(text, QStringLiteral("SerialNumber"));
}
