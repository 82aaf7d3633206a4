#include "zdAggregate.h"

#include "Exceptions.h"
#include "SysUtils.h"
#include "zdClass_band.h"
#include "zdClass_memo.h"
#include "zdClass_page.h"
#include "zdClass_report.h"
#include "zdDataSets.h"
#include "zdEngine.h"
#include "zdUtils.h"
#include "zdVariables.h"

namespace {

constexpr int kColumnSlots = 1001; // vertical columns 0 to 1000

int functionCode(const QString& Name)
{
    const QString n = Name.trimmed().toUpper();
    if (n == u"SUM")
        return 0;
    if (n == u"AVG")
        return 1;
    if (n == u"MIN")
        return 2;
    if (n == u"MAX")
        return 3;
    return 4;
}

bool isAggregateName(const QString& Word)
{
    const QString n = Word.toUpper();
    return n == u"SUM" || n == u"MIN" || n == u"MAX" || n == u"AVG" || n == u"COUNT";
}

// Characters that end a word and are skipped between words.
bool isSeparator(QChar c)
{
    static const QString kSeparators = QStringLiteral("!#$%&*+,-./=[]^|");
    return c.unicode() <= 32 || kSeparators.contains(c);
}

// The index of the bracket that closes the one at Open (text.size() when none).
qsizetype matchingClose(const QString& Text, qsizetype Open, QChar OpenChar, QChar CloseChar)
{
    int depth = 0;
    for (qsizetype i = Open; i < Text.size(); ++i) {
        if (Text[i] == OpenChar)
            ++depth;
        else if (Text[i] == CloseChar && --depth == 0)
            return i;
    }
    return Text.size();
}

// Arguments split at commas outside quotes and nested parentheses.
QStringList splitArguments(const QString& Text)
{
    QStringList out;
    QString cur;
    int depth = 0;
    bool inSingle = false, inDouble = false;
    for (QChar c : Text) {
        if (c == u'\'' && !inDouble)
            inSingle = !inSingle;
        else if (c == u'"' && !inSingle)
            inDouble = !inDouble;
        else if (!inSingle && !inDouble) {
            if (c == u'(')
                ++depth;
            else if (c == u')')
                --depth;
            else if (c == u',' && depth == 0) {
                out << cur.trimmed();
                cur.clear();
                continue;
            }
        }
        cur += c;
    }
    if (!cur.trimmed().isEmpty() || !out.isEmpty())
        out << cur.trimmed();
    return out;
}

bool isFieldReference(const QString& Text)
{
    const QString t = Text.trimmed();
    const qsizetype dot = t.indexOf(QStringLiteral(".\""));
    return dot > 0 && t.endsWith(u'"');
}

} // namespace

void zd::aggregateCombine(int Function, plat::Variant& Acc, const plat::Variant& V, bool KeepCloseRule)
{
    if (V.isNull())
        return;
    if (Acc.isNull()) {
        Acc = V;
        return;
    }
    switch (Function) {
    case 0:
    case 1:
        Acc = plat::VarAdd(Acc, V);
        break;
    case 2:
        if (plat::VarCmpLT(V, Acc))
            Acc = V;
        break;
    case 3:
        if (plat::VarCmpGT(V, Acc))
            Acc = V;
        break;
    default:
        if (KeepCloseRule)
            Acc = plat::VarAdd(Acc, V);
        break;
    }
}

// ---------------------------------------------------------------------------
// Items

void TzdAggregateItem::Restart(bool Force)
{
    if (!Force && RunningTotal && Count != 0)
        return;
    Count = 0;
    Value = plat::Null();
    ColumnValues.clear();
    ColumnCounts.clear();
}

plat::Variant TzdAggregateItem::Result() const
{
    plat::Variant v = Value;
    int n = Count;
    if (!ColumnValues.empty()) {
        v = ColumnValues.at(size_t(VColumnIndex));
        n = ColumnCounts.at(size_t(VColumnIndex));
    }
    plat::Variant r;
    if (Function == 1)
        r = (v.isNull() || n == 0) ? plat::Null() : plat::VarDiv(v, plat::Variant(n));
    else if (Function == 4)
        r = plat::Variant(n);
    else
        r = v;
    if (r.isNull() || r.isEmpty())
        r = plat::Variant(0);
    return r;
}

// ---------------------------------------------------------------------------
// The list

TzdAggregateList::TzdAggregateList(TzdReport* AReport, TzdEngine* AEngine) : m_report(AReport), m_engine(AEngine) {}

TzdAggregateList::~TzdAggregateList() = default;

