// TzdBarcode as a component: published properties, Assign, and the layout
// and pixels of DrawBarcode at the four rotations.
#include "zdBarcod.h"

#include "Canvas.h"
#include "Exceptions.h"
#include "Metafile.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cmath>
#include <memory>
#include <string>

namespace {

// The barcode drawn onto a white image of the given size.
struct Drawn {
    QImage image;
    int height = 0;
    int left = 0;
    int top = 0;
};

Drawn drawOnImage(TzdBarcode& b, int imageWidth, int imageHeight, const plat::TRect& rect, bool showText)
{
    Drawn d;
    d.image = QImage(imageWidth, imageHeight, QImage::Format_RGB32);
    d.image.fill(Qt::white);
    {
        plat::TCanvas canvas(&d.image);
        b.DrawBarcode(canvas, rect, showText, 1, 1);
        canvas.ReleaseDevice();
    }
    d.height = b.Height();
    d.left = b.LeftOffset();
    d.top = b.TopOffset();
    return d;
}

bool dark(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < 128; }

std::string row(const QImage& image, int y, int x0, int x1)
{
    std::string s;
    for (int x = x0; x < x1; ++x)
        s += dark(image, x, y) ? '1' : '0';
    return s;
}

std::string column(const QImage& image, int x, int y0, int y1)
{
    std::string s;
    for (int y = y0; y < y1; ++y)
        s += dark(image, x, y) ? '1' : '0';
    return s;
}

// The modules of a symbol at one unit per width step (1 = bar).
std::string moduleBits(TzdBarcode& b)
{
    const QString modules = b.MakeModuleString();
    std::string s;
    for (QChar c : modules) {
        int w = 0;
        zd::ModuleKind kind;
        b.GetModuleInfo(c, w, kind);
        s.append(size_t(w), kind == zd::ModuleKind::Gap ? '0' : '1');
    }
    return s;
}

std::string reversed(std::string s) { return {s.rbegin(), s.rend()}; }

TzdBarcode* make(TzdBarcodeType typ, const QString& text)
{
    auto* b = new TzdBarcode(nullptr);
    b->SetTyp(typ);
    b->SetText(text);
    return b;
}

} // namespace

TEST(TzdBarcode, PublishesItsPropertiesInOrder)
{
    std::vector<QString> names;
    for (const plat::TPropInfo* p : plat::GetPropList(TzdBarcode::StaticClass()))
        if (p->OwnerClass() == TzdBarcode::StaticClass())
            names.push_back(p->Name());
    const std::vector<QString> expected{"Text",  "Modul",  "Ratio", "Typ",      "Checksum", "CheckSumMethod",
                                        "Angle", "Width",  "Height", "Color",   "ColorBar", "Font"};
    EXPECT_EQ(names, expected);

    const plat::TPropInfo* typ = plat::GetPropInfo(TzdBarcode::StaticClass(), u"Typ");
    ASSERT_NE(typ, nullptr);
    EXPECT_EQ(typ->PropType()->Name(), QStringLiteral("TzdBarcodeType"));
    ASSERT_EQ(typ->PropType()->EnumCount(), kBarcodeTypeCount);
    for (int i = 0; i < kBarcodeTypeCount; ++i)
        EXPECT_EQ(typ->PropType()->EnumName(i), QLatin1StringView(TzdBarcodeTypeNames[i]));
    EXPECT_EQ(plat::GetPropInfo(TzdBarcode::StaticClass(), u"Color")->PropType()->Name(), QStringLiteral("TColor"));
    EXPECT_FALSE(plat::GetPropInfo(TzdBarcode::StaticClass(), u"Width")->IsWritable());
}

