// Property editors: the base, the standard kinds and their registration.

#include "zdDsgnIntf_prop.h"

#include "Canvas.h"
#include "Controls.h"
#include "DateUtils.h"
#include "Exceptions.h"
#include "FormatSettings.h"
#include "Graphics.h"
#include "CodePage.h"
#include "Handles.h"
#include "Services.h"
#include "StringList.h"
#include "SysUtils.h"
#include "TypeInfo.h"
#include "zdClass.h"
#include "zdClass_services.h"
#include "zdReportComponent.h"
#include "zdRes.h"

#include <QFontDatabase>
#include <QGuiApplication>

#include <array>

PLAT_DEFINE_ENUM(TzdPropertyAttribute, "fpaValueList", "fpaSortedList", "fpaDialog", "fpaMultiSelect",
                 "fpaSubProperties", "fpaReadOnly", "fpaOwnerDraw")
PLAT_DEFINE_SET(TzdPropertyAttributes, TzdPropertyAttribute)

namespace {

constexpr plat::TColor kGrayPen = 0x808080;
const TzdPropertyAttributes kMulti{fpaMultiSelect};
const TzdPropertyAttributes kList{fpaValueList, fpaSortedList, fpaMultiSelect};

struct NamedValue {
    const char* name;
    int value;
};

constexpr NamedValue kCharsets[] = {
    {"ANSI_CHARSET", 0},        {"DEFAULT_CHARSET", 1},      {"SYMBOL_CHARSET", 2},     {"MAC_CHARSET", 77},
    {"SHIFTJIS_CHARSET", 128},  {"HANGEUL_CHARSET", 129},    {"JOHAB_CHARSET", 130},    {"GB2312_CHARSET", 134},
    {"CHINESEBIG5_CHARSET", 136}, {"GREEK_CHARSET", 161},    {"TURKISH_CHARSET", 162},  {"HEBREW_CHARSET", 177},
    {"ARABIC_CHARSET", 178},    {"BALTIC_CHARSET", 186},     {"RUSSIAN_CHARSET", 204},  {"THAI_CHARSET", 222},
    {"EASTEUROPE_CHARSET", 238}, {"OEM_CHARSET", 255},
};

// crSize shares -22 with crSizeAll and comes last, so that -22 shows as
// crSizeAll and the list leaves crSize out.
constexpr NamedValue kCursorNames[] = {
    {"crDefault", 0},    {"crArrow", -2},     {"crCross", -3},     {"crIBeam", -4},     {"crSizeNESW", -6},
    {"crSizeNS", -7},    {"crSizeNWSE", -8},  {"crSizeWE", -9},    {"crUpArrow", -10},  {"crHourGlass", -11},
    {"crDrag", -12},     {"crNoDrop", -13},   {"crHSplit", -14},   {"crVSplit", -15},   {"crMultiDrag", -16},
    {"crSQLWait", -17},  {"crNo", -18},       {"crAppStart", -19}, {"crHelp", -20},     {"crHandPoint", -21},
    {"crSizeAll", -22},  {"crSize", -22},
};
constexpr int kListedCursors = 21;

constexpr const char* kModalResults[] = {"mrNone", "mrOk",  "mrCancel", "mrAbort",   "mrRetry",   "mrIgnore",
                                         "mrYes",  "mrNo",  "mrAll",    "mrNoToAll", "mrYesToAll"};

// Virtual-key codes of the keys the shortcut list names.
constexpr int kVkBack = 0x08;
constexpr int kVkInsert = 0x2D;
constexpr int kVkDelete = 0x2E;
constexpr int kVkF1 = 0x70;

const NamedValue* findName(std::span<const NamedValue> table, const QString& text)
{
    for (const NamedValue& entry : table)
        if (plat::SameText(QString::fromLatin1(entry.name), text))
            return &entry;
    return nullptr;
}

const NamedValue* findValue(std::span<const NamedValue> table, int value)
{
    for (const NamedValue& entry : table)
        if (entry.value == value)
            return &entry;
    return nullptr;
}

std::vector<quint16> standardShortCuts()
{
    std::vector<quint16> list;
    for (int k = 'A'; k <= 'Z'; ++k)
        list.push_back(quint16(plat::scCtrl | k));
    for (int k = 'A'; k <= 'Z'; ++k)
        list.push_back(quint16(plat::scCtrl | plat::scAlt | k));
    for (quint16 mods : {quint16(0), plat::scCtrl, plat::scShift, quint16(plat::scShift | plat::scCtrl)})
        for (int k = 0; k < 12; ++k)
            list.push_back(quint16(mods | (kVkF1 + k)));
    for (quint16 sc : {quint16(kVkInsert), quint16(plat::scShift | kVkInsert), quint16(plat::scCtrl | kVkInsert),
                       quint16(kVkDelete), quint16(plat::scShift | kVkDelete), quint16(plat::scCtrl | kVkDelete),
                       quint16(plat::scAlt | kVkBack), quint16(plat::scShift | plat::scAlt | kVkBack)})
        list.push_back(sc);
    return list;
}

QString noneShortCutText() { return QStringLiteral("(None)"); }

// An editor keeps the designer alive only as a handle.
quint32 handleOf(const plat::TObject* obj) { return obj ? plat::ObjectToHandle(obj) : 0; }

} // namespace

