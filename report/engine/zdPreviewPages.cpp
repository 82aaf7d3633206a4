#include "zdPreviewPages.h"

#include "Canvas.h"
#include "Exceptions.h"
#include "SysUtils.h"
#include "Files.h"
#include "Graphics.h"
#include "Streams.h"
#include "zdClass_band.h"
#include "zdClass_memo.h"
#include "zdClass_options.h"
#include "zdClass_page.h"
#include "zdClass_picture.h"
#include "TypeInfo.h"
#include "zdClass_report.h"
#include "zdClass_view.h"
#include "zdPictureCache.h"
#include "zdXML.h"
#include "zdXMLSerializer.h"
#include "zdRes.h"
#include "zdZLib.h"

#include <QFile>
#include <QSaveFile>

#include <cmath>

namespace {

// UTF-8 text trimmed as its QString would be: ASCII blanks are cut in place;
// text that starts or ends in another character goes the QString way,
// which also knows the other Unicode blanks.
QByteArray trimmedText(QByteArray text)
{
    QByteArray cut = std::move(text).trimmed();
    const auto nonAscii = [](char c) { return static_cast<unsigned char>(c) >= 0x80; };
    if (!cut.isEmpty() && (nonAscii(cut.front()) || nonAscii(cut.back())))
        return QString::fromUtf8(cut).trimmed().toUtf8();
    return cut;
}

QByteArray numText(qint64 n)
{
    return QByteArray::number(n);
}

bool sameName(const QByteArray& a, const char* b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool isWhole(const TzdXMLItem* item)
{
    return sameName(item->Name, "TzdReportPage") || sameName(item->Name, "TzdDMPPage");
}

// A page of that class (a dot-matrix page keeps its kind and font style);
// an ordinary page for anything that is no report page.
std::unique_ptr<TzdReportPage> newPageOf(const plat::TClass* Class)
{
    if (Class && Class->InheritsFrom(TzdReportPage::StaticClass()))
        return std::unique_ptr<TzdReportPage>(static_cast<TzdReportPage*>(Class->CreateComponent(nullptr)));
    return std::make_unique<TzdReportPage>(nullptr);
}

// The source page index of a "page"N item; -1 when the name has none.
int sourceIndexOf(const QByteArray& name)
{
    if (name.size() <= 4 || !name.left(4).toLower().startsWith("page"))
        return -1;
    bool ok = false;
    const int n = name.mid(4).toInt(&ok);
    return ok ? n : -1;
}

QString prefixOf(TzdComponent* Obj)
{
    if (Obj->InheritsFrom(u"TzdBand"))
        return QStringLiteral("b");
    QString name = Obj->ClassName();
    if (name.startsWith(u"Tzd"))
        name = name.mid(3);
    return name.isEmpty() ? QStringLiteral("o") : name.left(1).toLower();
}

} // namespace

long double zd::readFloat(const QByteArray& Text, long double Default)
{
    if (Text.isEmpty())
        return Default;
    QByteArray t = Text;
    t.replace(',', '.');
    bool ok = false;
    const double v = t.toDouble(&ok);
    return ok ? v : Default;
}

// ---------------------------------------------------------------------------
// Dictionary

void TzdDictionary::Clear()
{
    m_aliases.clear();
    m_nextFree.clear();
}

void TzdDictionary::Add(const QString& Alias, const QString& SourceName, TzdComponent* Object)
{
    m_aliases[Alias.toLower()] = Entry{Alias, SourceName, Object};
}

QString TzdDictionary::AddUnique(const QString& Prefix, const QString& SourceName, TzdComponent* Object)
{
    const QString alias = CreateUniqueName(Prefix);
    Add(alias, SourceName, Object);
    return alias;
}

QString TzdDictionary::CreateUniqueName(const QString& Prefix) const
{
    int n = 10000;
    while (n > 1 && !Contains(Prefix + QString::number(n)))
        n /= 2;
    // Names are only ever added, so the first free number from a given
    // start only grows: resume where the last search from there stopped.
    const QString key = Prefix.toLower() + u'|' + QString::number(n);
    auto it = m_nextFree.find(key);
    int k = it != m_nextFree.end() ? std::max(it->second, n) : n;
    while (Contains(Prefix + QString::number(k)))
        ++k;
    m_nextFree[key] = k;
    return Prefix + QString::number(k);
}

TzdComponent* TzdDictionary::GetObject(const QString& Alias) const
{
    auto it = m_aliases.find(Alias.toLower());
    return it == m_aliases.end() ? nullptr : it->second.Object;
}

QString TzdDictionary::GetSourceName(const QString& Alias) const
{
    auto it = m_aliases.find(Alias.toLower());
    return it == m_aliases.end() ? QString() : it->second.SourceName;
}

bool TzdDictionary::Contains(const QString& Alias) const
{
    return m_aliases.count(Alias.toLower()) != 0;
}

std::vector<std::pair<QString, QString>> TzdDictionary::Entries() const
{
    std::vector<std::pair<QString, QString>> out;
    out.reserve(m_aliases.size());
    for (const auto& [key, e] : m_aliases)
        out.emplace_back(e.Alias, e.SourceName);
    return out;
}

void TzdDictionary::ForgetObject(TzdComponent* Object)
{
    for (auto& [key, e] : m_aliases)
        if (e.Object == Object)
            e.Object = nullptr;
}

// ---------------------------------------------------------------------------
// Outline

PLAT_DEFINE_CLASS(TzdOutline, c) {}

TzdOutline::TzdOutline(TzdCustomPreviewPages* PreviewPages) : TzdCustomOutline(PreviewPages) {}

TzdXMLItem* TzdOutline::root()
{
    auto* pages = static_cast<TzdPreviewPages*>(ActivePreviewPages);
    return pages->XMLDocument()->Root()->FindOrAdd("outline");
}

int TzdOutline::ItemCount()
{
    return CurItem ? CurItem->Count() : 0;
}

void TzdOutline::AddItem(const QString& Text, int Top)
{
    if (!CurItem)
        CurItem = root();
    TzdXMLItem* item = CurItem->Add();
    item->Name = "item";
    item->Text = "text=\"" + zdXMLEscape(Text.toUtf8()) + "\" page=\"" + numText(ActivePreviewPages->CurPageIndex)
                 + "\" top=\"" + numText(Top) + "\"";
    CurItem = item;
}

void TzdOutline::LevelInto(int Index)
{
    if (!CurItem)
        CurItem = root();
    CurItem = CurItem->GetItem(Index);
}

void TzdOutline::LevelRoot()
{
    CurItem = root();
}

void TzdOutline::LevelUp()
{
    TzdXMLItem* r = root();
    if (CurItem && CurItem != r && CurItem->Parent())
        CurItem = CurItem->Parent();
}

void TzdOutline::ReadItem(int Index, QString& Text, int& Page, int& Top)
{
    if (!CurItem)
        CurItem = root();
    TzdXMLItem* item = CurItem->GetItem(Index);
    Text = QString::fromUtf8(zdXMLUnescape(item->GetAttr("text")));
    if (item->AttrExists("page"))
        Page = item->GetAttr("page").toInt();
    if (item->AttrExists("top"))
        Top = item->GetAttr("top").toInt();
}

namespace {
void shiftItem(TzdXMLItem* item, int d, int pageDelta)
{
    item->SetAttr("page", numText(item->GetAttr("page").toInt() + pageDelta));
    item->SetAttr("top", numText(item->GetAttr("top").toInt() + d));
    for (int i = 0; i < item->Count(); ++i)
        shiftItem(item->GetItem(i), d, pageDelta);
}
} // namespace

void TzdOutline::ShiftFollowingItems(TzdXMLItem* From, int NewTop)
{
    ShiftItemsAfter(From, NewTop, 1);
}

void TzdOutline::ShiftItemsAfter(TzdXMLItem* From, int NewTop, int PageDelta)
{
    if (!From || !From->Parent())
        return;
    TzdXMLItem* parent = From->Parent();
    const int i = parent->IndexOf(From);
    if (i < 0 || i + 1 >= parent->Count())
        return;
    // Every item after From moves with the block.
    const int d = NewTop - parent->GetItem(i + 1)->GetAttr("top").toInt();
    for (int k = i + 1; k < parent->Count(); ++k)
        shiftItem(parent->GetItem(k), d, PageDelta);
}

TzdXMLItem* TzdOutline::LastItem()
{
    if (!CurItem || CurItem->Count() == 0)
        return nullptr;
    return CurItem->GetItem(CurItem->Count() - 1);
}

// ---------------------------------------------------------------------------
// The store

TzdPreviewPages::TzdPreviewPages(zd::ReportDocument* AReport)
    : TzdCustomPreviewPages(AReport, new TzdOutline(this)),
      m_doc(std::make_unique<TzdXMLDocument>()),
      m_pictures(std::make_unique<TzdPictureCache>())
{
    m_doc->Root()->Name = "preparedreport";
    settingsFromReport();
}

TzdPreviewPages::~TzdPreviewPages()
{
    clearPageCache();
    freeSourcePages();
}

void TzdPreviewPages::settingsFromReport()
{
    TzdReport* r = Report ? Report->Report() : nullptr;
    if (!r)
        return;
    UseFileCache = r->EngineOptions()->UseFileCache;
    MaxMemSize = r->EngineOptions()->MaxMemSize;
    TempDir = r->EngineOptions()->TempDir;
    PagesInCache = r->PreviewOptions()->PagesInCache;
    PictureCacheInFile = r->PreviewOptions()->PictureCacheInFile;
    Compressed = r->ReportOptions()->Compressed;
    ReportName = r->ReportOptions()->Name;
}

TzdXMLItem* TzdPreviewPages::rootChild(const QByteArray& Name)
{
    return m_doc->Root()->FindOrAdd(Name);
}

TzdXMLItem* TzdPreviewPages::pageItem(int Index)
{
    if (!m_pageList)
        m_pageList = rootChild("previewpages");
    return m_pageList->GetItem(Index);
}

void TzdPreviewPages::freeSourcePages()
{
    // The template objects forget their copies before the copies go.
    for (auto& page : m_sourcePages)
        for (TzdComponent* c : page->AllObjects())
            if (c->LinkedObject) {
                if (c->LinkedObject->LinkedObject == c)
                    c->LinkedObject->LinkedObject = nullptr;
                // The template may go before its copy (a report reloads it
                // after a run): keep no pointer to it.
                c->LinkedObject = nullptr;
            }
    m_baseText.clear();
    m_templates.clear();
    m_sourcePages.clear();
}

void TzdPreviewPages::Clear()
{
    clearPageCache();
    freeSourcePages();
    m_doc->Clear();
    m_doc->Root()->Name = "preparedreport";
    m_dictionary.Clear();
    m_pictures->Clear();
    Outline()->CurItem = nullptr;
    CurPageIndex = -1;
    m_pendingXMLSize = 0;
    m_appendedContentBottom = 0;
    m_pageList = nullptr;
    m_passStartPage = -1;
    m_logicalCounter = 0;
}

void TzdPreviewPages::Initialize()
{
    settingsFromReport();
    m_pictures->SetUseFileCache(PictureCacheInFile);
    m_pictures->SetTempDir(TempDir);
    m_doc->TempDir = TempDir;
    ProgressStarted(ptRunning);
}

void TzdPreviewPages::FinishPreparing()
{
    m_appendedContentBottom = 0;
    clearPageCache();
    for (size_t i = 0; i < m_templates.size(); ++i) {
        for (TzdComponent* c : m_sourcePages[i]->AllObjects())
            if (c->LinkedObject) {
                if (c->LinkedObject->LinkedObject == c)
                    c->LinkedObject->LinkedObject = nullptr;
                // The template may go before its copy (a report reloads it
                // after a run): keep no pointer to it.
                c->LinkedObject = nullptr;
            }
        m_templates[i] = nullptr;
    }
    ProgressFinished(ptRunning);
}

int TzdPreviewPages::GetPageCount()
{
    if (!m_pageList) {
        const int i = m_doc->Root()->Find("previewpages");
        if (i < 0)
            return 0;
        m_pageList = m_doc->Root()->GetItem(i);
    }
    return m_pageList->Count();
}

// --- source pages

void TzdPreviewPages::registerCopy(TzdComponent* Original, TzdComponent* Copy, int SourceIndex)
{
    Original->LinkedObject = Copy;
    Copy->LinkedObject = Original;
    const QString alias =
        m_dictionary.AddUnique(prefixOf(Copy), QStringLiteral("Page%1.%2").arg(SourceIndex).arg(Copy->Name()), Copy);
    TzdXMLSerializer serializer(nullptr);
    m_baseText[Copy] = Copy->ObjectStyle().contains(osFullAttributes) ? Copy->ClassName().toUtf8()
                                                                        : serializer.GetObjectText(Copy);
    Original->DictionaryAlias = alias;
    Copy->DictionaryAlias = alias;
}

namespace {
TzdComponent* copyOf(TzdComponent* Original, TzdComponent* Owner)
{
    auto* copy = static_cast<TzdComponent*>(Original->ClassType()->CreateComponent(Owner));
    if (auto* pic = dynamic_cast<TzdPictureView*>(Original)) {
        // The picture itself is not copied: prepared copies carry their own.
        auto* target = static_cast<TzdPictureView*>(copy);
        plat::TPicture keep;
        keep.Assign(pic->Picture());
        pic->Picture()->Clear();
        try {
            target->Assign(Original);
        } catch (...) {
            pic->Picture()->Assign(&keep);
            throw;
        }
        pic->Picture()->Assign(&keep);
        pic->PictureChanged = true;
    } else {
        copy->Assign(Original);
    }
    copy->SetName(Original->Name());
    return copy;
}
} // namespace

TzdReportPage* TzdPreviewPages::SourcePage(int Index) const
{
    if (Index < 0 || Index >= int(m_sourcePages.size()))
        throw plat::EListError(plat::Format(QStringLiteral("List index out of bounds (%d)"), {Index}));
    return m_sourcePages[size_t(Index)].get();
}

void TzdPreviewPages::RegisterSourcePage(TzdReportPage* Page)
{
    auto* page = static_cast<TzdReportPage*>(copyOf(Page, nullptr));
    const int index = int(m_sourcePages.size());
    m_sourcePages.emplace_back(page);
    m_templates.push_back(Page);
    std::vector<std::pair<TzdComponent*, TzdComponent*>> copied;
    std::function<void(TzdComponent*, TzdComponent*)> walk = [&](TzdComponent* from, TzdComponent* to) {
        for (TzdComponent* child : from->Children()) {
            if (!child->ObjectStyle().contains(osPreviewCopy)) {
                child->OmitFromPreview();
                continue;
            }
            TzdComponent* c = copyOf(child, page);
            c->SetParent(to);
            copied.emplace_back(child, c);
            walk(child, c);
        }
    };
    walk(Page, page);
    for (auto [original, copy] : copied)
        registerCopy(original, copy, index);
}

void TzdPreviewPages::AddSourceObject(TzdComponent* Obj)
{
    if (m_sourcePages.empty())
        return;
    TzdReportPage* page = m_sourcePages.back().get();
    TzdComponent* copy = copyOf(Obj, page);
    copy->SetParent(page);
    copy->CreateUniqueName();
    registerCopy(Obj, copy, int(m_sourcePages.size()) - 1);
}

// --- pages

void TzdPreviewPages::AddPage(TzdReportPage* Page)
{
    m_pageList = rootChild("previewpages");
    if (UseFileCache && m_pendingXMLSize > qint64(MaxMemSize) * 1048576) {
        for (int i = m_pageList->Count() - 2; i >= 0; --i) {
            TzdXMLItem* item = m_pageList->GetItem(i);
            if (!item->Loaded)
                break;
            if (item->Unloadable)
                m_doc->UnloadItem(item);
        }
        m_pendingXMLSize = 0;
    }
    ++CurPageIndex;
    if (CurPageIndex < m_pageList->Count() && PageAddMode == pamReuse)
        return;
    int source = -1;
    for (size_t i = 0; i < m_templates.size(); ++i)
        if (m_templates[i] == Page)
            source = int(i);
    TzdXMLItem* item = m_pageList->Add();
    item->Name = "page" + numText(source);
    if (m_pageList->Count() > 2)
        item->Unloadable = true;
    ProgressStep(ptRunning, CurPageIndex + 1);
    PageAddMode = pamReuse;
    CurPageIndex = m_pageList->Count() - 1;
    NextLogicalPage();
}

void TzdPreviewPages::writeObject(TzdComponent* Obj, TzdXMLItem* Parent, bool Whole)
{
    if (!Obj->Visible() || !Obj->ObjectStyle().contains(osPreviewCopy))
        return;
    TzdXMLItem* item = Parent->Add();
    TzdComponent* source = Obj->LinkedObject;
    if (source && m_baseText.count(source) == 0)
        source = nullptr;
    QString attributes;
    QByteArray fullText; // a whole object's text, already in UTF-8
    bool full = false;
    if (!source || Whole) {
        item->Name = Obj->ClassName().toUtf8();
        fullText = Obj->DiffFullText(nullptr);
        full = true;
    } else {
        item->Name = Obj->DictionaryAlias.toUtf8();
        if (Engine && Report && Report->DoublePass() && !Engine->FinalPass)
            attributes = Obj->DiffBasic(source);
        else if (source->ObjectStyle().contains(osFullAttributes)) {
            fullText = Obj->DiffFullText(source);
            full = true;
        } else
            attributes = Obj->DiffAttributes(source);
    }
    item->Text = full ? trimmedText(std::move(fullText)) : attributes.trimmed().toUtf8();
    m_pendingXMLSize += item->Name.size() + item->Text.size() + 16 + 64;
    for (TzdComponent* child : Obj->Children())
        writeObject(child, item, Whole);
}

void TzdPreviewPages::AddObject(TzdComponent* Obj)
{
    if (CurPageIndex < 0)
        return;
    TzdXMLItem* page = pageItem(CurPageIndex);
    m_doc->LoadItem(page);
    writeObject(Obj, page, isWhole(page));
}

void TzdPreviewPages::CachePicture(TzdPictureView* Picture)
{
    m_pictures->AddPicture(Picture);
}

int TzdPreviewPages::CurrentPosition()
{
    if (CurPageIndex < 0)
        return 0;
    return pageItem(CurPageIndex)->Count();
}

int TzdPreviewPages::CutObjectsFrom(int Position)
{
    TzdXMLItem* page = pageItem(CurPageIndex);
    TzdXMLItem* cut = rootChild("cutted");
    while (page->Count() > Position) {
        TzdXMLItem* item = page->GetItem(Position);
        cut->AddItem(item);
    }
    return page->Count();
}

void TzdPreviewPages::PasteCutObjects(long double X, long double Y)
{
    const int i = m_doc->Root()->Find("cutted");
    if (i < 0)
        return;
    TzdXMLItem* cut = m_doc->Root()->GetItem(i);
    if (cut->Count() > 0) {
        TzdXMLItem* first = cut->GetItem(0);
        const long double l0 = zd::readFloat(first->GetAttr("l"));
        const long double t0 = zd::readFloat(first->GetAttr("t"));
        TzdXMLItem* page = pageItem(CurPageIndex);
        while (cut->Count() > 0) {
            TzdXMLItem* item = cut->GetItem(0);
            // Written with '.', whatever the user's locale: files move between machines.
            item->SetAttr("l", zd::floatText(zd::readFloat(item->GetAttr("l")) + (X - l0)).toUtf8());
            item->SetAttr("t", zd::floatText(zd::readFloat(item->GetAttr("t")) + (Y - t0)).toUtf8());
            page->AddItem(item);
        }
    }
    delete cut;
}

TzdComponent* TzdPreviewPages::sourceOf(TzdXMLItem* Item)
{
    return m_dictionary.GetObject(QString::fromUtf8(Item->Name));
}

bool TzdPreviewPages::BandOnCurrentPage(TzdBand* Band)
{
    if (CurPageIndex < 0 || !Band)
        return false;
    TzdComponent* copy = Band->LinkedObject;
    TzdXMLItem* page = pageItem(CurPageIndex);
    for (int i = 0; i < page->Count(); ++i) {
        TzdComponent* source = sourceOf(page->GetItem(i));
        if (!source)
            continue;
        if (source == copy)
            return true;
        if (Band->InheritsFrom(u"TzdPageFooter") && source->InheritsFrom(u"TzdPageFooter"))
            return true;
        if (Band->InheritsFrom(u"TzdColumnFooter") && source->InheritsFrom(u"TzdColumnFooter"))
            return true;
    }
    return false;
}

long double TzdPreviewPages::ContentBottom(long double X)
{
    if (CurPageIndex < 0)
        return 0;
    TzdXMLItem* page = pageItem(CurPageIndex);
    long double bottom = 0;
    for (int i = 0; i < page->Count(); ++i) {
        TzdXMLItem* item = page->GetItem(i);
        TzdComponent* source = sourceOf(item);
        if (!source || !source->InheritsFrom(u"TzdBand") || source->InheritsFrom(u"TzdPageFooter")
            || source->InheritsFrom(u"TzdOverlay"))
            continue;
        if (X != 0) {
            const long double l = zd::readFloat(item->GetAttr("l"), source->Left());
            if (std::fabs(double(l - X)) > 0.001 && !source->InheritsFrom(u"TzdPageHeader")
                && !source->InheritsFrom(u"TzdReportTitle"))
                continue;
        }
        const long double b =
            zd::readFloat(item->GetAttr("t"), source->Top()) + zd::readFloat(item->GetAttr("h"), source->Height());
        bottom = std::max(bottom, b);
    }
    if (bottom == 0 && m_appendedContentBottom != 0)
        return m_appendedContentBottom;
    return bottom;
}

// --- passes and logical page numbers

void TzdPreviewPages::RememberPassStart()
{
    m_passStartPage = GetPageCount() - 1;
    if (m_passStartPage >= 0) {
        m_passStartObjects = pageItem(m_passStartPage)->Count();
        m_passStartOutline = rootChild("outline")->Count();
    }
    CloseLogicalPageGroup();
}

void TzdPreviewPages::DiscardPassPages()
{
    clearPageCache();
    TzdXMLItem* root = m_doc->Root();
    if (m_passStartPage == -1) {
        for (int i = 0; i < root->Count(); ++i) {
            TzdXMLItem* c = root->GetItem(i);
            if (!sameName(c->Name, "anchors") && !sameName(c->Name, "logicalpagenumbers"))
                c->Clear();
        }
    } else {
        TzdXMLItem* page = pageItem(m_passStartPage);
        m_doc->LoadItem(page);
        while (page->Count() > m_passStartObjects)
            delete page->GetItem(page->Count() - 1);
        while (m_pageList->Count() > m_passStartPage + 1)
            delete m_pageList->GetItem(m_pageList->Count() - 1);
        TzdXMLItem* outline = rootChild("outline");
        while (outline->Count() > m_passStartOutline)
            delete outline->GetItem(outline->Count() - 1);
    }
    Outline()->CurItem = nullptr;
    CloseLogicalPageGroup();
    CurPageIndex = m_passStartPage;
    m_pendingXMLSize = 0;
}

void TzdPreviewPages::NextLogicalPage()
{
    if (Engine && Report && Report->DoublePass() && Engine->FinalPass)
        return;
    ++m_logicalCounter;
    TzdXMLItem* item = rootChild("logicalpagenumbers")->Add();
    item->Name = "page";
    item->Text = "n=\"" + numText(m_logicalCounter) + "\"";
}

void TzdPreviewPages::CloseLogicalPageGroup()
{
    if (Engine && Report && Report->DoublePass() && Engine->FinalPass)
        return;
    TzdXMLItem* numbers = rootChild("logicalpagenumbers");
    for (int i = CurPageIndex; i > m_passStartPage; --i) {
        if (i >= numbers->Count())
            continue;
        TzdXMLItem* item = numbers->GetItem(i);
        item->SetAttr("t", numText(m_logicalCounter));
        if (item->GetAttr("n") == "1")
            break;
    }
    m_logicalCounter = 0;
}

int TzdPreviewPages::LogicalPageNumber()
{
    TzdXMLItem* numbers = rootChild("logicalpagenumbers");
    if (CurPageIndex >= 0 && CurPageIndex < numbers->Count())
        return numbers->GetItem(CurPageIndex)->GetAttr("n").toInt();
    return CurPageIndex - RunFirstPageIndex + 1;
}

int TzdPreviewPages::LogicalPageTotal()
{
    TzdXMLItem* numbers = rootChild("logicalpagenumbers");
    if (CurPageIndex >= 0 && CurPageIndex < numbers->Count())
        return numbers->GetItem(CurPageIndex)->GetAttr("t").toInt();
    return (Engine ? Engine->TotalPages : 0) - RunFirstPageIndex;
}

// --- anchors


void TzdPreviewPages::AddAnchor(const QString& Text, long double Top)
{
    TzdXMLItem* item = rootChild("anchors")->Add();
    item->Name = "item";
    item->Text = "text=\"" + zdXMLEscape(Text.toUtf8()) + "\" page=\"" + numText(CurPageIndex) + "\" top=\""
                 + numText(std::llround(double(Top))) + "\"";
}

int TzdPreviewPages::GetAnchorPage(const QString& Text)
{
    TzdXMLItem* anchors = rootChild("anchors");
    for (int i = anchors->Count() - 1; i >= 0; --i) {
        TzdXMLItem* item = anchors->GetItem(i);
        if (QString::fromUtf8(zdXMLUnescape(item->GetAttr("text"))).compare(Text, Qt::CaseInsensitive) == 0)
            return item->GetAttr("page").toInt() + 1;
    }
    return 1;
}

int TzdPreviewPages::LastAnchorIndex()
{
    return rootChild("anchors")->Count() - 1;
}

void TzdPreviewPages::MoveAnchorsDown(int FromIndex, long double NewTop)
{
    MoveAnchorsDown(FromIndex, NewTop, 1);
}

void TzdPreviewPages::MoveAnchorsDown(int FromIndex, long double NewTop, int PageDelta)
{
    TzdXMLItem* anchors = rootChild("anchors");
    if (FromIndex + 1 < 0 || FromIndex + 1 >= anchors->Count())
        return;
    const long double d = NewTop - anchors->GetItem(FromIndex + 1)->GetAttr("top").toInt();
    for (int i = FromIndex + 1; i < anchors->Count(); ++i) {
        TzdXMLItem* item = anchors->GetItem(i);
        item->SetAttr("page", numText(item->GetAttr("page").toInt() + PageDelta));
        item->SetAttr("top", numText(std::llround(double(item->GetAttr("top").toInt() + d))));
    }
}

// --- column state and endless pages

void TzdPreviewPages::ReadColumnState(int& Column, long double& X)
{
    if (CurPageIndex < 0 || CurPageIndex >= GetPageCount())
        return;
    TzdXMLItem* page = pageItem(CurPageIndex);
    if (page->AttrExists("c"))
        Column = page->GetAttr("c").toInt();
    if (page->AttrExists("cp"))
        X = zd::readFloat(page->GetAttr("cp"));
}

void TzdPreviewPages::WriteColumnState(int Column, long double X, bool Force)
{
    if (CurPageIndex < 0 || CurPageIndex >= GetPageCount())
        return;
    TzdXMLItem* page = pageItem(CurPageIndex);
    if (Column > 0 || Force)
        page->SetAttr("c", numText(Column));
    if (X != 0 || Force)
        page->SetAttr("cp", zd::floatText(X).toUtf8());
}

void TzdPreviewPages::SetEndlessPageSize(TzdReportPage* Template, long double Height, long double Width)
{
    for (size_t i = 0; i < m_templates.size(); ++i) {
        if (m_templates[i] != Template)
            continue;
        TzdReportPage* source = m_sourcePages[i].get();
        source->SetPaperFormat(256, Width / zd01cm, Height / zd01cm);
        source->SizeToPaper();
        clearPageCache();
    }
}

// --- rebuilding

void TzdPreviewPages::dropCacheEntry(size_t i)
{
    CacheEntry& e = m_cache[i];
    if (HoverObject && e.Page && HoverObject->Owner() == e.Page.get())
        HoverObject = nullptr; // its page is freed now
    if (UseFileCache && m_pageList && e.Index < m_pageList->Count()) {
        TzdXMLItem* item = m_pageList->GetItem(e.Index);
        if (item->Unloadable && item->Loaded)
            m_doc->UnloadItem(item);
    }
    m_cache.erase(m_cache.begin() + std::ptrdiff_t(i));
}

void TzdPreviewPages::clearPageCache()
{
    while (!m_cache.empty())
        dropCacheEntry(m_cache.size() - 1);
}

void TzdPreviewPages::buildObjects(TzdComponent* Parent, TzdXMLItem* Item, TzdComponent* Owner)
{
    for (int i = 0; i < Item->Count(); ++i) {
        TzdXMLItem* child = Item->GetItem(i);
        const QString name = QString::fromUtf8(child->Name);
        TzdComponent* source = m_dictionary.GetObject(name);
        QByteArray text;
        if (source && m_baseText.count(source))
            text = m_baseText[source] + ' ' + child->Text;
        else
            text = child->Name + ' ' + child->Text;
        TzdXMLSerializer serializer(nullptr);
        TzdComponent* obj = nullptr;
        try {
            obj = serializer.ReadObjectFromText(Owner, text, true);
        } catch (const plat::Exception&) {
            // An entry that cannot be rebuilt costs only its own object.
            continue;
        }
        if (!obj)
            continue;
        if (source)
            obj->SetName(source->Name());
        if (auto* pic = dynamic_cast<TzdPictureView*>(obj))
            if (!pic->Picture() || pic->Picture()->Empty())
                m_pictures->GetPicture(pic);
        if (auto* memo = dynamic_cast<TzdMemoView*>(obj))
            memo->ShowActiveHighlight();
        obj->SetParent(Parent);
        buildObjects(obj, child, Owner);
    }
}

TzdReportPage* TzdPreviewPages::GetPage(int Index)
{
    const int count = GetPageCount();
    if (count == 0)
        return nullptr;
    const bool running = Engine && Engine->BuildRunning;
    if (!running)
        for (size_t i = 0; i < m_cache.size(); ++i)
            if (m_cache[i].Index == Index) {
                std::swap(m_cache[0], m_cache[i]);
                return m_cache[0].Page.get();
            }
    TzdXMLItem* item = pageItem(Index); // raises outside the pages
    m_doc->LoadItem(item);
    std::unique_ptr<TzdReportPage> page;
    if (isWhole(item)) {
        page = newPageOf(plat::GetClass(QString::fromUtf8(item->Name)));
        TzdXMLSerializer serializer(nullptr);
        serializer.Owner = page.get();
        serializer.ReadRootComponent(page.get(), item);
    } else {
        const int n = sourceIndexOf(item->Name);
        const bool known = n >= 0 && n < int(m_sourcePages.size());
        page = newPageOf(known ? m_sourcePages[size_t(n)]->ClassType() : nullptr);
        if (known) {
            TzdReportPage* source = m_sourcePages[size_t(n)].get();
            page->Assign(source);
            page->SetName(source->Name());
        }
        buildObjects(page.get(), item, page.get());
    }
    page->AlignChildren();
    TzdReportPage* result = page.get();
    m_cache.insert(m_cache.begin(), CacheEntry{Index, std::move(page)});
    if (m_cache.size() > 1 && int(m_cache.size()) > PagesInCache)
        dropCacheEntry(m_cache.size() - 1);
    return result;
}

QSize TzdPreviewPages::GetPageSize(int Index)
{
    if (Index < 0 || Index >= GetPageCount())
        return {0, 0};
    TzdXMLItem* item = pageItem(Index);
    const TzdComponent* page = nullptr;
    if (isWhole(item)) {
        page = GetPage(Index);
    } else {
        const int n = sourceIndexOf(item->Name);
        if (n >= 0 && n < int(m_sourcePages.size()))
            page = m_sourcePages[size_t(n)].get();
    }
    if (!page)
        return {0, 0};
    return {int(std::lround(double(page->Width()))), int(std::lround(double(page->Height())))};
}

// --- editing

void TzdPreviewPages::InsertEmptyPage(int Index)
{
    if (GetPageCount() == 0)
        return;
    auto* item = new TzdXMLItem;
    item->Name = pageItem(Index)->Name;
    m_pageList->InsertItem(Index, item);
    clearPageCache();
}

void TzdPreviewPages::DeletePage(int Index)
{
    if (GetPageCount() <= 1)
        return;
    clearPageCache();
    delete pageItem(Index);
}

void TzdPreviewPages::ReplacePage(int Index, TzdReportPage* Page)
{
    TzdXMLItem* item = pageItem(Index);
    // Page is often a page of the cache (a page edited in the preview):
    // write it out before the cache frees it.
    TzdXMLItem written;
    TzdXMLSerializer serializer(nullptr);
    serializer.WriteRootComponent(Page, true, &written);
    clearPageCache();
    m_doc->LoadItem(item);
    item->Clear();
    item->Name = written.Name;
    item->Text = written.Text;
    while (written.Count() > 0)
        item->AddItem(written.GetItem(0));
    item->Unloadable = false;
}

// --- appending

namespace {
void copyOutline(TzdCustomOutline* from, TzdCustomOutline* to, TzdCustomPreviewPages* target, int firstPage)
{
    for (int i = 0; i < from->ItemCount(); ++i) {
        QString text;
        int page = 0, top = 0;
        from->ReadItem(i, text, page, top);
        target->CurPageIndex = firstPage + page;
        to->AddItem(text, top);
        from->LevelInto(i);
        copyOutline(from, to, target, firstPage);
        from->LevelUp();
        to->LevelUp();
    }
}
} // namespace

void TzdPreviewPages::AppendPagesOf(zd::ReportDocument* Source)
{
    auto* other = Source ? dynamic_cast<TzdPreviewPages*>(Source->ActivePreviewPages()) : nullptr;
    if (!other || other == this)
        return;
    const int first = GetPageCount();
    m_pageList = rootChild("previewpages");
    const int count = other->GetPageCount();
    for (int i = 0; i < count; ++i) {
        TzdReportPage* page = other->GetPage(i);
        TzdXMLItem* item = m_pageList->Add();
        TzdXMLSerializer serializer(nullptr);
        serializer.WriteRootComponent(page, true, item);
        item->Unloadable = false;
    }
    TzdXMLItem* from = other->rootChild("anchors");
    TzdXMLItem* anchors = rootChild("anchors");
    for (int i = 0; i < from->Count(); ++i) {
        TzdXMLItem* a = anchors->Add();
        a->Name = from->GetItem(i)->Name;
        a->Text = from->GetItem(i)->Text;
        a->SetAttr("page", numText(from->GetItem(i)->GetAttr("page").toInt() + first));
    }
    TzdCustomOutline* theirs = other->Outline();
    TzdCustomOutline* ours = Outline();
    theirs->LevelRoot();
    ours->LevelRoot();
    const int keptPage = CurPageIndex;
    copyOutline(theirs, ours, this, first);
    // The engine goes on below their content on the last page, not on a
    // page in between that it would take for its own.
    CurPageIndex = count > 0 ? GetPageCount() - 1 : keptPage;
    if (count > 0) {
        other->CurPageIndex = count - 1;
        m_appendedContentBottom = other->ContentBottom(0);
        other->CurPageIndex = -1;
    }
    clearPageCache();
}

// --- drawing

bool TzdPreviewPages::DrawPage(int Index, plat::TCanvas* Canvas, long double ScaleX, long double ScaleY,
                               long double OffsetX, long double OffsetY)
{
    TzdReportPage* page = GetPage(Index);
    if (!page)
        return false;
    const long double leftMargin = page->LeftMargin;
    const long double rightMargin = page->RightMargin;
    if (page->MirrorMargins && Index % 2 == 1)
        std::swap(page->LeftMargin, page->RightMargin);
    const bool printing = Canvas->IsPrinterCanvas();
    if (!printing) {
        Canvas->SaveClip();
        Canvas->IntersectClipRect(plat::TRect(
            int(std::lround(double(OffsetX))), int(std::lround(double(OffsetY))),
            int(std::lround(double(page->PaperWidth() * zd01cm * ScaleX + OffsetX))) - 1,
            int(std::lround(double(page->PaperHeight() * zd01cm * ScaleY + OffsetY))) - 1));
    }
    page->DrawingForPrinter = printing;
    page->PaintBackPicture(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
    OffsetX += page->LeftMargin * zd01cm * ScaleX;
    OffsetY += page->TopMargin * zd01cm * ScaleY;
    const std::vector<TzdComponent*> all = page->AllObjects();
    const plat::TRect clip = Canvas->ClipRect();
    for (TzdComponent* c : all) {
        auto* view = dynamic_cast<TzdView*>(c);
        if (!view)
            continue;
        const long double x = view->GetAbsLeft() * ScaleX + OffsetX, y = view->GetAbsTop() * ScaleY + OffsetY;
        const plat::TRect r(int(x) - 20, int(y) - 20, int(x + view->Width() * ScaleX) + 20,
                            int(y + view->Height() * ScaleY) + 20);
        const bool visible = r.Left < clip.Right && r.Right > clip.Left && r.Top < clip.Bottom && r.Bottom > clip.Top;
        if (!(visible || Canvas->IsMetafileCanvas()))
            continue;
        if (!view->Visibility().contains(printing ? vsPrint : vsPreview))
            continue;
        view->DrawingForPrinter = printing;
        if (auto* memo = dynamic_cast<TzdCustomMemoView*>(view)) {
            memo->PageTotal = GetPageCount();
            memo->CopyNo = PrintCopyNo;
            memo->OutputScale = PrintScale;
        }
        view->Draw(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
        view->DrawingForPrinter = false;
    }
    page->LeftMargin = leftMargin;
    page->RightMargin = rightMargin;
    if (!printing)
        Canvas->RestoreClip();
    return true;
}

// --- files

void TzdPreviewPages::SaveToStream(plat::TStream& Stream)
{
    settingsFromReport();
    std::unique_ptr<TzdGZipCompressor> compressor;
    if (Compressed) {
        compressor = std::make_unique<TzdGZipCompressor>(nullptr);
        compressor->IsTemplate = false;
        compressor->OpenWorkStream(UseFileCache, TempDir);
    }
    rootChild("previewpages");
    TzdXMLItem* report = rootChild("report");
    report->Clear();
    TzdXMLItem* r = report->Add();
    r->Name = "TzdReport";
    TzdReport* rep = Report ? Report->Report() : nullptr;
    const bool dotMatrix = rep && rep->DotMatrixReport;
    const bool outlineVisible = rep && rep->PreviewOptions()->OutlineVisible;
    const int outlineWidth = rep ? rep->PreviewOptions()->OutlineWidth : 120;
    r->Text = "DotMatrixReport=\"" + QByteArray(dotMatrix ? "1" : "0") + "\" PreviewOptions.OutlineVisible=\""
              + QByteArray(outlineVisible ? "1" : "0") + "\" PreviewOptions.OutlineWidth=\"" + numText(outlineWidth)
              + "\" ReportOptions.Name=\"" + zdXMLEscape(ReportName.toUtf8()) + "\"";
    TzdXMLItem* sources = rootChild("sourcepages");
    sources->Clear();
    for (auto& page : m_sourcePages) {
        TzdXMLSerializer serializer(nullptr);
        serializer.WriteRootComponent(page.get(), true, sources->Add());
    }
    TzdXMLItem* dictionary = rootChild("dictionary");
    dictionary->Clear();
    for (const auto& [alias, source] : m_dictionary.Entries()) {
        TzdXMLItem* e = dictionary->Add();
        e->Name = alias.toUtf8();
        e->Text = "name=\"" + source.toUtf8() + "\"";
    }
    m_pictures->SaveToXML(rootChild("picturecache"));
    m_doc->SaveToStream(compressor ? compressor->WorkStream() : Stream);
    if (compressor)
        compressor->Compress(Stream);
}

bool TzdPreviewPages::LoadFromStream(plat::TStream& Stream, bool AllowPartialLoading)
{
    Clear();
    // Partial loading leaves the pages flagged by the writer on the stream
    // until they are needed; a compressed stream, or one that a registered
    // compressor may have to unpack, is read whole.
    if (AllowPartialLoading && !zdCompressorClass) {
        const qint64 start = Stream.Position();
        char magic[2] = {};
        const bool packed = Stream.Read(magic, 2) == 2 && quint8(magic[0]) == 0x1f && quint8(magic[1]) == 0x8b;
        Stream.SetPosition(start);
        if (!packed) {
            auto kept = std::make_unique<plat::TMemoryStream>();
            kept->CopyFrom(Stream, Stream.Size() - start);
            kept->SetPosition(0);
            m_doc->LoadFromStream(std::move(kept), true);
            readStructure();
            return true;
        }
    }
    auto compressor = std::make_unique<TzdGZipCompressor>(nullptr);
    compressor->IsTemplate = false;
    compressor->OpenWorkStream(UseFileCache, TempDir);
    plat::TStream* source = &Stream;
    try {
        if (compressor->Decompress(Stream))
            source = &compressor->WorkStream();
    } catch (const plat::Exception&) {
        const QString message = zdGetResources()->GetText(QStringLiteral("clDecompressError"));
        if (TzdReport* r = Report ? Report->Report() : nullptr) {
            r->AddErrors({message});
            zd::handleReportError(r->EngineOptions()->NewSilentMode,
                                  zdGetResources()->GetText(QStringLiteral("clErrors")) + QStringLiteral("\r\n")
                                      + r->ErrorList().join(QStringLiteral("\r\n")));
        } else {
            throw;
        }
        return false;
    }
    m_doc->LoadFromStream(*source);
    readStructure();
    return true;
}

void TzdPreviewPages::readStructure()
{
    m_doc->Root()->Name = "preparedreport";
    m_pageList = rootChild("previewpages");
    // Read whole, the pages lose their paging flag: give it back as adding
    // them gave it (the first two pages and pages stored in full stay).
    for (int i = 2; i < m_pageList->Count(); ++i)
        if (!isWhole(m_pageList->GetItem(i)))
            m_pageList->GetItem(i)->Unloadable = true;
    TzdXMLItem* report = rootChild("report");
    if (report->Count() > 0) {
        TzdXMLItem* r = report->GetItem(0);
        if (TzdReport* rep = Report ? Report->Report() : nullptr) {
            rep->DotMatrixReport = r->GetAttr("DotMatrixReport") == "1";
            rep->PreviewOptions()->OutlineVisible = r->GetAttr("PreviewOptions.OutlineVisible") == "1";
            rep->PreviewOptions()->OutlineWidth = r->GetAttr("PreviewOptions.OutlineWidth").toInt();
            rep->ReportOptions()->Name = QString::fromUtf8(zdXMLUnescape(r->GetAttr("ReportOptions.Name")));
        }
        ReportName = QString::fromUtf8(zdXMLUnescape(r->GetAttr("ReportOptions.Name")));
    }
    freeSourcePages();
    TzdXMLItem* sources = rootChild("sourcepages");
    for (int i = 0; i < sources->Count(); ++i) {
        // A page keeps its kind (a dot-matrix page its font style); a file
        // naming another class gets an ordinary page.
        std::unique_ptr<TzdReportPage> page = newPageOf(plat::GetClass(QString::fromUtf8(sources->GetItem(i)->Name)));
        TzdXMLSerializer serializer(nullptr);
        serializer.Owner = page.get();
        serializer.OldFormat = false;
        serializer.ReadRootComponent(page.get(), sources->GetItem(i));
        for (TzdComponent* c : page->AllObjects())
            m_baseText[c] = serializer.GetObjectText(c);
        m_sourcePages.push_back(std::move(page));
        m_templates.push_back(nullptr);
    }
    sources->Clear();
    m_dictionary.Clear();
    TzdXMLItem* dictionary = rootChild("dictionary");
    for (int i = 0; i < dictionary->Count(); ++i) {
        TzdXMLItem* e = dictionary->GetItem(i);
        const QString name = QString::fromUtf8(e->GetAttr("name"));
        // "Page" + index + "." + object name; a bad entry leaves only its
        // own objects without a source.
        TzdComponent* object = nullptr;
        const qsizetype dot = name.indexOf(u'.');
        if (name.startsWith(u"Page") && dot > 4) {
            bool ok = false;
            const int index = name.mid(4, dot - 4).toInt(&ok);
            if (ok && index >= 0 && index < int(m_sourcePages.size()))
                object = m_sourcePages[size_t(index)]->FindObject(name.mid(dot + 1).left(255));
        }
        m_dictionary.Add(QString::fromUtf8(e->Name), name, object);
    }
    m_pictures->LoadFromXML(rootChild("picturecache"));
}

bool TzdPreviewPages::LoadFromFile(const QString& FileName, bool ExceptionIfNotFound)
{
    const bool exists = plat::FileExists(FileName);
    if (exists || ExceptionIfNotFound) {
        plat::TFileStream file(FileName, plat::fmOpenRead | plat::fmShareDenyWrite);
        LoadFromStream(file, false);
    }
    return exists;
}

void TzdPreviewPages::SaveToFile(const QString& FileName)
{
    plat::TMemoryStream data;
    SaveToStream(data);
    QSaveFile file(FileName);
    if (!file.open(QIODevice::WriteOnly))
        throw plat::EFCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(FileName, file.errorString()));
    const QByteArray& bytes = data.bytes();
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw plat::EFCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(FileName, file.errorString()));
}

// --- printing and exporting

zd::PrintPageInfo TzdPreviewPages::PreparePage(int Index)
{
    zd::PrintPageInfo info;
    TzdReportPage* page = GetPage(Index);
    if (!page)
        return info;
    info.Paper = page->PaperSize();
    info.PaperWidth = page->PaperWidth();
    info.PaperHeight = page->PaperHeight();
    info.Orientation = page->Orientation();
    info.Bin = page->Bin;
    info.BinOtherPages = page->BinOtherPages;
    info.Duplex = page->Duplex;
    return info;
}

bool TzdPreviewPages::Terminated()
{
    TzdReport* r = Report ? Report->Report() : nullptr;
    return r && r->Terminated;
}

void TzdPreviewPages::SetTerminated(bool Value)
{
    if (Report)
        Report->SetTerminated(Value);
}

QString TzdPreviewPages::Title()
{
    TzdReport* r = Report ? Report->Report() : nullptr;
    if (r && !r->ReportOptions()->Name.isEmpty())
        return r->ReportOptions()->Name;
    return r ? r->FileName : ReportName;
}

TzdCustomPreview* TzdPreviewPages::Preview()
{
    TzdReport* r = Report ? Report->Report() : nullptr;
    return r ? r->Preview() : nullptr;
}

int TzdPreviewPages::PreviewPageNo()
{
    return Preview() ? ShownPageNo : 0;
}

void TzdPreviewPages::ProgressStarted(TzdProgressType Type)
{
    if (TzdReport* r = Report ? Report->Report() : nullptr)
        r->BeginProgress(Type);
}

void TzdPreviewPages::ProgressStep(TzdProgressType Type, int Progress)
{
    if (TzdReport* r = Report ? Report->Report() : nullptr)
        r->StepProgress(Type, Progress);
}

void TzdPreviewPages::ProgressFinished(TzdProgressType Type)
{
    if (TzdReport* r = Report ? Report->Report() : nullptr)
        r->EndProgress(Type);
}

void TzdPreviewPages::BeforePrintReport()
{
    TzdReport* r = Report ? Report->Report() : nullptr;
    if (!r)
        return;
    r->OnPrintReport(r);
    // Without DestroyForms the engine no longer runs when printing starts:
    // the handler is forced.
    r->RunScriptEvent(r, r->OnReportPrint, !r->EngineOptions()->DestroyForms);
}

void TzdPreviewPages::AfterPrintReport()
{
    if (TzdReport* r = Report ? Report->Report() : nullptr)
        r->OnAfterPrintReport(r);
}

void TzdPreviewPages::PrintPage(int Index, int CopyNo)
{
    TzdReport* r = Report ? Report->Report() : nullptr;
    if (r && r->OnPrintPage)
        r->OnPrintPage(GetPage(Index), CopyNo);
}

bool TzdPreviewPages::ThreadSafe()
{
    return Report && Report->ThreadSafeMode();
}

void TzdPreviewPages::ReportErrors(const QStringList& Errors)
{
    TzdReport* r = Report ? Report->Report() : nullptr;
    if (!r) {
        zd::PrintSource::ReportErrors(Errors);
        return;
    }
    r->AddErrors(Errors);
    zd::handleReportError(r->EngineOptions()->NewSilentMode,
                          zdGetResources()->GetText(QStringLiteral("clErrors")) + QStringLiteral("\r\n")
                              + r->ErrorList().join(QStringLiteral("\r\n")));
}

bool TzdPreviewPages::Print()
{
    zd::PrintSettings settings;
    TzdPrintOptions* options = nullptr;
    if (TzdReport* r = Report ? Report->Report() : nullptr) {
        options = r->PrintOptions();
        settings.Copies = options->Copies;
        settings.Collate = options->Collate;
        settings.PageNumbers = options->PageNumbers;
        settings.Printer = options->Printer;
        settings.PrintMode = options->PrintMode;
        if (options->PrintOnSheet > 0)
            settings.PrintOnSheet = options->PrintOnSheet;
        settings.PrintPages = options->PrintPages;
        settings.Reverse = options->Reverse;
        settings.ShowDialog = options->ShowDialog;
        settings.Duplex = options->Duplex;
        settings.TileOverlap = options->SplicingLine;
    }
    const bool printed = zd::PrintPreparedPages(*this, settings);
    // The job puts back every choice of its dialog but the duplex one.
    if (options)
        options->Duplex = TzdDuplexMode(settings.Duplex);
    return printed;
}

bool TzdPreviewPages::Export(TzdCustomExportFilter* Filter)
{
    return zd::ExportPreparedPages(*this, Filter);
}
