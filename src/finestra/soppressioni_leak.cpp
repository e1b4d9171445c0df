// Linked into the program and the window tests in the sanitizer build only.
// Fontconfig links the parts of a pattern by offsets the leak checker cannot follow, so
// every live pattern looks lost at exit (and it leaks a little of its own while parsing
// its configuration). Only allocations made inside fontconfig are let through. The leak
// checker reads these from the program at start, never from a module loaded later.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
