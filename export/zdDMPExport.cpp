#include "zdDMPExport.h"

#include "CodePage.h"
#include "Exceptions.h"
#include "Files.h"
#include "Services.h"
#include "Streams.h"
#include "SysUtils.h"
#include "zdClass_fill.h"
#include "zdClass_options.h"
#include "IniFiles.h"
#include "zdClass_report.h"
#include "zdDMPExportDialog.h"
#include "zdPrintPages.h"
#include "zdPrinter.h"
#include "zdRes.h"
#include "zdXML.h"

#include <QFile>
#include <QLocale>

#include <cmath>

PLAT_DEFINE_CLASS(TzdDotMatrixExport, c)
{
    using E = TzdDotMatrixExport;
    c.property("EscModel", &E::EscModel).defaultValue(0);
    c.property("PageBreaks", &E::PageBreaks).defaultValue(true);
    c.property("OEMConvert", &E::OEMConvert).defaultValue(true);
    c.property("GraphicFrames", &E::GraphicFrames).defaultValue(false);
    c.property("CustomFrameSet", &E::CustomFrameSet);
    c.property("InitString", &E::InitString);
    c.property("SaveToFile", &E::SaveToFile).defaultValue(false);
    c.property("UseIniSettings", &E::UseIniSettings).defaultValue(true);
}

namespace {

using Field = QByteArray TzdDMPrinter::*;
struct Command {
    const char* attr;
    Field field;
};
// In the order of the definition format.
const Command kCommands[] = {
    {"Reset", &TzdDMPrinter::Reset},
    {"FormFeed", &TzdDMPrinter::FormFeed},
    {"Portrait", &TzdDMPrinter::Portrait},
    {"Landscape", &TzdDMPrinter::Landscape},
    {"BoldOn", &TzdDMPrinter::BoldOn},
    {"BoldOff", &TzdDMPrinter::BoldOff},
    {"ItalicOn", &TzdDMPrinter::ItalicOn},
    {"ItalicOff", &TzdDMPrinter::ItalicOff},
    {"UnderlineOn", &TzdDMPrinter::UnderlineOn},
    {"UnderlineOff", &TzdDMPrinter::UnderlineOff},
    {"SuperscriptOn", &TzdDMPrinter::SuperscriptOn},
    {"SuperscriptOff", &TzdDMPrinter::SuperscriptOff},
    {"SubscriptOn", &TzdDMPrinter::SubscriptOn},
    {"SubscriptOff", &TzdDMPrinter::SubscriptOff},
    {"CondensedOn", &TzdDMPrinter::CondensedOn},
    {"CondensedOff", &TzdDMPrinter::CondensedOff},
    {"WideOn", &TzdDMPrinter::WideOn},
    {"WideOff", &TzdDMPrinter::WideOff},
    {"cpi12On", &TzdDMPrinter::cpi12On},
    {"cpi12Off", &TzdDMPrinter::cpi12Off},
    {"cpi15On", &TzdDMPrinter::cpi15On},
    {"cpi15Off", &TzdDMPrinter::cpi15Off},
};

// On and off commands per style member, in set order.
const std::pair<Field, Field> kStyleCommands[] = {
    {&TzdDMPrinter::BoldOn, &TzdDMPrinter::BoldOff},
    {&TzdDMPrinter::ItalicOn, &TzdDMPrinter::ItalicOff},
    {&TzdDMPrinter::UnderlineOn, &TzdDMPrinter::UnderlineOff},
    {&TzdDMPrinter::SuperscriptOn, &TzdDMPrinter::SuperscriptOff},
    {&TzdDMPrinter::SubscriptOn, &TzdDMPrinter::SubscriptOff},
    {&TzdDMPrinter::CondensedOn, &TzdDMPrinter::CondensedOff},
    {&TzdDMPrinter::WideOn, &TzdDMPrinter::WideOff},
    {&TzdDMPrinter::cpi12On, &TzdDMPrinter::cpi12Off},
    {&TzdDMPrinter::cpi15On, &TzdDMPrinter::cpi15Off},
};

const char kTextFrames[] = "  + |++ +-+++++";
const unsigned char kGraphicFrames[] = {0x20, 0x20, 0xC0, 0x20, 0xB3, 0xDA, 0xC3, 0x20,
                                        0xD9, 0xC4, 0xC1, 0xBF, 0xB4, 0xC2, 0xC5};

const QString kSection = QStringLiteral("DMP");


int rnd(long double x) { return int(std::nearbyint(x)); }

} // namespace

