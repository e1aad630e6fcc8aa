#pragma once

#include <QString>

#include "platform/SystemPaths.h"

// The folders of an installation under the machine-wide application-data
// folder (CAD), built here only, for the program and for velnara-setup.

// The program's company and short name, which name its data folder.
inline const QString kCompanyName = QStringLiteral("Trelvo");
inline const QString kSoftwareName = QStringLiteral("velna");

// CAD/Trelvo/velna: the configuration database, the certificate and the
// downloaded installer.
inline QString programDataFolder(const QString& commonAppData) {
  return commonAppData + kPathSeparator + kCompanyName + kPathSeparator + kSoftwareName;
}

// CAD/santesocial/api_lec: the card library's folder and its settings file.
inline QString cardLibraryFolder(const QString& commonAppData) {
  return commonAppData + kPathSeparator + QStringLiteral("santesocial") + kPathSeparator + QStringLiteral("api_lec");
}
