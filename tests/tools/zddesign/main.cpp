// zddesign --session FILE TEMPLATE [--prepared-page]: runs a design session
// on a template, headless (development tool).
// zddesign --gui [--dump-geometry FILE] [--dump-code FILE] [--window-size WxH]
// TEMPLATE: opens the designer window on the template; FILE receives the
// screen rectangle of every named, visible widget ("name x y w h" per line),
// so that a script can click named controls. --dump-code FILE keeps FILE up
// to date with the state of the code page (codestate.h). --window-size puts
// the window at the screen's corner with that size (for screenshots compared
// with references).
//
// TEMPLATE is opened first when it exists; otherwise the session starts on
// an empty report. FILE holds one command per line ('#' starts a comment):
//
//   new-report                 page                     dialog
//   band KIND                  (ReportTitle, MasterData, PageFooter, ...;
//                              "vertical MasterData" for a vertical band)
//   insert CLASS L T W H       (pixels; through the palette's insertion)
//   prop NAME VALUE            (the inspector's property list of the
//                              selection; Font.Name reaches sub-properties)
//   select NAME...             (no name: the page)
//   move DX DY                 (the selection, by the workspace)
//   align lefts|rights|hcenters|tops|vcenters|bottoms|spaceh|spacev|
//         centerh|centerv|samewidth|sameheight
//   undo   redo   copy   cut   paste   delete   selectall
//   tab N                      (0 the code page, N the report's page N - 1)
//   units cm|in|px|chars       answer yes|no|cancel (the next question)
//   fill COLOR                 (the fill colour button on the selection)
//   save FILE
//
// After each step it prints the step, the undo count and the redo count:
//   "3 insert TzdMemoView 0 0 100 20: undo 4 redo 0"
// Messages the designer showed follow on lines starting with "! ".
// Exits 0 when every step ran, 1 when a step failed (the message on
// standard error), 2 on a bad command line.

#include "Exceptions.h"
#include "ScriptedServices.h"
#include "StringList.h"
#include "ToolCommandLine.h"
#include "TypeInfo.h"
#include "zdBarcodeView.h"
#include "zdClass_band.h"
#include "zdClass_memo.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdDMPClass.h"
#include "zdDesignerModel.h"
#include "zdDesgnForm.h"
#include "zdEngine.h"
#include "QtServices.h"
#include "zdDsgnIntf_prop.h"
#include "zdDCtrl.h"
#include "zdEditors.h"
#include "zdFormatting.h"
#include "zdUndo.h"
#include "codestate.h"

#include <QFile>
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <QTextStream>

#include <cstdio>
#include <map>

