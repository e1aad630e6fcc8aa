// Opens (or creates) a SQLCipher database with a key, and either writes a
// table or reads it back: the same file must open with the Linux sqlcipher
// tool, and one written there must open here.
//   smoke_sqlcipher write|read FILE KEY
#include <sqlcipher/sqlite3.h>

#include <cstdio>
#include <cstring>
#include <string>

static int fail(sqlite3* db, const char* what) {
  std::fprintf(stderr, "%s: %s\n", what, db ? sqlite3_errmsg(db) : "no handle");
  sqlite3_close(db);
  return 1;
}

static int print_row(void*, int n, char** values, char** names) {
  for (int i = 0; i < n; ++i) std::printf("%s%s=%s", i ? " " : "", names[i], values[i] ? values[i] : "NULL");
  std::printf("\n");
  return 0;
}

int main(int argc, char** argv) {
  if (argc != 4 || (std::strcmp(argv[1], "write") != 0 && std::strcmp(argv[1], "read") != 0)) {
    std::fprintf(stderr, "usage: smoke_sqlcipher write|read FILE KEY\n");
    return 2;
  }
  const bool write = std::strcmp(argv[1], "write") == 0;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(argv[2], &db, write ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READONLY,
                      nullptr) != SQLITE_OK)
    return fail(db, "open");
  const std::string key = std::string("PRAGMA key='") + argv[3] + "';";
  if (sqlite3_exec(db, key.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) return fail(db, "key");
  if (sqlite3_exec(db, "PRAGMA cipher_version;", print_row, nullptr, nullptr) != SQLITE_OK)
    return fail(db, "cipher_version");
  if (write) {
    const char* sql =
        "CREATE TABLE fichier(nom TEXT PRIMARY KEY, taille INTEGER);"
        "INSERT INTO fichier VALUES('velnara.exe', 123456), ('Régime.txt', 42);";
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) return fail(db, "write");
  }
  if (sqlite3_exec(db, "SELECT nom, taille FROM fichier ORDER BY nom;", print_row, nullptr, nullptr) != SQLITE_OK)
    return fail(db, "read");
  sqlite3_close(db);
  return 0;
}
