#pragma once
#include <string_view>

namespace cmp {

// The places of the built-in scenario as the crew documents write them. The route
// "VallorsaC_Pietrana" runs from Vallorsa C. to Pietrana in the Carsena region.
inline constexpr std::string_view kRegione = "Carsena";
inline constexpr std::string_view kRegioneMaiuscole = "CARSENA";
inline constexpr std::string_view kPrimaLocalita = "Vallorsa";
inline constexpr std::string_view kPrimaLocalitaMaiuscole = "VALLORSA";
inline constexpr std::string_view kSecondaLocalita = "Pietrana";
inline constexpr std::string_view kSecondaLocalitaMaiuscole = "PIETRANA";

// Stations of the train, in capitals, and where its train sheet ends.
inline constexpr std::string_view kStazionePartenza = "VALLORSA C.";
inline constexpr std::string_view kSecondaStazioneScheda = "S. LORIANO";  // "SAN LORIANO", first word cut
inline constexpr std::string_view kTerzaStazione = "BRENZOLA";
inline constexpr std::string_view kStazioneArrivo = "PIETRANA";
inline constexpr std::string_view kTermineScheda = "FERRANO CENTRALE";

}  // namespace cmp
