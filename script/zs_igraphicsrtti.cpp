// The graphics module: colour constants, font, pen and brush types, and the
// font, pen, brush, canvas, graphic, picture, metafile and bitmap classes.

#include "zs_iclassesrtti.h"

#include "Canvas.h"
#include "Graphics.h"
#include "Metafile.h"
#include "zs_iadapter.h"

using plat::Variant;
using L = QLatin1String;

namespace {

QString S(const char* text)
{
    return QString::fromLatin1(text);
}

Variant createByClass(TzsScript* script, const plat::TClass* classType)
{
    return zs::adoptScriptObject(script, classType->CreateInstance());
}

const plat::TGraphic& graphicParam(TzsMethodHelper* c, int index)
{
    return *zs::objectParam<plat::TGraphic>(c, index);
}

Variant canvasMethods(TzsScript* script, plat::TObject* instance, const plat::TClass* classType, const QString& n,
                      TzsMethodHelper* c)
{
    const auto i = [c](int index) { return zs::param(c, index).toInteger(); };
    if (n == L("CREATE")) {
        if (classType == plat::TMetafileCanvas::StaticClass()) {
            // The reference device is a handle of the platform's; our
            // metafile canvases always measure at screen resolution.
            auto* metafile = zs::objectParam<plat::TMetafile>(c, 0);
            return zs::adoptScriptObject(script, new plat::TMetafileCanvas(*metafile));
        }
        return createByClass(script, classType);
    }
    auto* canvas = zs::instanceAs<plat::TCanvas>(instance);
    if (n == L("DRAW"))
        canvas->Draw(i(0), i(1), graphicParam(c, 2));
    else if (n == L("ELLIPSE"))
        canvas->Ellipse(i(0), i(1), i(2), i(3));
    else if (n == L("LINETO"))
        canvas->LineTo(i(0), i(1));
    else if (n == L("MOVETO"))
        canvas->MoveTo(i(0), i(1));
    else if (n == L("RECTANGLE"))
        canvas->Rectangle(i(0), i(1), i(2), i(3));
    else if (n == L("ROUNDRECT"))
        canvas->RoundRect(i(0), i(1), i(2), i(3), i(4), i(5));
    else if (n == L("STRETCHDRAW"))
        canvas->StretchDraw(plat::TRect{i(0), i(1), i(2), i(3)}, graphicParam(c, 4));
    else if (n == L("TEXTHEIGHT"))
        return Variant(canvas->TextHeight(zs::paramText(c, 0)));
    else if (n == L("TEXTOUT"))
        canvas->TextOut(i(0), i(1), zs::paramText(c, 2));
    else if (n == L("TEXTWIDTH"))
        return Variant(canvas->TextWidth(zs::paramText(c, 0)));
    else if (n == L("PIXELS.GET"))
        return Variant(int(canvas->Pixel(i(0), i(1))));
    else if (n == L("PIXELS.SET"))
        canvas->SetPixel(i(0), i(1), plat::TColor(i(2)));
    return Variant(0);
}

Variant graphicMethods(TzsScript* script, plat::TObject* instance, const plat::TClass* classType, const QString& n,
                       TzsMethodHelper* c)
{
    if (n == L("CREATE"))
        return createByClass(script, classType);
    if (auto* picture = dynamic_cast<plat::TPicture*>(instance)) {
        if (n == L("LOADFROMFILE"))
            picture->LoadFromFile(zs::paramText(c, 0));
        else if (n == L("SAVETOFILE"))
            picture->SaveToFile(zs::paramText(c, 0));
        return Variant(0);
    }
    auto* graphic = zs::instanceAs<plat::TGraphic>(instance);
    if (n == L("LOADFROMFILE"))
        graphic->LoadFromFile(zs::paramText(c, 0));
    else if (n == L("SAVETOFILE"))
        graphic->SaveToFile(zs::paramText(c, 0));
    return Variant(0);
}

Variant sizeProp(plat::TObject* instance, const QString& n)
{
    if (auto* picture = dynamic_cast<plat::TPicture*>(instance))
        return Variant(n == L("WIDTH") ? picture->Width() : picture->Height());
    auto* graphic = zs::instanceAs<plat::TGraphic>(instance);
    return Variant(n == L("WIDTH") ? graphic->Width() : graphic->Height());
}

void setSizeProp(plat::TObject* instance, const QString& n, const Variant& value)
{
    auto* graphic = zs::instanceAs<plat::TGraphic>(instance);
    if (n == L("WIDTH"))
        graphic->SetWidth(value.toInteger());
    else
        graphic->SetHeight(value.toInteger());
}

class TzsGraphicsRTTI : public TzsRTTIModule {
public:
    explicit TzsGraphicsRTTI(TzsScript* AScript) : TzsRTTIModule(AScript)
    {
        // Colours are Integer constants: the system colours come out negative.
        for (const plat::TColorIdent& ident : plat::ColorIdents())
            Script->AddConst(S(ident.name), S("Integer"), Variant(qint32(ident.value)));
        Script->AddEnumSet(S("TFontStyles"), S("fsBold, fsItalic, fsUnderline, fsStrikeout"));
        Script->AddEnum(S("TFontPitch"), S("fpDefault, fpVariable, fpFixed"));
        Script->AddEnum(S("TPenStyle"), S("psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame"));
        Script->AddEnum(S("TPenMode"), S("pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, "
                                         "pmMaskPenNot, pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, "
                                         "pmNotMask, pmXor, pmNotXor"));
        Script->AddEnum(S("TBrushStyle"), S("bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, "
                                            "bsCross, bsDiagCross"));
        const TzsCallMethodEvent create = [script = Script](plat::TObject*, const plat::TClass* t, const QString&,
                                                            TzsMethodHelper*) { return createByClass(script, t); };
        for (const plat::TClass* cls :
             {plat::TFont::StaticClass(), plat::TPen::StaticClass(), plat::TBrush::StaticClass()})
            if (TzsClassVariable* c = Script->AddClass(cls, S("TPersistent")))
                c->AddConstructor(S("constructor Create"), create);
        addCanvas();
        addGraphics();
    }

private:
    void addCanvas()
    {
        const TzsCallMethodEvent call = [script = Script](plat::TObject* i, const plat::TClass* t, const QString& n,
                                                          TzsMethodHelper* c) {
            return canvasMethods(script, i, t, n, c);
        };
        if (TzsClassVariable* c = Script->AddClass(plat::TCanvas::StaticClass(), S("TPersistent"))) {
            c->AddConstructor(S("constructor Create"), call);
            for (const char* p : {
                     "procedure Draw(X, Y: Integer; Graphic: TGraphic)",
                     "procedure Ellipse(X1, Y1, X2, Y2: Integer)",
                     "procedure LineTo(X, Y: Integer)",
                     "procedure MoveTo(X, Y: Integer)",
                     "procedure Rectangle(X1, Y1, X2, Y2: Integer)",
                     "procedure RoundRect(X1, Y1, X2, Y2, X3, Y3: Integer)",
                     "procedure StretchDraw(X1, Y1, X2, Y2: Integer; Graphic: TGraphic)",
                     "function TextHeight(const Text: string): Integer",
                     "procedure TextOut(X, Y: Integer; const Text: string)",
                     "function TextWidth(const Text: string): Integer",
                 })
                c->AddMethod(S(p), call);
            c->AddIndexProperty(S("Pixels"), S("Integer, Integer"), S("TColor"), call);
        }
        graphicsCall = [script = Script](plat::TObject* i, const plat::TClass* t, const QString& n,
                                         TzsMethodHelper* c) { return graphicMethods(script, i, t, n, c); };
        canvasCall = call;
    }

