#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Scenario.h"

namespace standin {

// A status and the error code written with it.
struct Outcome {
  uint16_t status = 0;
  uint16_t error = 0;
};

// The workstation a scenario describes: its readers, the card in the reader,
// the return codes forced per call and the dictionary.
class Workstation {
 public:
  Workstation(std::string folder, Scenario scenario);
  static Workstation at(const std::string& folder);

  const std::string& folder() const { return folder_; }
  std::vector<std::string> readers() const;
  bool hasReader() const;
  // The card data file, when the scenario names one that can be read.
  std::optional<std::string> cardFile() const;
  uint16_t cardState() const;
  uint16_t sessionNumber() const;
  // The outcome a call ends with: [Retours] and [Erreurs] take precedence,
  // each on its own, over what the workstation itself would answer.
  Outcome outcome(const char* function, Outcome natural) const;
  std::optional<std::string> label(int table, const std::string& code) const;
  bool journalActive() const;

 private:
  std::string folder_;
  Scenario scenario_;
};

}  // namespace standin