QByteArray TzdDMPrinter::StyleCommands(TzdDMPFontStyles Style, bool On) const
{
    QByteArray result;
    for (int k = 0; k < 9; ++k)
        if (Style.contains(TzdDMPFontStyle(k)))
            result += this->*(On ? kStyleCommands[k].first : kStyleCommands[k].second);
    return result;
}

const TzdDMPrinter* TzdDMPrinters::Items(int Index) const
{
    return Index >= 0 && Index < Count() ? &m_items[size_t(Index)] : nullptr;
}

void TzdDMPrinters::LoadFromXML(const QByteArray& Xml)
{
    Clear();
    TzdXMLDocument doc;
    plat::TMemoryStream stream(Xml);
    doc.LoadFromStream(stream);
    TzdXMLItem* root = doc.Root();
    if (root && root->Count() == 1 && root->GetItem(0)->Count() > 0 && root->Name.isEmpty())
        root = root->GetItem(0);
    for (int i = 0; root && i < root->Count(); ++i) {
        TzdXMLItem* item = root->GetItem(i);
        TzdDMPrinter p;
        if (item->AttrExists("Inherit")) {
            const int from = plat::StrToInt(QString::fromUtf8(item->GetAttr("Inherit")));
            if (from < 0 || from >= Count())
                throw plat::EConvertError(QStringLiteral("'%1' is not a valid definition").arg(from));
            p = m_items[size_t(from)];
        }
        if (item->AttrExists("Name"))
            p.Name = QString::fromUtf8(item->GetAttr("Name"));
        for (const Command& c : kCommands)
            if (item->AttrExists(c.attr))
                p.*c.field = zd::DecodeDMPCommand(QString::fromUtf8(item->GetAttr(c.attr)));
        m_items.push_back(p);
    }
}

void TzdDMPrinters::LoadDefault(const QString& FileName)
{
    LoadFromXML(zd::BuiltInDMPrintersXML());
    if (FileName.isEmpty() || !QFile::exists(FileName))
        return;
    const std::vector<TzdDMPrinter> builtIn = m_items;
    QFile f(FileName);
    bool failed = !f.open(QIODevice::ReadOnly);
    if (!failed) {
        try {
            LoadFromXML(f.readAll());
        } catch (const std::exception&) {
            failed = true;
        }
    }
    // The export addresses definitions by position: never leave it none.
    if (m_items.empty())
        m_items = builtIn;
    if (failed)
        plat::ShowMessage(QStringLiteral("Error in file printers.xml"));
}

