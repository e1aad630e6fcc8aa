#pragma once

#include <mutex>
#include <string>

namespace standin {

// What the stand-in remembers between calls for the life of the process. The
// four card calls get no folder: they work in the folder of the last session
// opening (or reader initialisation). Every call holds the lock while it runs.
struct ProcessState {
  std::mutex lock;
  std::string folder;
};

ProcessState& processState();

}  // namespace standin
