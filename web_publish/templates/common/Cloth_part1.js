// The fitting room's data, written by the project builder: one list per key,
// one item per published part (deepest layer first).
var kzvCloths = {
