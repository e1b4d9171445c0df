#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "builtin/scrittore_testo.h"

namespace cmp {
namespace {

TEST(ScrittoreTesto, WritesCrLfRowsUpToTheMark) {
  TabellaRighe t = tabella_righe({"[generale]", "  spazi finali  ", "", "[fine]"});
  t[5] = "after the marker: never written";
  CartellaMemoria cartella;
  cartella.file["x.txt"] = "an older and much longer text that must disappear entirely\r\n";
  scrivi_tabella(cartella, "x.txt", t);
  EXPECT_EQ(cartella.file["x.txt"], "[generale]\r\n  spazi finali  \r\n\r\n[fine]\r\n");
}

TEST(ScrittoreTesto, TheMarkComesFirstInAnEmptyButExistingFile) {
  CartellaMemoria cartella;
  scrivi_tabella(cartella, "vuoto.txt", tabella_righe({}));
  ASSERT_TRUE(cartella.esiste("vuoto.txt"));
  EXPECT_EQ(cartella.file["vuoto.txt"], "");
}

TEST(ScrittoreTesto, TheMarkIsComparedWhole) {
  // Only the exact marker stops the writer; texts around it are ordinary lines.
  TabellaRighe t = tabella_righe({"Riferimento fine del file", "riferimento fine del file ", "x"});
  EXPECT_EQ(testo_da_tabella(t), "Riferimento fine del file\r\nriferimento fine del file \r\nx\r\n");
}

TEST(ScrittoreTesto, WritesWindows1252BytesAndAQuestionMarkForTheRest) {
  const std::pair<const char*, std::string> casi[] = {
      {"è", "\xe8"}, {"à", "\xe0"}, {"°", "\xb0"}, {"€", "\x80"}, {"Ω", "?"}, {"→", "?"}, {"a😀b", "a?b"},
  };
  for (const auto& [utf8, cp1252] : casi) {
    EXPECT_EQ(testo_da_tabella(tabella_righe({utf8})), cp1252 + "\r\n") << utf8;
  }
}

TEST(ScrittoreTesto, WritesAThousandRowsAtMost) {
  EXPECT_EQ(testo_da_tabella(tabella_righe(std::vector<std::string>(1000, "a"))).size(), 3000u);
  EXPECT_THROW(tabella_righe(std::vector<std::string>(1001, "a")), std::length_error);
}

}  // namespace
}  // namespace cmp
