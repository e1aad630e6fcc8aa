#pragma once

#include <stdexcept>

#include <QString>
#include <QStringList>

// Lays out the program's data under a machine-wide data folder: the
// encrypted configuration database, the card library's settings file and,
// for a demonstration, the stand-in card library's scenario and card. What
// already exists is kept: the settings file belongs to the card library's
// vendor and is never replaced, the database only on request.
struct InstallRequest {
  QString commonData;
  QString programDir;
  bool demo = false;
  bool force = false;  // replace an existing database (never the settings file)
};

class InstallError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct InstallReport {
  QStringList created;  // paths written
  QStringList kept;     // paths that existed and were left as they were
};

// Throws InstallError before writing anything when a program file to be
// measured is missing.
InstallReport install(const InstallRequest& request);

// After a technician replaced a file of the program folder: records the
// present size of every program file whose size the database checks, and
// changes nothing else. Returns "NAME: OLD -> NEW" for each size changed.
// Throws InstallError, changing nothing, when one of them is missing.
QStringList refreshRecordedSizes(const QString& commonData, const QString& programDir);

// The card reader the demo workstation lists and the settings file names.
inline const QString kDemoReader = QStringLiteral("Generic Usb Smart Card Reader 0");
