// Names Windows cannot hold, by the rule alone (the folder on Windows refuses them before
// anything is written; a run under Wine shows it in tests/riga_comando).
#include "disco/nomi_windows.h"

#include <gtest/gtest.h>

#include <string>

namespace cmp {
namespace {

TEST(NomiWindows, RefusesWhatWindowsCannotHold) {
  const char* vietati[] = {"a:b.dat",
                           "x<y",
                           "x>y",
                           "q\"",
                           "a/b",
                           "a\\b",
                           "a|b",
                           "a?b",
                           "a*b",
                           "a\x01"
                           "b",
                           "a\x1f",
                           "ab.",
                           "ab ",
                           "CON",
                           "con",
                           "Con.dat",
                           "NUL.txt",
                           "PRN",
                           "AUX.x.y",
                           "COM1",
                           "com9.dat",
                           "LPT1",
                           "lpt9.TXT",
                           "CON .txt"};
  for (const char* nome : vietati) EXPECT_TRUE(nome_vietato_windows(nome).has_value()) << nome;
}

TEST(NomiWindows, TakesNamesThatOnlyLookLikeDevices) {
  const char* ammessi[] = {"CONSOLE.dat",
                           "COM0",
                           "COM10",
                           "LPT",
                           "XCON",
                           "A.CON",
                           "con_1.txt",
                           "Treno 1.dat",
                           "tr\xe8no.dat",
                           "a\x7f",
                           ".compattatore.lock",
                           "a.b.c"};
  for (const char* nome : ammessi) EXPECT_FALSE(nome_vietato_windows(nome).has_value()) << nome;
}

TEST(NomiWindows, NamesTheReasonInTheMessage) {
  EXPECT_EQ(*nome_vietato_windows("a:b.dat"), "the character ':' is not allowed in a file name on Windows");
  EXPECT_EQ(*nome_vietato_windows("Nul.dat"), "'Nul' is a device's name on Windows");
  EXPECT_EQ(*nome_vietato_windows("fine."), "a file name cannot end with a dot or a blank on Windows");
}

}  // namespace
}  // namespace cmp
