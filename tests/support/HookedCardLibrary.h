#pragma once

// The stand-in card library with something done to the workstation just as a
// given call arrives: a fault that strikes in the middle of a run, at a known
// point, instead of before or after it.

#include <functional>
#include <map>
#include <string>
#include <utility>

#include "platform/CardLibrary.h"
#include "platform/card/ApiLecLibrary.h"

class HookedCardLibrary : public CardLibrary {
 public:
  // Runs `action` once, when `call` next arrives and before the library
  // answers it.
  void atNext(const std::string& call, std::function<void()> action) { pending_[call] = std::move(action); }

  uint16_t Lec_ListeLecteurs(const char* folder, T_infosLecteur* readers, int32_t* count, uint16_t* error) override;
  uint16_t Lec_InitLecteurs(const char* folder, const char* reader, const char* readerAgain, uint16_t* error) override;
  uint16_t Lec_OuvertureSessionVitale(const char* folder, const uint16_t* const* application, uint16_t* session,
                                      uint16_t* error) override;
  uint16_t Lec_IntroductionMstVitale(uint16_t session, uint16_t zero, uint16_t* cardState, uint16_t* error) override;
  uint16_t Lec_LectureVitale(uint16_t session, uint16_t zero, char* buffer, uint32_t* size, uint16_t* error) override;
  uint16_t Lec_RetraitMhtVitale(uint16_t session, uint16_t zero, uint16_t* error) override;
  uint16_t Lec_FermetureSessionVitale(uint16_t session, uint16_t* error) override;
  uint16_t Lec_Dictionnaire(const char* folder, int16_t table, const char* code, const char* zeros, char* label,
                            uint16_t* labelSize, uint16_t* error) override;

 private:
  void fire(const std::string& call);

  ApiLecLibrary library_;
  std::map<std::string, std::function<void()>> pending_;
};
