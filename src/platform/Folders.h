#pragma once

#include <QString>

// Where the program finds its machine-wide data and its own files.
class Folders {
 public:
  virtual ~Folders() = default;
  // The machine-wide application-data folder (CAD), no trailing separator;
  // empty when it cannot be given.
  virtual QString commonAppData() const = 0;
  // The folder of the program's executable, no trailing separator.
  virtual QString executableDir() const = 0;
  // The card-reader library settings file (a fixed path, not derived from CAD).
  virtual QString apiLecIniFile() const = 0;
};

// Folders fixed at construction: the build's defaults or the runner's options.
class FixedFolders : public Folders {
 public:
  FixedFolders(QString commonAppData, QString executableDir, QString iniFile)
      : common_(std::move(commonAppData)), exe_(std::move(executableDir)), ini_(std::move(iniFile)) {}
  QString commonAppData() const override { return common_; }
  QString executableDir() const override { return exe_; }
  QString apiLecIniFile() const override { return ini_; }

 private:
  QString common_, exe_, ini_;
};
