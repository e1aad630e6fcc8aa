#include "ProcessState.h"

namespace standin {

ProcessState& processState() {
  static ProcessState state;
  return state;
}

}  // namespace standin
