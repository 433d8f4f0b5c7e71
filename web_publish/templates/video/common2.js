// The video page's entries from its data script, grouped by page (the
// "pagNVideo_" prefix of each picture name).
var kzvVideoList = (function () {
  "use strict";
  var D = window.kzvVideos || {};
  var n = Math.min(D.PARTMAXJN | 0, (D.imgpart || []).length);
  var pages = {};
  for (var i = 0; i < n; i++) {
    var picture = String(D.imgpart[i] || "");
    var m = /^pag(\d)Video_/.exec(picture);
    var page = m ? Number(m[1]) : 1;
    (pages[page] = pages[page] || []).push({
      index: i, picture: picture, kind: (D.partKind || [])[i], name: String((D.dressCodno || [])[i] || ""),
      video: String((D.dressLstxt || [])[i] || ""), price: (D.partPrice || [])[i], link: String((D.LnkAddWeb || [])[i] || "")
    });
  }
  return { pages: pages, pageNumbers: Object.keys(pages).map(Number).sort(function (a, b) { return a - b; }) };
})();
