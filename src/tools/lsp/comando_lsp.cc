// lsp: the editor server on standard input and output. One thread reads and
// unframes the messages; this one answers them in the order they came, and
// runs the checks that fall due between them.
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <iostream>
#include <memory>
#include <mutex>
#include <thread>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <csignal>
#include <unistd.h>
#endif

#include "tools/lsp/comando_lsp_testi.h"
#include "tools/lsp/cornice.h"
#include "tools/lsp/grammatica.h"
#include "tools/lsp/servitore.h"

namespace sc {

namespace {

// What the reading thread hands over; it outlives this function if the
// process ends while a read is still waiting.
struct coda_messaggi {
  std::mutex m;
  std::condition_variable cv;
  std::deque<lettore_cornici::evento> eventi;
  bool chiusa = false;
};

long leggi(char* buffer, unsigned n) {
#ifdef _WIN32
  return _read(0, buffer, n);
#else
  return long(::read(0, buffer, n));
#endif
}

void leggi_ingresso(std::shared_ptr<coda_messaggi> coda) {
  lettore_cornici cornici;
  std::vector<char> buffer(1 << 16);
  for (;;) {
    const long n = leggi(buffer.data(), unsigned(buffer.size()));
    if (n <= 0) break;
    cornici.aggiungi(std::string_view(buffer.data(), std::size_t(n)));
    std::vector<lettore_cornici::evento> nuovi;
    while (auto e = cornici.prossimo()) nuovi.push_back(std::move(*e));
    if (nuovi.empty()) continue;
    std::lock_guard<std::mutex> l(coda->m);
    for (auto& e : nuovi) coda->eventi.push_back(std::move(e));
    coda->cv.notify_one();
  }
  std::lock_guard<std::mutex> l(coda->m);
  coda->chiusa = true;
  coda->cv.notify_one();
}

int esegui(const argomenti& a) {
  if (a.ha("--grammar")) {
    std::cout << grammatica_textmate();
    return esito_ok;
  }
#ifdef _WIN32
  // Content-Length counts bytes: no line-end translation either way.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
#else
  // A client that goes away is an end like any other, not a signal.
  std::signal(SIGPIPE, SIG_IGN);
#endif
  auto coda = std::make_shared<coda_messaggi>();
  std::thread(leggi_ingresso, coda).detach();
  servitore_lsp servitore([](const std::string& corpo) {
    const std::string m = incornicia(corpo);
    std::fwrite(m.data(), 1, m.size(), stdout);
    std::fflush(stdout);
  });
  for (;;) {
    std::deque<lettore_cornici::evento> arrivati;
    bool chiusa = false;
    {
      std::unique_lock<std::mutex> l(coda->m);
      auto pronto = [&] { return !coda->eventi.empty() || coda->chiusa; };
      if (auto scadenza = servitore.prossima_scadenza()) coda->cv.wait_until(l, *scadenza, pronto);
      else coda->cv.wait(l, pronto);
      arrivati.swap(coda->eventi);
      chiusa = coda->chiusa;
    }
    std::vector<std::string> insieme;
    for (auto& e : arrivati) {
      if (!e.guasto) {
        insieme.push_back(std::move(e.testo));
        continue;
      }
      servitore.ricevi(insieme);
      insieme.clear();
      servitore.guasto_cornice(e.testo);
    }
    servitore.ricevi(insieme);
    if (servitore.finito()) return servitore.esito();
    // Checks wait while messages are still coming: they may change the texts again.
    bool altri = false;
    {
      std::lock_guard<std::mutex> l(coda->m);
      altri = !coda->eventi.empty();
    }
    if (!altri) servitore.esegui_scadenze();
    // The client went away without exit.
    if (chiusa && arrivati.empty()) return 1;
  }
}

}  // namespace

const comando comando_lsp = comando_lsp_con(esegui);

}  // namespace sc
