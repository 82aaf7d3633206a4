// pasteform --data FILE [--geometry FILE]
//
// Opens the main window on a new data file FILE (the new-file dialog is
// answered with it) and then the spreadsheet paste form, as the user would.
// Once the form shows, the screen rectangles of its named parts are written
// to the geometry file, one "name x y width height" line each (for Memo1:
// the text area, then its cell width, row height and gutter width), so that
// a script can click them. When the form closes, its grid is printed, one
// row a line, cells separated by '|'. A development tool, not a feature of
// the program.

#include "Hlavni_f.h"
#include "PlainEdit.h"
#include "QtServices.h"
#include "VlozeniDatExcel_f.h"

#include "../ToolCommandLine.h"

#include <QPushButton>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <QTimer>

#include <cstdio>

namespace {

// The real services, except that the new-file dialog takes the given file.
class ToolServices : public plat::QtServices {
public:
    explicit ToolServices(QString file) : m_file(std::move(file)) {}
    plat::FileDialogResult FileDialog(const plat::FileDialogRequest&) override
    {
        plat::FileDialogResult r;
        r.accepted = true;
        r.files << m_file;
        return r;
    }

private:
    QString m_file;
};

QString rectLine(const QString& name, const QWidget* w)
{
    const QPoint p = w->mapToGlobal(QPoint(0, 0));
    return QStringLiteral("%1 %2 %3 %4 %5").arg(name).arg(p.x()).arg(p.y()).arg(w->width()).arg(w->height());
}

void writeGeometry(const TVlozeniDatExcel& form, const QString& path)
{
    QStringList lines;
    lines << rectLine(QStringLiteral("Form"), &form);
    lines << rectLine(QStringLiteral("Tl_Vlozit"), form.Tl_Vlozit);
    lines << rectLine(QStringLiteral("Tl_Konverze"), form.Tl_Konverze);
    const TPlainEdit& e = form.Memo1->Edit();
    lines << rectLine(QStringLiteral("Memo1"), form.Memo1->viewport()) +
                 QStringLiteral(" %1 %2 %3").arg(e.CellWidth()).arg(e.RowHeight()).arg(e.GutterExtent());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write((lines.join(u'\n') + u'\n').toUtf8());
}

void printGrid(const TVlozeniDatExcel& form)
{
    QTextStream out(stdout);
    for (int r = 0; r < form.Grid1->RowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < form.Grid1->ColCount(); ++c)
            cells << form.Grid1->Cells(c, r);
        out << cells.join(u'|') << '\n';
    }
}

} // namespace

int main(int argc, char** argv)
{
    // Read before QApplication: on X11 it takes "-geometry" and "--geometry"
    // out of the arguments as its own window option.
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    QApplication app(argc, argv);
    const auto cl = parseToolCommandLine(args, {}, {QStringLiteral("data"), QStringLiteral("geometry")},
                                         "pasteform");
    const QString data = cl ? cl->value(QStringLiteral("data")) : QString();
    if (data.isEmpty()) {
        std::fputs("usage: pasteform --data FILE [--geometry FILE]\n", stderr);
        return 2;
    }
    ToolServices services(QFileInfo(data).absoluteFilePath());
    plat::ScopedServices use(services);
    THlavni window(QFileInfo(data).absolutePath());
    window.show();
    window.Akce_NovyExecute();
    const QString geometry = cl->value(QStringLiteral("geometry"));
    // The form is modal: it is found once its own event loop runs.
    QTimer::singleShot(0, &window, [geometry] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* form = dynamic_cast<TVlozeniDatExcel*>(w);
            if (!form)
                continue;
            QObject::connect(form, &QDialog::finished, form, [form] { printGrid(*form); });
            QTimer::singleShot(300, form, [form, geometry] {
                if (!geometry.isEmpty())
                    writeGeometry(*form, geometry);
            });
        }
    });
    ShowVlozeniDatExcel(&window);
    return 0;
}
