// zdlayout [OPTIONS] TEXT
// zdlayout [OPTIONS] --file PATH
//
// Lays a memo text out with TzdDrawText and prints the wrapped lines, for
// tests and for checking layouts by hand. Each source line (TEXT split at
// "\n", or the lines of the UTF-8 file) is one paragraph.
//
// Options:
//   --font NAME          font family (default Arial)
//   --size PT            size in points (default 10)
//   --style LETTERS      b bold, i italic, u underline, s strike-out
//   --charset N          the font's character set (default 1, the default one)
//   --width PX           layout width in screen pixels at 96 dpi (default 200)
//   --height PX          layout height in screen pixels (default 10000)
//   --no-wordwrap        one line per paragraph
//   --wordbreak          hyphenate words that do not fit
//   --rotation DEG       rotation in degrees (the height is the line width
//                        from 90 to 179 and 270 to 359)
//   --charspacing PX     extra space after each character
//   --linespacing PX     extra space between lines (default 2, as memos)
//   --gap PX             first-line indent of each paragraph
//   --tags               HTML-like tags on (off by default)
//   --first-para-break   the text continues a paragraph: no indent on line 1
//   --split              also split at --height: print the part that fits
//                        and the rest as the layout returns them
//
// Output, UTF-8:
//   # font FAMILY|FILE|FACE-INDEX em600=E width600=W first600=F rotation=R
//   FLAGS<TAB>WIDTH600<TAB>TEXT      one row per laid-out line
//   # height=H lineheight=L         screen pixels
// FLAGS is 1 for the first line of a paragraph, 2 for the last, 3 for
// both; WIDTH600 is the line's width at 600 dpi with the character spacing
// of each character, as the layout compares it with the width. With --split:
//   # kept / # rest, each followed by its text, and "# parabreak 0|1".
// Exits 0; 1 when the layout raises (the message goes to standard error);
// 2 for a bad command line.
#include "Canvas.h"
#include "Exceptions.h"
#include "FontEngine.h"
#include "zdDrawText.h"
#include "zdHTMLTags.h"
#include "zdWideStrings.h"

#include "../ToolCommandLine.h"

#include <QFile>
#include <QStringList>

#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <set>

