// The store of open documents: what each one is, the group it is compiled in, and the
// groups that wait for a compile.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lsp/documenti.h"

namespace cmp {
namespace {

using formato = formato_descrizione;

TEST(ArchivioDocumenti, TheNameOrElseTheTextTellsWhatADocumentIsAndItsGroup) {
  const struct {
    const char* uri;
    const char* testo;
    formato f;
    const char* nome_linea;
    const char* numero_treno;
    bool per_contenuto, sconosciuto;
    const char* cartella;  // of the group; a document standing alone has its URI there instead
  } casi[] = {
      {"file:///s/Prova_linea.txt", "", formato::linea, "Prova", "1", false, false, "/s/"},
      {"file:///s/Prova_4721-.txt", "", formato::treno, "Prova", "4721", false, false, "/s/"},
      {"file:///s/Prova_-.txt", "", formato::treno, "Prova", "1", false, false, "/s/"},
      {"file:///c%3A/Users/io/Prova_4721-.txt", "", formato::treno, "Prova", "4721", false, false, "/c:/Users/io/"},
      {"file://server/share/Prova_linea.txt", "", formato::linea, "Prova", "1", false, false, "server/share/"},
      // Not a file: no folder, and the name is what follows the URI's last '/', scheme and all.
      {"untitled:Prova_linea.txt", "", formato::linea, "untitled:Prova", "1", false, false, ""},
      // No pattern: the text tells the format, and the document stands alone under its own name.
      {"file:///s/_1-.txt", "[stazioni]\r\n", formato::treno, "_1-.txt", "1", true, false, nullptr},
      {"file:///s/appunti.txt", "[pendenze]\r\n", formato::linea, "appunti.txt", "1", true, false, nullptr},
      {"untitled:Untitled-1", "appunti\r\n", formato::linea, "untitled:Untitled-1", "1", true, true, nullptr},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.uri);
    ArchivioDocumenti a;
    a.apri(c.uri, c.testo);
    const documento_aperto* d = a.trova(c.uri);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->identita.formato, c.f);
    EXPECT_EQ(d->identita.nome_linea, c.nome_linea);
    EXPECT_EQ(d->identita.numero_treno, c.numero_treno);
    EXPECT_EQ(d->identita.per_contenuto, c.per_contenuto);
    EXPECT_EQ(d->identita.sconosciuto, c.sconosciuto);
    const chiave_gruppo atteso =
        c.cartella ? chiave_gruppo{c.cartella, "", c.nome_linea} : chiave_gruppo{"", c.uri, c.nome_linea};
    EXPECT_TRUE(d->gruppo == atteso) << d->gruppo.cartella << " | " << d->gruppo.documento_solo;
  }
}

TEST(ArchivioDocumenti, AGroupIsOneFolderAndOneRouteWithItsFirstLineAndItsTrains) {
  ArchivioDocumenti a;
  a.apri("file:///s/Prova_linea.txt", "");
  a.apri("file:///s/Prova_2-.txt", "");
  a.apri("file:///s/Prova_1-.txt", "");
  a.apri("file:///s/Altra_1-.txt", "");
  a.apri("file:///t/Prova_1-.txt", "");
  a.apri("untitled:Prova_linea.txt", "");
  const auto m = a.membri({"/s/", "", "Prova"});
  ASSERT_NE(m.linea, nullptr);
  EXPECT_EQ(m.linea->uri, "file:///s/Prova_linea.txt");
  ASSERT_EQ(m.treni.size(), 2u);
  EXPECT_EQ(m.treni[0]->uri, "file:///s/Prova_1-.txt");
  EXPECT_EQ(m.treni[1]->uri, "file:///s/Prova_2-.txt");
  EXPECT_EQ(m.uri.size(), 3u);
  // A text whose format nothing tells is a member to publish to, but compiled as neither.
  a.apri("untitled:Untitled-1", "appunti\r\n");
  const chiave_gruppo solo = a.trova("untitled:Untitled-1")->gruppo;
  const auto s = a.membri(solo);
  EXPECT_EQ(s.linea, nullptr);
  EXPECT_TRUE(s.treni.empty());
  EXPECT_EQ(s.uri, std::vector<std::string>{"untitled:Untitled-1"});
  // The text is kept in Windows-1252, as the readers take it.
  a.apri("file:///s/Prova_linea.txt", "\xC3\xA8");
  EXPECT_EQ(a.trova("file:///s/Prova_linea.txt")->testo, "\xE8");
}

TEST(ArchivioDocumenti, OpeningChangingAndClosingLeaveTheirGroupsWaitingOnce) {
  ArchivioDocumenti a;
  a.apri("file:///s/Prova_linea.txt", "");
  a.apri("untitled:Untitled-1", "appunti\r\n");
  a.apri("untitled:Prova_linea.txt", "");
  // Handed over in the order they are compiled and published: by folder, then the
  // documents standing alone, then by route.
  const std::vector<chiave_gruppo> attesi{
      {"", "", "untitled:Prova"}, {"", "untitled:Untitled-1", "untitled:Untitled-1"}, {"/s/", "", "Prova"}};
  const auto gruppi = a.prendi_in_attesa();
  EXPECT_TRUE(std::vector<chiave_gruppo>(gruppi.begin(), gruppi.end()) == attesi);
  EXPECT_TRUE(a.prendi_in_attesa().empty());

  const chiave_gruppo s{"/s/", "", "Prova"};
  a.cambia("file:///s/Prova_linea.txt", "[generale]\r\n");
  a.cambia("file:///s/Prova_linea.txt", "[generale]\r\n[fine]\r\n");
  EXPECT_TRUE(a.prendi_in_attesa(s));
  EXPECT_FALSE(a.prendi_in_attesa(s));
  EXPECT_EQ(a.trova("file:///s/Prova_linea.txt")->testo, "[generale]\r\n[fine]\r\n");

  // A text that becomes a description keeps standing alone, now with its format.
  a.cambia("untitled:Untitled-1", "[stazioni]\r\n");
  const documento_aperto* u = a.trova("untitled:Untitled-1");
  EXPECT_FALSE(u->identita.sconosciuto);
  EXPECT_EQ(u->identita.formato, formato::treno);
  EXPECT_TRUE(a.prendi_in_attesa(u->gruppo));

  // Closed: the group waits, so that what stays open is compiled without it.
  a.chiudi("file:///s/Prova_linea.txt");
  EXPECT_EQ(a.trova("file:///s/Prova_linea.txt"), nullptr);
  EXPECT_TRUE(a.prendi_in_attesa(s));
  // What is not open changes nothing.
  a.cambia("file:///s/Prova_linea.txt", "x");
  a.chiudi("file:///s/Prova_linea.txt");
  EXPECT_TRUE(a.prendi_in_attesa().empty());
  EXPECT_FALSE(a.aperto("file:///s/Prova_linea.txt"));
}

}  // namespace
}  // namespace cmp
