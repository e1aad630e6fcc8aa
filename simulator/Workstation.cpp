#include "Workstation.h"

#include <cstdint>
#include <filesystem>
#include <limits>
#include <system_error>

namespace standin {
namespace {

constexpr int64_t kMaxU16 = std::numeric_limits<uint16_t>::max();
// More readers than any workstation has; a larger count reads as no count.
constexpr int64_t kMaxReaders = 1000;

}  // namespace

Workstation::Workstation(std::string folder, Scenario scenario)
    : folder_(std::move(folder)), scenario_(std::move(scenario)) {}

Workstation Workstation::at(const std::string& folder) { return Workstation(folder, Scenario::load(folder)); }

std::vector<std::string> Workstation::readers() const {
  const int64_t count = scenario_.number("Lecteurs", "Nombre", 0, kMaxReaders).value_or(0);
  std::vector<std::string> names;
  names.reserve(static_cast<size_t>(count));
  for (int64_t i = 1; i <= count; ++i) {
    names.push_back(scenario_.text("Lecteurs", "Lecteur" + std::to_string(i)).value_or(""));
  }
  return names;
}

bool Workstation::hasReader() const { return scenario_.number("Lecteurs", "Nombre", 1, kMaxReaders).has_value(); }

std::optional<std::string> Workstation::cardFile() const {
  const auto name = scenario_.text("Carte", "Fichier");
  if (!name || name->empty()) return std::nullopt;
  const std::string path = name->front() == '/' ? *name : pathInFolder(folder_, *name);
  std::error_code ignored;
  if (path.empty() || !std::filesystem::is_regular_file(path, ignored)) return std::nullopt;
  return path;
}

uint16_t Workstation::cardState() const {
  return static_cast<uint16_t>(scenario_.number("Carte", "Etat", 0, kMaxU16).value_or(0));
}

uint16_t Workstation::sessionNumber() const {
  return static_cast<uint16_t>(scenario_.number("Carte", "Session", 0, kMaxU16).value_or(1));
}

Outcome Workstation::outcome(const char* function, Outcome natural) const {
  return {static_cast<uint16_t>(scenario_.number("Retours", function, 0, kMaxU16).value_or(natural.status)),
          static_cast<uint16_t>(scenario_.number("Erreurs", function, 0, kMaxU16).value_or(natural.error))};
}

std::optional<std::string> Workstation::label(int table, const std::string& code) const {
  if (table != 1 && table != 2) return std::nullopt;
  return scenario_.text("Dictionnaire" + std::to_string(table), code);
}

bool Workstation::journalActive() const {
  const auto active =
      scenario_.number("Journal", "Actif", std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max());
  return active.value_or(0) != 0;
}

}  // namespace standin