void TzdAggregateList::Collect(TzdReportPage* Page)
{
    for (TzdBand* b : Page->HorizontalBands)
        collectDataBand(b, false);
    for (TzdBand* b : Page->VerticalBands)
        collectDataBand(b, true);
    if (Page->HorizontalBands.empty())
        return;
    TzdBand* first = Page->HorizontalBands.front();
    for (const plat::TClass* cls : {TzdPageFooter::StaticClass(), TzdColumnFooter::StaticClass(),
                                    TzdReportSummary::StaticClass()})
        scanBandChain(Page->FirstBandOfClass(cls), first);
}

void TzdAggregateList::collectDataBand(TzdBand* D, bool Vertical)
{
    scanBandChain(D->FooterBand, D);
    if (D->GroupBand)
        for (TzdBand* g : D->GroupBand->SubBands)
            scanBandChain(g->FooterBand, D);
    for (TzdBand* detail : D->SubBands)
        collectDataBand(detail, Vertical);
    if (Vertical)
        scanBandChain(D, D);
}

void TzdAggregateList::scanBandChain(TzdBand* Band, TzdBand* DataBand)
{
    // A child chain is finite: the band refuses a circular child.
    for (TzdBand* b = Band; b; b = b->Child())
        for (TzdComponent* c : b->Children())
            if (auto* memo = dynamic_cast<TzdCustomMemoView*>(c))
                ScanMemo(memo, DataBand);
}

void TzdAggregateList::ScanMemo(TzdCustomMemoView* Memo, TzdBand* DataBand)
{
    if (!Memo->AllowExpressions)
        return;
    const QString delims = Memo->ExpressionDelimiters;
    const qsizetype comma = delims.indexOf(u',');
    const QString open = comma < 0 ? QStringLiteral("[") : delims.left(comma);
    const QString close = comma < 0 ? QStringLiteral("]") : delims.mid(comma + 1, 255);
    const QString text = Memo->Text();
    qsizetype from = 0;
    while ((from = text.indexOf(open, from)) >= 0) {
        int start = int(from) + 1, end = 0;
        const QString expr = zdExtractBracketed(text, open, close, start, end);
        if (end <= start)
            break;
        m_scannedVariables.clear();
        scanExpression(expr, Memo, DataBand);
        from = end;
    }
}

void TzdAggregateList::scanExpression(const QString& Text, TzdCustomMemoView* Memo, TzdBand* DataBand)
{
    TzdVariables* vars = m_report->Variables();
    const QString whole = Text.trimmed();
    if (vars->IndexOf(whole) >= 0) {
        const QString key = whole.toCaseFolded();
        if (!m_scannedVariables.insert(key).second)
            return;
        const plat::Variant v = vars->GetItem(vars->IndexOf(whole))->Value();
        scanExpression(v.isNull() ? QString() : plat::VarToStr(v), Memo, DataBand);
        return;
    }
    if (isFieldReference(whole))
        return;
    qsizetype i = 0;
    while (i < Text.size()) {
        const QChar c = Text[i];
        if (c.isDigit() || isSeparator(c)) {
            ++i;
        } else if (c == u'\'' || c == u'"') {
            const qsizetype j = Text.indexOf(c, i + 1);
            i = j < 0 ? Text.size() : j + 1;
        } else if (c == u'(') {
            const qsizetype j = matchingClose(Text, i, u'(', u')');
            scanExpression(Text.mid(i + 1, j - i - 1), Memo, DataBand);
            i = j + 1;
        } else if (c == u'<') {
            const qsizetype j = matchingClose(Text, i, u'<', u'>');
            scanExpression(Text.mid(i + 1, j - i - 1), Memo, DataBand);
            i = j + 1;
        } else {
            qsizetype j = i;
            while (j < Text.size() && !isSeparator(Text[j]) && Text[j] != u'(')
                ++j;
            const QString word = Text.mid(i, j - i);
            if (j < Text.size() && Text[j] == u'(' && isAggregateName(word)) {
                const qsizetype k = matchingClose(Text, j, u'(', u')');
                const QStringList args = splitArguments(Text.mid(j + 1, k - j - 1));
                createItem(word, args.mid(0, 3), Text.mid(i, k - i + 1).trimmed(), Memo, DataBand);
                i = k + 1;
                continue;
            }
            const int vi = vars->IndexOf(word);
            if (vi >= 0 && m_scannedVariables.insert(word.toCaseFolded()).second) {
                const plat::Variant v = vars->GetItem(vi)->Value();
                scanExpression(v.isNull() ? QString() : plat::VarToStr(v), Memo, DataBand);
            }
            i = j;
        }
    }
}

