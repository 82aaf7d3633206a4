#include "zdExportPDF.h"
#include "zdExportPDF_p.h"
#include "zdPDFFont.h"

#include "Exceptions.h"
#include "Graphics.h"
#include "Services.h"
#include "Streams.h"
#include "zdClass.h"
#include "zdClass_fill.h"
#include "zdClass_page.h"
#include "zdClass_view.h"
#include "zdRes.h"
#include "zdZLib.h"
#include "zdrcExports.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QUuid>

#include <cmath>

PLAT_DEFINE_ENUM(TzdPDFEncBit, "ePrint", "eModify", "eCopy", "eAnnot")
PLAT_DEFINE_SET(TzdPDFEncBits, TzdPDFEncBit)

PLAT_DEFINE_CLASS(TzdPDFExport, c)
{
    c.property("Compressed", &TzdPDFExport::Compressed).defaultValue(true);
    c.property("EmbeddedFonts", &TzdPDFExport::EmbeddedFonts).defaultValue(false);
    c.property("EmbedFontsIfProtected", &TzdPDFExport::EmbedFontsIfProtected).defaultValue(true);
    c.property("OpenAfterExport", &TzdPDFExport::OpenAfterExport).defaultValue(false);
    c.property("PrintOptimized", &TzdPDFExport::PrintOptimized);
    c.property("Outline", &TzdPDFExport::Outline);
    c.property("Background", &TzdPDFExport::Background);
    c.property("HTMLTags", &TzdPDFExport::HTMLTags);
    c.property("Quality", &TzdPDFExport::Quality);
    c.property("Transparency", &TzdPDFExport::Transparency);
    c.property<plat::ti::WideString>("Title", &TzdPDFExport::Title);
    c.property<plat::ti::WideString>("Author", &TzdPDFExport::Author);
    c.property<plat::ti::WideString>("Subject", &TzdPDFExport::Subject);
    c.property<plat::ti::WideString>("Keywords", &TzdPDFExport::Keywords);
    c.property<plat::ti::WideString>("Creator", &TzdPDFExport::Creator);
    c.property<plat::ti::WideString>("Producer", &TzdPDFExport::Producer);
    c.property("UserPassword", &TzdPDFExport::UserPassword);
    c.property("OwnerPassword", &TzdPDFExport::OwnerPassword);
    c.property("ProtectionFlags", &TzdPDFExport::ProtectionFlags, &TzdPDFExport::SetProtectionFlags);
    c.property("HideToolbar", &TzdPDFExport::HideToolbar);
    c.property("HideMenubar", &TzdPDFExport::HideMenubar);
    c.property("HideWindowUI", &TzdPDFExport::HideWindowUI);
    c.property("FitWindow", &TzdPDFExport::FitWindow);
    c.property("CenterWindow", &TzdPDFExport::CenterWindow);
    c.property("PrintScaling", &TzdPDFExport::PrintScaling);
    c.property("PdfA", &TzdPDFExport::PdfA);
}

namespace zd {

QByteArray pdfNum(long double Value)
{
    if (!std::isfinite(Value))
        throw plat::EInvalidOp(QStringLiteral("Invalid floating point operation"));
    long double scaled = std::round(Value * 100.0L); // half away from zero
    if (scaled == 0)
        return QByteArrayLiteral("0.00");
    const bool negative = scaled < 0;
    unsigned long long whole = (unsigned long long)std::fabs(scaled);
    // Digits from the right into a buffer, then one allocation.
    char digits[32];
    char* p = digits + sizeof digits;
    *--p = char('0' + whole % 10);
    whole /= 10;
    *--p = char('0' + whole % 10);
    whole /= 10;
    *--p = '.';
    do {
        *--p = char('0' + whole % 10);
        whole /= 10;
    } while (whole != 0);
    if (negative)
        *--p = '-';
    return QByteArray(p, qsizetype(digits + sizeof digits - p));
}

QByteArray pdfPageColorComponent(int Value)
{
    if (Value < 1)
        return "0";
    if (Value > 254)
        return "1";
    const int hundredths = Value * 100 / 256;
    QByteArray text = "0.";
    text += char('0' + hundredths / 10);
    text += char('0' + hundredths % 10);
    return text;
}

QByteArray pdfTextString(const QString& Text)
{
    QByteArray out = "<FEFF";
    for (QChar ch : Text)
        out += QByteArray::number(ch.unicode(), 16).toUpper().rightJustified(4, '0');
    out += '>';
    return out;
}

QByteArray pdfEscapeLiteral(const QByteArray& Bytes)
{
    QByteArray out;
    out.reserve(Bytes.size());
    for (char b : Bytes) {
        switch (b) {
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '(': out += "\\("; break;
        case ')': out += "\\)"; break;
        case '\\': out += "\\\\"; break;
        default: out += b;
        }
    }
    return out;
}

} // namespace zd

