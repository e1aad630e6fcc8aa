#pragma once

#include "platform/WmiSource.h"

// WMI through its COM interface: the locator connects to the namespace of
// the host, runs the WQL query, and gives each instance's text in managed
// object format, as the scripting interface's GetObjectText_ does.
class WmiComSource : public WmiSource {
 public:
  QStringList query(const QString& host, const QString& namespacePath, const QString& wql) override;
};
