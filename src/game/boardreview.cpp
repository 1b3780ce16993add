#include "boardreview.h"

#include "points.h"
#include "solver.h"

#include <QLocale>
#include <QSet>

#include <algorithm>

namespace {

// Numbers as the game writes them everywhere: 4,743.
QString number(int value)
{
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(value);
}

} // namespace

BoardReview::BoardReview(const rules::Letters &letters, std::optional<rules::Seed> seed, const QStringList &found,
                         const rules::WordGraph &graph)
    : m_letters(letters)
    , m_seed(seed)
{
    QSet<QString> sent;
    for (const QString &word : found)
        sent.insert(word.toUpper());

    rules::Solver solver(graph);
    const rules::Solution solution = solver.solve(letters);
    m_entries.reserve(solution.words.size());
    for (const rules::SolvedWord &solved : solution.words) {
        Entry entry;
        entry.word = QString::fromLatin1(solved.word.data(), qsizetype(solved.word.size()));
        entry.points = solved.points;
        entry.path.assign(solved.path().begin(), solved.path().end());
        entry.found = sent.contains(entry.word);
        entry.rank = graph.rank(solved.index);
        const std::size_t length = std::size_t(solved.length - rules::MinWord);
        ++m_wordsOfLength[length];
        m_totalPoints += entry.points;
        if (entry.found) {
            ++m_foundCount;
            m_foundPoints += entry.points;
            ++m_foundOfLength[length];
        }
        m_entries.push_back(std::move(entry));
    }
}

QString BoardReview::code() const
{
    return m_seed ? QString::fromStdString(rules::boardCode(*m_seed)) : QString();
}

QString BoardReview::shareText() const
{
    if (m_totalPoints == 0)
        return QStringLiteral("0.0");
    const double share = 100.0 * m_foundPoints / m_totalPoints;
    // Rounding must not claim all points, nor none once some are found.
    if (m_foundPoints < m_totalPoints && share >= 99.95)
        return QStringLiteral("99.9");
    if (m_foundPoints > 0 && share < 0.05)
        return QStringLiteral("0.1");
    return QString::number(share, 'f', 1);
}

QString BoardReview::summaryText() const
{
    const QString words = wordCount() == 1 ? tr("word") : tr("words");
    const QString points = m_totalPoints == 1 ? tr("point") : tr("points");
    return tr("You found %1 of %2 %3 and %4 of %5 %6 (%7 %)")
        .arg(number(m_foundCount), number(wordCount()), words, number(m_foundPoints), number(m_totalPoints), points,
             shareText());
}

std::vector<int> BoardReview::listed(Show show, Order order) const
{
    std::vector<int> indexes;
    for (int i = 0; i < wordCount(); ++i) {
        const bool found = m_entries[std::size_t(i)].found;
        if (show == Show::All || (show == Show::Found) == found)
            indexes.push_back(i);
    }
    // Entries are alphabetical, so the index breaks the last tie.
    const auto commoner = [this](int a, int b) {
        const quint32 rankA = m_entries[std::size_t(a)].rank;
        const quint32 rankB = m_entries[std::size_t(b)].rank;
        if (rankA != rankB)
            return rankA != 0 && (rankB == 0 || rankA < rankB);
        return a < b;
    };
    const auto by = [this, &commoner](auto key, bool descending) {
        return [this, key, descending, &commoner](int a, int b) {
            const int keyA = key(m_entries[std::size_t(a)]);
            const int keyB = key(m_entries[std::size_t(b)]);
            if (keyA != keyB)
                return descending ? keyA > keyB : keyA < keyB;
            return commoner(a, b);
        };
    };
    const auto points = [](const Entry &e) { return e.points; };
    const auto letters = [](const Entry &e) { return e.letters(); };
    switch (order) {
    case Order::Commonest:
        std::sort(indexes.begin(), indexes.end(), commoner);
        break;
    case Order::MostPoints:
        std::sort(indexes.begin(), indexes.end(), by(points, true));
        break;
    case Order::FewestPoints:
        std::sort(indexes.begin(), indexes.end(), by(points, false));
        break;
    case Order::Longest:
        std::sort(indexes.begin(), indexes.end(), by(letters, true));
        break;
    case Order::Shortest:
        std::sort(indexes.begin(), indexes.end(), by(letters, false));
        break;
    case Order::Alphabetical:
        break;
    }
    return indexes;
}
