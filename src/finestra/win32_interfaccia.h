#pragma once
// The window implementation of the user interface on Windows, with user32 and gdi32 only.
// Nothing here needs the Windows headers: the rest of the program sees only `Interfaccia`.
#include <memory>

#include "finestra/interfaccia.h"

namespace cmp {

// The waiting window (made at once, hidden until mostra_attesa) and the error box;
// nullptr when no window can be made (no desktop: a service, or Wine without a display),
// so that the caller falls back to the terminal.
std::unique_ptr<Interfaccia> apri_interfaccia_win32();

// Started from Explorer a console program gets a console window of its own, which would
// stand beside the waiting window: when the process is the only one on its console and
// its standard output and error are that console, the console is let go (and closes).
// Started from cmd, PowerShell or a terminal, the console is shared with the shell and
// stays; output sent to a file or a pipe keeps it too. True when it was let go.
bool libera_console_propria();

}  // namespace cmp