TEST(TzdBarcode, DefaultsAndReflection)
{
    TzdBarcode fresh(nullptr);
    EXPECT_EQ(fresh.Text(), QString());
    EXPECT_EQ(fresh.Modul(), 1);
    EXPECT_EQ(fresh.Ratio(), 2.0);
    EXPECT_EQ(fresh.Typ(), bcCodeEAN13);
    EXPECT_FALSE(fresh.Checksum());
    EXPECT_EQ(fresh.CheckSumMethod(), csmModulo10);
    EXPECT_EQ(fresh.Angle(), 0.0);
    EXPECT_EQ(fresh.Height(), 0);
    EXPECT_EQ(fresh.Color(), 0xFFFFFF);
    EXPECT_EQ(fresh.ColorBar(), 0);
    EXPECT_EQ(fresh.Font()->Name(), QStringLiteral("Arial"));
    EXPECT_EQ(fresh.Font()->Size(), 9);
    EXPECT_EQ(fresh.Font()->PixelsPerInch(), 96);
    EXPECT_EQ(fresh.Font()->Height(), -12);

    plat::SetStrProp(&fresh, u"Text", QStringLiteral(" 4006381333931 "));
    plat::SetEnumProp(&fresh, u"Typ", u"bcCodeEAN13");
    EXPECT_EQ(plat::GetOrdProp(&fresh, u"Width"), 95);
    EXPECT_EQ(fresh.Text(), QStringLiteral("4006381333931")); // the measure trimmed it
    plat::SetEnumProp(&fresh, u"Typ", u"bcCodeEAN8");
    plat::SetStrProp(&fresh, u"Text", QStringLiteral("55123457"));
    EXPECT_EQ(plat::GetOrdProp(&fresh, u"Width"), 67);
}

TEST(TzdBarcode, AssignCopiesAllButTheFont)
{
    TzdBarcode a(nullptr), b(nullptr);
    a.SetText(QStringLiteral("ABC"));
    a.SetModul(3);
    a.SetRatio(2.5);
    a.SetTyp(bcCode39);
    a.SetChecksum(true);
    a.SetCheckSumMethod(csmNone);
    a.SetAngle(90);
    a.SetHeight(17);
    a.SetColor(plat::clYellow);
    a.SetColorBar(plat::clNavy);
    a.Font()->SetName(QStringLiteral("Courier New"));
    b.Assign(&a);
    EXPECT_EQ(b.Text(), QStringLiteral("ABC"));
    EXPECT_EQ(b.Modul(), 3);
    EXPECT_EQ(b.Ratio(), 2.5);
    EXPECT_EQ(b.Typ(), bcCode39);
    EXPECT_TRUE(b.Checksum());
    EXPECT_EQ(b.CheckSumMethod(), csmNone);
    EXPECT_EQ(b.Angle(), 90.0);
    EXPECT_EQ(b.Height(), 17);
    EXPECT_EQ(b.Color(), plat::clYellow);
    EXPECT_EQ(b.ColorBar(), plat::clNavy);
    EXPECT_EQ(b.Font()->Name(), QStringLiteral("Arial"));

    plat::TFont other;
    b.Assign(&other); // ignored
    EXPECT_EQ(b.Text(), QStringLiteral("ABC"));
}

TEST(TzdBarcodeDraw, BarHeightAndTextOffsetsPerRotation)
{
    // A rectangle twice as wide as the symbol and 100 high: k = 2, PH = 50.
    struct Case {
        TzdBarcodeType typ;
        const char* text;
        double angle;
        int height;
        int left;
        int top;
    } cases[] = {
        {bcCode39, "CODE39", 0, 34, 0, 0},       {bcCodeEAN13, "4006381333931", 0, 43, 0, 0},
        {bcCode39, "CODE39", 180, 34, 0, 16},    {bcCodeEAN13, "4006381333931", 180, 43, 0, 8},
        {bcCode39, "CODE39", 270, 34, 16, 0},    {bcCodeEAN13, "4006381333931", 270, 43, 8, 0},
        {bcCode39, "CODE39", 90, 34, 0, 0},
    };
    for (const Case& c : cases) {
        std::unique_ptr<TzdBarcode> b(make(c.typ, QLatin1StringView(c.text)));
        b->SetAngle(c.angle);
        const int w = b->GetWidth();
        const bool horizontal = c.angle == 0 || c.angle == 180;
        const plat::TRect rect = horizontal ? plat::Bounds(0, 0, 2 * w, 100) : plat::Bounds(0, 0, 100, 2 * w);
        const Drawn d = drawOnImage(*b, rect.Right, rect.Bottom, rect, true);
        EXPECT_EQ(d.height, c.height) << c.text << " " << c.angle;
        EXPECT_EQ(d.left, c.left) << c.text << " " << c.angle;
        EXPECT_EQ(d.top, c.top) << c.text << " " << c.angle;
    }
}