void zdRaiseInvalidProperty()
{
    throw plat::Exception(zdGetResources()->GetText(QStringLiteral("prInvProp")));
}

// ---------------------------------------------------------------------------
// Base

TzdPropertyEditor::TzdPropertyEditor(TzdCustomDesigner* Designer)
    : m_designer(handleOf(Designer))
    , m_values(std::make_unique<plat::TStringList>())
{
}

TzdPropertyEditor::~TzdPropertyEditor() = default;

bool TzdPropertyEditor::Edit()
{
    GetValues();
    const int count = m_values->Count();
    if (count == 0)
        return false;
    const int current = m_values->IndexOf(GetValue());
    const int next = (current < 0 || current >= count - 1) ? 0 : current + 1;
    SetValue(m_values->Strings(next));
    return true;
}

TzdPropertyAttributes TzdPropertyEditor::GetAttributes() { return kMulti; }

QString TzdPropertyEditor::GetName()
{
    const plat::TPropInfo* prop = GetPropInfo();
    return prop ? prop->Name() : QString();
}

int TzdPropertyEditor::GetExtraListWidth() { return ItemHeight + 2; }

QString TzdPropertyEditor::GetValue() { return QStringLiteral("(Unknown)"); }

void TzdPropertyEditor::GetValues()
{
    m_values->Clear();
    m_values->SetSorted(GetAttributes().contains(fpaSortedList));
}

void TzdPropertyEditor::SetValue(const QString&) {}

QString TzdPropertyEditor::valueAt(int Index) const
{
    return Index >= 0 && Index < m_values->Count() ? m_values->Strings(Index) : QString();
}

void TzdPropertyEditor::DrawListItem(plat::TCanvas& Canvas, int Index, const QRect& Rect, TzdOwnerDrawState)
{
    Canvas.FillRect(plat::TRect{Rect.left(), Rect.top(), Rect.right() + 1, Rect.bottom() + 1});
    Canvas.TextOut(Rect.left() + ItemHeight + 4, Rect.top() + 1, valueAt(Index));
    Canvas.Pen().SetColor(kGrayPen);
}

void TzdPropertyEditor::DrawValue(plat::TCanvas& Canvas, const QRect& Rect)
{
    Canvas.TextOut(Rect.left() + ItemHeight - 2, Rect.top(), GetValue());
    Canvas.Pen().SetColor(kGrayPen);
}

void TzdPropertyEditor::AddObject(plat::TObject* Object, const plat::TPropInfo* PropInfo)
{
    m_objects.push_back(handleOf(Object));
    m_props.push_back(PropInfo);
}

plat::TObject* TzdPropertyEditor::GetObject(int Index) const
{
    return plat::HandleToObject(m_objects.at(static_cast<size_t>(Index)));
}

const plat::TPropInfo* TzdPropertyEditor::GetPropInfo(int Index) const
{
    return m_props.at(static_cast<size_t>(Index));
}

plat::TObject* TzdPropertyEditor::GetComponent() const { return m_objects.empty() ? nullptr : GetObject(0); }

TzdComponent* TzdPropertyEditor::GetZdComponent() const { return dynamic_cast<TzdComponent*>(GetComponent()); }

const plat::TPropInfo* TzdPropertyEditor::GetPropInfo() const { return m_props.empty() ? nullptr : m_props[0]; }

TzdCustomDesigner* TzdPropertyEditor::Designer() const
{
    return plat::HandleToObjectAs<TzdCustomDesigner>(m_designer);
}

