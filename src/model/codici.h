// Every error code the system records or shows.
#pragma once

#include <cstdint>

namespace sc::codice {

inline constexpr std::int32_t nessuno = 0;
inline constexpr std::int32_t lunghezza_eccessiva = 1;
inline constexpr std::int32_t progressiva_non_multipla = 2;
inline constexpr std::int32_t ripetizione_primo_valore = 3;
inline constexpr std::int32_t ripetizione_secondo_valore = 4;
inline constexpr std::int32_t ripetizione_codici = 5;
inline constexpr std::int32_t cartello_occupato = 6;
inline constexpr std::int32_t abbattimento_occupato = 7;
inline constexpr std::int32_t stazione_posizione = 8;
inline constexpr std::int32_t stazione_lunghezza = 9;
inline constexpr std::int32_t stazioni_troppe = 10;
inline constexpr std::int32_t segnale_senza_spazio = 11;
inline constexpr std::int32_t rallentamento_approccio = 12;
inline constexpr std::int32_t rallentamento_ripetizione = 13;
inline constexpr std::int32_t fuori_linea = 15;
inline constexpr std::int32_t segnale_occupato = 16;
inline constexpr std::int32_t avviso_occupato = 17;
inline constexpr std::int32_t inizio_occupato = 18;
inline constexpr std::int32_t fine_occupata = 19;
inline constexpr std::int32_t sequenza_occupata = 20;
inline constexpr std::int32_t indicatore_occupato = 21;
inline constexpr std::int32_t stazioni_vicine = 22;
inline constexpr std::int32_t stazione_troppo_presto = 24;
inline constexpr std::int32_t lettura_fallita = 25;
inline constexpr std::int32_t linea_mancante = 101;
inline constexpr std::int32_t generale_mancante = 102;
inline constexpr std::int32_t curva_errata = 103;
inline constexpr std::int32_t slot_formato_occupati = 1250;
inline constexpr std::int32_t slot_gara_occupati = 1251;

}  // namespace sc::codice