namespace {

QByteArray deflate(const QByteArray& data)
{
    return zdDeflateBytes(data, zlQuick);
}

QByteArray newFileID()
{
    const QByteArray guid = QUuid::createUuid().toString(QUuid::WithBraces).toUpper().toLatin1();
    return QCryptographicHash::hash(guid, QCryptographicHash::Md5).toHex();
}

// 8.3 x 2 digits, as the cross-reference table wants them.
QByteArray offsetText(qint64 offset)
{
    return QByteArray::number(offset).rightJustified(10, '0');
}

} // namespace

void TzdPDFExport::State::streamObject(const QByteArray& data, bool openDict, bool compress)
{
    if (openDict)
        put("<<");
    const QByteArray body = encrypt(compress ? deflate(data) : data, currentObject);
    put("/Length " + QByteArray::number(body.size()));
    if (compress)
        put("/Filter/FlateDecode");
    line(">>");
    line("stream");
    reserveMore(body.size() + 1);
    out += body;
    out += '\n';
    line("endstream");
    line("endobj");
}

QByteArray TzdPDFExport::State::colorText(plat::TColor color)
{
    if (color == 0)
        return "0 0 0";
    if (color == plat::clWhite)
        return "1 1 1";
    if (color == lastColor)
        return lastColorText;
    const plat::TColor rgb = plat::ColorToRGB(color);
    const int r = rgb & 0xFF, g = (rgb >> 8) & 0xFF, b = (rgb >> 16) & 0xFF;
    lastColor = color;
    lastColorText = zd::pdfNum(r / 255.0L) + ' ' + zd::pdfNum(g / 255.0L) + ' ' + zd::pdfNum(b / 255.0L);
    return lastColorText;
}

// ---------------------------------------------------------------------------

TzdPDFExport::TzdPDFExport(plat::TComponent* AOwner) : TzdCustomExportFilter(AOwner), d(std::make_unique<State>())
{
    zd::startExportsResourcesUnit();
    SetProtectionFlags(m_protectionFlags);
}

TzdPDFExport::~TzdPDFExport()
{
    resetExportState();
}

TzdPDFPageInfo TzdPDFExport::PageInfoOf(TzdReportPage* Page)
{
    TzdPDFPageInfo info;
    info.Width = Page->Width();
    info.Height = Page->Height();
    info.LeftMargin = Page->LeftMargin;
    info.TopMargin = Page->TopMargin;
    info.RightMargin = Page->RightMargin;
    info.BottomMargin = Page->BottomMargin;
    info.Color = Page->Color();
    info.Frame = Page->Frame();
    info.MirrorMargins = Page->MirrorMargins;
    return info;
}

void TzdPDFExport::SetProtectionFlags(TzdPDFEncBits Value)
{
    m_protectionFlags = Value;
    int bits = 0;
    for (TzdPDFEncBit b : {ePrint, eModify, eCopy, eAnnot})
        if (Value.contains(b))
            bits |= 1 << int(b);
    m_permissionValue = bits * 4 - 64;
}

QStringList TzdPDFExport::Messages() const
{
    return d->messages;
}

