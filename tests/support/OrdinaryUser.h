#pragma once

#include <sys/types.h>

#include <optional>

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "support/ToolSupport.h"

// Programs started as an ordinary user of a workstation, from a test run by
// root: setpriv gives them uid and gid 65534 and, for a member of the
// program's group, that group as their only supplementary one.
struct OrdinaryUser {
  uid_t uid = 65534;
  std::optional<gid_t> group;  // a member of the data folder's group, or not
};

// The group the tests give the data folder, as the package gives it its own;
// a number no system account uses.
inline constexpr gid_t kDataGroup = 64123;

// Why programs cannot be started as another user here (not root, no
// setpriv, the build folder closed to others), or empty when they can.
QString whyNotAsOrdinaryUser();

// Starts the program with its arguments as that user.
void startAs(QProcess& process, const OrdinaryUser& user, const QString& program, const QStringList& arguments);

// The data folder CAD/Trelvo/velna as the package lays it out: root's, in
// the group, set-group-ID and group-writable, the database group-writable;
// the card library's folder readable by all. CAD itself is opened to all.
bool shareAsThePackageDoes(const QString& cad, gid_t group);

// A demo installation made by root with velnara-setup, then handed to the
// group kDataGroup as the package does.
struct SharedInstallation {
  SharedInstallation();
  // velnara-run with these arguments after --common-data, as that user.
  ToolResult run(const OrdinaryUser& user, const QStringList& arguments,
                 const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) const;
  QString dataFolder() const { return cad.filePath(QStringLiteral("Trelvo/velna")); }
  QString storedDate() const { return storedUpdateDate(dataFolder() + QStringLiteral("/velna.mvd")); }

  QTemporaryDir cad;
  bool shared = false;
};
