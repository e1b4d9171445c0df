#pragma once
// The window lives in a module loaded at run time, so that the program links no X, Xft,
// fontconfig or freetype library: commands other than the built-in run never load them,
// and the program starts on machines that have none.
#include "finestra/interfaccia.h"

namespace cmp {

inline constexpr const char* kFileModuloFinestra = "libcompattatore_finestra.so";
inline constexpr const char* kSimboloApriFinestra = "compattatore_apri_finestra";

// The module's one entry: the window on the display named by DISPLAY, owned by the
// caller, or nullptr when none can be opened.
using ApriFinestra = Interfaccia*();

}  // namespace cmp
