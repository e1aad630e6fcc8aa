#pragma once

#include <QString>

// Reads property values out of an instance's managed-object text, the way
// the probes always have: line by line, first match wins, no unescaping.

// The value text of `property`, or the empty text when the property is
// absent (no line holds it, or the value reduces to nothing).
QString wmiPropertyValue(const QString& instanceText, const QString& property);

// The value of an integer property: 0 when absent, 666 when the value text
// is not a whole number that fits in 64 bits.
qint64 wmiIntegerValue(const QString& instanceText, const QString& property);
