#include "platform/ini/IniContent.h"

#include <QStringDecoder>

#include "platform/ini/IniText.h"

namespace {

const QByteArray kUtf8Mark = QByteArrayLiteral("\xEF\xBB\xBF");
const QByteArray kUtf16LeMark = QByteArrayLiteral("\xFF\xFE");
const QByteArray kUtf16BeMark = QByteArrayLiteral("\xFE\xFF");

// Code units copied as they are, unpaired surrogates included, so that a
// round trip gives back every byte.
QString fromUtf16Le(QByteArrayView bytes) {
  QString units(bytes.size() / 2, Qt::Uninitialized);
  for (qsizetype i = 0; i < units.size(); ++i) {
    const auto low = static_cast<unsigned char>(bytes[2 * i]);
    const auto high = static_cast<unsigned char>(bytes[2 * i + 1]);
    units[i] = QChar(static_cast<char16_t>(low | (high << 8)));
  }
  return units;
}

QByteArray toUtf16Le(QStringView units) {
  QByteArray bytes;
  bytes.reserve(units.size() * 2);
  for (const QChar unit : units) {
    bytes.append(static_cast<char>(unit.unicode() & 0xFF));
    bytes.append(static_cast<char>(unit.unicode() >> 8));
  }
  return bytes;
}

// Valid UTF-8 comes back byte for byte from its code units; anything else
// cannot be edited without changing bytes the write must not touch.
std::optional<QString> fromStrictUtf8(QByteArrayView bytes) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = decoder(bytes);
  if (decoder.hasError()) return std::nullopt;
  return text;
}

}  // namespace

std::optional<IniContent> IniContent::decode(const QByteArray& file) {
  if (file.startsWith(kUtf8Mark)) {
    std::optional<QString> text = fromStrictUtf8(QByteArrayView(file).sliced(kUtf8Mark.size()));
    if (!text) return std::nullopt;
    return IniContent(kUtf8Mark, std::move(*text));
  }
  if (file.startsWith(kUtf16LeMark)) {
    if (file.size() % 2 != 0) return std::nullopt;
    return IniContent(kUtf16LeMark, fromUtf16Le(QByteArrayView(file).sliced(kUtf16LeMark.size())));
  }
  if (file.startsWith(kUtf16BeMark)) return std::nullopt;
  return IniContent(QByteArray(), file);
}

std::optional<QString> IniContent::value(const QString& section, const QString& key) const {
  return std::visit([&](const auto& text) { return ini_text::findValue(text, section, key); }, text_);
}

QByteArray IniContent::withValue(const QString& section, const QString& key, const QString& value) const {
  if (const auto* units = std::get_if<QString>(&text_)) {
    const QString edited = ini_text::withValue(*units, section, key, value);
    return mark_ + (mark_ == kUtf8Mark ? edited.toUtf8() : toUtf16Le(edited));
  }
  return mark_ + ini_text::withValue(std::get<QByteArray>(text_), section, key, value);
}
