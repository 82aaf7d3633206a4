// zdreport prepare TEMPLATE [--data PACKET.xml] [--clock ISO] [--zp3 OUT]
//                           [--png DIR --dpi N] [--dump OUT|-]

#include "zdreport_prepare.h"
#include "zdreport_template.h"

#include "Canvas.h"
#include "ClientDataSet.h"
#include "DateUtils.h"
#include "Exceptions.h"
#include "ScriptedServices.h"
#include "StringList.h"
#include "ToolCommandLine.h"
#include "zdClass_band.h"
#include "zdClass_memo.h"
#include "zdClass_page.h"
#include "zdDBSet.h"
#include "zdDCtrl.h"
#include "Modal.h"
#include "StdCtrls.h"
#include "zdEngine.h"
#include "zdPreviewPages.h"
#include "zdVariables.h"
#include "zdXML.h"

#include <QApplication>
#include <QDateTime>
#include <QDialog>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTextStream>

#include <cstdio>
#include <map>

namespace zdtool {

namespace {

TzdEngine* engineOf(TzdReport& Report)
{
    return dynamic_cast<TzdEngine*>(Report.Engine());
}

plat::Variant fromQVariant(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
        return plat::Variant(v.toInt());
    case QMetaType::LongLong:
        return plat::Variant(v.toLongLong());
    case QMetaType::Double:
        return plat::Variant(v.toDouble());
    case QMetaType::Bool:
        return plat::Variant(v.toBool());
    default:
        return v.isNull() ? plat::Null() : plat::Variant(v.toString());
    }
}

// The record table's values keep their type: an integer field sums as a
// number, not as text.
QVariant toQVariant(const plat::Variant& v)
{
    if (v.isNull() || v.isEmpty())
        return {};
    if (plat::VarIsOrdinal(v))
        return QVariant(qlonglong(v.toInt64()));
    return QVariant(plat::VarToStr(v));
}

} // namespace

// ---------------------------------------------------------------------------

RowsDataSet::RowsDataSet(plat::TComponent* AOwner, const QString& AUserName) : TzdDataSet(AOwner)
{
    SetUserName(AUserName);
    SetName(AUserName);
}

plat::Variant RowsDataSet::GetValue(const QString& FieldName)
{
    const int f = int(Fields.indexOf(FieldName));
    if (f < 0 || RecNo < 0 || RecNo >= int(Rows.size()))
        return plat::Null();
    return fromQVariant(Rows[size_t(RecNo)].at(size_t(f)));
}

QString RowsDataSet::GetDisplayText(const QString& FieldName)
{
    return plat::VarToStr(GetValue(FieldName));
}

bool RowsDataSet::Eof()
{
    return RecNo >= int(Rows.size()) || TzdDataSet::Eof();
}

void RowsDataSet::GetFieldList(plat::TStrings& List)
{
    List.Clear();
    for (const QString& f : Fields)
        List.Add(f);
}

void RowsDataSet::LoadPacket(const QString& FileName)
{
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        throw plat::Exception(QStringLiteral("Cannot open the data file %1").arg(FileName));
    plat::TClientDataSet table(nullptr);
    table.LoadFromBytes(file.readAll());
    Fields = table.FieldNames();
    Rows.clear();
    table.First();
    while (!table.Eof()) {
        std::vector<QVariant> row;
        for (int i = 0; i < table.FieldCount(); ++i)
            row.emplace_back(toQVariant(table.Fields(i).Value()));
        Rows.push_back(std::move(row));
        table.Next();
    }
}

// ---------------------------------------------------------------------------

TzdPreviewPages* storeOf(TzdReport& Report)
{
    return dynamic_cast<TzdPreviewPages*>(Report.ActivePreviewPages());
}

bool prepare(TzdReport& Report, const QString& ClockIso, QStringList* Errors)
{
    TzdEngine* engine = engineOf(Report);
    if (!engine)
        throw plat::Exception(QStringLiteral("The report has no engine"));
    QDateTime clock = QDateTime::fromString(ClockIso.isEmpty() ? QStringLiteral("2020-01-01T12:00:00") : ClockIso,
                                            Qt::ISODate);
    if (!clock.isValid())
        throw plat::Exception(QStringLiteral("Not a date and time: %1").arg(ClockIso));
    const plat::TDateTime now =
        plat::EncodeDate(clock.date().year(), clock.date().month(), clock.date().day())
        + plat::EncodeTime(clock.time().hour(), clock.time().minute(), clock.time().second(), 0);
    engine->Clock = [now] { return now; };
    Report.EngineOptions()->NewSilentMode = simSilent;
    const bool ok = Report.Prepare();
    if (Errors)
        *Errors = Report.ErrorList();
    return ok;
}