namespace {

void printUsage()
{
    std::fputs("usage: zddesign --session FILE TEMPLATE [--prepared-page]\n"
               "       zddesign --gui [--dump-geometry FILE] [--dump-code FILE] [--window-size WxH] TEMPLATE\n",
               stderr);
}

TzdComponent* findObject(zd::DesignerModel& d, const QString& name)
{
    TzdComponent* obj = d.report()->FindObject(name);
    if (!obj)
        throw plat::Exception(QStringLiteral("no object named ") + name);
    return obj;
}

void setProperty(zd::DesignerModel& d, const QString& name, const QString& value)
{
    std::vector<plat::TObject*> objects(d.Selection.begin(), d.Selection.end());
    std::unique_ptr<TzdPropertyList> list = zdCreatePropertyList(objects, &d);
    TzdPropertyList* current = list.get();
    const QStringList path = name.split(u'.');
    TzdPropertyItem* item = nullptr;
    for (int i = 0; i < path.size(); ++i) {
        // A string list has no rows of its own: its Text is what its
        // dialog would edit.
        if (item && i == path.size() - 1 && path[i] == u"Text")
        {
            plat::TObject* obj = item->Editor->GetObjectValue();
            if (auto* lines = dynamic_cast<plat::TStrings*>(obj)) {
                lines->SetText(value);
                d.SetModifiedFlag(true);
                return;
            }
            if (auto* wide = dynamic_cast<zd::TWideStrings*>(obj)) {
                wide->SetText(value);
                d.SetModifiedFlag(true);
                return;
            }
        }
        item = current ? current->Find(path[i]) : nullptr;
        if (!item)
            throw plat::Exception(QStringLiteral("no property ") + name);
        current = item->SubProperty.get();
    }
    item->Editor->SetValue(value);
    d.SetModifiedFlag(true);
}

const std::map<QString, zd::AlignCommand>& alignCommands()
{
    static const std::map<QString, zd::AlignCommand> table{
        {QStringLiteral("lefts"), zd::acLefts},         {QStringLiteral("rights"), zd::acRights},
        {QStringLiteral("hcenters"), zd::acHorzCenters}, {QStringLiteral("tops"), zd::acTops},
        {QStringLiteral("vcenters"), zd::acVertCenters}, {QStringLiteral("bottoms"), zd::acBottoms},
        {QStringLiteral("spaceh"), zd::acSpaceHorz},     {QStringLiteral("spacev"), zd::acSpaceVert},
        {QStringLiteral("centerh"), zd::acCenterHorz},   {QStringLiteral("centerv"), zd::acCenterVert},
        {QStringLiteral("samewidth"), zd::acSameWidth},  {QStringLiteral("sameheight"), zd::acSameHeight}};
    return table;
}

int bandTag(const QStringList& args)
{
    const bool vertical = args.value(1) == u"vertical";
    const QString kind = vertical ? args.value(2) : args.value(1);
    int count = 0;
    const plat::TClass* const* table = zd::bandKindTable(count);
    for (int i = 0; i < count; ++i)
        if (table[i] && (table[i]->ClassName() == kind || table[i]->ClassName() == QStringLiteral("Tzd") + kind))
            return vertical ? i + 100 : i;
    throw plat::Exception(QStringLiteral("unknown band kind ") + kind);
}

long double number(const QStringList& args, int i)
{
    bool ok = false;
    const double v = args.value(i).toDouble(&ok);
    if (!ok)
        throw plat::Exception(QStringLiteral("not a number: ") + args.value(i));
    return v;
}

void runStep(zd::DesignerModel& d, plat::ScriptedServices& ui, const QStringList& a)
{
    const QString cmd = a.value(0);
    if (cmd == u"new-report") {
        d.NewReport();
    } else if (cmd == u"page") {
        d.NewPage();
    } else if (cmd == u"dialog") {
        d.NewDialog();
    } else if (cmd == u"band") {
        if (!d.InsertBand(bandTag(a)))
            d.Messages << QStringLiteral("band refused");
    } else if (cmd == u"insert") {
        const plat::TClass* cls = plat::GetClass(a.value(1));
        if (!cls)
            throw plat::Exception(QStringLiteral("unknown class ") + a.value(1));
        d.workspace().SetInsertion(cls, 0, 0, 0);
        d.InsertObject(cls, 0, {number(a, 2), number(a, 3), number(a, 4), number(a, 5)});
        d.workspace().SetInsertion(nullptr, 0, 0, 0);
    } else if (cmd == u"prop") {
        setProperty(d, a.value(1), a.mid(2).join(u' '));
    } else if (cmd == u"select") {
        std::vector<TzdComponent*> sel;
        for (const QString& name : a.mid(1))
            sel.push_back(findObject(d, name));
        d.SetSelection(std::move(sel));
    } else if (cmd == u"move") {
        zd::WorkspaceEngine& ws = d.workspace();
        ws.MoveSelection(number(a, 1), number(a, 2));
        ws.ArrangeBands(true);
        ws.PendingChange = true;
        ws.NotifyModified();
    } else if (cmd == u"align") {
        auto it = alignCommands().find(a.value(1));
        if (it == alignCommands().end())
            throw plat::Exception(QStringLiteral("unknown alignment ") + a.value(1));
        d.Align(it->second);
    } else if (cmd == u"undo") {
        d.Undo();
    } else if (cmd == u"redo") {
        d.Redo();
    } else if (cmd == u"copy") {
        d.Copy();
    } else if (cmd == u"cut") {
        d.Cut();
    } else if (cmd == u"paste") {
        d.Paste();
    } else if (cmd == u"delete") {
        d.Delete();
    } else if (cmd == u"selectall") {
        d.SelectAll();
    } else if (cmd == u"tab") {
        d.SelectTab(int(number(a, 1)));
    } else if (cmd == u"units") {
        static const std::map<QString, TzdRulerUnits> units{{QStringLiteral("cm"), ruCM},
                                                            {QStringLiteral("in"), ruInches},
                                                            {QStringLiteral("px"), ruPixels},
                                                            {QStringLiteral("chars"), ruChars}};
        auto it = units.find(a.value(1));
        if (it == units.end())
            throw plat::Exception(QStringLiteral("unknown units ") + a.value(1));
        d.UserUnits = it->second;
        d.SetUnits(it->second);
    } else if (cmd == u"fill") {
        zd::FormatValues values;
        values.Color = plat::TColor(number(a, 1));
        if (!d.Format(26, values))
            d.Messages << QStringLiteral("nothing filled");
    } else if (cmd == u"answer") {
        ui.AnswerMessage(a.value(1) == u"yes" ? plat::IDYES : a.value(1) == u"no" ? plat::IDNO : plat::IDCANCEL);
    } else if (cmd == u"save") {
        ui.AnswerFile({a.value(1)});
        if (!d.Save(true))
            d.Messages << QStringLiteral("not saved");
    } else {
        throw plat::Exception(QStringLiteral("unknown command ") + cmd);
    }
}

int runSession(const QString& sessionFile, const QString& templateFile, bool preparedPage)
{
    QFile file(sessionFile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "zddesign: cannot read %s\n", qPrintable(sessionFile));
        return 1;
    }
    plat::ScriptedServices ui;
    plat::ScopedServices useServices(ui);
    TzdReport report;
    if (QFile::exists(templateFile))
        report.LoadFromFile(templateFile);
    zd::DesignerModel designer(nullptr, &report, preparedPage);
    report.OpenDesigner = &designer;
    designer.ReloadFromReport();
    QTextStream out(stdout);
    QTextStream in(&file);
    int step = 0;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        ++step;
        designer.Messages.clear();
        try {
            runStep(designer, ui, line.split(u' ', Qt::SkipEmptyParts));
        } catch (const std::exception& e) {
            out.flush();
            std::fprintf(stderr, "zddesign: step %d (%s): %s\n", step, qPrintable(line), e.what());
            report.OpenDesigner = nullptr;
            return 1;
        }
        out << step << u' ' << line << ": undo " << designer.undoBuffer().UndoCount() << " redo "
            << designer.undoBuffer().RedoCount() << u'\n';
        for (const QString& m : designer.Messages)
            out << "! " << QString(m).replace(u'\n', u' ') << u'\n';
    }
    report.OpenDesigner = nullptr;
    return 0;
}

