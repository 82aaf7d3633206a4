// What is drawn is as wide as what was laid out: on every screen scale and
// printer resolution, each drawn line's advances add up to the line's
// 600-dpi width (its characters' advances from the font itself), and a
// justified line's to the full width.
#include "zdDrawText.h"

#include "Canvas.h"
#include "FontEngine.h"
#include "Metafile.h"
#include "zdWideStrings.h"
#include "../TestUtil.h"

#include <cmath>
#include <functional>

#include <gtest/gtest.h>

namespace {

struct TextCall {
    int x = 0, y = 0;
    QString text;
    std::vector<int> dx;
    plat::TFontStyles style;
};

// A printer canvas that keeps its text calls instead of drawing them.
class RecordingPrinterCanvas : public plat::TPrinterCanvas {
public:
    explicit RecordingPrinterCanvas(int dpi) { SetDeviceDPI(dpi, dpi); }
    void ExtTextOut(int x, int y, unsigned, const plat::TRect*, const QString& text, const int* dx,
                    int dxCount) override
    {
        calls.push_back({x, y, text, std::vector<int>(dx, dx + dxCount), Font().Style()});
    }
    std::vector<TextCall> calls;
};

struct Target {
    const char* name;
    long double scale; // device pixels per screen pixel
    int printerDPI;    // 0: a screen (recording) canvas
};

const Target kTargets[] = {{"screen 0.5", 0.5L, 0},  {"screen 1", 1, 0},  {"screen 1.5", 1.5L, 0},
                           {"screen 2", 2, 0},       {"screen 4.17", 4.17L, 0},
                           {"printer 300", 300 / 96.0L, 300}, {"printer 600", 600 / 96.0L, 600}};

const char* const kFamilies[] = {"Arial", "Times New Roman", "Courier New", "Tahoma"};

const QString kText = QStringLiteral(
    "Příliš žluťoučký kůň úpěl ďábelské ódy. The quick brown fox jumps over the lazy dog, 0123456789 times.\n"
    "Výška 12,5 cm; šířka 7 cm - WAVE Tiffany fiflí.");

int round600(long double v) { return int(std::nearbyint(v)); }

// The line's width at 600 dpi from the font's own advances, each character
// followed by the spacing, the last spacing left out.
long double layoutWidth(const QString& family, const QString& line, const std::function<bool(int)>& bold,
                        int spacing600)
{
    plat::FontRequest regular{family};
    plat::FontRequest heavy{family, true};
    const plat::FontFace& r = plat::FontEngine::Instance().Match(regular);
    const plat::FontFace& b = plat::FontEngine::Instance().Match(heavy);
    long double total = 0;
    for (int i = 0; i < line.size(); ++i)
        total += (bold(i) ? b : r).CharAdvance(line[i].unicode(), 83) + spacing600;
    return total - spacing600;
}

struct Case {
    QString family;
    const Target* target;
    long double charSpacing;
    TzdHAlign align;
    bool tags;
    plat::TFontCharset charset;
};

// Lays out and draws one case; checks every line.
void check(const Case& c)
{
    SCOPED_TRACE(QStringLiteral("%1, %2, spacing %3, align %4, tags %5, charset %6")
                     .arg(c.family, QString::fromLatin1(c.target->name))
                     .arg(double(c.charSpacing))
                     .arg(int(c.align))
                     .arg(c.tags)
                     .arg(c.charset)
                     .toStdString());
    const long double s = c.target->scale;
    TzdDrawText layout;
    TzdDrawText::Locker lock(layout);
    plat::TFont font;
    font.SetName(c.family);
    font.SetSize(10);
    font.SetCharset(c.charset);
    layout.SetFont(font);
    TzdDrawTextOptions o;
    o.WordWrap = true;
    o.HTMLTags = c.tags;
    layout.SetOptions(o);
    layout.SetSpacings(0, c.charSpacing, 2);
    const plat::TRect layoutRect(10, 10, 160, 1000);
    const auto px = [s](int v) { return int(std::nearbyint(v * s)); };
    const plat::TRect textRect(px(10), px(10), px(160), px(1000));
    layout.SetDimensions(layoutRect, textRect, s, s, 1);
    TzdWideStrings source;
    QString text = kText;
    if (c.tags)
        text.replace(QStringLiteral("quick brown"), QStringLiteral("<b>quick</b> <b>brown</b>"));
    for (const QString& line : text.split(QLatin1Char('\n')))
        source.Add(line);
    layout.SetText(source);
    ASSERT_GT(layout.LineCount(), 3);

    std::vector<TextCall> calls;
    if (c.target->printerDPI) {
        RecordingPrinterCanvas printer(c.target->printerDPI);
        printer.Font().SetPixelsPerInch(c.target->printerDPI);
        printer.Font().SetSize(8);
        const int height = printer.Font().Height();
        layout.DrawText(printer, c.align, vaTop);
        calls = printer.calls;
        EXPECT_EQ(printer.Font().Height(), height); // the printer's font is given back
    } else {
        plat::TMetafile mf;
        {
            plat::TMetafileCanvas canvas(mf);
            layout.DrawText(canvas, c.align, vaTop);
        }
        for (const auto& r : mf.Records())
            if (r.op == plat::MetaOp::Text)
                calls.push_back({r.pts[0], r.pts[1], r.text, r.dx, r.fontStyle});
    }

    const int spacing600 = round600(c.charSpacing * 6.25L);
    const int spacing = int(std::nearbyint(c.charSpacing * s));
    size_t call = 0;
    for (int i = 0; i < layout.LineCount(); ++i) {
        const QString line = layout.Line(i);
        // The line's runs: calls until their texts make the line.
        QString drawnText;
        long long advances = 0;
        std::vector<bool> boldChars;
        while (call < calls.size() && drawnText.size() < line.size()) {
            drawnText += calls[call].text;
            for (int d : calls[call].dx)
                advances += d;
            for (int k = 0; k < calls[call].text.size(); ++k)
                boldChars.push_back(calls[call].style.contains(plat::fsBold));
            ++call;
        }
        ASSERT_EQ(drawnText, line) << "line " << i;
        const long double w600 = layoutWidth(c.family, line, [&](int k) { return bool(boldChars[size_t(k)]); },
                                             spacing600);
        const int laidOut = c.target->printerDPI ? int(std::nearbyint(w600 / (600.0L / c.target->printerDPI)))
                                                 : int(std::nearbyint(w600 / 6.25L * s));
        const bool justified = c.align == haBlock && !(layout.LineFlags(i) & kzdLastLine) && line.contains(' ');
        const int expected = (justified ? textRect.Width() : laidOut) + spacing;
        EXPECT_EQ(advances, expected) << "line " << i << " \"" << line.toStdString() << "\"";
    }
    EXPECT_EQ(call, calls.size());
}

} // namespace

TEST(zdDrawTextWysiwyg, DrawnLinesAreAsWideAsLaidOut)
{
    for (const char* family : kFamilies)
        for (const Target& target : kTargets)
            for (long double spacing : {0.0L, 0.7L})
                for (TzdHAlign align : {haLeft, haBlock})
                    check({QString::fromLatin1(family), &target, spacing, align, false, plat::DEFAULT_CHARSET});
}

TEST(zdDrawTextWysiwyg, TaggedRunsAndEightBitTextToo)
{
    for (const char* family : kFamilies)
        for (const Target& target : kTargets) {
            check({QString::fromLatin1(family), &target, 0, haLeft, true, plat::DEFAULT_CHARSET});
            check({QString::fromLatin1(family), &target, 0.7L, haBlock, false, plat::EASTEUROPE_CHARSET});
        }
}
