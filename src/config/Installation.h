#pragma once

#include <stdexcept>

#include <QString>
#include <QStringList>

// Lays out a complete installation under a machine-wide data folder: the
// encrypted configuration database, the card library's settings file and,
// for a demonstration, the stand-in card library's scenario and card.
struct InstallRequest {
  QString commonData;
  QString programDir;
  bool demo = false;
  bool force = false;  // replace an existing database or settings file
};

class InstallError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Returns the paths it wrote. Refuses (InstallError) to replace an existing
// database or settings file without force, before writing anything.
QStringList install(const InstallRequest& request);

// The card reader the demo workstation lists and the settings file names.
inline const QString kDemoReader = QStringLiteral("Generic Usb Smart Card Reader 0");
