#include "platform/card/ApiLecLibrary.h"

uint16_t ApiLecLibrary::Lec_ListeLecteurs(const char* folder, T_infosLecteur* readers, int32_t* count,
                                          uint16_t* error) {
  return ::Lec_ListeLecteurs(folder, readers, count, error);
}

uint16_t ApiLecLibrary::Lec_InitLecteurs(const char* folder, const char* reader, const char* readerAgain,
                                         uint16_t* error) {
  return ::Lec_InitLecteurs(folder, reader, readerAgain, error);
}

uint16_t ApiLecLibrary::Lec_OuvertureSessionVitale(const char* folder, const uint16_t* const* application,
                                                   uint16_t* session, uint16_t* error) {
  return ::Lec_OuvertureSessionVitale(folder, application, session, error);
}

uint16_t ApiLecLibrary::Lec_IntroductionMstVitale(uint16_t session, uint16_t zero, uint16_t* cardState,
                                                  uint16_t* error) {
  return ::Lec_IntroductionMstVitale(session, zero, cardState, error);
}

uint16_t ApiLecLibrary::Lec_LectureVitale(uint16_t session, uint16_t zero, char* buffer, uint32_t* size,
                                          uint16_t* error) {
  return ::Lec_LectureVitale(session, zero, buffer, size, error);
}

uint16_t ApiLecLibrary::Lec_RetraitMhtVitale(uint16_t session, uint16_t zero, uint16_t* error) {
  return ::Lec_RetraitMhtVitale(session, zero, error);
}

uint16_t ApiLecLibrary::Lec_FermetureSessionVitale(uint16_t session, uint16_t* error) {
  return ::Lec_FermetureSessionVitale(session, error);
}

uint16_t ApiLecLibrary::Lec_Dictionnaire(const char* folder, int16_t table, const char* code, const char* zeros,
                                         char* label, uint16_t* labelSize, uint16_t* error) {
  return ::Lec_Dictionnaire(folder, table, code, zeros, label, labelSize, error);
}