void TzdPDFExport::addMessage(const QString& Message)
{
    d->messages.append(Message);
    if (Report)
        Report->AddErrors({Message});
}

QString TzdPDFExport::GetMenuCaption() const
{
    return zdGetResources()->GetText(QStringLiteral("PDFexport"));
}

void TzdPDFExport::resetExportState()
{
    d->fonts.clear();
    d->pageHeights.clear();
    d->pagePrepared.clear();
    d->annots.clear();
    d->objectOffsets.clear();
    d->pageObjects.clear();
    d->pageAnnotRefs.clear();
    d->dropPendingObjects();
    d->imageTable.clear();
    d->pageImages.clear();
}

bool TzdPDFExport::StartExport()
{
    if (FileName.isEmpty() && !OutputStream)
        return false;
    if (!FileName.isEmpty() && QFileInfo(FileName).fileName() == FileName && !DefaultPath.isEmpty())
        FileName = QDir(DefaultPath).filePath(FileName);
    d->messages.clear();
    d->encrypting = !OwnerPassword.isEmpty() || !UserPassword.isEmpty();
    if (PdfA) {
        if (d->encrypting)
            addMessage(QStringLiteral("PDF/A files cannot be encrypted: the passwords were not used"));
        d->encrypting = false;
        EmbeddedFonts = true;
    }
    // Passwords are checked before anything is created.
    d->fileID = FileIDSource ? FileIDSource() : newFileID();
    if (d->encrypting)
        computeSecurity();
    d->file.reset();
    d->out.clear();
    d->pieces.clear();
    d->handedOver = 0;
    d->writeFailed.clear();
    d->content.clear();
    d->pageOpen = false;
    // An empty memory stream takes the file as one block at the end: it
    // grows in place page by page instead of in pieces copied together.
    auto* memory = dynamic_cast<plat::TMemoryStream*>(OutputStream.get());
    d->keepWhole = memory && memory->Size() == 0 && memory->Position() == 0;
    if (!OutputStream) {
        auto file = std::make_unique<QSaveFile>(FileName);
        if (!file->open(QIODevice::WriteOnly))
            throw plat::EFCreateError(
                QStringLiteral("Cannot create file \"%1\". %2").arg(FileName, file->errorString()));
        d->file = std::move(file);
    }
    resetExportState();
    d->compressed = Compressed;
    d->embedFonts = EmbeddedFonts || (d->encrypting && EmbedFontsIfProtected);
    d->lastColor = 0;
    d->lastColorText = "0 0 0";
    d->put("%PDF-1.5");
    d->line("\x25\xE2\xE3\xCF\xD3");
    d->allocate(); // the page tree, written last
    d->started = true;
    return true;
}

void TzdPDFExport::OpenPage(TzdReportPage* Page, int Index)
{
    if (!Page)
        throw plat::Exception(QStringLiteral("The PDF export has no page to open"));
    OpenPageInfo(PageInfoOf(Page), Index);
}

