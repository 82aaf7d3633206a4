// zdreport COMMAND ...: report templates from the shell (development tool).
//
//   zdreport draw TEMPLATE OBJECT OUT.png [--scale S] [--printer-dpi N]
//   zdreport resave IN OUT [--password P]
//   zdreport --print PRINTER [--pages R] [--copies N] [--collate] [--reverse]
//            [--odd|--even] [--mode default|scale|split|join] [--file OUT.prn]
//   zdreport --raw FILE PRINTER
//   zdreport prepare TEMPLATE [--data PACKET.xml] [--clock ISO] [--zp3 OUT]
//            [--png DIR --dpi N] [--dump OUT|-]
//
// Exits 0 when the command did its work; on a failure prints the message to
// standard error and exits 1; on a bad command line prints the usage and
// exits 2.

#include "Exceptions.h"
#include "ToolCommandLine.h"

#include <QApplication>

#include <QStringList>

#include <cstdio>
#include <functional>
#include <map>
#include <optional>

namespace zdtool {
int drawCommand(const QString& templateFile, const QString& objectName, const QString& outFile, long double scale,
                int printerDpi);
int resaveCommand(const QString& in, const QString& out, const QString& password);
int printCommand(const ToolCommandLine& cl);
int rawCommand(const ToolCommandLine& cl);
int prepareCommand(const ToolCommandLine& cl);
} // namespace zdtool

namespace {

void printUsage()
{
    std::fputs("usage: zdreport draw TEMPLATE OBJECT OUT.png [--scale S] [--printer-dpi N]\n"
               "       zdreport resave IN OUT [--password P]\n"
               "       zdreport --print PRINTER [--pages R] [--copies N] [--collate] [--reverse]\n"
               "                [--odd|--even] [--mode default|scale|split|join] [--file OUT.prn]\n"
               "       zdreport --raw FILE PRINTER\n"
               "       zdreport prepare TEMPLATE [--data PACKET.xml] [--clock ISO] [--zp3 OUT]\n"
               "                [--png DIR --dpi N] [--dump OUT|-]\n",
               stderr);
}

struct CommandLine {
    QStringList positional;
    std::map<QString, QString> options; // "--name value"
};

std::optional<CommandLine> parse(const QStringList& args, const QStringList& valued)
{
    CommandLine cl;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (!a.startsWith(QStringLiteral("--"))) {
            cl.positional += a;
            continue;
        }
        const QString name = a.mid(2);
        if (!valued.contains(name) || i + 1 >= args.size()) {
            std::fprintf(stderr, "zdreport: unknown option or missing value: %s\n", qPrintable(a));
            return std::nullopt;
        }
        cl.options[name] = args[++i];
    }
    return cl;
}

int draw(const QStringList& args)
{
    const auto cl = parse(args, {QStringLiteral("scale"), QStringLiteral("printer-dpi")});
    if (!cl || cl->positional.size() != 3)
        return -1;
    bool ok = true;
    long double scale = 1;
    if (auto it = cl->options.find(QStringLiteral("scale")); it != cl->options.end())
        scale = it->second.toDouble(&ok);
    if (!ok || !(scale > 0 && scale <= 100)) {
        std::fputs("zdreport: --scale takes a number above 0, at most 100\n", stderr);
        return -1;
    }
    int dpi = 0;
    if (auto it = cl->options.find(QStringLiteral("printer-dpi")); it != cl->options.end())
        dpi = it->second.toInt(&ok);
    if (!ok || dpi < 0 || dpi > 4800) {
        std::fputs("zdreport: --printer-dpi takes a whole number from 1 to 4800\n", stderr);
        return -1;
    }
    return zdtool::drawCommand(cl->positional[0], cl->positional[1], cl->positional[2], scale, dpi);
}

int resave(const QStringList& args)
{
    const auto cl = parse(args, {QStringLiteral("password")});
    if (!cl || cl->positional.size() != 2)
        return -1;
    const auto password = cl->options.find(QStringLiteral("password"));
    return zdtool::resaveCommand(cl->positional[0], cl->positional[1],
                                 password == cl->options.end() ? QString() : password->second);
}

} // namespace

int main(int argc, char** argv)
{
    // Images and the platform canvas need no window system.
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (args.size() >= 2 && args[1] == u"prepare") {
        // Text layout and page pictures need the font database of a GUI application.
        if (qgetenv("QT_QPA_PLATFORM").isEmpty())
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        const auto cl = parseToolCommandLine(QStringList{args[0]} + args.mid(2), {},
                                             {QStringLiteral("data"), QStringLiteral("clock"), QStringLiteral("zp3"),
                                              QStringLiteral("png"), QStringLiteral("dpi"), QStringLiteral("dump")},
                                             "zdreport");
        int result = -1;
        try {
            if (cl)
                result = zdtool::prepareCommand(*cl);
        } catch (const plat::Exception& e) {
            std::fprintf(stderr, "zdreport: %s\n", qPrintable(e.message()));
            return 1;
        }
        if (result < 0) {
            printUsage();
            return 2;
        }
        return result;
    }
    if (args.contains(QStringLiteral("--print")) || args.contains(QStringLiteral("--raw"))) {
        // Printing draws text: it needs the font database of a GUI application.
        if (qgetenv("QT_QPA_PLATFORM").isEmpty())
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        const auto cl = parseToolCommandLine(
            args, {QStringLiteral("collate"), QStringLiteral("reverse"), QStringLiteral("odd"), QStringLiteral("even")},
            {QStringLiteral("print"), QStringLiteral("raw"), QStringLiteral("pages"), QStringLiteral("copies"),
             QStringLiteral("mode"), QStringLiteral("file")},
            "zdreport");
        int result = -1;
        try {
            if (cl && cl->has(QStringLiteral("print")) != cl->has(QStringLiteral("raw")))
                result = cl->has(QStringLiteral("raw")) ? zdtool::rawCommand(*cl) : zdtool::printCommand(*cl);
        } catch (const plat::Exception& e) {
            std::fprintf(stderr, "zdreport: %s\n", qPrintable(e.message()));
            return 1;
        }
        if (result < 0) {
            printUsage();
            return 2;
        }
        return result;
    }
    const std::map<QString, std::function<int(const QStringList&)>> commands{
        {QStringLiteral("draw"), draw},
        {QStringLiteral("resave"), resave},
    };
    const auto command = args.size() >= 2 ? commands.find(args[1]) : commands.end();
    if (command == commands.end()) {
        printUsage();
        return 2;
    }
    try {
        const int result = command->second(args.mid(2));
        if (result < 0) {
            printUsage();
            return 2;
        }
        return result;
    } catch (const plat::Exception& e) {
        std::fprintf(stderr, "zdreport: %s\n", qPrintable(e.message()));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zdreport: %s\n", e.what());
    }
    return 1;
}
