#pragma once
#include <cstdint>
#include <span>
#include <vector>

namespace cmp {

// A numeric value that keeps its type, as the plan and `minimo` need it:
// empty, a 16-bit integer or a double. The codes are those written to the line table file.
struct valore_etichettato {
  enum class tipo : std::uint16_t { vuoto = 0, intero16 = 2, doppio = 5 };
  tipo etichetta = tipo::vuoto;
  double valore = 0.0;  // a 16-bit integer is held exactly

  static valore_etichettato intero(std::int16_t v) { return {tipo::intero16, static_cast<double>(v)}; }
  static valore_etichettato doppio(double v) { return {tipo::doppio, v}; }
};

// The plan of the line: rows 0 to L + 7000 (one per metre), axes 0 (east) and 1 (north).
// Kept as a plane of doubles plus a byte of type per value: 9 bytes a value, so a
// line of 1,000,000 m takes about 18 MB.
class TabellaLinea {
 public:
  void crea(std::size_t righe);  // all values empty
  void svuota();
  bool esiste() const { return righe_ > 0; }
  std::size_t righe() const { return righe_; }

  double numero(std::size_t riga, int asse) const { return valori_[indice(riga, asse)]; }
  valore_etichettato::tipo etichetta(std::size_t riga, int asse) const {
    return static_cast<valore_etichettato::tipo>(etichette_[indice(riga, asse)]);
  }
  void scrivi(std::size_t riga, int asse, valore_etichettato v);
  // One column metre by metre, as the file lays it out: the encoder walks it whole.
  std::span<const double> colonna(int asse) const { return {valori_.data() + indice(0, asse), righe_}; }
  std::span<const std::uint8_t> etichette_colonna(int asse) const {
    return {etichette_.data() + indice(0, asse), righe_};
  }
  // The same plan bit for bit, as its file would hold it (a NaN equals itself, 0 and -0
  // differ); compared as memory, for the whole of a long plan is compared at once.
  bool operator==(const TabellaLinea& altra) const;
  void scrivi_doppio(std::size_t riga, int asse, double v) {
    valori_[indice(riga, asse)] = v;
    etichette_[indice(riga, asse)] = static_cast<std::uint8_t>(valore_etichettato::tipo::doppio);
  }

 private:
  std::size_t indice(std::size_t riga, int asse) const { return static_cast<std::size_t>(asse) * righe_ + riga; }
  std::size_t righe_ = 0;
  std::vector<double> valori_;  // column 0 then column 1, as the file lays them out
  std::vector<std::uint8_t> etichette_;
};

}  // namespace cmp