// Every named, visible widget of the window with its screen rectangle.
bool dumpGeometry(QWidget* window, const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text | QIODevice::Truncate))
        return false;
    QTextStream out(&file);
    QList<QWidget*> widgets{window};
    widgets += window->findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        if (w->objectName().isEmpty() || !w->isVisible() || w->objectName().startsWith(u"qt_"))
            continue;
        const QPoint at = w->mapToGlobal(QPoint(0, 0));
        out << w->objectName() << u' ' << at.x() << u' ' << at.y() << u' ' << w->width() << u' ' << w->height()
            << u'\n';
    }
    return true;
}

// "WxH" as a size; an empty or invalid text gives an invalid size.
QSize parseSize(const QString& text)
{
    const QStringList parts = text.split(u'x');
    bool okW = false, okH = false;
    const int w = parts.value(0).toInt(&okW), h = parts.value(1).toInt(&okH);
    return parts.size() == 2 && okW && okH && w > 0 && h > 0 ? QSize(w, h) : QSize();
}

int runWindow(const QString& templateFile, const QString& geometryFile, const QString& codeFile, QSize windowSize)
{
    // Screenshots are compared: the caret does not blink.
    QApplication::setCursorFlashTime(0);
    plat::QtServices services;
    plat::ScopedServices useServices(services);
    zd::startEngineUnit();
    zd::startDesignerFormUnit();
    TzdReport report;
    if (QFile::exists(templateFile))
        report.LoadFromFile(templateFile);
    auto* designer = new zd::DesignerModel(nullptr, &report, false);
    report.OpenDesigner = designer;
    int result = 0;
    {
        TzdDesignerForm form(designer, nullptr, true);
        form.setAttribute(Qt::WA_DeleteOnClose, false);
        form.show();
        if (windowSize.isValid())
            // After the settings placed it: at the screen's corner, that size.
            QTimer::singleShot(200, &form, [&form, windowSize] {
                form.setWindowState(Qt::WindowNoState);
                form.setGeometry(QRect(QPoint(0, 0), windowSize));
            });
        if (!geometryFile.isEmpty())
            QTimer::singleShot(500, &form, [&form, geometryFile] {
                if (!dumpGeometry(&form, geometryFile))
                    std::fprintf(stderr, "zddesign: cannot write %s\n", qPrintable(geometryFile));
            });
        if (!codeFile.isEmpty())
            zddesign::watchCodeState(&form, codeFile);
        QObject::connect(qApp, &QApplication::lastWindowClosed, qApp, &QApplication::quit);
        result = QApplication::exec();
    }
    report.OpenDesigner = nullptr;
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    bool gui = false;
    for (int i = 1; i < argc; ++i)
        gui = gui || QByteArray(argv[i]) == "--gui";
    if (!gui && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Read before the application object, which takes "--session" for
    // itself.
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    int qtArgc = 1;
    // Dialog controls are widgets.
    QApplication app(qtArgc, argv);
    const auto cl = parseToolCommandLine(args, {QStringLiteral("prepared-page"), QStringLiteral("gui")},
                                         {QStringLiteral("session"), QStringLiteral("dump-geometry"),
                                          QStringLiteral("dump-code"), QStringLiteral("window-size")},
                                         "zddesign");
    if (!cl || cl->positional.size() != 1 || cl->has(QStringLiteral("session")) == cl->has(QStringLiteral("gui"))) {
        printUsage();
        return 2;
    }
    zd::startReportUnit();
    zd::startBarcodeViewRTTIUnit();
    zd::startBarcodeViewUnit();
    zd::startDotMatrixUnit();
    zd::startDesignerEditorsUnit();
    zd::startDialogControlsUnit();
    if (cl->has(QStringLiteral("gui")))
        return runWindow(cl->positional.front(), cl->value(QStringLiteral("dump-geometry")),
                         cl->value(QStringLiteral("dump-code")), parseSize(cl->value(QStringLiteral("window-size"))));
    return runSession(cl->value(QStringLiteral("session")), cl->positional.front(),
                      cl->has(QStringLiteral("prepared-page")));
}
