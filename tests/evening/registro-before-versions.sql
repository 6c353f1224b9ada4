-- A register as the program wrote it before the schema had a version: the print register's
-- table, and the game store's own tables as the game store made them. Times are in the forms
-- each wrote: the print register in UTC with milliseconds, the game store in local time with
-- no zone (here, Italian time: summer for the first game, winter for the second).
CREATE TABLE IF NOT EXISTS print_runs (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    program TEXT NOT NULL,
    started TEXT NOT NULL,
    ended TEXT,
    archive_path TEXT NOT NULL,
    archive_size INTEGER NOT NULL,
    archive_sha256 TEXT NOT NULL,
    archive_cards INTEGER NOT NULL,
    first_card INTEGER NOT NULL,
    cards_asked INTEGER NOT NULL,
    last_card INTEGER NOT NULL,
    archive_numbering INTEGER NOT NULL,
    landscape INTEGER NOT NULL,
    destination TEXT NOT NULL,
    outcome TEXT NOT NULL,
    cards_drawn INTEGER NOT NULL DEFAULT 0,
    delivered INTEGER NOT NULL DEFAULT 0,
    pid INTEGER NOT NULL,
    boot_id TEXT NOT NULL
);
CREATE TABLE IF NOT EXISTS games ( id INTEGER PRIMARY KEY AUTOINCREMENT, started TEXT NOT NULL, ended TEXT);
CREATE TABLE IF NOT EXISTS drawn ( game INTEGER NOT NULL REFERENCES games(id), position INTEGER NOT NULL, number INTEGER NOT NULL CHECK (number BETWEEN 1 AND 90), UNIQUE (game, number));
INSERT INTO print_runs (program, started, archive_path, archive_size, archive_sha256, archive_cards, first_card, cards_asked, last_card, archive_numbering, landscape, destination, outcome, cards_drawn, delivered, pid, boot_id) VALUES ('velmora', '2026-12-07T19:02:11.348Z', '/home/anna/.local/share/velmora/Cartelle.dat', 1200000, 'aa11', 12000, 1, 24, 24, 0, 1, 'Stampante sala', 'in_progress', 0, 0, 4101, 'boot-a');
UPDATE print_runs SET outcome = 'completed', cards_drawn = 24, delivered = 1, ended = '2026-12-07T19:04:40.017Z' WHERE id = 1;
INSERT INTO print_runs (program, started, archive_path, archive_size, archive_sha256, archive_cards, first_card, cards_asked, last_card, archive_numbering, landscape, destination, outcome, cards_drawn, delivered, pid, boot_id) VALUES ('velmora-pdf', '2026-12-07T19:30:00.500Z', '/home/anna/.local/share/velmora/Cartelle.dat', 1200000, 'aa11', 12000, 25, 12, 30, 1, 0, '/home/anna/serata.pdf', 'in_progress', 0, 0, 4102, 'boot-a');
UPDATE print_runs SET outcome = 'stopped', cards_drawn = 6, delivered = 1, ended = '2026-12-07T19:30:02.250Z' WHERE id = 2;
INSERT INTO print_runs (program, started, archive_path, archive_size, archive_sha256, archive_cards, first_card, cards_asked, last_card, archive_numbering, landscape, destination, outcome, cards_drawn, delivered, pid, boot_id) VALUES ('velmora', '2026-12-07T20:00:00.000Z', '/home/anna/.local/share/velmora/Cartelle.dat', 1200000, 'aa11', 12000, 31, 6, 36, 0, 1, 'Stampante sala', 'in_progress', 0, 0, 4103, 'boot-a');
INSERT INTO games (started) VALUES ('2026-07-14T21:30:00');
INSERT INTO drawn (game, position, number) VALUES (1, 1, 12);
INSERT INTO drawn (game, position, number) VALUES (1, 2, 5);
INSERT INTO drawn (game, position, number) VALUES (1, 3, 77);
UPDATE games SET ended = '2026-07-14T23:10:12' WHERE id = 1;
INSERT INTO games (started) VALUES ('2026-12-07T20:05:40');
INSERT INTO drawn (game, position, number) VALUES (2, 1, 33);
INSERT INTO drawn (game, position, number) VALUES (2, 2, 8)
