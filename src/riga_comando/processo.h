#pragma once
// What the process sets up before anything else runs, on each system (processo_linux.cpp,
// processo_windows.cpp): the rest of the program finds the same process on both.
#include <string>
#include <vector>

namespace cmp {

// Linux: a file that grows past the process's size limit is a write that fails, reported
// with its name like any other, not a signal that kills the run half-way. Windows: the
// standard streams carry bytes as they are (no CR LF translation), as on Linux.
void prepara_processo();

// The arguments after the program's name, in UTF-8. Linux: argv as it is. Windows: the
// wide command line, so that a name outside the ANSI code page arrives whole (argv holds
// it in that code page, a "?" in its place).
std::vector<std::string> argomenti_riga_comando(int argc, char** argv);

}  // namespace cmp
