#pragma once
#include <stdexcept>

#include "errori/catalogo_errori.h"

namespace cmp {

// A row whose values cannot be compiled although each was read: arithmetic that leaves
// 32 bits, a result that does not fit its field, a row that needs a track that does not
// exist. Both readers turn it into error 25 at the row's keyword field.
class FallimentoRiga : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace cmp
