// Text objects as real text: laid out by the shared text layout, each line
// shaped into glyphs of a PDF font.

#include "zdExportPDF.h"
#include "zdExportPDF_p.h"
#include "zdPDFFont.h"

#include "Canvas.h"
#include "Graphics.h"
#include "zdClass_fill.h"
#include "zdClass_highlight.h"
#include "zdClass_memo.h"
#include "zdClass_view.h"
#include "zdDrawText.h"
#include "zdWideStrings.h"

#include <QMutex>

#include <cmath>

using zd::pdfNum;

namespace {

// The export's own lock, taken after the text layout's.
QMutex& pdfLock()
{
    static QMutex lock;
    return lock;
}

int I(long double v)
{
    return int(std::nearbyint(v));
}

// Four upper-case hex digits of a glyph id, appended in place.
void appendGlyphHex(QByteArray& out, quint16 g)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    const char digits[4] = {kHex[(g >> 12) & 0xF], kHex[(g >> 8) & 0xF], kHex[(g >> 4) & 0xF], kHex[g & 0xF]};
    out.append(digits, 4);
}

} // namespace

TzdPDFFont* TzdPDFExport::FindPdfFont(const plat::TFont& Font)
{
    auto& fonts = d->fonts;
    for (auto& f : fonts)
        if (f->Matches(Font))
            return f.get();
    auto font = std::make_unique<TzdPDFFont>(Font);
    font->ResourceName = "/F" + QByteArray::number(qsizetype(fonts.size()));
    fonts.push_back(std::move(font));
    return fonts.back().get();
}

void TzdPDFExport::WriteTextObject(const TzdPDFTextParams& P)
{
    if (!P.View || !P.Font || !d->pageOpen)
        return;
    State& s = *d;
    std::swap(s.out, s.content);
    struct Restore {
        State& s;
        ~Restore() { std::swap(s.out, s.content); }
    } restore{s};

    zdPDFHyperlink(s, P.View, preparedPageCount());
    writeText(P);
}

TzdPDFTextParams TzdPDFExport::TextParamsOf(TzdCustomMemoView* Memo, plat::TFont& HighlightFont)
{
    TzdPDFTextParams p;
    p.View = Memo;
    p.Font = Memo->Font();
    const zd::TWideStrings* lines = Memo->Memo();
    for (int i = 0; i < lines->Count(); ++i)
        p.Lines << lines->Get(i);
    p.HAlign = Memo->HAlign;
    p.VAlign = Memo->VAlign;
    p.GapX = Memo->GapX;
    p.GapY = Memo->GapY;
    p.CharSpacing = Memo->CharSpacing;
    p.LineSpacing = Memo->LineSpacing;
    p.ParagraphGap = Memo->ParagraphGap;
    p.WordWrap = Memo->WordWrap;
    p.AllowHTMLTags = Memo->AllowHTMLTags;
    p.RTLReading = Memo->RTLReading;
    p.WordBreak = Memo->WordBreak;
    p.Clipped = Memo->Clipped;
    p.Wysiwyg = Memo->Wysiwyg;
    p.Underlines = Memo->Underlines;
    // A memo keeps the sign of its angle; -90 is drawn as 270.
    p.Rotation = (Memo->Rotation() % 360 + 360) % 360;
    // Only the first highlight counts here. The memo itself is left as it
    // is: the export must not change the prepared pages it reads.
    TzdHighlightCollection* highlights = Memo->Highlights();
    if (highlights && highlights->Count() > 0) {
        TzdHighlight* h = highlights->GetItem(0);
        if (h && h->Active && h->Font()) {
            HighlightFont.AssignFont(*h->Font());
            p.Font = &HighlightFont;
            p.Color = h->Color();
        }
    }
    return p;
}

bool TzdPDFExport::IsPlainText(TzdCustomMemoView* Memo) const
{
    if (Memo->BrushStyle() > plat::bsClear)
        return false;
    if (Memo->AllowHTMLTags && HTMLTags) {
        const zd::TWideStrings* lines = Memo->Memo();
        for (int i = 0; i < lines->Count(); ++i)
            if (lines->Get(i).contains(u'<'))
                return false;
    }
    return true;
}