namespace {

struct FrameSideGeometry {
    long double xl, xr, yt, yb, lw, rw, tw, bw;
};

void pageFrameGroup(TzdPDFExport::State& s, TzdFrameLine* line, long double x1, long double y1, long double x2,
                    long double y2)
{
    s.line(s.colorText(line->Color) + " RG");
    s.line(zd::pdfDashPattern(line->Style, line->Width));
    s.line(zd::pdfNum(line->Width * 0.75L) + " w");
    s.line(zd::pdfNum(x1) + ' ' + zd::pdfNum(y1) + " m");
    s.line(zd::pdfNum(x2) + ' ' + zd::pdfNum(y2) + " l");
    s.line("S");
}

void writePageFrame(TzdPDFExport::State& s, TzdFrame* frame, const FrameSideGeometry& g)
{
    const auto& [xl, xr, yt, yb, lw, rw, tw, bw] = g;
    for (TzdFrameType side : {ftLeft, ftRight, ftTop, ftBottom}) {
        if (!frame->Typ.contains(side))
            continue;
        TzdFrameLine* l = frame->Line(side);
        if (l->Style != fsDouble) {
            switch (side) {
            case ftLeft: pageFrameGroup(s, l, xl, yt, xl, yb); break;
            case ftRight: pageFrameGroup(s, l, xr, yt, xr, yb); break;
            case ftTop: pageFrameGroup(s, l, xl, yt, xr, yt); break;
            case ftBottom: pageFrameGroup(s, l, xl, yb, xr, yb); break;
            }
            continue;
        }
        switch (side) {
        case ftLeft:
            pageFrameGroup(s, l, xl - lw, yt + tw, xl - lw, yb - bw);
            pageFrameGroup(s, l, xl + lw, yt - tw, xl + lw, yb + bw);
            break;
        case ftRight:
            pageFrameGroup(s, l, xr - rw, yt - tw, xr - rw, yb + bw);
            pageFrameGroup(s, l, xr + rw, yt + tw, xr + rw, yb - bw);
            break;
        case ftTop:
            pageFrameGroup(s, l, xl - 1.5L * lw, yt + tw, xr + 1.5L * rw, yt + tw);
            pageFrameGroup(s, l, xl + 0.5L * lw, yt - tw, xr - 0.5L * rw, yt - tw);
            break;
        case ftBottom:
            pageFrameGroup(s, l, xl - 1.5L * lw, yb - bw, xr + 1.5L * rw, yb - bw);
            pageFrameGroup(s, l, xl + 0.5L * lw, yb + bw, xr - 0.5L * rw, yb + bw);
            break;
        }
    }
}

constexpr long double kPointsPerMm = 72.0L / 25.4L;
constexpr long double kPixelsPerMm = 3.77953L; // zd01cm / 10

} // namespace

void TzdPDFExport::OpenPageInfo(const TzdPDFPageInfo& Page, int Index)
{
    State& s = *d;
    s.pageHeights.push_back(Page.Height * 0.75L);
    s.pagePrepared.push_back(Index);
    s.pageIndex = Index;
    s.pageWidthPt = Page.Width * 0.75L;
    s.pageHeightPt = Page.Height * 0.75L;
    s.marginShiftX = Page.LeftMargin * 0.05L;
    s.marginShiftY = Page.TopMargin * 0.05L;
    // Images of a page left open go to the file as they would have.
    s.writePendingObjects(true);
    s.imageUses.clear();
    s.content.clear();
    s.pageImages.clear();
    s.pageOpen = true;

    // The page's own drawing goes to the content stream, not the file.
    std::swap(s.out, s.content);
    if (Page.Color != plat::clNone) {
        const plat::TColor rgb = plat::ColorToRGB(Page.Color);
        const QByteArray c = zd::pdfPageColorComponent(rgb & 0xFF) + ' ' +
                             zd::pdfPageColorComponent((rgb >> 8) & 0xFF) + ' ' +
                             zd::pdfPageColorComponent((rgb >> 16) & 0xFF);
        const QByteArray L = zd::pdfNum(Page.LeftMargin * kPointsPerMm);
        const QByteArray B = zd::pdfNum(Page.BottomMargin * kPointsPerMm);
        const QByteArray Rt = zd::pdfNum(s.pageWidthPt - Page.RightMargin * kPointsPerMm);
        const QByteArray T = zd::pdfNum(s.pageHeightPt - Page.TopMargin * kPointsPerMm);
        s.line(zd::pdfNum(0) + " w");
        s.line(c + " RG");
        s.line(c + " rg");
        s.line(L + ' ' + B + " m");
        s.line(Rt + ' ' + B + " l");
        s.line(Rt + ' ' + T + " l");
        s.line(L + ' ' + T + " l");
        s.line("B");
    }
    TzdFrame* frame = Page.Frame;
    if (frame && !frame->Typ.empty() && frame->Color() != plat::clNone) {
        long double left = Page.LeftMargin, right = Page.RightMargin;
        if (Page.MirrorMargins && Index % 2 == 1)
            std::swap(left, right);
        FrameSideGeometry g;
        g.xl = left * kPixelsPerMm * 0.75L;
        g.xr = (Page.Width - right * kPixelsPerMm) * 0.75L;
        g.yt = (Page.Height - Page.TopMargin * kPixelsPerMm) * 0.75L;
        g.yb = Page.BottomMargin * kPixelsPerMm * 0.75L;
        g.lw = frame->LeftLine()->Width * 0.75L;
        g.rw = frame->RightLine()->Width * 0.75L;
        g.tw = frame->TopLine()->Width * 0.75L;
        g.bw = frame->BottomLine()->Width * 0.75L;
        writePageFrame(s, frame, g);
    }
    std::swap(s.out, s.content);
}

