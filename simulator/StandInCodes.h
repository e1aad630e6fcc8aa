#pragma once

#include <cstdint>

namespace standin {

// The stand-in's own failures. Each is returned as the status and written as
// the error code alike, so that a classification by either finds the same
// number. They are listed in README.md; scenarios and the error table refer to
// them in decimal.
constexpr uint16_t kNoCard = 0xF001;           // 61441: no card file in the reader
constexpr uint16_t kNoReader = 0xF002;         // 61442: the workstation lists no reader
constexpr uint16_t kUnknownCode = 0xF003;      // 61443: dictionary table or code unknown
constexpr uint16_t kInternalFailure = 0xF0FF;  // 61695: the stand-in itself failed

}  // namespace standin
