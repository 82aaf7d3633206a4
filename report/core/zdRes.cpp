#include "zdRes.h"

#include "CodePage.h"
#include "Files.h"
#include "Objects.h"
#include "Services.h"
#include "Streams.h"
#include "SysUtils.h"
#include "zdUtils.h"
#include "zdXML.h"
#include "zs_iinterpreter.h"

#include <QDir>

#include <memory>

namespace {

struct HelpTopic {
    const char* className;
    const char* page;
};

constexpr HelpTopic kHelpTopics[] = {
    {"TzdDesignerForm", "Designer.htm"},
    {"TzdOptionsEditor", "Designer_options.htm"},
    {"TzdReportEditorForm", "Report_options.htm"},
    {"TzdPageEditorForm", "Page_options.htm"},
    {"TzdCrossEditorForm", "Cross_tab_reports.htm"},
    {"TzdChartEditorForm", "Diagrams.htm"},
    {"TzdSyntaxMemo", "Script.htm"},
    {"TzdDialogPage", "Dialogue_forms.htm"},
    {"TzdDialogComponent", "Data_access_components.htm"},
    {"TzdVarEditorForm", "Variables.htm"},
    {"TzdHighlightEditorForm", "Conditional_highlighting.htm"},
    {"TzdSysMemoEditorForm", "Inserting_aggregate_function.htm"},
    {"TzdFormatEditorForm", "Values_formatting.htm"},
    {"TzdGroupEditorForm", "Report_with_groups.htm"},
    {"TzdPictureEditorForm", "Picture_object.htm"},
    {"TzdMemoEditorForm", "Text_object.htm"},
    {"TzdSQLEditorForm", "TzdADOQuery.htm"},
};

// The compiler messages of the script engine, in the order they are handed over.
constexpr const char* kScriptMessageKeys[] = {
    "SLangNotFound", "SInvalidLanguage", "SIdRedeclared",    "SUnknownType",      "SIncompatibleTypes",
    "SIdUndeclared", "SClassRequired",   "SIndexRequired",   "SStringError",      "SClassError",
    "SArrayRequired", "SVarRequired",    "SNotEnoughParams", "STooManyParams",    "SLeftCantAssigned",
    "SForError",     "SEventError",
};

const QString kTopicSeparator = QStringLiteral("::/");
const QString kLanguageExt = QStringLiteral(".zdc");
const QString kHelpIndexPage = QStringLiteral("index.htm");

} // namespace

TzdResources::TzdResources()
{
    ScanLanguageFiles();
}

QString TzdResources::GetText(const QString& key) const
{
    const auto it = m_names.constFind(plat::foldCase(key));
    QString text = it == m_names.constEnd() ? key : m_values.Get(it.value());
    if (text.startsWith(u'!'))
        text.remove(0, 1);
    return text;
}

void TzdResources::SetText(const QString& key, const QByteArray& text)
{
    SetWideText(key, plat::codePageToUnicode(m_codePage, text));
}

void TzdResources::SetWideText(const QString& key, const QString& text)
{
    const QString folded = plat::foldCase(key);
    const auto it = m_names.constFind(folded);
    if (it != m_names.constEnd()) {
        m_values.Put(it.value(), text);
        return;
    }
    m_names.insert(folded, m_values.Count());
    m_values.Add(text);
}

void TzdResources::LoadFromStream(plat::TStream& stream)
{
    TzdXMLDocument doc;
    doc.LoadFromStream(stream);
    const TzdXMLItem* root = doc.Root();
    if (root->Name == "Resources") {
        m_codePage = plat::StrToInt(QString::fromUtf8(root->GetAttr(QByteArrayLiteral("CodePage"))));
        for (int i = 0; i < root->Count(); ++i) {
            const TzdXMLItem* item = root->GetItem(i);
            if (item->Name != "StrRes")
                continue;
            // Texts of string tables are escaped twice over.
            const QByteArray text = zdXMLUnescape(item->GetAttr(QByteArrayLiteral("Text")));
            SetWideText(QString::fromUtf8(item->GetAttr(QByteArrayLiteral("Name"))), QString::fromUtf8(text));
        }
    }
    LocalizeScriptMessages();
}

void TzdResources::LoadFromFile(const QString& fileName)
{
    if (!plat::FileExists(fileName))
        return;
    plat::TFileStream stream(fileName, plat::fmOpenRead | plat::fmShareDenyNone);
    LoadFromStream(stream);
}

void TzdResources::LoadFromString(const QByteArray& xml)
{
    plat::TMemoryStream stream(xml);
    LoadFromStream(stream);
}

void TzdResources::LocalizeScriptMessages()
{
    // A key this store lacks would hand the engine the bare key as its text.
    for (const char* key : kScriptMessageKeys) {
        const QString name = QString::fromLatin1(key);
        if (m_names.contains(plat::foldCase(name)))
            zsSetMessage(name, GetText(name));
    }
}

void TzdResources::ShowHelp(const plat::TObject* sender)
{
    ShowHelpForClass(sender ? sender->ClassName() : QString());
}

void TzdResources::ShowHelpForClass(const QString& className)
{
    QString topic;
    if (!className.isEmpty()) {
        const QString page = zd::helpTopicPage(className);
        if (!page.isEmpty())
            topic = kTopicSeparator + page;
    }
    zdHtmlHelp(nullptr, zdGetModuleFolder() + HelpFile + topic);
}

void TzdResources::ScanLanguageFiles()
{
    m_languages.clear();
    const QDir folder(plat::ProgramFolder());
    const QStringList files =
        folder.entryList(QStringList{QStringLiteral("*") + kLanguageExt}, QDir::Files | QDir::Readable);
    for (const QString& file : files) {
        QString name = file.toLower();
        if (!name.isEmpty())
            name[0] = name[0].toUpper();
        const qsizetype ext = name.indexOf(kLanguageExt);
        if (ext >= 0)
            name.remove(ext, kLanguageExt.size());
        m_languages.append(name);
    }
    m_languages.sort();
}

TzdResources* zdGetResources()
{
    static const std::unique_ptr<TzdResources> resources = [] {
        auto store = std::make_unique<TzdResources>();
        for (int i = 0; i < zd::kBuiltinStringTableCount; ++i) {
            const zd::BuiltinStringTable& table = zd::kBuiltinStringTables[i];
            store->LoadFromString(QByteArray::fromRawData(reinterpret_cast<const char*>(table.data),
                                                          static_cast<qsizetype>(table.size)));
        }
        return store;
    }();
    return resources.get();
}

QString zdGetResText(int id)
{
    return zdGetResources()->GetText(QString::number(id));
}

bool zdHtmlHelp(QObject* /*window*/, const QString& path)
{
    // "<folder>/Name.chm::/Page.htm" -> "<folder>/Name/Page.htm"
    QString file = path;
    QString page = kHelpIndexPage;
    const qsizetype sep = file.indexOf(kTopicSeparator);
    if (sep >= 0) {
        page = file.mid(sep + kTopicSeparator.size());
        file.truncate(sep);
    }
    const QString folder = plat::ChangeFileExt(file, QString());
    const QString local = plat::IncludeTrailingPathDelimiter(folder) + page;
    return plat::HasServices() && plat::Services().ShellOpen(local);
}

namespace zd {

QString helpTopicPage(const QString& className)
{
    for (const HelpTopic& topic : kHelpTopics)
        if (plat::SameText(className, QString::fromLatin1(topic.className)))
            return QString::fromLatin1(topic.page);
    return {};
}

} // namespace zd
