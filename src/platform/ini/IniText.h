#pragma once

#include <optional>

#include <QByteArray>
#include <QString>

// The text of an initialisation file read and edited the way Windows' profile
// calls do, on the file's raw units so that whatever is not touched stays
// unit for unit as it was: bytes of the Windows-1252 code page (QByteArray),
// or the UTF-16 code units of a Unicode file (QString), with the same rules.
//
// A line whose first non-blank character is '[' and that holds a ']' opens
// the section named by the text between '[' and the last ']'. A line holding
// '=' is an entry: the key before the first '=', the value after it. A line
// whose first non-blank character is ';' is a comment. Names and values are
// trimmed of blanks; sections and keys match without regard to case, the
// first of several equal ones wins. Lines end with LF or CRLF.
namespace ini_text {

// Longest value handed back, as the 2048-character buffer of the Windows call.
inline constexpr qsizetype kMaxValueLength = 2047;

// The value of the key in the section, or nullopt when either is missing. A
// pair of matching quotes around the value is dropped, as Windows does.
std::optional<QString> findValue(const QByteArray& content, const QString& section, const QString& key);
std::optional<QString> findValue(const QString& content, const QString& section, const QString& key);

// The content with that one value set: the value replaced in its line, or the
// key appended to its section, or the section appended to the end. New lines
// use the line end the content already uses (CRLF for an empty content).
// Throws std::invalid_argument for a name or value that cannot be written as
// one line.
QByteArray withValue(const QByteArray& content, const QString& section, const QString& key, const QString& value);
QString withValue(const QString& content, const QString& section, const QString& key, const QString& value);

}  // namespace ini_text
