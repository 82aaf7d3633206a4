#pragma once
// The base of every report object: one tree (parent and ordered children),
// one geometry in pixels at 96 per inch, a font that children may follow,
// names unique within the report, and copying, saving and loading through
// the published properties (zdXMLSerializer.h).
//
// Ownership: a report object created with a TzdComponent owner is owned, in
// the platform sense, by that owner's report (or by nothing when the owner
// belongs to no report), and lives in its parent's Children. Freeing an
// object detaches it from its parent and frees its children first; freeing
// it also takes it out of its platform owner's list.

#include "Objects.h"
#include "StringList.h"
#include "TypeInfo.h"
#include "zdUtils.h"

#include <QRecursiveMutex>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace plat {
class TFont;
class TStream;
class Variant;
} // namespace plat

class TzdComponent;
class TzdCustomDesigner;
class TzdCustomPreviewPages;
class TzdReport;
class TzdDataSet;
class TzdDrawText;
class TzdStyles;
class TzdVariables;
class TzdXMLItem;
class TzdXMLSerializer;

enum TzdRestriction { rfDontModify, rfDontSize, rfDontMove, rfDontDelete, rfDontEdit };
using TzdRestrictions = plat::TSet<TzdRestriction>;
PLAT_DECLARE_ENUM(TzdRestriction)
PLAT_DECLARE_SET(TzdRestrictions)

enum TzdObjectStyleFlag { osContainer, osPreviewCopy, osFullAttributes, osNestedProperties };
using TzdObjectStyle = plat::TSet<TzdObjectStyleFlag>;
PLAT_DECLARE_ENUM(TzdObjectStyleFlag)
PLAT_DECLARE_SET(TzdObjectStyle)

// Geometry constants, pixels at 96 per inch.
inline constexpr long double zd1cm = 37.7953L;
inline constexpr long double zd01cm = 3.77953L;
inline constexpr long double zd1in = 96.0L;
inline constexpr long double zd01in = 9.6L;
inline constexpr long double zd1CharX = 9.6L;
inline constexpr long double zd1CharY = 17.0L;

namespace zd {

// The character set new report fonts get.
inline constexpr quint8 kDefaultCharset = 1; // DEFAULT_CHARSET

using CustomDataHandler = std::function<void(TzdXMLItem* Item)>;

// What the object model below the report document asks of it. The report
// document (TzdReport) implements this beside TzdComponent; objects find it
// by walking up their parents.
class ReportDocument {
public:
    virtual ~ReportDocument();
    virtual TzdReport* Report() = 0;
    virtual TzdComponent* ReportComponent() = 0;
    // ErrorList: sorted, no duplicates, case-insensitive.
    virtual void AddErrors(const QStringList& Errors) = 0;
    virtual TzdXMLSerializer* CurrentSerializer() const = 0;
    virtual void SetCurrentSerializer(TzdXMLSerializer* Serializer) = 0;
    // EngineOptions.ThreadSafeMode and EngineOptions.GlobalDataSetLookup.
    virtual bool ThreadSafeMode() const = 0;
    virtual bool GlobalDataSetLookup() const = 0;
    // The dataset of the report's own dataset list with that user name.
    virtual TzdDataSet* FindReportDataSet(const QString& UserName) = 0;
    virtual bool StoreInDFM() const = 0;
    // The ancestor of an object of an inheriting report (the report itself
    // for its own name); nullptr when the report does not inherit.
    virtual TzdComponent* FindAncestorObject(const QString& Name) = 0;
    // OnGetCustomData and OnSaveCustomData; empty when not assigned.
    virtual CustomDataHandler CustomDataReader() const = 0;
    virtual CustomDataHandler CustomDataWriter() const = 0;

    // --- what printable objects ask of the report while they print
    // The value of an expression in the report's script language (Calc):
    // a name the report resolves, else the expression compiled and run. A
    // failing expression adds its message (after the name of the object
    // being evaluated) to the error list and raises it.
    virtual plat::Variant Calc(const QString& Expression) = 0;
    // The script variables "Self" (the view being printed) and "Value" (the
    // value a text object is evaluating).
    virtual void SetSelfValue(TzdComponent* View) = 0;
    virtual void SetLocalValue(const plat::Variant& Value) = 0;
    // "PascalScript", "C++Script", "BasicScript" or "JScript".
    virtual QString ScriptLanguage() const = 0;
    virtual TzdVariables* Variables() = 0;
    virtual TzdStyles* Styles() = 0;
    // The report's own text layout for its text objects; nullptr: they use
    // the process-wide one.
    virtual TzdDrawText* TextLayout() { return nullptr; }
    // The prepared pages being built or shown (their picture cache takes
    // the pictures of printed objects); nullptr when there are none.
    virtual TzdCustomPreviewPages* ActivePreviewPages() = 0;
    // The designer open on the report, or nullptr.
    virtual TzdCustomDesigner* Designer() = 0;

