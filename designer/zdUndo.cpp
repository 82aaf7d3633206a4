#include "zdUndo.h"

#include "Exceptions.h"
#include "Services.h"
#include "Streams.h"
#include "TypeInfo.h"
#include "zdClass_band.h"
#include "zdClass_page.h"
#include "zdClass_picture.h"
#include "zdClass_report.h"
#include "zdDesignerModel.h"
#include "zdPictureCache.h"
#include "zdRes.h"
#include "zdXML.h"
#include "zdXMLSerializer.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

std::vector<TzdPictureView*> picturesOf(TzdComponent* Obj)
{
    std::vector<TzdPictureView*> list;
    if (auto* p = dynamic_cast<TzdPictureView*>(Obj))
        list.push_back(p);
    for (TzdComponent* c : Obj->AllObjects())
        if (auto* p = dynamic_cast<TzdPictureView*>(c))
            list.push_back(p);
    return list;
}

// Picture objects store their image index instead of their picture while
// the guard lives; restored on every path.
class PicturesByIndex {
public:
    PicturesByIndex(TzdComponent* Obj, TzdPictureCache* Cache) : m_pictures(picturesOf(Obj))
    {
        for (TzdPictureView* p : m_pictures) {
            // A picture that changed since the cache was filled goes in now,
            // or undo would bring back an older one.
            if (Cache && (p->PictureChanged || p->ImageIndex == 0)) {
                Cache->AddPicture(p);
                p->PictureChanged = false;
            }
            m_saved.emplace_back(p->ImageIndexStored, p->PictureStored);
            p->ImageIndexStored = true;
            p->PictureStored = false;
        }
    }
    ~PicturesByIndex()
    {
        for (size_t i = 0; i < m_pictures.size(); ++i) {
            m_pictures[i]->ImageIndexStored = m_saved[i].first;
            m_pictures[i]->PictureStored = m_saved[i].second;
        }
    }
    PicturesByIndex(const PicturesByIndex&) = delete;
    PicturesByIndex& operator=(const PicturesByIndex&) = delete;

private:
    std::vector<TzdPictureView*> m_pictures;
    std::vector<std::pair<bool, bool>> m_saved;
};

void restorePictures(TzdComponent* Obj, TzdPictureCache* Cache)
{
    if (!Cache)
        return;
    for (TzdPictureView* p : picturesOf(Obj))
        Cache->GetPicture(p);
}

} // namespace

// ---------------------------------------------------------------- undo buffer

TzdUndoBuffer::TzdUndoBuffer() = default;
TzdUndoBuffer::~TzdUndoBuffer() = default;

std::unique_ptr<plat::TMemoryStream> TzdUndoBuffer::snapshot(TzdComponent* Obj)
{
    auto stream = std::make_unique<plat::TMemoryStream>();
    PicturesByIndex byIndex(Obj, PictureCache);
    Obj->SaveToStream(*stream, true, false, false);
    return stream;
}

void TzdUndoBuffer::load(TzdComponent* Obj, plat::TMemoryStream& Stream)
{
    Stream.SetPosition(0);
    auto* report = dynamic_cast<TzdReport*>(Obj);
    if (report)
        report->ReloadingTemplate = true;
    try {
        Obj->LoadFromStream(Stream);
    } catch (...) {
        if (report)
            report->ReloadingTemplate = false;
        throw;
    }
    if (report)
        report->ReloadingTemplate = false;
    restorePictures(Obj, PictureCache);
}

void TzdUndoBuffer::AddUndo(TzdComponent* Obj) { m_undo.push_back(snapshot(Obj)); }
void TzdUndoBuffer::AddRedo(TzdComponent* Obj) { m_redo.push_back(snapshot(Obj)); }

void TzdUndoBuffer::GetUndo(TzdComponent* Obj)
{
    if (m_undo.size() < 2)
        return;
    load(Obj, *m_undo[m_undo.size() - 2]);
    m_undo.pop_back();
}

void TzdUndoBuffer::RestoreLast(TzdComponent* Obj)
{
    if (m_undo.empty())
        return;
    std::unique_ptr<plat::TMemoryStream> last = std::move(m_undo.back());
    m_undo.pop_back();
    load(Obj, *last);
}

void TzdUndoBuffer::GetRedo(TzdComponent* Obj)
{
    if (m_redo.empty())
        return;
    load(Obj, *m_redo.back());
    m_redo.pop_back();
}

