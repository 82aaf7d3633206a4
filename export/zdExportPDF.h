#pragma once
// The PDF export filter: prepared pages become one PDF 1.5 file.
//
// The file is built front to back, so object offsets are known as they are
// written. Each finished page goes on into a temporary file beside the
// destination, which replaces the destination only when the export
// finishes, so a failed export never leaves a corrupt file behind nor
// destroys the previous one; an output stream receives the whole file at
// the end. The first error ends the export.

#include "Graphics.h"
#include "zdClass_services.h"

#include <QByteArray>
#include <QDateTime>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class TzdFrame;
class TzdView;
class TzdPDFFont;
class TzdDrawText;
class TzdCustomMemoView;

namespace plat {
class TFont;
}

enum TzdPDFEncBit { ePrint, eModify, eCopy, eAnnot };
using TzdPDFEncBits = plat::TSet<TzdPDFEncBit>;
PLAT_DECLARE_ENUM(TzdPDFEncBit)
PLAT_DECLARE_SET(TzdPDFEncBits)

// What the filter needs of a page: size in pixels, margins in millimetres,
// background colour and page frame.
struct TzdPDFPageInfo {
    long double Width = 0;
    long double Height = 0;
    long double LeftMargin = 0;
    long double TopMargin = 0;
    long double RightMargin = 0;
    long double BottomMargin = 0;
    plat::TColor Color = plat::clNone;
    TzdFrame* Frame = nullptr;
    bool MirrorMargins = false;
};

// One text object for the text route: the box, frame, fill colour and
// hyperlink come from View, the text and its settings from the rest.
struct TzdPDFTextParams {
    TzdView* View = nullptr;
    const plat::TFont* Font = nullptr;
    QStringList Lines; // source lines, one paragraph each
    int HAlign = 0;    // TzdHAlign
    int VAlign = 0;    // TzdVAlign
    long double GapX = 2;
    long double GapY = 1;
    long double CharSpacing = 0;
    long double LineSpacing = 2;
    long double ParagraphGap = 0;
    bool WordWrap = true;
    bool AllowHTMLTags = false;
    bool RTLReading = false;
    bool WordBreak = false;
    bool Clipped = true;
    bool Wysiwyg = true;
    bool Underlines = false;
    int Rotation = 0;
    // The background colour when it is not the view's own (an active
    // highlight's).
    std::optional<plat::TColor> Color;
};

class TzdPDFExport : public TzdCustomExportFilter {
    PLAT_CLASS(TzdPDFExport, TzdCustomExportFilter)
public:
    explicit TzdPDFExport(plat::TComponent* AOwner);
    ~TzdPDFExport() override;

    QString GetMenuCaption() const override;
    // The options dialog, then the save dialog; 1 when both were confirmed,
    // 2 when either was cancelled (options confirmed stay changed).
    int ShowSettingsDialog() override;
    bool StartExport() override;
    void WriteObject(TzdComponent* Obj) override;
    void FinishExport() override;
    void AbortExport() override;
    void ClosePage(TzdReportPage* Page, int Index) override;
    void OpenPage(TzdReportPage* Page, int Index) override;

    // OpenPage with the page's values already read; Index is the page's
    // index among the prepared pages.
    void OpenPageInfo(const TzdPDFPageInfo& Page, int Index);
    // The values OpenPage takes from a report page.
    static TzdPDFPageInfo PageInfoOf(TzdReportPage* Page);

    // Draws one text object through the text route, hyperlink included.
    void WriteTextObject(const TzdPDFTextParams& Params);
    // What the text route takes from a memo: its text and settings, with
    // the font and colour of its first highlight when that is active.
    // Font is set to the font to use, which may be HighlightFont.
    static TzdPDFTextParams TextParamsOf(TzdCustomMemoView* Memo, plat::TFont& HighlightFont);
    // Whether a memo goes to the text route (else it is drawn as a picture).
    bool IsPlainText(TzdCustomMemoView* Memo) const;

    // --- published
    bool Compressed = true;
    bool EmbeddedFonts = false;
    bool EmbedFontsIfProtected = true;
    bool OpenAfterExport = false;
    bool PrintOptimized = false;
    bool Outline = false;
    bool Background = false;
    bool HTMLTags = true;
    int Quality = 95;
    bool Transparency = false;
    QString Title;
    QString Author = QStringLiteral("ZazaDuzudi");
    QString Subject = QStringLiteral("ZazaDuzudi PDF export");
    QString Keywords;
    QString Creator;
    QString Producer;
    QString UserPassword;
    QString OwnerPassword;
    TzdPDFEncBits ProtectionFlags() const { return m_protectionFlags; }
    void SetProtectionFlags(TzdPDFEncBits Value);
    bool HideToolbar = false;
    bool HideMenubar = false;
    bool HideWindowUI = false;
    bool FitWindow = false;
    bool CenterWindow = false;
    bool PrintScaling = false;
    bool PdfA = false;

