#pragma once
// The fixed parts of the interactive page: its style, the elements of its body and the
// script that draws the data. They are the files src/plot/pagina.css, pagina.html and
// pagina.js, carried by the program as they were when it was built
// (scripts/incorpora_testo.cmake); the C++ around them writes only the data.
namespace cmp {

const char* pagina_stile();   // pagina.css
const char* pagina_corpo();   // pagina.html
const char* pagina_script();  // pagina.js

}  // namespace cmp