void TzdUndoBuffer::ClearUndo() { m_undo.clear(); }
void TzdUndoBuffer::ClearRedo() { m_redo.clear(); }

// ---------------------------------------------------------------- clipboard

const char* const TzdClipboard::kHeader = "#ZD3 clipboard#";

TzdClipboard::TzdClipboard(zd::DesignerModel* Designer) : m_designer(Designer) {}

QString TzdClipboard::CopyText() const
{
    TzdComponent* page = m_designer->CurrentPage;
    QByteArray text = QByteArray(kHeader) + "\n\r";
    if (!page)
        return QString::fromUtf8(text);
    const auto& sel = m_designer->Selection;
    long double minLeft = 100000, minTop = 100000;
    for (TzdComponent* c : sel) {
        minLeft = std::min(minLeft, c->GetAbsLeft());
        minTop = std::min(minTop, c->GetAbsTop());
    }
    auto selected = [&](TzdComponent* c) { return std::find(sel.begin(), sel.end(), c) != sel.end(); };
    TzdXMLSerializer serializer(nullptr);
    auto write = [&](TzdComponent* c) {
        std::unique_ptr<TzdComponent> copy(static_cast<TzdComponent*>(c->ClassType()->CreateComponent(page)));
        copy->Assign(c);
        copy->SetLeft(c->Left() - minLeft);
        copy->SetTop(c->GetAbsTop() - minTop);
        PicturesByIndex byIndex(copy.get(), nullptr);
        if (auto* p = dynamic_cast<TzdPictureView*>(copy.get()))
            p->ImageIndex = static_cast<TzdPictureView*>(c)->ImageIndex;
        std::unique_ptr<TzdComponent> fresh(static_cast<TzdComponent*>(c->ClassType()->CreateComponent(nullptr)));
        text += "<" + c->ClassName().toUtf8() + " Name=\"" + zd::diffEscaped(c->Name()).toUtf8() + "\"" +
                serializer.PropertiesToText(copy.get(), QByteArray(), nullptr) + "/>";
    };
    for (TzdComponent* c : page->AllObjects()) {
        if (!selected(c))
            continue;
        write(c);
        if (dynamic_cast<TzdBand*>(c) &&
            std::none_of(c->Children().begin(), c->Children().end(), selected))
            for (TzdComponent* child : c->Children())
                write(child);
    }
    return zd::decodeFileText(text);
}

void TzdClipboard::Copy() { plat::Services().SetClipboardText(CopyText()); }

bool TzdClipboard::HasData() const
{
    try {
        return plat::Services().ClipboardText().startsWith(QLatin1String(kHeader));
    } catch (...) {
        return false;
    }
}

void TzdClipboard::Paste() { PasteText(plat::Services().ClipboardText()); }

namespace {

bool inherits(const plat::TClass* Cls, const char16_t* Name) { return Cls && Cls->InheritsFrom(QStringView(Name)); }

} // namespace

QString zd::placementRefusal(const plat::TClass* Cls, TzdComponent* Page)
{
    const bool dialogControl = inherits(Cls, u"TzdDialogControl");
    const bool dialogComponent = inherits(Cls, u"TzdDialogComponent");
    const bool dmpObject = inherits(Cls, u"TzdDMPMemoView") || inherits(Cls, u"TzdDMPLineView") ||
                           inherits(Cls, u"TzdDMPCommand");
    const bool dmpPage = inherits(Page->ClassType(), u"TzdDMPPage");
    const bool band = inherits(Cls, u"TzdBand");
    bool fits = true;
    if (dynamic_cast<TzdReportPage*>(Page)) {
        fits = !dialogControl && (!dmpObject || dmpPage) && (!dmpPage || band || dmpObject);
    } else if (dynamic_cast<TzdDialogPage*>(Page)) {
        fits = dialogControl || dialogComponent;
    } else if (dynamic_cast<TzdDataPage*>(Page)) {
        fits = !dmpObject && (inherits(Cls, u"TzdCustomLineView") || inherits(Cls, u"TzdCustomMemoView") ||
                              inherits(Cls, u"TzdShapeView") || dialogComponent);
    }
    return fits ? QString() : QStringLiteral("%1: nelze vložit na tuto stránku").arg(Cls->ClassName());
}