    int PermissionValue() const { return m_permissionValue; }
    // Problems of the last export that did not stop it (an object that
    // could not be painted, passwords ignored under PDF/A); each also goes
    // to the report's error list.
    QStringList Messages() const;

    // Where the file identifier and the document date come from; replaced
    // by tests that compare whole files.
    std::function<QByteArray()> FileIDSource;
    std::function<QDateTime()> Clock;
    // The number of prepared pages (page-number links are clipped to it);
    // negative: taken from the report's prepared pages.
    int PreparedPageCount = -1;
    // The outline written as bookmarks; nullptr: the report's prepared pages'.
    TzdCustomOutline* OutlineSource = nullptr;

    // The PDF font of a report font, created on first use.
    TzdPDFFont* FindPdfFont(const plat::TFont& Font);

    // --- for the drawing and font units
    struct State;
    State& state() { return *d; }

private:
    void resetExportState();
    // Forgets the export's state and output; the file is not committed, so
    // the previous one stays.
    void dropExport();
    void exportObject(TzdView* View);
    void rasterObject(TzdView* View);
    void paintImage(TzdView* View, long double rw, long double rh, long double dx, long double dy);
    void writeText(const TzdPDFTextParams& Params);
    void writeFonts();
    void writePageTree();
    void writeInfo();
    int writeOutline();
    void writeAnnots();
    void writeCatalog(int outlineRoot);
    void writeXrefAndTrailer(int catalog, int info, int encryption);
    void commitOutput();
    void computeSecurity();
    void writeEncryptionDictionary(int& number);
    void addMessage(const QString& Message);
    void writePdfAObjects();
    int exportedPosition(int preparedIndex) const;
    int preparedPageCount() const;

    TzdPDFEncBits m_protectionFlags{ePrint, eModify, eCopy, eAnnot};
    int m_permissionValue = -4;
    std::unique_ptr<State> d;
};

namespace zd {
// The one writer of real numbers into PDF content: two decimals, '.', half
// away from zero, never "-0.00". Infinity and NaN raise EInvalidOp.
QByteArray pdfNum(long double Value);
// The page colour's component format: "0", "1" or "0.dd" with dd = v*100 div 256.
QByteArray pdfPageColorComponent(int Value);
// A document text: "<FEFF" + four upper-case hex digits per UTF-16 unit + ">".
QByteArray pdfTextString(const QString& Text);
QByteArray pdfEscapeLiteral(const QByteArray& Bytes);

// --- the standard security handler, revision 3
// RC4 with a key of 1 to 256 bytes.
QByteArray rc4(const QByteArray& Key, const QByteArray& Data);
QByteArray md5(const QByteArray& Data);
// A password's bytes in PDFDocEncoding; nullopt when a character has none
// (no viewer could then type the password).
std::optional<QByteArray> pdfDocEncode(const QString& Text);
// The bytes cut to 32, completed with the handler's padding string.
QByteArray pdfPadPassword(const QByteArray& Password);
struct PdfSecurityValues {
    QByteArray EncKey;     // 16 bytes
    QByteArray OwnerEntry; // O
    QByteArray UserEntry;  // U: 16 bytes and 16 zero bytes
};
// The passwords as bytes, P, and the 16 bytes of the file identifier.
PdfSecurityValues pdfComputeSecurity(const QByteArray& OwnerPassword, const QByteArray& UserPassword,
                                     qint32 Permissions, const QByteArray& FileID);
// The RC4 key of one object: MD5 of the file key, the object number's low
// three bytes and generation 0.
QByteArray pdfObjectKey(const QByteArray& EncKey, int Number);

// The XMP packet of a PDF/A file: the template's placeholders replaced by
// the values, each escaped for XML. Time is written with its zone offset.
struct PdfXmpValues {
    QString Title, Author, Subject, Keywords, Creator, Producer;
    QDateTime Time;
    QByteArray FileID;
};
QByteArray pdfXmpPacket(const QByteArray& Template, const PdfXmpValues& Values);
} // namespace zd
