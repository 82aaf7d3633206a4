#include "zdCodeCompletion.h"

#include "zdClass_report.h"
#include "zdClass_services.h"
#include "zs_items.h"
#include "zs_itools.h"
#include "zs_script.h"
#include "zs_xml.h"

#include <algorithm>

namespace zd {

namespace {

// Leading words of member texts and the kind each gives.
struct MemberWord {
    const char* word;
    int kind;
};
constexpr MemberWord kMemberWords[] = {
    {"index property", 1}, {"property", 1}, {"procedure", 2}, {"function", 3},
};

QString startClassName(TzdReport* Report, const QString& First)
{
    const plat::TObject* object = nullptr;
    if (First.compare(QLatin1String("Report"), Qt::CaseInsensitive) == 0)
        object = Report;
    else if (First.compare(QLatin1String("Engine"), Qt::CaseInsensitive) == 0)
        object = Report->Engine();
    else if (First.compare(QLatin1String("Outline"), Qt::CaseInsensitive) == 0)
        object = Report->ActivePreviewPages() ? Report->ActivePreviewPages()->Outline() : nullptr;
    else
        object = Report->FindObject(First);
    return object ? object->ClassName() : QString();
}

} // namespace

std::vector<CompletionItem> ScriptCompletionList(TzdReport* Report, const QString& Text)
{
    std::vector<CompletionItem> items;
    if (!Report)
        return items;
    QStringList pieces = Text.split(u'.');
    for (QString& p : pieces)
        p = p.trimmed();
    if (Text.trimmed().isEmpty()) {
        for (TzdComponent* c : Report->AllObjects())
            items.push_back({c->Name() + QStringLiteral(" : ") + c->ClassName(), 0});
        return items;
    }
    // The dot just typed opens no member of its own.
    if (pieces.size() > 1 && pieces.last().isEmpty())
        pieces.removeLast();
    TzsScript* script = Report->Script();
    QString type = startClassName(Report, pieces.first());
    for (int i = 1; i < pieces.size() && !type.isEmpty(); ++i) {
        TzsClassVariable* cls = script->FindClass(type);
        TzsCustomHelper* member = cls ? cls->Find(pieces.at(i)) : nullptr;
        type = member ? member->GetTypeText() : QString();
    }
    if (type.isEmpty())
        return items;
    TzsClassVariable* cls = script->FindClass(type);
    if (!cls || !cls->ClassRef)
        return items;
    TzsXMLItem tree;
    zsBuildClassMembersXML(script, cls->ClassRef, &tree);
    QStringList seen;
    for (int i = 0; i < tree.Count(); ++i) {
        QString text = tree.Items(i)->Prop(QStringLiteral("text"));
        int kind = 0;
        for (const MemberWord& w : kMemberWords) {
            const QString word = QString::fromLatin1(w.word);
            if (text.startsWith(word)) {
                text = text.mid(word.size() + 1);
                kind = w.kind;
                break;
            }
        }
        if (seen.contains(text))
            continue;
        seen.append(text);
        items.push_back({text, kind});
    }
    std::sort(items.begin(), items.end(), [](const CompletionItem& a, const CompletionItem& b) { return a.text < b.text; });
    return items;
}

} // namespace zd
