#pragma once
// The syntax files of the two description formats, generated from the keyword table:
// a TextMate grammar each (VS Code and other editors) and a Vim syntax file each, plus
// the Vim file-type detection. `genera_sintassi DIR` writes them under DIR (editors/).
#include <string>
#include <vector>

namespace cmp {

struct file_sintassi {
  std::string percorso;  // relative to editors/
  std::string contenuto;
};

std::vector<file_sintassi> genera_file_sintassi();

}  // namespace cmp