void TzdPDFExport::WriteObject(TzdComponent* Obj)
{
    auto* view = dynamic_cast<TzdView*>(Obj);
    if (!view || !view->Visibility().contains(vsExport) || !d->pageOpen)
        return;
    std::swap(d->out, d->content);
    struct Restore {
        State& s;
        ~Restore() { std::swap(s.out, s.content); }
    } restore{*d};
    exportObject(view);
}

void TzdPDFExport::ClosePage(TzdReportPage*, int)
{
    State& s = *d;
    if (!s.pageOpen)
        return;
    s.pageOpen = false;
    // The page's images before its content, which then learns their names.
    s.writePendingObjects(true);
    s.placeImageNames();
    const int n = s.allocate();
    s.header(n);
    s.streamObject(s.content, true, s.compressed);
    s.content.clear();
    for (auto& font : s.fonts)
        if (!font->Numbered) {
            font->ObjectNumber = s.allocate();
            font->Numbered = true;
        }
    const int p = s.allocate();
    s.pageObjects.push_back(p);
    s.header(p);
    s.line("<<");
    s.line("/Type /Page");
    s.line("/Parent 1 0 R");
    s.line("/MediaBox [0 0 " + zd::pdfNum(s.pageWidthPt) + ' ' + zd::pdfNum(s.pageHeightPt) + " ]");
    if (!s.pageAnnotRefs.isEmpty()) {
        s.line("/Annots [");
        s.put(s.pageAnnotRefs);
        s.line("]");
        s.pageAnnotRefs.clear();
    }
    s.line("/Group << /Type /Group /S /Transparency /CS /DeviceRGB >>");
    s.line("/Resources <<");
    s.put("/Font << ");
    for (auto& font : s.fonts)
        s.put(font->ResourceName + ' ' + zd::ref(font->ObjectNumber) + ' ');
    s.line(">>");
    if (!s.pageImages.empty()) {
        s.put("/XObject << ");
        for (int k : s.pageImages)
            s.put("/Im" + QByteArray::number(k) + ' ' + zd::ref(s.imageTable[size_t(k)].number) + ' ');
        s.line(">>");
    }
    s.line("/ProcSet [/PDF /Text /ImageC ]");
    s.line(">>");
    s.line("/Contents " + zd::ref(n));
    s.line(">>");
    s.line("endobj");
    // Images are shared within one page only; indices keep rising.
    for (State::ImageRecord& record : s.imageTable)
        record = {};
    s.pageImages.clear();
    // The finished page leaves memory: a long report never holds its whole
    // file at once.
    s.flushOut(FileName);
}

int TzdPDFExport::exportedPosition(int preparedIndex) const
{
    const auto& pages = d->pagePrepared;
    const auto it = std::find(pages.begin(), pages.end(), preparedIndex);
    return it == pages.end() ? -1 : int(it - pages.begin());
}

void TzdPDFExport::writeFonts()
{
    for (auto& font : d->fonts)
        font->WriteFontObjects(*d);
}

void TzdPDFExport::writePageTree()
{
    State& s = *d;
    s.place(1);
    s.header(1);
    s.line("<<");
    s.line("/Type /Pages");
    s.put("/Kids [");
    for (int p : s.pageObjects)
        s.put(zd::ref(p) + ' ');
    s.line("]");
    s.line("/Count " + QByteArray::number(qsizetype(s.pageObjects.size())));
    s.line(">>");
    s.line("endobj");
}

