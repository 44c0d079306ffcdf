// The route viewer: draws the data the page carries into two canvases (the
// plan, and the views along the line) and keeps them linked. Plain script,
// no library: the page must work opened from disk with no network.
// Kinds, lanes, colours and the layout come in the data, from the same
// tables plot draws with: the script holds no kind number of its own.
(function () {
  "use strict";

  const D = JSON.parse(document.getElementById("dati").textContent);
  const R = D.regole, TIPI = D.tipi, GLIFI = R.glifi, STRATI = R.strati;
  const FINE = D.lunghezza;  // the line's end; the run-out follows it
  const TOTALE = Math.max(D.metri, FINE, 1);
  const METRI_CELLA = D.metri_cella;
  const CARATTERE = R.corpo + "px " + R.caratteri;
  const CARATTERE_PICCOLO = R.piccolo + "px " + R.caratteri;

  // A layer's colour, and the colour of its areas.
  function colore(s) { return STRATI[s].colore; }
  function rgba(hex, a) {
    const n = parseInt(hex.slice(1), 16);
    return "rgba(" + (n >> 16) + "," + ((n >> 8) & 255) + "," + (n & 255) + "," + a.toFixed(2) + ")";
  }
  function fondo(s) { return rgba(STRATI[s].colore, STRATI[s].fondo); }

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
  const tratti = function (v) { return v.map(function (r) { return { da: r[0], a: r[1], v: r[2] }; }); };
  const pendenze = tratti(D.pendenze), velocita = tratti(D.velocita), aderenza = tratti(D.aderenza);
  const montagne = D.montagne.map(function (r) { return { da: r[0], a: r[1], tipo: r[2], segnalata: !!r[3] }; });

  // The object of each cell, the station that stops in it, the restriction that starts in it.
  const perCella = new Map(), fermate = new Map(), inizi = new Map();
  oggetti.forEach(function (o) { perCella.set(o.cella, o); });
  stazioni.forEach(function (s) { if (s.cella >= 0) fermate.set(s.cella, s); });
  rallentamenti.forEach(function (r) { inizi.set(r.cellaInizio, r); });

  // Objects that are no cell (ranges, runs, curves) carry a name of their own
  // instead of a kind.
  function nomeTipo(t) { return TIPI[t] ? TIPI[t].nome : "kind " + t; }
  // A tick a hair before the start is the start, not "-0.0 km".
  function km(m, cifre) { return (Math.abs(m) < 0.5 ? 0 : m / 1000).toFixed(cifre === undefined ? 3 : cifre) + " km"; }
  // Decimals of a km label that show a step of `passo` metres.
  function cifreKm(passo) { return Math.min(3, Math.max(0, 3 - Math.floor(Math.log10(Math.max(passo, 1))))); }
  function orarioBreve(t) { return t.slice(-3) === ":00" ? t.slice(0, -3) : t; }

  // The index of the run that holds metre m, by bisection; -1 for none.
  function indiceA(lista, m) {
    let lo = 0, hi = lista.length - 1;
    if (hi < 0) return -1;
    while (lo < hi) {
      const mezzo = (lo + hi + 1) >> 1;
      if (lista[mezzo].da <= m) lo = mezzo; else hi = mezzo - 1;
    }
    return lo;
  }
  function trattoA(lista, m) { const i = indiceA(lista, m); return i < 0 ? null : lista[i]; }

  // Altitude from the gradients: per mille over each run.
  const quote = [0];
  for (let i = 0; i < pendenze.length; i++) quote.push(quote[i] + pendenze[i].v * (pendenze[i].a - pendenze[i].da) / 1000);
  function quotaA(m) {
    const i = indiceA(pendenze, m);
    if (i < 0) return 0;
    const t = pendenze[i];
    return quote[i] + t.v * (Math.min(Math.max(m, t.da), t.a) - t.da) / 1000;
  }

  // ---- lanes of objects ------------------------------------------------------

  // Each lane holds items: a mark at x (metres) with its glyph, maybe a bar
  // [x0, x1] in a layer's colour, a label.
  const CORSIE = D.corsie.map(function (nome) { return { nome: nome, voci: [] }; });
  oggetti.forEach(function (o) {
    const t = TIPI[o.tipo];
    if (!t || t.corsia < 0) return;
    const gl = GLIFI[t.glifo];
    const v = { x: o.metri, x0: o.da, x1: o.a, glifo: t.glifo, colore: t.colore, fondo: gl.barra && fondo(gl.barra),
      etichetta: gl.etichetta ? o.etichetta : "", oggetto: o };
    // A restriction's bar runs from its start to its end; a station's stop
    // cell says the station's name and time.
    const r = inizi.get(o.cella), s = fermate.get(o.cella);
    if (r) { v.x0 = r.inizio; v.x1 = Math.max(r.fine, r.inizio); }
    if (s && gl.etichetta) v.etichetta = s.nome + " " + orarioBreve(s.orario);
    CORSIE[t.corsia].voci.push(v);
  });
  // Bars of a layer, labelled in their middle.
  function barra(strato, da, a, etichetta, oggetto) {
    CORSIE[STRATI[strato].corsia].voci.push({ x: da, x0: da, x1: a, glifo: "nessuno", colore: colore(strato), fondo: fondo(strato),
      etichetta: etichetta, oggetto: oggetto });
  }
  montagne.forEach(function (m) {
    barra("montagna", m.da, m.a, "type " + m.tipo + (m.segnalata ? ", markers" : ""), {
      nomeProprio: "mountain range", metri: m.da, da: m.da, a: m.a, etichetta: "type " + m.tipo,
      valori: [["mountain type", String(m.tipo)], ["from", m.da + " m"], ["to", m.a + " m"],
        ["markers", m.segnalata ? "every " + D.passo_marcatori_montagna + "th cell" : "none"]] });
  });
  D.curve.forEach(function (c) {
    barra(c[3] ? "curva_sinistra" : "curva_destra", c[0], c[1], c[2],
      { nomeProprio: "curve", metri: c[0], da: c[0], a: c[1], etichetta: c[2], valori: c[4] });
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

  // Boxes taken by labels and marks in the frame being drawn. A label keeps
  // the shared gap from other labels, half of it from marks; it takes the
  // first of its places that is free, or is left out.
  function Occupati() { this.riquadri = []; }
  Occupati.prototype.posa = function (candidati, entra) {
    const m = R.spazio_etichette / 2;
    for (const b of candidati) {
      if (entra && !entra(b)) continue;
      const x0 = b.x0 - m, x1 = b.x1 + m;
      if (this.riquadri.some(function (r) { return x0 < r.x1 && r.x0 < x1 && b.y0 < r.y1 && r.y0 < b.y1; })) continue;
      this.riquadri.push({ x0: x0, x1: x1, y0: b.y0, y1: b.y1 });
      return b;
    }
    return null;
  };
  Occupati.prototype.segno = function (b) { this.riquadri.push(b); };

  // The smallest step of the series that is at least `minimo`.
  function passoBello(minimo) {
    const p = Math.pow(10, Math.floor(Math.log10(Math.max(minimo, 1e-9))));
    for (const k of R.passi) if (k * p >= minimo) return k * p;
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
      return { x: r.left + xDi(m), y: r.top + (c ? c.pannello.y + R.riga_segni : pannello("quota").y + 20) };
    },
  });

  function vistaIntera() {
    const margine = Math.max(FINE * R.margine_vista, R.margine_vista_minimo);
    return { da: -margine / 3, a: Math.min(FINE + margine, TOTALE) };
  }
  function impostaLungo(da, a) {
    // At the closest, two cells fill the view.
    const minimo = 2 * METRI_CELLA, inizio = -0.02 * TOTALE, limite = TOTALE * 1.02;
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
  const SINISTRA = R.inizio_grafici, DESTRA = R.margine_destro;
  const PANNELLI = (function () {
    const p = [];
    let y = 0;
    function aggiungi(id, nome, h) { p.push({ id: id, nome: nome, y: y, h: h }); y += h; }
    R.pannelli.forEach(function (q) { aggiungi(q.chiave, q.nome, q.altezza); });
    CORSIE.forEach(function (c, i) { aggiungi("corsia" + i, c.nome, R.altezza_corsia); c.pannello = p[p.length - 1]; });
    p.altezza = y + 6;
    return p;
  })();
  function pannello(id) { return PANNELLI.find(function (p) { return p.id === id; }); }
  const ASSE = pannello("asse"), SOTTO_ASSE = pannello("quota").y;

  let lungo = null;  // { g, w, h }
  function xDi(m) { return SINISTRA + (m - stato.lungo.da) / (stato.lungo.a - stato.lungo.da) * (lungo.w - SINISTRA - DESTRA); }
  function mDi(x) { return stato.lungo.da + (x - SINISTRA) / (lungo.w - SINISTRA - DESTRA) * (stato.lungo.a - stato.lungo.da); }

  const bersagli = [];  // what the pointer can hit in the long view: { x0, x1, y0, y1, oggetto }
  function segnaEtichetta(elenco, testo, b, corsia) {
    elenco.push({ testo: testo, corsia: corsia, x0: b.x0, x1: b.x1, y0: b.y0, y1: b.y1 });
  }

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
      if (!p.nome) return;
      g.fillStyle = "#34495e";
      g.textAlign = "left";
      g.fillText(p.nome, R.rientro_titoli, p.y + 12);
      const wt = larghezzaTesto(g, p.nome);
      segnaEtichetta(api.etichette.lungo, p.nome, { x0: R.rientro_titoli, x1: R.rientro_titoli + wt, y0: p.y + 5, y1: p.y + 19 }, "titolo");
    });

    // Run-out: shaded after the line's end, in every panel.
    const xf = xDi(FINE), xt = xDi(TOTALE);
    if (xf < destra) {
      g.save();
      g.beginPath(); g.rect(SINISTRA, 0, destra - SINISTRA, lungo.h); g.clip();
      g.fillStyle = fondo("coda");
      g.fillRect(xf, SOTTO_ASSE, Math.min(xt, destra) - xf, lungo.h - SOTTO_ASSE);
      g.strokeStyle = rgba(colore("coda"), 2 * STRATI.coda.fondo);
      g.beginPath();
      for (let x = xf - lungo.h; x < Math.min(xt, destra); x += 10) {
        g.moveTo(Math.max(x, xf), SOTTO_ASSE + Math.max(0, xf - x));
        g.lineTo(Math.min(x + lungo.h, xt), SOTTO_ASSE + Math.min(lungo.h, xt - x));
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
      g.strokeStyle = colore("fine_linea");
      g.setLineDash([5, 3]);
      g.beginPath(); g.moveTo(xf + 0.5, ASSE.y + 16); g.lineTo(xf + 0.5, lungo.h); g.stroke();
      g.setLineDash([]);
    }

    // The cursor, shared with the plan.
    if (stato.cursore !== null) {
      const xc = xDi(stato.cursore);
      if (xc >= SINISTRA && xc <= destra) {
        g.strokeStyle = colore("cursore");
        g.lineWidth = 2;
        g.beginPath(); g.moveTo(xc, ASSE.y + 18); g.lineTo(xc, lungo.h); g.stroke();
        g.lineWidth = 1;
      }
    }
    const evidenza = stato.sotto || stato.scelto;
    if (evidenza) {
      const xo = xDi(evidenza.metri);
      if (xo >= SINISTRA - 4 && xo <= destra + 4) {
        g.strokeStyle = rgba(colore("cursore"), 0.9);
        g.lineWidth = 2;
        g.strokeRect(xo - 6, SOTTO_ASSE, 12, lungo.h - SOTTO_ASSE - 2);
        g.lineWidth = 1;
      }
    }
  }

  function disegnaAsse(g, destra) {
    const p = ASSE;
    const metriPerPx = (stato.lungo.a - stato.lungo.da) / (destra - SINISTRA);
    g.font = CARATTERE_PICCOLO;
    const passo = passoBello((larghezzaTesto(g, R.campione_asse) + R.spazio_asse) * metriPerPx);
    const cifre = cifreKm(passo);
    g.strokeStyle = "#aab7b8";
    g.textAlign = "center";
    const occupati = new Occupati();
    // The line's end first: its label wins over a km label.
    const xf = xDi(FINE);
    if (xf >= SINISTRA && xf <= destra) {
      const t = "end of line " + km(FINE);
      const wt = larghezzaTesto(g, t);
      const x0 = Math.min(Math.max(xf - wt / 2, SINISTRA), destra - wt);
      const b = occupati.posa([{ x0: x0, x1: x0 + wt, y0: p.y, y1: p.y + 16 }]);
      g.fillStyle = colore("fine_linea");
      g.fillText(t, x0 + wt / 2, p.y + 8);
      segnaEtichetta(api.etichette.lungo, t, b);
      const xt = xDi(TOTALE);
      const tc = "run-out, " + (TOTALE - FINE) + " m";
      const wc = larghezzaTesto(g, tc);
      const xc = (Math.max(xf, SINISTRA) + Math.min(xt, destra)) / 2;
      if (Math.min(xt, destra) - xf > wc + 10 && occupati.posa([{ x0: xc - wc / 2, x1: xc + wc / 2, y0: p.y + 16, y1: p.y + 30 }])) {
        g.fillStyle = "#7f8c8d";
        g.fillText(tc, xc, p.y + 23);
      }
    }
    g.fillStyle = "#34495e";
    const primo = Math.ceil(stato.lungo.da / passo) * passo;
    for (let m = primo; m <= stato.lungo.a; m += passo) {
      const x = xDi(m);
      if (x < SINISTRA - 0.5 || x > destra + 0.5) continue;
      g.beginPath(); g.moveTo(x + 0.5, p.y + 26); g.lineTo(x + 0.5, p.y + p.h); g.stroke();
      // The label stands above its tick, and never left of the panels.
      const t = km(m, cifre);
      const wt = larghezzaTesto(g, t);
      const cx = Math.max(x, SINISTRA + wt / 2);
      const b = occupati.posa([{ x0: cx - wt / 2, x1: cx + wt / 2, y0: p.y + 12, y1: p.y + 26 }], function (b) { return b.x1 <= destra + 12; });
      if (!b) continue;
      g.fillText(t, cx, p.y + 19);
      segnaEtichetta(api.etichette.lungo, t, b);
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
    g.fillStyle = fondo("quota");
    g.fill();
    g.beginPath();
    punti.forEach(function (q, i) { if (i) g.lineTo(xDi(q[0]), yDi(q[1])); else g.moveTo(xDi(q[0]), yDi(q[1])); });
    g.strokeStyle = colore("quota");
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

  // Stronger with the gradient, a quarter of the colour at the least.
  function coloreGradiente(v) {
    if (v === 0) return colore("piano");
    const s = STRATI[v > 0 ? "salita" : "discesa"], k = Math.min(Math.abs(v) / R.pendenza_piena, 1);
    return rgba(s.colore, s.fondo * (1 + 3 * k) / 4);
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
      if (x1 - x0 >= wt + R.spazio_etichette) {
        g.fillStyle = Math.abs(t.v) > R.pendenza_testo_chiaro ? "#fff" : "#1b2631";
        g.fillText(testo, (x0 + x1) / 2, p.y + p.h / 2);
        segnaEtichetta(api.etichette.lungo, testo, { x0: (x0 + x1 - wt) / 2, x1: (x0 + x1 + wt) / 2, y0: p.y + 3, y1: p.y + p.h - 3 });
      }
      bersagli.push({ x0: x0, x1: x1, y0: p.y, y1: p.y + p.h, oggetto: {
        nomeProprio: "gradient", metri: t.da, da: t.da, a: t.a, etichetta: testo,
        valori: [["gradient", testo], ["from", t.da + " m"], ["to", t.a + " m"], ["cells", t.da / METRI_CELLA + " to " + (t.a / METRI_CELLA - 1)]] } });
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
      const b = occupati.posa([{ x0: x0, x1: x0 + wt, y0: yDi(t.v) - 15, y1: yDi(t.v) - 1 }],
        function (b) { return b.x1 <= destra && b.y0 >= p.y + 2; });
      if (!b) return;
      g.fillText(testo, x0, yDi(t.v) - 8);
      segnaEtichetta(api.etichette.lungo, testo, b);
    });
    g.font = CARATTERE;
  }

  const VMAX = Math.max(10, velocita.reduce(function (a, t) { return Math.max(a, t.v); }, 0),
    rallentamenti.reduce(function (a, r) { return Math.max(a, r.velocita); }, 0));

  function disegnaVelocita(g, destra) {
    const p = pannello("velocita");
    const yDi = altezzaDi(p, VMAX), occupati = new Occupati(), c = colore("rallentamento");
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
      g.fillStyle = fondo("rallentamento");
      g.fillRect(Math.max(x0, SINISTRA), y, Math.min(x1, destra) - Math.max(x0, SINISTRA), p.y + p.h - 6 - y);
      g.strokeStyle = c;
      g.lineWidth = 2.2;
      g.beginPath(); g.moveTo(Math.max(x0, SINISTRA), y); g.lineTo(Math.min(x1, destra), y); g.stroke();
      g.lineWidth = 1;
      const oggetto = perCella.get(r.cellaInizio);
      if (oggetto) bersagli.push({ x0: x0 - 3, x1: x1 + 3, y0: y - 6, y1: p.y + p.h, oggetto: oggetto });
      if (r.avviso >= 0) {
        const xa = xDi(r.avviso), ya = p.y + 24;
        if (xa >= SINISTRA && xa <= destra) {
          g.setLineDash([2, 3]);
          g.strokeStyle = c;
          g.beginPath(); g.moveTo(xa, ya); g.lineTo(Math.min(x0, destra), ya); g.lineTo(Math.min(x0, destra), y); g.stroke();
          g.setLineDash([]);
          triangolo(g, xa, ya, 6, c);
          occupati.segno({ x0: xa - 7, x1: xa + 7, y0: ya - 7, y1: ya + 6 });
        }
      }
      g.font = CARATTERE_PICCOLO;
      // The longest of these that fits inside the band.
      for (const testo of [r.velocita + " km/h, " + (r.fine - r.inizio) + " m", r.velocita + " km/h", String(r.velocita)]) {
        const wt = larghezzaTesto(g, testo);
        const b = occupati.posa([{ x0: (x0 + x1 - wt) / 2, x1: (x0 + x1 + wt) / 2, y0: y + 2, y1: y + 16 }], function (b) {
          return x1 - x0 >= wt + R.spazio_etichette && x0 >= SINISTRA && x1 <= destra && b.y1 <= p.y + p.h;
        });
        if (!b) continue;
        g.fillStyle = "#a04000";
        g.textAlign = "center";
        g.fillText(testo, (x0 + x1) / 2, y + 9);
        segnaEtichetta(api.etichette.lungo, testo, b);
        break;
      }
      g.font = CARATTERE;
    });
    scalino(g, p, velocita, VMAX, colore("limite"), " km/h", destra, occupati);
  }

  function disegnaAderenza(g, destra) {
    const p = pannello("aderenza");
    const vmax = Math.max(1, aderenza.reduce(function (a, t) { return Math.max(a, t.v); }, 0));
    scalino(g, p, aderenza, vmax, colore("aderenza"), "", destra, new Occupati());
  }

  function triangolo(g, x, y, r, colore) {
    g.fillStyle = colore;
    g.beginPath(); g.moveTo(x, y - r); g.lineTo(x + r, y + r * 0.8); g.lineTo(x - r, y + r * 0.8); g.closePath(); g.fill();
  }

  // The mark of a glyph in its lane.
  function segno(g, glifo, colore, x, y) {
    g.fillStyle = colore;
    g.strokeStyle = colore;
    switch (glifo) {
      case "palo":
        g.fillRect(x - 0.75, y - 7, 1.5, 14);
        g.beginPath(); g.arc(x, y - 5, 3.5, 0, 2 * Math.PI); g.fill();
        break;
      case "quadrato": g.fillRect(x - 4, y - 4, 8, 8); break;
      case "rombo":
        g.beginPath(); g.moveTo(x, y - 6); g.lineTo(x + 5, y); g.lineTo(x, y + 6); g.lineTo(x - 5, y); g.closePath(); g.fill();
        break;
      case "triangolo": triangolo(g, x, y, 6, colore); break;
      case "stazione": triangolo(g, x, y, 5, colore); break;
      case "fine":
        g.lineWidth = 2;
        g.beginPath(); g.moveTo(x - 5, y - 5); g.lineTo(x + 5, y + 5); g.moveTo(x + 5, y - 5); g.lineTo(x - 5, y + 5); g.stroke();
        g.lineWidth = 1;
        break;
      case "punto": g.beginPath(); g.arc(x, y, 2.5, 0, 2 * Math.PI); g.fill(); break;
      case "nessuno": break;
      default: g.fillRect(x - 1, y - 6, 2, 12);
    }
  }

  // One lane: bars, marks, and labels in two rows; a label that finds no
  // room in either row is left out (its object still answers the pointer).
  function disegnaCorsia(g, c, destra) {
    const p = c.pannello, ySegno = p.y + R.riga_segni, h = R.piccolo + 1;
    const occupati = new Occupati();
    const lo = stato.lungo.da, hi = stato.lungo.a;
    const margineM = 40 * (hi - lo) / (destra - SINISTRA);
    g.font = CARATTERE_PICCOLO;
    g.textBaseline = "middle";
    g.textAlign = "left";
    g.save();
    g.beginPath(); g.rect(SINISTRA, p.y, destra - SINISTRA, p.h); g.clip();
    for (const v of c.voci) {
      if (v.x1 < lo - margineM || v.x0 > hi + margineM) continue;
      const x = xDi(v.x);
      if (v.fondo) {
        const b0 = xDi(v.x0), b1 = Math.max(xDi(v.x1), b0 + 2);
        g.fillStyle = v.fondo;
        g.fillRect(b0, ySegno - 4, b1 - b0, 8);
        // A white edge keeps bars that meet apart.
        if (b1 - b0 >= 3) {
          g.strokeStyle = "#fff";
          g.beginPath(); g.moveTo(b0 + 0.5, ySegno - 4); g.lineTo(b0 + 0.5, ySegno + 4); g.stroke();
        }
        bersagli.push({ x0: b0 - 2, x1: b1 + 2, y0: p.y, y1: p.y + p.h, oggetto: v.oggetto, ampio: true });
      }
      const marcato = v.glifo !== "nessuno";
      if (marcato) {
        segno(g, v.glifo, v.colore, x, ySegno);
        bersagli.push({ x0: x - 5, x1: x + 5, y0: p.y, y1: p.y + p.h, oggetto: v.oggetto });
      }
      if (!v.etichetta) continue;
      // Under its mark, or in the middle of the visible part of its bar.
      const wt = larghezzaTesto(g, v.etichetta);
      const v0 = Math.max(xDi(v.x0), SINISTRA), v1 = Math.min(xDi(v.x1), destra);
      if (!marcato && v1 <= v0) continue;  // its bar is off screen
      const cx = marcato ? x : (v0 + v1) / 2;
      const l0 = Math.max(SINISTRA + 1, Math.min(cx - wt / 2, destra - wt - 1));
      if (Math.abs(l0 + wt / 2 - cx) > wt / 2 + 8) continue;  // its object is off screen
      const b = occupati.posa(R.righe_etichette.map(function (r) { return { x0: l0, x1: l0 + wt, y0: p.y + r - h / 2, y1: p.y + r + h / 2 }; }));
      if (!b) continue;
      g.fillStyle = v.colore;
      g.fillText(v.etichetta, l0, (b.y0 + b.y1) / 2);
      segnaEtichetta(api.etichette.lungo, v.etichetta, b, c.nome);
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
  // The coarsest level whose error stays within the shared tolerance at scale s.
  function livelloPer(s) {
    let livello = livelli[0];
    for (const l of livelli) if (l.tolleranza * s <= R.tolleranza_pixel) livello = l;
    return livello;
  }

  // Where the point (x, y) falls on the segment a-b: the share t along it
  // and the squared distance.
  function proiezione(x, y, a, b) {
    const dx = b.x - a.x, dy = b.y - a.y, l2 = dx * dx + dy * dy;
    let t = l2 > 0 ? ((x - a.x) * dx + (y - a.y) * dy) / l2 : 0;
    t = t < 0 ? 0 : t > 1 ? 1 : t;
    const ex = x - a.x - t * dx, ey = y - a.y - t * dy;
    return { t: t, d2: ex * ex + ey * ey };
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
      let peggiore = -1, dove = -1;
      for (let i = ab[0] + 1; i < ab[1]; i++) {
        const d = proiezione(punti[i].x, punti[i].y, a, b).d2;
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
    const livello = livelloPer(s);
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
    tratto(colore("coda"), 2.5, [7, 5], FINE, Infinity);
    tratto(colore("traccia"), 3, [], -Infinity, FINE);

    const occupati = new Occupati();
    const dentro = function (x, y) { return x > -20 && x < w + 20 && y > -20 && y < h + 20; };
    // Right of the point, left, above, below: the first place that is free.
    function etichetta(testo, x, y, colore, spinta) {
      const wt = larghezzaTesto(g, testo), ht = 14, d = spinta || 8;
      const b = occupati.posa([
        { x0: x + d, x1: x + d + wt, y0: y - ht / 2, y1: y + ht / 2 }, { x0: x - d - wt, x1: x - d, y0: y - ht / 2, y1: y + ht / 2 },
        { x0: x - wt / 2, x1: x + wt / 2, y0: y - d - ht, y1: y - d }, { x0: x - wt / 2, x1: x + wt / 2, y0: y + d, y1: y + d + ht },
      ], function (b) { return b.x0 >= 4 && b.x1 <= w - 4 && b.y0 >= 2 && b.y1 <= h - 2; });
      if (!b) return;
      g.fillStyle = "rgba(255,255,255,0.85)";
      g.fillRect(b.x0 - 2, b.y0, wt + 4, ht);
      g.fillStyle = colore;
      g.textAlign = "left";
      g.fillText(testo, b.x0, b.y0 + ht / 2);
      segnaEtichetta(api.etichette.pianta, testo, b);
    }

    // Station areas along the track, and their marks.
    stazioni.forEach(function (st) {
      const passi = 24;
      g.strokeStyle = fondo("area_stazione");
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
    g.strokeStyle = colore("fine_linea");
    g.lineWidth = 3;
    g.beginPath(); g.moveTo(xf - df.y * 9, yf - df.x * 9); g.lineTo(xf + df.y * 9, yf + df.x * 9); g.stroke();
    g.lineWidth = 1;
    occupati.segno({ x0: xf - 9, x1: xf + 9, y0: yf - 9, y1: yf + 9 });
    stazioni.forEach(function (st) {
      const q = puntoA(st.posizione), x = pxP(q.x), y = pyP(q.y);
      g.fillStyle = colore("area_stazione");
      g.beginPath(); g.arc(x, y, 5, 0, 2 * Math.PI); g.fill();
      g.strokeStyle = "#fff"; g.lineWidth = 1.5; g.stroke(); g.lineWidth = 1;
      occupati.segno({ x0: x - 5, x1: x + 5, y0: y - 5, y1: y + 5 });
    });
    // Objects as small dots once they stand apart.
    const metriPerPunto = 8 / s;
    if (metriPerPunto < 400) {
      oggetti.forEach(function (o) {
        const t = TIPI[o.tipo];
        if (!t || !GLIFI[t.glifo].pianta) return;
        const q = puntoA(o.metri), x = pxP(q.x), y = pyP(q.y);
        if (!dentro(x, y)) return;
        g.fillStyle = t.colore;
        g.beginPath(); g.arc(x, y, 3, 0, 2 * Math.PI); g.fill();
      });
    }
    // Labels: the line's end and the stations first, then the km posts.
    g.font = CARATTERE;
    if (dentro(xf, yf)) etichetta("end of line " + km(FINE), xf, yf, colore("fine_linea"), 12);
    stazioni.forEach(function (st) {
      const q = puntoA(st.posizione), x = pxP(q.x), y = pyP(q.y);
      if (dentro(x, y)) etichetta(st.nome, x, y, "#154360", 9);
    });
    g.font = CARATTERE_PICCOLO;
    const passo = passoBello(R.distanza_km_pianta / s);
    const ultimo = Math.min(livelli[0].punti[livelli[0].punti.length - 1].m, TOTALE);
    if (ultimo / passo < 40000) {
      for (let m = passo; m <= ultimo; m += passo) {
        const q = puntoA(m), x = pxP(q.x), y = pyP(q.y);
        if (!dentro(x, y)) continue;
        const d = direzioneA(m), c = m > FINE ? colore("coda") : "#34495e";
        g.strokeStyle = c;
        g.beginPath(); g.moveTo(x - d.y * 5, y - d.x * 5); g.lineTo(x + d.y * 5, y + d.x * 5); g.stroke();
        etichetta(km(m, cifreKm(passo)), x, y, c, 7);
      }
    }
    g.font = CARATTERE;

    // The cursor and the object pointed at or chosen.
    const evidenza = stato.sotto || stato.scelto;
    if (evidenza) {
      const q = puntoA(evidenza.metri);
      g.strokeStyle = rgba(colore("cursore"), 0.95);
      g.lineWidth = 3;
      g.beginPath(); g.arc(pxP(q.x), pyP(q.y), 9, 0, 2 * Math.PI); g.stroke();
      g.lineWidth = 1;
    }
    if (stato.cursore !== null) {
      const q = puntoA(stato.cursore), x = pxP(q.x), y = pyP(q.y);
      g.fillStyle = colore("cursore");
      g.strokeStyle = "#7d6608";
      g.beginPath(); g.arc(x, y, 5.5, 0, 2 * Math.PI); g.fill(); g.stroke();
    }
    // Scale bar.
    const barra = passoBello(R.barra_scala / s), lb = barra * s;
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
    const s = stato.pianta.scala, livello = livelloPer(s);
    const x = stato.pianta.cx + (px - pianta.w / 2) / s, y = stato.pianta.cy - (py - pianta.h / 2) / s, rm = r / s;
    let meglio = null, dmin = rm * rm;
    const p = livello.punti;
    for (const b of livello.blocchi) {
      if (x < b.x0 - rm || x > b.x1 + rm || y < b.y0 - rm || y > b.y1 + rm) continue;
      for (let k = b.i; k < b.j; k++) {
        const q = proiezione(x, y, p[k], p[k + 1]);
        if (q.d2 <= dmin) { dmin = q.d2; meglio = p[k].m + q.t * (p[k + 1].m - p[k].m); }
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
    parti.push("cell " + b(Math.floor(m / METRI_CELLA)));
    lettura.innerHTML = parti.join(" · ");
  }

  function testo(t) { const d = document.createElement("div"); d.textContent = t; return d.innerHTML; }
  function descrizione(o) {
    const nome = o.nomeProprio || nomeTipo(o.tipo);
    const cella = function (c) { return "cell " + c + " (" + c * METRI_CELLA + "–" + ((c + 1) * METRI_CELLA - 1) + " m)"; };
    let dove;
    if (o.nomeProprio) dove = "from " + o.da + " to " + o.a + " m";
    else if (fermate.has(o.cella)) dove = "at " + o.metri + " m, area " + o.da + " to " + o.a + " m · stop " + cella(o.cella);
    else dove = "at " + o.metri + " m (" + o.da + "–" + o.a + " m map here) · " + cella(o.cella);
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
      tr.classList.toggle("scelta", !!o && perCella.get(Number(tr.dataset.cella)) === o);
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

    // The layers, then every kind of the cell table, with the names plot uses.
    const legenda = document.getElementById("legenda");
    const linea = function (g, x0, y0, x1, y1) { g.beginPath(); g.moveTo(x0, y0); g.lineTo(x1, y1); g.stroke(); };
    const riempi = function (strato, y, h) { return function (g) { g.fillStyle = fondo(strato); g.fillRect(2, y, 24, h); }; };
    const SIMBOLI = {
      traccia: function (g) { g.strokeStyle = colore("traccia"); g.lineWidth = 3; linea(g, 2, 8, 26, 8); },
      coda: function (g) { g.strokeStyle = colore("coda"); g.lineWidth = 2.5; g.setLineDash([5, 3]); linea(g, 2, 8, 26, 8); },
      fine_linea: function (g) { g.strokeStyle = colore("fine_linea"); g.lineWidth = 3; linea(g, 14, 1, 14, 15); },
      area_stazione: riempi("area_stazione", 4, 8),
      quota: function (g) { g.strokeStyle = colore("quota"); g.lineWidth = 1.6; g.beginPath(); g.moveTo(2, 12); g.lineTo(14, 4); g.lineTo(26, 8); g.stroke(); },
      salita: function (g) { g.fillStyle = coloreGradiente(20); g.fillRect(2, 3, 12, 10); g.fillStyle = coloreGradiente(-20); g.fillRect(14, 3, 12, 10); },
      limite: function (g) { g.strokeStyle = colore("limite"); g.lineWidth = 1.8; g.beginPath(); g.moveTo(2, 4); g.lineTo(14, 4); g.lineTo(14, 11); g.lineTo(26, 11); g.stroke(); },
      rallentamento: function (g) { riempi("rallentamento", 6, 8)(g); g.strokeStyle = colore("rallentamento"); g.lineWidth = 2.2; linea(g, 2, 6, 26, 6); },
      aderenza: function (g) { g.strokeStyle = colore("aderenza"); g.lineWidth = 1.8; linea(g, 2, 10, 26, 10); },
      montagna: riempi("montagna", 4, 8),
      curva_destra: riempi("curva_destra", 4, 8),
      curva_sinistra: riempi("curva_sinistra", 4, 8),
      cursore: function (g) { g.fillStyle = colore("cursore"); g.beginPath(); g.arc(14, 8, 5, 0, 2 * Math.PI); g.fill(); },
    };
    const voci = [];
    Object.keys(STRATI).forEach(function (k) {
      if (STRATI[k].nome && SIMBOLI[k]) voci.push([STRATI[k].nome + (k === "coda" ? ": " + (TOTALE - FINE) + " m" : ""), SIMBOLI[k]]);
    });
    Object.keys(TIPI).forEach(function (k) {
      const t = TIPI[k];
      voci.push([t.nome, function (g) { segno(g, t.glifo, t.colore, 14, 8); }]);
    });
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
        scegli(perCella.get(st.cella) || null);
        // The station's area with a kilometre either side, three at the least.
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