namespace {

QString geometry(TzdComponent* c)
{
    return QStringLiteral("%1 %2 %3 %4")
        .arg(double(c->Left()), 0, 'f', 2)
        .arg(double(c->Top()), 0, 'f', 2)
        .arg(double(c->Width()), 0, 'f', 2)
        .arg(double(c->Height()), 0, 'f', 2);
}

QString quoted(QString Text)
{
    while (Text.endsWith(u'\n') || Text.endsWith(u'\r'))
        Text.chop(1);
    Text.replace(QStringLiteral("\\"), QStringLiteral("\\\\"));
    Text.replace(QStringLiteral("\r\n"), QStringLiteral("\\n"));
    Text.replace(u'\n', QStringLiteral("\\n"));
    Text.replace(u'"', QStringLiteral("\\\""));
    return u'"' + Text + u'"';
}

void dumpObjects(QTextStream& out, int PageNo, TzdXMLItem* Item, TzdComponent* Parent, const QString& Path)
{
    const std::vector<TzdComponent*>& children = Parent->Children();
    for (int i = 0; i < Item->Count(); ++i) {
        TzdXMLItem* child = Item->GetItem(i);
        const QString path = (Path.isEmpty() ? QString() : Path + u'/') + QString::fromUtf8(child->Name);
        TzdComponent* obj = size_t(i) < children.size() ? children[size_t(i)] : nullptr;
        out << PageNo << u' ' << path;
        if (!obj) {
            out << " ?\n";
            continue;
        }
        out << u' ' << obj->ClassName() << u' ' << (obj->Name().isEmpty() ? QStringLiteral("-") : obj->Name())
            << u' ' << geometry(obj);
        if (auto* memo = dynamic_cast<TzdCustomMemoView*>(obj))
            out << u' ' << quoted(memo->Text());
        out << u'\n';
        dumpObjects(out, PageNo, child, obj, path);
    }
}

// Outline items by the page they point at, indented by depth.
void collectOutline(std::map<int, QStringList>& byPage, TzdXMLItem* Item, int Depth)
{
    for (int i = 0; i < Item->Count(); ++i) {
        TzdXMLItem* it = Item->GetItem(i);
        byPage[it->GetAttr("page").toInt()] << QStringLiteral("outline ") + QString(Depth * 2, u' ')
                                                   + quoted(QString::fromUtf8(zdXMLUnescape(it->GetAttr("text"))))
                                                   + QStringLiteral(" top ") + QString::fromUtf8(it->GetAttr("top"));
        collectOutline(byPage, it, Depth + 1);
    }
}

} // namespace

QString dumpPages(TzdPreviewPages& Pages)
{
    QString text;
    QTextStream out(&text);
    TzdXMLItem* root = Pages.XMLDocument()->Root();
    const int listIndex = root->Find("previewpages");
    const int numbersIndex = root->Find("logicalpagenumbers");
    std::map<int, QStringList> marks; // outline items and anchors by page index
    if (const int o = root->Find("outline"); o >= 0)
        collectOutline(marks, root->GetItem(o), 0);
    if (const int a = root->Find("anchors"); a >= 0)
        for (int i = 0; i < root->GetItem(a)->Count(); ++i) {
            TzdXMLItem* it = root->GetItem(a)->GetItem(i);
            marks[it->GetAttr("page").toInt()] << QStringLiteral("anchor ")
                                                      + quoted(QString::fromUtf8(zdXMLUnescape(it->GetAttr("text"))))
                                                      + QStringLiteral(" top ") + QString::fromUtf8(it->GetAttr("top"));
        }
    const int count = Pages.GetPageCount();
    for (int p = 0; p < count; ++p) {
        TzdReportPage* page = Pages.GetPage(p);
        TzdXMLItem* item = root->GetItem(listIndex)->GetItem(p);
        Pages.XMLDocument()->LoadItem(item);
        out << "page " << p + 1;
        if (numbersIndex >= 0 && p < root->GetItem(numbersIndex)->Count()) {
            TzdXMLItem* n = root->GetItem(numbersIndex)->GetItem(p);
            out << " logical " << n->GetAttr("n") << u'/' << n->GetAttr("t");
        }
        if (page)
            out << " size " << QString::number(double(page->PaperWidth()), 'f', 2) << u'x'
                << QString::number(double(page->PaperHeight()), 'f', 2);
        out << u'\n';
        if (page)
            dumpObjects(out, p + 1, item, page, QString());
        for (const QString& m : marks[p])
            out << m << u'\n';
        marks.erase(p);
    }
    // Marks that point at no prepared page.
    for (auto& [page, lines] : marks)
        for (const QString& m : lines)
            out << m << " page " << page + 1 << u'\n';
    out.flush();
    return text;
}

