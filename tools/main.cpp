// tarvle-tool: the maintainers' command line onto the game's core code.
// Output goes to stdout; errors to stderr with status 2 for bad arguments
// and 1 for a failed operation.
#include "commands.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

namespace {

int usage(QTextStream &err)
{
    err << "usage: tarvle-tool lookup WORD...\n"
           "       tarvle-tool route BOARD LETTERS\n"
           "       tarvle-tool lzrw pack IN OUT\n"
           "       tarvle-tool lzrw unpack IN OUT\n"
           "       tarvle-tool tally show FILE\n"
           "       tarvle-tool deal CODE\n"
           "       tarvle-tool daily [YYYY-MM-DD]\n"
           "       tarvle-tool solve BOARD...\n"
           "       tarvle-tool sign KEY.pem FILE\n";
    return ToolCommands::BadArguments;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QTextStream out(stdout);
    QTextStream err(stderr);

    if (args.isEmpty())
        return usage(err);
    const QString command = args.takeFirst();
    if (command == QLatin1String("lookup")) {
        if (args.isEmpty())
            return usage(err);
        return ToolCommands::lookup(args, out, err);
    }
    if (command == QLatin1String("route")) {
        if (args.size() != 2)
            return usage(err);
        return ToolCommands::route(args[0], args[1], out, err);
    }
    if (command == QLatin1String("lzrw")) {
        if (args.size() != 3)
            return usage(err);
        if (args[0] == QLatin1String("pack"))
            return ToolCommands::lzrwPack(args[1], args[2], out, err);
        if (args[0] == QLatin1String("unpack"))
            return ToolCommands::lzrwUnpack(args[1], args[2], out, err);
        return usage(err);
    }
    if (command == QLatin1String("tally")) {
        if (args.size() != 2 || args[0] != QLatin1String("show"))
            return usage(err);
        return ToolCommands::tallyShow(args[1], out, err);
    }
    if (command == QLatin1String("deal")) {
        if (args.size() != 1)
            return usage(err);
        return ToolCommands::deal(args[0], out, err);
    }
    if (command == QLatin1String("daily")) {
        if (args.size() > 1)
            return usage(err);
        return ToolCommands::daily(args.value(0), out, err);
    }
    if (command == QLatin1String("solve")) {
        if (args.isEmpty())
            return usage(err);
        return ToolCommands::solve(args, out, err);
    }
    if (command == QLatin1String("sign")) {
        if (args.size() != 2)
            return usage(err);
        return ToolCommands::sign(args[0], args[1], out, err);
    }
    err << "tarvle-tool: unknown command '" << command << "'\n";
    return usage(err);
}