qint64 TzdPropertyEditor::GetOrdinalValue() const { return plat::GetOrdProp(GetComponent(), GetPropInfo()); }

long double TzdPropertyEditor::GetFloatValue() const { return plat::GetFloatProp(GetComponent(), GetPropInfo()); }

QString TzdPropertyEditor::GetStringValue() const { return plat::GetStrProp(GetComponent(), GetPropInfo()); }

plat::TObject* TzdPropertyEditor::GetObjectValue() const
{
    return plat::GetObjectProp(GetComponent(), GetPropInfo());
}

namespace {

// Keeps the inspector suspended for the guard's life unless resumed before.
class InspectorSuspension {
public:
    explicit InspectorSuspension(TzdCustomDesigner* designer) : m_designer(designer)
    {
        if (m_designer)
            m_designer->SuspendInspector();
    }
    ~InspectorSuspension()
    {
        try {
            resume();
        } catch (...) {
            // A failing resume must not replace the exception in flight.
        }
    }
    void resume()
    {
        if (m_designer) {
            TzdCustomDesigner* designer = m_designer;
            m_designer = nullptr;
            designer->ResumeInspector();
        }
    }
    InspectorSuspension(const InspectorSuspension&) = delete;
    InspectorSuspension& operator=(const InspectorSuspension&) = delete;

private:
    TzdCustomDesigner* m_designer;
};

} // namespace

void TzdPropertyEditor::writeToAll(const std::function<void(plat::TObject*, const plat::TPropInfo*)>& write)
{
    const int count = ObjectCount();
    if (count == 0)
        return;
    // Resolve every object first: a freed one raises before anything is written.
    std::vector<plat::TObject*> objects;
    for (int i = 0; i < count; ++i)
        objects.push_back(GetObject(i));
    TzdCustomDesigner* designer = Designer();
    InspectorSuspension suspension(designer);
    for (int i = 0; i < count; ++i) {
        // Resumed just before the last write, so that the inspector refreshes
        // once, after the last object changed.
        if (i == count - 1)
            suspension.resume();
        const plat::TPropInfo* prop = m_props[static_cast<size_t>(i)];
        if (objects[static_cast<size_t>(i)] && prop && prop->IsWritable())
            write(objects[static_cast<size_t>(i)], prop);
    }
}

void TzdPropertyEditor::SetOrdinalValue(qint64 Value)
{
    writeToAll([Value](plat::TObject* obj, const plat::TPropInfo* prop) { plat::SetOrdProp(obj, prop, Value); });
}

void TzdPropertyEditor::SetFloatValue(long double Value)
{
    writeToAll([Value](plat::TObject* obj, const plat::TPropInfo* prop) { plat::SetFloatProp(obj, prop, Value); });
}

void TzdPropertyEditor::SetStringValue(const QString& Value)
{
    writeToAll([&Value](plat::TObject* obj, const plat::TPropInfo* prop) { plat::SetStrProp(obj, prop, Value); });
}

void TzdPropertyEditor::SetObjectValue(plat::TObject* Value)
{
    writeToAll([Value](plat::TObject* obj, const plat::TPropInfo* prop) { plat::SetObjectProp(obj, prop, Value); });
}

void TzdPropertyEditor::AddValue(const QString& S) { m_values->Add(S); }

// ---------------------------------------------------------------------------
// Integer, float, char, string

TzdPropertyAttributes TzdIntegerProperty::GetAttributes() { return kMulti; }
QString TzdIntegerProperty::GetValue() { return QString::number(GetOrdinalValue()); }
void TzdIntegerProperty::SetValue(const QString& Value) { SetOrdinalValue(plat::StrToInt(Value)); }

TzdPropertyAttributes TzdFloatProperty::GetAttributes() { return kMulti; }
QString TzdFloatProperty::GetValue() { return plat::FloatToStr(GetFloatValue()); }

void TzdFloatProperty::SetValue(const QString& Value)
{
    QString text = Value;
    const QChar separator = plat::FormatSettings().DecimalSeparator;
    text.replace(u',', separator).replace(u'.', separator);
    SetFloatValue(plat::StrToFloat(text.trimmed()));
}

TzdPropertyAttributes TzdCharProperty::GetAttributes() { return kMulti; }

QString TzdCharProperty::GetValue()
{
    const qint64 code = GetOrdinalValue();
    if (code < 33)
        return QStringLiteral("#") + QString::number(code);
    return QString(QChar(char16_t(code)));
}

