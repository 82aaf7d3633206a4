#pragma once
// Small report classes for the object-model tests: a report document, a
// page, a band, a memo with frame, fill, string list, text, a late dataset
// reference and a collection in its custom data. The real report classes
// live elsewhere; these carry just what the base and the serializer act on.

#include "Graphics.h"
#include "PropStream.h"
#include "StringList.h"
#include "zdClass.h"
#include "zdCollections.h"
#include "zdDataSets.h"
#include "zdVariables.h"
#include "zdXML.h"

#include <QByteArray>
#include <QString>

#include <map>
#include <memory>
#include <vector>

class TzsCustomVariable;
class TzsScript;

namespace zdtest {

enum TTestFrameLine { ftLeft, ftRight, ftTop, ftBottom };
using TTestFrameLines = plat::TSet<TTestFrameLine>;
PLAT_DECLARE_ENUM(TTestFrameLine)
PLAT_DECLARE_SET(TTestFrameLines)
// Stored under the memo's value names (haLeft, ...).
enum TTestHAlign { thaLeft, thaRight, thaCenter, thaBlock };
PLAT_DECLARE_ENUM(TTestHAlign)

class TzdTestFrame : public plat::TPersistent {
    PLAT_CLASS(TzdTestFrame, plat::TPersistent)
public:
    TzdTestFrame() = default;
    void Assign(plat::TPersistent* Source) override;
    TTestFrameLines Typ;
    long double Width = 1;
    qint32 Color = plat::clBlack;
};

class TzdTestFill : public plat::TPersistent {
    PLAT_CLASS(TzdTestFill, plat::TPersistent)
public:
    TzdTestFill() = default;
    void Assign(plat::TPersistent* Source) override;
    qint32 BackColor = plat::clNone;
    plat::TBrushStyle Style = plat::bsSolid;
};

class TzdTestHighlight : public TzdCollectionItem {
    PLAT_CLASS(TzdTestHighlight, TzdCollectionItem)
public:
    explicit TzdTestHighlight(plat::TCollection* Collection) : TzdCollectionItem(Collection) {}
    QString Condition;
    qint32 Color = plat::clNone;
};

class TzdTestMemo : public TzdComponent, public zd::TextObject {
    PLAT_CLASS(TzdTestMemo, TzdComponent)
public:
    explicit TzdTestMemo(plat::TComponent* AOwner);
    ~TzdTestMemo() override;

    TzdTestFrame* Frame() const { return m_frame; }
    void SetFrame(TzdTestFrame* Value) { m_frame->Assign(Value); }
    TzdTestFill* Fill() const { return m_fill; }
    void SetFill(TzdTestFill* Value) { m_fill->Assign(Value); }
    zd::TStringList* Hints() const { return m_hints; }
    void SetHints(zd::TStringList* Value) { m_hints->Assign(static_cast<plat::TPersistent*>(Value)); }
    TzdDataSet* DataSet() const { return m_dataSet; }
    void SetDataSet(TzdDataSet* Value);
    TzdCollection* Highlights() const { return m_highlights; }

    QString GetWideText() const override { return m_text; }
    void SetWideText(const QString& Text) override { m_text = Text; }
    void DefineProperties(plat::TFiler& Filer) override;

    bool AutoWidth = false;
    TTestHAlign HAlign = thaLeft;
    qint64 Big = 0; // never written (64-bit)

protected:
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override;

private:
    TzdTestFrame* m_frame;
    TzdTestFill* m_fill;
    zd::TStringList* m_hints;
    TzdCollection* m_highlights;
    TzdDataSet* m_dataSet = nullptr;
    QString m_text;
};

class TzdTestPage : public TzdComponent {
    PLAT_CLASS(TzdTestPage, TzdComponent)
public:
    explicit TzdTestPage(plat::TComponent* AOwner);
};

class TzdTestBand : public TzdComponent {
    PLAT_CLASS(TzdTestBand, TzdComponent)
public:
    explicit TzdTestBand(plat::TComponent* AOwner) : TzdComponent(AOwner) {}
};

// A report document: nested "Variables", custom data, an error list, a
// dataset list and an optional ancestor report.
class TzdTestReport : public TzdComponent, public zd::ReportDocument {
    PLAT_CLASS(TzdTestReport, TzdComponent)
public:
    explicit TzdTestReport(plat::TComponent* AOwner = nullptr);
    ~TzdTestReport() override;

