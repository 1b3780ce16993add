#include "commands.h"

#include "boardcode.h"
#include "boardtext.h"
#include "builtinwords.h"
#include "dailyboard.h"
#include "dealdice.h"
#include "readingorder.h"
#include "solver.h"
#include "tallyfile.h"
#include "tallyrecords.h"
#include "elzrw1exception.h"
#include "game.h"
#include "recordsearch.h"
#include "signature.h"
#include "tlzrw1.h"

#include <QByteArray>
#include <QChar>
#include <QFile>
#include <QTextStream>

#include <string>
#include <string_view>

namespace ToolCommands {

int lookup(const QStringList &words, QTextStream &out, QTextStream &err)
{
    // Searches the list compiled into the program in memory, so no file is
    // written beside the caller.
    QFile list(QStringLiteral(":/TEXT_DEMO"));
    if (!list.open(QIODevice::ReadOnly)) {
        err << "tarvle-tool: the built-in word list is missing\n";
        return Failed;
    }
    const QByteArray bytes = list.readAll();
    const std::string_view records(bytes.constData(), std::size_t(bytes.size()));
    for (const QString &word : words) {
        const QByteArray key = word.toUtf8();
        const bool found = rules::findRecord(records, std::string_view(key.constData(), std::size_t(key.size()))) != -1;
        out << word << (found ? " yes" : " no") << '\n';
    }
    return Ok;
}

int route(const QString &board, const QString &letters, QTextStream &out, QTextStream &err)
{
    const auto parsed = BoardText::parse(board);
    if (!parsed) {
        err << "tarvle-tool: BOARD must be 64 letters a..z in reading order\n";
        return BadArguments;
    }
    for (QChar letter : letters) {
        if (letter.toLower() < QLatin1Char('a') || letter.toLower() > QLatin1Char('z')) {
            err << "tarvle-tool: LETTERS must be letters a..z\n";
            return BadArguments;
        }
    }

    Game game(Game::Services{});
    game.setDraw(BoardText::draws(*parsed));
    game.startGame();
    for (QChar letter : letters) {
        const int code = letter.toLower().unicode() - u'a' + 1;
        const char *result = "ignored";
        switch (game.typetheletter(code)) {
        case Game::Typed::Placed:
            result = "placed";
            break;
        case Game::Typed::Invalid:
            result = "invalid";
            break;
        case Game::Typed::Ignored:
            break;
        }
        out << letter.toUpper() << ' ' << result << '\n';
    }
    out << "word:";
    for (int slot = 1; slot <= game.board().wordlength(); ++slot) {
        const Cell cell = game.board().wordslot(slot);
        out << ' ' << cell.column << ',' << cell.row;
    }
    out << '\n';
    return Ok;
}

int deal(const QString &code, QTextStream &out, QTextStream &err)
{
    const QByteArray text = code.toLatin1();
    const rules::CodeReading reading = rules::readBoardCode(std::string_view(text.constData(), std::size_t(text.size())));
    if (!reading.seed) {
        err << "tarvle-tool: " << QString::fromStdString(reading.error) << '\n';
        return BadArguments;
    }
    out << QString::fromStdString(rules::formatBoard(rules::dealFromSeed(*reading.seed))) << '\n';
    return Ok;
}

int daily(const QString &date, QTextStream &out, QTextStream &err)
{
    std::chrono::year_month_day day = rules::utcToday();
    if (!date.isEmpty()) {
        const QByteArray text = date.toLatin1();
        const auto read = rules::readIsoDate(std::string_view(text.constData(), std::size_t(text.size())));
        if (!read) {
            err << "tarvle-tool: " << date << " is not a date YYYY-MM-DD\n";
            return BadArguments;
        }
        day = *read;
    }
    out << QString::fromStdString(rules::boardCode(rules::dailySeed(day))) << '\n';
    return Ok;
}

int solve(const QStringList &boards, QTextStream &out, QTextStream &err)
{
    std::vector<rules::Letters> parsed;
    for (const QString &board : boards) {
        const auto letters = BoardText::parse(board);
        if (!letters) {
            err << "tarvle-tool: '" << board << "' is not a BOARD of 64 letters a..z in reading order\n";
            return BadArguments;
        }
        parsed.push_back(*letters);
    }
    rules::Solver solver(rules::builtInWords());
    // Written a board at a time: a stream operation per number would take
    // longer than the solving.
    std::string text;
    for (const rules::Letters &letters : parsed) {
        const rules::Solution solution = solver.solve(letters);
        text.clear();
        for (const rules::SolvedWord &word : solution.words) {
            text += word.word;
            text += ' ';
            text += std::to_string(word.points);
            for (const rules::Cell &cell : word.path()) {
                text += ' ';
                text += char('0' + cell.column);
                text += ',';
                text += char('0' + cell.row);
            }
            text += '\n';
        }
        text += "total: " + std::to_string(solution.words.size()) + " words, " + std::to_string(solution.points)
            + " points\n";
        out << QLatin1String(text.data(), qsizetype(text.size()));
    }
    return Ok;
}

namespace {

int runLzrw(bool packing, const QString &input, const QString &output, QTextStream &out,
            QTextStream &err)
{
    Tlzrw1 compressor;
    compressor.InputFile = input;
    compressor.OutputFile = output;
    compressor.CompressMode = Tlzrw1::Mode::Fast;
    try {
        const qint64 written = packing ? compressor.Compress() : compressor.Decompress();
        out << output << ": " << written << " bytes\n";
    } catch (const ELzrw1Exception &e) {
        err << "tarvle-tool: " << e.message() << '\n';
        return Failed;
    }
    return Ok;
}

} // namespace

int lzrwPack(const QString &input, const QString &output, QTextStream &out, QTextStream &err)
{
    return runLzrw(true, input, output, out, err);
}

int lzrwUnpack(const QString &input, const QString &output, QTextStream &out, QTextStream &err)
{
    return runLzrw(false, input, output, out, err);
}

int tallyShow(const QString &file, QTextStream &out, QTextStream &err)
{
    if (!QFile::exists(file)) {
        err << "tarvle-tool: no such file: " << file << '\n';
        return Failed;
    }
    TallyRecords records;
    try {
        TallyFile(file).load(records.grid());
    } catch (const std::exception &e) {
        err << "tarvle-tool: " << QString::fromUtf8(e.what()) << '\n';
        return Failed;
    }
    records.loadtally();
    const char *captions[] = {"Total Games:", "Words Found:", "Running Total Score:", "Average Game Score:"};
    for (Counter counter : AllCounters)
        out << captions[int(counter) - 1] << ' ' << records.counterText(counter) << '\n';
    for (int rank = 1; rank <= TallyRecords::Records; ++rank) {
        const TallyRecords::Row &row = records.row(rank);
        out << rank << '.';
        if (row.value > TallyRecords::NoScore)
            out << '\t' << row.date << '\t' << row.name << '\t' << row.score;
        out << '\n';
    }
    return Ok;
}

int sign(const QString &key, const QString &file, QTextStream &out, QTextStream &err)
{
    QFile keyFile(key);
    if (!keyFile.open(QIODevice::ReadOnly)) {
        err << "tarvle-tool: cannot read the key " << key << ": " << keyFile.errorString() << '\n';
        return Failed;
    }
    QFile data(file);
    if (!data.open(QIODevice::ReadOnly)) {
        err << "tarvle-tool: cannot read " << file << ": " << data.errorString() << '\n';
        return Failed;
    }
    try {
        out << Signature::sign(data.readAll(), keyFile.readAll()) << '\n';
    } catch (const Signature::Error &e) {
        err << "tarvle-tool: " << key << ": " << e.what() << '\n';
        return Failed;
    }
    return Ok;
}

} // namespace ToolCommands
