// The video page's data, written by the project builder: one list per key,
// one item per published picture.
var kzvVideos = {
