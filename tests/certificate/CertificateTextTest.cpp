// How the card's texts are printed: grouped numbers, dates, the footer.
#include <gtest/gtest.h>

#include "certificate/CertificateText.h"
#include "support/CaseName.h"

namespace {

struct TextCase {
  const char* input;
  const char* printed;
};
void PrintTo(const TextCase& c, std::ostream* out) { *out << '"' << c.input << '"'; }

class GroupedNumberTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(GroupedNumberTest, KeepsSevenGroupsAndDropsTheFourteenthCharacter) {
  EXPECT_EQ(certificate::groupedNumber(QString::fromUtf8(GetParam().input)).toStdString(), GetParam().printed);
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, GroupedNumberTest,
    ::testing::Values(TextCase{"1850775123456 78", "1 85 07 75 123 456 78"},  // 16 characters
                      TextCase{"185077512345678", "1 85 07 75 123 456 8"},    // 15: the key's first digit is lost
                      TextCase{"1850775123456", "1 85 07 75 123 456 "},       // 13: empty last group
                      TextCase{"18507", "1 85 07    "},                       // short: the spaces stay
                      TextCase{"1", "1      "},                               //
                      TextCase{"", "      "},                                 //
                      TextCase{"2A50775123456 7899", "2 A5 07 75 123 456 78"}),
    [](const auto& instance) { return caseName(instance.param.input); });  // longer: the rest is cut

class BirthDateTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(BirthDateTest, PrintsDayMonthYear) {
  EXPECT_EQ(certificate::birthDate(QString::fromUtf8(GetParam().input)).toStdString(), GetParam().printed);
}

INSTANTIATE_TEST_SUITE_P(Dates, BirthDateTest,
                         ::testing::Values(TextCase{"15071985", "15/07/1985"}, TextCase{"0302201299", "03/02/2012"},
                                           TextCase{"150719", "15/07/19"}, TextCase{"1507", "15/07/"},
                                           TextCase{"1", "1//"}, TextCase{"", "//"}),
                         [](const auto& instance) { return caseName(instance.param.input); });

TEST(FooterTest, GivesTheDateAndTimeWithLeadingZerosOnATwentyFourHourClock) {
  EXPECT_EQ(certificate::footer(QDateTime(QDate(2025, 3, 4), QTime(7, 8, 9)), QStringLiteral("0012345678")),
            QStringLiteral("Extrait le 04/03/2025 - 07:08:09 depuis la carte portant numéro de série 0012345678"));
  EXPECT_EQ(certificate::footer(QDateTime(QDate(2024, 12, 31), QTime(23, 59, 58)), QString()),
            QStringLiteral("Extrait le 31/12/2024 - 23:59:58 depuis la carte portant numéro de série "));
}

}  // namespace
