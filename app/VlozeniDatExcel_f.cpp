#include "VlozeniDatExcel_f.h"

#include "Application.h"
#include "ClientDataSet.h"
#include "Dialogy.h"
#include "Hlavni_f.h"
#include "ImportDat.h"
#include "Modal.h"
#include "PlainEdit.h"
#include "Prvky.h"
#include "Services.h"
#include "StringList.h"

#include <QAction>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

constexpr int kWidth = 777;
constexpr int kHeight = 566;
constexpr int kFieldSize = 50;
constexpr int kDataColumns = 5; // kod, pole1 .. pole4
// Lines converted between two pumps of the event loop.
constexpr int kLinesPerPump = 256;

QString u8(const char* s) { return QString::fromUtf8(s); }

bool isTrimmed(QChar c) { return c.unicode() <= 0x20; }

QString trimmed(const QString& s)
{
    qsizetype begin = 0, end = s.size();
    while (begin < end && isTrimmed(s[begin]))
        ++begin;
    while (end > begin && isTrimmed(s[end - 1]))
        --end;
    return s.mid(begin, end - begin);
}

QPushButton* button(QWidget* parent, const char* name, const char* caption, const char* hint)
{
    auto* b = new QPushButton(u8(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    // No button is the default: Enter in the grid must not start a transfer.
    b->setAutoDefault(false);
    if (hint)
        b->setToolTip(u8(hint));
    return b;
}

// A flag that is up for a scope, so that the form's buttons wait while the
// conversion lets events run.
struct Busy {
    bool& flag;
    explicit Busy(bool& f) : flag(f) { flag = true; }
    ~Busy() { flag = false; }
};

} // namespace

namespace zd {

// ------------------------------------------------------------ grid

TStringGrid::TStringGrid(QWidget* parent) : QTableWidget(1, 1, parent)
{
    horizontalHeader()->setDefaultSectionSize(50);
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    verticalHeader()->setDefaultSectionSize(21);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
}

void TStringGrid::SetRowCount(int count) { setRowCount(std::max(count, 2) - 1); }

void TStringGrid::SetColCount(int count) { setColumnCount(std::max(count, 2) - 1); }

QString TStringGrid::Cells(int column, int row) const
{
    if (column < 0 || row < 0 || column >= ColCount() || row >= RowCount())
        return {};
    if (column == 0 && row == 0)
        return m_corner;
    if (row == 0) {
        const QTableWidgetItem* item = horizontalHeaderItem(horizontalHeader()->logicalIndex(column - 1));
        return item ? item->text() : QString();
    }
    if (column == 0) {
        const QTableWidgetItem* item = verticalHeaderItem(row - 1);
        return item ? item->text() : QString();
    }
    const QTableWidgetItem* it = item(row - 1, horizontalHeader()->logicalIndex(column - 1));
    return it ? it->text() : QString();
}

void TStringGrid::SetCells(int column, int row, const QString& text)
{
    if (column < 0 || row < 0 || column >= ColCount() || row >= RowCount())
        return;
    if (column == 0 && row == 0) {
        m_corner = text;
    } else if (row == 0) {
        setHorizontalHeaderItem(horizontalHeader()->logicalIndex(column - 1), new QTableWidgetItem(text));
    } else if (column == 0) {
        setVerticalHeaderItem(row - 1, new QTableWidgetItem(text));
    } else {
        const int logical = horizontalHeader()->logicalIndex(column - 1);
        if (QTableWidgetItem* it = item(row - 1, logical))
            it->setText(text);
        else
            setItem(row - 1, logical, new QTableWidgetItem(text));
    }
}

int TStringGrid::Row() const { return currentRow() < 0 ? 1 : currentRow() + 1; }

void TStringGrid::SetRow(int row)
{
    if (row < 1 || row >= RowCount())
        return;
    setCurrentCell(row - 1, std::max(currentColumn(), 0));
}

// ------------------------------------------------------------ text

QStringList BunkyRadku(const QString& line)
{
    // Tabs are trimmed too, so empty first and last items disappear.
    plat::TStringList items;
    RozdelitZnakem(trimmed(line), u'\t', items);
    return items.toStringList();
}

QString UpravitTitulek(const QString& title)
{
    QString s = BezDiakritiky(trimmed(title));
    for (QChar& c : s) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
        else if (c == u' ' || c == u'/' || c == u'\\' || c == u',' || c == u'.')
            c = u'_';
    }
    return s;
}

} // namespace zd