void TzdCharProperty::SetValue(const QString& Value)
{
    if (Value.isEmpty()) {
        SetOrdinalValue(0);
    } else if (Value.size() == 1) {
        SetOrdinalValue(Value.at(0).unicode());
    } else if (Value.at(0) == u'#') {
        int code = 0;
        if (!plat::TryStrToInt(Value.mid(1), code))
            zdRaiseInvalidProperty();
        SetOrdinalValue(code);
    } else {
        zdRaiseInvalidProperty();
    }
}

TzdPropertyAttributes TzdStringProperty::GetAttributes() { return kMulti; }
QString TzdStringProperty::GetValue() { return GetStringValue(); }
void TzdStringProperty::SetValue(const QString& Value) { SetStringValue(Value); }

// ---------------------------------------------------------------------------
// Enumerations and sets

TzdPropertyAttributes TzdEnumProperty::GetAttributes() { return kList; }

QString TzdEnumProperty::GetValue() { return GetPropInfo()->PropType()->EnumName(GetOrdinalValue()); }

void TzdEnumProperty::GetValues()
{
    TzdPropertyEditor::GetValues();
    for (const QString& name : GetPropInfo()->PropType()->EnumNames())
        AddValue(name);
}

void TzdEnumProperty::SetValue(const QString& Value)
{
    const plat::TTypeInfo* type = GetPropInfo()->PropType();
    const int value = type->EnumValue(Value);
    if (value < 0)
        zdRaiseInvalidProperty();
    SetOrdinalValue(type->MinValue() + value);
}

TzdPropertyAttributes TzdSetProperty::GetAttributes() { return {fpaMultiSelect, fpaSubProperties, fpaReadOnly}; }

QString TzdSetProperty::GetValue()
{
    return GetPropInfo()->PropType()->SetToString(static_cast<quint32>(GetOrdinalValue()), true);
}

TzdPropertyAttributes TzdSetElementProperty::GetAttributes() { return kList; }

QString TzdSetElementProperty::GetName()
{
    return GetPropInfo()->PropType()->CompType()->EnumName(Element);
}

QString TzdSetElementProperty::GetValue()
{
    const quint32 value = static_cast<quint32>(GetOrdinalValue());
    return (value >> Element) & 1u ? QStringLiteral("True") : QStringLiteral("False");
}

void TzdSetElementProperty::GetValues()
{
    TzdPropertyEditor::GetValues();
    AddValue(QStringLiteral("False"));
    AddValue(QStringLiteral("True"));
}

void TzdSetElementProperty::SetValue(const QString& Value)
{
    quint32 value = static_cast<quint32>(GetOrdinalValue());
    const quint32 bit = 1u << Element;
    if (plat::SameText(Value, QStringLiteral("True")))
        value |= bit;
    else if (plat::SameText(Value, QStringLiteral("False")))
        value &= ~bit;
    else
        zdRaiseInvalidProperty();
    SetOrdinalValue(value);
}

// ---------------------------------------------------------------------------
// Classes and components

TzdPropertyAttributes TzdClassProperty::GetAttributes() { return {fpaMultiSelect, fpaSubProperties, fpaReadOnly}; }

QString TzdClassProperty::GetValue()
{
    const plat::TClass* cls = GetPropInfo()->PropType()->ClassType();
    return QStringLiteral("(") + (cls ? cls->ClassName() : QString()) + QStringLiteral(")");
}

TzdPropertyAttributes TzdComponentProperty::GetAttributes() { return kList; }

QString TzdComponentProperty::GetValue()
{
    const auto* component = dynamic_cast<const plat::TComponent*>(GetObjectValue());
    return component ? component->Name() : QString();
}

void TzdComponentProperty::GetValues()
{
    TzdPropertyEditor::GetValues();
    TzdComponent* first = GetZdComponent();
    if (!first)
        return;
    const TzdComponent* root = dynamic_cast<TzdReportComponent*>(first) ? first->GetPage() : first;
    if (!root)
        return;
    const plat::TClass* declared = GetPropInfo()->PropType()->ClassType();
    const std::vector<TzdComponent*> all = root->AllObjects();
    for (TzdComponent* obj : all)
        if (obj != first && declared && declared->IsInstance(obj))
            AddValue(obj->Name());
}