void TzdAggregateList::createItem(const QString& Name, const QStringList& Args, const QString& CallText,
                                  TzdCustomMemoView* Memo, TzdBand* DataBand)
{
    auto item = std::make_unique<TzdAggregateItem>();
    item->Function = functionCode(Name);
    QString bandName, flags;
    if (item->Function == 4) {
        bandName = Args.value(0);
        flags = Args.value(1);
    } else {
        item->Expression = Args.value(0);
        bandName = Args.value(1);
        flags = Args.value(2);
    }
    item->DataBand = DataBand;
    if (!bandName.isEmpty())
        if (auto* b = dynamic_cast<TzdBand*>(m_report->FindObject(bandName)))
            item->DataBand = b;
    int f = 0;
    if (!flags.isEmpty())
        f = plat::StrToInt(flags);
    item->CountInvisible = (f & 1) != 0;
    item->RunningTotal = (f & 2) != 0;
    auto* display = dynamic_cast<TzdBand*>(Memo->Parent());
    if (display && display->Vertical()) {
        auto* original = dynamic_cast<TzdBand*>(Memo->SourceBand);
        if (original && (dynamic_cast<TzdReportSummary*>(original) || dynamic_cast<TzdPageFooter*>(original)
                         || dynamic_cast<TzdFooter*>(original) || dynamic_cast<TzdGroupFooter*>(original)))
            display = original;
    }
    item->DisplayBand = display;
    item->InPageFooter = dynamic_cast<TzdPageFooter*>(display) != nullptr;
    item->CallText = CallText;
    item->HolderMemoName = Memo->Name();
    item->Restart();
    m_items.push_back(std::move(item));
}

void TzdAggregateList::addValue(TzdAggregateItem& Item)
{
    if (!Item.DataBand->Visible() && !Item.CountInvisible)
        return;
    m_report->EvaluatedObjectName = Item.HolderMemoName;
    plat::Variant v = plat::Null();
    if (Item.Function != 4) {
        v = m_report->Calc(Item.Expression);
        if (v.type() == plat::varBoolean && v.toBoolean())
            v = plat::Variant(1);
    }
    const bool counts = !(Item.Function == 1 && v.isNull());
    if (Item.VColumnIndex >= 1) {
        if (Item.VColumnIndex >= kColumnSlots)
            throw plat::Exception(QStringLiteral("Vertical column %1 is out of range").arg(Item.VColumnIndex));
        if (Item.ColumnValues.empty()) {
            Item.ColumnValues.assign(kColumnSlots, plat::Null());
            Item.ColumnCounts.assign(kColumnSlots, 0);
        }
        if (counts)
            ++Item.ColumnCounts[size_t(Item.VColumnIndex)];
        zd::aggregateCombine(Item.Function, Item.ColumnValues[size_t(Item.VColumnIndex)], v);
    } else if (Item.KeepPending) {
        if (counts)
            ++Item.TempCount;
        zd::aggregateCombine(Item.Function, Item.TempValue, v);
    } else {
        Item.PriorCount = Item.Count;
        Item.PriorValue = Item.Value;
        if (counts)
            ++Item.Count;
        zd::aggregateCombine(Item.Function, Item.Value, v);
    }
}

void TzdAggregateList::AddValues(TzdBand* DataBand, int VColumn)
{
    for (auto& item : m_items)
        if (item->DataBand == DataBand) {
            item->VColumnIndex = VColumn;
            addValue(*item);
        }
}

void TzdAggregateList::TakeBackLast(TzdBand* DataBand)
{
    for (auto& item : m_items)
        if (item->DataBand == DataBand) {
            item->Count = item->PriorCount;
            item->Value = item->PriorValue;
        }
}

void TzdAggregateList::RestartFor(TzdBand* DisplayBand)
{
    for (auto& item : m_items)
        if (item->DisplayBand == DisplayBand)
            item->Restart();
}

void TzdAggregateList::RestartAll()
{
    for (auto& item : m_items)
        item->Restart(true);
}

void TzdAggregateList::KeepOpen()
{
    for (auto& item : m_items)
        if (item->InPageFooter && !item->KeepPending) {
            item->KeepPending = true;
            item->TempCount = 0;
            item->TempValue = plat::Null();
        }
}

void TzdAggregateList::KeepClose()
{
    for (auto& item : m_items)
        if (item->InPageFooter && item->KeepPending) {
            item->KeepPending = false;
            item->Count += item->TempCount;
            zd::aggregateCombine(item->Function, item->Value, item->TempValue, true);
        }
}

plat::Variant TzdAggregateList::Evaluate(const QString& Name, const QString& Expression, TzdBand* Band, int Flags)
{
    const int code = functionCode(Name);
    const QString expr = Expression.trimmed();
    for (auto& item : m_items) {
        if (item->DisplayBand != m_engine->LastBand || item->Function != code)
            continue;
        if (item->Expression.compare(expr, Qt::CaseInsensitive) != 0)
            continue;
        if (Band && Band != item->DataBand)
            continue;
        if (item->CountInvisible != ((Flags & 1) != 0) || item->RunningTotal != ((Flags & 2) != 0))
            continue;
        item->VColumnIndex = m_engine->CurVColumn;
        return item->Result();
    }
    return plat::Null();
}
