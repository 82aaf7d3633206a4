#pragma once
// "Import databáze": appends records from a text file of "|"-separated
// fields ("*.csv") or of one code per line ("*.txt"). Every line is checked
// before the first record is appended, so a bad file adds nothing.

#include <QString>
#include <QStringList>

#include <vector>

class THlavni;

namespace plat {
class TClientDataSet;
}

namespace zd {

// One record to append: values by field index (the auto-incrementing
// field's value is ignored); missing values are empty.
using TZaznam = QStringList;

// Appends the records with the table's controls suspended; a record whose
// required field is empty raises EDatabaseError "Field '%s' must have a
// value" before anything is appended; zaznamRadku names the file line (or
// grid row) of each record in that message. On any failure nothing stays
// appended and no insert is left pending. The last record becomes current.
void PripojitZaznamy(plat::TClientDataSet& table, const std::vector<TZaznam>& zaznamy,
                     const std::vector<int>& zaznamRadku = {});

// The records of the lines of a "|" file: blank lines skipped, the items
// filling the table's non-automatic fields in order. radky receives the
// 1-based line number of each record.
std::vector<TZaznam> ZaznamyCsv(const plat::TClientDataSet& table, const QStringList& lines,
                                std::vector<int>* radky = nullptr);
// The records of a one-code-per-line file: each non-empty line a code.
std::vector<TZaznam> ZaznamyTxt(const plat::TClientDataSet& table, const QStringList& lines,
                                std::vector<int>* radky = nullptr);

// The file's lines: code page 1250, or UTF-8 when the file starts with the
// UTF-8 mark or is valid UTF-8 with non-ASCII characters (raises EFOpenError
// or EReadError).
QStringList RadkySouboru(const QString& path);

} // namespace zd

void ImportCsv(plat::TClientDataSet& table, const QString& path);
void ImportTxt(plat::TClientDataSet& table, const QString& path);

// Akce_ImportDat: asks for the file and its type, imports it, and updates
// the counter, the actions and "Uložit soubor". True when records were added.
bool ShowImportDat(THlavni* hlavni);
