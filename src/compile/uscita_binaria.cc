#include "compile/uscita_binaria.h"

#include <utility>

#include "compile/scrittore_byte.h"
#include "model/disk.h"
#include "model/modello.h"
#include "model/nomi_file.h"

namespace sc {

std::string contenuto_linea_dat(const modello& m) {
  scrittore_byte w;
  w.riserva(m.profilo.punti().size() * 10);
  for (const valore_profilo& v : m.profilo.punti()) {
    w.u16(v.tag);
    if (v.tag == valore_profilo::intero) w.i16(std::int16_t(v.valore));
    else if (v.tag == valore_profilo::reale) w.f64(v.valore);
  }
  return std::move(w).prendi();
}

std::string contenuto_servizio_sim(const modello& m) {
  scrittore_byte w;
  for (const voce_servizio& v : m.servizio) {
    w.u8(v.tipo_voce);
    w.i32(v.valore1);
    w.i32(v.valore2);
    w.i32(v.valore3);
    w.u8(v.opzione);
    // Texts are kept within 65535 bytes where they are stored.
    w.u16(std::uint16_t(v.nome.size()));
    w.byte(v.nome);
    for (std::int16_t x : {v.intero1, v.intero2, v.intero3, v.intero4, v.intero5}) w.i16(x);
    for (std::uint8_t x : {v.byte1, v.byte2, v.byte3, v.byte4}) w.u8(x);
    w.i32(v.codice);
  }
  return std::move(w).prendi();
}

std::string contenuto_celle_dat(const modello& m) {
  scrittore_byte w;
  w.riserva(m.celle.size() * 15);
  for (const cella& c : m.celle) {
    w.u8(c.tipo);
    for (std::int16_t x : {c.val1, c.val2, c.val3, c.val4}) w.i16(x);
    for (std::uint8_t x : {c.val5, c.val6, c.montagna, c.val7, c.val8, c.val9}) w.u8(x);
  }
  return std::move(w).prendi();
}

void scrivi_file_binari(const modello& m, Disk& disk) {
  if (m.genera_linea != 0) disk.replace(nome_linea_dat(m), contenuto_linea_dat(m));
  disk.replace(nome_servizio_sim(m), contenuto_servizio_sim(m));
  disk.replace(nome_celle_dat(m), contenuto_celle_dat(m));
}

}  // namespace sc
