#pragma once

namespace cmp {

// How a description reader ended.
enum class esito_lettura {
  completa,    // read to its end (or stopped by error 15): the caller goes on
  interrotta,  // stopped by an error of its own; the caller returns
  fallita,     // reading failure, error 25: the caller deletes both description texts
};

}  // namespace cmp
