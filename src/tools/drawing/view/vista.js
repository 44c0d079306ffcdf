// The route viewer: draws the data the page carries into two canvases (the
// plan, and the views along the line) and keeps them linked. Plain script,
// no library: the page must work opened from disk with no network.
(function () {
  "use strict";

  const D = JSON.parse(document.getElementById("dati").textContent);
  const FINE = D.lunghezza;  // the line's end; the run-out follows it
  const TOTALE = Math.max(D.metri, FINE, 1);
  const CARATTERE = '12px "DejaVu Sans", "Segoe UI", Arial, sans-serif';
  const CARATTERE_PICCOLO = '11px "DejaVu Sans", "Segoe UI", Arial, sans-serif';

  const COLORE = {
    1: "#1e8449", 2: "#ba4a00", 3: "#ba4a00", 4: "#e67e22", 5: "#f5b041", 6: "#c0392b",
    10: "#1f6fb2", 11: "#7d6608", 12: "#616a6b", 13: "#aab7b8", 14: "#7d3c98",
  };
  const TRACCIA = "#2c3e50", CODA = "#95a5a6", QUOTA = "#8a5a2b", LIMITE = "#c0392b", ADERENZA = "#117a65";
  const RALLENTAMENTO = "#e67e22", CURSORE = "#d4ac0d";

  // ---- data ---------------------------------------------------------------

  const oggetti = D.oggetti.map(function (r, i) {
    return { indice: i, cella: r[0], tipo: r[1], metri: r[2], da: r[3], a: r[4], etichetta: r[5], valori: r[6] };
  });
  const stazioni = D.stazioni.map(function (r) {
    return { numero: r[0], nome: r[1], tipo: r[2], posizione: r[3], inizio: r[4], fine: r[5], orario: r[6], cella: r[7] };
  });
  const rallentamenti = D.rallentamenti.map(function (r) {
    return { inizio: r[0], fine: r[1], velocita: r[2], avviso: r[3], cellaInizio: r[4], cellaFine: r[5] };
  });
  // The start of each restriction by its cell.
  const inizioInCella = {};
  oggetti.forEach(function (o) { if (o.tipo === 3) inizioInCella[o.cella] = o; });
  const tratti = function (v) { return v.map(function (r) { return { da: r[0], a: r[1], v: r[2] }; }); };
  const pendenze = tratti(D.pendenze), velocita = tratti(D.velocita), aderenza = tratti(D.aderenza);
  const montagne = D.montagne.map(function (r) { return { da: r[0], a: r[1], tipo: r[2], segnalata: !!r[3] }; });

  function nomeTipo(t) { return D.tipi[t] || "kind " + t; }
  // A tick a hair before the start is the start, not "-0.0 km".
  function km(m, cifre) { return (Math.abs(m) < 0.5 ? 0 : m / 1000).toFixed(cifre === undefined ? 3 : cifre) + " km"; }
  function orarioBreve(t) { return t.slice(-3) === ":00" ? t.slice(0, -3) : t; }

  // The run that holds metre m, by bisection.
  function trattoA(lista, m) {
    let lo = 0, hi = lista.length - 1;
    if (hi < 0) return null;
    while (lo < hi) {
      const mezzo = (lo + hi + 1) >> 1;
      if (lista[mezzo].da <= m) lo = mezzo; else hi = mezzo - 1;
    }
    return lista[lo];
  }

  // Altitude from the gradients: per mille over each run.
  const quote = [0];
  for (let i = 0; i < pendenze.length; i++) quote.push(quote[i] + pendenze[i].v * (pendenze[i].a - pendenze[i].da) / 1000);
  function quotaA(m) {
    if (!pendenze.length) return 0;
    let lo = 0, hi = pendenze.length - 1;
    while (lo < hi) {
      const mezzo = (lo + hi + 1) >> 1;
      if (pendenze[mezzo].da <= m) lo = mezzo; else hi = mezzo - 1;
    }
    const t = pendenze[lo];
    return quote[lo] + t.v * (Math.min(Math.max(m, t.da), t.a) - t.da) / 1000;
  }

  // ---- lanes of objects ------------------------------------------------------

  const CORSIE = [
    { nome: "Stations", tipi: [10] },
    { nome: "Signals", tipi: [1] },
    { nome: "Speed boards", tipi: [6] },
    { nome: "Sign boards", tipi: [14] },
    { nome: "Restrictions", tipi: [3, 2, 4, 5] },
    { nome: "Abatement", tipi: [12, 13] },
    { nome: "Mountains", tipi: [11] },
  ];
  // Each lane holds items: a mark at x (metres), maybe a bar [x0, x1], a label.
  CORSIE.forEach(function (c) { c.voci = []; });
  function corsiaDi(tipo) {
    for (const c of CORSIE) if (c.tipi.indexOf(tipo) >= 0) return c;
    return CORSIE[5];
  }
  const perStazione = {};
  stazioni.forEach(function (s) { perStazione[s.numero] = s; });
  const perInizio = {};
  rallentamenti.forEach(function (r) { perInizio[r.cellaInizio] = r; });
  oggetti.forEach(function (o) {
    const c = corsiaDi(o.tipo);
    if (o.tipo === 10) {
      const s = perStazione[Number(o.valori[0] && o.valori[0][1])];
      const etichetta = s ? s.nome + " " + orarioBreve(s.orario) : o.etichetta;
      c.voci.push({ x: o.metri, x0: o.da, x1: o.a, etichetta: etichetta, oggetto: o, forma: "stazione" });
    } else if (o.tipo === 3) {
      const r = perInizio[o.cella];
      c.voci.push({ x: o.metri, x0: o.metri, x1: r ? Math.max(r.fine, o.metri) : o.metri, etichetta: o.etichetta, oggetto: o, forma: "rallentamento" });
    } else if (o.tipo === 2) {
      c.voci.push({ x: o.metri, etichetta: "", oggetto: o, forma: "fine" });
    } else if (o.tipo === 5 || o.tipo === 11) {
      c.voci.push({ x: o.metri, etichetta: "", oggetto: o, forma: "punto" });
    } else {
      c.voci.push({ x: o.metri, etichetta: o.etichetta, oggetto: o, forma: o.tipo === 4 ? "triangolo" : "segno" });
    }
  });
  montagne.forEach(function (m) {
    CORSIE[6].voci.push({
      x: m.da, x0: m.da, x1: m.a, etichetta: "type " + m.tipo + (m.segnalata ? ", markers" : ""), forma: "montagna",
      oggetto: { tipo: -1, nomeProprio: "mountain range", metri: m.da, da: m.da, a: m.a - 1, cella: Math.round(m.da / 50),
        etichetta: "type " + m.tipo, valori: [["mountain type", String(m.tipo)], ["from", m.da + " m"], ["to", m.a + " m"], ["markers", m.segnalata ? "every 4th cell" : "none"]] },
    });
  });
  CORSIE.forEach(function (c) { c.voci.sort(function (a, b) { return a.x - b.x; }); });

  // ---- canvases ---------------------------------------------------------------

  function prepara(tela, altezza) {
    const r = window.devicePixelRatio || 1;
    const larghezza = tela.clientWidth;
    tela.style.height = altezza + "px";
    tela.width = Math.round(larghezza * r);
    tela.height = Math.round(altezza * r);
    const g = tela.getContext("2d");
    g.setTransform(r, 0, 0, r, 0, 0);
    return { g: g, w: larghezza, h: altezza };
  }

  const misure = new Map();
  function larghezzaTesto(g, t) {
    const chiave = g.font + "\u0000" + t;
    let w = misure.get(chiave);
    if (w === undefined) {
      w = g.measureText(t).width;
      misure.set(chiave, w);
    }
    return w;
  }

  // Boxes already taken by labels in the frame being drawn; a label that
  // would overlap one is left out.
  function Occupati() { this.riquadri = []; }
  Occupati.prototype.libero = function (b) {
    for (const r of this.riquadri) if (b.x0 < r.x1 && r.x0 < b.x1 && b.y0 < r.y1 && r.y0 < b.y1) return false;
    return true;
  };
  Occupati.prototype.prendi = function (b) { this.riquadri.push(b); };

  function passoBello(minimo) {
    const p = Math.pow(10, Math.floor(Math.log10(Math.max(minimo, 1e-9))));
    for (const k of [1, 2, 5, 10]) if (k * p >= minimo) return k * p;
    return 10 * p;
  }

  // ---- state shared by the views ------------------------------------------------

  const stato = {
    cursore: null,     // metre pointed at, in any view
    scelto: null,      // the object whose details are kept
    sotto: null,       // the object under the pointer
    lungo: { da: 0, a: 1 },
    pianta: null,      // { cx, cy, scala }
    disegni: 0,
  };
  const api = (window.vistaLinea = {
    pronto: false,
    etichette: { lungo: [], pianta: [] },  // labels drawn in the last frame, with their boxes
    mostraLungo: function (da, a) { impostaLungo(da, a); ridisegna(); },
    mostraPianta: function (m, scala) { centraPianta(m, scala); ridisegna(); },
    cursore: function (m) { stato.cursore = m; ridisegna(); },
    // One frame drawn at once, for the benchmark; its time in ms.
    disegnaOra: function () { const t = performance.now(); disegnaTutto(); return performance.now() - t; },
    // Where metre m of a lane lies on the page, for a pointer to go there.
    punto: function (m, corsia) {
      const r = telaLungo.getBoundingClientRect(), c = CORSIE.find(function (c) { return c.nome === corsia; });
      return { x: r.left + xDi(m), y: r.top + (c ? c.pannello.y + 12 : PANNELLI[1].y + 20) };
    },
  });

  function vistaIntera() {
    const margine = Math.max(FINE * 0.03, 200);
    return { da: -margine / 3, a: Math.min(FINE + margine, TOTALE) };
  }
  function impostaLungo(da, a) {
    const minimo = 100, inizio = -0.02 * TOTALE, limite = TOTALE * 1.02;
    let span = Math.max(minimo, Math.min(a - da, limite - inizio));
    da = Math.max(inizio, Math.min(da, limite - span));
    stato.lungo = { da: da, a: da + span };
  }
  stato.lungo = vistaIntera();

  let programmato = false;
  function ridisegna() {
    if (programmato) return;
    programmato = true;
    requestAnimationFrame(function () {
      programmato = false;
      disegnaTutto();
    });
  }

  // ---- the views along the line -------------------------------------------------------

  const telaLungo = document.getElementById("lungo");
  const SINISTRA = 112, DESTRA = 16;
  const PANNELLI = (function () {
    const p = [];
    let y = 0;
    function aggiungi(id, nome, h) { p.push({ id: id, nome: nome, y: y, h: h }); y += h; }
    aggiungi("asse", "", 30);
    aggiungi("quota", "Altitude", 120);
    aggiungi("pendenza", "Gradient ‰", 22);
    aggiungi("velocita", "Speed limit", 110);
    aggiungi("aderenza", "Adhesion", 56);
    CORSIE.forEach(function (c, i) { aggiungi("corsia" + i, c.nome, 46); c.pannello = p[p.length - 1]; });
    p.altezza = y + 6;
    return p;
  })();
  function pannello(id) { return PANNELLI.find(function (p) { return p.id === id; }); }

  let lungo = null;  // { g, w, h }
  function xDi(m) { return SINISTRA + (m - stato.lungo.da) / (stato.lungo.a - stato.lungo.da) * (lungo.w - SINISTRA - DESTRA); }
  function mDi(x) { return stato.lungo.da + (x - SINISTRA) / (lungo.w - SINISTRA - DESTRA) * (stato.lungo.a - stato.lungo.da); }

  const bersagli = [];  // what the pointer can hit in the long view: { x0, x1, y0, y1, oggetto }

  function disegnaLungo() {
    lungo = prepara(telaLungo, PANNELLI.altezza);
    const g = lungo.g, w = lungo.w;
    const destra = w - DESTRA;
    bersagli.length = 0;
    api.etichette.lungo = [];
    g.clearRect(0, 0, w, lungo.h);
    g.font = CARATTERE;
    g.textBaseline = "middle";

    // Panel frames and names.
    PANNELLI.forEach(function (p, i) {
      if (i > 0) {
        g.fillStyle = i % 2 ? "#fbfcfc" : "#ffffff";
        g.fillRect(SINISTRA, p.y, destra - SINISTRA, p.h);
        g.strokeStyle = "#e5e8e8";
        g.beginPath(); g.moveTo(0, p.y + 0.5); g.lineTo(destra, p.y + 0.5); g.stroke();
      }
      g.fillStyle = "#34495e";
      g.textAlign = "left";
      g.fillText(p.nome, 6, p.y + 12);
    });

    // Run-out: shaded after the line's end, in every panel.
    const xf = xDi(FINE), xt = xDi(TOTALE);
    if (xf < destra) {
      g.save();
      g.beginPath(); g.rect(SINISTRA, 0, destra - SINISTRA, lungo.h); g.clip();
      g.fillStyle = "rgba(127,140,141,0.16)";
      g.fillRect(xf, PANNELLI[1].y, Math.min(xt, destra) - xf, lungo.h - PANNELLI[1].y);
      g.strokeStyle = "rgba(127,140,141,0.25)";
      g.beginPath();
      for (let x = xf - lungo.h; x < Math.min(xt, destra); x += 10) {
        g.moveTo(Math.max(x, xf), PANNELLI[1].y + Math.max(0, xf - x));
        g.lineTo(Math.min(x + lungo.h, xt), PANNELLI[1].y + Math.min(lungo.h, xt - x));
      }
      g.stroke();
      g.restore();
    }

    disegnaAsse(g, destra);
    disegnaQuota(g, destra);
    disegnaPendenze(g, destra);
    disegnaVelocita(g, destra);
    disegnaAderenza(g, destra);
    CORSIE.forEach(function (c) { disegnaCorsia(g, c, destra); });

    // The line's end, across every panel.
    if (xf >= SINISTRA && xf <= destra) {
      g.strokeStyle = "#c0392b";
      g.setLineDash([5, 3]);
      g.beginPath(); g.moveTo(xf + 0.5, PANNELLI[0].y + 16); g.lineTo(xf + 0.5, lungo.h); g.stroke();
      g.setLineDash([]);
    }

    // The cursor, shared with the plan.
    if (stato.cursore !== null) {
      const xc = xDi(stato.cursore);
      if (xc >= SINISTRA && xc <= destra) {
        g.strokeStyle = CURSORE;
        g.lineWidth = 2;
        g.beginPath(); g.moveTo(xc, PANNELLI[0].y + 18); g.lineTo(xc, lungo.h); g.stroke();
        g.lineWidth = 1;
      }
    }
    const evidenza = stato.sotto || stato.scelto;
    if (evidenza) {
      const xo = xDi(evidenza.metri);
      if (xo >= SINISTRA - 4 && xo <= destra + 4) {
        g.strokeStyle = "rgba(212,172,13,0.9)";
        g.lineWidth = 2;
        g.strokeRect(xo - 6, PANNELLI[1].y, 12, lungo.h - PANNELLI[1].y - 2);
        g.lineWidth = 1;
      }
    }
  }

  function disegnaAsse(g, destra) {
    const p = PANNELLI[0];
    const metriPerPx = (stato.lungo.a - stato.lungo.da) / (destra - SINISTRA);
    g.font = CARATTERE_PICCOLO;
    const campione = larghezzaTesto(g, "1000.0 km") + 18;
    const passo = passoBello(campione * metriPerPx);
    const cifre = passo >= 1000 ? 0 : passo >= 100 ? 1 : passo >= 10 ? 2 : 3;
    g.fillStyle = "#34495e";
    g.strokeStyle = "#aab7b8";
    g.textAlign = "center";
    const occupati = new Occupati();
    // The line's end first: its label wins over a km label.
    const xf = xDi(FINE);
    if (xf >= SINISTRA && xf <= destra) {
      const t = "end of line " + km(FINE);
      const wt = larghezzaTesto(g, t);
      const x0 = Math.min(Math.max(xf - wt / 2, SINISTRA), destra - wt);
      g.fillStyle = "#c0392b";
      g.fillText(t, x0 + wt / 2, p.y + 8);
      occupati.prendi({ x0: x0 - 4, x1: x0 + wt + 4, y0: p.y, y1: p.y + 16 });
      api.etichette.lungo.push({ testo: t, x0: x0, x1: x0 + wt, y0: p.y, y1: p.y + 16 });
      const xt = xDi(TOTALE);
      const tc = "run-out, " + (TOTALE - FINE) + " m";
      const wc = larghezzaTesto(g, tc);
      const xc = (Math.max(xf, SINISTRA) + Math.min(xt, destra)) / 2;
      const bc = { x0: xc - wc / 2 - 4, x1: xc + wc / 2 + 4, y0: p.y + 16, y1: p.y + 30 };
      if (Math.min(xt, destra) - xf > wc + 10 && occupati.libero(bc)) {
        g.fillStyle = "#7f8c8d";
        g.fillText(tc, xc, p.y + 23);
        occupati.prendi(bc);
      }
      g.fillStyle = "#34495e";
    }
    const primo = Math.ceil(stato.lungo.da / passo) * passo;
    for (let m = primo; m <= stato.lungo.a; m += passo) {
      const x = xDi(m);
      if (x < SINISTRA - 0.5 || x > destra + 0.5) continue;
      g.beginPath(); g.moveTo(x + 0.5, p.y + 26); g.lineTo(x + 0.5, p.y + p.h); g.stroke();
      // The label stands above its tick, and never left of the panels.
      const t = km(m, cifre);
      const wt = larghezzaTesto(g, t);
      const cx = Math.max(x, SINISTRA + wt / 2);
      const b = { x0: cx - wt / 2 - 3, x1: cx + wt / 2 + 3, y0: p.y + 12, y1: p.y + 26 };
      if (b.x1 > destra + 12 || !occupati.libero(b)) continue;
      g.fillText(t, cx, p.y + 19);
      occupati.prendi(b);
      api.etichette.lungo.push({ testo: t, x0: b.x0, x1: b.x1, y0: b.y0, y1: b.y1 });
    }
    g.font = CARATTERE;
  }

  function visibili(lista) {
    return lista.filter(function (t) { return t.a > stato.lungo.da && t.da < stato.lungo.a; });
  }

  function disegnaQuota(g, destra) {
    const p = pannello("quota");
    const tr = visibili(pendenze);
    if (!tr.length) return;
    let min = Infinity, max = -Infinity;
    const punti = [];
    const da = Math.max(stato.lungo.da, 0), a = Math.min(stato.lungo.a, TOTALE);
    punti.push([da, quotaA(da)]);
    tr.forEach(function (t) { if (t.da > da && t.da < a) punti.push([t.da, quotaA(t.da)]); });
    punti.push([a, quotaA(a)]);
    punti.forEach(function (q) { min = Math.min(min, q[1]); max = Math.max(max, q[1]); });
    if (max - min < 2) { const c = (max + min) / 2; min = c - 1; max = c + 1; }
    const yDi = function (q) { return p.y + p.h - 8 - (q - min) / (max - min) * (p.h - 38); };
    g.beginPath();
    g.moveTo(xDi(punti[0][0]), p.y + p.h);
    punti.forEach(function (q) { g.lineTo(xDi(q[0]), yDi(q[1])); });
    g.lineTo(xDi(punti[punti.length - 1][0]), p.y + p.h);
    g.closePath();
    g.fillStyle = "rgba(138,90,43,0.13)";
    g.fill();
    g.beginPath();
    punti.forEach(function (q, i) { if (i) g.lineTo(xDi(q[0]), yDi(q[1])); else g.moveTo(xDi(q[0]), yDi(q[1])); });
    g.strokeStyle = QUOTA;
    g.lineWidth = 1.6;
    g.stroke();
    g.lineWidth = 1;
    g.fillStyle = "#5d6d7e";
    g.textAlign = "right";
    g.font = CARATTERE_PICCOLO;
    g.fillText(max.toFixed(1) + " m", SINISTRA - 6, yDi(max));
    g.fillText(min.toFixed(1) + " m", SINISTRA - 6, yDi(min));
    g.font = CARATTERE;
  }

  function coloreGradiente(v) {
    if (v === 0) return "#eaeded";
    const k = Math.min(Math.abs(v) / 30, 1);
    return v > 0 ? "rgba(203,67,53," + (0.18 + 0.6 * k) + ")" : "rgba(40,116,166," + (0.18 + 0.6 * k) + ")";
  }

  function disegnaPendenze(g, destra) {
    const p = pannello("pendenza");
    g.font = CARATTERE_PICCOLO;
    g.textAlign = "center";
    visibili(pendenze).forEach(function (t) {
      const x0 = Math.max(xDi(t.da), SINISTRA), x1 = Math.min(xDi(t.a), destra);
      if (x1 - x0 <= 0) return;
      g.fillStyle = coloreGradiente(t.v);
      g.fillRect(x0, p.y + 3, x1 - x0, p.h - 6);
      if (x1 - x0 >= 3) {
        g.strokeStyle = "#fff";
        g.beginPath(); g.moveTo(x0 + 0.5, p.y + 3); g.lineTo(x0 + 0.5, p.y + p.h - 3); g.stroke();
      }
      const testo = (t.v > 0 ? "+" : t.v < 0 ? "−" : "") + Math.abs(t.v) + "‰";
      const wt = larghezzaTesto(g, testo);
      if (x1 - x0 >= wt + 6) {
        g.fillStyle = Math.abs(t.v) > 18 ? "#fff" : "#1b2631";
        g.fillText(testo, (x0 + x1) / 2, p.y + p.h / 2);
        api.etichette.lungo.push({ testo: testo, x0: (x0 + x1 - wt) / 2, x1: (x0 + x1 + wt) / 2, y0: p.y + 3, y1: p.y + p.h - 3 });
      }
      bersagli.push({ x0: x0, x1: x1, y0: p.y, y1: p.y + p.h, oggetto: {
        tipo: -1, nomeProprio: "gradient", metri: t.da, da: t.da, a: t.a - 1, cella: t.da / 50, etichetta: testo,
        valori: [["gradient", testo], ["from", t.da + " m"], ["to", t.a + " m"], ["cells", t.da / 50 + " to " + (t.a / 50 - 1)]] } });
    });
    g.font = CARATTERE;
  }

  // Heights in a chart panel: the top stays free for the panel's name.
  function altezzaDi(p, vmax) {
    return function (v) { return p.y + p.h - 6 - Math.max(0, Math.min(v, vmax)) / vmax * (p.h - 36); };
  }

  // A step line of runs, with the value written at each change where it fits.
  function scalino(g, p, lista, vmax, colore, unita, destra, occupati) {
    const yDi = altezzaDi(p, vmax);
    const tr = visibili(lista);
    g.strokeStyle = colore;
    g.lineWidth = 1.8;
    g.beginPath();
    tr.forEach(function (t, i) {
      const x0 = Math.max(xDi(t.da), SINISTRA - 2), x1 = Math.min(xDi(t.a), destra + 2), y = yDi(t.v);
      if (i) g.lineTo(x0, y); else g.moveTo(x0, y);
      g.lineTo(x1, y);
    });
    g.stroke();
    g.lineWidth = 1;
    g.font = CARATTERE_PICCOLO;
    g.textAlign = "left";
    g.fillStyle = colore;
    tr.forEach(function (t) {
      const x0 = Math.max(xDi(t.da), SINISTRA) + 3, testo = t.v + unita, wt = larghezzaTesto(g, testo);
      const b = { x0: x0 - 2, x1: x0 + wt + 2, y0: yDi(t.v) - 15, y1: yDi(t.v) - 1 };
      if (b.x1 > destra || b.y0 < p.y + 2 || !occupati.libero(b)) return;
      g.fillText(testo, x0, yDi(t.v) - 8);
      occupati.prendi(b);
      api.etichette.lungo.push({ testo: testo, x0: b.x0, x1: b.x1, y0: b.y0, y1: b.y1 });
    });
    g.font = CARATTERE;
  }

  const VMAX = Math.max(10, velocita.reduce(function (a, t) { return Math.max(a, t.v); }, 0),
    rallentamenti.reduce(function (a, r) { return Math.max(a, r.velocita); }, 0));

  function disegnaVelocita(g, destra) {
    const p = pannello("velocita");
    const yDi = altezzaDi(p, VMAX), occupati = new Occupati();
    g.font = CARATTERE_PICCOLO;
    g.fillStyle = "#5d6d7e";
    g.textAlign = "right";
    g.fillText(VMAX + " km/h", SINISTRA - 6, yDi(VMAX));
    g.fillText("0", SINISTRA - 6, yDi(0));
    g.font = CARATTERE;
    // Restrictions: a band from their start to their end at their speed,
    // the warning board as a triangle with a dotted lead to the start.
    rallentamenti.forEach(function (r) {
      const x0 = xDi(r.inizio), x1 = Math.max(xDi(r.fine), x0 + 2), y = yDi(r.velocita);
      if (x1 < SINISTRA || x0 > destra) {
        if (r.avviso < 0 || xDi(r.avviso) > destra || x0 < SINISTRA) return;
      }
      g.fillStyle = "rgba(230,126,34,0.22)";
      g.fillRect(Math.max(x0, SINISTRA), y, Math.min(x1, destra) - Math.max(x0, SINISTRA), p.y + p.h - 6 - y);
      g.strokeStyle = RALLENTAMENTO;
      g.lineWidth = 2.2;
      g.beginPath(); g.moveTo(Math.max(x0, SINISTRA), y); g.lineTo(Math.min(x1, destra), y); g.stroke();
      g.lineWidth = 1;
      const oggetto = inizioInCella[r.cellaInizio];
      if (oggetto) bersagli.push({ x0: x0 - 3, x1: x1 + 3, y0: y - 6, y1: p.y + p.h, oggetto: oggetto });
      if (r.avviso >= 0) {
        const xa = xDi(r.avviso), ya = p.y + 24;
        if (xa >= SINISTRA && xa <= destra) {
          g.setLineDash([2, 3]);
          g.strokeStyle = RALLENTAMENTO;
          g.beginPath(); g.moveTo(xa, ya); g.lineTo(Math.min(x0, destra), ya); g.lineTo(Math.min(x0, destra), y); g.stroke();
          g.setLineDash([]);
          triangolo(g, xa, ya, 6, RALLENTAMENTO);
          occupati.prendi({ x0: xa - 7, x1: xa + 7, y0: ya - 7, y1: ya + 6 });
        }
      }
      g.font = CARATTERE_PICCOLO;
      // The longest of these that fits inside the band.
      for (const testo of [r.velocita + " km/h, " + (r.fine - r.inizio) + " m", r.velocita + " km/h", String(r.velocita)]) {
        const wt = larghezzaTesto(g, testo);
        const b = { x0: (x0 + x1 - wt) / 2 - 2, x1: (x0 + x1 + wt) / 2 + 2, y0: y + 2, y1: y + 16 };
        if (x1 - x0 < wt + 6 || x0 < SINISTRA || x1 > destra || b.y1 > p.y + p.h || !occupati.libero(b)) continue;
        g.fillStyle = "#a04000";
        g.textAlign = "center";
        g.fillText(testo, (x0 + x1) / 2, y + 9);
        occupati.prendi(b);
        api.etichette.lungo.push({ testo: testo, x0: b.x0, x1: b.x1, y0: b.y0, y1: b.y1 });
        break;
      }
      g.font = CARATTERE;
    });
    scalino(g, p, velocita, VMAX, LIMITE, " km/h", destra, occupati);
  }

  function disegnaAderenza(g, destra) {
    const p = pannello("aderenza");
    const vmax = Math.max(1, aderenza.reduce(function (a, t) { return Math.max(a, t.v); }, 0));
    scalino(g, p, aderenza, vmax, ADERENZA, "", destra, new Occupati());
  }

  function triangolo(g, x, y, r, colore) {
    g.fillStyle = colore;
    g.beginPath(); g.moveTo(x, y - r); g.lineTo(x + r, y + r * 0.8); g.lineTo(x - r, y + r * 0.8); g.closePath(); g.fill();
  }

  function segno(g, v, x, y) {
    const o = v.oggetto, colore = COLORE[o.tipo] || "#7f8c8d";
    g.fillStyle = colore;
    g.strokeStyle = colore;
    switch (v.forma) {
      case "triangolo": triangolo(g, x, y, 6, colore); break;
      case "fine":
        g.lineWidth = 2;
        g.beginPath(); g.moveTo(x - 5, y - 5); g.lineTo(x + 5, y + 5); g.moveTo(x + 5, y - 5); g.lineTo(x - 5, y + 5); g.stroke();
        g.lineWidth = 1;
        break;
      case "punto": g.beginPath(); g.arc(x, y, 2.5, 0, 2 * Math.PI); g.fill(); break;
      default:
        if (o.tipo === 1) {
          g.fillRect(x - 0.75, y - 7, 1.5, 14);
          g.beginPath(); g.arc(x, y - 5, 3.5, 0, 2 * Math.PI); g.fill();
        } else if (o.tipo === 6) {
          g.fillRect(x - 4, y - 4, 8, 8);
        } else if (o.tipo === 14) {
          g.beginPath(); g.moveTo(x, y - 6); g.lineTo(x + 5, y); g.lineTo(x, y + 6); g.lineTo(x - 5, y); g.closePath(); g.fill();
        } else {
          g.fillRect(x - 1, y - 6, 2, 12);
        }
    }
  }

  // One lane: marks, bars, and labels in two rows; a label that finds no
  // room in either row is left out (its object still answers the pointer).
  function disegnaCorsia(g, c, destra) {
    const p = c.pannello, ySegno = p.y + 12, righe = [p.y + 27, p.y + 40];
    const fineRiga = righe.map(function () { return -Infinity; });
    const lo = stato.lungo.da, hi = stato.lungo.a;
    const margineM = 40 * (hi - lo) / (destra - SINISTRA);
    g.font = CARATTERE_PICCOLO;
    g.textBaseline = "middle";
    g.save();
    g.beginPath(); g.rect(SINISTRA, p.y, destra - SINISTRA, p.h); g.clip();
    for (const v of c.voci) {
      const x0m = v.x0 !== undefined ? v.x0 : v.x, x1m = v.x1 !== undefined ? v.x1 : v.x;
      if (x1m < lo - margineM || x0m > hi + margineM) continue;
      const x = xDi(v.x);
      if (v.x0 !== undefined) {
        const b0 = xDi(v.x0), b1 = Math.max(xDi(v.x1), b0 + 2);
        const colore = v.forma === "montagna" ? "rgba(125,102,8,0.35)" : v.forma === "rallentamento" ? "rgba(230,126,34,0.35)" : "rgba(31,111,178,0.25)";
        g.fillStyle = colore;
        g.fillRect(b0, ySegno - 4, b1 - b0, 8);
        bersagli.push({ x0: b0 - 2, x1: b1 + 2, y0: p.y, y1: p.y + p.h, oggetto: v.oggetto, ampio: true });
      }
      if (v.forma === "stazione") triangolo(g, x, ySegno, 5, COLORE[10]);
      else if (v.forma === "rallentamento") segno(g, { oggetto: v.oggetto, forma: "segno" }, x, ySegno);
      else if (v.forma !== "montagna") segno(g, v, x, ySegno);
      if (v.forma !== "montagna") bersagli.push({ x0: x - 5, x1: x + 5, y0: p.y, y1: p.y + p.h, oggetto: v.oggetto });
      if (!v.etichetta) continue;
      const wt = larghezzaTesto(g, v.etichetta);
      let cx = v.forma === "montagna" ? (Math.max(xDi(v.x0), SINISTRA) + Math.min(xDi(v.x1), destra)) / 2 : x;
      let l0 = Math.max(SINISTRA + 1, Math.min(cx - wt / 2, destra - wt - 1));
      if (Math.abs(l0 + wt / 2 - cx) > wt / 2 + 8) continue;  // its object is off screen
      for (let r = 0; r < righe.length; r++) {
        if (l0 < fineRiga[r] + 6) continue;
        g.fillStyle = v.forma === "montagna" ? "#7d6608" : COLORE[v.oggetto.tipo] || "#34495e";
        g.textAlign = "left";
        g.fillText(v.etichetta, l0, righe[r]);
        fineRiga[r] = l0 + wt;
        api.etichette.lungo.push({ testo: v.etichetta, corsia: c.nome, x0: l0, x1: l0 + wt, y0: righe[r] - 6, y1: righe[r] + 6 });
        break;
      }
    }
    g.restore();
    g.font = CARATTERE;
  }

  // ---- the plan -----------------------------------------------------------------

  const telaPianta = document.getElementById("pianta");
  let pianta = null;  // { g, w, h }
  // Levels of detail: the points as the page carries them, then thinner and
  // thinner copies; each frame draws the coarsest that still looks exact.
  const livelli = [];
  let riquadroLinea = null;
  if (D.pianta && D.pianta.m.length) {
    const base = D.pianta.m.map(function (m, i) { return { m: m, x: D.pianta.x[i], y: D.pianta.y[i] }; });
    livelli.push({ tolleranza: D.pianta.tolleranza, punti: base });
    let t = D.pianta.tolleranza;
    while (livelli[livelli.length - 1].punti.length > 300) {
      t *= 4;
      livelli.push({ tolleranza: t, punti: semplifica(livelli[livelli.length - 1].punti, t) });
    }
    livelli.forEach(function (l) { l.blocchi = blocchi(l.punti); });
    riquadroLinea = { x0: Infinity, y0: Infinity, x1: -Infinity, y1: -Infinity };
    base.forEach(function (p) {
      if (p.m > FINE && FINE > 0) return;
      riquadroLinea.x0 = Math.min(riquadroLinea.x0, p.x); riquadroLinea.x1 = Math.max(riquadroLinea.x1, p.x);
      riquadroLinea.y0 = Math.min(riquadroLinea.y0, p.y); riquadroLinea.y1 = Math.max(riquadroLinea.y1, p.y);
    });
    if (!isFinite(riquadroLinea.x0)) riquadroLinea = { x0: base[0].x, y0: base[0].y, x1: base[0].x, y1: base[0].y };
  }

  // Douglas-Peucker with a stack; the metre of the line's end is always kept.
  function semplifica(punti, tolleranza) {
    const n = punti.length;
    if (n < 3) return punti.slice();
    const tieni = new Uint8Array(n);
    tieni[0] = tieni[n - 1] = 1;
    for (let i = 0; i < n; i++) if (punti[i].m === FINE) tieni[i] = 1;
    const pila = [];
    let prec = 0;
    for (let i = 1; i < n; i++) if (tieni[i]) { pila.push([prec, i]); prec = i; }
    while (pila.length) {
      const ab = pila.pop(), a = punti[ab[0]], b = punti[ab[1]];
      const dx = b.x - a.x, dy = b.y - a.y, l2 = dx * dx + dy * dy;
      let peggiore = -1, dove = -1;
      for (let i = ab[0] + 1; i < ab[1]; i++) {
        const p = punti[i];
        let t = l2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / l2 : 0;
        t = t < 0 ? 0 : t > 1 ? 1 : t;
        const ex = p.x - a.x - t * dx, ey = p.y - a.y - t * dy, d = ex * ex + ey * ey;
        if (d > peggiore) { peggiore = d; dove = i; }
      }
      if (dove >= 0 && peggiore > tolleranza * tolleranza) {
        tieni[dove] = 1;
        pila.push([ab[0], dove], [dove, ab[1]]);
      }
    }
    return punti.filter(function (_, i) { return tieni[i]; });
  }

  // Runs of 128 segments with their bounding box, to skip what is off screen.
  function blocchi(punti) {
    const r = [];
    for (let i = 0; i < punti.length - 1; i += 128) {
      const j = Math.min(i + 128, punti.length - 1);
      let x0 = Infinity, y0 = Infinity, x1 = -Infinity, y1 = -Infinity;
      for (let k = i; k <= j; k++) {
        const p = punti[k];
        if (p.x < x0) x0 = p.x; if (p.x > x1) x1 = p.x; if (p.y < y0) y0 = p.y; if (p.y > y1) y1 = p.y;
      }
      r.push({ i: i, j: j, x0: x0, y0: y0, x1: x1, y1: y1 });
    }
    return r;
  }

  // The plan's point at metre m, interpolated between the points carried.
  function puntoA(m) {
    const p = livelli[0].punti;
    if (m <= p[0].m) return p[0];
    if (m >= p[p.length - 1].m) return p[p.length - 1];
    let lo = 0, hi = p.length - 1;
    while (hi - lo > 1) {
      const mezzo = (lo + hi) >> 1;
      if (p[mezzo].m <= m) lo = mezzo; else hi = mezzo;
    }
    const a = p[lo], b = p[hi], t = (m - a.m) / (b.m - a.m || 1);
    return { m: m, x: a.x + t * (b.x - a.x), y: a.y + t * (b.y - a.y) };
  }
  // The direction of the track at metre m, as a unit vector.
  function direzioneA(m) {
    const a = puntoA(m - 5), b = puntoA(m + 5), l = Math.hypot(b.x - a.x, b.y - a.y) || 1;
    return { x: (b.x - a.x) / l, y: (b.y - a.y) / l };
  }

  function adattaPianta() {
    if (!riquadroLinea || !pianta) return;
    const w = riquadroLinea.x1 - riquadroLinea.x0, h = riquadroLinea.y1 - riquadroLinea.y0;
    const scala = Math.min((pianta.w - 80) / Math.max(w, 1), (pianta.h - 60) / Math.max(h, 1));
    stato.pianta = { cx: (riquadroLinea.x0 + riquadroLinea.x1) / 2, cy: (riquadroLinea.y0 + riquadroLinea.y1) / 2, scala: scala };
  }
  function centraPianta(m, scala) {
    if (!livelli.length) return;
    if (!stato.pianta) adattaPianta();
    const p = puntoA(m);
    stato.pianta.cx = p.x;
    stato.pianta.cy = p.y;
    if (scala) stato.pianta.scala = scala;
  }
  function pxP(x) { return pianta.w / 2 + (x - stato.pianta.cx) * stato.pianta.scala; }
  function pyP(y) { return pianta.h / 2 - (y - stato.pianta.cy) * stato.pianta.scala; }

  function disegnaPianta() {
    pianta = prepara(telaPianta, telaPianta.clientHeight || 400);
    const g = pianta.g, w = pianta.w, h = pianta.h;
    api.etichette.pianta = [];
    g.clearRect(0, 0, w, h);
    g.font = CARATTERE;
    g.textBaseline = "middle";
    if (!livelli.length) {
      g.fillStyle = "#5d6d7e";
      g.textAlign = "center";
      g.fillText("No plan: the scenario was compiled without its line geometry file.", w / 2, h / 2);
      return;
    }
    if (!stato.pianta) adattaPianta();
    const s = stato.pianta.scala;
    // The coarsest level whose error stays under half a pixel.
    let livello = livelli[0];
    for (const l of livelli) if (l.tolleranza * s <= 0.5) livello = l;
    const vx0 = stato.pianta.cx - w / 2 / s, vx1 = stato.pianta.cx + w / 2 / s;
    const vy0 = stato.pianta.cy - h / 2 / s, vy1 = stato.pianta.cy + h / 2 / s;
    const punti = livello.punti;
    function tratto(colore, larghezza, tratteggio, daM, aM) {
      g.strokeStyle = colore;
      g.lineWidth = larghezza;
      g.setLineDash(tratteggio);
      g.beginPath();
      let aperto = false;
      for (const b of livello.blocchi) {
        if (b.x1 < vx0 || b.x0 > vx1 || b.y1 < vy0 || b.y0 > vy1 || punti[b.j].m < daM || punti[b.i].m > aM) { aperto = false; continue; }
        for (let k = b.i; k <= b.j; k++) {
          const p = punti[k];
          if (p.m < daM || p.m > aM) { aperto = false; continue; }
          if (aperto) g.lineTo(pxP(p.x), pyP(p.y)); else { g.moveTo(pxP(p.x), pyP(p.y)); aperto = true; }
        }
      }
      g.stroke();
      g.setLineDash([]);
      g.lineWidth = 1;
    }
    tratto("#ffffff", 7, [], -Infinity, Infinity);
    tratto(CODA, 2.5, [7, 5], FINE, Infinity);
    tratto(TRACCIA, 3, [], -Infinity, FINE);

    const occupati = new Occupati();
    const dentro = function (x, y) { return x > -20 && x < w + 20 && y > -20 && y < h + 20; };
    function etichetta(testo, x, y, colore, spinta) {
      const wt = larghezzaTesto(g, testo), ht = 14, d = spinta || 8;
      const prove = [[x + d, y - ht / 2], [x - d - wt, y - ht / 2], [x - wt / 2, y - d - ht], [x - wt / 2, y + d]];
      for (const q of prove) {
        const b = { x0: q[0] - 2, y0: q[1], x1: q[0] + wt + 2, y1: q[1] + ht };
        if (b.x0 < 2 || b.x1 > w - 2 || b.y0 < 2 || b.y1 > h - 2 || !occupati.libero(b)) continue;
        g.fillStyle = "rgba(255,255,255,0.85)";
        g.fillRect(b.x0, b.y0, b.x1 - b.x0, ht);
        g.fillStyle = colore;
        g.textAlign = "left";
        g.fillText(testo, q[0], q[1] + ht / 2);
        occupati.prendi(b);
        api.etichette.pianta.push({ testo: testo, x0: b.x0, x1: b.x1, y0: b.y0, y1: b.y1 });
        return true;
      }
      return false;
    }

    // Station areas along the track, and their marks.
    stazioni.forEach(function (st) {
      const passi = 24;
      g.strokeStyle = "rgba(31,111,178,0.55)";
      g.lineWidth = 7;
      g.beginPath();
      for (let i = 0; i <= passi; i++) {
        const q = puntoA(st.inizio + (st.fine - st.inizio) * i / passi);
        if (i) g.lineTo(pxP(q.x), pyP(q.y)); else g.moveTo(pxP(q.x), pyP(q.y));
      }
      g.stroke();
      g.lineWidth = 1;
    });
    // The line's end.
    const pf = puntoA(FINE), df = direzioneA(FINE);
    const xf = pxP(pf.x), yf = pyP(pf.y);
    g.strokeStyle = "#c0392b";
    g.lineWidth = 3;
    g.beginPath(); g.moveTo(xf - df.y * 9, yf - df.x * 9); g.lineTo(xf + df.y * 9, yf + df.x * 9); g.stroke();
    g.lineWidth = 1;
    occupati.prendi({ x0: xf - 9, x1: xf + 9, y0: yf - 9, y1: yf + 9 });
    stazioni.forEach(function (st) {
      const q = puntoA(st.posizione), x = pxP(q.x), y = pyP(q.y);
      g.fillStyle = COLORE[10];
      g.beginPath(); g.arc(x, y, 5, 0, 2 * Math.PI); g.fill();
      g.strokeStyle = "#fff"; g.lineWidth = 1.5; g.stroke(); g.lineWidth = 1;
      occupati.prendi({ x0: x - 5, x1: x + 5, y0: y - 5, y1: y + 5 });
    });
    // Objects as small dots once they stand apart.
    const metriPerPunto = 8 / s;
    if (metriPerPunto < 400) {
      oggetti.forEach(function (o) {
        if (o.tipo === 10 || o.tipo === 5 || o.tipo === 11) return;
        const q = puntoA(o.metri), x = pxP(q.x), y = pyP(q.y);
        if (!dentro(x, y)) return;
        g.fillStyle = COLORE[o.tipo] || "#7f8c8d";
        g.beginPath(); g.arc(x, y, 3, 0, 2 * Math.PI); g.fill();
      });
    }
    // Labels: the line's end and the stations first, then the km posts.
    g.font = CARATTERE;
    if (dentro(xf, yf)) etichetta("end of line " + km(FINE), xf, yf, "#c0392b", 12);
    stazioni.forEach(function (st) {
      const q = puntoA(st.posizione), x = pxP(q.x), y = pyP(q.y);
      if (dentro(x, y)) etichetta(st.nome, x, y, "#154360", 9);
    });
    g.font = CARATTERE_PICCOLO;
    const passo = passoBello(70 / s);
    const ultimo = Math.min(livelli[0].punti[livelli[0].punti.length - 1].m, TOTALE);
    if (ultimo / passo < 40000) {
      for (let m = passo; m <= ultimo; m += passo) {
        const q = puntoA(m), x = pxP(q.x), y = pyP(q.y);
        if (!dentro(x, y)) continue;
        const d = direzioneA(m);
        g.strokeStyle = m > FINE ? CODA : "#34495e";
        g.beginPath(); g.moveTo(x - d.y * 5, y - d.x * 5); g.lineTo(x + d.y * 5, y + d.x * 5); g.stroke();
        etichetta(km(m, passo >= 1000 ? 0 : passo >= 100 ? 1 : 2), x, y, m > FINE ? "#7f8c8d" : "#34495e", 7);
      }
    }
    g.font = CARATTERE;

    // The cursor and the object pointed at or chosen.
    const evidenza = stato.sotto || stato.scelto;
    if (evidenza) {
      const q = puntoA(evidenza.metri);
      g.strokeStyle = "rgba(212,172,13,0.95)";
      g.lineWidth = 3;
      g.beginPath(); g.arc(pxP(q.x), pyP(q.y), 9, 0, 2 * Math.PI); g.stroke();
      g.lineWidth = 1;
    }
    if (stato.cursore !== null) {
      const q = puntoA(stato.cursore), x = pxP(q.x), y = pyP(q.y);
      g.fillStyle = CURSORE;
      g.strokeStyle = "#7d6608";
      g.beginPath(); g.arc(x, y, 5.5, 0, 2 * Math.PI); g.fill(); g.stroke();
    }
    // Scale bar.
    const barra = passoBello(100 / s), lb = barra * s;
    g.strokeStyle = "#34495e";
    g.lineWidth = 2;
    g.beginPath(); g.moveTo(12, h - 12); g.lineTo(12 + lb, h - 12); g.stroke();
    g.lineWidth = 1;
    g.fillStyle = "#34495e";
    g.textAlign = "left";
    g.font = CARATTERE_PICCOLO;
    g.fillText(barra >= 1000 ? barra / 1000 + " km" : barra + " m", 16 + lb, h - 12);
    g.font = CARATTERE;
  }

  // The metre of the track nearest to a point of the plan's canvas, within r px.
  function metroVicino(px, py, r) {
    if (!livelli.length || !stato.pianta) return null;
    const s = stato.pianta.scala;
    let livello = livelli[0];
    for (const l of livelli) if (l.tolleranza * s <= 0.5) livello = l;
    const x = stato.pianta.cx + (px - pianta.w / 2) / s, y = stato.pianta.cy - (py - pianta.h / 2) / s, rm = r / s;
    let meglio = null, dmin = rm * rm;
    const p = livello.punti;
    for (const b of livello.blocchi) {
      if (x < b.x0 - rm || x > b.x1 + rm || y < b.y0 - rm || y > b.y1 + rm) continue;
      for (let k = b.i; k < b.j; k++) {
        const a = p[k], c = p[k + 1], dx = c.x - a.x, dy = c.y - a.y, l2 = dx * dx + dy * dy;
        let t = l2 > 0 ? ((x - a.x) * dx + (y - a.y) * dy) / l2 : 0;
        t = t < 0 ? 0 : t > 1 ? 1 : t;
        const ex = x - a.x - t * dx, ey = y - a.y - t * dy, d = ex * ex + ey * ey;
        if (d <= dmin) { dmin = d; meglio = a.m + t * (c.m - a.m); }
      }
    }
    return meglio === null ? null : Math.round(meglio);
  }

  // ---- reading, details, tooltip ------------------------------------------------

  const lettura = document.getElementById("lettura");
  function aggiornaLettura() {
    const m = stato.cursore;
    if (m === null) { lettura.innerHTML = "&nbsp;"; return; }
    const parti = [];
    const b = function (t) { return "<b>" + t + "</b>"; };
    parti.push(b(km(m)) + (m > FINE ? " (run-out)" : ""));
    const pend = trattoA(pendenze, m), vel = trattoA(velocita, m), ad = trattoA(aderenza, m);
    parti.push("altitude " + b(quotaA(m).toFixed(1) + " m"));
    if (pend) parti.push("gradient " + b(pend.v + " ‰"));
    if (vel) parti.push("limit " + b(vel.v + " km/h"));
    const r = rallentamenti.find(function (r) { return m >= r.inizio && m < r.fine; });
    if (r) parti.push("restriction " + b(r.velocita + " km/h"));
    if (ad) parti.push("adhesion " + b(ad.v));
    parti.push("cell " + b(Math.floor(m / 50)));
    lettura.innerHTML = parti.join(" · ");
  }

  function testo(t) { const d = document.createElement("div"); d.textContent = t; return d.innerHTML; }
  function descrizione(o) {
    const nome = o.nomeProprio || nomeTipo(o.tipo);
    let dove;
    if (o.tipo === 10) dove = "at " + o.metri + " m, area " + o.da + " to " + o.a + " m · stop cell " + o.cella + " (" + o.cella * 50 + "–" + (o.cella * 50 + 49) + " m)";
    else if (o.tipo < 0) dove = "from " + o.da + " to " + (o.a + 1) + " m";
    else dove = "at " + o.metri + " m (" + o.da + "–" + o.a + " m map here) · cell " + o.cella + " (" + o.cella * 50 + "–" + (o.cella * 50 + 49) + " m)";
    if (o.metri > FINE) dove += " · in the run-out";
    return { nome: nome, dove: dove };
  }
  const dettagli = document.getElementById("dettagli");
  function mostraDettagli(o) {
    if (!o) return;
    const d = descrizione(o);
    let h = "<h3>" + testo(d.nome) + (o.etichetta ? ": " + testo(o.etichetta) : "") + "</h3><p class=\"dove\">" + testo(d.dove) + "</p><dl>";
    o.valori.forEach(function (v) { h += "<dt>" + testo(v[0]) + "</dt><dd>" + testo(v[1]) + "</dd>"; });
    dettagli.innerHTML = h + "</dl>";
  }
  const suggerimento = document.getElementById("suggerimento");
  function mostraSuggerimento(o, ev) {
    if (!o) { suggerimento.hidden = true; return; }
    const d = descrizione(o);
    suggerimento.innerHTML = "<b>" + testo(d.nome) + "</b>" + (o.etichetta ? " " + testo(o.etichetta) : "") + "<br>" + testo(d.dove);
    suggerimento.hidden = false;
    const x = Math.min(ev.clientX + 14, window.innerWidth - suggerimento.offsetWidth - 6);
    const y = ev.clientY + 18 + suggerimento.offsetHeight > window.innerHeight ? ev.clientY - suggerimento.offsetHeight - 10 : ev.clientY + 18;
    suggerimento.style.left = x + "px";
    suggerimento.style.top = y + "px";
  }

  function scegli(o) {
    stato.scelto = o;
    mostraDettagli(o);
    document.querySelectorAll("#orario tbody tr").forEach(function (tr) {
      tr.classList.toggle("scelta", !!o && o.tipo === 10 && tr.dataset.cella === String(o.cella));
    });
  }

  // ---- pointer on the views along the line ------------------------------------------------

  function posizione(tela, ev) {
    const r = tela.getBoundingClientRect();
    return { x: ev.clientX - r.left, y: ev.clientY - r.top };
  }
  function colpito(x, y) {
    let meglio = null, dmin = Infinity;
    for (const b of bersagli) {
      if (x < b.x0 || x > b.x1 || y < b.y0 || y > b.y1) continue;
      // Marks win over the bars they stand on.
      const d = b.ampio ? 1000 + (b.x1 - b.x0) : Math.abs((b.x0 + b.x1) / 2 - x);
      if (d < dmin) { dmin = d; meglio = b.oggetto; }
    }
    return meglio;
  }

  let trascina = null;
  telaLungo.addEventListener("mousedown", function (ev) {
    trascina = { x: ev.clientX, da: stato.lungo.da, a: stato.lungo.a, mosso: false };
    telaLungo.classList.add("trascina");
    ev.preventDefault();
  });
  window.addEventListener("mouseup", function (ev) {
    if (trascina && !trascina.mosso && ev.target === telaLungo) {
      const p = posizione(telaLungo, ev), o = colpito(p.x, p.y);
      scegli(o);
      if (o) centraPianta(o.metri);
      ridisegna();
    }
    if (piantaTrascina && !piantaTrascina.mosso && ev.target === telaPianta) {
      const p = posizione(telaPianta, ev), m = metroVicino(p.x, p.y, 12);
      if (m !== null) {
        const span = stato.lungo.a - stato.lungo.da;
        impostaLungo(m - span / 2, m + span / 2);
        ridisegna();
      }
    }
    trascina = null;
    piantaTrascina = null;
    telaLungo.classList.remove("trascina");
    telaPianta.classList.remove("trascina");
  });
  window.addEventListener("mousemove", function (ev) {
    if (trascina) {
      const dx = ev.clientX - trascina.x;
      if (Math.abs(dx) > 2) trascina.mosso = true;
      const mpx = (trascina.a - trascina.da) / (lungo.w - SINISTRA - DESTRA);
      impostaLungo(trascina.da - dx * mpx, trascina.a - dx * mpx);
      ridisegna();
    }
  });
  telaLungo.addEventListener("mousemove", function (ev) {
    const p = posizione(telaLungo, ev);
    if (p.x < SINISTRA || p.x > lungo.w - DESTRA) { stato.cursore = null; stato.sotto = null; mostraSuggerimento(null); aggiornaLettura(); ridisegna(); return; }
    stato.cursore = Math.round(mDi(p.x));
    stato.sotto = trascina ? null : colpito(p.x, p.y);
    mostraSuggerimento(stato.sotto, ev);
    aggiornaLettura();
    ridisegna();
  });
  telaLungo.addEventListener("mouseleave", function () {
    stato.cursore = null; stato.sotto = null; mostraSuggerimento(null); aggiornaLettura(); ridisegna();
  });
  telaLungo.addEventListener("wheel", function (ev) {
    ev.preventDefault();
    const p = posizione(telaLungo, ev), m = mDi(Math.max(SINISTRA, Math.min(p.x, lungo.w - DESTRA)));
    const f = Math.pow(1.0015, ev.deltaY * (ev.deltaMode === 1 ? 30 : 1));
    impostaLungo(m - (m - stato.lungo.da) * f, m + (stato.lungo.a - m) * f);
    ridisegna();
  }, { passive: false });
  telaLungo.addEventListener("dblclick", function () { stato.lungo = vistaIntera(); ridisegna(); });

  // ---- pointer on the plan ------------------------------------------------

  let piantaTrascina = null;
  telaPianta.addEventListener("mousedown", function (ev) {
    if (!stato.pianta) return;
    piantaTrascina = { x: ev.clientX, y: ev.clientY, cx: stato.pianta.cx, cy: stato.pianta.cy, mosso: false };
    telaPianta.classList.add("trascina");
    ev.preventDefault();
  });
  window.addEventListener("mousemove", function (ev) {
    if (!piantaTrascina) return;
    const dx = ev.clientX - piantaTrascina.x, dy = ev.clientY - piantaTrascina.y;
    if (Math.abs(dx) + Math.abs(dy) > 2) piantaTrascina.mosso = true;
    stato.pianta.cx = piantaTrascina.cx - dx / stato.pianta.scala;
    stato.pianta.cy = piantaTrascina.cy + dy / stato.pianta.scala;
    ridisegna();
  });
  telaPianta.addEventListener("mousemove", function (ev) {
    if (piantaTrascina) return;
    const p = posizione(telaPianta, ev);
    stato.cursore = metroVicino(p.x, p.y, 14);
    aggiornaLettura();
    ridisegna();
  });
  telaPianta.addEventListener("mouseleave", function () { stato.cursore = null; aggiornaLettura(); ridisegna(); });
  telaPianta.addEventListener("wheel", function (ev) {
    ev.preventDefault();
    if (!stato.pianta) return;
    const p = posizione(telaPianta, ev), s = stato.pianta.scala;
    const x = stato.pianta.cx + (p.x - pianta.w / 2) / s, y = stato.pianta.cy - (p.y - pianta.h / 2) / s;
    const f = Math.pow(1.0015, -ev.deltaY * (ev.deltaMode === 1 ? 30 : 1));
    const nuova = Math.min(Math.max(s * f, 1e-6), 200);
    stato.pianta.cx = x - (p.x - pianta.w / 2) / nuova;
    stato.pianta.cy = y + (p.y - pianta.h / 2) / nuova;
    stato.pianta.scala = nuova;
    ridisegna();
  }, { passive: false });
  telaPianta.addEventListener("dblclick", function () { adattaPianta(); ridisegna(); });

  // ---- header, legend, timetable ------------------------------------------------

  (function () {
    const dl = document.getElementById("generali");
    D.generali.forEach(function (c) {
      const div = document.createElement("div"), dt = document.createElement("dt"), dd = document.createElement("dd");
      dt.textContent = c[0];
      dd.textContent = c[1];
      div.append(dt, dd);
      dl.append(div);
    });

    const legenda = document.getElementById("legenda");
    const voci = [
      ["track", function (g) { g.strokeStyle = TRACCIA; g.lineWidth = 3; g.beginPath(); g.moveTo(2, 8); g.lineTo(26, 8); g.stroke(); }],
      ["run-out after the end: " + (TOTALE - FINE) + " m", function (g) { g.strokeStyle = CODA; g.lineWidth = 2.5; g.setLineDash([5, 3]); g.beginPath(); g.moveTo(2, 8); g.lineTo(26, 8); g.stroke(); }],
      ["line's end", function (g) { g.strokeStyle = "#c0392b"; g.lineWidth = 3; g.beginPath(); g.moveTo(14, 1); g.lineTo(14, 15); g.stroke(); }],
      ["station, area", function (g) { g.fillStyle = "rgba(31,111,178,0.4)"; g.fillRect(2, 5, 24, 6); triangolo(g, 14, 8, 5, COLORE[10]); }],
      ["altitude", function (g) { g.strokeStyle = QUOTA; g.lineWidth = 1.6; g.beginPath(); g.moveTo(2, 12); g.lineTo(14, 4); g.lineTo(26, 8); g.stroke(); }],
      ["gradient ‰ (up, down)", function (g) { g.fillStyle = coloreGradiente(20); g.fillRect(2, 3, 12, 10); g.fillStyle = coloreGradiente(-20); g.fillRect(14, 3, 12, 10); }],
      ["speed limit", function (g) { g.strokeStyle = LIMITE; g.lineWidth = 1.8; g.beginPath(); g.moveTo(2, 4); g.lineTo(14, 4); g.lineTo(14, 11); g.lineTo(26, 11); g.stroke(); }],
      ["restriction", function (g) { g.fillStyle = "rgba(230,126,34,0.35)"; g.fillRect(2, 6, 24, 8); g.strokeStyle = RALLENTAMENTO; g.lineWidth = 2.2; g.beginPath(); g.moveTo(2, 6); g.lineTo(26, 6); g.stroke(); }],
      ["adhesion", function (g) { g.strokeStyle = ADERENZA; g.lineWidth = 1.8; g.beginPath(); g.moveTo(2, 10); g.lineTo(26, 10); g.stroke(); }],
      [nomeTipo(1), function (g) { segno(g, { oggetto: { tipo: 1 } }, 14, 9); }],
      [nomeTipo(6), function (g) { segno(g, { oggetto: { tipo: 6 } }, 14, 8); }],
      [nomeTipo(14), function (g) { segno(g, { oggetto: { tipo: 14 } }, 14, 8); }],
      [nomeTipo(4), function (g) { triangolo(g, 14, 9, 6, COLORE[4]); }],
      [nomeTipo(2), function (g) { segno(g, { oggetto: { tipo: 2 }, forma: "fine" }, 14, 8); }],
      [nomeTipo(5), function (g) { segno(g, { oggetto: { tipo: 5 }, forma: "punto" }, 14, 8); }],
      [nomeTipo(12), function (g) { segno(g, { oggetto: { tipo: 12 } }, 14, 8); }],
      ["mountain range, marker", function (g) { g.fillStyle = "rgba(125,102,8,0.35)"; g.fillRect(2, 4, 24, 8); segno(g, { oggetto: { tipo: 11 }, forma: "punto" }, 14, 8); }],
      ["cursor", function (g) { g.fillStyle = CURSORE; g.beginPath(); g.arc(14, 8, 5, 0, 2 * Math.PI); g.fill(); }],
    ];
    voci.forEach(function (v) {
      const li = document.createElement("li"), c = document.createElement("canvas"), r = window.devicePixelRatio || 1;
      c.width = 28 * r; c.height = 16 * r; c.style.width = "28px"; c.style.height = "16px";
      const g = c.getContext("2d");
      g.setTransform(r, 0, 0, r, 0, 0);
      v[1](g);
      const s = document.createElement("span");
      s.textContent = v[0];
      li.append(c, s);
      legenda.append(li);
    });

    const corpo = document.querySelector("#orario tbody");
    stazioni.forEach(function (st) {
      const tr = document.createElement("tr");
      tr.dataset.cella = String(st.cella);
      [String(st.numero), st.nome, km(st.posizione), st.inizio + " – " + st.fine + " m", st.orario, String(st.tipo), st.cella >= 0 ? String(st.cella) : "none"]
        .forEach(function (t) { const td = document.createElement("td"); td.textContent = t; tr.append(td); });
      tr.addEventListener("mouseenter", function () { stato.cursore = st.posizione; aggiornaLettura(); ridisegna(); });
      tr.addEventListener("mouseleave", function () { stato.cursore = null; aggiornaLettura(); ridisegna(); });
      tr.addEventListener("click", function () {
        const o = oggetti.find(function (o) { return o.tipo === 10 && o.cella === st.cella; });
        scegli(o || null);
        const span = Math.max(3000, st.fine - st.inizio + 2000);
        impostaLungo(st.posizione - span / 2, st.posizione + span / 2);
        centraPianta(st.posizione);
        ridisegna();
      });
      corpo.append(tr);
    });
    if (!stazioni.length) {
      const tr = document.createElement("tr"), td = document.createElement("td");
      td.colSpan = 7; td.textContent = "No station."; tr.append(td); corpo.append(tr);
    }
  })();

  // ---- drawing ------------------------------------------------------------

  function disegnaTutto() {
    disegnaPianta();
    disegnaLungo();
    stato.disegni++;
    if (!api.pronto) {
      api.pronto = true;
      api.tempoDisegno = performance.now();
      document.body.dataset.stato = "pronto";
    }
  }
  window.addEventListener("resize", function () { if (stato.pianta && !trascina) ridisegna(); });
  disegnaTutto();
})();