namespace zd {

QByteArray BuiltInDMPrintersXML()
{
    return QByteArrayLiteral(
        "<?xml version=\"1.0\" encoding=\"utf-8\"?><printers>"
        "  <printer id=\"0\" Name=\"None\" FormFeed=\"0C\"/>"
        "  <printer id=\"1\" Name=\"Epson Generic\" Inherit=\"0\" Reset=\"1B40\" BoldOn=\"1B45\" BoldOff=\"1B46\""
        " ItalicOn=\"1B34\" ItalicOff=\"1B35\" UnderlineOn=\"1B2D01\" UnderlineOff=\"1B2D00\""
        " SuperscriptOn=\"#27#83#01\" SuperscriptOff=\"#27#84\" SubscriptOn=\"#27#83#00\" SubscriptOff=\"#27#84\""
        " CondensedOn=\"0F\" CondensedOff=\"12\" WideOn=\"1B5701\" WideOff=\"1B5700\" cpi12On=\"1B4D\""
        " cpi12Off=\"1B50\" cpi15On=\"1B67\" cpi15Off=\"1B50\"/>"
        "  <printer id=\"2\" Name=\"HP Generic\" Inherit=\"0\" Reset=\"1B45\" Portrait=\"1B266C304F\""
        " Landscape=\"1B266C314F\" BoldOn=\"1B28733342\" BoldOff=\"1B28733042\" ItalicOn=\"1B28733153\""
        " ItalicOff=\"1B28733053\" UnderlineOn=\"1B26643144\" UnderlineOff=\"1B266440\""
        " SuperscriptOn=\"#27#38#97#45#46#53#82\" SuperscriptOff=\"#27#38#97#43#46#53#82\""
        " SubscriptOn=\"#27#38#97#43#46#53#82\" SubscriptOff=\"#27#38#97#45#46#53#82\""
        " CondensedOn=\"1B2873313648\" CondensedOff=\"1B2873313048\" WideOn=\"1B28733548\""
        " WideOff=\"1B2873313048\" cpi12On=\"1B266B313048\" cpi12Off=\"1B266B313248\" cpi15On=\"\" cpi15Off=\"\"/>"
        "  <printer id=\"3\" Name=\"IBM Generic\" Inherit=\"1\" Reset=\"\" cpi12On=\"1B3A\" cpi12Off=\"12\""
        " cpi15On=\"1B67\" cpi15Off=\"12\"/>"
        "</printers>");
}

TzdDMPrinters* DMPrinters()
{
    static TzdDMPrinters* list = [] {
        auto* l = new TzdDMPrinters;
        l->LoadDefault(plat::ProgramFolder() + QStringLiteral("printers.xml"));
        return l;
    }();
    return list;
}

int DMPOEMCodePage()
{
    // The library's texts are Czech in code page 1250 unless a language
    // file in another code page replaced them.
    const int ui = zdGetResources()->CodePage();
    return ui == 0 || ui == 1250 ? 852 : 437;
}

TzdDotMatrixExport* DotMatrixExport() { return dynamic_cast<TzdDotMatrixExport*>(DotMatrixExportFilter()); }

} // namespace zd

// ---------------------------------------------------------------------------

TzdDotMatrixExport::TzdDotMatrixExport(plat::TComponent* AOwner) : TzdCustomExportFilter(AOwner)
{
    zd::SetDotMatrixExportFilter(this);
}

TzdDotMatrixExport::~TzdDotMatrixExport()
{
    // Another export may have taken the reference since.
    if (zd::DotMatrixExportFilter() == this)
        zd::SetDotMatrixExportFilter(nullptr);
    m_file.reset();
    if (!m_tempFile.isEmpty())
        QFile::remove(m_tempFile);
}

void TzdDotMatrixExport::SetCopies(int Value) { m_copies = std::clamp(Value, 1, 9999); }

const TzdDMPrinter& TzdDotMatrixExport::printer() const
{
    static const TzdDMPrinter none;
    const TzdDMPrinter* p = zd::DMPrinters()->Items(EscModel);
    return p ? *p : none;
}

void TzdDotMatrixExport::write(const QByteArray& Bytes)
{
    if (!Bytes.isEmpty()) {
        plat::TStream* out = OutputStream ? OutputStream.get() : m_file.get();
        if (out)
            out->WriteBuffer(Bytes.constData(), Bytes.size());
    }
}

std::unique_ptr<plat::TCustomIniFile> TzdDotMatrixExport::settingsFile() const
{
    TzdReport* report = Report ? Report->Report() : nullptr;
    if (!report || report->IniFile.isEmpty())
        return nullptr;
    return report->OpenSettingsFile();
}

int TzdDotMatrixExport::ShowSettingsDialog()
{
    std::unique_ptr<plat::TCustomIniFile> ini = settingsFile();
    if (UseIniSettings && ini) {
        PageBreaks = ini->ReadBool(kSection, QStringLiteral("PageBreaks"), true);
        OEMConvert = ini->ReadBool(kSection, QStringLiteral("OEM"), true);
        GraphicFrames = ini->ReadBool(kSection, QStringLiteral("GraphFrame"), false);
        EscModel = ini->ReadInteger(kSection, QStringLiteral("PrinterType"), 0);
    }
    if (EscModel < 0 || EscModel >= zd::DMPrinters()->Count())
        EscModel = 0;
    TzdReport* report = Report ? Report->Report() : nullptr;
    TzdDMPExportDialog dialog(*this, report ? report->PrintOptions()->Copies : m_copies);
    const int result = dialog.Execute();
    if (result == 1 && ini) {
        ini->WriteBool(kSection, QStringLiteral("OEM"), OEMConvert);
        ini->WriteBool(kSection, QStringLiteral("GraphFrame"), GraphicFrames);
        ini->WriteBool(kSection, QStringLiteral("PageBreaks"), PageBreaks);
        ini->WriteInteger(kSection, QStringLiteral("PrinterType"), EscModel);
        ini->UpdateFile();
    }
    return result;
}

