#pragma once

#include <QTemporaryDir>
#include <string>
#include <string_view>
#include <vector>

#include "card/api_lec.h"

// A temporary library folder holding a scenario, and the calls that the
// stand-in answers from it.
class StandInFolder {
 public:
  StandInFolder();

  // The folder text as the program passes it, with its trailing separator.
  std::string folder() const;
  void write(std::string_view name, std::string_view bytes) const;
  void writeScenario(std::string_view text) const { write("simulation.ini", text); }
  bool exists(std::string_view name) const;
  std::vector<std::string> journal() const;

  // Opens a session in this folder, so that the card calls work in it.
  uint16_t openSession(uint16_t* session = nullptr, uint16_t* error = nullptr) const;

 private:
  QTemporaryDir dir_;
};
