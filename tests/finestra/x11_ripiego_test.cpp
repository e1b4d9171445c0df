// Without a display the same calls go to the terminal: "Attendere" on standard output.
#include <gtest/gtest.h>

#include "finestra/interfaccia.h"
#include "x11_supporto.h"
#ifdef COMPATTATORE_X11
#include "finestra/x11_interfaccia.h"
#endif

namespace cmp {
namespace {

struct SenzaDisplay {
  const char* nome;
  bool senza_server;  // DISPLAY names a display nobody serves
  const char* valore;
};

void PrintTo(const SenzaDisplay& c, std::ostream* os) { *os << c.nome; }

const SenzaDisplay kSenzaDisplay[] = {
    {"Unset", false, nullptr},
    {"Empty", false, ""},
    {"NoServerBehindIt", true, nullptr},
};

class Ripiego : public testing::TestWithParam<SenzaDisplay> {
 protected:
  static std::optional<std::string> valore() {
    if (GetParam().senza_server) return prova::display_senza_server();
    if (GetParam().valore == nullptr) return std::nullopt;
    return std::string(GetParam().valore);
  }
};

TEST_P(Ripiego, FallsBackToTheTerminal) {
  prova::DisplayTemporaneo display(valore());
#ifdef COMPATTATORE_X11
  EXPECT_EQ(apri_interfaccia_x11(), nullptr);
#endif
  auto ui = crea_interfaccia();
  ASSERT_NE(dynamic_cast<InterfacciaTerminale*>(ui.get()), nullptr);
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  ui->mostra_attesa();
  ui->mostra_errore(" Errore n. 1251");  // returns at once: nothing to close
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Attendere\n");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), " Errore n. 1251\n");
}

INSTANTIATE_TEST_SUITE_P(Interfaccia, Ripiego, testing::ValuesIn(kSenzaDisplay),
                         [](const testing::TestParamInfo<SenzaDisplay>& i) { return std::string(i.param.nome); });

}  // namespace
}  // namespace cmp
