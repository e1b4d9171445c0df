#include "plot/semplifica.h"

#include <cmath>
#include <utility>

namespace cmp::disegno {
namespace {

// Distance of p from the segment a-b (from a when the segment is a point).
double distanza(const punto& p, const punto& a, const punto& b) {
  const double dx = b.x - a.x;
  const double dy = b.y - a.y;
  const double lunghezza2 = dx * dx + dy * dy;
  double t = 0.0;
  if (lunghezza2 > 0.0) {
    t = ((p.x - a.x) * dx + (p.y - a.y) * dy) / lunghezza2;
    t = t < 0.0 ? 0.0 : (t > 1.0 ? 1.0 : t);
  }
  const double ex = p.x - (a.x + t * dx);
  const double ey = p.y - (a.y + t * dy);
  return std::sqrt(ex * ex + ey * ey);
}

}  // namespace

std::vector<punto> semplifica(const std::vector<punto>& punti, double tolleranza) {
  if (punti.size() < 3) return punti;
  std::vector<bool> tieni(punti.size(), false);
  tieni.front() = tieni.back() = true;
  std::vector<std::pair<std::size_t, std::size_t>> da_fare{{0, punti.size() - 1}};
  while (!da_fare.empty()) {
    const auto [a, b] = da_fare.back();
    da_fare.pop_back();
    double peggiore = -1.0;
    std::size_t indice = a;
    for (std::size_t i = a + 1; i < b; ++i) {
      const double d = distanza(punti[i], punti[a], punti[b]);
      if (d > peggiore) {
        peggiore = d;
        indice = i;
      }
    }
    if (peggiore > tolleranza) {
      tieni[indice] = true;
      da_fare.push_back({a, indice});
      da_fare.push_back({indice, b});
    }
  }
  std::vector<punto> out;
  for (std::size_t i = 0; i < punti.size(); ++i) {
    if (tieni[i]) out.push_back(punti[i]);
  }
  return out;
}

double passo_tondo(double minimo) {
  if (!(minimo > 0.0)) return 1.0;
  double potenza = std::pow(10.0, std::floor(std::log10(minimo)));
  for (;;) {
    for (const double f : {1.0, 2.0, 5.0}) {
      if (f * potenza >= minimo) return f * potenza;
    }
    potenza *= 10.0;
  }
}

}  // namespace cmp::disegno