void TzdPDFExport::writeInfo()
{
    State& s = *d;
    const int i = s.allocate();
    s.header(i);
    s.line("<<");
    s.line("/Title " + s.textString(Title, i));
    s.line("/Author " + s.textString(Author, i));
    s.line("/Subject " + s.textString(Subject, i));
    s.line("/Keywords " + s.textString(Keywords, i));
    s.line("/Creator " + s.textString(Creator, i));
    s.line("/Producer " + s.textString(Producer, i));
    const QDateTime now = Clock ? Clock() : QDateTime::currentDateTime();
    const QByteArray date = "D:" + now.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1();
    const QByteArray dateText = s.encrypting ? s.textString(QString::fromLatin1(date), i) : "(" + date + ")";
    s.line("/CreationDate " + dateText);
    s.line("/ModDate " + dateText);
    s.line(">>");
    s.line("endobj");
}

namespace {

struct OutlineNode {
    QString title;
    int page = -1; // exported position
    int top = 0;
    std::vector<OutlineNode> children;
    int number = 0;
};

void collectOutline(TzdCustomOutline& outline, std::vector<OutlineNode>& into,
                    const std::function<int(int)>& exportedPosition)
{
    const int count = outline.ItemCount();
    for (int i = 0; i < count; ++i) {
        OutlineNode node;
        int page = 0, top = 0;
        outline.ReadItem(i, node.title, page, top);
        node.page = exportedPosition(page);
        if (node.page < 0)
            continue; // left out with its whole subtree
        node.top = top;
        outline.LevelInto(i);
        collectOutline(outline, node.children, exportedPosition);
        outline.LevelUp();
        into.push_back(std::move(node));
    }
}

void numberOutline(std::vector<OutlineNode>& nodes, int& next)
{
    for (auto& n : nodes) {
        n.number = next++;
        numberOutline(n.children, next);
    }
}

void writeOutlineNodes(TzdPDFExport::State& s, std::vector<OutlineNode>& nodes, int parent)
{
    for (size_t k = 0; k < nodes.size(); ++k) {
        OutlineNode& n = nodes[k];
        s.allocate();
        s.header(n.number);
        s.line("<<");
        s.line("/Title " + s.textString(n.title, n.number));
        s.line("/Parent " + zd::ref(parent));
        if (k > 0)
            s.line("/Prev " + zd::ref(nodes[k - 1].number));
        if (k + 1 < nodes.size())
            s.line("/Next " + zd::ref(nodes[k + 1].number));
        if (!n.children.empty()) {
            s.line("/First " + zd::ref(n.children.front().number));
            s.line("/Last " + zd::ref(n.children.back().number));
            s.line("/Count " + QByteArray::number(qsizetype(n.children.size())));
        }
        const long double top = std::nearbyint(s.pageHeights[size_t(n.page)] - n.top * 0.75L);
        s.line("/Dest [" + QByteArray::number(s.pageObjects[size_t(n.page)]) + " 0 R /XYZ 0 " +
               QByteArray::number(qint64(top)) + " 0]");
        s.line(">>");
        s.line("endobj");
        writeOutlineNodes(s, n.children, n.number);
    }
}

} // namespace

int TzdPDFExport::writeOutline()
{
    TzdCustomPreviewPages* pages = Report ? Report->ActivePreviewPages() : nullptr;
    TzdCustomOutline* outline = OutlineSource ? OutlineSource : (pages ? pages->Outline() : nullptr);
    if (!outline)
        return 0;
    std::vector<OutlineNode> roots;
    outline->LevelRoot();
    collectOutline(*outline, roots, [this](int page) { return exportedPosition(page); });
    outline->LevelRoot();
    if (roots.empty())
        return 0;
    State& s = *d;
    const int root = s.allocate();
    int next = root + 1;
    numberOutline(roots, next);
    s.header(root);
    s.line("<<");
    s.line("/Type /Outlines");
    s.line("/Count " + QByteArray::number(qsizetype(roots.size())));
    s.line("/First " + zd::ref(roots.front().number));
    s.line("/Last " + zd::ref(roots.back().number));
    s.line(">>");
    s.line("endobj");
    writeOutlineNodes(s, roots, root);
    return root;
}