TEST(TzdBarcodeDraw, BarsFollowTheModulesAtEveryRotation)
{
    std::unique_ptr<TzdBarcode> b(make(bcCode128, QStringLiteral("Sorvamet 2026")));
    const std::string bits = moduleBits(*b);
    const int w = int(bits.size());
    constexpr int kLength = 40;
    for (int angle : {0, 90, 180, 270}) {
        b->SetAngle(angle);
        const bool horizontal = angle % 180 == 0;
        const plat::TRect rect = horizontal ? plat::Bounds(5, 7, w, kLength) : plat::Bounds(5, 7, kLength, w);
        const Drawn d = drawOnImage(*b, 60 + w, 60 + w, rect, false);
        EXPECT_EQ(d.height, kLength);
        const int mid = kLength / 2;
        switch (angle) {
        case 0: EXPECT_EQ(row(d.image, 7 + mid, 5, 5 + w), bits); break;
        case 180: EXPECT_EQ(row(d.image, 7 + mid, 5, 5 + w), reversed(bits)); break;
        // The first module lies at the bottom at 90 degrees, at the top at 270.
        case 90: EXPECT_EQ(column(d.image, 5 + mid, 7, 7 + w), reversed(bits)); break;
        case 270: EXPECT_EQ(column(d.image, 5 + mid, 7, 7 + w), bits); break;
        }
        // Nothing outside the rectangle.
        EXPECT_FALSE(dark(d.image, 4, 7 + mid));
        EXPECT_FALSE(dark(d.image, 5 + mid, 6));
    }
}

TEST(TzdBarcodeDraw, OtherAnglesDrawTurnedBarsInsideTheFrame)
{
    // Callers use right angles; any other angle still draws the bars turned.
    std::unique_ptr<TzdBarcode> b(make(bcCode39, QStringLiteral("A")));
    b->SetAngle(45);
    const int w = b->GetWidth();
    const Drawn d = drawOnImage(*b, 3 * w, 3 * w, plat::Bounds(w, w, w, w), false);
    int darkPixels = 0;
    for (int y = 0; y < d.image.height(); ++y)
        for (int x = 0; x < d.image.width(); ++x)
            darkPixels += dark(d.image, x, y) ? 1 : 0;
    EXPECT_GT(darkPixels, w);
    EXPECT_FALSE(dark(d.image, w / 2, w / 2));
}

TEST(TzdBarcodeDraw, StretchedModulesKeepTheirShare)
{
    std::unique_ptr<TzdBarcode> b(make(bcCode93, QStringLiteral("TEST93")));
    const std::string bits = moduleBits(*b);
    const int w = int(bits.size());
    const Drawn d = drawOnImage(*b, 3 * w, 30, plat::Bounds(0, 0, 3 * w, 30), false);
    std::string expected;
    for (char c : bits)
        expected.append(3, c);
    EXPECT_EQ(row(d.image, 15, 0, 3 * w), expected);
}

TEST(TzdBarcodeDraw, ShortBarsTouchTheBottom)
{
    std::unique_ptr<TzdBarcode> b(make(bcCodePostNet, QStringLiteral("1")));
    const int w = b->GetWidth(); // "51" + A1A1A15151 + "5"
    const Drawn d = drawOnImage(*b, w, 30, plat::Bounds(0, 0, w, 30), false);
    EXPECT_EQ(d.height, 30);
    const int frameBar = 0;
    const int firstShortBar = 3; // after the frame bar (w0 = 1) and its gap (w1 = 2)
    EXPECT_EQ(column(d.image, frameBar, 0, 30), std::string(30, '1'));
    EXPECT_EQ(column(d.image, firstShortBar, 0, 30), std::string(18, '0') + std::string(12, '1'));
}

TEST(TzdBarcodeDraw, GuardBarsStandLongerThanTheDigits)
{
    std::unique_ptr<TzdBarcode> b(make(bcCodeEAN13, QStringLiteral("4006381333931")));
    const int w = b->GetWidth();
    const Drawn d = drawOnImage(*b, w + 20, 60, plat::Bounds(10, 0, w, 60), true);
    // Band 14: the bars are 60 - 7 = 53 high; the text band covers the data
    // bars from 60 - 16 down (the digits start below row 46), the guards run
    // through it.
    EXPECT_EQ(d.height, 53);
    const int guard = 10;             // first bar of the start guard
    const int firstData = 10 + 3 + 3; // digit 2 ('0', set A "0001101"): its first bar
    EXPECT_TRUE(dark(d.image, guard, 45));
    EXPECT_TRUE(dark(d.image, guard, 52));
    EXPECT_FALSE(dark(d.image, guard, 54));
    EXPECT_TRUE(dark(d.image, firstData, 43));
    EXPECT_FALSE(dark(d.image, firstData, 45));
}