// ------------------------------------------------------------ form

TVlozeniDatExcel::TVlozeniDatExcel(THlavni* hlavni) : QDialog(hlavni), m_hlavni(hlavni)
{
    setObjectName(QStringLiteral("VlozeniDatExcel"));
    setWindowTitle(u8("Vložení dat Excelu"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setSizeGripEnabled(true);
    resize(kWidth, kHeight);
    setMinimumSize(kWidth, kHeight);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    layout->addWidget(PageControl1);

    PageControl1->addTab(createInputPage(), u8("Vstupní pole"));
    PageControl1->addTab(createTablePage(), QStringLiteral("Tabulka"));
    connectHandlers();

    // FormCreate
    Memo1->Clear();
    VymazatTabulku();
    PageControl1->setCurrentIndex(0);
    zd::Vycentrovat(*this);
}

QWidget* TVlozeniDatExcel::createInputPage()
{
    auto* input = new QWidget;
    input->setObjectName(QStringLiteral("TabSheet1"));
    auto* inputLayout = new QVBoxLayout(input);
    auto* inputPanel = new QHBoxLayout;
    Tl_Vlozit = button(input, "Tl_Vlozit", "Vložit ze schránky", "Vložit ze schránky (Ctrl+V)");
    Tl_Konverze = button(input, "Tl_Konverze", "Spustit konverzi", "Převede text s oddělovači (tabulátor) do tabulky");
    ChBox_JeZahlavi = new QCheckBox(u8("První řádek obsahuje názvy sloupců"), input);
    ChBox_JeZahlavi->setObjectName(QStringLiteral("ChBox_JeZahlavi"));
    inputPanel->addWidget(Tl_Vlozit);
    inputPanel->addWidget(Tl_Konverze);
    inputPanel->addWidget(ChBox_JeZahlavi);
    inputPanel->addStretch();
    inputLayout->addLayout(inputPanel);
    Memo1 = new TPlainMemo(input);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    QFont courier(QStringLiteral("Courier New"));
    courier.setStyleHint(QFont::TypeWriter);
    courier.setPixelSize(13);
    Memo1->setFont(courier);
    QFont gutter = courier;
    gutter.setPixelSize(11);
    Memo1->SetGutterFont(gutter);
    Memo1->SetShowLineNumbers(true);
    Memo1->SetOptions({eoAutoIndent, eoDragDropEditing, eoEnhanceEndKey, eoGroupUndo, eoScrollPastEol,
                       eoShowScrollHint, eoShowSpecialChars, eoSmartTabDelete, eoSmartTabs, eoTabsToSpaces});
    inputLayout->addWidget(Memo1, 1);
    return input;
}

QWidget* TVlozeniDatExcel::createTablePage()
{
    auto* table = new QWidget;
    table->setObjectName(QStringLiteral("TabSheet2"));
    auto* tableLayout = new QVBoxLayout(table);
    auto* tablePanel = new QHBoxLayout;
    Tl_Zacatek = button(table, "Tl_Zacatek", "|<", nullptr);
    Tl_Vzad = button(table, "Tl_Vzad", "<", nullptr);
    Tl_Vpred = button(table, "Tl_Vpred", ">", nullptr);
    Tl_Konec = button(table, "Tl_Konec", ">|", nullptr);
    La_Pocitadlo = new QLabel(QStringLiteral("0 z 0"), table);
    La_Pocitadlo->setObjectName(QStringLiteral("La_Pocitadlo"));
    La_Pocitadlo->setMinimumWidth(80);
    La_Pocitadlo->setAlignment(Qt::AlignCenter);
    Tl_PrenosDat = button(table, "Tl_PrenosDat", "Přenos dat", "Přenos dat do tabulky hlavního formuláře");
    for (QWidget* w : {static_cast<QWidget*>(Tl_Zacatek), static_cast<QWidget*>(Tl_Vzad),
                       static_cast<QWidget*>(La_Pocitadlo), static_cast<QWidget*>(Tl_Vpred),
                       static_cast<QWidget*>(Tl_Konec)})
        tablePanel->addWidget(w);
    tablePanel->addStretch();
    tablePanel->addWidget(Tl_PrenosDat);
    for (QPushButton* b : {Tl_Zacatek, Tl_Vzad, Tl_Vpred, Tl_Konec})
        b->setFixedWidth(32);
    tableLayout->addLayout(tablePanel);
    Grid1 = new zd::TStringGrid(table);
    Grid1->setObjectName(QStringLiteral("Grid1"));
    tableLayout->addWidget(Grid1, 1);
    return table;
}

void TVlozeniDatExcel::connectHandlers()
{
    auto guarded = [this](void (TVlozeniDatExcel::*handler)()) {
        return [this, handler] {
            if (!m_busy)
                plat::Application().Guard([&] { (this->*handler)(); });
        };
    };
    connect(Tl_Vlozit, &QPushButton::clicked, this, guarded(&TVlozeniDatExcel::Tl_VlozitClick));
    connect(Tl_Konverze, &QPushButton::clicked, this, guarded(&TVlozeniDatExcel::Tl_KonverzeClick));
    connect(Tl_PrenosDat, &QPushButton::clicked, this, guarded(&TVlozeniDatExcel::Tl_PrenosDatClick));
    connect(Tl_Zacatek, &QPushButton::clicked, this, [this] { Grid1->SetRow(1); });
    connect(Tl_Vzad, &QPushButton::clicked, this, [this] {
        if (Grid1->Row() > 1)
            Grid1->SetRow(Grid1->Row() - 1);
    });
    connect(Tl_Vpred, &QPushButton::clicked, this, [this] {
        if (Grid1->Row() < Grid1->RowCount() - 1)
            Grid1->SetRow(Grid1->Row() + 1);
    });
    connect(Tl_Konec, &QPushButton::clicked, this, [this] { Grid1->SetRow(Grid1->RowCount() - 1); });
    // Grid1Click
    connect(Grid1, &QTableWidget::currentCellChanged, this, [this] {
        if (!m_busy)
            AktualizovatPocitadlo();
    });
}

TVlozeniDatExcel::~TVlozeniDatExcel() = default;

void TVlozeniDatExcel::Tl_VlozitClick()
{
    const QString text = plat::Services().ClipboardText();
    if (!text.isEmpty())
        Memo1->SetText(text);
}

void TVlozeniDatExcel::Tl_KonverzeClick()
{
    // One change: blank lines deleted one by one would leave undo records
    // that no longer match the text (and cost a pass per line).
    Memo1->KeepLines([](const QString& line) { return !trimmed(line).isEmpty(); });
    TPlainMemoLines& lines = Memo1->Lines();
    if (lines.Count() == 0) {
        ZpravaInfo(u8("Není žádný textový obsah."));
        return;
    }
    QStringList text;
    text.reserve(lines.Count());
    for (int i = 0; i < lines.Count(); ++i)
        text << lines.Strings(i);
    VymazatTabulku();
    NaplnitTabulku(text, ChBox_JeZahlavi->isChecked());
    UpravitZahlavi();
    PageControl1->setCurrentIndex(1);
    Grid1->setFocus();
    Grid1->SetRow(1);
    AktualizovatPocitadlo();
}

void TVlozeniDatExcel::VymazatTabulku()
{
    Grid1->clear();
    Grid1->setRowCount(0);
    Grid1->setColumnCount(0);
    Grid1->SetRowCount(2);
    Grid1->SetColCount(2);
    Grid1->SetCells(0, 0, {});
    La_Pocitadlo->setText(QStringLiteral("0 z 0"));
}

void TVlozeniDatExcel::NaplnitTabulku(const QStringList& lines, bool header)
{
    plat::THourglass hourglass;
    Busy busy(m_busy);
    const int first = header ? 0 : 1;
    Grid1->setUpdatesEnabled(false);
    struct Restore {
        QWidget* w;
        ~Restore() { w->setUpdatesEnabled(true); }
    } restore{Grid1};
    Grid1->SetRowCount(int(lines.size()) + first);
    if (!header && !lines.isEmpty()) {
        const QStringList titles = zd::BunkyRadku(lines.first());
        if (titles.size() + 1 > Grid1->ColCount())
            Grid1->SetColCount(int(titles.size()) + 1);
        for (int n = 1; n <= titles.size(); ++n)
            Grid1->SetCells(n, 0, QStringLiteral("Pole %1").arg(n));
    }
    for (int k = 0; k < lines.size(); ++k) {
        const QStringList items = zd::BunkyRadku(lines[k]);
        if (items.size() > Grid1->ColCount() - 1)
            Grid1->SetColCount(int(items.size()) + 1);
        const int row = k + first;
        for (int i = 0; i < items.size(); ++i)
            Grid1->SetCells(i + 1, row, items[i]);
        Grid1->SetCells(0, row, QString::number(row));
        if ((k + 1) % kLinesPerPump == 0)
            plat::Application().ProcessMessages();
    }
    Grid1->SetCells(0, 0, {});
}

void TVlozeniDatExcel::UpravitZahlavi()
{
    for (int c = 1; c < Grid1->ColCount(); ++c)
        Grid1->SetCells(c, 0, zd::UpravitTitulek(Grid1->Cells(c, 0)));
}

void TVlozeniDatExcel::AktualizovatPocitadlo()
{
    const int row = Grid1->Row();
    const int count = Grid1->RowCount();
    La_Pocitadlo->setText(QStringLiteral("%1 z %2").arg(row).arg(count));
    Tl_Zacatek->setEnabled(row > 1 && count > 2);
    Tl_Vzad->setEnabled(row > 1 && count > 2);
    Tl_Vpred->setEnabled(row + 1 < count && count > 2);
    Tl_Konec->setEnabled(row + 1 < count && count > 2);
}

QString TVlozeniDatExcel::KontrolaRadku(int row) const
{
    const QString code = Grid1->Cells(1, row);
    if (code.size() > kFieldSize)
        return u8("Výraz v poli 1 přesahuje povolený počet znaků.");
    // An empty code could not be stored; it is reported with the others
    // instead of stopping the transfer half-way.
    if (code.isEmpty())
        return u8("Výraz v poli 1 není zadaný.");
    return {};
}

void TVlozeniDatExcel::Tl_PrenosDatClick()
{
    if (Grid1->Cells(0, Grid1->Row()).isEmpty()) {
        ZpravaInfo(u8("Tabulka je prázdná..."));
        return;
    }
    QStringList errors;
    {
        plat::THourglass hourglass;
        for (int r = 1; r < Grid1->RowCount(); ++r) {
            QString error = KontrolaRadku(r);
            if (error.isEmpty())
                continue;
            if (error.endsWith(u'.'))
                error.chop(1);
            errors << QStringLiteral("Chyba v položce %1  ").arg(r) + error;
        }
    }
    if (!errors.isEmpty()) {
        TextoveOknoParam(u8("Výpis chyb"), errors.join(QStringLiteral("\r\n")), 850, 650, false, 0, true, false);
        return;
    }

    plat::TClientDataSet& table = *m_hlavni->ClientDataSet1;
    const int kod = table.FieldIndex(QStringLiteral("kod"));
    std::vector<zd::TZaznam> records;
    records.reserve(size_t(Grid1->RowCount()));
    std::vector<int> rows;
    for (int r = 1; r < Grid1->RowCount(); ++r) {
        zd::TZaznam record(table.FieldCount());
        for (int c = 0; c < kDataColumns; ++c) {
            const int field = c == 0 ? kod : table.FieldIndex(QStringLiteral("pole%1").arg(c));
            if (field >= 0)
                record[field] = Grid1->Cells(c + 1, r);
        }
        records.push_back(std::move(record));
        rows.push_back(r);
    }
    {
        plat::THourglass hourglass;
        struct Refresh {
            THlavni* h;
            ~Refresh() { h->DataSource1DataChange(nullptr, nullptr); }
        } refresh{m_hlavni};
        zd::PripojitZaznamy(table, records, rows);
        m_hlavni->Akce_UlozitSoubor->setEnabled(true);
    }
    ZpravaInfo(u8("Vložení položek do příkazu je ukončeno."));
}

void ShowVlozeniDatExcel(THlavni* hlavni)
{
    TVlozeniDatExcel form(hlavni);
    plat::ExecModal(form);
}