bool TzdDotMatrixExport::StartExport()
{
    TzdReport* report = Report ? Report->Report() : nullptr;
    if (!ShowDialog && report)
        SetCopies(report->PrintOptions()->Copies);
    if (EscModel < 0 || EscModel >= zd::DMPrinters()->Count())
        EscModel = 0;
    m_codePage = zd::DMPOEMCodePage();
    if (std::unique_ptr<plat::TCustomIniFile> ini = settingsFile()) {
        // A code page the runtime does not know keeps the language's one.
        const int chosen = ini->ReadInteger(kSection, QStringLiteral("OEMCodePage"), 0);
        if (chosen > 0 && !plat::codePageName(chosen).isEmpty())
            m_codePage = chosen;
    }
    if (!OutputStream) {
        if (!SaveToFile) {
            m_tempFile = plat::GetTempFileName(QStringLiteral("fr"));
            FileName = m_tempFile;
        }
        if (FileName.isEmpty())
            return false;
        m_file = std::make_unique<plat::TFileStream>(FileName, plat::fmCreate);
    }
    write(printer().Reset);
    write(InitString.toLatin1());
    if (report)
        write(report->ReportOptions()->InitString.toLatin1());
    return true;
}

void TzdDotMatrixExport::OpenPage(TzdReportPage* Page, int)
{
    m_usedRows = 0;
    auto* dmp = dynamic_cast<TzdDMPPage*>(Page);
    m_pageStyle = dmp ? dmp->FontStyle() : TzdDMPFontStyles{};
    m_cols = Page ? rnd(Page->Width() / zd1CharX) + 1 : 1;
    m_rows = Page ? rnd(Page->Height() / zd1CharY) + 1 : 1;
    m_chars.assign(size_t(m_cols * m_rows), ' ');
    m_styles.assign(size_t(m_cols * m_rows), m_pageStyle);
    m_bits.assign(size_t(m_cols * m_rows), 0);
    write(Page && Page->Orientation() == plat::poLandscape ? printer().Landscape : printer().Portrait);
}

void TzdDotMatrixExport::PutText(int Column, int Row, const QByteArray& Text)
{
    if (Column < 0 || Row < 0 || Row >= m_rows)
        return;
    QByteArray text = Text;
    if (OnTranslate) {
        QString s = QString::fromLatin1(text);
        OnTranslate(this, s);
        text = s.toLatin1();
    }
    for (qsizetype i = 0; i < text.size() && Column + i < m_cols; ++i)
        m_chars[size_t(Row * m_cols + Column + int(i))] = text[i];
}

void TzdDotMatrixExport::AddFrameBits(int Column, int Row, int Bits)
{
    if (Column >= 0 && Column < m_cols && Row >= 0 && Row < m_rows)
        m_bits[size_t(Row * m_cols + Column)] |= quint8(Bits);
}

void TzdDotMatrixExport::SetCellStyle(int Column, int Row, TzdDMPFontStyles Style)
{
    if (Column >= 0 && Column < m_cols && Row >= 0 && Row < m_rows)
        m_styles[size_t(Row * m_cols + Column)] = Style;
}

void TzdDotMatrixExport::DrawLine(int Column, int Row, TzdDMPFontStyles Style, int Height, int Width)
{
    if (Width == 1) {
        for (int i = 0; i < Height; ++i)
            AddFrameBits(Column, Row + i, i == 0 ? 4 : i == Height - 1 ? 1 : 5);
    } else {
        for (int i = 0; i < Width; ++i)
            AddFrameBits(Column + i, Row, i == 0 ? 2 : i == Width - 1 ? 8 : 10);
    }
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            SetCellStyle(Column + x, Row + y, Style);
    m_usedRows = std::max(m_usedRows, Row + Height);
}

