// mkwordlist: turns the plain word list (one lower-case word a line) into the
// 15-byte records that are compiled into the program as the built-in list.
//
//   mkwordlist INPUT OUTPUT
//
// Each record is the separator 0x1E followed by the word in upper case, padded
// with spaces to 14 bytes. The look-up is a binary search over these records,
// so they are written in ascending byte order of the padded field.
//
// Runs on the build host; standard library and the rules only.

#include "recordsearch.h"

#include "wholefile.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

namespace {

constexpr std::size_t MinLetters = 2;

constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

bool isKeptWord(const std::string &line)
{
    if (line.size() < MinLetters || line.size() > rules::FieldWidth)
        return false;
    return std::all_of(line.begin(), line.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

// The padded upper-case field; sorting these strings as bytes gives the order
// the search relies on (a space sorts before every letter).
std::string toField(const std::string &word)
{
    std::string field(rules::FieldWidth, ' ');
    std::transform(word.begin(), word.end(), field.begin(), [](char c) { return char(c - 'a' + 'A'); });
    return field;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::cerr << "usage: mkwordlist INPUT OUTPUT\n";
        return ExitUsage;
    }
    const std::filesystem::path inputPath = argv[1];
    const std::filesystem::path outputPath = argv[2];

    std::ifstream input(inputPath, std::ios::binary);
    if (!input) {
        std::cerr << "mkwordlist: cannot open " << inputPath.string() << '\n';
        return ExitFailed;
    }

    std::vector<std::string> fields;
    std::string line;
    while (std::getline(input, line)) {
        // Tolerate a list saved with CR LF line ends.
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (isKeptWord(line))
            fields.push_back(toField(line));
    }
    if (input.bad()) {
        std::cerr << "mkwordlist: read error in " << inputPath.string() << '\n';
        return ExitFailed;
    }
    if (fields.empty()) {
        // An empty built-in list would make every word invalid: refuse to build it.
        std::cerr << "mkwordlist: no words of 2 to 14 letters a..z in " << inputPath.string() << '\n';
        return ExitFailed;
    }

    std::sort(fields.begin(), fields.end());
    fields.erase(std::unique(fields.begin(), fields.end()), fields.end());

    const bool written = rules::writeWholeFile(outputPath, "mkwordlist", [&fields](std::ostream &output) {
        for (const std::string &field : fields) {
            output.put(rules::RecordMark);
            output.write(field.data(), std::streamsize(field.size()));
        }
    });
    if (!written)
        return ExitFailed;
    return EXIT_SUCCESS;
}
