// The eight calls of the card-reader library, answered from the scenario of
// the library folder. Nothing is ever written beyond the sizes the caller
// gives, and no C++ exception leaves a call.
#include <algorithm>
#include <cstring>
#include <fstream>
#include <limits>

#include "Journal.h"
#include "ProcessState.h"
#include "StandInCodes.h"
#include "Workstation.h"

// The library is built with hidden visibility; the calls themselves are the
// exported interface.
#pragma GCC visibility push(default)
#include "card/api_lec.h"
#pragma GCC visibility pop

namespace {

using standin::JournalLine;
using standin::Outcome;
using standin::Workstation;

template <typename T>
void put(T* target, T value) {
  if (target) *target = value;
}

std::string textOf(const char* text) { return text ? std::string(text) : std::string(); }

// Runs one call under the process lock; an unexpected failure of the stand-in
// becomes a status instead of crossing the C boundary.
template <typename Work>
uint16_t guarded(uint16_t* error, Work&& work) noexcept {
  try {
    std::lock_guard<std::mutex> hold(standin::processState().lock);
    return work();
  } catch (...) {
    put(error, standin::kInternalFailure);
    return standin::kInternalFailure;
  }
}

Workstation rememberedWorkstation() { return Workstation::at(standin::processState().folder); }

// Writes the outcome's error code, journals the line, and gives the status.
uint16_t finish(const Workstation& workstation, Outcome outcome, uint16_t* error, const JournalLine& line) {
  put(error, outcome.error);
  standin::appendToJournal(workstation, line);
  return outcome.status;
}

int32_t writeReaderRecords(const std::vector<std::string>& names, T_infosLecteur* records, int32_t room) {
  const int32_t written = std::clamp<int32_t>(room, 0, static_cast<int32_t>(names.size()));
  for (int32_t i = 0; i < written; ++i) {
    T_infosLecteur& record = records[i];
    std::memset(&record, 0, sizeof record);
    const std::string& name = names[static_cast<size_t>(i)];
    std::memcpy(record.nom_ressource, name.data(), std::min(name.size(), sizeof record.nom_ressource - 1));
    record.num_lect = static_cast<uint16_t>(i + 1);
  }
  return written;
}

// The UTF-16 application name the caller points at, narrowed for the journal.
std::string applicationName(const uint16_t* const* application) {
  if (!application || !*application) return {};
  std::string name;
  for (const uint16_t* unit = *application; *unit != 0 && name.size() < 64; ++unit) {
    name += *unit < 0x100 ? static_cast<char>(*unit) : '?';
  }
  return name;
}

// What a call that needs the card meets when there is none.
std::optional<Outcome> cardMissing(const Workstation& workstation) {
  if (!workstation.hasReader()) return Outcome{standin::kNoReader, standin::kNoReader};
  if (!workstation.cardFile()) return Outcome{standin::kNoCard, standin::kNoCard};
  return std::nullopt;
}

// Copies the first bytes of the card file, as they are, into the caller's
// buffer; gives the file's whole length.
uint32_t readCard(const std::string& path, char* buffer, uint32_t room) {
  std::ifstream card(path, std::ios::binary | std::ios::ate);
  if (!card) return 0;
  const auto length = static_cast<uint64_t>(std::max<std::streamoff>(card.tellg(), 0));
  const auto copied = static_cast<std::streamsize>(std::min<uint64_t>(length, room));
  card.seekg(0);
  if (copied > 0) card.read(buffer, copied);
  return static_cast<uint32_t>(std::min<uint64_t>(length, std::numeric_limits<uint32_t>::max()));
}

// Writes as much of the label as fits before a closing NUL.
std::string writeLabel(const std::string& label, char* buffer, uint16_t room) {
  if (!buffer || room == 0) return {};
  const size_t length = std::min<size_t>(label.size(), room - 1u);
  std::memcpy(buffer, label.data(), length);
  buffer[length] = '\0';
  return label.substr(0, length);
}

}  // namespace

