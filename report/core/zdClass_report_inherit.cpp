// A report made to inherit from a template file after the fact: the parent
// template is loaded into the report and the report's own objects, datasets,
// variables, styles and script are merged back over it.

#include "zdClass_report.h"

#include "zdClass_band.h"
#include "zdClass_page.h"
#include "zdClass_services.h"
#include "zdClass_style.h"
#include "zdCollections.h"
#include "zdDataSets.h"
#include "zdVariables.h"
#include "zdXMLSerializer.h"

#include <QDir>
#include <QFileInfo>

#include <map>
#include <set>

struct TzdReport::MergeState {
    TzdXMLSerializer Serializer{nullptr};
    TzdReport* Copy = nullptr;
    bool DeleteDuplicates = true;
    // Old name to new name of the objects merged under another name; the
    // pending references follow them.
    std::map<QString, QString> Renamed;
    // Pages of subreports already merged through their subreport.
    std::set<TzdComponent*> MergedPages;
};

namespace {

// A name of two or more characters that starts with '.' or '\' is made a
// full path; others are compared as they are.
QString normalisedName(const QString& Name)
{
    if (Name.size() >= 2 && (Name.startsWith(u'.') || Name.startsWith(u'\\')))
        return QFileInfo(QString(Name).replace(u'\\', u'/')).absoluteFilePath();
    return Name;
}

const char* const kRenamedSuffix = "_renamed";

// A name that neither the report nor the copy uses yet.
QString freeName(TzdReport* Report, TzdReport* Copy, const QString& Stem)
{
    for (int n = 1;; ++n) {
        const QString name = Stem + QString::number(n);
        if (!Report->FindObject(name) && !Copy->FindObject(name))
            return name;
    }
}

struct CommentMarks {
    const char* language;
    const char* open;
    const char* close;
};

constexpr CommentMarks kCommentMarks[] = {
    {"PascalScript", "{", "}"},
    {"C++Script", "/*", "*/"},
    {"JScript", "/*", "*/"},
    {"BasicScript", "/\\", "/\\"},
};

} // namespace

void TzdReport::mergeObjects(TzdComponent* Dest, TzdComponent* Source, MergeState& State)
{
    TzdXMLSerializer& s = State.Serializer;
    s.HandleNestedProperties = Dest == this;
    s.SerializeDefaultValues = Dest != this;
    const QString keptName = Dest->Name();
    s.TextToProperties(s.PropertiesToText(Source, {}, nullptr), Dest);
    if (Dest->Name() != keptName)
        Dest->SetName(keptName);
    for (TzdComponent* child : std::vector<TzdComponent*>(Source->Children())) {
        if (State.MergedPages.count(child))
            continue;
        TzdComponent* counterpart = child->Name().isEmpty() ? nullptr : FindObject(child->Name());
        if (counterpart && dynamic_cast<TzdPage*>(counterpart)) {
            mergeObjects(counterpart, child, State);
            continue;
        }
        QString oldName;
        if (counterpart) {
            if (State.DeleteDuplicates)
                continue;
            oldName = child->Name();
            child->SetName(QString());
        }
        auto* obj = static_cast<TzdComponent*>(child->ClassType()->CreateComponent(this));
        obj->SetParent(Dest);
        if (!child->Name().isEmpty()) {
            obj->SetName(child->Name());
        } else {
            obj->CreateUniqueName();
            const QString name = obj->Name();
            // A later object of the copy that bears the new name takes
            // another one, with its references.
            if (TzdComponent* other = State.Copy->FindObject(name); other && other != child) {
                const QString otherName = freeName(this, State.Copy, name + u'_');
                State.Renamed[other->Name()] = otherName;
                other->SetName(otherName);
            }
            child->SetName(name);
            if (!oldName.isEmpty()) {
                State.Renamed[oldName] = name;
                if (auto* ds = dynamic_cast<TzdDataSet*>(obj)) {
                    ds->SetUserName(name);
                    m_dataSets->AddDataSet(ds);
                }
            }
        }
        if (auto* sub = dynamic_cast<TzdSubreport*>(child); sub && sub->Page()) {
            TzdReportPage* from = sub->Page();
            auto* page = static_cast<TzdReportPage*>(from->ClassType()->CreateComponent(this));
            page->SetParent(this);
            page->CreateUniqueName();
            State.Renamed[from->Name()] = page->Name();
            mergeObjects(page, from, State);
            State.MergedPages.insert(from);
        }
        mergeObjects(obj, child, State);
        if (auto* ds = dynamic_cast<TzdDataSet*>(obj); ds && !oldName.isEmpty())
            ds->SetUserName(obj->Name());
    }
}

