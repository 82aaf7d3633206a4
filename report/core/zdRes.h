#pragma once
// The report library's store of localisable texts, button images and help.
//
// Every user-interface text of the report library is fetched by key
// ("clErrors") or by number (zdGetResText(1)). The built-in Czech tables are
// loaded when the store is first asked for; a language file (".zdc") loaded
// later overrides texts by key and adds new keys.
//
// Button images come from the program's image strips, Qt resources named
// ":/images/DesgnButtons", ":/images/ObjectButtons", ":/images/PreviewButtons"
// and ":/images/WizardButtons", each one gzip member holding a BMP file; a
// strip the program does not carry leaves its list empty.

#include "zdUtils.h"
#include "zdWideStrings.h"

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QString>
#include <QStringList>

class QAbstractButton;
class QObject;

namespace plat {
class TBitmap;
class TObject;
class TStream;
} // namespace plat

class TzdResources {
public:
    TzdResources(); // an empty store; scans the language files beside the program

    // The text of a key, or the key itself when unknown; one leading '!' is
    // dropped. Texts stay wide: the platform shows them as they are.
    QString GetText(const QString& key) const;
    // 8-bit text, converted with CodePage (0: code page 1250).
    void SetText(const QString& key, const QByteArray& text);
    void SetWideText(const QString& key, const QString& text);

    void LoadFromStream(plat::TStream& stream);
    void LoadFromFile(const QString& fileName); // a missing file is ignored
    void LoadFromString(const QByteArray& xml);

    // Hands the seventeen compiler messages of the script engine their texts.
    void LocalizeScriptMessages();

    // Opens the help at the topic of the sender's class; without a sender, or
    // for a class without a topic, at the contents.
    void ShowHelp(const plat::TObject* sender = nullptr);
    void ShowHelpForClass(const QString& className);
    void ScanLanguageFiles();

    // Image lists, cut from their strips on first use while still empty:
    // 16 x 16 images (32 x 32 for wizards), row after row. The designer's
    // disabled copies are filled together with its own list.
    const zd::ImageList& GetDesignerButtonImages();
    const zd::ImageList& GetDisabledButtonImages();
    const zd::ImageList& GetObjectButtonImages();
    const zd::ImageList& GetPreviewButtonImages();
    const zd::ImageList& GetWizardButtonImages();
    // Add the images of a strip, emptying the list first with replace.
    void SetDesignerButtonImages(const plat::TBitmap& strip, bool replace);
    void SetObjectButtonImages(const plat::TBitmap& strip, bool replace);
    void SetPreviewButtonImages(const plat::TBitmap& strip, bool replace);
    void SetWizardButtonImages(const plat::TBitmap& strip, bool replace);
    // The two-state glyph of designer image index: 32 x 16 on the glyph
    // colour, the image at (0, 0) and its disabled copy at (16, 0).
    QImage ButtonGlyphImage(int index);
    // Gives the button that glyph as its normal and disabled icon.
    void SetButtonGlyph(QAbstractButton* button, int index);

    int CodePage() const { return m_codePage; }
    const QStringList& Languages() const { return m_languages; }
    int Count() const { return m_values.Count(); }
    QString HelpFile = QStringLiteral("ZDUser.chm");

private:
    QHash<QString, int> m_names; // folded key -> index into m_values
    TzdWideStrings m_values;
    int m_codePage = 0;
    QStringList m_languages;

    struct ImageStrip {
        zd::ImageList images;
        bool loadTried = false;
    };
    const zd::ImageList& loadedImages(ImageStrip& strip, const char* resourceName, int size,
                                      zd::ImageList* disabled);
    ImageStrip m_designerImages;
    zd::ImageList m_disabledImages;
    ImageStrip m_objectImages;
    ImageStrip m_previewImages;
    ImageStrip m_wizardImages;
};

// The process-wide store, created with the built-in tables on first use.
TzdResources* zdGetResources();
QString zdGetResText(int id);

// Opens a page of the compiled help ("<folder>/ZDUser.chm::/Page.htm") as the
// local HTML page "<folder>/ZDUser/Page.htm" ("index.htm" without a topic)
// through the shell service. False when there are no user-interface services
// or the page could not be opened.
bool zdHtmlHelp(QObject* window, const QString& path);

namespace zd {

// The bitmap inside an image strip resource (one gzip member holding a BMP
// file). Raises EZDecompressionError or EInvalidGraphic for damaged data.
void loadImageStrip(const QByteArray& member, plat::TBitmap& strip);

// The help page of a window class ("Text_object.htm"), empty when none.
QString helpTopicPage(const QString& className);

// The built-in string tables compiled into the program.
struct BuiltinStringTable {
    const char* name;
    const unsigned char* data;
    unsigned long size;
};
extern const BuiltinStringTable kBuiltinStringTables[];
extern const int kBuiltinStringTableCount;

} // namespace zd
