#include "zdRes.h"

#include "CodePage.h"
#include "Canvas.h"
#include "Files.h"
#include "Graphics.h"
#include "Objects.h"
#include "Services.h"
#include "Streams.h"
#include "SysUtils.h"
#include "zdUtils.h"
#include "zdXML.h"
#include "zdZLib.h"
#include "zs_iinterpreter.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QPainter>
#include <QPixmap>

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

constexpr int kButtonSize = 16;
constexpr int kWizardImageSize = 32;
// The glyph's see-through background (red 0, green 128, blue 128).
constexpr plat::TColor kGlyphBackground = plat::RGB(0, 128, 128);
const QString kImageResourceFolder = QStringLiteral(":/images/");

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

// ---------------------------------------------------------------------------
// Button images

const zd::ImageList& TzdResources::loadedImages(ImageStrip& strip, const char* resourceName, int size,
                                                zd::ImageList* disabled)
{
    if (!strip.images.isEmpty() || strip.loadTried)
        return strip.images;
    strip.loadTried = true; // a strip the program lacks is not looked for again
    QFile resource(kImageResourceFolder + QLatin1String(resourceName));
    if (!resource.open(QIODevice::ReadOnly))
        return strip.images;
    plat::TBitmap bitmap;
    zd::loadImageStrip(resource.readAll(), bitmap);
    zdSplitImageStrip(bitmap, size, size, disabled, strip.images);
    return strip.images;
}

const zd::ImageList& TzdResources::GetDesignerButtonImages()
{
    return loadedImages(m_designerImages, "DesgnButtons", kButtonSize, &m_disabledImages);
}

const zd::ImageList& TzdResources::GetDisabledButtonImages()
{
    GetDesignerButtonImages();
    return m_disabledImages;
}

const zd::ImageList& TzdResources::GetObjectButtonImages()
{
    return loadedImages(m_objectImages, "ObjectButtons", kButtonSize, nullptr);
}

const zd::ImageList& TzdResources::GetPreviewButtonImages()
{
    return loadedImages(m_previewImages, "PreviewButtons", kButtonSize, nullptr);
}

const zd::ImageList& TzdResources::GetWizardButtonImages()
{
    return loadedImages(m_wizardImages, "WizardButtons", kWizardImageSize, nullptr);
}

void TzdResources::SetDesignerButtonImages(const plat::TBitmap& strip, bool replace)
{
    if (replace) {
        m_designerImages.images.clear();
        m_disabledImages.clear();
    }
    zdSplitImageStrip(strip, kButtonSize, kButtonSize, &m_disabledImages, m_designerImages.images);
}

void TzdResources::SetObjectButtonImages(const plat::TBitmap& strip, bool replace)
{
    if (replace)
        m_objectImages.images.clear();
    zdSplitImageStrip(strip, kButtonSize, kButtonSize, nullptr, m_objectImages.images);
}

void TzdResources::SetPreviewButtonImages(const plat::TBitmap& strip, bool replace)
{
    if (replace)
        m_previewImages.images.clear();
    zdSplitImageStrip(strip, kButtonSize, kButtonSize, nullptr, m_previewImages.images);
}

void TzdResources::SetWizardButtonImages(const plat::TBitmap& strip, bool replace)
{
    if (replace)
        m_wizardImages.images.clear();
    zdSplitImageStrip(strip, kWizardImageSize, kWizardImageSize, nullptr, m_wizardImages.images);
}

QImage TzdResources::ButtonGlyphImage(int index)
{
    QImage glyph(2 * kButtonSize, kButtonSize, QImage::Format_RGB32);
    glyph.fill(plat::ToQColor(kGlyphBackground));
    const zd::ImageList& images = GetDesignerButtonImages();
    const zd::ImageList& disabled = GetDisabledButtonImages();
    QPainter painter(&glyph);
    if (index >= 0 && index < images.size())
        painter.drawImage(0, 0, images[index]);
    if (index >= 0 && index < disabled.size())
        painter.drawImage(kButtonSize, 0, disabled[index]);
    return glyph;
}

void TzdResources::SetButtonGlyph(QAbstractButton* button, int index)
{
    if (!button)
        return;
    // The halves of the glyph with its background see-through, as a
    // two-state glyph is shown.
    QImage glyph = ButtonGlyphImage(index).convertToFormat(QImage::Format_ARGB32);
    const QRgb background = plat::ToQColor(kGlyphBackground).rgb();
    for (int y = 0; y < glyph.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(glyph.scanLine(y));
        for (int x = 0; x < glyph.width(); ++x)
            if (row[x] == background)
                row[x] = 0;
    }
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(glyph.copy(0, 0, kButtonSize, kButtonSize)), QIcon::Normal);
    icon.addPixmap(QPixmap::fromImage(glyph.copy(kButtonSize, 0, kButtonSize, kButtonSize)), QIcon::Disabled);
    button->setIcon(icon);
    button->setIconSize(QSize(kButtonSize, kButtonSize));
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

void loadImageStrip(const QByteArray& member, plat::TBitmap& strip)
{
    plat::TMemoryStream source(member);
    plat::TMemoryStream plain;
    QByteArray name;
    zdGZipDecompress(source, plain, name);
    strip.LoadFromBytes(plain.bytes());
}

QString helpTopicPage(const QString& className)
{
    for (const HelpTopic& topic : kHelpTopics)
        if (plat::SameText(className, QString::fromLatin1(topic.className)))
            return QString::fromLatin1(topic.page);
    return {};
}

} // namespace zd
