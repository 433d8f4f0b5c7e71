#pragma once
// The value editor's units: measurements are hundredths of a centimetre;
// the editor shows and reads them in centimetres, inches or chi.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace measure {

enum class ValueUnit { Centimetre = 0, Inch = 1, Chi = 2 };
inline constexpr const char* kUnitNames[3] = {"厘米", "英寸", "尺"};

// A value as the form shows it: whole centimetres as "17", otherwise the
// centimetres with two decimals ("5.08"); a value not given (below 0) as "".
std::string FormatCentimetres(std::int32_t hundredths);
// The value in a unit, as the editor opens with it: centimetres as above,
// inches and chi with up to two and three decimals ("12.5"); "" below 0.
std::string FormatInUnit(std::int32_t hundredths, ValueUnit unit);
// Reads a text in a unit: centimetres "172", "17.255" (rounded to the
// nearest hundredth); inches "12", "12.5", "12 1/2", "3/4"; chi "2", "2.5".
// Leading and trailing blanks are allowed. None for anything else, a zero
// denominator, or a value of 100 m and more.
std::optional<std::int32_t> ParseValue(std::string_view text, ValueUnit unit);

}  // namespace measure