bool TzdReport::InheritTemplateFile(const QString& AFileName, int Mode)
{
    const QString parentFile = normalisedName(AFileName);
    if (normalisedName(FileName) == parentFile)
        return false;
    MergeState state;
    auto copy = std::make_unique<TzdReport>(nullptr);
    copy->AssignAll(this);
    state.Copy = copy.get();
    const auto cancel = [&] {
        AssignAll(copy.get());
        return false;
    };

    const QString folder = FileName.isEmpty() ? QDir::currentPath() : QFileInfo(FileName).absolutePath();
    const QString relative =
        QFileInfo(parentFile).isAbsolute() ? QDir(folder).relativeFilePath(parentFile) : parentFile;
    SetParentReport(relative);
    if (!m_parentTemplate)
        return cancel();

    bool duplicates = false;
    for (TzdComponent* c : copy->AllObjects())
        if (!dynamic_cast<TzdPage*>(c) && !c->Name().isEmpty())
            if (TzdComponent* same = FindObject(c->Name()); same && !dynamic_cast<TzdPage*>(same))
                duplicates = true;
    if (duplicates && Mode == 0) {
        // Without a window to ask in nothing is changed.
        const int answer = zdReportWindows() ? zdReportWindows()->AskInheritDuplicates() : 0;
        if (answer == 0)
            return cancel();
        state.DeleteDuplicates = answer == 1;
    } else {
        state.DeleteDuplicates = Mode == 1;
    }

    QStringList parentScript;
    for (int i = 0; i < m_scriptText->Count(); ++i)
        parentScript << m_scriptText->Strings(i);
    state.Serializer.Owner = this;
    state.Serializer.OldFormat = false;
    mergeObjects(this, copy.get(), state);

    for (int i = 0; i < copy->DataSets()->Count(); ++i) {
        const QString name = copy->DataSets()->GetItem(i)->DataSetName();
        if (m_dataSets->FindByName(name))
            continue;
        if (TzdDataSet* ds = FindDataSet(nullptr, name))
            m_dataSets->AddDataSet(ds);
    }
    for (int i = 0; i < copy->Variables()->Count(); ++i) {
        TzdVariable* v = copy->Variables()->GetItem(i);
        QString name = v->Name();
        if (m_variables->IndexOf(name) >= 0) {
            if (state.DeleteDuplicates)
                continue;
            name += QLatin1String(kRenamedSuffix);
        }
        TzdVariable* added = m_variables->Add();
        added->SetName(name);
        added->SetValue(v->Value());
    }
    for (int i = 0; i < copy->Styles()->Count(); ++i) {
        TzdStyleItem* style = copy->Styles()->Items(i);
        QString name = style->Name();
        if (m_styles->Find(name)) {
            if (state.DeleteDuplicates)
                continue;
            name += QLatin1String(kRenamedSuffix);
        }
        TzdStyleItem* added = m_styles->Add();
        added->Assign(style);
        added->SetName(name);
        added->IsInherited = false;
    }

    const CommentMarks* marks = nullptr;
    for (const CommentMarks& m : kCommentMarks)
        if (m_scriptLanguage.compare(QLatin1String(m.language), Qt::CaseInsensitive) == 0)
            marks = &m;
    m_scriptText->Add(marks ? QString::fromLatin1(marks->open) : QString());
    m_scriptText->Add(QStringLiteral("**********Script from parent report**********"));
    for (const QString& line : parentScript)
        m_scriptText->Add(line);
    m_scriptText->Add(marks ? QString::fromLatin1(marks->close) : QString());

    for (int i = 0; i < m_dataSets->Count(); ++i) {
        TzdDataSetItem* item = m_dataSets->GetItem(i);
        item->SetDataSetName(item->DataSetName());
    }
    std::vector<TzdFixupItem> pending;
    state.Serializer.CopyFixups(pending);
    state.Serializer.ClearFixups();
    for (TzdFixupItem& f : pending) {
        const auto renamed = state.Renamed.find(f.Value);
        state.Serializer.AddFixup(f.Obj, f.Property, renamed == state.Renamed.end() ? f.Value : renamed->second);
    }
    state.Serializer.ResolveFixups();
    return true;
}
