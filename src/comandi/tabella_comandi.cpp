#include "comandi/tabella_comandi.h"

#include "comandi/avvio.h"

#ifdef COMPATTATORE_LSP
#include "lsp/comando_lsp.h"
#endif

namespace cmp {
namespace {

#ifdef COMPATTATORE_LSP
int comando_lsp_tabella(const opzioni_lette&) { return comando_lsp({}); }
#endif

const std::vector<descrizione_comando> kComandi = {
    {"compile",
     "compile a line and a train description into the binary files",
     "compattatore compile --line LINE.txt --train TRAIN.txt [--out DIR]\n"
     "                            [--nome-linea NAME] [--numero-treno NUMBER]\n"
     "                            [--no-plan] [--strict] [--json] [--encoding ENC]\n",
     "Compiles a line description and a train description into the binary files\n"
     "<NAME>_linea.dat (the plan of the line), <NAME>_<NUMBER>.sim (the scenario table)\n"
     "and <NAME>_<NUMBER>.dat (the track) in DIR (default: the current folder).\n"
     "The input files are never changed or deleted.\n",
     {
         {"--line", "FILE", "the line description text"},
         {"--train", "FILE", "the train description text"},
         {"--out", "DIR", "where the binary files go; created with its parents when missing"},
         {"--nome-linea", "NAME",
          "the route identifier; by default taken from LINE's name\nwhen it is <NAME>_linea.txt"},
         {"--numero-treno", "NUMBER",
          "the train number; by default taken from TRAIN's name\nwhen it is <NAME>_<NUMBER>-.txt"},
         {"--no-plan", nullptr, "do not build or write the plan of the line (<NAME>_linea.dat)"},
         {"--strict", nullptr, "write nothing when an error or a warning was recorded"},
         {"--encoding", "ENC",
          "the code page of both texts: windows-1252 (the default) or\n"
          "utf-8, converted to Windows-1252 before reading (a character\n"
          "it cannot hold is an error naming its line and column)"},
         {"--json", nullptr, "print one JSON object with the outcome on standard output"},
     },
     "Errors in the descriptions are printed as FILE:LINE:COLUMN: error N: message,\n"
     "warnings (a misspelt keyword, a file with no row of its kind, a UTF-8 text) as\n"
     "FILE:LINE:COLUMN: warning N: message; 'compattatore explain N' tells more.\n"
     "As in the built-in run, the files are still written after such an error (not with\n"
     "--strict). Exit status: 0 clean, 1 an error or a warning was recorded, 2 error 1250/1251 (nothing\n"
     "written), 3 a usage error or a file that cannot be read or written.\n",
     0,
     comando_compila},
    {"export",
     "write the built-in descriptions and crew documents as a starting point",
     "compattatore export [--out DIR] [--force]\n",
     "Writes the built-in scenario's line description (VallorsaC_Pietrana_linea.txt),\n"
     "train description (VallorsaC_Pietrana_4721-.txt) and the three crew documents into\n"
     "DIR (default: the current folder; created when missing). A file of the same name\n"
     "is never replaced (export refuses and writes nothing) unless --force is given.\n"
     "'compattatore compile --line VallorsaC_Pietrana_linea.txt\n"
     "--train VallorsaC_Pietrana_4721-.txt' then gives the built-in run's binary files.\n",
     {
         {"--out", "DIR", "where the files go; created with its parents when missing"},
         {"--force", nullptr, "replace files of the same name (your edits are lost)"},
     },
     "Exit status: 0 written, 3 a usage error, a file already there (without --force)\n"
     "or a file that cannot be written.\n",
     0,
     comando_esporta},
    {"dump",
     "decode a binary scenario file into a readable listing or JSON",
     "compattatore dump FILE [--json] [--every N]\n",
     "Decodes a binary scenario file, told apart by its name:\n"
     "  *_linea.dat  the plan of the line: metre, east, north every N metres (default 100)\n"
     "  *.sim        the scenario table: one line per entry, 0 to 86\n"
     "  *.dat        the track: one line per cell that holds anything\n"
     "Each file is checked against what a compile writes (its size, its structure and\n"
     "its values) before anything is printed. A damaged file is reported with its byte\n"
     "offset and what was expected there (exit status 1), after the entries or cells\n"
     "that lie wholly before that offset; nothing of a damaged plan is printed.\n",
     {
         {"--json", nullptr, "print the decoded file as one JSON object"},
         {"--every", "N", "the plan of the line: one point every N metres"},
     },
     "Exit status: 0 decoded, 1 a damaged file (cut, of the wrong size, or holding values\n"
     "no compile writes), 3 a usage error or a file that cannot be read.\n",
     1,
     comando_dump},
    {"plot",
     "draw the compiled line (plan and profiles) as an SVG picture or an interactive page",
     "compattatore plot --line LINE.txt --train TRAIN.txt --out FILE.svg|FILE.html\n"
     "                         [--nome-linea NAME] [--numero-treno NUMBER] [--editor-url TEMPLATE]\n"
     "                         [--encoding ENC]\n"
     "       compattatore plot --from DIR --out FILE.svg|FILE.html [--nome-linea NAME] [--numero-treno NUMBER]\n",
     "Draws the compiled line: the plan of the line (north up, with a scale bar) with its\n"
     "stations, signals, speed-indicator boards and caption boards, and below it the gradient\n"
     "and the speed-limit profiles on one kilometre axis, with slow orders, abbattimento\n"
     "points and mountain stretches. FILE.svg is one self-contained static picture; FILE.html\n"
     "(or .htm) is one self-contained interactive page (zoom and pan, a cursor linked between\n"
     "the plan and the profiles, tooltips with each object's source row, errors drawn at\n"
     "their kilometre) that loads nothing from anywhere.\n",
     {
         {"--line", "FILE",
          "the line description: compiled in memory with --train (as\n'compile' does, with the same identity rules) "
          "and drawn;\nthe input files are never changed"},
         {"--train", "FILE", "the train description"},
         {"--from", "DIR",
          "draw the binary files of a compiled scenario: NAME_NUMBER.sim,\n"
          "NAME_NUMBER.dat and, when present, NAME_linea.dat (without it\n"
          "only the profiles are drawn); give --nome-linea and/or\n"
          "--numero-treno when DIR holds several scenarios"},
         {"--out", "FILE",
          "the file to write (replaced whole; - is standard output): .html\nor .htm gives the interactive page, any "
          "other name the SVG picture"},
         {"--nome-linea", "NAME", "the route identifier"},
         {"--numero-treno", "NUMBER", "the train number"},
         {"--editor-url", "TEMPLATE",
          "the page links each object to its source row through this URL,\n"
          "with {path}, {line} and {column} filled in, for example\n"
          "'vscode://file/{path}:{line}:{column}'"},
         {"--encoding", "ENC", "the code page of both texts, as for compile"},
     },
     "The descriptions' errors and warnings (those of compile, the check over the texts\n"
     "included) are printed as compile prints them and listed on the page.\n"
     "A binary file read with --from is checked against what a compile writes; a damaged\n"
     "one is reported with its byte offset and what was expected, and nothing is drawn.\n"
     "\n"
     "Exit status: 0 drawn, 1 drawn after a description error or warning was recorded, or nothing\n"
     "drawn from a damaged binary file, 2 error 1250/1251 (nothing written), 3 a usage\n"
     "error or a file that cannot be read or written.\n",
     0,
     comando_plot},
    {"explain",
     "explain an error or warning number: its cause, where it points and the fix",
     "compattatore explain N [--markdown]\n",
     "Prints the entry of the number N of the reference of the error and warning numbers\n"
     "(docs/errori.md, built into the program): its cause, the row it points into, how to\n"
     "fix it and an example, as plain text.\n",
     {
         {"--markdown", nullptr, "print the entry as the reference's Markdown source"},
     },
     "Exit status: 0 printed, 3 a usage error or a number no compile records.\n",
     1,
     comando_spiega},
    {"watch",
     "compile and draw again each time a description is saved; the page reloads itself",
     "compattatore watch --line LINE.txt --train TRAIN.txt [--out DIR]\n"
     "                          [--nome-linea NAME] [--numero-treno NUMBER] [--editor-url TEMPLATE]\n"
     "                          [--encoding ENC]\n",
     "Compiles the descriptions and draws the interactive page at start, then again each\n"
     "time either file is saved (editors' atomic saves included; saves within 100 ms make\n"
     "one rebuild). Each rebuild writes the binary files as compile does and the page\n"
     "<NAME>_<NUMBER>.html into DIR, prints the diagnostics as compile does and one status\n"
     "line: 'watch: rebuild N in T ms: OUTCOME'. A description error never ends it.\n"
     "The page is also served on 127.0.0.1 only, on a port the kernel chooses, printed at\n"
     "start; opened from there it reloads itself when a rebuild finishes.\n",
     {
         {"--line", "FILE", "the line description"},
         {"--train", "FILE", "the train description"},
         {"--out", "DIR", "where the binary files and the page go (created when missing; default: .)"},
         {"--nome-linea", "NAME", "the route identifier (as for compile)"},
         {"--numero-treno", "NUMBER", "the train number (as for compile)"},
         {"--editor-url", "TEMPLATE", "the page's link to each source row, as for plot"},
         {"--encoding", "ENC", "the code page of both texts, as for compile"},
     },
     "Ctrl-C (SIGINT) or SIGTERM ends it with status 0. Exit status 3: a usage error, a\n"
     "description that cannot be read at start, or folders that cannot be watched.\n",
     0,
     comando_watch},
    {"timetable",
     "the fastest run the train can make, station by station against its timetable",
     "compattatore timetable --line LINE.txt --train TRAIN.txt [--nome-linea NAME]\n"
     "                              [--numero-treno NUMBER] [--encoding ENC] [--json]\n"
     "                              [--accelerazione A] [--decelerazione B] [--margine-minimo P]\n"
     "       compattatore timetable --from DIR [--nome-linea NAME] [--numero-treno NUMBER] [--json] [...]\n",
     "Computes the fastest run over the compiled track: the train leaves the first station\n"
     "at its time, stops at every station with a stop cell (kinds below 25) and leaves it at\n"
     "its time or on arrival if later, passes the others, never runs above a cell's speed\n"
     "limit or a slow order's speed, and accelerates and brakes at constant rates corrected\n"
     "for the gradient (g times i). Prints for every station its time, the earliest arrival\n"
     "and the margin, in seconds and in per cent of the scheduled running time from the\n"
     "station before. Nothing is written; docs/orario.md tells the model.\n",
     {
         {"--line", "FILE", "the line description (compiled in memory, as compile does)"},
         {"--train", "FILE", "the train description"},
         {"--from", "DIR", "time the binary files of a compiled scenario instead (as plot --from)"},
         {"--nome-linea", "NAME", "the route identifier (as for compile)"},
         {"--numero-treno", "NUMBER", "the train number (as for compile)"},
         {"--encoding", "ENC", "the code page of both texts, as for compile"},
         {"--accelerazione", "A",
          "the acceleration on the level in m/s\u00b2 (default 0.5): an\nassumption, the descriptions do not say how "
          "the train pulls"},
         {"--decelerazione", "B",
          "the braking rate on the level in m/s\u00b2 (default: from the braked-\nweight percentage, by the Minden "
          "formula)"},
         {"--margine-minimo", "P", "warn (302) where the margin is below P per cent (default 3)"},
         {"--json", nullptr, "print one JSON object with the table on standard output"},
     },
     "A station the fastest run reaches after its time is warning 301 at its row, a margin\n"
     "below --margine-minimo warning 302; the descriptions' own findings are printed as compile\n"
     "prints them. Exit status: 0 every station on time, 1 a warning or an error was recorded,\n"
     "2 error 1250/1251, 3 a usage error or a file that cannot be read.\n",
     0,
     comando_orario},
#ifdef COMPATTATORE_LSP
    {"lsp",
     "a language server for editors: errors as you type, hover, completion",
     "compattatore lsp [--stdio]\n",
     "A Language Server Protocol server on standard input and output for line and train\n"
     "descriptions: diagnostics of the compile in memory (the readers' error, the\n"
     "finishing pass's warnings, error 1250/1251 and the warnings of the check over\n"
     "the texts, each at the row compile names), hover on a row, keyword\n"
     "completion and an outline. It never writes or deletes a file.\n",
     {
         {"--stdio", nullptr, "accepted for editors that pass it; standard input and output\nare the only channel"},
     },
     "Exit status: 0 after the client's shutdown and exit, 1 when the input ends or exit\n"
     "comes without shutdown, 3 a usage error.\n",
     0,
     comando_lsp_tabella},
#endif
};

}  // namespace

const std::vector<descrizione_comando>& tabella_comandi() { return kComandi; }

int esegui_senza_argomenti() { return esegui_run_incorporato(); }

}  // namespace cmp
