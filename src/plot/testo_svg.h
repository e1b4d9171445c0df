#pragma once
#include <string>
#include <string_view>

namespace cmp::disegno {

// A coordinate or length with one decimal: the same value always gives the same bytes,
// whatever the locale ("-0.0" comes out as "0.0").
std::string numero(double v);

// A UTF-8 text made safe for XML character data and attribute values. Control characters
// other than tab have no place in XML 1.0: each becomes U+FFFD.
std::string testo_xml(std::string_view utf8);

// A Windows-1252 text of the scenario, converted to UTF-8 and made safe for XML.
std::string testo_scenario_xml(std::string_view cp1252);

// The kilometre reading of a railway kilometre value in metres: 132749 -> "132+749",
// -250 -> "-0+250".
std::string progressiva(long long metri);

// Metres as kilometres with 0 to 3 decimals, cut rather than rounded (the callers pass
// whole multiples of the last decimal): 132500 with 1 -> "132.5", -500 with 1 -> "-0.5".
std::string chilometri(long long metri, int decimali);

// The decimals a kilometre label needs for a round step in metres: 0 from 1000 up, then 1, 2, 3.
int decimali_passo(long long metri);

}  // namespace cmp::disegno
