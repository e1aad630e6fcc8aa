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
// - UTF-8 mark (EF BB BF): the mark is kept, the bytes after it are handled
//   exactly as a file without one;
// - UTF-16LE mark (FF FE): UTF-16 code units, a new value written in UTF-16LE.
// Whatever a write does not touch stays byte for byte as it was.
class IniContent {
 public:
  // nullopt for bytes no profile call reads: a UTF-16BE mark (FE FF), or a
  // UTF-16LE file cut in the middle of a code unit. Empty bytes are an empty
  // Windows-1252 file.
  static std::optional<IniContent> decode(const QByteArray& file);

  std::optional<QString> value(const QString& section, const QString& key) const;
  // The file's bytes with that value set (see ini_text::withValue), in the
  // file's encoding. Throws std::invalid_argument as ini_text::withValue does.
  QByteArray withValue(const QString& section, const QString& key, const QString& value) const;

 private:
  IniContent(QByteArray mark, std::variant<QByteArray, QString> text)
      : mark_(std::move(mark)), text_(std::move(text)) {}

  QByteArray mark_;                         // the byte-order mark, as found
  std::variant<QByteArray, QString> text_;  // code-page bytes, or UTF-16 code units
};
