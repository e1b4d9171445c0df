#pragma once
// The URIs of the documents an editor opens, and the paths they stand for.
//
// A file: URI is taken apart once, the same way on every system, into its neutral path:
// what follows "file://", percent-decoded, with '/' between the parts. A local file's
// neutral path starts with '/' ("file:///home/io/a.txt" is "/home/io/a.txt"; the Windows
// forms "file:///c%3A/Users/io/a.txt" and "file:///C:/Users/io/a.txt" are "/c:/Users/io/a.txt"
// and "/C:/Users/io/a.txt"); a file of another host keeps the host in front
// ("file://server/share/a.txt" is "server/share/a.txt"). Folders and file names are cut
// from neutral paths, so documents group alike on every system; only reading a file and
// naming it back turn a neutral path into a path of this system and a path into a URI.
#include <optional>
#include <string>
#include <string_view>

namespace cmp {

// The neutral path of a file: URI; "" for any other URI (and for "file://" alone).
// A '%' not followed by two hex digits stays as it is.
std::string percorso_neutro(std::string_view uri);

// The folder of a neutral path with its final '/' ("" when it has none) and the name after it.
struct cartella_e_nome {
  std::string cartella;
  std::string nome;
};
cartella_e_nome dividi_percorso(std::string_view neutro);

// The neutral path as a path of this system, or nullopt when it names no file of this
// machine's disks (another host, or nothing). Both forms are built on every system, so
// that each is tested everywhere; percorso_locale is the one of the system built for.
std::optional<std::string> percorso_posix(std::string_view neutro);    // "/home/io/a.txt"
std::optional<std::string> percorso_windows(std::string_view neutro);  // "c:\Users\io\a.txt", "\\server\share\a.txt"
std::optional<std::string> percorso_locale(std::string_view neutro);

// The file: URI of a path of this system: unreserved characters and '/' kept, every
// other byte percent-encoded with capital hex digits (a drive's colon too: "C%3A").
std::string uri_da_percorso_posix(std::string_view percorso);
std::string uri_da_percorso_windows(std::string_view percorso);  // '\' becomes '/'
std::string uri_da_percorso(std::string_view percorso);

}  // namespace cmp
