#pragma once
// The reference pages are Markdown; a terminal wants plain text. This turns the Markdown
// the pages use into text that reads as it stands: headings underlined, code spans in
// single quotes, emphasis and escapes dropped, links as "text (address)", code blocks
// indented by four spaces under the name of the file they hold, comments left out.
#include <string>
#include <string_view>

namespace cmp {

std::string testo_da_terminale(std::string_view markdown);

}  // namespace cmp
