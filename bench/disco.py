#!/usr/bin/env python3
"""Whole processes against a durable copy of what they write, side by side.

    python3 bench/disco.py BUILD_DIR [--pairs N]

BUILD_DIR is a build with SC_BUILD_BENCHMARKS=ON: it holds scenario-compiler,
scrivi_linea_grande and file_predefiniti. Every run writes into a fresh folder
on the same file system; a durable copy is `cp` of the same files into a fresh
folder and `sync` of the copies (an fsync of each), both processes timed
together. The two sides of a pair run one after the other, the first one
alternating, and the figures are medians over the pairs:

- compile of the largest line (1,000,000 m) against a durable copy of its
  three files: target 1.5 times at most;
- its peak memory against the geometry file: target 1.1 times at most
  (measured by GNU time, /usr/bin/time);
- the built-in run against a durable copy of its eight files: target 1 time;
- check of the largest line against its compile: target 1.1 times.

The exit status is 0 when every target holds, 2 when one is missed.
"""

import argparse
import os
import shutil
import statistics
import sys
import tempfile
import time


def processo(argv):
    """Wall time and CPU time of one process."""
    t0 = time.perf_counter()
    # Standard output and error are dropped: the built-in run greets on standard error.
    nulla = [(os.POSIX_SPAWN_OPEN, f, os.devnull, os.O_WRONLY, 0) for f in (1, 2)]
    pid = os.posix_spawn(argv[0], argv, os.environ, file_actions=nulla)
    _, stato, uso = os.wait4(pid, 0)
    durata = time.perf_counter() - t0
    if os.waitstatus_to_exitcode(stato) != 0:
        sys.exit("exit status %d: %s" % (os.waitstatus_to_exitcode(stato), " ".join(argv)))
    return durata, uso.ru_utime + uso.ru_stime


def memoria_massima(argv):
    """Peak memory (bytes) of one process as GNU time measures it. Not from
    this script's own wait4: a spawned process keeps the peak of the process
    it was forked from, here the Python interpreter's."""
    with tempfile.NamedTemporaryFile("r") as f:
        processo(["/usr/bin/time", "-f", "%M", "-o", f.name] + argv)
        return int(f.read().split()[-1]) * 1024


class Lavoro:
    """Fresh folders under one directory, removed after each pair."""

    def __init__(self, radice):
        self.radice, self.n = radice, 0

    def nuova(self):
        self.n += 1
        d = os.path.join(self.radice, "run%d" % self.n)
        os.mkdir(d)
        return d

    def pulisci(self, cartelle):
        for d in cartelle:
            shutil.rmtree(d)


def copia_durevole(cp, sync, file, cartella):
    a = processo([cp] + file + [cartella + "/"])
    copie = [os.path.join(cartella, os.path.basename(f)) for f in file]
    b = processo([sync] + copie)
    return a[0] + b[0], a[1] + b[1]


def coppie(n, lavoro, prova, riferimento):
    """n pairs of (prova(folder), riferimento(folder)), the first alternating."""
    p, r = [], []
    for i in range(n):
        cartelle = [lavoro.nuova(), lavoro.nuova()]
        if i % 2 == 0:
            p.append(prova(cartelle[0]))
            r.append(riferimento(cartelle[1]))
        else:
            r.append(riferimento(cartelle[1]))
            p.append(prova(cartelle[0]))
        lavoro.pulisci(cartelle)
    return p, r