    zd::TStringList* ScriptText() const { return m_script; }
    void SetScriptText(zd::TStringList* Value) { m_script->Assign(static_cast<plat::TPersistent*>(Value)); }
    TzdDataSet* DataSet() const { return m_dataSet; }
    void SetDataSet(TzdDataSet* Value) { m_dataSet = Value; }
    QString ReportName;

    TzdReport* Report() override { return nullptr; }
    TzdComponent* ReportComponent() override { return this; }
    void AddErrors(const QStringList& Errors) override;
    TzdXMLSerializer* CurrentSerializer() const override { return m_serializer; }
    void SetCurrentSerializer(TzdXMLSerializer* Serializer) override { m_serializer = Serializer; }
    bool ThreadSafeMode() const override { return ThreadSafe; }
    bool GlobalDataSetLookup() const override { return GlobalLookup; }
    TzdDataSet* FindReportDataSet(const QString& UserName) override;
    bool StoreInDFM() const override { return true; }
    TzdComponent* FindAncestorObject(const QString& Name) override;
    zd::CustomDataHandler CustomDataReader() const override;
    zd::CustomDataHandler CustomDataWriter() const override;

    // Expressions run in the report's script: each is compiled once into a
    // wrapper function of the script's language, as the report document
    // does; a failure goes to ErrorList (after EvaluatedObjectName) and is
    // raised.
    plat::Variant Calc(const QString& Expression) override;
    void SetSelfValue(TzdComponent* View) override;
    void SetLocalValue(const plat::Variant& Value) override;
    QString ScriptLanguage() const override { return Language; }
    TzdVariables* Variables() override { return &ReportVariables; }
    TzdStyles* Styles() override { return ReportStyles; }
    TzdCustomPreviewPages* ActivePreviewPages() override { return PreviewPages; }
    TzdCustomDesigner* Designer() override { return OpenDesigner; }
    bool DoublePass() const override { return DoublePassOption; }
    void SetTerminated(bool Value) override { Terminated = Value; }
    void SetModified(bool Value) override { Modified = Value; }

    void WriteNestedProperties(TzdXMLItem* Item) override;
    bool ReadNestedProperty(TzdXMLItem* Item) override;

    // The report's script: its text, compiled on the first Calc (again
    // after ResetScript); report objects are known by name.
    TzsScript& Script();
    void ResetScript();

    plat::TStringList ErrorList;
    TzdVariables ReportVariables;
    QString Language = QStringLiteral("PascalScript");
    QString EvaluatedObjectName;
    TzdCustomPreviewPages* PreviewPages = nullptr;
    TzdStyles* ReportStyles = nullptr;
    TzdCustomDesigner* OpenDesigner = nullptr;
    bool DoublePassOption = false;
    bool Terminated = false;
    bool Modified = false;
    std::vector<TzdDataSet*> DataSets;
    TzdTestReport* Ancestor = nullptr;
    QByteArray CustomData; // the attribute text of "ZdCustomData"
    bool ThreadSafe = false;
    bool GlobalLookup = true;

private:
    zd::TStringList* m_script;
    TzdDataSet* m_dataSet = nullptr;
    TzdXMLSerializer* m_serializer = nullptr;
    std::unique_ptr<TzsScript> m_reportScript;
    std::unique_ptr<TzsScript> m_cacheScript;
    std::map<QString, TzsCustomVariable*> m_compiled; // folded expression text -> wrapper function
    int m_wrapperCount = 0;
};

// Registers the test classes (and the dataset classes) for creation by name.
void registerTestClasses();
// Starts the report unit and the check-box and gradient units once, as the
// program does, so report objects are known by class name and to scripts.
void startReportLibrary();

// Saves Obj with SaveToStream and returns the bytes.
QByteArray saveToBytes(TzdComponent* Obj, bool SaveChildren = true);
// Loads bytes with LoadFromStream.
void loadFromBytes(TzdComponent* Obj, const QByteArray& Bytes);

} // namespace zdtest
