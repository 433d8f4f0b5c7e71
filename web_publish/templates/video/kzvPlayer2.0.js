// The video page: page tabs, posters (thumbnails; the pictures themselves for
// the first category, which has none), the screen and the caption.
(function () {
  "use strict";
  var list = window.kzvVideoList, screen = new KzvScreen(kzv.byId("kzvScreen"));
  var tabs = kzv.byId("kzvPages"), posters = kzv.byId("kzvPosters"), caption = kzv.byId("kzvCaption");
  var current = list.pageNumbers.length ? list.pageNumbers[0] : 0;
  function pick(e) {
    screen.show(e);
    kzv.clear(caption);
    caption.appendChild(kzv.el("span", { text: e.name }));
    if (kzv.isPrice(e.price)) caption.appendChild(kzv.el("span", { className: "kzv-price", text: " " + kzv.money(e.price) }));
    if (kzv.isWebLink(e.link)) caption.appendChild(kzv.el("a", { href: e.link, target: "_blank", rel: "noopener noreferrer", text: " 查看详情" }));
  }
  function render() {
    kzv.clear(tabs);
    list.pageNumbers.forEach(function (p) {
      tabs.appendChild(kzv.el("button", { className: "kzv-tab" + (p === current ? " kzv-current" : ""), text: "第" + p + "页",
                                          onclick: function () { current = p; render(); } }));
    });
    kzv.clear(posters);
    (list.pages[current] || []).forEach(function (e) {
      posters.appendChild(kzv.el("button", { className: "kzv-thumb", title: e.name, "data-entry": e.index, onclick: function () { pick(e); } },
                                 [kzv.el("img", { src: kzv.fileUrl(KZV_CONST.pictureFolder, (e.kind === 0 ? "" : "S") + e.picture), alt: e.name })]));
    });
  }
  render();
  var first = (list.pages[current] || [])[0];
  if (first) pick(first);
})();
