#pragma once

#include <utility>
#include <vector>

#include <QString>

// Builds one instance's text in the managed-object format, as WMI writes it:
//
//   (empty line)
//   instance of Win32_Processor
//   {
//   <tab>L2CacheSize = 512;
//   <tab>ProcessorId = "BFEBFBFF000906EA";
//   };
//
// Properties come in the alphabetical order of their names; a null property
// has no line.
class ManagedObjectText {
 public:
  explicit ManagedObjectText(QString className);

  // A text property, quoted with its backslashes and quotes escaped. An empty
  // value stands for an unknown one and gets no line.
  void setText(const QString& name, const QString& value);
  // A number property, written bare.
  void setNumber(const QString& name, quint64 value);

  QString text() const;

 private:
  QString className_;
  std::vector<std::pair<QString, QString>> properties_;  // name, written value
};
