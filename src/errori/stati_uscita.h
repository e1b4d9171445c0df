#pragma once

namespace cmp {

// Exit statuses of the program, the built-in run and every command alike.
inline constexpr int kUscitaPulita = 0;
inline constexpr int kUscitaErroreDescrizione = 1;  // a description error or a warning was recorded
inline constexpr int kUscitaFinale = 2;             // 1250 / 1251: no binary file written
inline constexpr int kUscitaUso = 3;                // usage, or a file that cannot be read or written

}  // namespace cmp
