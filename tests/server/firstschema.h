#pragma once

#include <filesystem>
#include <string>
#include <vector>

// A score database exactly as the first release of the service wrote it (schema 0: no
// verified flag, no request counts, user_version 0), for the migration tests.
struct FirstSchemaRow {
    std::string name;
    std::string date;
    int score = 0;
    std::string postedAt; // "YYYY-MM-DD HH:MM:SS"
};

// Writes the rows in order, ids 1, 2, ...; then deletes the rows named "deleted" so that the ids
// have gaps, as a database that was tidied by hand would. Throws on any SQLite failure.
void writeFirstSchemaDatabase(const std::filesystem::path &path, const std::vector<FirstSchemaRow> &rows);

// A row as stored, read straight from the file with SQLite, bypassing Store.
struct RawRow {
    long long id = 0;
    std::string name;
    std::string date;
    int score = 0;
    std::string postedAt;
    int verified = -1; // -1: no such column
};
std::vector<RawRow> readRows(const std::filesystem::path &path);
int readUserVersion(const std::filesystem::path &path);
