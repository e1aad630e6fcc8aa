#pragma once

#include <optional>
#include <utility>
#include <variant>

#include <QByteArray>
#include <QString>

// A settings file's bytes in the form the line rules of ini_text work on,
// the one place that decides the file's encoding, from its first bytes, as
// the Windows profile calls do:
// - no byte-order mark: Windows-1252 bytes;
// - UTF-8 mark (EF BB BF): the mark is kept, the text after it is UTF-8 and
//   a new value is written in UTF-8;
// - UTF-16LE mark (FF FE): UTF-16 code units, a new value written in UTF-16LE.
// Whatever a write does not touch stays byte for byte as it was.
class IniContent {
 public:
  // nullopt for bytes no profile call reads: a UTF-16BE mark (FE FF), a
  // UTF-16LE file cut in the middle of a code unit, or a UTF-8 mark followed
  // by what is not UTF-8. Empty bytes are an empty Windows-1252 file.
  static std::optional<IniContent> decode(const QByteArray& file);

  std::optional<QString> value(const QString& section, const QString& key) const;
  // The file's bytes with that value set (see ini_text::withValue), in the
  // file's encoding. Throws std::invalid_argument as ini_text::withValue does.
  QByteArray withValue(const QString& section, const QString& key, const QString& value) const;

 private:
  IniContent(QByteArray mark, std::variant<QByteArray, QString> text)
      : mark_(std::move(mark)), text_(std::move(text)) {}

  QByteArray mark_;                         // the byte-order mark, as found
  std::variant<QByteArray, QString> text_;  // code-page bytes, or the text of a UTF-8 or UTF-16LE file
};
