// The command line reaches the program whole on Windows: a name outside the ANSI code page
// (Ł and ź are in no Western one) names the folder made, the files read, and the message
// sent to a file, in UTF-8 as on Linux.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "descrizioni_prova.h"
#include "model/percorso_utf8.h"
#include "supporto.h"

namespace cmp {
namespace {

using prova::CartellaTemporanea;
using prova::esegui;

const std::filesystem::path kLodz = u8"Łódź";

bool cartella_con_nome_largo(const std::filesystem::path& p) {
  const DWORD a = GetFileAttributesW(p.wstring().c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

TEST(ArgomentiWindows, AFolderNamedOutsideTheAnsiCodePageIsMadeAndReadByThatName) {
  CartellaTemporanea t;
  const std::filesystem::path cartella = t.percorso() / kLodz;
  const auto e = esegui(COMPATTATORE_EXE, {"export", "--out", utf8_del_percorso(cartella)});
  ASSERT_EQ(e.stato, 0) << e.errori;
  ASSERT_TRUE(cartella_con_nome_largo(cartella)) << "no folder named Łódź in " << utf8_del_percorso(t.percorso());
  ASSERT_TRUE(std::filesystem::exists(cartella / prova::kLinea));

  const auto c = esegui(COMPATTATORE_EXE, {"compile", "--line", utf8_del_percorso(cartella / prova::kLinea), "--train",
                                           utf8_del_percorso(cartella / prova::kTreno)});
  EXPECT_EQ(c.stato, 0) << c.errori;
  EXPECT_EQ(c.errori, "");
}

TEST(ArgomentiWindows, AMessageNamingItReachesAFileAsUtf8Bytes) {
  CartellaTemporanea t;
  const std::string mancante = utf8_del_percorso(t.percorso() / kLodz / prova::kLinea);
  const auto e = esegui(COMPATTATORE_EXE, {"compile", "--line", mancante, "--train", "x_1-.txt"});
  EXPECT_NE(e.stato, 0);
  EXPECT_NE(e.errori.find("cannot read " + mancante + ": no such file"), std::string::npos) << e.errori;
  EXPECT_NE(e.errori.find("\xC5\x81\xC3\xB3\x64\xC5\xBA"), std::string::npos) << "Łódź in UTF-8: " << e.errori;
}

}  // namespace
}  // namespace cmp