TEST(TzdBarcodeDraw, TextPiecesAtTheirPlacesAndTurnedWithTheBars)
{
    // Drawn onto a recording canvas, the text records show where each piece went.
    std::unique_ptr<TzdBarcode> b(make(bcCode39, QStringLiteral("AB")));
    const int w = b->GetWidth();
    for (int angle : {0, 90, 180, 270}) {
        b->SetAngle(angle);
        plat::TMetafile mf;
        const bool horizontal = angle % 180 == 0;
        const int pw = horizontal ? w : 50;
        const int ph = horizontal ? 50 : w;
        {
            plat::TMetafileCanvas canvas(mf);
            b->DrawBarcode(canvas, plat::Bounds(0, 0, pw, ph), true, 1, 1);
        }
        const std::vector<plat::TMetafileTextItem> items = mf.TextItems();
        ASSERT_EQ(items.size(), 1u) << angle;
        const plat::TMetafileRecord& r = mf.Records()[size_t(items[0].record)];
        EXPECT_EQ(r.text, QStringLiteral("AB"));
        EXPECT_EQ(r.fontOrientation, angle * 10);
        EXPECT_EQ(r.fontName, QStringLiteral("Arial"));
        EXPECT_EQ(r.fontHeight, -12);
        ASSERT_GE(r.pts.size(), 2u);
        plat::TCanvas measure;
        plat::TFont f;
        f.SetName(QStringLiteral("Arial"));
        f.SetHeight(-12);
        measure.SetFont(f);
        const int x = (w - measure.TextWidth(QStringLiteral("AB"))) / 2;
        const int band = 14;
        switch (angle) {
        case 0: EXPECT_EQ((std::pair{r.pts[0], r.pts[1]}), (std::pair{x, ph - band})); break;
        case 90: EXPECT_EQ((std::pair{r.pts[0], r.pts[1]}), (std::pair{pw - band, ph - x})); break;
        case 180: EXPECT_EQ((std::pair{r.pts[0], r.pts[1]}), (std::pair{pw - x, band})); break;
        case 270: EXPECT_EQ((std::pair{r.pts[0], r.pts[1]}), (std::pair{band, x})); break;
        }
    }
}

TEST(TzdBarcodeDraw, HumanReadablePiecesPerType)
{
    auto width6 = [](const QString& t) { return int(t.size()) * 6; };
    using P = std::vector<std::tuple<QString, int, int, int>>;
    auto flat = [](const std::vector<zd::TextPiece>& v) {
        P out;
        for (const zd::TextPiece& p : v)
            out.emplace_back(p.text, p.x, p.from, p.to);
        return out;
    };
    EXPECT_EQ(flat(zd::humanReadablePieces(bcCodeEAN13, "4006381333931", {}, 95, 1, width6)),
              (P{{"4", -8, -8, -2}, {"006381", 3, 3, 44}, {"333931", 49, 49, 91}}));
    EXPECT_EQ(flat(zd::humanReadablePieces(bcCodeEAN8, "5512345", "55123457", 67, 1, width6)),
              (P{{"5512", 3, 3, 30}, {"3457", 35, 35, 63}}));
    EXPECT_EQ(flat(zd::humanReadablePieces(bcCodeUPC_A, "036000291452", {}, 95, 1, width6)),
              (P{{"0", -8, -8, -2}, {"36000", 10, 10, 44}, {"29145", 49, 49, 83}, {"2", 96, 96, 103}}));
    EXPECT_EQ(flat(zd::humanReadablePieces(bcCodeUPC_E1, "1234562", {}, 51, 1, width6)),
              (P{{"123456", 3, 3, 44}, {"2", 52, 52, 59}}));
    EXPECT_EQ(flat(zd::humanReadablePieces(bcCodeEAN128, "&C;1234&FNC1;56", {}, 100, 1, width6)),
              (P{{"123456", 32, 0, 100}}));
    EXPECT_EQ(flat(zd::humanReadablePieces(bcGS1Code128, "(01)12", {}, 100, 1, width6)),
              (P{{"(01)12", 32, 0, 100}}));
    EXPECT_EQ(flat(zd::humanReadablePieces(bcCode39, "AB", {}, 11, 1, width6)), (P{{"AB", -0, 0, 11}}));
    // Wider modules carry the digits along.
    EXPECT_EQ(flat(zd::humanReadablePieces(bcCodeEAN13, "4006381333931", {}, 190, 2, width6)),
              (P{{"4", -16, -16, -4}, {"006381", 6, 6, 88}, {"333931", 98, 98, 182}}));
}

