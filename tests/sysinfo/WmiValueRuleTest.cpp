#include <gtest/gtest.h>

#include "support/CaseName.h"
#include "sysinfo/WmiValueRule.h"

namespace {

// An operating-system instance as Windows writes it (shortened): the
// properties ending in "Name" come before "Name" itself would.
const QString kWindowsOs = QStringLiteral(
    "\ninstance of Win32_OperatingSystem\n{\n"
    "\tBuildNumber = \"19045\";\n"
    "\tCaption = \"Microsoft Windows 10 Professionnel\";\n"
    "\tCreationClassName = \"Win32_OperatingSystem\";\n"
    "\tCSCreationClassName = \"Win32_ComputerSystem\";\n"
    "\tCSName = \"POSTE-ACCUEIL\";\n"
    "\tMUILanguages = {\"fr-FR\"};\n"
    "\tOSArchitecture = \"64 bits\";\n"
    "\tSerialNumber = \"00330-80000-00000-AA123\";\n"
    "\tSystemDirectory = \"C:\\\\WINDOWS\\\\system32\";\n"
    "};\n");

struct ValueCase {
  const char* label;
  QString text;
  QString property;
  QString expected;
};

void PrintTo(const ValueCase& c, std::ostream* os) { *os << c.label; }

class ValueRule : public testing::TestWithParam<ValueCase> {};

TEST_P(ValueRule, ReadsTheValueOfTheFirstLineThatNamesTheProperty) {
  EXPECT_EQ(wmiPropertyValue(GetParam().text, GetParam().property), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    ManagedObjectTexts, ValueRule,
    testing::Values(
        ValueCase{"text", kWindowsOs, "Caption", "Microsoft Windows 10 Professionnel"},
        ValueCase{"number", "\tL2CacheSize = 1024;\n", "L2CacheSize", "1024"},
        ValueCase{"absent", kWindowsOs, "ProcessorId", ""},
        ValueCase{"name ending a longer one: the first such line wins", kWindowsOs, "Name", "Win32_OperatingSystem"},
        ValueCase{"CSName line before a Name line", "\tCSName = \"PC1\";\n\tName = \"Bios\";\n", "Name", "PC1"},
        ValueCase{"case-sensitive", kWindowsOs, "caption", ""},
        ValueCase{"blank, equals sign, blank required", "\tCaption=\"x\";\n", "Caption", ""},
        ValueCase{"escapes are kept", kWindowsOs, "SystemDirectory", "C:\\\\WINDOWS\\\\system32"},
        ValueCase{"escaped quotes are kept", "\tCaption = \"A \\\"B\\\" C\";\n", "Caption", "A \\\"B\\\" C"},
        ValueCase{"a list keeps its braces", kWindowsOs, "MUILanguages", "{\"fr-FR\"}"},
        ValueCase{"quote before semicolon loses the pair", "\tName = \"ab\";cd\";\n", "Name", "abcd"},
        ValueCase{"escaped quote before semicolon", "\tName = \"A\\\";B\";\n", "Name", "A\\B"},
        ValueCase{"a final semicolon inside the value goes too", "\tName = \"a;\";\n", "Name", "a"},
        ValueCase{"blanks and tabs around the line and the value", " \t Caption =   \"Windows\" ;\t \r\n", "Caption",
                  "Windows\" "},
        ValueCase{"blanks and tabs around the line", "\t\t  Caption = \"Windows\";  \t\r\n", "Caption", "Windows"},
        ValueCase{"no semicolon keeps the closing quote", "Caption = \"X\"", "Caption", "X\""},
        ValueCase{"a lone semicolon is kept", "\tName = ;\n", "Name", ";"},
        ValueCase{"empty value is absent and stops the search", "\tName = \"\";\n\tName = \"second\";\n", "Name", ""},
        ValueCase{"LF split", "A = \"1\";\nB = \"2\";\n", "A", "1"},
        ValueCase{"CR split", "A = \"1\";\rB = \"2\";\r", "A", "1"},
        ValueCase{"CRLF split", "A = \"1\";\r\nB = \"2\";\r\n", "A", "1"},
        ValueCase{"mixed splits, last line", "A = \"1\";\rB = \"2\";\r\nC = \"3\";\nD = \"4\";", "D", "4"},
        ValueCase{"control characters trimmed", QStringLiteral("\x01 N = \"v\";\x02\x1f"), "N", "v"},
        ValueCase{"empty text", "", "Caption", ""}),
    [](const auto& instance) { return caseName(instance.param.label); });

struct IntegerCase {
  const char* label;
  QString line;
  qint64 expected;
};

void PrintTo(const IntegerCase& c, std::ostream* os) { *os << c.label; }

class IntegerRule : public testing::TestWithParam<IntegerCase> {};

TEST_P(IntegerRule, ConvertsTheValueTextTo64Bits) {
  const QString text =
      QStringLiteral("\ninstance of Win32_Processor\n{\n") + GetParam().line + QStringLiteral("\n};\n");
  EXPECT_EQ(wmiIntegerValue(text, QStringLiteral("L2CacheSize")), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(ManagedObjectTexts, IntegerRule,
                         testing::Values(IntegerCase{"absent", "\tLevel = 6;", 0},
                                         IntegerCase{"empty value", "\tL2CacheSize = \"\";", 0},
                                         IntegerCase{"number", "\tL2CacheSize = 1024;", 1024},
                                         IntegerCase{"quoted number", "\tL2CacheSize = \"256\";", 256},
                                         IntegerCase{"beyond 32 bits", "\tL2CacheSize = 4294967297;", 4294967297LL},
                                         IntegerCase{"negative", "\tL2CacheSize = -5;", -5},
                                         IntegerCase{"not a number", "\tL2CacheSize = \"abc\";", 666},
                                         IntegerCase{"decimal fraction", "\tL2CacheSize = 12.5;", 666},
                                         IntegerCase{"beyond 64 bits", "\tL2CacheSize = 99999999999999999999;", 666},
                                         IntegerCase{"a lone semicolon", "\tL2CacheSize = ;", 666}),
                         [](const auto& instance) { return caseName(instance.param.label); });

}  // namespace