namespace {

constexpr long double kToLayout = 6.25L; // 600 / 96

void printUsage()
{
    std::fputs("usage: zdlayout [--font NAME] [--size PT] [--style bius] [--charset N] [--width PX] [--height PX]\n"
               "                [--no-wordwrap] [--wordbreak] [--rotation DEG] [--charspacing PX]\n"
               "                [--linespacing PX] [--gap PX] [--tags] [--first-para-break] [--split]\n"
               "                (TEXT | --file PATH)\n",
               stderr);
}

const std::set<QString> kFlags{QStringLiteral("no-wordwrap"), QStringLiteral("wordbreak"), QStringLiteral("tags"),
                               QStringLiteral("first-para-break"), QStringLiteral("split")};
const std::set<QString> kValued{QStringLiteral("font"),        QStringLiteral("size"),        QStringLiteral("style"),
                                QStringLiteral("charset"),     QStringLiteral("width"),       QStringLiteral("height"),
                                QStringLiteral("rotation"),    QStringLiteral("charspacing"), QStringLiteral("linespacing"),
                                QStringLiteral("gap"),         QStringLiteral("file")};

using CommandLine = ToolCommandLine;

// One text: an argument or a file.
std::optional<CommandLine> parse(const QStringList& args)
{
    std::optional<CommandLine> cl = parseToolCommandLine(args, kFlags, kValued, "zdlayout");
    if (!cl || cl->positional.size() + (cl->has(QStringLiteral("file")) ? 1 : 0) != 1)
        return std::nullopt;
    return cl;
}

bool number(const CommandLine& cl, const char* name, long double fallback, long double& out)
{
    bool ok = true;
    const QString key = QString::fromLatin1(name);
    out = cl.has(key) ? cl.value(key).toDouble(&ok) : fallback;
    ok = ok && std::isfinite(double(out));
    if (!ok)
        std::fprintf(stderr, "zdlayout: --%s needs a number\n", name);
    return ok;
}

void print(const QString& text) { std::fputs(text.toUtf8().constData(), stdout); }

int run(const CommandLine& cl)
{
    QString text;
    if (cl.has(QStringLiteral("file"))) {
        QFile f(cl.value(QStringLiteral("file")));
        if (!f.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "zdlayout: cannot read %s\n", qPrintable(f.fileName()));
            return 1;
        }
        text = QString::fromUtf8(f.readAll());
        if (text.endsWith(QLatin1Char('\n')))
            text.chop(1);
    } else {
        text = cl.positional.front();
    }
    TzdWideStrings source;
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        source.Add(line);
    }

    long double size = 10, width = 200, height = 10000, rotation = 0, charSpacing = 0, lineSpacing = 2, gap = 0,
                charset = plat::DEFAULT_CHARSET;
    if (!number(cl, "size", 10, size) || !number(cl, "width", 200, width) || !number(cl, "height", 10000, height)
        || !number(cl, "rotation", 0, rotation) || !number(cl, "charspacing", 0, charSpacing)
        || !number(cl, "linespacing", 2, lineSpacing) || !number(cl, "gap", 0, gap)
        || !number(cl, "charset", plat::DEFAULT_CHARSET, charset))
        return 2;

    plat::TFont font;
    font.SetName(cl.value(QStringLiteral("font"), QStringLiteral("Arial")));
    font.SetSize(int(size));
    font.SetCharset(plat::TFontCharset(int(charset)));
    plat::TFontStyles style;
    const QString letters = cl.value(QStringLiteral("style"));
    style.set(plat::fsBold, letters.contains(QLatin1Char('b')));
    style.set(plat::fsItalic, letters.contains(QLatin1Char('i')));
    style.set(plat::fsUnderline, letters.contains(QLatin1Char('u')));
    style.set(plat::fsStrikeOut, letters.contains(QLatin1Char('s')));
    font.SetStyle(style);
    font.SetColor(plat::clBlack);

    TzdDrawText layout;
    TzdDrawText::Locker lock(layout);
    TzdDrawTextOptions options;
    options.WordWrap = !cl.has(QStringLiteral("no-wordwrap"));
    options.WordBreak = cl.has(QStringLiteral("wordbreak"));
    options.HTMLTags = cl.has(QStringLiteral("tags"));
    options.Rotation = int(rotation);
    layout.SetFont(font);
    layout.SetOptions(options);
    layout.SetSpacings(gap, charSpacing, lineSpacing);
    const plat::TRect rect(0, 0, int(width), int(height));
    layout.SetDimensions(rect, rect, 1, 1, 1);
    layout.SetText(source, cl.has(QStringLiteral("first-para-break")));

    // The measuring font, to report each line's width as the layout sees it.
    plat::TCanvas measure;
    measure.Font().SetName(font.Name());
    measure.Font().SetStyle(font.Style());
    measure.Font().SetCharset(font.Charset());
    const int em = int(std::nearbyint(font.Size() * 600.0L / 72));
    measure.Font().SetHeight(-em);
    const plat::FontFace& face = plat::FontEngine::Instance().Match(measure.Font());
    const int normalized = layout.Options().Rotation;
    const bool sideways = (normalized >= 90 && normalized < 180) || normalized >= 270;
    const long double available = sideways ? height : width;
    print(QStringLiteral("# font %1|%2|%3 em600=%4 width600=%5 first600=%6 rotation=%7\n")
              .arg(face.FamilyName(), face.FilePath())
              .arg(face.FaceIndex())
              .arg(em)
              .arg(int(std::nearbyint(available * kToLayout)))
              .arg(int(std::nearbyint((available - gap) * kToLayout)))
              .arg(normalized));
    const int spacing600 = int(std::nearbyint(charSpacing * kToLayout));
    std::vector<int> widths;
    for (int i = 0; i < layout.LineCount(); ++i) {
        const int w = layout.HTMLTags().FillCharWidths(widths, layout.Line(i), false, false, spacing600, i, measure);
        print(QStringLiteral("%1\t%2\t%3\n").arg(layout.LineFlags(i)).arg(w).arg(layout.Line(i)));
    }
    print(QStringLiteral("# height=%1 lineheight=%2\n")
              .arg(double(layout.TextHeight()), 0, 'f', 4)
              .arg(double(layout.GetLineHeight()), 0, 'f', 4));
    if (cl.has(QStringLiteral("split"))) {
        bool paraBreak = false;
        const QString rest = layout.GetOutBoundsText(paraBreak);
        print(QStringLiteral("# kept\n%1\n# rest\n%2\n# parabreak %3\n")
                  .arg(layout.GetPlainText(), rest)
                  .arg(paraBreak ? 1 : 0));
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const std::optional<CommandLine> cl = parse(args);
    if (!cl) {
        printUsage();
        return 2;
    }
    try {
        return run(*cl);
    } catch (const plat::Exception& e) {
        std::fprintf(stderr, "zdlayout: %s: %s\n", e.className(), e.what());
        return 1;
    }
}
