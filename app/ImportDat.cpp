#include "ImportDat.h"

#include "Application.h"
#include "ClientDataSet.h"
#include "CodePage.h"
#include "Dialogy.h"
#include "Exceptions.h"
#include "Files.h"
#include "Hlavni_f.h"
#include "Services.h"
#include "StringList.h"

#include <QAction>

namespace {

constexpr int kFieldSize = 50;
const char* const kImportFilter =
    "Databáze csv (oddělovač \"čára\")(*.csv)|*.csv|Textový soubor (jeden sloupec pro kód bez oddělovače) (*.txt)|*.txt";

QString u8(const char* s) { return QString::fromUtf8(s); }

// Blanks and control characters, as the platform's Trim sees them.
bool isBlankLine(const QString& line)
{
    return std::all_of(line.begin(), line.end(), [](QChar c) { return c.unicode() <= 0x20; });
}

// Indexes of the fields an import fills: every field but the automatic one.
std::vector<int> fillableFields(const plat::TClientDataSet& table)
{
    std::vector<int> fields;
    for (int i = 0; i < table.FieldCount(); ++i)
        if (table.Fields(i).DataType() != plat::ftAutoInc)
            fields.push_back(i);
    return fields;
}

// Removes the records this run appended and gives their numbers back.
void rollBack(plat::TClientDataSet& table, int appended, qint64 autoInc)
{
    table.Cancel();
    for (; appended > 0 && !table.IsEmpty(); --appended) {
        table.Last();
        table.Delete();
    }
    table.SetAutoIncValue(autoInc);
}

} // namespace

namespace zd {

QStringList RadkySouboru(const QString& path)
{
    plat::TStringList lines;
    lines.SetText(plat::decodeTextBytes(plat::readFileBytes(path)));
    return lines.toStringList();
}

std::vector<TZaznam> ZaznamyCsv(const plat::TClientDataSet& table, const QStringList& lines, std::vector<int>* radky)
{
    const std::vector<int> fields = fillableFields(table);
    std::vector<TZaznam> records;
    records.reserve(size_t(lines.size()));
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString& line = lines[n];
        if (isBlankLine(line))
            continue;
        const QStringList items = line.split(u'|');
        TZaznam record(table.FieldCount());
        for (size_t f = 0; f < fields.size() && qsizetype(f) < items.size(); ++f)
            record[fields[f]] = items[qsizetype(f)];
        records.push_back(std::move(record));
        if (radky)
            radky->push_back(int(n) + 1);
    }
    return records;
}

std::vector<TZaznam> ZaznamyTxt(const plat::TClientDataSet& table, const QStringList& lines, std::vector<int>* radky)
{
    const int kod = table.FieldIndex(QStringLiteral("kod"));
    std::vector<TZaznam> records;
    records.reserve(size_t(lines.size()));
    for (qsizetype n = 0; n < lines.size(); ++n) {
        if (lines[n].isEmpty())
            continue;
        TZaznam record(table.FieldCount());
        if (kod >= 0)
            record[kod] = lines[n].left(kFieldSize);
        records.push_back(std::move(record));
        if (radky)
            radky->push_back(int(n) + 1);
    }
    return records;
}

void PripojitZaznamy(plat::TClientDataSet& table, const std::vector<TZaznam>& zaznamy,
                     const std::vector<int>& zaznamRadku)
{
    const std::vector<int> fields = fillableFields(table);
    // Every record is checked before the first one is appended.
    for (size_t r = 0; r < zaznamy.size(); ++r)
        for (int f : fields) {
            const plat::TFieldDef& def = table.Fields(f).Def();
            if (def.Required && zaznamy[r].value(f).isEmpty()) {
                QString message = QStringLiteral("Field '%1' must have a value").arg(def.Name);
                if (r < zaznamRadku.size())
                    message += u8("\r\n(řádek %1)").arg(zaznamRadku[r]);
                throw plat::EDatabaseError(message);
            }
        }

    plat::TControlsSuspended suspended(table);
    const qint64 autoInc = table.AutoIncValue();
    int appended = 0;
    try {
        for (const TZaznam& record : zaznamy) {
            table.Append();
            for (int f : fields)
                if (!record.value(f).isEmpty())
                    table.Fields(f).SetAsString(record[f]);
            table.Post();
            ++appended;
        }
    } catch (...) {
        rollBack(table, appended, autoInc);
        if (!table.IsEmpty())
            table.Last();
        throw;
    }
    if (!table.IsEmpty())
        table.Last();
}

} // namespace zd

void ImportCsv(plat::TClientDataSet& table, const QString& path)
{
    plat::THourglass hourglass;
    std::vector<int> lines;
    const std::vector<zd::TZaznam> records = zd::ZaznamyCsv(table, zd::RadkySouboru(path), &lines);
    zd::PripojitZaznamy(table, records, lines);
}

void ImportTxt(plat::TClientDataSet& table, const QString& path)
{
    plat::THourglass hourglass;
    std::vector<int> lines;
    const std::vector<zd::TZaznam> records = zd::ZaznamyTxt(table, zd::RadkySouboru(path), &lines);
    zd::PripojitZaznamy(table, records, lines);
}

bool ShowImportDat(THlavni* hlavni)
{
    plat::FileDialogRequest request;
    request.kind = plat::FileDialogRequest::Open;
    request.title = u8("Otevřít soubor");
    request.filter = u8(kImportFilter);
    request.options = plat::TOpenOptions{plat::ofPathMustExist, plat::ofFileMustExist};
    const plat::FileDialogResult answer = plat::Services().FileDialog(request);
    if (!answer.accepted || answer.FileName().isEmpty())
        return false;

    plat::TClientDataSet& table = *hlavni->ClientDataSet1;
    const int before = table.RecordCount();
    struct Refresh {
        THlavni* h;
        ~Refresh() { h->DataSource1DataChange(nullptr, nullptr); }
    } refresh{hlavni};
    // The file type chosen, not the file's extension, decides the form.
    if (answer.filterIndex == 2)
        ImportTxt(table, answer.FileName());
    else
        ImportCsv(table, answer.FileName());
    hlavni->Akce_UlozitSoubor->setEnabled(true);
    return table.RecordCount() > before;
}
