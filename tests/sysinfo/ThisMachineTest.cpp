#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include <QFile>
#include <QRegularExpression>

#include "platform/wmi/LinuxWmiSource.h"
#include "sysinfo/BiosInfo.h"
#include "sysinfo/OperatingSystemInfo.h"
#include "sysinfo/ProcessorInfo.h"

// The real machine, checked against what its own tools say.
namespace {

QString commandOutput(const char* command) {
  std::string output;
  if (FILE* pipe = popen(command, "r")) {
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe)) output += buffer;
    pclose(pipe);
  }
  return QString::fromUtf8(output).trimmed();
}

// How the text form writes a text value, which the probes keep as it is.
QString escaped(QString value) {
  return value.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
}

QString cpuinfoField(const char* key) {
  QFile file(QStringLiteral("/proc/cpuinfo"));
  if (!file.open(QIODevice::ReadOnly)) return QString();
  for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
    const qsizetype colon = line.indexOf(u':');
    if (colon >= 0 && line.left(colon).trimmed() == QLatin1String(key)) return line.mid(colon + 1).trimmed();
  }
  return QString();
}

TEST(ThisMachine, OperatingSystemValuesMatchItsOwnTools) {
  LinuxWmiSource source;
  TOperatingSystemInfo os(source);
  os.SetActive(true);
  ASSERT_EQ(os.ObjectsCount(), 1);
  const auto& v = os.OperatingSystemProperties();
  EXPECT_FALSE(v.Caption.isEmpty());
  EXPECT_EQ(v.Caption, escaped(commandOutput(". /etc/os-release && printf %s \"$PRETTY_NAME\"")));
  EXPECT_EQ(v.BuildNumber, commandOutput("uname -r"));
  EXPECT_FALSE(v.CSName.isEmpty());
  EXPECT_EQ(v.CSName, commandOutput("uname -n"));
  EXPECT_FALSE(v.OSArchitecture.isEmpty());
  if (QFile::exists(QStringLiteral("/etc/machine-id"))) {
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}$"))
                    .match(v.SerialNumber)
                    .hasMatch())
        << v.SerialNumber.toStdString();
    const QString machineId = commandOutput("cat /etc/machine-id");
    EXPECT_FALSE(QString(v.SerialNumber).remove(u'-').contains(machineId, Qt::CaseInsensitive));
  }
}

TEST(ThisMachine, BiosNameComesFromTheFirmwareTables) {
  LinuxWmiSource source;
  TBiosInfo bios(source);
  bios.SetActive(true);
  ASSERT_EQ(bios.ObjectsCount(), 1);
  const QString vendor = commandOutput("cat /sys/class/dmi/id/bios_vendor 2>/dev/null");
  if (vendor.isEmpty()) {
    EXPECT_TRUE(bios.BiosProperties().Name.isEmpty());  // no firmware tables here
  } else {
    EXPECT_TRUE(bios.BiosProperties().Name.startsWith(escaped(vendor)));
  }
}

#if defined(__x86_64__) || defined(__i386__)
// The signature half of the identifier holds the family, model and stepping
// the kernel shows.
TEST(ThisMachine, ProcessorIdCarriesTheSignatureTheKernelShows) {
  LinuxWmiSource source;
  TProcessorInfo cpu(source);
  cpu.SetActive(true);
  ASSERT_EQ(cpu.ObjectsCount(), 1);
  const QString id = cpu.ProcessorProperties().ProcessorId;
  ASSERT_TRUE(QRegularExpression(QStringLiteral("^[0-9A-F]{16}$")).match(id).hasMatch()) << id.toStdString();
  const quint32 eax = id.right(8).toUInt(nullptr, 16);
  const quint32 baseFamily = (eax >> 8) & 0xF;
  const quint32 family = baseFamily == 0xF ? baseFamily + ((eax >> 20) & 0xFF) : baseFamily;
  const quint32 model =
      (baseFamily == 0x6 || baseFamily == 0xF) ? ((eax >> 4) & 0xF) | ((eax >> 12) & 0xF0) : (eax >> 4) & 0xF;
  EXPECT_EQ(QString::number(family), cpuinfoField("cpu family"));
  EXPECT_EQ(QString::number(model), cpuinfoField("model"));
  const QString stepping = cpuinfoField("stepping");
  if (!stepping.isEmpty() && stepping != u"unknown") {
    EXPECT_EQ(QString::number(eax & 0xF), stepping);
  }
}
#endif

}  // namespace
