// Small helpers shared by the published pages: element building, links that
// may be opened, and prices.
var kzv = (function () {
  "use strict";
  function el(tag, attrs, children) {
    var node = document.createElement(tag);
    if (attrs) {
      Object.keys(attrs).forEach(function (k) {
        var v = attrs[k];
        if (v === undefined || v === null) return;
        if (k === "text") node.textContent = v;
        else if (k === "className") node.className = v;
        else if (k === "style") Object.assign(node.style, v);
        else if (k.slice(0, 2) === "on" && typeof v === "function") node.addEventListener(k.slice(2), v);
        else node.setAttribute(k, v);
      });
    }
    (children || []).forEach(function (c) { if (c) node.appendChild(c); });
    return node;
  }
  function byId(id) { return document.getElementById(id); }
  function clear(node) { while (node.firstChild) node.removeChild(node.firstChild); }
  // Only web pages are opened from the data: never script or file links.
  function isWebLink(s) { return typeof s === "string" && /^https?:\/\/[^\s]+$/i.test(s); }
  function isPrice(v) { return typeof v === "number" && isFinite(v); }
  function money(v) { return "¥" + v.toFixed(2); }
  function fileUrl(folder, name) { return folder + encodeURIComponent(name); }
  return { el: el, byId: byId, clear: clear, isWebLink: isWebLink, isPrice: isPrice, money: money, fileUrl: fileUrl };
})();