void TzdComponentProperty::SetValue(const QString& Value)
{
    if (Value.isEmpty()) {
        SetObjectValue(nullptr);
        return;
    }
    TzdComponent* first = GetZdComponent();
    TzdComponent* report = first ? first->GetReportComponent() : nullptr;
    TzdComponent* found = report ? report->FindObject(Value) : nullptr;
    const plat::TClass* declared = GetPropInfo()->PropType()->ClassType();
    if (!found || (declared && !declared->IsInstance(found)))
        zdRaiseInvalidProperty();
    SetObjectValue(found);
}

TzdPropertyAttributes TzdNameProperty::GetAttributes() { return {}; }

// ---------------------------------------------------------------------------
// Colours and fonts

bool TzdColorProperty::Edit()
{
    const std::optional<plat::TColor> chosen =
        plat::Services().ColorDialog(static_cast<plat::TColor>(GetOrdinalValue()), {});
    if (!chosen)
        return false;
    SetOrdinalValue(*chosen);
    return true;
}

TzdPropertyAttributes TzdColorProperty::GetAttributes() { return {fpaValueList, fpaMultiSelect, fpaOwnerDraw}; }

QString TzdColorProperty::GetValue() { return plat::ColorToString(static_cast<plat::TColor>(GetOrdinalValue())); }

void TzdColorProperty::GetValues()
{
    TzdPropertyEditor::GetValues();
    for (const plat::TColorIdent& ident : plat::ColorIdents())
        AddValue(QString::fromLatin1(ident.name));
}

void TzdColorProperty::SetValue(const QString& Value)
{
    plat::TColor color = 0;
    if (plat::IdentToColor(Value, color))
        SetOrdinalValue(color);
    else
        TzdIntegerProperty::SetValue(Value);
}

void TzdColorProperty::DrawListItem(plat::TCanvas& Canvas, int Index, const QRect& Rect, TzdOwnerDrawState State)
{
    TzdPropertyEditor::DrawListItem(Canvas, Index, Rect, State);
    plat::TColor color = plat::clBlack;
    plat::IdentToColor(valueAt(Index), color);
    Canvas.Brush().SetColor(color);
    const int h = Rect.bottom() + 1 - Rect.top();
    Canvas.Rectangle(Rect.left() + 2, Rect.top() + 2, Rect.left() + h - 2, Rect.bottom() + 1 - 2);
}

void TzdColorProperty::DrawValue(plat::TCanvas& Canvas, const QRect& Rect)
{
    TzdPropertyEditor::DrawValue(Canvas, Rect);
    Canvas.Brush().SetColor(static_cast<plat::TColor>(GetOrdinalValue()));
    const int h = Rect.bottom() + 1 - Rect.top();
    Canvas.Rectangle(Rect.left(), Rect.top() + 1, Rect.left() + h - 5, Rect.bottom() + 1 - 4);
}

bool TzdFontProperty::Edit()
{
    auto* current = dynamic_cast<plat::TFont*>(GetObjectValue());
    plat::TFont font;
    if (current)
        font.Assign(current);
    if (!plat::Services().FontDialog(font, {plat::fdEffects, plat::fdForceFontExist}))
        return false;
    // Each object's font setter copies the chosen font.
    SetObjectValue(&font);
    return true;
}

TzdPropertyAttributes TzdFontProperty::GetAttributes()
{
    return {fpaDialog, fpaMultiSelect, fpaSubProperties, fpaReadOnly};
}

TzdPropertyAttributes TzdFontNameProperty::GetAttributes() { return kList; }

void TzdFontNameProperty::GetValues()
{
    TzdPropertyEditor::GetValues();
    if (!qGuiApp)
        return; // no font database without the application object
    for (const QString& family : QFontDatabase::families())
        AddValue(family);
}

TzdPropertyAttributes TzdFontCharsetProperty::GetAttributes() { return kList; }

QString TzdFontCharsetProperty::GetValue()
{
    const int value = static_cast<int>(GetOrdinalValue());
    const NamedValue* entry = findValue(kCharsets, value);
    return entry ? QString::fromLatin1(entry->name) : QString::number(value);
}

void TzdFontCharsetProperty::GetValues()
{
    TzdPropertyEditor::GetValues();
    for (const NamedValue& entry : kCharsets)
        AddValue(QString::fromLatin1(entry.name));
}

void TzdFontCharsetProperty::SetValue(const QString& Value)
{
    if (const NamedValue* entry = findName(kCharsets, Value))
        SetOrdinalValue(entry->value);
    else
        TzdIntegerProperty::SetValue(Value);
}

