#include "builtin/linea_incorporata.h"

#include "builtin/scrittore_testo.h"
#include "model/nomi_file.h"

namespace cmp {
namespace {

// The general rows: length, kilometre references, backgrounds, signal repetition.
// The rows stand one a line, as the text file has them.
// clang-format off
std::vector<std::string> righe_generali() {
  return {
      "[generale]",
      "lunghezza percorso,    31000",
      "progressiva chilometrica uno,    0,    132100,    0",
      "progressiva chilometrica due,    0,    0,    0",
      "progressiva chilometrica tre,    0,    0,    0",
      "sfondo uno,    0",
      "sfondo due,    1",
      "sfondo tre,    0",
      "ripetizione segnali 4 codici,    0    ,0",
  };
}

// 84 curves in order of position: side, class, start and length in metres.
std::vector<std::string> righe_curve() {
  return {
      "curvad4,  300,  100",
      "curvad5,  400,  150",
      "curvas4,  650,  200",
      "curvas4,  850,  450",
      "curvas3,  1300,  150",
      "curvad5,  1450,  150",
      "curvas5,  2600,  150",
      "curvas4,  2750,  200",
      "curvas4,  2950,  150",
      "curvas5,  3100,  200",
      "curvad4,  3300,  100",
      "curvas5,  4100,  600",
      "curvas5,  4700,  150",
      "curvas5,  4850,  100",
      "curvas5,  4950,  450",
      "curvas3,  5400,  450",
      "curvad5,  5850,  250",
      "curvad4,  6100,  300",
      "curvad4,  6400,  150",
      "curvad4,  6550,  150",
      "curvas3,  7300,  350",
      "curvas3,  7650,  250",
      "curvas5,  7900,  50",
      "curvad4,  7950,  450",
      "curvad1,  8400,  50",
      "curvad4,  8450,  350",
      "curvas3,  8800,  200",
      "curvas4,  9750,  150",
      "curvas5,  9900,  400",
      "curvad5,  10300,  200",
      "curvad6,  10500,  100",
      "curvad4,  10700,  50",
      "curvad6,  10850,  150",
      "curvad5,  11000,  250",
      "curvas5,  11350,  100",
      "curvad4,  11450,  150",
      "curvad4,  11600,  600",
      "curvad4,  12200,  350",
      "curvas4,  12700,  400",
      "curvad4,  13250,  500",
      "curvas4,  13750,  200",
      "curvas5,  13950,  300",
      "curvad4,  14250,  400",
      "curvas4,  14650,  450",
      "curvad3,  15100,  200",
      "curvas5,  15300,  200",
      "curvad5,  15550,  150",
      "curvas4,  15900,  300",
      "curvad4,  16500,  150",
      "curvad5,  16850,  300",
      "curvas4,  17200,  100",
      "curvas4,  17300,  400",
      "curvas4,  17750,  200",
      "curvas4,  17950,  350",
      "curvas4,  18300,  300",
      "curvad5,  18600,  200",
      "curvas5,  18900,  50",
      "curvas5,  19100,  150",
      "curvad5,  19350,  50",
      "curvad2,  19600,  150",
      "curvas2,  20300,  50",
      "curvas4,  20600,  200",
      "curvad4,  20800,  150",
      "curvas4,  21200,  100",
      "curvad3,  21300,  150",
      "curvas5,  21650,  150",
      "curvas5,  21800,  600",
      "curvad5,  22400,  600",
      "curvad3,  23000,  350",
      "curvad5,  23350,  250",
      "curvas1,  23600,  200",
      "curvad4,  23800,  250",
      "curvad3,  24100,  100",
      "curvad4,  24350,  250",
      "curvad5,  24600,  500",
      "curvas3,  25200,  150",
      "curvas5,  25350,  150",
      "curvas4,  25500,  600",
      "curvad3,  26150,  200",
      "curvad4,  26600,  450",
      "curvad4,  27100,  100",
      "curvas4,  27350,  250",
      "curvad3,  27850,  350",
      "curvas5,  28200,  200",
  };
}

// 88 gradients in order of position, per mille; each holds up to the next row.
std::vector<std::string> righe_pendenze() {
  return {
      "pendenza,  0,   -3",
      "pendenza,  150,   3",
      "pendenza,  500,   -10",
      "pendenza,  800,   -8",
      "pendenza,  950,   -5",
      "pendenza,  1250,   3",
      "pendenza,  1550,   2",
      "pendenza,  1800,   3",
      "pendenza,  2400,   2",
      "pendenza,  2500,   1",
      "pendenza,  2650,   5",
      "pendenza,  2950,   10",
      "pendenza,  3500,   2",
      "pendenza,  3700,   0",
      "pendenza,  3850,   1",
      "pendenza,  3950,   -10",
      "pendenza,  4100,   -20",
      "pendenza,  4250,   -23",
      "pendenza,  4450,   -10",
      "pendenza,  4650,   1",
      "pendenza,  4950,   10",
      "pendenza,  5050,   21",
      "pendenza,  5300,   23",
      "pendenza,  6150,   21",
      "pendenza,  6750,   20",
      "pendenza,  7050,   15",
      "pendenza,  7450,   20",
      "pendenza,  7800,   21",
      "pendenza,  8100,   20",
      "pendenza,  8300,   23",
      "pendenza,  8600,   21",
      "pendenza,  8950,   23",
      "pendenza,  9250,   20",
      "pendenza,  9350,   15",
      "pendenza,  9700,   1",
      "pendenza,  9900,   -2",
      "pendenza,  10950,   3",
      "pendenza,  11450,   -5",
      "pendenza,  11600,   1",
      "pendenza,  12050,   15",
      "pendenza,  12400,   10",
      "pendenza,  12650,   5",
      "pendenza,  12750,   1",
      "pendenza,  13550,   -5",
      "pendenza,  13900,   -3",
      "pendenza,  14150,   -10",
      "pendenza,  14300,   -21",
      "pendenza,  14550,   -20",
      "pendenza,  15100,   -15",
      "pendenza,  15200,   -5",
      "pendenza,  15650,   1",
      "pendenza,  16050,   10",
      "pendenza,  16450,   5",
      "pendenza,  16700,   2",
      "pendenza,  16800,   5",
      "pendenza,  17450,   2",
      "pendenza,  17550,   1",
      "pendenza,  17650,   15",
      "pendenza,  17850,   1",
      "pendenza,  17950,   -10",
      "pendenza,  18500,   -21",
      "pendenza,  18700,   -10",
      "pendenza,  18800,   -20",
      "pendenza,  18950,   -8",
      "pendenza,  19250,   -2",
      "pendenza,  20350,   -5",
      "pendenza,  20700,   1",
      "pendenza,  21100,   -8",
      "pendenza,  21300,   3",
      "pendenza,  21600,   2",
      "pendenza,  22350,   -3",
      "pendenza,  22800,   1",
      "pendenza,  23050,   2",
      "pendenza,  23300,   -5",
      "pendenza,  23850,   -8",
      "pendenza,  24000,   5",
      "pendenza,  24450,   24",
      "pendenza,  25250,   15",
      "pendenza,  25350,   2",
      "pendenza,  25750,   15",
      "pendenza,  26050,   3",
      "pendenza,  26300,   -24",
      "pendenza,  26700,   -21",
      "pendenza,  27300,   -10",
      "pendenza,  27850,   0",
      "pendenza,  28150,   -3",
      "pendenza,  28400,   -5",
      "pendenza,  28500,   1",
  };
}

std::vector<std::string> righe_montagne() {
  return {
      "montagna,   8000,  8300,  11",
      "montagna,   11350,  11400,  2",
      "montagna,   11450,  11700,  11",
      "montagna,   25700,  25750,  2",
  };
}

std::vector<std::string> righe_indicatori() {
  return {
      "indicatori_vmax,  6850,  75,  80,  80,  0,  ,  ,  ,  0",
      "indicatori_vmax,  9950,  65,  65,  65,  0,  ,  ,  ,  0",
      "indicatori_vmax,  11850,  75,  80,  80,  0,  ,  ,  ,  0",
  };
}

// Caption boards: one unpadded box, or boxes padded to 10 characters; the junction
// board at 26400 has three boxes of 16.
std::vector<std::string> righe_cartelli() {
  return {
      "cartello_indicatore,  650,   (Cavalcavia)(Km 132+749)(ex P.L.   )",
      "cartello_indicatore,  3250,   (Sottovia)",
      "cartello_indicatore,  5000,   (Sottovia)",
      "cartello_indicatore,  5650,   (P.L.      )(Km 137+747)",
      "cartello_indicatore,  7050,   (Sottovia)",
      "cartello_indicatore,  7150,   (F)",
      "cartello_indicatore,  10150,   (Sott.     )(Km 142+263)",
      "cartello_indicatore,  10600,   (F)",
      "cartello_indicatore,  11150,   (F)",
      "cartello_indicatore,  11300,   (Sottovia)",
      "cartello_indicatore,  11750,   (C.C.      )(Km 143+845)",
      "cartello_indicatore,  16650,   (Sottovia)",
      "cartello_indicatore,  18700,   (P.L.      )(Km 150+797)",
      "cartello_indicatore,  19950,   (F)",
      "cartello_indicatore,  20250,   (Sottovia  )(Km 152+351)(ex P.L.A. )",
      "cartello_indicatore,  20950,   (Sottovia)",
      "cartello_indicatore,  21100,   (F)",
      "cartello_indicatore,  21800,   (P.L.A.    )(Km 153+881)",
      "cartello_indicatore,  23750,   (Sottovia)",
      "cartello_indicatore,  24250,   (F)",
      "cartello_indicatore,  25300,   (Cippo     )(Km 157+388)",
      "cartello_indicatore,  25550,   (Cippo     )(Km 157+622)",
      "cartello_indicatore,  25650,   (Sottovia)",
      "cartello_indicatore,  26400,   (Confluenza      )(Sx Vallorsa     )(Dx Ferrano      )",
      "cartello_indicatore,  26450,   (Sottovia)",
      "cartello_indicatore,  26550,   (Cippo     )(Km 151+997)",
      "cartello_indicatore,  27700,   (F)",
      "cartello_indicatore,  27850,   (P.L.      )(Km 153+284)",
  };
}

// clang-format on

void aggiungi(std::vector<std::string>& righe, std::vector<std::string> altre) {
  righe.insert(righe.end(), std::make_move_iterator(altre.begin()), std::make_move_iterator(altre.end()));
}

}  // namespace

std::vector<std::string> righe_linea_incorporata() {
  std::vector<std::string> righe = righe_generali();
  righe.emplace_back("[curve]");
  aggiungi(righe, righe_curve());
  righe.emplace_back("[pendenze]");
  aggiungi(righe, righe_pendenze());
  righe.emplace_back("[montagne]");
  aggiungi(righe, righe_montagne());
  righe.emplace_back("[cartelli]");
  aggiungi(righe, righe_indicatori());
  righe.emplace_back("[indicazioni]");
  aggiungi(righe, righe_cartelli());
  // Never interpreted: the reader does not look at the last field of a text.
  righe.emplace_back("[fine]");
  return righe;
}

void dati_linea(const Stato& s, Cartella& cartella) {
  scrivi_tabella(cartella, nome_descrizione_linea(identita_di(s)), tabella_righe(righe_linea_incorporata()));
}

}  // namespace cmp
