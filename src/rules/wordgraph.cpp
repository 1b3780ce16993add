#include "wordgraph.h"

#include <algorithm>
#include <bit>
#include <map>
#include <stdexcept>

namespace rules {

namespace {

constexpr int Letters = 26;

// The edge of a letter bit from a node's state, as its place in the array.
inline std::uint32_t edgeOf(const GraphNode &node, std::uint32_t bit)
{
    return node.firstEdge + std::uint32_t(std::popcount(node.letters & (bit - 1)));
}

int codeOf(char c)
{
    if (c >= 'a' && c <= 'z')
        return c - 'a';
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    return -1;
}

// A state while the graph is made: its word-end mark and its edges in
// letter order.
struct Draft {
    bool ends = false;
    std::vector<std::pair<int, std::uint32_t>> edges;
};

// Minimises a trie as it grows from words in alphabetical order (Daciuk,
// Mihov, Watson and Watson, 2000): once a word leaves a branch, the states
// of that branch can never change again, so each is replaced by an equal
// state met before, or registered as the first of its kind.
class Minimiser
{
public:
    Minimiser() : m_drafts(1) {}

    void add(const std::string &word)
    {
        std::size_t common = 0;
        while (common < word.size() && common < m_previous.size() && word[common] == m_previous[common])
            ++common;
        settle(common);
        std::uint32_t state = m_open.empty() ? 0 : m_open.back().child;
        for (std::size_t i = common; i < word.size(); ++i) {
            const auto child = std::uint32_t(m_drafts.size());
            m_drafts.emplace_back();
            m_drafts[state].edges.emplace_back(word[i] - 'a', child);
            m_open.push_back({state, child});
            state = child;
        }
        m_drafts[state].ends = true;
        m_previous = word;
    }

    // The drafts with every branch settled; state 0 is the start.
    std::vector<Draft> finish()
    {
        settle(0);
        return std::move(m_drafts);
    }

private:
    struct Open {
        std::uint32_t parent;
        std::uint32_t child;
    };

    void settle(std::size_t keep)
    {
        while (m_open.size() > keep) {
            const Open open = m_open.back();
            m_open.pop_back();
            std::vector<std::uint32_t> key{m_drafts[open.child].ends ? 1u : 0u};
            for (const auto &[letter, target] : m_drafts[open.child].edges) {
                key.push_back(std::uint32_t(letter));
                key.push_back(target);
            }
            const auto [known, added] = m_register.try_emplace(std::move(key), open.child);
            if (!added) {
                m_drafts[open.parent].edges.back().second = known->second;
                m_drafts[open.child] = Draft{};
            }
        }
    }

    std::vector<Draft> m_drafts;
    std::vector<Open> m_open; // the path of the last word, not yet settled
    std::map<std::vector<std::uint32_t>, std::uint32_t> m_register;
    std::string m_previous;
};

} // namespace

std::optional<std::uint32_t> WordGraph::find(std::string_view word) const
{
    if (m_nodes.empty())
        return std::nullopt;
    const GraphNode *node = &m_nodes[0];
    std::uint32_t index = 0;
    for (char c : word) {
        const int code = codeOf(c);
        if (code < 0)
            return std::nullopt;
        const std::uint32_t bit = 1u << code;
        if (!(node->letters & bit))
            return std::nullopt;
        node = &m_nodes[edgeOf(*node, bit)];
        index += node->wordsBefore;
    }
    if (!(node->letters & WordEnds))
        return std::nullopt;
    return index;
}

std::string WordGraph::word(std::uint32_t index) const
{
    if (index >= wordCount())
        throw std::out_of_range("no word of that number in the graph");
    std::string word;
    const GraphNode *node = &m_nodes[0];
    std::uint32_t rest = index;
    // A word never has more letters than the graph has edges.
    for (std::size_t step = 0; step <= m_nodes.size(); ++step) {
        if ((node->letters & WordEnds) && rest == 0)
            return word;
        // The last edge that starts at or before the number sought.
        int chosen = -1;
        std::uint32_t place = node->firstEdge;
        for (int letter = 0; letter < Letters; ++letter) {
            if (!(node->letters & (1u << letter)))
                continue;
            if (m_nodes[place].wordsBefore > rest)
                break;
            chosen = letter;
            ++place;
        }
        if (chosen < 0)
            break;
        node = &m_nodes[place - 1];
        rest -= node->wordsBefore;
        word.push_back(char('A' + chosen));
    }
    throw std::out_of_range("the graph does not number its words");
}

BuiltWordGraph buildWordGraph(std::vector<std::string> words)
{
    for (const std::string &word : words) {
        if (word.empty() || !std::all_of(word.begin(), word.end(), [](char c) { return c >= 'a' && c <= 'z'; }))
            throw std::invalid_argument("not a word of letters a..z: '" + word + "'");
    }
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());

    Minimiser minimiser;
    for (const std::string &word : words)
        minimiser.add(word);
    const std::vector<Draft> drafts = minimiser.finish();

    // States in the order first met from the start, so the start comes first.
    std::vector<std::uint32_t> number(drafts.size(), UINT32_MAX);
    std::vector<std::uint32_t> order{0};
    number[0] = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        for (const auto &edge : drafts[order[i]].edges) {
            if (number[edge.second] == UINT32_MAX) {
                number[edge.second] = std::uint32_t(order.size());
                order.push_back(edge.second);
            }
        }
    }

    // Words through each state, counted after those of the states it leads
    // to; the depth is at most the longest word.
    std::vector<std::uint32_t> below(drafts.size(), UINT32_MAX);
    const auto count = [&](const auto &self, std::uint32_t draftIndex) -> std::uint32_t {
        if (below[draftIndex] != UINT32_MAX)
            return below[draftIndex];
        const Draft &draft = drafts[draftIndex];
        std::uint32_t words = draft.ends ? 1 : 0;
        for (const auto &edge : draft.edges)
            words += self(self, edge.second);
        below[draftIndex] = words;
        return words;
    };
    count(count, 0);

    // Each state's edges get their places first (after the start), then
    // every node is filled with its target state's letters and edges.
    std::vector<std::uint32_t> firstEdge(order.size(), 0);
    std::uint32_t place = 1;
    for (std::size_t i = 0; i < order.size(); ++i) {
        firstEdge[i] = place;
        place += std::uint32_t(drafts[order[i]].edges.size());
    }
    const auto lettersOf = [&drafts](std::uint32_t draftIndex) {
        const Draft &draft = drafts[draftIndex];
        std::uint32_t letters = draft.ends ? WordEnds : 0u;
        for (const auto &edge : draft.edges)
            letters |= 1u << edge.first;
        return letters;
    };

    BuiltWordGraph graph;
    graph.states = order.size();
    graph.nodes.resize(place);
    graph.nodes[0] = GraphNode{lettersOf(0), firstEdge[0], below[0], 0};
    for (std::size_t i = 0; i < order.size(); ++i) {
        const Draft &draft = drafts[order[i]];
        std::uint32_t before = draft.ends ? 1 : 0;
        std::uint32_t at = firstEdge[i];
        for (const auto &[letter, target] : draft.edges) {
            graph.nodes[at++] = GraphNode{lettersOf(target), firstEdge[number[target]], below[target], before};
            before += below[target];
        }
    }
    return graph;
}

} // namespace rules
