#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "FakeWmiSource.h"
#include "support/CaseName.h"
#include "sysinfo/BiosInfo.h"
#include "sysinfo/OperatingSystemInfo.h"
#include "sysinfo/ProcessorInfo.h"

namespace {

QString instance(const QString& wmiClass, const QString& body) {
  return QStringLiteral("\ninstance of ") + wmiClass + QStringLiteral("\n{\n") + body + QStringLiteral("};\n");
}

const QString kOs = instance(QStringLiteral("Win32_OperatingSystem"),
                             QStringLiteral("\tBuildNumber = \"19045\";\n"
                                            "\tCaption = \"Microsoft Windows 10 Pro\";\n"
                                            "\tCSName = \"POSTE-01\";\n"
                                            "\tOSArchitecture = \"64 bits\";\n"
                                            "\tSerialNumber = \"00330-80000-00000-AA123\";\n"));
const QString kFirstCpu =
    instance(QStringLiteral("Win32_Processor"), QStringLiteral("\tL2CacheSize = 1024;\n"
                                                               "\tProcessorId = \"BFEBFBFF000906EA\";\n"));
const QString kSecondCpu =
    instance(QStringLiteral("Win32_Processor"), QStringLiteral("\tL2CacheSize = 2048;\n"
                                                               "\tProcessorId = \"0000000000000002\";\n"));

bool osValuesCleared(const TOperatingSystemInfo& os) {
  const auto& v = os.OperatingSystemProperties();
  return v.Caption.isEmpty() && v.BuildNumber.isEmpty() && v.OSArchitecture.isEmpty() && v.CSName.isEmpty() &&
         v.SerialNumber.isEmpty();
}

TEST(Probes, QueryTheirClassOnTheLocalMachine) {
  FakeWmiSource source;
  std::vector<std::unique_ptr<TWMIBase>> probes;
  probes.push_back(std::make_unique<TOperatingSystemInfo>(source));
  probes.push_back(std::make_unique<TBiosInfo>(source));
  probes.push_back(std::make_unique<TProcessorInfo>(source));
  const QStringList expectedQueries = {QStringLiteral("SELECT * FROM Win32_OperatingSystem"),
                                       QStringLiteral("SELECT * FROM Win32_Bios"),
                                       QStringLiteral("SELECT * FROM Win32_Processor")};
  for (size_t i = 0; i < probes.size(); ++i) {
    EXPECT_FALSE(probes[i]->Active());
    probes[i]->SetActive(true);
    EXPECT_EQ(source.lastHost, QStringLiteral("."));
    EXPECT_EQ(source.lastNamespace, QStringLiteral("root\\cimv2"));
    EXPECT_EQ(source.lastQuery, expectedQueries[i]);
  }
}

TEST(Probes, LoadTheFirstOfSeveralInstances) {
  FakeWmiSource source;
  source.instances = {kFirstCpu, kSecondCpu};
  TProcessorInfo cpu(source);
  cpu.SetActive(true);
  EXPECT_TRUE(cpu.Active());
  EXPECT_EQ(cpu.ObjectsCount(), 2);
  EXPECT_EQ(cpu.ObjectIndex(), 1);
  EXPECT_EQ(cpu.AllProperties(), source.instances);
  EXPECT_EQ(cpu.ProcessorProperties().ProcessorId, QStringLiteral("BFEBFBFF000906EA"));
  EXPECT_EQ(cpu.ProcessorProperties().L2CacheSize, 1024u);

  cpu.LoadInstance(2);
  EXPECT_EQ(cpu.ProcessorProperties().ProcessorId, QStringLiteral("0000000000000002"));
  EXPECT_EQ(cpu.ProcessorProperties().L2CacheSize, 2048u);
  EXPECT_THROW(cpu.LoadInstance(3), std::out_of_range);
}

TEST(Probes, ReadAllTheOperatingSystemValues) {
  FakeWmiSource source;
  source.instances = {kOs};
  TOperatingSystemInfo os(source);
  os.SetActive(true);
  const auto& v = os.OperatingSystemProperties();
  EXPECT_EQ(v.Caption, QStringLiteral("Microsoft Windows 10 Pro"));
  EXPECT_EQ(v.BuildNumber, QStringLiteral("19045"));
  EXPECT_EQ(v.OSArchitecture, QStringLiteral("64 bits"));
  EXPECT_EQ(v.CSName, QStringLiteral("POSTE-01"));
  EXPECT_EQ(v.SerialNumber, QStringLiteral("00330-80000-00000-AA123"));
}

TEST(Probes, NoInstanceLeavesClearedValuesEvenAfterAnEarlierLoad) {
  FakeWmiSource source;
  source.instances = {kOs};
  TOperatingSystemInfo os(source);
  os.SetActive(true);
  ASSERT_FALSE(osValuesCleared(os));

  source.instances.clear();
  os.SetActive(true);
  EXPECT_TRUE(os.Active());
  EXPECT_EQ(os.ObjectsCount(), 0);
  EXPECT_EQ(os.ObjectIndex(), 0);
  EXPECT_TRUE(os.AllProperties().isEmpty());
  EXPECT_TRUE(osValuesCleared(os));
}

TEST(Probes, DeactivationForgetsEverything) {
  FakeWmiSource source;
  source.instances = {kFirstCpu, kSecondCpu};
  TProcessorInfo cpu(source);
  cpu.SetActive(true);
  cpu.SetActive(false);
  EXPECT_FALSE(cpu.Active());
  EXPECT_EQ(cpu.ObjectsCount(), 0);
  EXPECT_EQ(cpu.ObjectIndex(), 0);
  EXPECT_TRUE(cpu.AllProperties().isEmpty());
  EXPECT_TRUE(cpu.ProcessorProperties().ProcessorId.isEmpty());
  EXPECT_EQ(cpu.ProcessorProperties().L2CacheSize, 0u);
}

TEST(Probes, TwoActivationsQueryAgainAndGiveTheSameValues) {
  FakeWmiSource source;
  source.instances = {kOs};
  TOperatingSystemInfo os(source);
  os.SetActive(true);
  const TOperatingSystemProperties first = os.OperatingSystemProperties();
  os.SetActive(false);
  os.SetActive(true);
  EXPECT_EQ(source.queries, 2);
  EXPECT_EQ(os.OperatingSystemProperties().Caption, first.Caption);
  EXPECT_EQ(os.OperatingSystemProperties().SerialNumber, first.SerialNumber);
  EXPECT_EQ(os.ObjectsCount(), 1);
}

TEST(Probes, SourceErrorsReachTheCallerAndLeaveTheProbeInactive) {
  FakeWmiSource source;
  source.instances = {kOs};
  TOperatingSystemInfo os(source);
  os.SetActive(true);

  source.error = "Le serveur RPC n'est pas disponible.";
  try {
    os.SetActive(true);
    FAIL() << "the source error was swallowed";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Le serveur RPC n'est pas disponible.");
  }
  EXPECT_FALSE(os.Active());
  EXPECT_EQ(os.ObjectsCount(), 0);
  EXPECT_TRUE(osValuesCleared(os));

  source.error.reset();
  os.SetActive(true);
  EXPECT_EQ(os.OperatingSystemProperties().CSName, QStringLiteral("POSTE-01"));
}

struct CacheCase {
  const char* label;
  QString line;
  quint32 expected;
};

void PrintTo(const CacheCase& c, std::ostream* os) { *os << c.label; }

class ProcessorCache : public testing::TestWithParam<CacheCase> {};

TEST_P(ProcessorCache, KeepsTheLow32BitsOfTheValue) {
  FakeWmiSource source;
  source.instances = {instance(QStringLiteral("Win32_Processor"), GetParam().line)};
  TProcessorInfo cpu(source);
  cpu.SetActive(true);
  EXPECT_EQ(cpu.ProcessorProperties().L2CacheSize, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, ProcessorCache,
                         testing::Values(CacheCase{"absent", "\tProcessorId = \"X\";\n", 0},
                                         CacheCase{"number", "\tL2CacheSize = 512;\n", 512},
                                         CacheCase{"not a number", "\tL2CacheSize = \"abc\";\n", 666},
                                         CacheCase{"beyond 32 bits", "\tL2CacheSize = 4294967297;\n", 1},
                                         CacheCase{"negative", "\tL2CacheSize = -1;\n", 4294967295u}),
                         [](const auto& instance) { return caseName(instance.param.label); });

TEST(Probes, BiosWithoutNameGivesAnEmptyName) {
  FakeWmiSource source;
  source.instances = {instance(QStringLiteral("Win32_BIOS"), QStringLiteral("\tManufacturer = \"LENOVO\";\n"
                                                                            "\tSMBIOSBIOSVersion = \"N2JET93W\";\n"))};
  TBiosInfo bios(source);
  bios.SetActive(true);
  EXPECT_EQ(bios.ObjectsCount(), 1);
  EXPECT_TRUE(bios.BiosProperties().Name.isEmpty());
}

}  // namespace
