// The web fitting room: categories as tabs, thumbnails, a click dresses the
// model (one garment per layer; the same click again takes it off), the
// garment's name, price, link and voice, its faces, and the worn total.
(function () {
  "use strict";
  var D = window.kzvCloths || {};
  var C = window.KZV_CONST;
  var count = Math.min(D.PARTMAXJN | 0, (D.imgpart || []).length);
  function at(key, i) { var list = D[key]; return Array.isArray(list) ? list[i] : undefined; }
  function num(v, fallback) { return typeof v === "number" && isFinite(v) ? v : fallback; }

  var entries = [];
  for (var i = 0; i < count; i++) {
    var size = at("imgWdHt", i) || [], pos = at("partXYpos", i) || [];
    entries.push({
      index: i,
      picture: String(at("imgpart", i) || ""),
      w: num(size[0], 0), h: num(size[1], 0),
      x: num(pos[0], 0), y: num(pos[1], 0),
      depth: num(at("partGrpNo", i), 50),
      kind: num(at("partKind", i), 4),
      price: at("partPrice", i),
      control: num(at("ExpFaceCtrl", i), -1),
      voice: String(at("dressLstxt", i) || ""),
      name: String(at("dressCodno", i) || ""),
      link: String(at("LnkAddWeb", i) || ""),
      faceName: String(at("faceImgName", i) || ""),
      faces: num(at("clothFaceNum", i), 0),
      faceKind: num(at("facImgkdLst", i), 1)
    });
  }
  // "partXYpos" is the picture's own corner: a project keeps the corner of
  // the square around the picture, and the writer has centred it already.
  var baseShown = D.Init0FaceCtrl === 0;

  var worn = {};  // layer -> entry index
  var selected = -1, currentKind = -1, page = 0, faceShown = 0;
  var stage = kzv.byId("kzvStage"), thumbs = kzv.byId("kzvThumbs"), tabs = kzv.byId("kzvTabs");
  var info = kzv.byId("kzvInfo"), total = kzv.byId("kzvTotal"), facePanel = kzv.byId("kzvFace");

  function pictureUrl(e) { return kzv.fileUrl(C.pictureFolder, e.picture); }
  function thumbnailUrl(e) { return e.kind === 0 ? pictureUrl(e) : kzv.fileUrl(C.pictureFolder, "S" + e.picture); }

  function renderStage() {
    kzv.clear(stage);
    Object.keys(worn).forEach(function (layer) {
      var e = entries[worn[layer]];
      stage.appendChild(kzv.el("img", {
        src: pictureUrl(e), alt: e.name, className: "kzv-worn", "data-entry": e.index,
        style: { left: e.x + "px", top: e.y + "px", width: e.w + "px", height: e.h + "px",
                 zIndex: String(1000 - e.depth) }
      }));
    });
    var sum = 0, any = false;
    Object.keys(worn).forEach(function (layer) {
      var p = entries[worn[layer]].price;
      if (kzv.isPrice(p)) { sum += p; any = true; }
    });
    total.textContent = any ? "合计: " + kzv.money(sum) : "";
  }

  function wear(i, toggle) {
    var e = entries[i];
    if (toggle && worn[e.depth] === i) delete worn[e.depth];
    else worn[e.depth] = i;
  }

  function dress(i) {
    wear(i, true);
    var e = entries[i];
    // A part that brings another one with it.
    if (e.control >= 2000 && e.control - 2000 < entries.length && worn[e.depth] === i) wear(e.control - 2000, false);
    selected = i;
    faceShown = 0;
    renderStage();
    renderInfo();
  }

  function playVoice(e) {
    var audio = new Audio(kzv.fileUrl(C.soundFolder, e.voice));
    audio.play().catch(function () { info.appendChild(kzv.el("div", { className: "kzv-note", text: "语音不能播放" })); });
  }

  function faceUrl(e, f) {
    var ext = C.faceExtensions[e.faceKind] || "jpg";
    var name = e.faces > 1 ? e.faceName + f : e.faceName + "0";
    return kzv.fileUrl(C.faceFolder, name + "." + ext);
  }

  function showFace(e) {
    var n = Math.max(1, Math.min(9, e.faces));
    kzv.clear(facePanel);
    facePanel.appendChild(kzv.el("img", { src: faceUrl(e, faceShown % n), alt: e.name }));
    facePanel.appendChild(kzv.el("button", { text: "关闭", onclick: function () { facePanel.hidden = true; } }));
    facePanel.hidden = false;
    faceShown = (faceShown + 1) % n;
  }

  function renderInfo() {
    kzv.clear(info);
    if (selected < 0) return;
    var e = entries[selected];
    info.appendChild(kzv.el("div", { className: "kzv-name", text: e.name }));
    if (kzv.isPrice(e.price)) info.appendChild(kzv.el("div", { className: "kzv-price", text: "价格: " + kzv.money(e.price) }));
    var row = kzv.el("div", { className: "kzv-actions" });
    if (kzv.isWebLink(e.link))
      row.appendChild(kzv.el("a", { href: e.link, target: "_blank", rel: "noopener noreferrer", text: "查看详情" }));
    if (e.voice) row.appendChild(kzv.el("button", { text: "听介绍", onclick: function () { playVoice(e); } }));
    if (e.faces > 0) row.appendChild(kzv.el("button", { text: "换面", onclick: function () { showFace(e); } }));
    info.appendChild(row);
  }

  function kinds() {
    var seen = [];
    entries.forEach(function (e) {
      if ((e.kind !== 0 || !baseShown) && seen.indexOf(e.kind) < 0) seen.push(e.kind);
    });
    return seen.sort(function (a, b) { return a - b; });
  }

  function renderTabs() {
    kzv.clear(tabs);
    kinds().forEach(function (k) {
      tabs.appendChild(kzv.el("button", {
        className: "kzv-tab" + (k === currentKind ? " kzv-current" : ""), "data-kind": k,
        text: C.kindNames[k] || String(k),
        onclick: function () { currentKind = k; page = 0; renderTabs(); renderThumbs(); }
      }));
    });
  }

  function renderThumbs() {
    kzv.clear(thumbs);
    var list = entries.filter(function (e) { return e.kind === currentKind; });
    var per = C.thumbnailsPerPage, pages = Math.max(1, Math.ceil(list.length / per));
    page = Math.min(page, pages - 1);
    list.slice(page * per, page * per + per).forEach(function (e) {
      thumbs.appendChild(kzv.el("button", {
        className: "kzv-thumb", title: e.name, "data-entry": e.index, onclick: function () { dress(e.index); }
      }, [kzv.el("img", { src: thumbnailUrl(e), alt: e.name })]));
    });
    if (pages > 1) {
      thumbs.appendChild(kzv.el("div", { className: "kzv-pages" }, [
        kzv.el("button", { text: "<", onclick: function () { page = Math.max(0, page - 1); renderThumbs(); } }),
        kzv.el("span", { text: (page + 1) + "/" + pages }),
        kzv.el("button", { text: ">", onclick: function () { page = Math.min(pages - 1, page + 1); renderThumbs(); } })
      ]));
    }
  }

  function renderFooter() {
    var links = D.qqWeb || [], footer = kzv.byId("kzvFooter");
    [["在线客服", links[0]], ["商家网址", links[1]], ["下载", links[2]]].forEach(function (pair) {
      if (kzv.isWebLink(pair[1]))
        footer.appendChild(kzv.el("a", { href: pair[1], target: "_blank", rel: "noopener noreferrer", text: pair[0] }));
    });
  }

  if (baseShown) entries.forEach(function (e) { if (e.kind === 0) wear(e.index, false); });
  var first = kinds();
  currentKind = first.length ? first[0] : -1;
  renderTabs();
  renderThumbs();
  renderStage();
  renderFooter();
  window.kzvRoom = { entries: entries, worn: worn, dress: dress };
})();