void TzdClipboard::PasteText(const QString& Text)
{
    Refusals.clear();
    TzdComponent* page = m_designer->CurrentPage;
    TzdReport* report = m_designer->report();
    if (!page || !report || !Text.startsWith(QLatin1String(kHeader)))
        return;
    std::vector<TzdComponent*> selection;
    QStringList lines = Text.split(QRegularExpression(QStringLiteral("[\r\n]")), Qt::SkipEmptyParts);
    if (!lines.isEmpty())
        lines.removeFirst();
    plat::TMemoryStream stream(lines.join(QStringLiteral("\r\n")).toUtf8());
    std::vector<TzdComponent*> pasted;
    TzdXMLReader reader(stream);
    const qint64 total = stream.Size();
    // The reader reads ahead: its own position says what was consumed.
    while (reader.Position() < total) {
        TzdXMLItem item;
        reader.ReadItem(&item, true);
        if (item.Name.isEmpty())
            break;
        const QString className = QString::fromUtf8(item.Name);
        const plat::TClass* cls = plat::GetClass(className);
        // Only objects that sit on a page may come in: a page, a report or
        // a class of another kind in the text is refused, not created.
        if (!cls || !cls->InheritsFrom(QStringView(u"TzdReportComponent")) || !cls->CanCreate()) {
            Refusals << QStringLiteral("%1: není objekt, který lze vložit na stránku").arg(className);
            continue;
        }
        // The name is given after placing, so that a name already taken
        // is replaced instead of refused.
        const QString name = QString::fromUtf8(item.GetAttr("Name"));
        const QByteArray attributes = QString::fromUtf8(item.Text)
                                          .remove(QRegularExpression(QStringLiteral("(^|\\s)Name=\"[^\"]*\"")))
                                          .toUtf8();
        std::unique_ptr<TzdComponent> obj(static_cast<TzdComponent*>(cls->CreateComponent(report)));
        try {
            TzdXMLSerializer serializer(nullptr);
            obj->StreamLoading = true;
            serializer.ReadPersistent(report, obj.get(), attributes);
            obj->StreamLoading = false;
            obj->Loaded();
            // Attributes the class does not have are damage, not data.
            if (serializer.Errors().Count() > 0) {
                Refusals << className + QStringLiteral(": ") + serializer.Errors().Text().trimmed();
                continue;
            }
        } catch (const std::exception& e) {
            Refusals << className + QStringLiteral(": ") + QString::fromUtf8(e.what());
            continue;
        }
        auto* band = dynamic_cast<TzdBand*>(obj.get());
        if (band) {
            const QString bc = band->ClassName();
            static const QStringList kSingle{QStringLiteral("TzdReportTitle"), QStringLiteral("TzdReportSummary"),
                                            QStringLiteral("TzdPageHeader"), QStringLiteral("TzdPageFooter"),
                                            QStringLiteral("TzdColumnHeader"), QStringLiteral("TzdColumnFooter")};
            bool taken = false;
            if (kSingle.contains(bc))
                for (TzdComponent* c : page->Children())
                    taken = taken || c->ClassName() == bc;
            if (taken)
                continue;
        }
        if (const QString why = zd::placementRefusal(cls, page); !why.isEmpty()) {
            Refusals << why;
            continue;
        }
        if (auto* p = dynamic_cast<TzdPictureView*>(obj.get()); p && PictureCache)
            PictureCache->GetPicture(p);
        TzdComponent* parent = page;
        if (!band)
            for (auto it = pasted.rbegin(); it != pasted.rend(); ++it)
                if (auto* b = dynamic_cast<TzdBand*>(*it);
                    b && obj->Top() >= b->Top() && obj->Top() < b->Top() + b->Height()) {
                    parent = b;
                    obj->SetTop(obj->Top() - b->Top());
                    break;
                }
        TzdComponent* raw = obj.release();
        raw->SetParent(parent);
        TzdComponent* holder = nullptr;
        if (!name.isEmpty()) {
            const std::vector<TzdComponent*>& scope = report->AllObjects();
            for (TzdComponent* c : scope)
                if (c != raw && plat::foldName(c->Name()) == plat::foldName(name))
                    holder = c;
        }
        if (name.isEmpty() || holder)
            raw->CreateUniqueName();
        else
            raw->SetName(name);
        raw->SetGroupIndex(0);
        pasted.push_back(raw);
        m_designer->PageObjects.push_back(raw);
        if (parent == page)
            selection.push_back(raw);
        raw->AfterPaste();
    }
    m_designer->SetSelection(std::move(selection));
}
