"use strict";
// The hall's board, followed live: the program sends the whole state at connect and after each
// change; the browser reconnects by itself when the network drops.
(function () {
  const numeri = document.getElementById("numeri");
  const ultimo = document.getElementById("ultimo");
  const precedenti = document.getElementById("precedenti");
  const conteggio = document.getElementById("conteggio");
  const gioco = document.getElementById("gioco");
  const premi = document.getElementById("premi");
  const collegamento = document.getElementById("collegamento");
  // "?verifica=N", for checking the page in a browser: it says on <html data-overflow> whether
  // anything is cut or spills over, and after N states received it closes the stream, so that a
  // headless browser sees the network fall quiet and can hand over the page.
  const parametri = new URLSearchParams(location.search);
  const verifica = parametri.has("verifica");
  const statiDaRicevere = Number(parametri.get("verifica")) || 0;
  let ricevuti = 0;

  const celle = [];
  for (let n = 1; n <= 90; n++) {
    const cella = document.createElement("li");
    cella.id = "n" + n;
    const cifra = document.createElement("span");
    cifra.textContent = String(n);
    const stato = document.createElement("span");
    stato.className = "nascosto";
    cella.append(cifra, stato);
    celle.push(cella);
  }
  numeri.append(...celle);

  function elenco(lista, voci, vuoto) {
    lista.replaceChildren();
    for (const testo of voci.length ? voci : [vuoto]) {
      const voce = document.createElement("li");
      voce.textContent = testo;
      if (!voci.length) voce.className = "nessuno";
      lista.append(voce);
    }
  }

  function mostra(stato) {
    const estratti = new Set(stato.numeri || []);
    celle.forEach(function (cella, i) {
      const si = estratti.has(i + 1);
      cella.classList.toggle("estratto", si);
      cella.dataset.estratto = si ? "si" : "no";
      cella.lastChild.textContent = si ? " estratto" : "";
    });
    const nuovo = stato.ultimo ? String(stato.ultimo) : "–";
    if (ultimo.textContent !== nuovo) ultimo.textContent = nuovo;
    const prima = stato.precedenti || [];
    precedenti.textContent = "Precedenti: " + (prima.length ? prima.join("  ") : "nessuno");
    conteggio.textContent = "Numeri estratti: " + (stato.estratti || 0);
    gioco.textContent = stato.inGioco || "";
    elenco(premi, stato.premi || [], "Nessuno per ora");
    if (verifica) controllaSpazio();
  }

  function controllaSpazio() {
    const larghezza = document.documentElement.clientWidth;
    const altezza = document.documentElement.clientHeight;
    // On a television everything fits on the screen; a phone scrolls down.
    const schermo = larghezza >= 900 && larghezza > altezza;
    const fuori = [];
    for (const el of document.querySelectorAll("main, main *")) {
      if (el.classList.contains("nascosto") || el.closest("[hidden]")) continue;
      const r = el.getBoundingClientRect();
      if (el.scrollWidth > el.clientWidth + 1 || el.scrollHeight > el.clientHeight + 1 ||
          r.left < -0.5 || r.right > larghezza + 0.5 || (schermo && r.bottom > altezza + 0.5)) {
        fuori.push(el.id || el.tagName.toLowerCase());
      }
    }
    if (document.documentElement.scrollWidth > larghezza) fuori.push("pagina larga");
    if (schermo && document.documentElement.scrollHeight > altezza) fuori.push("pagina alta");
    document.documentElement.dataset.overflow = fuori.length ? fuori.join(" ") : "no";
    document.documentElement.dataset.contrasto = contrastoMinimo().toFixed(1);
  }

  // The lowest contrast between a text shown and the colour behind it (WCAG's ratio).
  function contrastoMinimo() {
    function luce(colore) {
      const [r, g, b] = colore.match(/[\d.]+/g).slice(0, 3).map(function (c) {
        const v = Number(c) / 255;
        return v <= 0.03928 ? v / 12.92 : Math.pow((v + 0.055) / 1.055, 2.4);
      });
      return 0.2126 * r + 0.7152 * g + 0.0722 * b;
    }
    function sfondo(el) {
      for (; el; el = el.parentElement) {
        const colore = getComputedStyle(el).backgroundColor;
        if (!/^rgba\(.*,\s*0\)$/.test(colore) && colore !== "transparent") return colore;
      }
      return "rgb(255, 255, 255)";
    }
    let minimo = 21;
    for (const el of document.querySelectorAll("body *")) {
      const testo = Array.from(el.childNodes).some(function (n) {
        return n.nodeType === Node.TEXT_NODE && n.textContent.trim();
      });
      if (!testo || el.closest("[hidden]") || el.closest("noscript")) continue;
      const a = luce(getComputedStyle(el).color);
      const b = luce(sfondo(el));
      minimo = Math.min(minimo, (Math.max(a, b) + 0.05) / (Math.min(a, b) + 0.05));
    }
    return minimo;
  }

  function collega() {
    const fonte = new EventSource("eventi");
    fonte.onopen = function () { collegamento.hidden = true; };
    fonte.onmessage = function (evento) {
      collegamento.hidden = true;
      mostra(JSON.parse(evento.data));
      if (statiDaRicevere && ++ricevuti >= statiDaRicevere) fonte.close();
    };
    fonte.onerror = function () {
      collegamento.hidden = false;
      // A refused stream (too many viewers) is not retried by the browser: try again later.
      if (fonte.readyState === EventSource.CLOSED) setTimeout(collega, 5000);
    };
  }
  if (verifica) controllaSpazio();
  collega();
})();
