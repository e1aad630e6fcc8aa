#pragma once

#include "platform/CardLibrary.h"

// The card-reader library linked at load time (libapi_lec next to the
// program): each call goes straight to the library's function of that name.
class ApiLecLibrary : public CardLibrary {
 public:
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
};
