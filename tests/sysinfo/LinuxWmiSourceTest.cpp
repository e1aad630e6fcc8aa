#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <tuple>
#include <vector>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "platform/wmi/LinuxWmiSource.h"
#include "support/CaseName.h"
#include "sysinfo/BiosInfo.h"
#include "sysinfo/OperatingSystemInfo.h"
#include "sysinfo/ProcessorInfo.h"

namespace {

QString fixtureRoot(const char* tree) {
  return QStringLiteral(VELNARA_TEST_FIXTURES "/sysinfo/") + QString::fromLatin1(tree);
}

// Four characters per register, little-endian, as CPUID returns text.
quint32 chars(const char (&text)[5]) {
  return quint32(quint8(text[0])) | quint32(quint8(text[1])) << 8 | quint32(quint8(text[2])) << 16 |
         quint32(quint8(text[3])) << 24;
}

using CpuIdTable = std::map<quint32, CpuIdRegisters>;

// An Intel Core i7-8700 as CPUID describes it.
CpuIdTable intelCore() {
  return {
      {0x0, {0x16, chars("Genu"), chars("ntel"), chars("ineI")}},
      {0x1, {0x000906EA, 0x00100800, 0x7FFAFBBF, 0xBFEBFBFF}},
      {0x80000002, {chars("Inte"), chars("l(R)"), chars(" Cor"), chars("e(TM")}},
      {0x80000003, {chars(") i7"), chars("-870"), chars("0 CP"), chars("U @ ")}},
      {0x80000004, {chars("3.20"), chars("GHz\0"), 0, 0}},
      {0x80000006, {0, 0, 0x01006040, 0}},  // 256 KB of L2
  };
}

LinuxHost fakeHost(const char* tree, KernelIdentity kernel, CpuIdTable cpuid = {}) {
  return LinuxHost(
      fixtureRoot(tree), [kernel] { return kernel; },
      [cpuid](quint32 leaf) -> std::optional<CpuIdRegisters> {
        const auto found = cpuid.find(leaf);
        if (found == cpuid.end()) return std::nullopt;
        return found->second;
      });
}

const KernelIdentity kPcKernel{"6.1.0-18-amd64", "x86_64", "poste-01"};
const KernelIdentity kArmKernel{"6.6.0", "armv7l", ""};

QString single(LinuxWmiSource& source, const char* wql) {
  const QStringList instances =
      source.query(QStringLiteral("."), QStringLiteral("root\\cimv2"), QString::fromLatin1(wql));
  EXPECT_EQ(instances.size(), 1);
  return instances.value(0);
}

TEST(LinuxWmiSource, BuildsManagedObjectTextsFromAFullMachine) {
  LinuxWmiSource source(fakeHost("full", kPcKernel, intelCore()));
  EXPECT_EQ(single(source, "SELECT * FROM Win32_OperatingSystem"), QString::fromUtf8(R"mof(
instance of Win32_OperatingSystem
{
	BuildNumber = "6.1.0-18-amd64";
	Caption = "Velnara \"Edge\" OS 1.0 \\ test";
	CSName = "poste-01";
	OSArchitecture = "64-bit";
	SerialNumber = "55CD8B35-A896-8DD6-A458-E93C8BDBC1AC";
	Version = "1.0";
};
)mof"));
  EXPECT_EQ(single(source, "SELECT * FROM Win32_Bios"), QString::fromUtf8(R"mof(
instance of Win32_BIOS
{
	Manufacturer = "American Megatrends Inc.";
	Name = "American Megatrends Inc. 1.20 (06/15/2021)";
	ReleaseDate = "20210615000000.000000+000";
	SMBIOSBIOSVersion = "1.20";
};
)mof"));
  // The kernel's cache description wins over CPUID's.
  EXPECT_EQ(single(source, "SELECT * FROM Win32_Processor"), QString::fromUtf8(R"mof(
instance of Win32_Processor
{
	L2CacheSize = 512;
	Manufacturer = "GenuineIntel";
	Name = "Intel(R) Core(TM) i7-8700 CPU @ 3.20GHz";
	ProcessorId = "BFEBFBFF000906EA";
};
)mof"));
}

TEST(LinuxWmiSource, LeavesOutWhatAMachineDoesNotTell) {
  LinuxWmiSource source(fakeHost("bare", kArmKernel));
  EXPECT_EQ(single(source, "SELECT * FROM Win32_OperatingSystem"), QString::fromUtf8(R"mof(
instance of Win32_OperatingSystem
{
	BuildNumber = "6.6.0";
	Caption = "Plain";
	OSArchitecture = "32-bit";
	Version = "2";
};
)mof"));
  EXPECT_EQ(single(source, "SELECT * FROM Win32_BIOS"), QStringLiteral("\ninstance of Win32_BIOS\n{\n};\n"));
  EXPECT_EQ(single(source, "SELECT * FROM Win32_Processor"), QString::fromUtf8(R"mof(
instance of Win32_Processor
{
	ProcessorId = "00000000410FD083";
};
)mof"));
}

TEST(LinuxWmiSource, ProcessorFallsBackOnCpuinfoAndCpuId) {
  // Without CPUID the names come from /proc/cpuinfo (first processor).
  LinuxWmiSource noCpuId(fakeHost("full", kPcKernel));
  EXPECT_EQ(single(noCpuId, "SELECT * FROM Win32_Processor"), QString::fromUtf8(R"mof(
instance of Win32_Processor
{
	L2CacheSize = 512;
	Manufacturer = "GenuineIntel";
	Name = "Intel(R) Core(TM) i7-8700 CPU @ 3.20GHz";
};
)mof"));
  // Without the kernel's cache description the size comes from CPUID.
  LinuxWmiSource noSysfsCache(fakeHost("bare", kArmKernel, intelCore()));
  TProcessorInfo cpu(noSysfsCache);
  cpu.SetActive(true);
  EXPECT_EQ(cpu.ProcessorProperties().L2CacheSize, 256u);
  EXPECT_EQ(cpu.ProcessorProperties().ProcessorId, QStringLiteral("BFEBFBFF000906EA"));
}

TEST(LinuxWmiSource, ProbesReadTheTextsBack) {
  LinuxWmiSource full(fakeHost("full", kPcKernel, intelCore()));
  TOperatingSystemInfo os(full);
  TBiosInfo bios(full);
  TProcessorInfo cpu(full);
  os.SetActive(true);
  bios.SetActive(true);
  cpu.SetActive(true);
  const auto& v = os.OperatingSystemProperties();
  // The probes never undo the escapes of the text.
  EXPECT_EQ(v.Caption, QString::fromUtf8(R"mof(Velnara \"Edge\" OS 1.0 \\ test)mof"));
  EXPECT_EQ(v.BuildNumber, QStringLiteral("6.1.0-18-amd64"));
  EXPECT_EQ(v.OSArchitecture, QStringLiteral("64-bit"));
  EXPECT_EQ(v.CSName, QStringLiteral("poste-01"));
  EXPECT_EQ(v.SerialNumber, QStringLiteral("55CD8B35-A896-8DD6-A458-E93C8BDBC1AC"));
  EXPECT_EQ(bios.BiosProperties().Name, QStringLiteral("American Megatrends Inc. 1.20 (06/15/2021)"));
  EXPECT_EQ(cpu.ProcessorProperties().ProcessorId, QStringLiteral("BFEBFBFF000906EA"));
  EXPECT_EQ(cpu.ProcessorProperties().L2CacheSize, 512u);

  LinuxWmiSource bare(fakeHost("bare", kArmKernel));
  TBiosInfo emptyBios(bare);
  TProcessorInfo armCpu(bare);
  emptyBios.SetActive(true);
  armCpu.SetActive(true);
  EXPECT_EQ(emptyBios.ObjectsCount(), 1);
  EXPECT_TRUE(emptyBios.BiosProperties().Name.isEmpty());
  EXPECT_EQ(armCpu.ProcessorProperties().L2CacheSize, 0u);
}

// A machine described by its kernel's processor folders: for each
// processor, its package and its L2 cache (size and who shares it).
struct CacheLayout {
  const char* what;
  std::vector<std::tuple<int, const char*, const char*>> cpus;  // package, size, shared_cpu_list
  quint32 expected;
};

TEST(LinuxWmiSource, L2CacheIsTheFirstPackagesTotal) {
  const CacheLayout layouts[] = {
      {"a cache of its own per core", {{0, "1024K", "0"}, {0, "1024K", "1"}}, 2048},
      {"one cache for two cores, twice",
       {{0, "512K", "0-1"}, {0, "512K", "0-1"}, {0, "512K", "2-3"}, {0, "512K", "2-3"}},
       1024},
      {"a second package left out", {{0, "2M", "0"}, {1, "2M", "1"}}, 2048},
  };
  for (const CacheLayout& layout : layouts) {
    SCOPED_TRACE(layout.what);
    QTemporaryDir root;
    const auto write = [&](const QString& path, const QByteArray& text) {
      QDir().mkpath(QFileInfo(root.filePath(path)).path());
      QFile file(root.filePath(path));
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
      file.write(text + '\n');
    };
    for (size_t n = 0; n < layout.cpus.size(); ++n) {
      const auto& [package, size, sharedBy] = layout.cpus[n];
      const QString cpu = QStringLiteral("sys/devices/system/cpu/cpu%1/").arg(n);
      write(cpu + QStringLiteral("topology/physical_package_id"), QByteArray::number(package));
      // The first-level caches are no part of it.
      write(cpu + QStringLiteral("cache/index0/level"), "1");
      write(cpu + QStringLiteral("cache/index0/size"), "32K");
      write(cpu + QStringLiteral("cache/index0/type"), "Data");
      write(cpu + QStringLiteral("cache/index2/level"), "2");
      write(cpu + QStringLiteral("cache/index2/size"), size);
      write(cpu + QStringLiteral("cache/index2/type"), "Unified");
      write(cpu + QStringLiteral("cache/index2/shared_cpu_list"), sharedBy);
    }
    LinuxWmiSource source(LinuxHost(
        root.path(), [] { return kPcKernel; }, [](quint32) { return std::nullopt; }));
    TProcessorInfo cpu(source);
    cpu.SetActive(true);
    EXPECT_EQ(cpu.ProcessorProperties().L2CacheSize, layout.expected);
  }
}

struct ArchitectureCase {
  const char* machine;
  const char* expected;
};

void PrintTo(const ArchitectureCase& c, std::ostream* os) { *os << '"' << c.machine << '"'; }

class Architecture : public testing::TestWithParam<ArchitectureCase> {};

TEST_P(Architecture, FollowsTheKernelMachine) {
  LinuxWmiSource source(fakeHost("bare", {"6.6.0", GetParam().machine, ""}));
  TOperatingSystemInfo os(source);
  os.SetActive(true);
  EXPECT_EQ(os.OperatingSystemProperties().OSArchitecture, QString::fromLatin1(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Machines, Architecture,
                         testing::Values(ArchitectureCase{"x86_64", "64-bit"}, ArchitectureCase{"aarch64", "64-bit"},
                                         ArchitectureCase{"ppc64le", "64-bit"}, ArchitectureCase{"s390x", "64-bit"},
                                         ArchitectureCase{"i686", "32-bit"}, ArchitectureCase{"armv7l", "32-bit"},
                                         ArchitectureCase{"", ""}),
                         [](const auto& instance) { return caseName(instance.param.machine); });

struct QueryCase {
  const char* host;
  const char* namespacePath;
  const char* wql;
  bool answered;
};

void PrintTo(const QueryCase& c, std::ostream* os) { *os << c.host << " | " << c.namespacePath << " | " << c.wql; }

class Queries : public testing::TestWithParam<QueryCase> {};

TEST_P(Queries, AnswerOnlyTheLocalManagementClasses) {
  LinuxWmiSource source(fakeHost("bare", kArmKernel));
  const QueryCase& c = GetParam();
  const auto ask = [&] {
    return source.query(QString::fromLatin1(c.host), QString::fromLatin1(c.namespacePath), QString::fromLatin1(c.wql));
  };
  if (c.answered) {
    EXPECT_EQ(ask().size(), 1);
  } else {
    EXPECT_THROW(ask(), std::runtime_error);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Hosts, Queries,
    testing::Values(QueryCase{".", "root\\cimv2", "SELECT * FROM Win32_Processor", true},
                    QueryCase{"", "root\\cimv2", "SELECT * FROM Win32_Processor", true},
                    QueryCase{"LocalHost", "root\\cimv2", "SELECT * FROM Win32_Processor", true},
                    QueryCase{"SERVEUR", "root\\cimv2", "SELECT * FROM Win32_Processor", false},
                    QueryCase{".", "ROOT\\CIMV2", "select * from win32_bios", true},
                    QueryCase{".", "root/cimv2", "  SELECT  *  FROM  Win32_OperatingSystem ", true},
                    QueryCase{".", "root\\default", "SELECT * FROM Win32_Processor", false},
                    QueryCase{".", "root\\cimv2", "SELECT * FROM Win32_DiskDrive", false},
                    QueryCase{".", "root\\cimv2", "SELECT Caption FROM Win32_OperatingSystem", false},
                    QueryCase{".", "root\\cimv2", "", false}),
    [](const auto& instance) {
      return caseName(std::string(instance.param.host) + "_" + instance.param.namespacePath + "_" + instance.param.wql);
    });

}  // namespace
