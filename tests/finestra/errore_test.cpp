#include "finestra/errore.h"

#include <gtest/gtest.h>

namespace cmp {
namespace {

TEST(Errore, MessageHasALeadingBlankAndTheNumber) {
  EXPECT_EQ(messaggio_errore(errore_finale::posto_scenario), " Errore n. 1250");
  EXPECT_EQ(messaggio_errore(errore_finale::posto_percorso), " Errore n. 1251");
}

TEST(Errore, ShowsTheMessageAndReturnsTheFinalStatus) {
  InterfacciaTerminale ui;
  testing::internal::CaptureStderr();
  EXPECT_EQ(errore(ui, errore_finale::posto_scenario), kUscitaFinale);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), " Errore n. 1250\n");
}

}  // namespace
}  // namespace cmp