void TzdDotMatrixExport::PutMemo(int Column, int Row, TzdDMPMemoView* Memo, int Rows, int Columns)
{
    QString text = Memo->WordWrap || !Memo->TruncOutboundText ? Memo->GetWrappedText(true) : Memo->TruncatedText();
    QByteArray bytes;
    if (OEMConvert) {
        text.replace(QChar(0xA0), QLatin1Char(' '));
        bytes = plat::unicodeToCodePage(m_codePage, text);
    } else {
        bytes = plat::unicodeToCp1250(text);
    }
    bytes.replace("\r\n", "\n");
    QList<QByteArray> lines = bytes.split('\n');
    if (bytes.endsWith('\n'))
        lines.removeLast();
    const int count = int(lines.size());
    int row = Row;
    if (count < Rows) {
        if (Memo->VAlign == vaBottom)
            row = Row + Rows - count;
        else if (Memo->VAlign == vaCenter)
            row = Row + (Rows - count) / 2;
    }
    for (int i = 0; i < count && i < Rows; ++i) {
        QByteArray line = lines[i];
        const int len = int(line.size());
        if (len < Columns) {
            if (Memo->HAlign == haRight)
                line = QByteArray(Columns - len, ' ') + line;
            else if (Memo->HAlign == haCenter) {
                line = QByteArray(Columns / 2 - len / 2, ' ') + line;
                line += QByteArray(std::max(0, Columns - int(line.size())), ' ');
            } else
                line += QByteArray(Columns - len, ' ');
        }
        PutText(Column, row + i, line);
    }
    for (int y = 0; y < Rows; ++y)
        for (int x = 0; x < Columns; ++x)
            SetCellStyle(Column + x, Row + y, Memo->FontStyle());
    m_usedRows = std::max(m_usedRows, Row + Rows);
}

void TzdDotMatrixExport::WriteObject(TzdComponent* Obj)
{
    if (auto* view = dynamic_cast<TzdView*>(Obj); view && !view->Visibility().contains(vsExport))
        return;
    if (auto* memo = dynamic_cast<TzdDMPMemoView*>(Obj)) {
        const int c = rnd(memo->GetAbsLeft() / zd1CharX), r = rnd(memo->GetAbsTop() / zd1CharY);
        const int rows = rnd(memo->Height() / zd1CharY), cols = rnd(memo->Width() / zd1CharX);
        PutMemo(c, r, memo, rows, cols);
        const TzdFrameTypes typ = memo->Frame()->Typ;
        const TzdDMPFontStyles st = memo->FontStyle();
        if (typ.contains(ftLeft))
            DrawLine(c - 1, r - 1, st, rows + 2, 1);
        if (typ.contains(ftRight))
            DrawLine(rnd((memo->GetAbsLeft() + memo->Width()) / zd1CharX), r - 1, st, rows + 2, 1);
        if (typ.contains(ftTop))
            DrawLine(c - 1, r - 1, st, 1, cols + 2);
        if (typ.contains(ftBottom))
            DrawLine(c - 1, rnd((memo->GetAbsTop() + memo->Height()) / zd1CharY), st, 1, cols + 2);
    } else if (auto* line = dynamic_cast<TzdDMPLineView*>(Obj)) {
        const int c = int(std::trunc(line->GetAbsLeft() / zd1CharX));
        const int r = int(std::trunc(line->GetAbsTop() / zd1CharY));
        const int w = rnd(line->Width() / zd1CharX);
        if (line->Width() == 0)
            DrawLine(c, r, line->FontStyle(), rnd(line->Height() / zd1CharY) + 1, 1);
        else if (line->Height() == 0) {
            switch (line->Align()) {
            case baWidth: DrawLine(c - 1, r, line->FontStyle(), 1, w + 3); break;
            case baLeft: DrawLine(c - 1, r, line->FontStyle(), 1, w + 1); break;
            case baRight: DrawLine(c, r, line->FontStyle(), 1, w + 2); break;
            default: DrawLine(c, r, line->FontStyle(), 1, w + 1); break;
            }
        }
    } else if (auto* cmd = dynamic_cast<TzdDMPCommand*>(Obj)) {
        PutText(rnd(cmd->GetAbsLeft() / zd1CharX), rnd(cmd->GetAbsTop() / zd1CharY), cmd->CommandBytes());
    }
}

