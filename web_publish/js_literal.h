#pragma once
// Texts of the generated data script as JavaScript literals. The data script
// is always valid JavaScript, whatever the project's texts hold:
// - strings are double-quoted with quotes, backslashes, line breaks, control
//   characters, U+2028/U+2029 and '<' (so no "</script>" or "<!--") escaped;
// - a one-letter field is a quoted letter when it is printable ASCII, else
//   the empty string "";
// - a number is written only when the whole text is a decimal number; leading
//   zeros are dropped (a literal "012" is an error in strict code). Anything
//   else is left out, which makes an empty array item (a hole, read as
//   undefined): the fallback for every number field is the empty item.
// Pure functions.
#include <optional>
#include <string>
#include <string_view>

namespace web_publish {

std::string JsString(std::string_view utf8);
std::string JsLetter(char c);
// The text as a JavaScript number literal, or nullopt when it is not
// "-"? digits ("." digits)? (or "-"? "." digits).
std::optional<std::string> JsNumber(std::string_view text);
// The item written for a number field: the literal, or nothing.
inline std::string JsNumberItem(std::string_view text) { return JsNumber(text).value_or(std::string()); }

// The price of a part as published: of its first 8 bytes only the digits,
// '.' and '-' are kept, in their order; the result is a number item.
std::string CleanPrice(std::string_view priceBytes);
// "[w,h]" from a size text "w,h" (an optional picture-kind letter J/P/G in
// front is ignored); each side that is not a number is an empty item, and the
// list always has two items ("[5,,]" when the second is empty).
std::string JsSizePair(std::string_view sizeText);

}  // namespace web_publish
