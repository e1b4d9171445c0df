#pragma once
#include <vector>

namespace cmp::disegno {

struct punto {
  double x = 0.0;
  double y = 0.0;
};

// The points of a polyline that must stay so that no dropped point lies farther than
// `tolleranza` from the simplified line (Ramer-Douglas-Peucker, without recursion so that
// a million points do not exhaust the stack). The first and last points always stay.
std::vector<punto> semplifica(const std::vector<punto>& punti, double tolleranza);

// The smallest "round" step (1, 2 or 5 times a power of ten) not below `minimo`;
// 1 for a minimum of 0 or less.
double passo_tondo(double minimo);

}  // namespace cmp::disegno