void TzdDotMatrixExport::flushPage()
{
    QByteArray frames;
    if (CustomFrameSet.size() == 15)
        frames = CustomFrameSet.toLatin1();
    else if (GraphicFrames)
        frames = QByteArray(reinterpret_cast<const char*>(kGraphicFrames), 15);
    else
        frames = QByteArray(kTextFrames, 15);
    const TzdDMPrinter& p = printer();
    TzdDMPFontStyles current = m_pageStyle;
    for (int row = 0; row < m_usedRows && row < m_rows; ++row) {
        QByteArray line = p.StyleCommands(current, true);
        // Where the blanks at the end start: commands are never trimmed.
        qsizetype contentEnd = line.size();
        for (int col = 0; col < m_cols; ++col) {
            const size_t i = size_t(row * m_cols + col);
            if (!(m_styles[i] == current)) {
                line += p.StyleCommands(current, false) + p.StyleCommands(m_styles[i], true);
                current = m_styles[i];
                contentEnd = line.size();
            }
            const char ch = m_bits[i] ? frames[m_bits[i] - 1] : m_chars[i];
            line += ch;
            if (ch != ' ')
                contentEnd = line.size();
        }
        line.truncate(contentEnd);
        line += p.StyleCommands(current, false);
        write(line + "\r\n");
    }
}

void TzdDotMatrixExport::ClosePage(TzdReportPage*, int)
{
    flushPage();
    m_chars.clear();
    m_styles.clear();
    m_bits.clear();
    m_cols = m_rows = 0;
    if (PageBreaks)
        write(printer().FormFeed);
}

bool TzdDotMatrixExport::printRaw()
{
    TzdCustomPrinter* printer = zdPrinters()->CurrentPrinter();
    if (!printer) {
        zdErrorMessage(QStringLiteral("Printer selected is not valid"));
        return false;
    }
    QFile f(FileName);
    if (!f.open(QIODevice::ReadOnly)) {
        zdErrorMessage(QStringLiteral("Cannot open file \"%1\". %2").arg(FileName, f.errorString()));
        return false;
    }
    const QByteArray data = InitString.toLatin1() + f.readAll();
    f.close();
    TzdReport* report = Report ? Report->Report() : nullptr;
    QString title = report ? report->ReportOptions()->Name : QString();
    if (title.isEmpty() && report)
        title = report->FileName;
    bool ok = true;
    for (int copy = 0; copy < m_copies && ok; ++copy) {
        printer->SetTitle(title);
        if (!printer->BeginRawDocument())
            return false;
        for (qsizetype pos = 0; pos < data.size(); pos += 1024)
            printer->WriteRawData(data.mid(pos, 1024));
        ok = printer->EndRawDocument();
    }
    return ok;
}

void TzdDotMatrixExport::FinishExport()
{
    m_file.reset();
    if (OutputStream || SaveToFile)
        return;
    bool printed = false;
    const bool printers = zdPrinters()->HasRealPrinters();
    try {
        if (printers)
            printed = printRaw();
        else
            plat::ShowMessage(zdGetResources()->GetText(QStringLiteral("clNoPrinters")));
    } catch (...) {
        removeTempFile();
        throw;
    }
    // The temporary output goes on every path.
    removeTempFile();
    // Said already (the message above, or the printer's own error): the
    // export fails without a second message.
    if (!printed)
        throw plat::EAbort(QStringLiteral("The dot-matrix output was not printed"));
}

void TzdDotMatrixExport::AbortExport()
{
    // The pages made before the error are not printed.
    m_file.reset();
    removeTempFile();
}

void TzdDotMatrixExport::removeTempFile()
{
    if (!m_tempFile.isEmpty()) {
        QFile::remove(m_tempFile);
        m_tempFile.clear();
    }
}
