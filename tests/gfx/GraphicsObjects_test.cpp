#include "Canvas.h"
#include "Exceptions.h"
#include "Graphics.h"
#include "TypeInfo.h"

#include <gtest/gtest.h>

using namespace plat;

TEST(Font, SizeAndHeightConvertThroughPixelsPerInch)
{
    struct Case {
        int ppi, size, height;
    };
    const Case cases[] = {{96, 8, -11}, {96, 9, -12}, {96, 10, -13}, {96, 12, -16}, {600, 10, -83}, {300, 7, -29}};
    for (const Case& c : cases) {
        TFont f;
        f.SetPixelsPerInch(c.ppi);
        f.SetSize(c.size);
        EXPECT_EQ(f.Height(), c.height) << c.ppi << " " << c.size;
        EXPECT_EQ(f.Size(), c.size) << c.ppi << " " << c.size;
    }
}

TEST(Font, AssignAcrossResolutionsKeepsThePointSize)
{
    TFont screen, printer;
    screen.SetSize(10);
    printer.SetPixelsPerInch(600);
    printer.Assign(&screen);
    EXPECT_EQ(printer.Height(), -83);
    EXPECT_EQ(printer.Size(), 10);
}

TEST(GraphicsObjects, ChangeNotificationFiresOncePerRealChange)
{
    TPen pen;
    int owner = 0, event = 0;
    pen.SetOwnerListener([&](TGraphicsObject*) { ++owner; });
    pen.OnChange = TNotifyEvent([&](TObject* sender) { ++event; EXPECT_EQ(sender, &pen); }, &pen, nullptr);
    pen.SetColor(clRed);
    pen.SetColor(clRed);
    pen.SetWidth(3);
    pen.SetStyle(psSolid); // unchanged
    EXPECT_EQ(owner, 2);
    EXPECT_EQ(event, 2);
}

TEST(GraphicsObjects, CanvasFollowsItsBrush)
{
    TCanvas c;
    c.Brush().SetColor(clRed);
    EXPECT_EQ(c.BkMode(), OPAQUE);
    EXPECT_EQ(c.BkColor(), clRed);
    c.Brush().SetStyle(bsHorizontal);
    EXPECT_EQ(c.BkMode(), TRANSPARENT);
}

TEST(GraphicsObjects, AssigningAcrossKindsRaisesConvertError)
{
    TPen pen;
    TFont font;
    try {
        pen.Assign(&font);
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Cannot assign a TFont to a TPen"));
    }
}

TEST(GraphicsObjects, PublishedPropertiesAreDeclaredInOrder)
{
    auto names = [](const TClass* cls) {
        QStringList out;
        for (const TPropInfo* p : GetPropList(cls))
            out << p->Name();
        return out;
    };
    EXPECT_EQ(names(TFont::StaticClass()), (QStringList{"Charset", "Color", "Height", "Name", "Pitch", "Size", "Style"}));
    EXPECT_EQ(names(TPen::StaticClass()), (QStringList{"Color", "Mode", "Style", "Width"}));
    EXPECT_EQ(names(TBrush::StaticClass()), (QStringList{"Color", "Style"}));
    EXPECT_EQ(GetPropInfo(TFont::StaticClass(), u"Color")->PropType()->Name(), QStringLiteral("TColor"));
    EXPECT_EQ(GetPropInfo(TFont::StaticClass(), u"Charset")->PropType()->Name(), QStringLiteral("TFontCharset"));
}

TEST(GraphicsObjects, PropertiesReadAndWriteByName)
{
    TFont f;
    const TPropInfo* style = FindPropInfo(&f, u"Style");
    SetOrdProp(&f, style, TFontStyles{fsBold, fsUnderline}.mask());
    EXPECT_TRUE(f.HasStyle(fsBold));
    EXPECT_TRUE(f.HasStyle(fsUnderline));
    EXPECT_FALSE(f.HasStyle(fsItalic));
    SetOrdProp(&f, FindPropInfo(&f, u"Color"), clRed);
    EXPECT_EQ(f.Color(), clRed);
    SetStrProp(&f, FindPropInfo(&f, u"Name"), QStringLiteral("Arial"));
    EXPECT_EQ(f.Name(), QStringLiteral("Arial"));
    TBrush b;
    SetOrdProp(&b, FindPropInfo(&b, u"Style"), bsCross);
    EXPECT_EQ(b.Style(), bsCross);
    EXPECT_EQ(FindPropInfo(&b, u"Style")->PropType()->EnumName(bsDiagCross), QStringLiteral("bsDiagCross"));
}

TEST(GraphicsObjects, ClassesAreCreatableByName)
{
    RegisterGraphicsClasses();
    const TClass* cls = FindClass(QStringLiteral("TFont"));
    ASSERT_NE(cls, nullptr);
    EXPECT_EQ(cls, TFont::StaticClass());
    EXPECT_NE(FindClass(QStringLiteral("TBitmap")), nullptr);
}

TEST(Colors, IdentifierTableHasThePlatformOrderAndValues)
{
    const auto& t = ColorIdents();
    ASSERT_EQ(t.size(), 52u);
    EXPECT_STREQ(t.front().name, "clBlack");
    EXPECT_STREQ(t[19].name, "clMedGray");
    EXPECT_EQ(t[19].value, TColor(0x00A4A0A0));
    EXPECT_STREQ(t.back().name, "clWindowText");
    EXPECT_EQ(clNone, 0x1FFFFFFF);
    EXPECT_EQ(clNone, 536870911);
    for (const auto& e : t) {
        TColor v = 0;
        ASSERT_TRUE(IdentToColor(QString::fromLatin1(e.name).toUpper(), v)) << e.name;
        EXPECT_EQ(v, e.value) << e.name;
    }
}

TEST(Colors, TextConversions)
{
    EXPECT_EQ(ColorToString(clRed), QStringLiteral("clRed"));
    EXPECT_EQ(ColorToString(RGB(1, 2, 3)), QStringLiteral("$00030201"));
    EXPECT_EQ(StringToColor(QStringLiteral("$00030201")), RGB(1, 2, 3));
    EXPECT_EQ(StringToColor(QStringLiteral("clbtnface")), clBtnFace);
    EXPECT_EQ(StringToColor(QStringLiteral("255")), clRed);
    EXPECT_THROW(StringToColor(QStringLiteral("reddish")), EConvertError);
    EXPECT_EQ(ColorToRGB(clRed), clRed);
    EXPECT_EQ(ColorToRGB(clWindow), clWhite);
    EXPECT_EQ(ColorToRGB(clWindowText), clBlack);
}
