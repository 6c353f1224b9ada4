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
  // "?verifica": the page says on <html data-overflow> whether anything is cut or spills over.
  const verifica = new URLSearchParams(location.search).has("verifica");

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
    document.documentElement.dataset.aggiornamenti =
      String(Number(document.documentElement.dataset.aggiornamenti || 0) + 1);
    if (verifica) controllaSpazio();
  }

  function controllaSpazio() {
    const larghezza = document.documentElement.clientWidth;
    const altezza = document.documentElement.clientHeight;
    const fuori = [];
    for (const el of document.querySelectorAll("main, main *")) {
      if (el.classList.contains("nascosto") || el.closest("[hidden]")) continue;
      const r = el.getBoundingClientRect();
      if (el.scrollWidth > el.clientWidth + 1 || r.left < -0.5 || r.right > larghezza + 0.5 ||
          (el.clientHeight > 0 && el.scrollHeight > el.clientHeight + 1)) {
        fuori.push(el.id || el.tagName.toLowerCase());
      }
    }
    if (document.documentElement.scrollWidth > larghezza) fuori.push("pagina larga");
    // On a television everything fits on the screen; a phone scrolls down.
    const schermo = larghezza >= 900 && larghezza > altezza;
    if (schermo && document.documentElement.scrollHeight > altezza) fuori.push("pagina alta");
    document.documentElement.dataset.overflow = fuori.length ? fuori.join(" ") : "no";
  }

  function collega() {
    const fonte = new EventSource("eventi");
    fonte.onopen = function () { collegamento.hidden = true; };
    fonte.onmessage = function (evento) {
      collegamento.hidden = true;
      mostra(JSON.parse(evento.data));
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
