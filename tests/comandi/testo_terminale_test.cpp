// The reference's Markdown as a terminal shows it: `explain N` prints plain text.
#include <gtest/gtest.h>

#include <string>

#include "comandi/testo_terminale.h"
#include "supporto.h"

namespace cmp {
namespace {

struct caso {
  const char* markdown;
  const char* testo;
};

TEST(TestoTerminale, TurnsTheMarkupOfThePagesIntoPlainText) {
  const caso casi[] = {
      {"## 8 \u2014 position off the grid\n", "8 \u2014 position off the grid\n=========================\n"},
      {"### Why\n", "Why\n---\n"},
      {"Reported as `X_linea.txt:2:1: error 8`.\n", "Reported as 'X_linea.txt:2:1: error 8'.\n"},
      {"a span with a backtick: `` a`b ``\n", "a span with a backtick: 'a`b'\n"},
      {"**Fix:** give *one* value, __not__ _two_\n", "Fix: give one value, not two\n"},
      // Underscores inside words and a lone asterisk are text.
      {"X_linea.txt and X_1-.txt, 10 * 5 and snake_case_name\n",
       "X_linea.txt and X_1-.txt, 10 * 5 and snake_case_name\n"},
      {"see [the rows](descrizione-linea.md) or [x](x)\n", "see the rows (descrizione-linea.md) or x\n"},
      {"a \\*literal\\* star\n", "a *literal* star\n"},
      {"<!-- stato 3 -->\nafter\n<!-- two\nlines -->\nend\n", "after\nend\n"},
      // A block that names its file gets the name above it; code keeps its markup.
      {"```X_linea.txt\n[generale]\n\nlunghezza percorso, `10000`\n```\n",
       "In X_linea.txt:\n    [generale]\n\n    lunghezza percorso, `10000`\n"},
      {"```sh\nprintf '%s\\n' *_x_* > X_1-.txt\n```\n", "    printf '%s\\n' *_x_* > X_1-.txt\n"},
      {"    X_linea.txt:2:1: error 1: `as is`\n", "    X_linea.txt:2:1: error 1: `as is`\n"},
      {"- a `3.5` value\n- *b*\n", "- a '3.5' value\n- b\n"},
      {"no newline at the end", "no newline at the end"},
      {"an `unclosed span and a [bracket\n", "an `unclosed span and a [bracket\n"},
  };
  for (const auto& c : casi) EXPECT_EQ(testo_da_terminale(c.markdown), c.testo) << c.markdown;
}

// The command: plain text by default, the page's own text with --markdown.
TEST(TestoTerminale, ExplainPrintsPlainTextAndTheSourceOnRequest) {
  const auto semplice = prova::esegui(COMPATTATORE_EXE, {"explain", "1"});
  const auto grezzo = prova::esegui(COMPATTATORE_EXE, {"explain", "--markdown", "1"});
  ASSERT_EQ(semplice.stato, 0) << semplice.errori;
  ASSERT_EQ(grezzo.stato, 0) << grezzo.errori;
  EXPECT_EQ(grezzo.uscita.rfind("## 1 \u2014 ", 0), 0u) << grezzo.uscita;
  EXPECT_EQ(semplice.uscita, testo_da_terminale(grezzo.uscita));
  for (const char* segno : {"##", "```", "`"}) EXPECT_EQ(semplice.uscita.find(segno), std::string::npos) << segno;
  EXPECT_NE(semplice.uscita.find("In X_linea.txt:\n    [generale]\n"), std::string::npos) << semplice.uscita;
}

}  // namespace
}  // namespace cmp