void TzdPDFExport::writeAnnots()
{
    State& s = *d;
    for (const TzdPDFAnnot& a : s.annots) {
        s.place(a.Number);
        s.header(a.Number);
        s.line("<<");
        s.line("/Type /Annot");
        s.line("/Subtype /Link");
        s.line("/Rect [" + a.Rect + "]");
        if (!a.Hyperlink.isEmpty()) {
            s.line("/BS << /W 0 >>");
            s.line("/A <<");
            // Encrypted: the raw bytes are encrypted, then escaped.
            s.line("/URI " + (s.encrypting ? s.literal(a.HyperlinkBytes, a.Number) : a.Hyperlink));
            s.line("/Type /Action");
            s.line("/S /URI");
            s.line(">>");
        } else {
            // Links name prepared pages; only an exported page is a target.
            const int k = exportedPosition(a.TargetPageIndex);
            if (k >= 0) {
                s.line("/Border [16 16 0]");
                s.line("/Dest [" + QByteArray::number(s.pageObjects[size_t(k)]) + " 0 R /XYZ null " +
                       QByteArray::number(a.TargetTop) + " null]");
            }
        }
        s.line(">>");
        s.line("endobj");
    }
}

void TzdPDFExport::writeCatalog(int outlineRoot)
{
    State& s = *d;
    const int c = s.allocate();
    s.header(c);
    s.line("<<");
    s.line("/Type /Catalog");
    s.line("/Version /1.5");
    s.line("/MarkInfo << /Marked true >>");
    s.line("/Pages " + zd::ref(1));
    s.line(Outline ? "/PageMode /UseOutlines" : "/PageMode /UseNone");
    if (outlineRoot)
        s.line("/Outlines " + zd::ref(outlineRoot));
    if (PdfA) {
        s.line("/Metadata " + zd::ref(s.metadataObject));
        s.line("/OutputIntents [ " + zd::ref(s.outputIntentObject) + " ]");
        s.line("/StructTreeRoot " + zd::ref(s.structTreeRootObject));
    }
    s.line("/ViewerPreferences <<");
    if (!Title.isEmpty())
        s.line("/DisplayDocTitle true");
    if (HideToolbar)
        s.line("/HideToolbar true");
    if (HideMenubar)
        s.line("/HideMenubar true");
    if (HideWindowUI)
        s.line("/HideWindowUI true");
    if (FitWindow)
        s.line("/FitWindow true");
    if (CenterWindow)
        s.line("/CenterWindow true");
    // The entry takes a name: readers ignore a Boolean here.
    if (!PrintScaling)
        s.line("/PrintScaling /None");
    s.line(">>");
    s.line(">>");
    s.line("endobj");
}

void TzdPDFExport::writeXrefAndTrailer(int catalog, int info, int encryption)
{
    State& s = *d;
    const qint64 x = s.offset();
    const QByteArray size = QByteArray::number(qsizetype(s.objectOffsets.size()) + 1);
    s.line("xref");
    s.line("0 " + size);
    s.line("0000000000 65535 f");
    for (qint64 offset : s.objectOffsets)
        s.line(offsetText(offset) + " 00000 n");
    s.line("trailer");
    s.line("<<");
    s.line("/Size " + size);
    s.line("/Root " + zd::ref(catalog));
    s.line("/Info " + zd::ref(info));
    s.line("/ID [<" + s.fileID + "><" + s.fileID + ">]");
    if (encryption)
        s.line("/Encrypt " + zd::ref(encryption));
    s.line(">>");
    s.line("startxref");
    s.line(QByteArray::number(x));
    s.line("%%EOF");
}