void TzdPDFExport::writeText(const TzdPDFTextParams& P)
{
    State& s = *d;
    TzdView* v = P.View;
    TzdFrame* frame = v->Frame();
    const long double L = v->GetAbsLeft(), T = v->GetAbsTop(), W = v->Width(), H = v->Height();
    const long double fw = frame->Width();
    s.line("q");
    s.put(pdfNum(s.X(L - fw)) + ' ' + pdfNum(s.Y(T + H + fw)) + ' ' + pdfNum((2 * fw + W) * 0.75L) + ' ' +
          pdfNum((2 * fw + H) * 0.75L) + " re\r\nW\r\nn\r\n");
    long double boxW = W, boxH = H;
    if (frame->DropShadow) {
        const long double sw = frame->ShadowWidth;
        const QByteArray sc = s.colorText(frame->ShadowColor);
        s.put(sc + " rg\r\n" + sc + " RG\r\n" + pdfNum(s.X(L + W - sw)) + ' ' + pdfNum(s.Y(T + H)) + ' ' +
              pdfNum(sw * 0.75L) + ' ' + pdfNum((H - sw) * 0.75L) + " re\r\nB\r\n" + pdfNum(s.X(L + sw)) + ' ' +
              pdfNum(s.Y(T + H)) + ' ' + pdfNum((W - sw) * 0.75L) + ' ' + pdfNum(sw * 0.75L) + " re\r\nB\r\n");
        boxW -= sw;
        boxH -= sw;
    }

    TzdDrawText& layout = zdSharedDrawText();
    TzdDrawText::Locker layoutLock(layout);
    QMutexLocker ownLock(&pdfLock());

    TzdDrawTextOptions options;
    options.WordWrap = P.WordWrap;
    options.HTMLTags = P.AllowHTMLTags;
    options.RTLReading = P.RTLReading;
    options.WordBreak = P.WordBreak;
    options.Clipped = P.Clipped;
    options.Wysiwyg = P.Wysiwyg;
    options.Rotation = P.Rotation;
    layout.SetFont(*P.Font);
    layout.SetOptions(options);
    layout.SetSpacings(P.ParagraphGap, P.CharSpacing, P.LineSpacing);
    plat::TRect r(I(L) + I(P.GapX), I(T) + I(P.GapY), I(I(L) + W) - I(P.GapX) + 1, I(I(T) + H) - I(P.GapY) + 1);
    if (frame->Typ.contains(ftLeft))
        r.Left += I((fw - 1) / 2);
    if (frame->Typ.contains(ftTop))
        r.Top += I((fw - 1) / 2);
    if (frame->Typ.contains(ftRight))
        r.Right -= I(fw / 2);
    if (frame->Typ.contains(ftBottom))
        r.Bottom -= I(fw / 2);
    layout.SetDimensions(r, r, 1, 1, 1);
    TzdWideStrings source;
    for (const QString& l : P.Lines)
        source.Add(l);
    layout.SetText(source);
    const long double lh = layout.GetLineHeight();

    const plat::TColor background = P.Color ? *P.Color : v->Color();
    if (background != plat::clNone)
        s.put(s.colorText(background) + " rg\r\n" + pdfNum(s.X(L)) + ' ' + pdfNum(s.Y(T + boxH)) + ' ' +
              pdfNum(boxW * 0.75L) + ' ' + pdfNum(boxH * 0.75L) + " re\r\nf\r\n");
    zdPDFDrawFrameLines(s, v);

    const long double z = P.Font->Size();
    const int rot = ((P.Rotation % 360) + 360) % 360;
    const bool sideways = (rot >= 45 && rot <= 135) || (rot >= 225 && rot <= 315);
    if (rot > 0) {
        const long double phi = rot * M_PI / 180;
        const long double sn = std::sin(phi), cs = std::cos(phi);
        long double tx, ty;
        if (rot == 90) {
            tx = s.X((0.8L * z + W) / 2 + L);
            ty = s.Y(T + H / 2);
        } else if (rot == 180) {
            tx = s.X((0.8L * z + W) / 2 + L);
            ty = s.Y(T + H / 2 - P.GapY - (P.Lines.size() == 1 ? 2 : 0));
        } else if (rot == 270) {
            tx = s.X((W - 0.8L * z) / 2 + L);
            ty = s.Y(T + H / 2);
        } else {
            const long double a = sideways ? H : W, b = sideways ? W : H;
            tx = s.X(L + (a * cs + b * sn) / 2);
            ty = s.Y(T + (a * sn + b * cs) / 2);
        }
        s.line(pdfNum(cs) + ' ' + pdfNum(sn) + ' ' + pdfNum(-sn) + ' ' + pdfNum(cs) + ' ' + pdfNum(tx) + ' ' +
               pdfNum(ty) + " cm");
    }
    if (P.Underlines && lh > 0) {
        const int n = int(H / lh);
        for (int i = 0; i < n; ++i) {
            const long double y = s.Y(T + P.GapY + 1 + (i + 1) * lh - P.LineSpacing);
            s.put(s.colorText(frame->Color()) + " RG\r\n" + pdfNum(fw * 0.75L) + " w\r\n" + pdfNum(s.X(L)) + ' ' +
                  pdfNum(y) + " m\r\n" + pdfNum(s.X(L + boxW)) + ' ' + pdfNum(y) + " l\r\nS\r\n");
        }
    }

    const int n = layout.LineCount();
    const bool wholeParagraphs = n == P.Lines.size();
    TzdPDFFont* font = FindPdfFont(*P.Font);
    const bool special = TzdPDFFont::IsSpecialFont(P.Font->Name());
    const bool fakeBold = special && P.Font->Style().contains(plat::fsBold);
    const bool fakeItalic = special && P.Font->Style().contains(plat::fsItalic);
    s.put(font->ResourceName + ' ' + pdfNum(std::trunc((z - z * 0.00357L) * 10) / 10) + " Tf\r\n");
    const plat::TColor fontColor = P.Font->Color() == plat::clNone ? plat::clBlack : P.Font->Color();
    const QByteArray textColor = s.colorText(fontColor);
    s.put(textColor + " rg\r\n");
    const long double cs = P.CharSpacing * 0.75L;
    if (cs != 0)
        s.put(pdfNum(cs) + " Tc\r\n");
    layout.SetSpacings(0, P.CharSpacing, P.LineSpacing);

    for (int i = 0; i < n; ++i) {
        const QString text = layout.Line(i);
        if (text.isEmpty())
            continue;
        const int flags = wholeParagraphs ? (kzdFirstLine | kzdLastLine) : layout.LineFlags(i);
        const long double e = (flags & kzdFirstLine) ? P.ParagraphGap : 0;
        const long double csR = P.HAlign == haRight ? cs : 0;
        const TzdPDFShapedLine shaped = font->ShapeLine(text, P.RTLReading);
        long double wpx = z * shaped.Total / 0.75L / 1000;
        const int c = int(text.size());
        long double x, y, A;
        if (P.Rotation < 1) {
            A = boxW - 2 * P.GapX - e;
            const long double leftX = L + P.GapX + e;
            long double px = leftX;
            switch (P.HAlign) {
            case haRight: px = leftX + A - wpx; break;
            case haCenter: px = leftX + (A - wpx) / 2; break;
            case haBlock:
                if (P.RTLReading && A != 0 && (A - wpx) / A >= 0.05L)
                    px = leftX + A - wpx;
                break;
            default: break;
            }
            x = s.X(px) - (c - 1) * csR;
            const long double dd = T + P.GapY - 0.1L * z;
            const long double C = boxH - 2 * P.GapY;
            long double base;
            switch (P.VAlign) {
            case vaBottom: base = C + dd - (n - i - 1) * lh; break;
            case vaCenter: base = dd + (C - n * lh) / 2 + (i + 1) * lh; break;
            default: base = dd + (i + 1) * lh; break;
            }
            y = s.Y(base - P.LineSpacing);
        } else {
            A = sideways ? boxH : boxW;
            const long double C = sideways ? boxW : boxH;
            long double px;
            switch (P.HAlign) {
            case haRight: px = A / 2 - wpx; break;
            case haCenter: px = -wpx / 2; break;
            default: px = -A / 2; break;
            }
            x = 0.75L * px - (c - 1) * csR;
            long double py;
            switch (P.VAlign) {
            case vaBottom: py = C / 2 - (n - i - 1) * lh; break;
            case vaCenter: py = (i + 1) * lh - n * lh / 2; break;
            default: py = (i + 1) * lh - C / 2; break;
            }
            y = 0.4L * z - 0.75L * py;
        }
        s.put("BT\r\n" + pdfNum(x) + ' ' + pdfNum(y) + " Td\r\n");
        if (fakeItalic)
            s.put("1 0 0.3333 1 " + pdfNum(x) + ' ' + pdfNum(y) + " Tm\r\n");
        if (fakeBold)
            s.put("2 Tr " + pdfNum(z / 35) + " w " + textColor + " RG\r\n");
        const bool lastOfParagraph = flags & kzdLastLine;
        if (P.HAlign == haBlock && !lastOfParagraph && shaped.Blanks > 0) {
            const long double target = (A - 2 * P.GapX - (c - 1) * P.CharSpacing) * 0.75L * 1000 / z;
            const long double j = (shaped.Total - target) / shaped.Blanks;
            wpx = A;
            // Adjust after each blank cluster; fractions carry over.
            QByteArray tj = "[<";
            tj.reserve(qsizetype(shaped.Glyphs.size()) * 6 + 16);
            long double carry = 0;
            for (size_t k = 0; k < shaped.Glyphs.size(); ++k) {
                appendGlyphHex(tj, shaped.Glyphs[k]);
                const int cl = shaped.Clusters[k];
                const bool lastOfCluster = k + 1 == shaped.Glyphs.size() || shaped.Clusters[k + 1] != cl;
                if (lastOfCluster && cl < c && text[cl].unicode() == ' ') {
                    long double whole = std::trunc(j);
                    carry += j - whole;
                    if (std::fabs(carry) > 1) {
                        whole += carry > 0 ? 1 : -1;
                        carry -= carry > 0 ? 1 : -1;
                    }
                    if (whole != 0)
                        tj += ">" + QByteArray::number(qint64(whole)) + "<";
                }
            }
            s.put(tj + ">] TJ\r\nET\r\n");
        } else {
            QByteArray tj = "<";
            tj.reserve(qsizetype(shaped.Glyphs.size()) * 4 + 16);
            for (quint16 g : shaped.Glyphs)
                appendGlyphHex(tj, g);
            s.put(tj + "> Tj\r\nET\r\n");
        }
        if (fakeBold)
            s.put("0 Tr\r\n");
        if (P.Font->Style().contains(plat::fsUnderline)) {
            s.line("[] 0 d");
            s.line(textColor + " RG");
            s.line(pdfNum(z * 0.08L) + " w");
            s.line(pdfNum(x) + ' ' + pdfNum(y - 0.12L * z) + " m");
            s.line(pdfNum(wpx * 0.75L + x) + ' ' + pdfNum(y - 0.12L * z) + " l");
            s.line("S");
        }
        if (P.Font->Style().contains(plat::fsStrikeOut))
            s.put(textColor + " RG\r\n" + pdfNum(z * 0.08L) + " w\r\n" + pdfNum(x) + ' ' + pdfNum(y + 0.28L * z) +
                  " m\r\n" + pdfNum(wpx * 0.75L + x) + ' ' + pdfNum(y + 0.28L * z) + " l\r\nS\r\n");
    }
    s.line("Q");
}
