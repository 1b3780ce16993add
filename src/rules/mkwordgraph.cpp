// mkwordgraph: turns the plain word list and the word frequencies into the
// solver's word graph, written as a C++ source of constant arrays that is
// compiled into the program, so nothing is made when it starts.
//
//   mkwordgraph WORDS FREQUENCIES OUTPUT
//
// WORDS has one lower-case word a line; the graph keeps those of MinWord to
// MaxWord letters a..z. FREQUENCIES has one "word count" a line, the most
// common first; a word's rank is its line number there (1 the most common),
// 0 for a word that it does not list.
//
// Runs on the build host; standard library and the rules only.

#include "points.h"
#include "wordgraph.h"

#include "wholefile.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

namespace {

constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

bool isKeptWord(const std::string &word)
{
    if (word.size() < std::size_t(rules::MinWord) || word.size() > std::size_t(rules::MaxWord))
        return false;
    return std::all_of(word.begin(), word.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

bool readLines(const std::filesystem::path &path, std::vector<std::string> &lines)
{
    std::ifstream input(path, std::ios::binary);
    if (!input) {
        std::cerr << "mkwordgraph: cannot open " << path.string() << '\n';
        return false;
    }
    std::string line;
    while (std::getline(input, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    if (input.bad()) {
        std::cerr << "mkwordgraph: read error in " << path.string() << '\n';
        return false;
    }
    return true;
}

void writeSource(std::ostream &out, const rules::BuiltWordGraph &graph)
{
    out << "// Made by mkwordgraph from data/words.txt and data/word-frequency.txt at\n"
           "// build time; not to be edited.\n"
           "#include \"builtinwords.h\"\n\n"
           "namespace rules {\n\nnamespace {\n\n"
           "constexpr GraphNode nodes[] = {\n";
    int column = 0;
    const auto separate = [&out, &column](int perLine) {
        if (++column == perLine) {
            out << '\n';
            column = 0;
        }
    };
    for (const rules::GraphNode &node : graph.nodes) {
        out << '{' << node.letters << "u," << node.firstEdge << "u," << node.words << "u," << node.wordsBefore
            << "u},";
        separate(6);
    }
    column = 0;
    out << "\n};\n\nconstexpr std::uint32_t ranks[] = {\n";
    for (const std::uint32_t rank : graph.ranks) {
        out << rank << "u,";
        separate(16);
    }
    out << "\n};\n\n} // namespace\n\n"
           "const WordGraph &builtInWords()\n{\n"
           "    static constexpr WordGraph graph(nodes, ranks);\n"
           "    return graph;\n}\n\n} // namespace rules\n";
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::cerr << "usage: mkwordgraph WORDS FREQUENCIES OUTPUT\n";
        return ExitUsage;
    }
    const std::filesystem::path outputPath = argv[3];

    std::vector<std::string> lines;
    if (!readLines(argv[1], lines))
        return ExitFailed;
    std::vector<std::string> words;
    for (std::string &line : lines) {
        if (isKeptWord(line))
            words.push_back(std::move(line));
    }
    if (words.empty()) {
        // An empty graph would make every board look empty: refuse to build it.
        std::cerr << "mkwordgraph: no words of 3 to 12 letters a..z in " << argv[1] << '\n';
        return ExitFailed;
    }
    rules::BuiltWordGraph graph = rules::buildWordGraph(std::move(words));
    const rules::WordGraph view(graph.nodes);

    lines.clear();
    if (!readLines(argv[2], lines))
        return ExitFailed;
    graph.ranks.assign(view.wordCount(), 0);
    std::uint32_t place = 0;
    for (const std::string &line : lines) {
        ++place;
        std::istringstream fields(line);
        std::string word;
        if (!(fields >> word)) {
            std::cerr << "mkwordgraph: line " << place << " of " << argv[2] << " holds no word\n";
            return ExitFailed;
        }
        // The first place a word takes is its rank.
        if (const auto index = view.find(word); index && graph.ranks[*index] == 0)
            graph.ranks[*index] = place;
    }

    if (!rules::writeWholeFile(outputPath, "mkwordgraph", [&graph](std::ostream &output) { writeSource(output, graph); }))
        return ExitFailed;
    return EXIT_SUCCESS;
}
