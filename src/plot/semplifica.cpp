#include "plot/semplifica.h"

#include <algorithm>
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

// Points are taken in blocks of this many, each held as a circle about its bounding box.
// No point of a block lies farther from a segment than the circle's centre plus its
// radius: a block that cannot reach a distance some point already reaches cannot hold the
// farthest point, and is passed over.
constexpr std::size_t kBlocco = 16;
// Relative to the largest coordinate: far above the rounding of the distances computed,
// far below any tolerance that makes sense.
constexpr double kMargineRelativo = 1e-9;

struct cerchio {
  punto centro;
  double raggio = 0.0;
};

struct blocchi {
  std::vector<cerchio> cerchi;
  double grandezza = 1.0;  // the largest absolute coordinate, or 1
};

blocchi in_blocchi(const std::vector<punto>& punti) {
  blocchi out;
  out.cerchi.resize(punti.size() / kBlocco);
  for (std::size_t k = 0; k < out.cerchi.size(); ++k) {
    const punto* p = &punti[k * kBlocco];
    double min_x = p[0].x, max_x = p[0].x, min_y = p[0].y, max_y = p[0].y;
    for (std::size_t i = 1; i < kBlocco; ++i) {
      min_x = std::min(min_x, p[i].x);
      max_x = std::max(max_x, p[i].x);
      min_y = std::min(min_y, p[i].y);
      max_y = std::max(max_y, p[i].y);
    }
    out.cerchi[k] = {{(min_x + max_x) / 2.0, (min_y + max_y) / 2.0}, std::hypot(max_x - min_x, max_y - min_y) / 2.0};
    out.grandezza = std::max({out.grandezza, std::abs(min_x), std::abs(max_x), std::abs(min_y), std::abs(max_y)});
  }
  for (std::size_t i = out.cerchi.size() * kBlocco; i < punti.size(); ++i) {
    out.grandezza = std::max({out.grandezza, std::abs(punti[i].x), std::abs(punti[i].y)});
  }
  return out;
}

// The first of the points strictly between a and b that lies farthest from the segment a-b,
// and its distance; a distance not above `tolleranza` when none lies beyond it (then the
// index is of no use). Points in blocks that cannot reach the larger of the tolerance
// and a distance already seen are skipped: they could not be the farthest one.
std::pair<std::size_t, double> piu_lontano(const std::vector<punto>& punti, const blocchi& gruppi, double margine,
                                           std::size_t a, std::size_t b, double tolleranza) {
  double peggiore = -1.0;
  std::size_t indice = a;
  const auto esamina = [&](std::size_t da, std::size_t fino) {
    for (std::size_t i = da; i < fino; ++i) {
      const double d = distanza(punti[i], punti[a], punti[b]);
      if (d > peggiore) {
        peggiore = d;
        indice = i;
      }
    }
  };
  const std::size_t primo_blocco = (a + 1 + kBlocco - 1) / kBlocco;
  const std::size_t fine_blocchi = b / kBlocco;
  if (fine_blocchi <= primo_blocco + 1) {
    esamina(a + 1, b);
    return {indice, peggiore};
  }
  // A distance the farthest point reaches at least: the tolerance, or a block's first point.
  double soglia = tolleranza;
  for (std::size_t k = primo_blocco; k < fine_blocchi; ++k) {
    soglia = std::max(soglia, distanza(punti[k * kBlocco], punti[a], punti[b]));
  }
  esamina(a + 1, primo_blocco * kBlocco);
  for (std::size_t k = primo_blocco; k < fine_blocchi; ++k) {
    const cerchio& c = gruppi.cerchi[k];
    if (distanza(c.centro, punti[a], punti[b]) + c.raggio + margine < std::max(soglia, peggiore)) continue;
    esamina(k * kBlocco, (k + 1) * kBlocco);
  }
  esamina(fine_blocchi * kBlocco, b);
  return {indice, peggiore};
}

}  // namespace

std::vector<punto> semplifica(const std::vector<punto>& punti, double tolleranza) {
  if (punti.size() < 3) return punti;
  const blocchi gruppi = in_blocchi(punti);
  const double margine = kMargineRelativo * gruppi.grandezza;
  std::vector<char> tieni(punti.size(), 0);
  tieni.front() = tieni.back() = 1;
  std::vector<std::pair<std::size_t, std::size_t>> da_fare{{0, punti.size() - 1}};
  while (!da_fare.empty()) {
    const auto [a, b] = da_fare.back();
    da_fare.pop_back();
    const auto [indice, peggiore] = piu_lontano(punti, gruppi, margine, a, b, tolleranza);
    if (peggiore > tolleranza) {
      tieni[indice] = 1;
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