extern "C" {

uint16_t API_LEC_CALL Lec_ListeLecteurs(const char* folder, T_infosLecteur* readers, int32_t* count, uint16_t* error) {
  return guarded(error, [&] {
    const Workstation workstation = Workstation::at(textOf(folder));
    const std::vector<std::string> names = workstation.readers();
    const int32_t room = count ? *count : 0;
    const int32_t records = readers ? writeReaderRecords(names, readers, room) : 0;
    put(count, static_cast<int32_t>(names.size()));
    const Outcome outcome = workstation.outcome("Lec_ListeLecteurs", {});
    JournalLine line("Lec_ListeLecteurs");
    line.word("buffer", readers ? "given" : "null").number("count", room).wrote(outcome);
    line.number("count", static_cast<int64_t>(names.size())).number("records", records);
    return finish(workstation, outcome, error, line);
  });
}

uint16_t API_LEC_CALL Lec_InitLecteurs(const char* folder, const char* reader, const char* reader_again,
                                       uint16_t* error) {
  return guarded(error, [&] {
    standin::processState().folder = textOf(folder);
    const Workstation workstation = rememberedWorkstation();
    const Outcome natural = workstation.hasReader() ? Outcome{} : Outcome{standin::kNoReader, standin::kNoReader};
    const Outcome outcome = workstation.outcome("Lec_InitLecteurs", natural);
    JournalLine line("Lec_InitLecteurs");
    line.text("reader", textOf(reader)).text("reader_again", textOf(reader_again)).wrote(outcome);
    return finish(workstation, outcome, error, line);
  });
}

uint16_t API_LEC_CALL Lec_OuvertureSessionVitale(const char* folder, const uint16_t* const* application,
                                                 uint16_t* session, uint16_t* error) {
  return guarded(error, [&] {
    standin::processState().folder = textOf(folder);
    const Workstation workstation = rememberedWorkstation();
    const bool reachable = workstation.hasReader();
    const uint16_t number = reachable ? workstation.sessionNumber() : 0;
    put(session, number);
    const Outcome natural = reachable ? Outcome{} : Outcome{standin::kNoReader, standin::kNoReader};
    const Outcome outcome = workstation.outcome("Lec_OuvertureSessionVitale", natural);
    JournalLine line("Lec_OuvertureSessionVitale");
    line.text("application", applicationName(application)).wrote(outcome).number("session", number);
    return finish(workstation, outcome, error, line);
  });
}

uint16_t API_LEC_CALL Lec_IntroductionMstVitale(uint16_t session, uint16_t /*zero*/, uint16_t* card_state,
                                                uint16_t* error) {
  return guarded(error, [&] {
    const Workstation workstation = rememberedWorkstation();
    const std::optional<Outcome> missing = cardMissing(workstation);
    const uint16_t state = missing ? 0 : workstation.cardState();
    put(card_state, state);
    const Outcome outcome = workstation.outcome("Lec_IntroductionMstVitale", missing.value_or(Outcome{}));
    JournalLine line("Lec_IntroductionMstVitale");
    line.number("session", session).wrote(outcome).number("state", state);
    return finish(workstation, outcome, error, line);
  });
}

uint16_t API_LEC_CALL Lec_LectureVitale(uint16_t session, uint16_t /*zero*/, char* buffer, uint32_t* size,
                                        uint16_t* error) {
  return guarded(error, [&] {
    const Workstation workstation = rememberedWorkstation();
    const uint32_t room = size ? *size : 0;
    const std::optional<Outcome> missing = cardMissing(workstation);
    const uint32_t length = missing ? 0 : readCard(*workstation.cardFile(), buffer, buffer ? room : 0);
    put(size, length);
    const Outcome outcome = workstation.outcome("Lec_LectureVitale", missing.value_or(Outcome{}));
    JournalLine line("Lec_LectureVitale");
    line.number("session", session).number("size", room).wrote(outcome).number("size", length);
    return finish(workstation, outcome, error, line);
  });
}

uint16_t API_LEC_CALL Lec_RetraitMhtVitale(uint16_t session, uint16_t /*zero*/, uint16_t* error) {
  return guarded(error, [&] {
    const Workstation workstation = rememberedWorkstation();
    const Outcome outcome = workstation.outcome("Lec_RetraitMhtVitale", {});
    JournalLine line("Lec_RetraitMhtVitale");
    line.number("session", session).wrote(outcome);
    return finish(workstation, outcome, error, line);
  });
}

uint16_t API_LEC_CALL Lec_FermetureSessionVitale(uint16_t session, uint16_t* error) {
  return guarded(error, [&] {
    const Workstation workstation = rememberedWorkstation();
    const Outcome outcome = workstation.outcome("Lec_FermetureSessionVitale", {});
    JournalLine line("Lec_FermetureSessionVitale");
    line.number("session", session).wrote(outcome);
    return finish(workstation, outcome, error, line);
  });
}

uint16_t API_LEC_CALL Lec_Dictionnaire(const char* folder, int16_t table, const char* code, const char* zeros,
                                       char* label, uint16_t* label_size, uint16_t* error) {
  return guarded(error, [&] {
    const Workstation workstation = Workstation::at(textOf(folder));
    const uint16_t room = label_size ? *label_size : 0;
    const std::optional<std::string> found = workstation.label(table, textOf(code));
    const std::string written = writeLabel(found.value_or(""), label, room);
    const auto length =
        static_cast<uint16_t>(std::min<size_t>(found.value_or("").size(), std::numeric_limits<uint16_t>::max()));
    put(label_size, length);
    const Outcome natural = found ? Outcome{} : Outcome{standin::kUnknownCode, standin::kUnknownCode};
    const Outcome outcome = workstation.outcome("Lec_Dictionnaire", natural);
    JournalLine line("Lec_Dictionnaire");
    line.number("table", table).text("code", textOf(code)).text("zeros", textOf(zeros));
    line.number("size", room).wrote(outcome).text("label", written).number("size", length);
    return finish(workstation, outcome, error, line);
  });
}

}  // extern "C"
