#!/usr/bin/env python3
"""The view page in a real browser: headless Chromium driven through
chromedriver's WebDriver interface (Python standard library only).

For the built-in scenario, a restriction-rich scenario and the largest line:
writes the page with `scenario-compiler view`, opens it from disk, and checks
that it renders without console errors or network requests, that the
stations, signals, curves and other objects are drawn with labels that
never overlap at several zoom levels, that the lanes and the legend carry
the names of the cell table the page's data holds, and that pointing at an
object or a curve shows its details; and that the texts of the `plot`
picture, as the browser lays them out, never overlap either. Screenshots are kept in the artefacts directory.

Exit status 77 (skipped) when Chromium or chromedriver is not installed.
"""

import argparse
import base64
import json
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import urllib.error
import urllib.request

SALTA = 77

BANDIERE_CHROMIUM = [
    "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--window-size=1400,1500", "--hide-scrollbars",
]

# A scenario rich in restrictions (with and without warning boards and their
# sequences, a fast one), abatement marks and flagged mountain ranges; the C++
# tests read the same files.
RICCA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "test_support", "ricca")


class ErroreWebDriver(Exception):
    pass


class WebDriver:
    """The few WebDriver commands the test needs."""

    def __init__(self, driver, chromium, profilo):
        with socket.socket() as s:
            s.bind(("127.0.0.1", 0))
            porta = s.getsockname()[1]
        self.base = "http://127.0.0.1:%d" % porta
        self.processo = subprocess.Popen([driver, "--port=%d" % porta], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(100):
            try:
                if self._richiesta("GET", "/status").get("ready"):
                    break
            except (OSError, ErroreWebDriver):
                pass
            time.sleep(0.1)
        else:
            self.chiudi()
            raise ErroreWebDriver("chromedriver did not start")
        opzioni = {"binary": chromium, "args": BANDIERE_CHROMIUM + ["--user-data-dir=" + profilo]}
        valore = self._richiesta("POST", "/session", {"capabilities": {"alwaysMatch": {
            "browserName": "chrome", "goog:chromeOptions": opzioni, "goog:loggingPrefs": {"browser": "ALL"}}}})
        self.sessione = "/session/" + valore["sessionId"]

    def _richiesta(self, metodo, percorso, corpo=None):
        dati = json.dumps(corpo).encode() if corpo is not None else None
        req = urllib.request.Request(self.base + percorso, data=dati, method=metodo,
                                     headers={"Content-Type": "application/json"})
        try:
            with urllib.request.urlopen(req, timeout=120) as r:
                return json.loads(r.read().decode())["value"]
        except urllib.error.HTTPError as e:
            raise ErroreWebDriver("%s %s: %s" % (metodo, percorso, e.read().decode()[:500]))

    def comando(self, metodo, percorso, corpo=None):
        return self._richiesta(metodo, self.sessione + percorso, corpo)

    def apri(self, url):
        self.comando("POST", "/url", {"url": url})

    def esegui(self, codice, *argomenti):
        return self.comando("POST", "/execute/sync", {"script": codice, "args": list(argomenti)})

    # Runs after the browser has drawn the next frame.
    def dopo_disegno(self, codice, *argomenti):
        return self.comando("POST", "/execute/async", {"script": """
            const fatto = arguments[arguments.length - 1], args = Array.prototype.slice.call(arguments, 0, -1);
            requestAnimationFrame(function () { requestAnimationFrame(function () {
                fatto((function () { %s }).apply(null, args)); }); });""" % codice, "args": list(argomenti)})

    def console(self):
        return self.comando("POST", "/se/log", {"type": "browser"})

    def puntatore(self, x, y):
        self.comando("POST", "/actions", {"actions": [{"type": "pointer", "id": "mouse", "parameters": {"pointerType": "mouse"},
                                                       "actions": [{"type": "pointerMove", "duration": 0, "x": int(x), "y": int(y), "origin": "viewport"}]}]})

    def schermata(self, percorso):
        with open(percorso, "wb") as f:
            f.write(base64.b64decode(self.comando("GET", "/screenshot")))

    def chiudi(self):
        try:
            if hasattr(self, "sessione"):
                self.comando("DELETE", "")
        finally:
            self.processo.terminate()
            self.processo.wait(timeout=30)


class Controlli:
    def __init__(self):
        self.falliti = []

    def vero(self, condizione, messaggio):
        if not condizione:
            self.falliti.append(messaggio)
        return condizione


def sovrapposte(etichette):
    """Pairs of label boxes that overlap by more than half a pixel."""
    r = []
    for i, a in enumerate(etichette):
        for b in etichette[i + 1:]:
            if min(a["x1"], b["x1"]) - max(a["x0"], b["x0"]) > 0.5 and min(a["y1"], b["y1"]) - max(a["y0"], b["y0"]) > 0.5:
                r.append((a["testo"], b["testo"]))
    return r


def esegui(argomenti, cartella, *args):
    p = subprocess.run([argomenti.program] + list(args), cwd=cartella, capture_output=True, text=True)
    if p.returncode != 0:
        raise SystemExit("scenario-compiler %s failed (%d): %s" % (" ".join(args), p.returncode, p.stderr))


def prepara_scenari(argomenti, lavoro):
    """Compiles the three scenarios and writes their pages; returns name -> page."""
    pagine = {}
    os.makedirs(os.path.join(lavoro, "builtin"))
    esegui(argomenti, lavoro, "--dir", "builtin")
    sorgenti = os.path.join(lavoro, "src")
    os.makedirs(sorgenti)
    for nome in ("Ricca_linea.txt", "Ricca_Treno-.txt"):
        with open(os.path.join(RICCA, nome), "rb") as f, open(os.path.join(sorgenti, nome), "wb") as g:
            g.write(f.read().replace(b"\r\n", b"\n").replace(b"\n", b"\r\n"))
    esegui(argomenti, lavoro, "compile", "src/Ricca_linea.txt", "src/Ricca_Treno-.txt", "--out", "ricca")
    subprocess.run([argomenti.large_line, sorgenti], check=True)
    esegui(argomenti, lavoro, "compile", "src/Grande_linea.txt", "src/Grande_Treno-.txt", "--out", "grande")
    for nome in ("builtin", "ricca", "grande"):
        pagine[nome] = os.path.join(lavoro, nome + ".html")
        esegui(argomenti, lavoro, "view", nome, "-o", nome + ".html")
        esegui(argomenti, lavoro, "plot", nome, "-o", nome + ".svg")
    return pagine


def controlla_svg(wd, c, nome, svg, artefatti):
    """The plot as the browser lays it out: its texts never overlap."""
    wd.apri("file://" + svg)
    testi = wd.esegui("""return Array.from(document.querySelectorAll('text')).map(function (t) {
        var r = t.getBoundingClientRect(); return {testo: t.textContent, x0: r.left, x1: r.right, y0: r.top, y1: r.bottom}; });""")
    c.vero(len(testi) > 20, "%s.svg: only %d texts" % (nome, len(testi)))
    doppie = sovrapposte(testi)
    c.vero(not doppie, "%s.svg: overlapping labels %s" % (nome, doppie[:5]))
    altezza = wd.esegui("return document.documentElement.getAttribute('height')")
    wd.comando("POST", "/window/rect", {"width": 1400, "height": int(float(altezza)) + 140})
    wd.schermata(os.path.join(artefatti, nome + "-plot.png"))
    wd.comando("POST", "/window/rect", {"width": 1400, "height": 1500})


def controlla_pagina(wd, c, nome, pagina, attese, artefatti):
    wd.apri("file://" + pagina)
    for _ in range(100):
        if wd.esegui("return document.body.dataset.stato || ''") == "pronto":
            break
        time.sleep(0.1)
    else:
        c.vero(False, "%s: the page never finished drawing" % nome)
        return
    errori = [v for v in wd.console() if v.get("level") in ("SEVERE", "WARNING")]
    c.vero(not errori, "%s: console messages: %s" % (nome, errori))
    risorse = wd.esegui("return performance.getEntriesByType('resource').map(function (r) { return r.name; })")
    c.vero(not risorse, "%s: the page loaded other files: %s" % (nome, risorse))
    orario = wd.esegui("return Array.from(document.querySelectorAll('#orario tbody td:nth-child(2)')).map(function (t) { return t.textContent; })")
    c.vero(orario == attese["stazioni"], "%s: timetable stations %s, expected %s" % (nome, orario, attese["stazioni"]))
    # Lane titles and the legend's names are the cell table's, as the data carries them.
    dati = wd.esegui("return JSON.parse(document.getElementById('dati').textContent)")
    titoli = wd.dopo_disegno("return vistaLinea.etichette.lungo.filter(function (e) { return e.corsia === 'titolo'; }).map(function (e) { return e.testo; });")
    attesi = [p["nome"] for p in dati["regole"]["pannelli"] if p["nome"]] + dati["corsie"]
    c.vero(titoli == attesi and "Curves" in titoli, "%s: panel titles %s, expected %s" % (nome, titoli, attesi))
    legenda = wd.esegui("return Array.from(document.querySelectorAll('#legenda li')).map(function (l) { return l.textContent; })")
    tipi = [t["nome"] for t in dati["tipi"].values()]
    c.vero(all(t in legenda for t in tipi) and "restriction warning board" in tipi, "%s: the legend %s lacks kinds of %s" % (nome, legenda, tipi))

    # Labels at the whole line and at closer zooms: the expected ones drawn,
    # none overlapping another in the same view.
    zoom = [None] + attese.get("zoom", [])
    for z in zoom:
        if z:
            etichette = wd.dopo_disegno("vistaLinea.mostraLungo(arguments[0], arguments[1]); return null;", z[0], z[1])
        etichette = wd.dopo_disegno("return vistaLinea.etichette;")
        for vista in ("lungo", "pianta"):
            doppie = sovrapposte(etichette[vista])
            c.vero(not doppie, "%s, zoom %s, %s: overlapping labels %s" % (nome, z, vista, doppie[:5]))
        if z is None:
            testi = [e["testo"] for e in etichette["lungo"]]
            for t in attese["etichette"]:
                c.vero(any(t in x for x in testi), "%s: no label %r among %s" % (nome, t, testi[:60]))
            testi_pianta = [e["testo"] for e in etichette["pianta"]]
            for t in attese.get("pianta", []):
                c.vero(t in testi_pianta, "%s: the plan has no label %r among %s" % (nome, t, testi_pianta[:40]))
    wd.dopo_disegno("vistaLinea.mostraLungo(arguments[0], arguments[1]); return null;", *attese.get("vista", [-1e9, 1e9]))
    wd.schermata(os.path.join(artefatti, nome + ".png"))

    # Pointing at an object shows its details; the reading follows the pointer.
    for m, corsia, atteso in attese.get("punta", []):
        punto = wd.dopo_disegno("vistaLinea.mostraLungo(arguments[0] - 1500, arguments[0] + 1500); return null;", m)
        punto = wd.dopo_disegno("return vistaLinea.punto(arguments[0], arguments[1]);", m, corsia)
        wd.puntatore(punto["x"], punto["y"])
        testo = wd.dopo_disegno("var s = document.getElementById('suggerimento'); return s.hidden ? '' : s.textContent;")
        c.vero(atteso in testo, "%s: pointing at %d m in %s shows %r, expected %r" % (nome, m, corsia, testo, atteso))
        lettura = wd.esegui("return document.getElementById('lettura').textContent")
        c.vero("km" in lettura and "cell" in lettura, "%s: the reading says %r" % (nome, lettura))
        wd.schermata(os.path.join(artefatti, "%s-hover-%s.png" % (nome, corsia.lower().replace(" ", "-"))))
    tempo = wd.esegui("return vistaLinea.tempoDisegno")
    print("%s: drawn %.0f ms after navigation, page %d bytes, screenshot %s" % (
        nome, tempo, os.path.getsize(pagina), os.path.join(artefatti, nome + ".png")))


ATTESE = {
    "builtin": {
        "stazioni": ["PRATOSERVINO", "VALDISPRETO", "BRUNEA", "COLLE ZAVRO", "PIANOSCA"],
        "etichette": ["PRATOSERVINO 11:35", "PIANOSCA 11:52", "3/1/1", "3/1/1 t240", "70 km/h", "60 km/h",
                      "(BRUNEA)", "(TERMINE TRATTA)", "−12‰", "end of line 9.000 km", "d5", "s3", "d6", "s6"],
        "pianta": ["PRATOSERVINO", "COLLE ZAVRO", "end of line 9.000 km"],
        "zoom": [[2000, 5000], [3900, 4300], [8000, 16050]],
        "punta": [[2600, "Signals", "signal"], [1950, "Curves", "curve d5"]],
    },
    "ricca": {
        "stazioni": ["ALFA", "BETA", "GAMMA"],
        "etichette": ["30 km/h", "warn 30 km/h", "warn 50 km/h", "120 km/h", "90", "type 2, markers", "type 4, markers",
                      "80/70/60 km/h", "3/1/1 | 2/1/1", "(SOSTA)", "+12‰", "d3", "s5", "d6"],
        "zoom": [[0, 4000], [2500, 3700], [6000, 10000]],
        "punta": [[3000, "Restrictions", "restriction start"], [4200, "Curves", "curve s5"]],
    },
    "grande": {
        "stazioni": ["S%d" % k for k in range(50)],
        "etichette": ["S0 09:00", "3/1/1", "warn 60 km/h", "end of line 1000.000 km"],
        "zoom": [[0, 100000], [31000, 34000], [500000, 510000], [990000, 1007000]],
        "vista": [28000, 36000],
        "punta": [[500, "Signals", "signal"]],
    },
}


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--program", required=True)
    ap.add_argument("--large-line", required=True, help="the program that writes the largest line's descriptions")
    ap.add_argument("--artefacts", required=True, help="directory for the screenshots")
    argomenti = ap.parse_args()
    argomenti.program = os.path.abspath(argomenti.program)
    argomenti.large_line = os.path.abspath(argomenti.large_line)
    chromium = shutil.which("chromium") or shutil.which("chromium-browser")
    driver = shutil.which("chromedriver")
    if not chromium or not driver:
        print("skipped: chromium and chromedriver are needed (apt-get install chromium chromium-driver)")
        return SALTA
    os.makedirs(argomenti.artefacts, exist_ok=True)
    c = Controlli()
    with tempfile.TemporaryDirectory(prefix="view-browser-") as lavoro:
        pagine = prepara_scenari(argomenti, lavoro)
        wd = WebDriver(driver, chromium, os.path.join(lavoro, "profilo"))
        try:
            for nome in ("builtin", "ricca", "grande"):
                controlla_pagina(wd, c, nome, pagine[nome], ATTESE[nome], argomenti.artefacts)
                controlla_svg(wd, c, nome, pagine[nome][:-5] + ".svg", argomenti.artefacts)
        finally:
            wd.chiudi()
    print("screenshots in " + os.path.abspath(argomenti.artefacts))
    for f in c.falliti:
        print("FAILED: " + f)
    return 1 if c.falliti else 0


if __name__ == "__main__":
    sys.exit(main())
