/* The eight calls of the SESAM-Vitale card-reader library (api_lec), as the
 * program binds them at load time. Texts are NUL-terminated single-byte text
 * in the system's ANSI code page; the caller allocates every buffer. */
#ifndef VELNARA_API_LEC_H
#define VELNARA_API_LEC_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#define API_LEC_CALL __stdcall
#else
#define API_LEC_CALL
#endif

#pragma pack(push, 1)
/* One reader, 265 bytes, packed, little-endian. */
typedef struct T_infosLecteur {
  char nom_ressource[256];
  uint8_t mode_acces;
  uint8_t indiceRM;
  uint8_t isInit;
  uint16_t num_lect;
  uint16_t num_coupleur;
  uint16_t type_carte;
} T_infosLecteur;
#pragma pack(pop)

#ifdef __cplusplus
static_assert(sizeof(T_infosLecteur) == 265, "T_infosLecteur is 265 packed bytes");
#else
_Static_assert(sizeof(T_infosLecteur) == 265, "T_infosLecteur is 265 packed bytes");
#endif

uint16_t API_LEC_CALL Lec_ListeLecteurs(const char* folder, T_infosLecteur* readers, int32_t* count, uint16_t* error);
uint16_t API_LEC_CALL Lec_InitLecteurs(const char* folder, const char* reader, const char* reader_again,
                                       uint16_t* error);
uint16_t API_LEC_CALL Lec_OuvertureSessionVitale(const char* folder, const uint16_t* const* application,
                                                 uint16_t* session, uint16_t* error);
uint16_t API_LEC_CALL Lec_IntroductionMstVitale(uint16_t session, uint16_t zero, uint16_t* card_state, uint16_t* error);
uint16_t API_LEC_CALL Lec_LectureVitale(uint16_t session, uint16_t zero, char* buffer, uint32_t* size, uint16_t* error);
uint16_t API_LEC_CALL Lec_RetraitMhtVitale(uint16_t session, uint16_t zero, uint16_t* error);
uint16_t API_LEC_CALL Lec_FermetureSessionVitale(uint16_t session, uint16_t* error);
uint16_t API_LEC_CALL Lec_Dictionnaire(const char* folder, int16_t table, const char* code, const char* zeros,
                                       char* label, uint16_t* label_size, uint16_t* error);

#ifdef __cplusplus
}
#endif

#endif
