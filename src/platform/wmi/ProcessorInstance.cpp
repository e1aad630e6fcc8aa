#include <optional>
#include <set>
#include <vector>

#include <QRegularExpression>
#include <QStringList>

#include "platform/wmi/LinuxHost.h"
#include "platform/wmi/ManagedObjectText.h"
#include "platform/wmi/Win32Instances.h"

namespace {

const QString kCpu0 = QStringLiteral("sys/devices/system/cpu/cpu0/");

// The first "key : value" line of /proc/cpuinfo with this key, which
// belongs to the first processor.
QString cpuinfoField(const QString& cpuinfo, const QString& key) {
  for (const QString& line : cpuinfo.split(u'\n')) {
    const qsizetype colon = line.indexOf(u':');
    if (colon >= 0 && line.left(colon).trimmed() == key) return line.mid(colon + 1).trimmed();
  }
  return QString();
}

QString hex16(quint64 value) { return QStringLiteral("%1").arg(value, 16, 16, QChar(u'0')).toUpper(); }

// CPUID registers hold text as little-endian groups of four characters.
QString registersText(const std::vector<quint32>& registers) {
  QByteArray bytes;
  for (const quint32 r : registers)
    for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>((r >> shift) & 0xFF);
  const qsizetype end = bytes.indexOf('\0');
  return QString::fromLatin1(end < 0 ? bytes : bytes.left(end)).trimmed();
}

// ARM's main identification register, as the kernel shows it ("0x...").
std::optional<quint64> armMainId(const LinuxHost& host) {
  QString text = host.readFile(kCpu0 + QStringLiteral("regs/identification/midr_el1"));
  if (text.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive)) text.remove(0, 2);
  bool ok = false;
  const quint64 value = text.toULongLong(&ok, 16);
  return ok ? std::optional<quint64>(value) : std::nullopt;
}

// As Windows shows it on x86: the feature flags (EDX) then the signature
// (EAX) of CPUID leaf 1. Elsewhere, what the processor identifies itself by.
QString processorId(const LinuxHost& host, const QString& cpuinfo) {
  if (const auto leaf1 = host.cpuid(1)) return hex16((quint64{leaf1->edx} << 32) | leaf1->eax);
  if (const auto mainId = armMainId(host)) return hex16(*mainId);
  return cpuinfoField(cpuinfo, QStringLiteral("Serial")).toUpper();
}

// A cache size as the kernel writes it ("1024K"), in kilobytes.
std::optional<quint64> kilobytes(const QString& size) {
  static const QRegularExpression pattern(QStringLiteral("^(\\d+)\\s*([KMG]?)$"));
  const QRegularExpressionMatch match = pattern.match(size);
  if (!match.hasMatch()) return std::nullopt;
  const quint64 number = match.captured(1).toULongLong();
  const QString unit = match.captured(2);
  if (unit == u"M") return number * 1024;
  if (unit == u"G") return number * 1024 * 1024;
  if (unit == u"K") return number;
  return number / 1024;
}

// The processor's L2 as Windows reports it: every distinct L2 cache of the
// first package's processors, whether each core has its own or some share
// one (the kernel lists each cache under every processor that uses it).
std::optional<quint64> l2CacheFromKernel(const LinuxHost& host) {
  const QString cpus = QStringLiteral("sys/devices/system/cpu/");
  const QString firstPackage = host.readFile(kCpu0 + QStringLiteral("topology/physical_package_id"));
  std::set<QString> counted;
  std::optional<quint64> total;
  for (const QString& cpu : host.folderEntries(cpus, QStringLiteral("cpu[0-9]*"))) {
    const QString folder = cpus + cpu + u'/';
    if (host.readFile(folder + QStringLiteral("topology/physical_package_id")) != firstPackage) continue;
    const QString caches = folder + QStringLiteral("cache/");
    for (const QString& index : host.folderEntries(caches, QStringLiteral("index*"))) {
      const QString cache = caches + index + u'/';
      if (host.readFile(cache + QStringLiteral("level")) != u"2") continue;
      if (host.readFile(cache + QStringLiteral("type")) == u"Instruction") continue;
      const auto size = kilobytes(host.readFile(cache + QStringLiteral("size")));
      if (!size) continue;
      // Processors that share a cache list the same processors for it.
      const QString sharedBy = host.readFile(cache + QStringLiteral("shared_cpu_list"));
      if (!counted.insert(sharedBy.isEmpty() ? cpu + u'/' + index : index + u'@' + sharedBy).second) continue;
      total = total.value_or(0) + *size;
    }
  }
  return total;
}

std::optional<quint64> l2CacheKilobytes(const LinuxHost& host) {
  if (const auto size = l2CacheFromKernel(host)) return size;
  // Intel and AMD both give the L2 size in kilobytes in ECX[31:16] of this leaf.
  if (const auto leaf = host.cpuid(0x80000006)) {
    if (const quint32 size = leaf->ecx >> 16; size != 0) return size;
  }
  return std::nullopt;
}

QString manufacturer(const LinuxHost& host, const QString& cpuinfo) {
  if (const auto leaf0 = host.cpuid(0)) return registersText({leaf0->ebx, leaf0->edx, leaf0->ecx});
  return cpuinfoField(cpuinfo, QStringLiteral("vendor_id"));
}

QString name(const LinuxHost& host, const QString& cpuinfo) {
  std::vector<quint32> brand;
  for (quint32 leaf = 0x80000002; leaf <= 0x80000004; ++leaf) {
    const auto registers = host.cpuid(leaf);
    if (!registers) {
      brand.clear();
      break;
    }
    brand.insert(brand.end(), {registers->eax, registers->ebx, registers->ecx, registers->edx});
  }
  const QString fromCpu = registersText(brand);
  return fromCpu.isEmpty() ? cpuinfoField(cpuinfo, QStringLiteral("model name")) : fromCpu;
}

}  // namespace

QString processorInstance(const LinuxHost& host) {
  const QString cpuinfo = host.readFile(QStringLiteral("proc/cpuinfo"));
  ManagedObjectText object(QStringLiteral("Win32_Processor"));
  if (const auto l2 = l2CacheKilobytes(host)) object.setNumber(QStringLiteral("L2CacheSize"), *l2);
  object.setText(QStringLiteral("Manufacturer"), manufacturer(host, cpuinfo));
  object.setText(QStringLiteral("Name"), name(host, cpuinfo));
  object.setText(QStringLiteral("ProcessorId"), processorId(host, cpuinfo));
  return object.text();
}
