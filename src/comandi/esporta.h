#pragma once

namespace cmp {

class Cartella;

// export's writing, into this folder (made when missing): status 0, or 3 after one line
// naming the folder or the file.
// Without `sostituisci`, a folder already holding one of the files is refused whole.
int esporta_in(Cartella& cartella, bool sostituisci = true);

}  // namespace cmp