namespace {

void writePngs(TzdPreviewPages& Pages, const QString& Dir, int Dpi)
{
    QDir().mkpath(Dir);
    const long double scale = Dpi / 96.0L;
    for (int p = 0; p < Pages.GetPageCount(); ++p) {
        const QSize size = Pages.GetPageSize(p);
        QImage image(int(size.width() * scale), int(size.height() * scale), QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            plat::TCanvas canvas(&image);
            Pages.DrawPage(p, &canvas, scale, scale, 0, 0);
        }
        const QString file = QDir(Dir).filePath(QStringLiteral("page%1.png").arg(p + 1, 3, 10, QChar(u'0')));
        if (!image.save(file, "PNG", kFastPng))
            throw plat::Exception(QStringLiteral("Cannot write %1").arg(file));
    }
}

} // namespace

RowsDataSet* loadRecordTable(plat::TComponent& Host, const QString& PacketFile)
{
    auto* data = new RowsDataSet(&Host, QStringLiteral("zdDBDataset1"));
    data->LoadPacket(PacketFile);
    return data;
}

void bindRecordTable(TzdReport& Report, RowsDataSet* data)
{
    if (!Report.DataSets()->FindByDataSet(data))
        Report.DataSets()->AddDataSet(data);
    for (TzdComponent* c : Report.AllObjects())
        if (auto* d = dynamic_cast<TzdDataBand*>(c);
            d && !d->DataSet() && d->DataSetName().compare(u"zdDBDataset1", Qt::CaseInsensitive) == 0)
            d->SetDataSet(data);
}

namespace {

// The modal runner of --dialog: the steps run on the shown dialog page,
// "type NAME TEXT" types TEXT into the control NAME key by key,
// "click NAME" clicks it; steps are separated by ';'. What the steps leave
// decides the page's result (a button's modal result ends the run).
plat::ModalRunner dialogRunner(TzdReport& Report, const QString& Steps)
{
    return [&Report, Steps](QDialog& dialog) {
        dialog.show();
        QApplication::processEvents();
        const auto widgetOf = [&Report](const QString& name) -> QWidget* {
            auto* c = dynamic_cast<TzdDialogControl*>(Report.FindObject(name));
            if (!c || !c->Control())
                throw plat::Exception(QStringLiteral("No dialog control %1").arg(name));
            return c->Control()->Widget();
        };
        for (const QString& step : Steps.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString verb = step.trimmed().section(QLatin1Char(' '), 0, 0);
            const QString name = step.trimmed().section(QLatin1Char(' '), 1, 1);
            QWidget* w = widgetOf(name);
            if (verb == u"type") {
                w->setFocus();
                for (const QChar ch : step.trimmed().section(QLatin1Char(' '), 2)) {
                    QKeyEvent press(QEvent::KeyPress, ch.isLetter() ? int(ch.toUpper().unicode()) : int(ch.unicode()),
                                    ch.isUpper() ? Qt::ShiftModifier : Qt::NoModifier, QString(ch));
                    QKeyEvent release(QEvent::KeyRelease, press.key(), press.modifiers(), QString(ch));
                    QApplication::sendEvent(w, &press);
                    QApplication::sendEvent(w, &release);
                }
            } else if (verb == u"click") {
                const QPointF at(w->width() / 2.0, w->height() / 2.0);
                const QPointF global = w->mapToGlobal(at);
                QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
                QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                                    Qt::NoModifier);
                QApplication::sendEvent(w, &press);
                QApplication::sendEvent(w, &release);
            } else {
                throw plat::Exception(QStringLiteral("Unknown dialog step: %1").arg(step));
            }
            QApplication::processEvents();
        }
        QApplication::processEvents();
        const int result = dialog.isVisible() ? 0 : dialog.result();
        dialog.hide();
        return result;
    };
}

} // namespace