void TzdPDFExport::State::flushOut(const QString& fileName)
{
    if (out.isEmpty())
        return;
    if (file) {
        // After a failed write the file is never committed, and every later
        // hand-over fails the same way.
        // The device's own buffer is emptied at once: a write that fails
        // there would otherwise surface only as the file is closed, which
        // the commit does not check.
        if (writeFailed.isEmpty() && (file->write(out) != out.size() || !file->flush()))
            writeFailed = QStringLiteral("Cannot write file \"%1\". %2").arg(fileName, file->errorString());
        if (!writeFailed.isEmpty())
            throw plat::EWriteError(writeFailed);
        handedOver += out.size();
        // The buffer is kept for the next page: its memory is already there.
        out.truncate(0);
        return;
    }
    if (keepWhole)
        return;
    handedOver += out.size();
    pieces.push_back(std::move(out));
    out = QByteArray();
}

void TzdPDFExport::commitOutput()
{
    State& s = *d;
    s.flushOut(FileName);
    if (OutputStream) {
        // The stream receives the file only now, whole: a failed export
        // leaves it as it was.
        auto* memory = dynamic_cast<plat::TMemoryStream*>(OutputStream.get());
        if (s.keepWhole && memory && memory->Size() == 0 && memory->Position() == 0) {
            memory->setBytes(std::move(s.out));
            s.out = QByteArray();
            memory->Seek(0, plat::soEnd);
            return;
        }
        if (s.keepWhole) {
            // Written to meanwhile: the file goes after what is there.
            s.pieces.push_back(std::move(s.out));
            s.out = QByteArray();
        }
        if (memory && memory->Size() == 0 && memory->Position() == 0) {
            QByteArray whole;
            whole.reserve(s.handedOver);
            for (QByteArray& piece : s.pieces) {
                whole += piece;
                piece = QByteArray();
            }
            s.pieces.clear();
            memory->setBytes(std::move(whole));
            memory->Seek(0, plat::soEnd);
            return;
        }
        for (QByteArray& piece : s.pieces) {
            OutputStream->WriteBuffer(piece.constData(), piece.size());
            piece = QByteArray();
        }
        s.pieces.clear();
        return;
    }
    if (!s.file->commit()) {
        const QString reason = s.file->errorString();
        s.file.reset();
        throw plat::EWriteError(QStringLiteral("Cannot write file \"%1\". %2").arg(FileName, reason));
    }
    s.file.reset();
}

void TzdPDFExport::dropExport()
{
    resetExportState();
    d->out.clear();
    d->pieces.clear();
    d->handedOver = 0;
    d->file.reset(); // when not committed, the previous file stays
}

void TzdPDFExport::AbortExport()
{
    if (!d->started)
        return;
    d->started = false;
    dropExport();
}

void TzdPDFExport::FinishExport()
{
    State& s = *d;
    if (!s.started)
        return;
    s.started = false;
    struct Cleanup {
        TzdPDFExport& f;
        ~Cleanup() { f.dropExport(); }
    } cleanup{*this};
    s.writePendingObjects(true); // of a page left open
    // A failed image fails the export: the previous file stays.
    s.raiseImageFailure();
    if (s.pageObjects.empty())
        throw plat::Exception(QStringLiteral("No page to export: the page range is beyond the report"));
    writeFonts();
    writePageTree();
    if (PdfA)
        writePdfAObjects();
    writeInfo();
    const int info = int(s.objectOffsets.size());
    int encryption = 0;
    if (s.encrypting)
        writeEncryptionDictionary(encryption);
    const int outlineRoot = Outline ? writeOutline() : 0;
    if (!s.annots.empty())
        writeAnnots();
    writeCatalog(outlineRoot);
    const int catalog = int(s.objectOffsets.size());
    writeXrefAndTrailer(catalog, info, encryption);
    commitOutput();
    if (OpenAfterExport && !OutputStream)
        plat::Services().ShellOpen(FileName);
}
