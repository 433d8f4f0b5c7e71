// Fixed texts and folders of the published pages.
var KZV_CONST = {
  stageWidth: 460,
  stageHeight: 520,
  // Tab captions by category ("partKind": category letter A..F as 0..5).
  kindNames: ["模特", "上装", "下装", "包鞋类", "饰品", "套装"],
  // Face picture extensions by "facImgkdLst".
  faceExtensions: ["png", "jpg", "gif"],
  pictureFolder: "java1img/",
  faceFolder: "mulFaceImg/",
  soundFolder: "sound/",
  videoFolder: "videodb/",
  thumbnailsPerPage: 12
};