// ---------------------------------------------------------------------------
// Modal results, shortcuts, cursors

TzdPropertyAttributes TzdModalResultProperty::GetAttributes() { return {fpaValueList, fpaMultiSelect}; }

QString TzdModalResultProperty::GetValue()
{
    const qint64 value = GetOrdinalValue();
    if (value >= 0 && value < qint64(std::size(kModalResults)))
        return QString::fromLatin1(kModalResults[value]);
    return QString::number(value);
}

void TzdModalResultProperty::GetValues()
{
    TzdPropertyEditor::GetValues();
    for (const char* name : kModalResults)
        AddValue(QString::fromLatin1(name));
}

void TzdModalResultProperty::SetValue(const QString& Value)
{
    const QString text = Value.isEmpty() ? QStringLiteral("0") : Value;
    for (int i = 0; i < int(std::size(kModalResults)); ++i)
        if (plat::SameText(QString::fromLatin1(kModalResults[i]), text)) {
            SetOrdinalValue(i);
            return;
        }
    TzdIntegerProperty::SetValue(text);
}

quint16 zd::textToShortCut(const QString& Text)
{
    QString rest = Text.trimmed();
    quint16 mods = 0;
    const std::pair<QLatin1String, quint16> prefixes[] = {{QLatin1String("Shift+"), plat::scShift},
                                                          {QLatin1String("Ctrl+"), plat::scCtrl},
                                                          {QLatin1String("Alt+"), plat::scAlt}};
    for (bool found = true; found;) {
        found = false;
        for (const auto& [prefix, bit] : prefixes)
            if (rest.size() > prefix.size() && rest.startsWith(prefix, Qt::CaseInsensitive)) {
                mods |= bit;
                rest = rest.mid(prefix.size());
                found = true;
            }
    }
    for (int key = 1; key < 256; ++key)
        if (plat::SameText(plat::ShortCutToText(quint16(key)), rest))
            return quint16(mods | key);
    return 0;
}

TzdPropertyAttributes TzdShortCutProperty::GetAttributes() { return {fpaValueList, fpaMultiSelect}; }

QString TzdShortCutProperty::GetValue()
{
    const quint16 value = static_cast<quint16>(GetOrdinalValue());
    return value == 0 ? noneShortCutText() : plat::ShortCutToText(value);
}

void TzdShortCutProperty::GetValues()
{
    TzdPropertyEditor::GetValues();
    AddValue(noneShortCutText());
    for (quint16 sc : standardShortCuts())
        AddValue(plat::ShortCutToText(sc));
}

void TzdShortCutProperty::SetValue(const QString& Value)
{
    if (Value.isEmpty() || plat::SameText(Value, noneShortCutText()))
        SetOrdinalValue(0);
    else
        SetOrdinalValue(zd::textToShortCut(Value));
}

TzdPropertyAttributes TzdCursorProperty::GetAttributes() { return kList; }

QString TzdCursorProperty::GetValue()
{
    const int value = static_cast<int>(GetOrdinalValue());
    const NamedValue* entry = findValue(kCursorNames, value);
    return entry ? QString::fromLatin1(entry->name) : QString::number(value);
}

void TzdCursorProperty::GetValues()
{
    TzdPropertyEditor::GetValues();
    for (int i = 0; i < kListedCursors; ++i)
        AddValue(QString::fromLatin1(kCursorNames[i].name));
}

void TzdCursorProperty::SetValue(const QString& Value)
{
    if (const NamedValue* entry = findName(kCursorNames, Value))
        SetOrdinalValue(entry->value);
    else
        TzdIntegerProperty::SetValue(Value);
}

// ---------------------------------------------------------------------------
// Dates and times

TzdPropertyAttributes TzdDateTimeProperty::GetAttributes() { return kMulti; }

QString TzdDateTimeProperty::GetValue()
{
    const long double value = GetFloatValue();
    return value == 0 ? QString() : plat::DateTimeToStr(static_cast<double>(value));
}

void TzdDateTimeProperty::SetValue(const QString& Value)
{
    SetFloatValue(Value.isEmpty() ? 0 : plat::StrToDateTime(Value));
}

TzdPropertyAttributes TzdDateProperty::GetAttributes() { return kMulti; }

QString TzdDateProperty::GetValue()
{
    const long double value = GetFloatValue();
    return value == 0 ? QString() : plat::DateToStr(static_cast<double>(value));
}

