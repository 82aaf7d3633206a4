// zdreport COMMAND ...: report templates and prepared reports from the shell
// (development tool).
//
//   zdreport draw TEMPLATE OBJECT OUT.png [TEMPLATE OBJECT OUT.png ...] [--scale S]
//                [--printer-dpi N]
//   zdreport resave IN OUT [--password P]
//   zdreport render ZP3 --png DIR [--dpi N]
//   zdreport --synthetic PAGES OBJECTS OUT.zp3 [--compressed] [--max-mem MB]
//            [--pages-in-cache N] [--temp-dir DIR] [--png DIR] [--dpi N]
//   zdreport --print PRINTER [--pages R] [--copies N] [--collate] [--reverse]
//            [--odd|--even] [--mode default|scale|split|join] [--file OUT.prn]
//   zdreport --raw FILE PRINTER
//   zdreport --dotmatrix OUT.prn [--dmp-printer N] TEMPLATE|PREPARED.zp3
//   zdreport prepare TEMPLATE [--data PACKET.xml] [--clock ISO] [--zp3 OUT] [--dialog STEPS]
//            [--png DIR --dpi N] [--dump OUT|-]
//   zdreport --pdf OUT.pdf [--pdf-option NAME=VALUE]... [--data PACKET.xml]
//            [--clock ISO] TEMPLATE|PREPARED.zp3
//
// Exits 0 when the command did its work; on a failure prints the message to
// standard error and exits 1; on a bad command line prints the usage and
// exits 2.

#include "Exceptions.h"
#include "zdreport_commands.h"

#include <QApplication>
#include <QStringList>

#include <cstdio>
#include <functional>
#include <map>
#include <memory>

namespace {

void printUsage()
{
    std::fputs("usage: zdreport draw TEMPLATE OBJECT OUT.png [TEMPLATE OBJECT OUT.png ...] [--scale S]\n"
               "                [--printer-dpi N]\n"
               "       zdreport resave IN OUT [--password P]\n"
               "       zdreport render ZP3 --png DIR [--dpi N]\n"
               "       zdreport --synthetic PAGES OBJECTS OUT.zp3 [--compressed] [--max-mem MB]\n"
               "                [--pages-in-cache N] [--temp-dir DIR] [--png DIR] [--dpi N]\n"
               "       zdreport --print PRINTER [--pages R] [--copies N] [--collate] [--reverse]\n"
               "                [--odd|--even] [--mode default|scale|split|join] [--file OUT.prn]\n"
               "       zdreport --raw FILE PRINTER\n"
               "       zdreport --dotmatrix OUT.prn [--dmp-printer N] TEMPLATE|PREPARED.zp3\n"
               "       zdreport prepare TEMPLATE [--data PACKET.xml] [--clock ISO] [--zp3 OUT] [--dialog STEPS]\n"
               "                [--png DIR --dpi N] [--dump OUT|-]\n"
               "       zdreport --pdf OUT.pdf [--pdf-option NAME=VALUE]... [--data PACKET.xml]\n"
               "                [--clock ISO] TEMPLATE|PREPARED.zp3\n",
               stderr);
}

struct Command {
    bool drawsText; // needs the font database of a GUI application
    std::set<QString> flags;
    std::set<QString> valued;
    std::function<int(const ToolCommandLine&)> run;
};

using S = std::set<QString>;

const std::map<QString, Command>& commands()
{
    static const std::map<QString, Command> table{
        {QStringLiteral("draw"), {false, {}, S{QStringLiteral("scale"), QStringLiteral("printer-dpi")}, zdtool::drawCommand}},
        {QStringLiteral("resave"), {false, {}, S{QStringLiteral("password")}, zdtool::resaveCommand}},
        {QStringLiteral("prepare"),
         {true, {},
          S{QStringLiteral("data"), QStringLiteral("clock"), QStringLiteral("zp3"), QStringLiteral("png"),
            QStringLiteral("dpi"), QStringLiteral("dump"), QStringLiteral("dialog")},
          zdtool::prepareCommand}},
        {QStringLiteral("render"), {true, {}, S{QStringLiteral("png"), QStringLiteral("dpi")}, zdtool::renderCommand}},
        {QStringLiteral("--synthetic"),
         {true, S{QStringLiteral("synthetic"), QStringLiteral("compressed")},
          S{QStringLiteral("max-mem"), QStringLiteral("pages-in-cache"), QStringLiteral("temp-dir"),
            QStringLiteral("png"), QStringLiteral("dpi")},
          zdtool::syntheticCommand}},
        {QStringLiteral("--print"),
         {true,
          S{QStringLiteral("collate"), QStringLiteral("reverse"), QStringLiteral("odd"), QStringLiteral("even")},
          S{QStringLiteral("print"), QStringLiteral("pages"), QStringLiteral("copies"), QStringLiteral("mode"),
            QStringLiteral("file")},
          zdtool::printCommand}},
        {QStringLiteral("--raw"), {true, {}, S{QStringLiteral("raw")}, zdtool::rawCommand}},
        {QStringLiteral("--pdf"),
         {true, {},
          S{QStringLiteral("pdf"), QStringLiteral("pdf-option"), QStringLiteral("data"), QStringLiteral("clock")},
          zdtool::pdfCommand}},
        {QStringLiteral("--dotmatrix"),
         {true, {}, S{QStringLiteral("dotmatrix"), QStringLiteral("dmp-printer")}, zdtool::dotMatrixCommand}},
    };
    return table;
}

} // namespace

int main(int argc, char** argv)
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const auto command = args.size() >= 2 ? commands().find(args[1]) : commands().end();
    if (command == commands().end()) {
        printUsage();
        return 2;
    }
    // Images and the platform canvas need no window system; text does.
    std::unique_ptr<QApplication> app;
    if (command->second.drawsText) {
        if (qgetenv("QT_QPA_PLATFORM").isEmpty())
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
    }
    // A subcommand's own word is no argument; a leading option keeps its place.
    QStringList rest = args;
    if (!args[1].startsWith(QStringLiteral("--")))
        rest.removeAt(1);
    const auto cl = parseToolCommandLine(rest, command->second.flags, command->second.valued, "zdreport");
    try {
        const int result = cl ? command->second.run(*cl) : -1;
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
