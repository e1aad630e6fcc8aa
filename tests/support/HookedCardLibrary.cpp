#include "support/HookedCardLibrary.h"

uint16_t HookedCardLibrary::Lec_ListeLecteurs(const char* folder, T_infosLecteur* readers, int32_t* count,
                                              uint16_t* error) {
  fire("Lec_ListeLecteurs");
  return library_.Lec_ListeLecteurs(folder, readers, count, error);
}

uint16_t HookedCardLibrary::Lec_InitLecteurs(const char* folder, const char* reader, const char* readerAgain,
                                             uint16_t* error) {
  fire("Lec_InitLecteurs");
  return library_.Lec_InitLecteurs(folder, reader, readerAgain, error);
}

uint16_t HookedCardLibrary::Lec_OuvertureSessionVitale(const char* folder, const uint16_t* const* application,
                                                       uint16_t* session, uint16_t* error) {
  fire("Lec_OuvertureSessionVitale");
  return library_.Lec_OuvertureSessionVitale(folder, application, session, error);
}

uint16_t HookedCardLibrary::Lec_IntroductionMstVitale(uint16_t session, uint16_t zero, uint16_t* cardState,
                                                      uint16_t* error) {
  fire("Lec_IntroductionMstVitale");
  return library_.Lec_IntroductionMstVitale(session, zero, cardState, error);
}

uint16_t HookedCardLibrary::Lec_LectureVitale(uint16_t session, uint16_t zero, char* buffer, uint32_t* size,
                                              uint16_t* error) {
  fire("Lec_LectureVitale");
  return library_.Lec_LectureVitale(session, zero, buffer, size, error);
}

uint16_t HookedCardLibrary::Lec_RetraitMhtVitale(uint16_t session, uint16_t zero, uint16_t* error) {
  fire("Lec_RetraitMhtVitale");
  return library_.Lec_RetraitMhtVitale(session, zero, error);
}

uint16_t HookedCardLibrary::Lec_FermetureSessionVitale(uint16_t session, uint16_t* error) {
  fire("Lec_FermetureSessionVitale");
  return library_.Lec_FermetureSessionVitale(session, error);
}

uint16_t HookedCardLibrary::Lec_Dictionnaire(const char* folder, int16_t table, const char* code, const char* zeros,
                                             char* label, uint16_t* labelSize, uint16_t* error) {
  fire("Lec_Dictionnaire");
  return library_.Lec_Dictionnaire(folder, table, code, zeros, label, labelSize, error);
}

void HookedCardLibrary::fire(const std::string& call) {
  const auto found = pending_.find(call);
  if (found == pending_.end()) return;
  const std::function<void()> action = std::move(found->second);
  pending_.erase(found);
  action();
}
