#!/usr/bin/env python3
"""How fast the view page of the largest line (1,000,000 m) renders in
headless Chromium: the time from navigation to the first complete drawing,
and the time of one redrawn frame at several zoom levels. Target: the first
drawing under one second.

    python3 bench/view_render.py BUILD_DIR [--runs N]

BUILD_DIR holds scenario-compiler and scrivi_linea_grande (a build with the
tests on). Needs chromium and chromedriver.
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src", "tools"))
from view_browser_test import WebDriver  # noqa: E402

ZOOM = [(0, 1007000), (0, 100000), (500000, 510000), (31000, 34000)]


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("build")
    ap.add_argument("--runs", type=int, default=7)
    a = ap.parse_args()
    programma = os.path.abspath(os.path.join(a.build, "scenario-compiler"))
    scrivi = os.path.abspath(os.path.join(a.build, "scrivi_linea_grande"))
    chromium, driver = shutil.which("chromium") or shutil.which("chromium-browser"), shutil.which("chromedriver")
    if not chromium or not driver:
        sys.exit("chromium and chromedriver are needed (apt-get install chromium chromium-driver)")
    with tempfile.TemporaryDirectory(prefix="view-bench-") as lavoro:
        subprocess.run([scrivi, lavoro], check=True)
        subprocess.run([programma, "compile", "Grande_linea.txt", "Grande_Treno-.txt", "--out", "out"], cwd=lavoro, check=True,
                       stdout=subprocess.DEVNULL)
        pagina = os.path.join(lavoro, "grande.html")
        subprocess.run([programma, "view", "out", "-o", pagina], cwd=lavoro, check=True, stdout=subprocess.DEVNULL)
        dimensioni = {f: os.path.getsize(os.path.join(lavoro, "out", f)) for f in sorted(os.listdir(os.path.join(lavoro, "out")))}
        wd = WebDriver(driver, chromium, os.path.join(lavoro, "profilo"))
        primi, fotogrammi = [], {z: [] for z in ZOOM}
        try:
            for _ in range(a.runs):
                wd.apri("file://" + pagina)
                while wd.esegui("return document.body.dataset.stato || ''") != "pronto":
                    pass
                primi.append(wd.esegui("return vistaLinea.tempoDisegno"))
                for z in ZOOM:
                    fotogrammi[z].append(wd.esegui("vistaLinea.mostraLungo(arguments[0], arguments[1]); vistaLinea.disegnaOra();"
                                                   "return vistaLinea.disegnaOra();", z[0], z[1]))
            dimensione_pagina = os.path.getsize(pagina)
        finally:
            wd.chiudi()
    print("compiled files: " + ", ".join("%s %d bytes" % kv for kv in dimensioni.items()))
    print("view page: %d bytes" % dimensione_pagina)
    print("first drawing after navigation, %d runs: median %.0f ms, best %.0f ms, worst %.0f ms (target: under 1000 ms)" % (
        len(primi), statistics.median(primi), min(primi), max(primi)))
    for z, tempi in fotogrammi.items():
        print("one frame showing %d to %d m: median %.1f ms" % (z[0], z[1], statistics.median(tempi)))
    return 0 if statistics.median(primi) < 1000 else 1


if __name__ == "__main__":
    sys.exit(main())