    // --- what the service bases ask of the report
    // EngineOptions.DoublePass.
    virtual bool DoublePass() const = 0;
    // Terminated := Value; a running script stops.
    virtual void SetTerminated(bool Value) = 0;
    virtual void SetModified(bool Value) = 0;
};

// Text objects (TzdCustomMemoView) hand their wide text to the serializer,
// which stores it as Text="..." in UTF-8.
class TextObject {
public:
    virtual ~TextObject();
    virtual QString GetWideText() const = 0;
    virtual void SetWideText(const QString& Text) = 0;
};

// A string list that is a persistent object, so that report classes can
// publish string lists (the serializer writes them as Prop.Text).
class TStringList : public plat::TPersistent, public plat::TStringList {
    PLAT_CLASS(TStringList, plat::TPersistent)
public:
    TStringList() = default;
    using plat::TStringList::Assign;
    void Assign(plat::TPersistent* Source) override;
};

// The object's report document, or nullptr.
ReportDocument* reportDocumentOf(const TzdComponent* Obj);

// Difference texts: ` Name="Value"` appended to Out; Booleans as "1"/"0";
// texts XML-escaped.
void appendDiffItem(QString& Out, const QString& Name, const QString& Value);
QString diffBool(bool Value);
QString diffEscaped(const QString& Text);

} // namespace zd

class TzdComponent : public plat::TComponent {
    PLAT_CLASS(TzdComponent, plat::TComponent)
public:
    explicit TzdComponent(plat::TComponent* AOwner);
    ~TzdComponent() override;

    // The designer's palette constructor: DesignMode is already set while the
    // class's constructors run; then ApplyDesignFlags(Flags) tells variants
    // of one class apart.
    static TzdComponent* DesignCreate(const plat::TClass* Class, plat::TComponent* AOwner, quint16 Flags);

    // --- tree
    TzdComponent* Parent() const { return m_parent; }
    virtual void SetParent(TzdComponent* Value);
    const std::vector<TzdComponent*>& Children() const { return m_children; }
    int ChildCount() const { return static_cast<int>(m_children.size()); }
    // Every descendant, depth first in child order, rebuilt on each read (a
    // reference valid until the next read).
    const std::vector<TzdComponent*>& AllObjects() const;
    virtual const std::vector<TzdComponent*>& GetContainerObjects() const { return m_children; }

    // --- geometry
    long double Left() const { return m_left; }
    long double Top() const { return m_top; }
    long double Width() const { return m_width; }
    long double Height() const { return m_height; }
    virtual void SetLeft(long double Value);
    virtual void SetTop(long double Value);
    virtual void SetWidth(long double Value);
    virtual void SetHeight(long double Value);
    void SetBounds(long double ALeft, long double ATop, long double AWidth, long double AHeight);
    long double GetAbsLeft() const;
    long double GetAbsTop() const;

    // --- font
    plat::TFont* Font() const { return m_font; }
    virtual void SetFont(plat::TFont* Value);
    bool ParentFont() const { return m_parentFont; }
    virtual void SetParentFont(bool Value);
    bool IsFontStored() const { return !m_parentFont; }

    // --- flags
    bool Visible() const { return m_visible; }
    virtual void SetVisible(bool Value);
    int GroupIndex() const { return m_groupIndex; }
    void SetGroupIndex(int Value) { m_groupIndex = Value; }
    TzdRestrictions Restrictions() const { return m_restrictions; }
    void SetRestrictions(TzdRestrictions Value) { m_restrictions = Value; }
    const QString& Description() const { return m_description; }
    void SetDescription(const QString& Value) { m_description = Value; }
    TzdObjectStyle ObjectStyle() const { return m_objectStyle; }
    void SetObjectStyle(TzdObjectStyle Value) { m_objectStyle = Value; }

    bool DesignMode = false;
    bool StreamLoading = false;
    bool DrawingForPrinter = false;
    bool StreamWriting = false;
    bool ResetToAncestor = false;
    bool FromAncestor = false;
    QString DictionaryAlias;
    QString NameStem;
    TzdComponent* LinkedObject = nullptr;
    TzdExtRect SavedBounds; // Left, Top, Width, Height (as Left, Top, Right, Bottom)
    TzdComponent* SourceBand = nullptr;

