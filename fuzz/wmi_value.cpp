// Any managed-object text and property name: the value rule gives a value
// that stands on one line, found on a line that names the property, and an
// integer value that is the number written there, 0 or 666.
#include <charconv>
#include <optional>

#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzSupport.h"
#include "sysinfo/WmiValueRule.h"

namespace {

// The number a value states when it is an optional sign and decimal digits
// only; nullopt for any other text or a number beyond 64 bits.
std::optional<qint64> wholeNumber(const QString& value) {
  QByteArray digits = value.toLatin1();  // other characters become "?", never a digit
  if (digits.isEmpty()) return std::nullopt;
  const bool negative = digits.startsWith('-');
  if (negative || digits.startsWith('+')) digits.remove(0, 1);
  if (digits.isEmpty()) return std::nullopt;
  for (const char c : digits)
    if (c < '0' || c > '9') return std::nullopt;
  if (negative) digits.prepend('-');
  qint64 number = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return number;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const QString property = QString::fromUtf8(bytesOf(input.ConsumeRandomLengthString(32)));
  const QString text = QString::fromUtf8(bytesOf(input.ConsumeRemainingBytesAsString()));

  const QString value = wmiPropertyValue(text, property);
  FUZZ_REQUIRE(!value.contains(u'\n') && !value.contains(u'\r'));
  if (!value.isEmpty()) FUZZ_REQUIRE(text.contains(property + QStringLiteral(" = ")));

  const qint64 number = wmiIntegerValue(text, property);
  if (value.isEmpty()) {
    FUZZ_REQUIRE(number == 0);
  } else {
    FUZZ_REQUIRE(number == wholeNumber(value).value_or(666));
  }
  return 0;
}
