#include "platform/downloader/Attempts.h"

AttemptResult runAttempts(int attempts, std::chrono::milliseconds delay,
                          const std::function<AttemptResult(int)>& attempt,
                          const std::function<bool(std::chrono::milliseconds)>& pause) {
  AttemptResult result = AttemptResult::fail(QStringLiteral("Aucun essai n'a été fait"), 0);
  for (int number = 1; number <= attempts; ++number) {
    if (number > 1 && !pause(delay)) return AttemptResult::cancelled();
    result = attempt(number);
    if (result.kind != AttemptResult::Kind::Retry) return result;
  }
  return AttemptResult::fail(QStringLiteral("%1 (abandon après %2 essais)").arg(result.error).arg(attempts),
                             result.code);
}
