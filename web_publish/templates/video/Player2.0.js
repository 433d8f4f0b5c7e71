// The screen: the video that the entry names (a file of the videos folder
// with a video extension), else the entry's poster.
function KzvScreen(node) {
  "use strict";
  this.node = node;
  this.show = function (entry) {
    var back = document.getElementById("kzvScreenBack");
    kzv.clear(node);
    if (back) node.appendChild(back);
    if (/\.(mp4|webm|ogv|ogg|m4v)$/i.test(entry.video)) {
      node.appendChild(kzv.el("video", { src: kzv.fileUrl(KZV_CONST.videoFolder, entry.video), controls: "",
                                         poster: kzv.fileUrl(KZV_CONST.pictureFolder, entry.picture) }));
    } else {
      node.appendChild(kzv.el("img", { className: "kzv-poster", src: kzv.fileUrl(KZV_CONST.pictureFolder, entry.picture), alt: entry.name }));
    }
  };
}
