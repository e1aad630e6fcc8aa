#include <gtest/gtest.h>

#include <vector>

#include "platform/downloader/Attempts.h"
#include "platform/downloader/DownloadRequest.h"
#include "platform/downloader/TransferJob.h"

using namespace std::chrono_literals;

namespace {

using Ranges = std::vector<TransferJob::ByteRange>;

TEST(DownloadParts, SplitsOnlyWhatTheServerCanServeInParts) {
  const struct {
    const char* what;
    ResourceInfo info;
    int threads;
    Ranges parts;
  } cases[] = {
      {"two halves", {10485760, true, {}}, 2, {{0, 5242880}, {5242880, 10485760}}},
      {"odd size: the last part takes the rest", {2193, true, {}}, 2, {{0, 1096}, {1096, 2193}}},
      {"exactly two batches", {2192, true, {}}, 2, {{0, 1096}, {1096, 2192}}},
      {"under two batches", {2191, true, {}}, 2, {{0, -1}}},
      {"no ranges", {10485760, false, {}}, 2, {{0, -1}}},
      {"size unknown", {-1, true, {}}, 2, {{0, -1}}},
      {"empty file", {0, true, {}}, 2, {{0, -1}}},
      {"one thread", {10485760, true, {}}, 1, {{0, -1}}},
      {"three threads", {3288, true, {}}, 3, {{0, 1096}, {1096, 2192}, {2192, 3288}}},
  };
  for (const auto& plan : cases) {
    SCOPED_TRACE(plan.what);
    EXPECT_EQ(TransferJob::planParts(plan.info, plan.threads, 1096), plan.parts);
  }
}

TEST(ContentRangeHeader, ReadsFirstLastAndTotal) {
  ContentRange range = parseContentRange("bytes 5242880-10485759/10485760");
  EXPECT_TRUE(range.valid);
  EXPECT_EQ(range.first, 5242880);
  EXPECT_EQ(range.last, 10485759);
  EXPECT_EQ(range.total, 10485760);

  range = parseContentRange("bytes 0-9/*");
  EXPECT_TRUE(range.valid);
  EXPECT_EQ(range.total, -1);

  for (const char* invalid : {"", "bytes */100", "bytes 9-0/100", "items 0-9/10", "bytes 0-x/10"}) {
    SCOPED_TRACE(invalid);
    EXPECT_FALSE(parseContentRange(invalid).valid);
  }
}

TEST(DownloadAttempts, RetriesUpToTheLimitWithPausesBetween) {
  int tries = 0;
  int pauses = 0;
  const AttemptResult result = runAttempts(
      5, 5000ms,
      [&](int number) {
        EXPECT_EQ(number, ++tries);
        return AttemptResult::retry(QStringLiteral("cut"), 18);
      },
      [&](std::chrono::milliseconds delay) {
        EXPECT_EQ(delay, 5000ms);
        ++pauses;
        return true;
      });
  EXPECT_EQ(tries, 5);
  EXPECT_EQ(pauses, 4);
  EXPECT_EQ(result.kind, AttemptResult::Kind::Fail);
  EXPECT_TRUE(result.error.startsWith(QStringLiteral("cut")));
  EXPECT_EQ(result.code, 18);
}

TEST(DownloadAttempts, StopsAtSuccessAFinalFailureOrAStop) {
  int tries = 0;
  auto pause = [](std::chrono::milliseconds) { return true; };
  EXPECT_EQ(runAttempts(
                5, 0ms,
                [&](int number) {
                  ++tries;
                  return number == 2 ? AttemptResult::done() : AttemptResult::retry({}, 7);
                },
                pause)
                .kind,
            AttemptResult::Kind::Done);
  EXPECT_EQ(tries, 2);

  tries = 0;
  EXPECT_EQ(runAttempts(
                5, 0ms,
                [&](int) {
                  ++tries;
                  return AttemptResult::fail(QStringLiteral("404"), 404);
                },
                pause)
                .kind,
            AttemptResult::Kind::Fail);
  EXPECT_EQ(tries, 1);

  tries = 0;
  EXPECT_EQ(runAttempts(
                5, 0ms,
                [&](int) {
                  ++tries;
                  return AttemptResult::retry({}, 7);
                },
                [](std::chrono::milliseconds) { return false; })
                .kind,
            AttemptResult::Kind::Cancelled);
  EXPECT_EQ(tries, 1);
}

}  // namespace