def riassunto(nome, p, r, nome_r, obiettivo):
    """Prints medians and the ratio; True when the target holds."""
    mp, mr = statistics.median(x[0] for x in p), statistics.median(x[0] for x in r)
    cp, cr = statistics.median(x[1] for x in p), statistics.median(x[1] for x in r)
    rapporti = sorted(a[0] / b[0] for a, b in zip(p, r))
    rapporto = statistics.median(rapporti)
    print("%s: median %.1f ms (CPU %.1f ms) against %s %.1f ms (CPU %.1f ms)" % (nome, mp * 1e3, cp * 1e3, nome_r, mr * 1e3, cr * 1e3))
    print("  ratio, median of %d pairs: %.2f (pairs %.2f to %.2f; ratio of medians %.2f; CPU %.2f); target %.2f: %s" % (
        len(rapporti), rapporto, rapporti[0], rapporti[-1], mp / mr, cp / cr, obiettivo,
        "holds" if rapporto <= obiettivo else "MISSED"))
    return rapporto <= obiettivo


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("build")
    ap.add_argument("--pairs", type=int, default=11)
    a = ap.parse_args()
    if a.pairs < 9:
        sys.exit("at least 9 pairs")
    build = os.path.abspath(a.build)
    programma = os.path.join(build, "scenario-compiler")
    cp, sync = shutil.which("cp"), shutil.which("sync")
    print("load average before: %.2f %.2f %.2f" % os.getloadavg())
    ok = True
    with tempfile.TemporaryDirectory(prefix="disco-bench-") as radice:
        sorgenti = os.path.join(radice, "sorgenti")
        predefiniti = os.path.join(radice, "predefiniti")
        os.mkdir(sorgenti)
        os.mkdir(predefiniti)
        processo([os.path.join(build, "scrivi_linea_grande"), sorgenti])
        processo([os.path.join(build, "file_predefiniti"), predefiniti])
        linea, servizio = os.path.join(sorgenti, "Grande_linea.txt"), os.path.join(sorgenti, "Grande_Treno-.txt")
        uscite = os.path.join(radice, "uscite")
        processo([programma, "compile", linea, servizio, "--out", uscite])
        tre = sorted(os.path.join(uscite, f) for f in os.listdir(uscite))
        otto = sorted(os.path.join(predefiniti, f) for f in os.listdir(predefiniti))
        if len(tre) != 3 or len(otto) != 8:
            sys.exit("expected 3 compiled files and 8 files of the built-in run")
        geometria = os.path.getsize(os.path.join(uscite, "Grande_linea.dat"))
        lavoro = Lavoro(radice)

        compila = lambda d: processo([programma, "compile", linea, servizio, "--out", d])
        p, r = coppie(a.pairs, lavoro, compila, lambda d: copia_durevole(cp, sync, tre, d))
        ok &= riassunto("compile of the largest line", p, r, "durable copy of its 3 files", 1.5)
        if os.path.exists("/usr/bin/time"):
            picchi = []
            for _ in range(5):
                d = lavoro.nuova()
                picchi.append(memoria_massima([programma, "compile", linea, servizio, "--out", d]))
                lavoro.pulisci([d])
            memoria = statistics.median(picchi)
            print("  peak memory: median of 5 runs %.1f MiB, %.2f times the geometry file (%.1f MiB); target 1.10: %s" % (
                memoria / 2**20, memoria / geometria, geometria / 2**20, "holds" if memoria <= 1.1 * geometria else "MISSED"))
            ok &= memoria <= 1.1 * geometria
        else:
            print("  peak memory: not measured, it needs GNU time as /usr/bin/time")
        _, solo_cp = coppie(a.pairs, lavoro, compila, lambda d: processo([cp] + tre + [d + "/"]))
        print("  plain cp of the 3 files: median %.1f ms" % (statistics.median(x[0] for x in solo_cp) * 1e3))

        p, r = coppie(a.pairs, lavoro, lambda d: processo([programma, "--dir", d]), lambda d: copia_durevole(cp, sync, otto, d))
        ok &= riassunto("built-in run", p, r, "durable copy of its 8 files", 1.0)

        p, r = coppie(a.pairs, lavoro, lambda d: processo([programma, "check", linea, servizio]), compila)
        ok &= riassunto("check of the largest line", p, r, "its compile", 1.1)
    print("load average after: %.2f %.2f %.2f" % os.getloadavg())
    return 0 if ok else 2


if __name__ == "__main__":
    sys.exit(main())
