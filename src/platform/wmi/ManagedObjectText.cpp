#include "platform/wmi/ManagedObjectText.h"

#include <algorithm>

namespace {

QString quotedText(const QString& value) {
  QString quoted;
  quoted.reserve(value.size() + 2);
  quoted += u'"';
  for (const QChar c : value) {
    switch (c.unicode()) {
      case u'\\':
        quoted += QStringLiteral("\\\\");
        break;
      case u'"':
        quoted += QStringLiteral("\\\"");
        break;
      // A raw line break would cut the property's line in two.
      case u'\n':
        quoted += QStringLiteral("\\n");
        break;
      case u'\r':
        quoted += QStringLiteral("\\r");
        break;
      case u'\t':
        quoted += QStringLiteral("\\t");
        break;
      default:
        quoted += c;
    }
  }
  quoted += u'"';
  return quoted;
}

}  // namespace

ManagedObjectText::ManagedObjectText(QString className) : className_(std::move(className)) {}

void ManagedObjectText::setText(const QString& name, const QString& value) {
  if (value.isEmpty()) return;
  properties_.emplace_back(name, quotedText(value));
}

void ManagedObjectText::setNumber(const QString& name, quint64 value) {
  properties_.emplace_back(name, QString::number(value));
}

QString ManagedObjectText::text() const {
  auto sorted = properties_;
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const auto& a, const auto& b) { return a.first.compare(b.first, Qt::CaseInsensitive) < 0; });
  QString text = QStringLiteral("\ninstance of ") + className_ + QStringLiteral("\n{\n");
  for (const auto& [name, written] : sorted)
    text += u'\t' + name + QStringLiteral(" = ") + written + QStringLiteral(";\n");
  text += QStringLiteral("};\n");
  return text;
}
