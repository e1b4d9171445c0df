// The URIs editors send, on POSIX and Windows alike: one neutral parse, then the path of
// each system, and the way back from a path to the URI.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "lsp/uri.h"

namespace cmp {
namespace {

TEST(Uri, EveryFormGivesOneNeutralPathAndThePathOfEachSystem) {
  const struct {
    const char* uri;
    const char* neutro;
    std::optional<std::string> posix, windows;
  } casi[] = {
      {"file:///home/io/Prova_linea.txt", "/home/io/Prova_linea.txt", "/home/io/Prova_linea.txt",
       "\\home\\io\\Prova_linea.txt"},
      {"file:///home/io/con%20spazio/%C3%A8%5fx.txt", "/home/io/con spazio/\xC3\xA8_x.txt",
       "/home/io/con spazio/\xC3\xA8_x.txt", "\\home\\io\\con spazio\\\xC3\xA8_x.txt"},
      // VS Code on Windows encodes the drive's colon and lower-cases the letter; others do not.
      {"file:///c%3A/Users/io/Prova_linea.txt", "/c:/Users/io/Prova_linea.txt", "/c:/Users/io/Prova_linea.txt",
       "c:\\Users\\io\\Prova_linea.txt"},
      {"file:///C:/Users/io/Prova_linea.txt", "/C:/Users/io/Prova_linea.txt", "/C:/Users/io/Prova_linea.txt",
       "C:\\Users\\io\\Prova_linea.txt"},
      {"file:///d%3a", "/d:", "/d:", "d:\\"},
      // Another host: no file of this machine on POSIX, a UNC path on Windows.
      {"file://server/share/Prova_linea.txt", "server/share/Prova_linea.txt", std::nullopt,
       "\\\\server\\share\\Prova_linea.txt"},
      // A '%' without two hex digits after it stays.
      {"file:///a%zz/b%4", "/a%zz/b%4", "/a%zz/b%4", "\\a%zz\\b%4"},
      {"file:///a%", "/a%", "/a%", "\\a%"},
      // Not a file: nothing on any system.
      {"untitled:Untitled-1", "", std::nullopt, std::nullopt},
      {"FILE:///home/io/a.txt", "", std::nullopt, std::nullopt},
      {"file://", "", std::nullopt, std::nullopt},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.uri);
    EXPECT_EQ(percorso_neutro(c.uri), c.neutro);
    EXPECT_EQ(percorso_posix(c.neutro), c.posix);
    EXPECT_EQ(percorso_windows(c.neutro), c.windows);
  }
}

TEST(Uri, FolderAndNameAreCutAtTheLastSlashOfTheNeutralPath) {
  const struct {
    const char* neutro;
    const char* cartella;
    const char* nome;
  } casi[] = {{"/home/io/Prova_linea.txt", "/home/io/", "Prova_linea.txt"},
              {"/c:/Users/io/Prova_4721-.txt", "/c:/Users/io/", "Prova_4721-.txt"},
              {"server/share/a.txt", "server/share/", "a.txt"},
              {"Prova_linea.txt", "", "Prova_linea.txt"},
              {"/cartella/", "/cartella/", ""}};
  for (const auto& c : casi) {
    const cartella_e_nome parti = dividi_percorso(c.neutro);
    EXPECT_EQ(parti.cartella, c.cartella) << c.neutro;
    EXPECT_EQ(parti.nome, c.nome) << c.neutro;
  }
}

// A path made a URI and read back is the same path, on each system.
TEST(Uri, APathBecomesAUriThatGivesItBack) {
  const struct {
    const char* percorso;
    const char* uri;
  } posix[] = {{"/home/io/Prova_linea.txt", "file:///home/io/Prova_linea.txt"},
               {"/home/io/con spazio/\xC3\xA8.txt", "file:///home/io/con%20spazio/%C3%A8.txt"},
               {"/t/a%b#c?d:e~f", "file:///t/a%25b%23c%3Fd%3Ae~f"}},
    windows[] = {{"C:\\Users\\io\\a b.txt", "file:///C%3A/Users/io/a%20b.txt"},
                 {"c:\\Users\\io\\Prova_linea.txt", "file:///c%3A/Users/io/Prova_linea.txt"},
                 {"\\\\server\\share\\a.txt", "file://server/share/a.txt"}};
  for (const auto& c : posix) {
    EXPECT_EQ(uri_da_percorso_posix(c.percorso), c.uri);
    EXPECT_EQ(percorso_posix(percorso_neutro(c.uri)), c.percorso);
  }
  for (const auto& c : windows) {
    EXPECT_EQ(uri_da_percorso_windows(c.percorso), c.uri);
    EXPECT_EQ(percorso_windows(percorso_neutro(c.uri)), c.percorso);
  }
}

}  // namespace
}  // namespace cmp
