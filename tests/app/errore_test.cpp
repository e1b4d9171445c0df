#include "comandi/errore.h"

#include <gtest/gtest.h>

namespace cmp {
namespace {

TEST(Errore, MessageHasALeadingBlankAndTheNumber) {
  EXPECT_EQ(messaggio_errore("1250"), " Errore n. 1250");
  EXPECT_EQ(messaggio_errore("1251"), " Errore n. 1251");
}

TEST(ErroreDeathTest, ShowsTheMessageAndEndsTheProgram) {
  InterfacciaTerminale ui;
  EXPECT_EXIT(errore(ui, "1250"), testing::ExitedWithCode(kUscitaErroreFinale), "^ Errore n\\. 1250\n$");
}

}  // namespace
}  // namespace cmp