void TzdDateProperty::SetValue(const QString& Value) { SetFloatValue(Value.isEmpty() ? 0 : plat::StrToDate(Value)); }

TzdPropertyAttributes TzdTimeProperty::GetAttributes() { return kMulti; }

QString TzdTimeProperty::GetValue()
{
    const long double value = GetFloatValue();
    return value == 0 ? QString() : plat::TimeToStr(static_cast<double>(value));
}

void TzdTimeProperty::SetValue(const QString& Value) { SetFloatValue(Value.isEmpty() ? 0 : plat::StrToTime(Value)); }

// ---------------------------------------------------------------------------
// Registration

void zd::registerStandardPropertyEditors()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    namespace ti = plat::ti;
    TzdPropertyEditorCollection* registry = zdGetPropertyEditorRegistry();
    const plat::TClass* font = plat::TFont::StaticClass();
    registry->Register(ti::TComponentName::typeInfo(), nullptr, QStringLiteral("Name"),
                       zdNewPropertyEditor<TzdNameProperty>);
    registry->Register(ti::TColor::typeInfo(), nullptr, QString(), zdNewPropertyEditor<TzdColorProperty>);
    registry->Register(font->ClassInfo(), nullptr, QString(), zdNewPropertyEditor<TzdFontProperty>);
    registry->Register(plat::typeInfoOf<QString>(), font, QStringLiteral("Name"),
                       zdNewPropertyEditor<TzdFontNameProperty>);
    registry->Register(plat::typeInfoOf<qint32>(), font, QStringLiteral("Charset"),
                       zdNewPropertyEditor<TzdFontCharsetProperty>);
    registry->Register(ti::TModalResult::typeInfo(), nullptr, QString(), zdNewPropertyEditor<TzdModalResultProperty>);
    registry->Register(ti::TShortCut::typeInfo(), nullptr, QString(), zdNewPropertyEditor<TzdShortCutProperty>);
    registry->Register(ti::TCursor::typeInfo(), nullptr, QString(), zdNewPropertyEditor<TzdCursorProperty>);
    registry->Register(ti::TDateTime::typeInfo(), nullptr, QString(), zdNewPropertyEditor<TzdDateTimeProperty>);
    registry->Register(ti::TDate::typeInfo(), nullptr, QString(), zdNewPropertyEditor<TzdDateProperty>);
    registry->Register(ti::TTime::typeInfo(), nullptr, QString(), zdNewPropertyEditor<TzdTimeProperty>);
}

// ---------------------------------------------------------------------------
// Component editors

TzdMenuItem& TzdMenu::Add(const QString& Caption, int Tag, bool Checked)
{
    m_items.push_back({Caption, Tag, Checked});
    return m_items.back();
}

int TzdMenu::IndexOfTag(int Tag) const
{
    for (int i = 0; i < Count(); ++i)
        if (m_items[static_cast<size_t>(i)].Tag == Tag)
            return i;
    return -1;
}

TzdComponentEditor::TzdComponentEditor(TzdComponent* Component, TzdCustomDesigner* Designer, TzdMenu* Menu)
    : m_component(handleOf(Component))
    , m_designer(handleOf(Designer))
    , m_menu(Menu)
{
}

TzdComponentEditor::~TzdComponentEditor() = default;

bool TzdComponentEditor::Edit() { return false; }
bool TzdComponentEditor::HasEditor() { return false; }
void TzdComponentEditor::GetMenuItems() {}
bool TzdComponentEditor::Execute(int, bool) { return false; }

TzdMenuItem* TzdComponentEditor::AddMenuItem(const QString& Caption, int Tag, bool Checked)
{
    return m_menu ? &m_menu->Add(Caption, Tag, Checked) : nullptr;
}

TzdComponent* TzdComponentEditor::Component() const { return plat::HandleToObjectAs<TzdComponent>(m_component); }

TzdCustomDesigner* TzdComponentEditor::Designer() const
{
    return plat::HandleToObjectAs<TzdCustomDesigner>(m_designer);
}

std::vector<TzdComponent*> TzdComponentEditor::Selection() const
{
    TzdCustomDesigner* designer = Designer();
    if (!designer) {
        TzdComponent* own = Component();
        return own ? std::vector<TzdComponent*>{own} : std::vector<TzdComponent*>{};
    }
    return designer->Selection;
}