    void addGraphics()
    {
        const auto get = [](plat::TObject* i, const plat::TClass*, const QString& n) { return sizeProp(i, n); };
        const auto set = [](plat::TObject* i, const plat::TClass*, const QString& n, const Variant& v) {
            setSizeProp(i, n, v);
        };
        if (TzsClassVariable* c = Script->AddClass(plat::TGraphic::StaticClass(), S("TPersistent"))) {
            c->AddConstructor(S("constructor Create"), graphicsCall);
            c->AddMethod(S("procedure LoadFromFile(const Filename: string)"), graphicsCall);
            c->AddMethod(S("procedure SaveToFile(const Filename: string)"), graphicsCall);
            c->AddProperty(S("Height"), S("Integer"), get, set);
            c->AddProperty(S("Width"), S("Integer"), get, set);
        }
        if (TzsClassVariable* c = Script->AddClass(plat::TPicture::StaticClass(), S("TPersistent"))) {
            c->AddMethod(S("procedure LoadFromFile(const Filename: string)"), graphicsCall);
            c->AddMethod(S("procedure SaveToFile(const Filename: string)"), graphicsCall);
            c->AddProperty(S("Height"), S("Integer"), get);
            c->AddProperty(S("Width"), S("Integer"), get);
        }
        Script->AddClass(plat::TMetafile::StaticClass(), S("TGraphic"));
        if (TzsClassVariable* c = Script->AddClass(plat::TMetafileCanvas::StaticClass(), S("TCanvas")))
            c->AddConstructor(S("constructor Create(AMetafile: TMetafile; ReferenceDevice: Integer)"), canvasCall);
        if (TzsClassVariable* c = Script->AddClass(plat::TBitmap::StaticClass(), S("TGraphic")))
            c->AddProperty(S("Canvas"), S("TCanvas"), [](plat::TObject* i, const plat::TClass*, const QString&) {
                return plat::ObjectToVariant(&zs::instanceAs<plat::TBitmap>(i)->Canvas());
            });
    }

    TzsCallMethodEvent graphicsCall;
    TzsCallMethodEvent canvasCall;
};

} // namespace

void zsStartGraphicsRTTI()
{
    zsAddRTTIModule(zsModuleClass<TzsGraphicsRTTI>());
}

void zsEndGraphicsRTTI()
{
    zsRemoveRTTIModule(zsModuleClass<TzsGraphicsRTTI>());
}