    // --- report and lookup
    TzdReport* GetReport() const;
    TzdComponent* GetReportComponent() const;
    // The nearest page (TzdPage) among the object and its ancestors.
    TzdComponent* GetPage() const;
    TzdComponent* FindObject(const QString& s) const;
    TzdDataSet* FindDataSet(TzdDataSet* Default, const QString& Name) const;
    // Points Link at Value and moves this object's free notification along,
    // so that a freed dataset clears the link.
    void linkDataSet(TzdDataSet*& Link, TzdDataSet* Value);
    bool IsLoading() const;
    bool IsAncestor() const;
    void CreateUniqueName();
    virtual QString ClassDisplayName() const;

    // --- naming and copying
    void SetName(const QString& NewName) override;
    void Assign(plat::TPersistent* Source) override;
    void AssignAll(TzdComponent* Source, bool IgnoreAncestry = false);
    void GetChildren(const std::function<void(plat::TComponent*)>& Proc, plat::TComponent* Root) override;

    // --- operations the engine, the store and the designer call
    virtual void ApplyDesignFlags(quint16 Flags);
    virtual void AlignChildren();
    virtual void OmitFromPreview() {}
    virtual void PrepareForRun() {}
    virtual void Clear();
    virtual void LoadFromStream(plat::TStream& Stream);
    virtual void SaveToStream(plat::TStream& Stream, bool SaveChildren = true, bool SaveDefaultValues = false,
                              bool IgnoreAncestry = false);
    virtual void NotifyDataRow(TzdComponent* Band);
    virtual void AfterPaste() {}
    virtual QString DiffAttributes(TzdComponent* Reference);
    virtual void WriteNestedProperties(TzdXMLItem* Item);
    virtual bool ReadNestedProperty(TzdXMLItem* Item);
    virtual bool ContainerAdd(TzdComponent* Obj);
    virtual bool ContainerMouseDown(plat::TObject* Sender, int X, int Y);
    virtual void ContainerMouseMove(plat::TObject* Sender, int X, int Y);
    virtual void ContainerMouseUp(plat::TObject* Sender, int X, int Y);

    // --- difference texts of prepared pages
    QString DiffBasic(TzdComponent* Reference);
    static QString DiffFont(plat::TFont* Font, plat::TFont* ReferenceFont, const QString& Prefix);
    QString DiffFull(TzdComponent* Reference);
    // DiffFull's text in UTF-8, as prepared pages store it.
    QByteArray DiffFullText(TzdComponent* Reference);

protected:
    // The font's change handler: the object's own font now differs from its
    // parent's, and following children take it.
    virtual void FontChanged();
    // The size set as it stands, past the setters and design restrictions.
    void setSizeDirect(long double AWidth, long double AHeight)
    {
        m_width = AWidth;
        m_height = AHeight;
    }

private:
    void loadFrom(plat::TStream& Stream, bool clearFirst);
    void freeChildren(bool keepInherited);
    void collectAll(std::vector<TzdComponent*>& list) const;
    TzdComponent* findByName(const QString& name) const;

    plat::TFont* m_font = nullptr;
    std::vector<TzdComponent*> m_children;
    mutable std::vector<TzdComponent*> m_allObjects;
    TzdComponent* m_parent = nullptr;
    long double m_left = 0;
    long double m_top = 0;
    long double m_width = 0;
    long double m_height = 0;
    bool m_parentFont = false;
    bool m_visible = true;
    int m_groupIndex = 0;
    TzdRestrictions m_restrictions;
    QString m_description;
    TzdObjectStyle m_objectStyle;
};

// X·10^8 rounded (ties to even), divided by 10^8.
long double zdRound8(long double X);
// True when A and B differ by more than 0.0001.
bool zdFloatDiff(long double A, long double B);

// The process-wide lock of the report object model.
QRecursiveMutex& zdClassLock();

namespace zd {
// The report unit's start-up (once, before the main window exists): the
// process-wide objects, the report's cursors, the report classes known by
// element name, and the script engine's messages in the current language.
// The end clears what the start set up.
void startReportUnit();
void endReportUnit();
// The script adapter of the report classes (started by startReportUnit).
void startReportRTTIUnit();
void endReportRTTIUnit();
// Report classes of the layers above that scripts reach too (the engine,
// the dot-matrix objects): registered in every report script after the
// classes of this layer.
void registerScriptClass(const plat::TClass* Class, const QString& Ancestor);
} // namespace zd

// The name under which a reference is written, and its lookup (the report's
// objects first, then the owner's components).
QString zdGetFullName(TzdComponent* Report, plat::TComponent* Component);
plat::TComponent* zdFindComponent(plat::TComponent* Owner, const QString& Name);
