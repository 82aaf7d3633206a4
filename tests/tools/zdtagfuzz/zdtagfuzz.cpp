// Fuzz entry: tag soup through the memo text layout. The first byte picks
// the options (tags, word wrap, hyphenation, rotation, spacings), the second
// the width; the rest is UTF-8 text whose line breaks separate paragraphs.
// Nothing may crash, hang or leak, and:
// - expanding a paragraph leaves one record per remaining character, each
//   pointing at that very character in the source, positions increasing;
// - the laid-out lines keep one record group each, and the records' source
//   positions never go back;
// - the part that does not fit lays out again.
// A colour that is not hexadecimal raises EConvertError: an answer, not a
// crash.

#include "Canvas.h"
#include "Exceptions.h"
#include "Metafile.h"
#include "zdDrawText.h"
#include "zdHTMLTags.h"
#include "zdUtils.h"
#include "zdWideStrings.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "zdtagfuzz: %s\n", what);
    std::abort();
}

void checkExpanded(const QStringList& paragraphs, bool tagsOn)
{
    TzdHTMLTagsList list;
    list.TagsEnabled = tagsOn;
    list.Init(plat::clBlack, 10, {});
    int previous = 0;
    for (const QString& source : paragraphs) {
        const int start = list.SourcePos;
        list.NewLine();
        QString text = source;
        list.ExpandTags(text);
        const TzdHTMLTags& records = list.GetLine(list.Count() - 1);
        if (records.Count() != text.size())
            fail("record count differs from the text length");
        // A paragraph of tags only is one blank that stands at the line's end.
        const bool synthesized = records.Count() == 1 && records.Items(0).SourcePos == start + source.size();
        for (int i = 0; i < records.Count(); ++i) {
            const int pos = records.Items(i).SourcePos;
            if (pos <= previous)
                fail("source positions do not increase");
            previous = pos;
            if (synthesized)
                continue;
            const qsizetype at = pos - start;
            if (at < 0 || at >= source.size() || source[at] != text[i])
                fail("a record does not point at its character");
        }
        if (list.SourcePos != start + source.size())
            fail("the source position does not end at the paragraph's end");
        list.SourcePos += 2;
    }
}

void checkLayout(TzdDrawText& layout)
{
    TzdHTMLTagsList& tags = layout.HTMLTags();
    if (tags.Count() != layout.LineCount())
        fail("record groups and lines differ in number");
    int previous = 0;
    for (int i = 0; i < tags.Count(); ++i) {
        const int count = tags.GetLine(i).Count();
        const int length = int(layout.Line(i).size());
        if (count != length && count != length + 1) // + the blank a line was broken at
            fail("a line's records do not match its text");
        for (int k = 0; k < count; ++k) {
            const int pos = tags.GetLine(i).Items(k).SourcePos;
            if (pos < previous)
                fail("source positions go back");
            previous = pos;
        }
    }
}

} // namespace

// The string list can save itself; the fuzz never saves, so the report
// utilities behind that stay out of this small build.
void zd::writeFileAtomically(const QString&, const std::function<void(plat::TStream&)>&)
{
    fail("no files are written here");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const uint8_t mode = data[0];
    const int width = 1 + data[1];
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));
    const QStringList paragraphs = text.split(QLatin1Char('\n'));

    const bool tagsOn = (mode & 1) == 0;
    try {
        checkExpanded(paragraphs, tagsOn);
    } catch (const plat::EConvertError&) {
    }

    static const int kRotations[] = {0, 90, 33, -45};
    TzdDrawTextOptions options;
    options.HTMLTags = tagsOn;
    options.WordWrap = (mode & 2) == 0;
    options.WordBreak = (mode & 4) != 0;
    options.Rotation = kRotations[(mode >> 3) & 3];
    options.Clipped = true;
    plat::TFont font;
    font.SetName(QStringLiteral("Arial"));
    font.SetSize(10);
    font.SetCharset((mode & 128) ? plat::EASTEUROPE_CHARSET : plat::DEFAULT_CHARSET);

    TzdDrawText layout;
    TzdDrawText::Locker lock(layout);
    layout.SetFont(font);
    layout.SetOptions(options);
    layout.SetSpacings((mode & 32) ? 5 : 0, (mode & 32) ? 0.5L : 0, (mode & 64) ? -20 : 2);
    const plat::TRect rect(0, 0, width, 4 * width);
    layout.SetDimensions(rect, rect, 1.5L, 1.5L, 1);
    TzdWideStrings source;
    for (const QString& p : paragraphs)
        source.Add(p);
    try {
        layout.SetText(source);
        checkLayout(layout);
        (void)layout.TextWidth();
        (void)layout.TextHeight();
        plat::TMetafile mf;
        {
            plat::TMetafileCanvas canvas(mf);
            layout.DrawText(canvas, TzdHAlign(mode % 4), TzdVAlign((mode >> 2) % 3));
        }
        bool paraBreak = false;
        const QString rest = layout.GetOutBoundsText(paraBreak);
        checkLayout(layout);
        TzdWideStrings next;
        for (const QString& p : rest.split(QStringLiteral("\r\n")))
            next.Add(p);
        layout.SetText(next, paraBreak);
        checkLayout(layout);
    } catch (const plat::EConvertError&) {
    }
    return 0;
}
