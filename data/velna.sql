-- velna.sql: tables and rows of the configuration database velna.mvd.
--
-- velnara-setup applies this script to a new database encrypted with the
-- program's password. It is plain SQLite SQL with one substitution made by
-- the tool before it runs the script:
--
--     ${taille:NAME}   replaced by the size in bytes, in decimal, of the file
--                      NAME in the program's folder, measured at install time.
--                      NAME is a bare file name; a file that cannot be
--                      measured stops the installation. After a technician
--                      replaces such a file, velnara-setup --refresh-sizes
--                      records its new size.
--
--     ${bibliotheque_carte}  replaced by the card-reader library's file name on
--                      the system the program is built for (libapi_lec.so,
--                      api_lec.dll).
--
-- Nothing else is substituted. Lines beginning with "--" are comments.
--
-- The program only reads these tables and updates configuration.valeur; it
-- never inserts or deletes rows nor changes the schema, so what this file
-- lays down is what the program works with for its whole life.

CREATE TABLE configuration (
  id     TEXT PRIMARY KEY,   -- name of the setting
  valeur TEXT                -- its value
);

CREATE TABLE erreur (
  id       TEXT PRIMARY KEY, -- card-reader library code, decimal text without sign or padding
  bloquant TEXT              -- 'O' (capital letter O) when the code stops the run;
                             -- any other value, or no row, means it does not
);

CREATE TABLE fichiers (
  id      INTEGER PRIMARY KEY, -- order of the checks, ascending
  nom     TEXT,                -- file name, relative to its folder
  dossier TEXT,                -- 'N/A': the program's folder; 'apilec': the card
                               -- library's folder; else the folder itself,
                               -- ending with a separator
  taille  TEXT                 -- expected size in bytes as decimal text;
                               -- '0': presence only
);

-- Date of the last update check, yyyymmdd. Installed without a value so that
-- the first run checks for an update.
INSERT INTO configuration (id, valeur) VALUES ('date_maj', NULL);

-- Blocking card-reader library codes: those of the stand-in card library
-- (see simulator/README.md). A real library's installation lists its own.
INSERT INTO erreur (id, bloquant) VALUES ('61441', 'O');  -- no card in the reader
INSERT INTO erreur (id, bloquant) VALUES ('61442', 'O');  -- no reader on the workstation

-- Files checked at the start of every run.
INSERT INTO fichiers (id, nom, dossier, taille) VALUES (1, 'velna.mvi', 'N/A', '${taille:velna.mvi}');
-- The card library is its vendor's, updated on the vendor's schedule: its
-- presence is checked, not its size.
INSERT INTO fichiers (id, nom, dossier, taille) VALUES (2, '${bibliotheque_carte}', 'N/A', '0');
INSERT INTO fichiers (id, nom, dossier, taille) VALUES (3, 'api_lec.ini', 'apilec', '0');