bool loadAndPrepare(TzdReport& Report, plat::TComponent& Host, const QString& Template, const QString& DataFile,
                    const QString& ClockIso, const QString& DialogSteps)
{
    // The record table is bound as the report list binds it: the table
    // adapter "zdDBDataset1" over the data file's table, made before the
    // template is read.
    TzdDBDataset* data = nullptr;
    if (!DataFile.isEmpty()) {
        QFile f(DataFile);
        if (!f.open(QIODevice::ReadOnly))
            throw plat::Exception(QStringLiteral("Cannot open the data file %1").arg(DataFile));
        auto* table = new plat::TClientDataSet(&Host);
        table->LoadFromBytes(f.readAll());
        data = new TzdDBDataset(&Host);
        data->SetName(QStringLiteral("zdDBDataset1"));
        data->SetCloseDataSource(false);
        data->SetDataSet(table);
    }
    if (!Report.LoadFromFile(Template, true))
        throw plat::Exception(QStringLiteral("Cannot open the template %1").arg(Template));
    if (data) {
        if (!Report.DataSets()->FindByDataSet(data))
            Report.DataSets()->AddDataSet(data);
        for (TzdComponent* c : Report.AllObjects())
            if (auto* d = dynamic_cast<TzdDataBand*>(c);
                d && !d->DataSet() && d->DataSetName().compare(u"zdDBDataset1", Qt::CaseInsensitive) == 0)
                d->SetDataSet(data);
    }
    QStringList errors;
    std::unique_ptr<plat::ScopedModalRunner> runner;
    if (!DialogSteps.isEmpty())
        runner = std::make_unique<plat::ScopedModalRunner>(dialogRunner(Report, DialogSteps));
    const bool ok = prepare(Report, ClockIso, &errors);
    for (const QString& e : errors)
        std::fprintf(stderr, "zdreport: %s\n", qPrintable(e));
    return ok && storeOf(Report);
}

int prepareCommand(const ToolCommandLine& cl)
{
    if (cl.positional.size() != 1)
        return -1;
    // The units start before the report exists: it makes its engine then.
    startLibrary();
    zd::startEngineUnit();
    zd::startDialogControlsUnit();
    // Messages and questions the library would put in a window go to
    // standard error: a shell tool never waits on one.
    plat::ScriptedServices ui;
    plat::ScopedServices use(ui);
    struct ReportMessages {
        const plat::ScriptedServices& ui;
        ~ReportMessages()
        {
            for (const plat::ServiceCall& call : ui.Calls())
                if (call.kind == QLatin1String("MessageBox") || call.kind == QLatin1String("MessageDlg"))
                    std::fprintf(stderr, "zdreport: %s\n", qPrintable(call.text));
        }
    } messages{ui};
    plat::TComponent host(nullptr);
    TzdReport report(&host);
    const bool ok = loadAndPrepare(report, host, cl.positional[0], cl.value(QStringLiteral("data")),
                                   cl.value(QStringLiteral("clock")), cl.value(QStringLiteral("dialog")));
    TzdPreviewPages* pages = storeOf(report);
    if (!ok || !pages)
        return 1;
    if (cl.has(QStringLiteral("zp3")))
        pages->SaveToFile(cl.value(QStringLiteral("zp3")));
    if (cl.has(QStringLiteral("png")))
        writePngs(*pages, cl.value(QStringLiteral("png")),
                  cl.has(QStringLiteral("dpi")) ? cl.value(QStringLiteral("dpi")).toInt() : 96);
    if (cl.has(QStringLiteral("dump"))) {
        const QByteArray dump = dumpPages(*pages).toUtf8();
        const QString target = cl.value(QStringLiteral("dump"));
        if (target == u"-") {
            std::fwrite(dump.constData(), 1, size_t(dump.size()), stdout);
        } else {
            QFile f(target);
            if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(dump) != dump.size())
                throw plat::Exception(QStringLiteral("Cannot write %1").arg(target));
        }
    }
    std::printf("pages: %d\n", pages->GetPageCount());
    return 0;
}

} // namespace zdtool