TEST(TzdBarcodeDraw, FailureDrawsNothingAndRaises)
{
    std::unique_ptr<TzdBarcode> b(make(bcCodeEAN13, QStringLiteral("12A")));
    QImage image(50, 50, QImage::Format_RGB32);
    image.fill(Qt::white);
    plat::TCanvas canvas(&image);
    try {
        b->DrawBarcode(canvas, plat::Bounds(0, 0, 50, 50), true, 1, 1);
        FAIL();
    } catch (const plat::Exception& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Barcode must be numeric"));
    }
    canvas.ReleaseDevice();
    EXPECT_EQ(image.pixel(25, 25), QColor(Qt::white).rgb());
    // An empty rectangle is no error and draws nothing.
    b->SetText(QStringLiteral("4006381333931"));
    EXPECT_NO_THROW(b->DrawBarcode(canvas, plat::Bounds(0, 0, 0, 0), true, 1, 1));
    EXPECT_NO_THROW(b->DrawBarcode(canvas, plat::Bounds(10, 10, 95, 0), true, 1, 1));
}

// DrawBarcode plays each operation onto the canvas as it records it; the
// pixels must be those of the finished recording stretched onto the frame
// (the recording made at one picture unit per pixel, then drawn).
TEST(TzdBarcodeDraw, PlayingAsDrawnGivesThePixelsOfTheStretchedPicture)
{
    struct Symbol {
        TzdBarcodeType typ;
        const char* text;
    };
    const Symbol symbols[] = {{bcCode128, "SVM00000001"},
                              {bcCodeEAN13, "4006381333931"},
                              {bcCode39, "AB-12"},
                              {bcCodeUPC_E0, "0123456"},
                              {bcCode_2_5_interleaved, "123456"}};
    const double angles[] = {0, 90, 180, 270, 30, 135};
    const plat::TRect frames[] = {plat::Bounds(3, 5, 400, 120), plat::Bounds(0, 0, 97, 40),
                                  plat::Bounds(10, 7, 50, 160)};
    const QImage::Format formats[] = {QImage::Format_ARGB32_Premultiplied, QImage::Format_RGB32};
    int compared = 0;
    for (const Symbol& sym : symbols)
        for (double angle : angles)
            for (const plat::TRect& frame : frames)
                for (bool showText : {true, false})
                    for (QImage::Format format : formats) {
                        std::unique_ptr<TzdBarcode> b(make(sym.typ, QLatin1StringView(sym.text)));
                        b->SetAngle(angle);
                        b->SetColor(0x00FFEE);
                        b->SetColorBar(0x203040);
                        const int w = b->GetWidth();
                        const double fw = double(frame.Right) - frame.Left;
                        const double fh = double(frame.Bottom) - frame.Top;
                        int pw = w, ph = w;
                        if (std::fmod(angle, 180.0) == 0.0)
                            ph = int(std::nearbyint(fh / (fw / w)));
                        else
                            pw = int(std::nearbyint(fw / (fh / w)));
                        plat::TMetafile picture;
                        {
                            plat::TMetafileCanvas recording(picture);
                            b->DrawBarcode(recording, plat::Bounds(0, 0, pw, ph), showText, 1, 1);
                        }
                        picture.SetWidth(pw);
                        picture.SetHeight(ph);
                        const int iw = frame.Right + 5, ih = frame.Bottom + 5;
                        QImage stretched(iw, ih, format);
                        stretched.fill(Qt::white);
                        {
                            plat::TCanvas canvas(&stretched);
                            canvas.StretchDraw(frame, picture);
                            canvas.ReleaseDevice();
                        }
                        QImage played(iw, ih, format);
                        played.fill(Qt::white);
                        {
                            plat::TCanvas canvas(&played);
                            b->DrawBarcode(canvas, frame, showText, 1, 1);
                            canvas.ReleaseDevice();
                        }
                        ASSERT_GT(picture.RecordCount(), 0);
                        EXPECT_TRUE(played == stretched)
                            << sym.text << " angle " << angle << " frame " << frame.Right << 'x' << frame.Bottom
                            << " text " << showText << " format " << int(format);
                        ++compared;
                    }
    EXPECT_EQ(compared, 5 * 6 * 3 * 2 * 2);
}
