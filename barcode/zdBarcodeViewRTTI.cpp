// The script adapters of the barcode objects: their enumerations and
// classes, so report scripts reach their published properties.

#include "zdBarcode2DView.h"
#include "zdBarcodeView.h"

#include "zs_items.h"
#include "zs_script.h"

namespace {

// The names of an enumeration, comma-separated, the first Count of them.
template <class E>
QString enumNames(int Count = -1)
{
    QStringList names;
    for (const QString& name : plat::typeInfoOf<E>()->EnumNames())
        names << name;
    if (Count >= 0)
        names = names.mid(0, Count);
    return names.join(QStringLiteral(", "));
}

class TzdBarCodeViewRTTI : public TzsRTTIModule {
public:
    explicit TzdBarCodeViewRTTI(TzsScript* AScript) : TzsRTTIModule(AScript)
    {
        // GS1-128 stays out of scripts.
        Script->AddEnum(QStringLiteral("TzdBarcodeType"), enumNames<TzdBarcodeType>(bcGS1Code128));
        Script->AddClass(TzdBarCodeView::StaticClass(), QStringLiteral("TzdView"));
    }
};

class TzdBarcode2DViewRTTI : public TzsRTTIModule {
public:
    explicit TzdBarcode2DViewRTTI(TzsScript* AScript) : TzsRTTIModule(AScript)
    {
        Script->AddEnum(QStringLiteral("TzdBarcode2DType"), enumNames<TzdBarcode2DType>());
        Script->AddEnum(QStringLiteral("TQRCodeEncoding"), enumNames<TQRCodeEncoding>());
        Script->AddEnum(QStringLiteral("TQRErrorLevels"), enumNames<TQRErrorLevels>());
        Script->AddEnum(QStringLiteral("DatamatrixEncoding"), enumNames<DatamatrixEncoding>());
        Script->AddEnum(QStringLiteral("DatamatrixSymbolSize"), enumNames<DatamatrixSymbolSize>());
        Script->AddEnum(QStringLiteral("PDF417ErrorCorrection"), enumNames<PDF417ErrorCorrection>());
        Script->AddEnum(QStringLiteral("PDF417CompactionMode"), enumNames<PDF417CompactionMode>());
        Script->AddClass(TzdBarcode2DProperties::StaticClass(), QStringLiteral("TPersistent"));
        for (const plat::TClass* cls : {TzdPDF417Properties::StaticClass(), TzdDataMatrixProperties::StaticClass(),
                                        TzdQRProperties::StaticClass()})
            Script->AddClass(cls, QStringLiteral("TzdBarcode2DProperties"));
        Script->AddClass(TzdBarcode2DView::StaticClass(), QStringLiteral("TzdView"));
    }
};

} // namespace

namespace zd {

void startBarcodeViewRTTIUnit()
{
    zsAddRTTIModule(zsModuleClass<TzdBarCodeViewRTTI>());
    zsAddRTTIModule(zsModuleClass<TzdBarcode2DViewRTTI>());
}

void endBarcodeViewRTTIUnit()
{
    zsRemoveRTTIModule(zsModuleClass<TzdBarCodeViewRTTI>());
    zsRemoveRTTIModule(zsModuleClass<TzdBarcode2DViewRTTI>());
}

} // namespace zd
