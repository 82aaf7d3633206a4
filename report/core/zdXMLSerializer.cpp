#include "zdXMLSerializer.h"

#include "CodePage.h"
#include "Exceptions.h"
#include "FormatSettings.h"
#include "PropStream.h"
#include "SysUtils.h"
#include "TypeInfo.h"
#include "Variant.h"
#include "zdRes.h"
#include "zdUtils.h"
#include "zdXML.h"

#include <QStringDecoder>
#include <QVarLengthArray>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace zd {

QString decodeFileText(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(bytes);
    if (!decoder.hasError())
        return text;
    return plat::cp1250ToUnicode(bytes);
}

QString floatText(long double value)
{
    // Whole numbers of up to 15 digits read the same in the general format
    // as in plain integer digits; most positions and sizes are whole.
    constexpr long double kWholeDigitsLimit = 1e15L;
    if (value != 0 && std::fabs(value) < kWholeDigitsLimit && value == std::trunc(value))
        return QString::number(qint64(value));
    plat::TFormatSettings settings = plat::FormatSettings();
    settings.DecimalSeparator = u'.';
    return plat::FloatToStr(value, settings);
}

} // namespace zd

namespace {

const QByteArray kInherited = QByteArrayLiteral("inherited");
const QByteArray kCustomData = QByteArrayLiteral("ZdCustomData");
const QByteArray kPropData = QByteArrayLiteral("PropData");
constexpr long double kFloatTolerance = 1e-6L;

// Marks a report object as being written for the duration of one
// PropertiesToText, on every path.
class WritingMark {
public:
    explicit WritingMark(plat::TPersistent* obj) : m_obj(dynamic_cast<TzdComponent*>(obj))
    {
        if (m_obj) {
            m_was = m_obj->StreamWriting;
            m_obj->StreamWriting = true;
        }
    }
    ~WritingMark()
    {
        if (m_obj)
            m_obj->StreamWriting = m_was;
    }
    WritingMark(const WritingMark&) = delete;
    WritingMark& operator=(const WritingMark&) = delete;

private:
    TzdComponent* m_obj;
    bool m_was = false;
};

QByteArray escaped(const QString& text)
{
    return zdXMLEscape(text.toUtf8());
}

// A property name in UTF-8; names are nearly always ASCII, copied as they are.
void appendName(QByteArray& out, const QString& name)
{
    for (QChar ch : name)
        if (ch.unicode() >= 0x80) {
            out += name.toUtf8();
            return;
        }
    for (QChar ch : name)
        out += char(ch.unicode());
}

void appendPair(QByteArray& out, const QByteArray& prefix, const QString& name, const QByteArray& value)
{
    out += ' ';
    out += prefix;
    appendName(out, name);
    out += "=\"";
    out += value;
    out += '"';
}

// The same for a value given as text (numbers, enumeration names): ASCII
// text is copied as it is, without a UTF-8 copy first.
void appendTextPair(QByteArray& out, const QByteArray& prefix, const QString& name, const QString& value)
{
    out += ' ';
    out += prefix;
    appendName(out, name);
    out += "=\"";
    appendName(out, value);
    out += '"';
}

void appendNumberPair(QByteArray& out, const QByteArray& prefix, const QString& name, qint64 value)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out += ' ';
    out += prefix;
    appendName(out, name);
    out += "=\"";
    out.append(digits, end - digits);
    out += '"';
}

// A string list's text: lines joined by CR LF, one final CR LF removed.
QString listText(const plat::TStrings& list)
{
    QString text = list.Text();
    if (text.endsWith(QStringLiteral("\r\n")))
        text.chop(2);
    return text;
}

QString withoutFinalLineBreak(QString text)
{
    if (text.endsWith(QStringLiteral("\r\n")))
        text.chop(2);
    return text;
}

bool isComponentClass(const plat::TPropInfo* prop)
{
    const plat::TClass* cls = prop->PropType()->ClassType();
    return cls && cls->InheritsFrom(plat::TComponent::StaticClass());
}

bool isOrdinalKind(plat::TTypeKind kind)
{
    return kind == plat::tkInteger || kind == plat::tkChar || kind == plat::tkEnumeration || kind == plat::tkSet
        || kind == plat::tkWChar;
}

bool isStringKind(plat::TTypeKind kind)
{
    return kind == plat::tkString || kind == plat::tkLString || kind == plat::tkWString;
}

bool isNumber(const QString& text)
{
    bool ok = false;
    text.trimmed().toLongLong(&ok);
    return ok;
}

// An optional minus and 1 to 18 decimal digits, nothing around them.
bool plainDecimal(const QByteArray& text, qint64& value)
{
    const qsizetype n = text.size();
    const bool negative = n > 0 && text[0] == '-';
    const qsizetype first = negative ? 1 : 0;
    if (n - first < 1 || n - first > 18)
        return false;
    qint64 v = 0;
    for (qsizetype i = first; i < n; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    value = negative ? -v : v;
    return true;
}

QString propertyPath(plat::TPersistent* obj, const plat::TPropInfo* prop)
{
    QString path = obj->GetNamePath();
    if (!path.isEmpty())
        path += u'.';
    return path + prop->Name();
}

} // namespace

TzdXMLSerializer::TzdXMLSerializer(plat::TStream* Stream)
    : m_stream(Stream), m_reader(std::make_unique<plat::TReader>(m_replay))
{
    m_errors.SetSorted(true);
    m_errors.SetDuplicates(plat::dupIgnore);
}

TzdXMLSerializer::~TzdXMLSerializer()
{
    ClearFixups();
}

// ---------------------------------------------------------------------------
// Writing attribute text

QByteArray TzdXMLSerializer::PropertiesToText(plat::TPersistent* Obj, const QByteArray& Prefix,
                                              plat::TPersistent* Ancestor)
{
    QByteArray out;
    if (!Obj)
        return out;
    WritingMark objMark(Obj);
    if (!Ancestor && OnGetAncestor)
        if (auto* component = dynamic_cast<TzdComponent*>(Obj))
            Ancestor = OnGetAncestor(component->Name());
    WritingMark ancestorMark(Ancestor);
    // Resetting to the ancestor writes the ancestor's values in place of the
    // object's.
    plat::TPersistent* source = Obj;
    if (AncestorOnly && Ancestor)
        source = Ancestor;

    for (const plat::TPropInfo* prop : source->ClassType()->Properties())
        if (prop->IsStored(source))
            appendProperty(out, source, prop, Prefix, Ancestor);

    if (auto* text = dynamic_cast<zd::TextObject*>(source)) {
        const QString value = text->GetWideText();
        auto* ancestorText = dynamic_cast<zd::TextObject*>(Ancestor);
        if (!(ancestorText && !AncestorOnly && ancestorText->GetWideText() == value)) {
            out += " Text=\"";
            out += escaped(withoutFinalLineBreak(value));
            out += '"';
        }
    }

    auto* component = dynamic_cast<TzdComponent*>(source);
    const bool nestedByItems =
        component && HandleNestedProperties && component->ObjectStyle().contains(osNestedProperties);
    if (!nestedByItems) {
        const QByteArray data = customData(source);
        if (!data.isEmpty()) {
            bool same = false;
            if (Ancestor && !AncestorOnly)
                same = customData(Ancestor) == data;
            if (!same) {
                plat::TMemoryStream bytes(data);
                appendPair(out, Prefix, QString::fromLatin1(kPropData), zdStreamToHex(bytes).toLatin1());
            }
        }
    }
    return out;
}

void TzdXMLSerializer::appendProperty(QByteArray& out, plat::TPersistent* obj, const plat::TPropInfo* prop,
                                      const QByteArray& prefix, plat::TPersistent* ancestor)
{
    const plat::TTypeKind kind = prop->Kind();
    const plat::TTypeInfo* type = prop->PropType();
    if (ancestor && !ancestor->ClassType()->FindProperty(prop->Name()))
        ancestor = nullptr;
    const plat::TPropInfo* ancestorProp = ancestor ? ancestor->ClassType()->FindProperty(prop->Name()) : nullptr;

    if (isOrdinalKind(kind)) {
        const qint64 value = plat::GetOrdProp(obj, prop);
        bool skip = false;
        if (ancestorProp)
            skip = plat::GetOrdProp(ancestor, ancestorProp) == value;
        else if (prop->HasDefault())
            skip = prop->Default() == value;
        if (skip && !SerializeDefaultValues)
            return;
        if (kind == plat::tkEnumeration)
            appendTextPair(out, prefix, prop->Name(), type->EnumName(value));
        else
            appendNumberPair(out, prefix, prop->Name(), kind == plat::tkSet ? qint64(quint32(value)) : value);
        return;
    }
    if (kind == plat::tkFloat) {
        const long double value = plat::GetFloatProp(obj, prop);
        if (ancestorProp && !SerializeDefaultValues
            && std::fabs(plat::GetFloatProp(ancestor, ancestorProp) - value) < kFloatTolerance)
            return;
        appendTextPair(out, prefix, prop->Name(), zd::floatText(value));
        return;
    }
    if (isStringKind(kind)) {
        const QString value = plat::GetStrProp(obj, prop);
        const bool skip = ancestorProp ? plat::GetStrProp(ancestor, ancestorProp) == value : value.isEmpty();
        if (skip && !SerializeDefaultValues)
            return;
        appendPair(out, prefix, prop->Name(), escaped(value));
        return;
    }
    if (kind == plat::tkVariant) {
        const plat::Variant value = plat::GetVariantProp(obj, prop);
        if (ancestorProp && !SerializeDefaultValues && plat::GetVariantProp(ancestor, ancestorProp) == value)
            return;
        appendPair(out, prefix, prop->Name(), escaped(plat::VarToStr(value)));
        return;
    }
    if (kind != plat::tkClass)
        return; // methods, 64-bit integers and the rest are never written

    plat::TObject* value = plat::GetObjectProp(obj, prop);
    plat::TObject* ancestorValue = ancestorProp ? plat::GetObjectProp(ancestor, ancestorProp) : nullptr;
    if (isComponentClass(prop)) {
        auto* ref = dynamic_cast<plat::TComponent*>(value);
        auto* ancestorRef = dynamic_cast<plat::TComponent*>(ancestorValue);
        if (ref) {
            if (ancestorProp && ancestorRef && plat::sameName(ancestorRef->Name(), ref->Name()))
                return;
            appendPair(out, prefix, prop->Name(), escaped(zdGetFullName(Owner, ref)));
        } else if (ancestorRef) {
            appendPair(out, prefix, prop->Name(), QByteArrayLiteral("nil"));
        }
        return;
    }
    if (auto* list = dynamic_cast<plat::TStrings*>(value)) {
        const QString text = listText(*list);
        if (ancestorProp && !AncestorOnly)
            if (auto* ancestorList = dynamic_cast<plat::TStrings*>(ancestorValue); ancestorList && listText(*ancestorList) == text)
                return;
        appendPair(out, prefix, prop->Name() + QStringLiteral(".Text"), escaped(text));
        return;
    }
    if (auto* nested = dynamic_cast<plat::TPersistent*>(value))
        out += PropertiesToText(nested, prefix + prop->Name().toUtf8() + '.',
                                dynamic_cast<plat::TPersistent*>(ancestorValue));
}

QByteArray TzdXMLSerializer::customData(plat::TPersistent* obj)
{
    if (!obj)
        return {};
    plat::TMemoryStream stream;
    {
        plat::TWriter writer(stream);
        writer.SetRoot(Owner);
        obj->DefineProperties(writer);
    }
    return stream.bytes();
}

QByteArray TzdXMLSerializer::GetObjectText(plat::TPersistent* Obj)
{
    if (!Obj)
        return {};
    return Obj->ClassName().toUtf8() + PropertiesToText(Obj, QByteArray(), nullptr);
}

void TzdXMLSerializer::WriteObjectElement(plat::TPersistent* Obj)
{
    if (!m_stream)
        return;
    const QByteArray element = '<' + GetObjectText(Obj) + "/>";
    m_stream->WriteBuffer(element.constData(), element.size());
}

// ---------------------------------------------------------------------------
// Writing the tree

void TzdXMLSerializer::WriteRootComponent(TzdComponent* Root, bool SaveChildren, TzdXMLItem* Item,
                                          bool IgnoreAncestry)
{
    if (!Root)
        return;
    if (!Owner)
        Owner = Root;
    std::unique_ptr<TzdXMLDocument> document;
    TzdXMLItem* rootItem = Item;
    if (!rootItem) {
        document = std::make_unique<TzdXMLDocument>();
        document->AutoIndent = true;
        rootItem = document->Root();
    }
    writeObject(Root, rootItem, true, SaveChildren, IgnoreAncestry);
    if (document) {
        if (OnSaveCustomData) {
            TzdXMLItem* custom = document->Root()->Add();
            custom->Name = kCustomData;
            OnSaveCustomData(custom);
        }
        if (m_stream)
            document->SaveToStream(*m_stream);
    }
}

void TzdXMLSerializer::writeObject(TzdComponent* Obj, TzdXMLItem* Item, bool IsRoot, bool SaveChildren,
                                   bool IgnoreAncestry)
{
    Item->Name = Obj->IsAncestor() && !IgnoreAncestry ? kInherited : Obj->ClassName().toUtf8();
    if (IsRoot)
        Item->Text = PropertiesToText(Obj, QByteArray(), nullptr);
    else
        Item->Text = "Name=\"" + Obj->Name().toUtf8() + '"' + PropertiesToText(Obj, QByteArray(), nullptr);
    if (HandleNestedProperties && Obj->ObjectStyle().contains(osNestedProperties))
        Obj->WriteNestedProperties(Item);
    if (SaveChildren)
        for (TzdComponent* child : std::vector<TzdComponent*>(Obj->Children()))
            writeObject(child, Item->Add(), false, true, IgnoreAncestry);
}

// ---------------------------------------------------------------------------
// Reading attribute text

void TzdXMLSerializer::TextToProperties(const QByteArray& Text, plat::TPersistent* Obj)
{
    if (!Obj)
        return;
    const qsizetype n = Text.size();
    qsizetype pos = 0;
    while (pos < n - 1) {
        while (pos < n && static_cast<unsigned char>(Text[pos]) <= ' ')
            ++pos;
        const qsizetype eq = Text.indexOf('=', pos);
        if (eq < 0)
            break;
        // Name and value stay views into Text (no copies): setProperty keeps
        // neither, only what it converts them into.
        qsizetype nameEnd = eq;
        while (nameEnd > pos && static_cast<unsigned char>(Text[nameEnd - 1]) <= ' ')
            --nameEnd;
        if (nameEnd <= pos)
            break;
        const QByteArray name = QByteArray::fromRawData(Text.constData() + pos, nameEnd - pos);
        const qsizetype open = Text.indexOf('"', eq + 1);
        if (open < 0)
            break;
        const qsizetype close = Text.indexOf('"', open + 1);
        QByteArray value;
        if (close < 0) {
            // A missing closing quote: the value ends before the last character.
            value = QByteArray::fromRawData(Text.constData() + open + 1, std::max<qsizetype>(0, n - 1 - (open + 1)));
            pos = n;
        } else {
            value = QByteArray::fromRawData(Text.constData() + open + 1, close - open - 1);
            pos = close + 1;
        }
        try {
            setProperty(Obj, name, value);
        } catch (const plat::Exception& e) {
            m_errors.Add(e.message());
        }
    }
}

void TzdXMLSerializer::setProperty(plat::TPersistent* obj, const QByteArray& fullName, const QByteArray& value)
{
    // Dotted names walk into nested objects (never into referenced components).
    plat::TPersistent* current = obj;
    QString nameText;
    QStringView name;
    // A plain ASCII name (nearly all of them) is widened on the stack.
    QVarLengthArray<char16_t, 64> ascii;
    const bool plainAscii = !fullName.contains('.') && std::all_of(fullName.begin(), fullName.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x80;
    });
    if (plainAscii) {
        ascii.resize(fullName.size());
        std::copy(fullName.begin(), fullName.end(), ascii.begin());
        name = QStringView(ascii.constData(), ascii.size());
    } else if (fullName.contains('.')) {
        const QList<QByteArray> parts = fullName.split('.');
        qsizetype i = 0;
        for (; i + 1 < parts.size(); ++i) {
            const plat::TPropInfo* prop = current->ClassType()->FindProperty(QString::fromUtf8(parts[i]));
            plat::TPersistent* next = nullptr;
            if (prop && prop->Kind() == plat::tkClass)
                next = dynamic_cast<plat::TPersistent*>(plat::GetObjectProp(current, prop));
            if (!next || dynamic_cast<plat::TComponent*>(next))
                break;
            current = next;
        }
        if (i + 1 < parts.size()) {
            QByteArrayList rest(parts.begin() + i, parts.end());
            nameText = QString::fromUtf8(rest.join('.'));
        } else {
            nameText = QString::fromUtf8(parts.last());
        }
        name = nameText;
    } else {
        nameText = QString::fromUtf8(fullName);
        name = nameText;
    }

    if (name.size() == 1) {
        auto* component = dynamic_cast<TzdComponent*>(current);
        const QChar letter = name[0];
        if (component && (letter == u'l' || letter == u't' || letter == u'w' || letter == u'h')) {
            const long double v = zdParseFloat(QString::fromUtf8(value));
            if (letter == u'l')
                component->SetLeft(v);
            else if (letter == u't')
                component->SetTop(v);
            else if (letter == u'w')
                component->SetWidth(v);
            else
                component->SetHeight(v);
            return;
        }
        if (letter == u'u' || letter == u'x') {
            if (auto* text = dynamic_cast<zd::TextObject*>(current)) {
                const QByteArray bytes = zdXMLUnescape(value);
                text->SetWideText(letter == u'u' ? QString::fromUtf8(bytes) : plat::cp1250ToUnicode(bytes));
            }
            return; // not applied to objects that hold no text
        }
    }
    if (name == u"Text") {
        if (auto* list = dynamic_cast<plat::TStrings*>(current)) {
            list->SetText(zd::decodeFileText(zdXMLUnescape(value)));
            return;
        }
        if (auto* text = dynamic_cast<zd::TextObject*>(current)) {
            text->SetWideText(QString::fromUtf8(zdXMLUnescape(value)));
            return;
        }
    }
    if (name == QLatin1String(kPropData)) {
        replayPropData(current, value);
        return;
    }
    if (name == u"Name" && dynamic_cast<zd::ReportDocument*>(current))
        return;

    const plat::TPropInfo* prop = current->ClassType()->FindProperty(name);
    if (!prop || !prop->IsWritable())
        return;
    const plat::TTypeKind kind = prop->Kind();
    if (qint64 number = 0; (isOrdinalKind(kind)) && plainDecimal(value, number)) {
        // Most ordinal values are written as plain decimal numbers: read
        // without going through text (what the general route does with them).
        plat::SetOrdProp(current, prop, number);
        return;
    }
    if (kind == plat::tkInteger || kind == plat::tkChar || kind == plat::tkWChar || kind == plat::tkSet) {
        const QString text = QString::fromUtf8(value);
        if (kind == plat::tkSet && !isNumber(text)) {
            plat::SetSetProp(current, prop, text);
            return;
        }
        plat::SetOrdProp(current, prop, plat::StrToInt64(text.trimmed()));
    } else if (kind == plat::tkEnumeration) {
        const QString text = QString::fromUtf8(value);
        if (isNumber(text))
            plat::SetOrdProp(current, prop, plat::StrToInt64(text.trimmed()));
        else
            plat::SetEnumProp(current, prop, text);
    } else if (kind == plat::tkFloat) {
        plat::SetFloatProp(current, prop, zdParseFloat(QString::fromUtf8(value)));
    } else if (isStringKind(kind)) {
        plat::SetStrProp(current, prop, zd::decodeFileText(zdXMLUnescape(value)));
    } else if (kind == plat::tkVariant) {
        plat::SetVariantProp(current, prop, plat::Variant(zd::decodeFileText(zdXMLUnescape(value))));
    } else if (kind == plat::tkClass && isComponentClass(prop)) {
        AddFixup(current, prop, zd::decodeFileText(zdXMLUnescape(value)));
    }
}

void TzdXMLSerializer::replayPropData(plat::TPersistent* obj, const QByteArray& hex)
{
    // Every record starts from an empty stream: a shorter record must not
    // see the tail of a longer one before it.
    m_replay.Clear();
    try {
        zdHexToStream(QString::fromLatin1(hex), m_replay);
        m_replay.SetPosition(0);
        while (m_replay.Position() < m_replay.Size())
            m_reader->ReadProperty(obj);
    } catch (const plat::Exception&) {
        // A damaged record ends its own replay; the rest of the element reads on.
    }
}

// ---------------------------------------------------------------------------
// Reading the tree

void TzdXMLSerializer::ReadRootComponent(TzdComponent* Root, TzdXMLItem* Item)
{
    if (!Root)
        return;
    if (!Owner)
        Owner = Root;
    std::unique_ptr<TzdXMLDocument> document;
    TzdXMLItem* rootItem = Item;
    if (!rootItem) {
        if (!m_stream)
            return;
        document = std::make_unique<TzdXMLDocument>();
        document->LoadFromStream(*m_stream);
        OldFormat = document->OldVersion;
        rootItem = document->Root();
    }
    m_reader->SetRoot(Owner);
    m_reader->BeginReferences();
    std::vector<TzdComponent*> read;
    auto unmark = [&read] {
        for (TzdComponent* obj : read)
            obj->StreamLoading = false;
    };
    try {
        readObject(rootItem, Root, nullptr, read);
        ResolveFixups();
    } catch (...) {
        unmark();
        ClearFixups();
        throw;
    }
    for (TzdComponent* obj : read) {
        obj->StreamLoading = false;
        if (!dynamic_cast<zd::ReportDocument*>(obj))
            obj->Loaded();
    }
}

void TzdXMLSerializer::readObject(TzdXMLItem* Item, TzdComponent* Root, TzdComponent* ParentObj,
                                  std::vector<TzdComponent*>& ReadList)
{
    if (Item->Name.compare(kCustomData, Qt::CaseInsensitive) == 0) {
        if (OnGetCustomData)
            OnGetCustomData(Item);
        return;
    }
    const bool inherited = Item->Name == kInherited;
    const QString className = QString::fromUtf8(Item->Name);
    const plat::TClass* cls = inherited ? nullptr : plat::GetClass(className);
    auto unknownClass = [&] {
        m_errors.Add(zdGetResources()->GetText(QStringLiteral("xrCantFindClass")) + u' ' + className);
    };
    if (!inherited && !cls) {
        unknownClass();
        return;
    }

    TzdComponent* obj = nullptr;
    if (!ParentObj) {
        obj = Root;
    } else {
        const QString name = zd::decodeFileText(Item->GetAttr(QByteArrayLiteral("Name")));
        if (!name.isEmpty())
            obj = dynamic_cast<TzdComponent*>(Owner->FindComponent(name));
        if (!obj) {
            if (inherited)
                return;
            if (!cls->InheritsFrom(TzdComponent::StaticClass())) {
                unknownClass();
                return;
            }
            try {
                obj = static_cast<TzdComponent*>(cls->CreateComponent(ParentObj));
            } catch (const plat::Exception& e) {
                m_errors.Add(e.message());
                return;
            }
        }
    }

    obj->StreamLoading = true;
    ReadList.push_back(obj);
    TextToProperties(Item->Text, obj);
    const bool nested = HandleNestedProperties && obj->ObjectStyle().contains(osNestedProperties);
    for (int i = 0; i < Item->Count(); ++i) {
        TzdXMLItem* child = Item->GetItem(i);
        if (nested && obj->ReadNestedProperty(child))
            continue;
        readObject(child, Root, obj, ReadList);
    }
}

TzdComponent* TzdXMLSerializer::ReadObjectFromText(TzdComponent* AOwner, const QByteArray& Text, bool DontFixup)
{
    Owner = AOwner;
    const QByteArray trimmed = Text.trimmed();
    if (trimmed.isEmpty())
        return nullptr;
    const qsizetype blank = trimmed.indexOf(' ');
    const QString className = QString::fromUtf8(blank < 0 ? trimmed : trimmed.left(blank));
    const QByteArray attributes = blank < 0 ? QByteArray() : trimmed.mid(blank + 1);
    const plat::TClass* cls = plat::FindClass(className);
    if (!cls->InheritsFrom(TzdComponent::StaticClass()))
        throw plat::EClassNotFound(QStringLiteral("Class %1 not found").arg(className));
    auto* obj = static_cast<TzdComponent*>(cls->CreateComponent(AOwner));
    m_reader->SetRoot(AOwner);
    m_reader->BeginReferences();
    obj->StreamLoading = true;
    auto finish = [&] {
        if (DontFixup) {
            m_reader->EndReferences();
            ClearFixups();
        } else {
            ResolveFixups();
        }
        obj->StreamLoading = false;
        if (!dynamic_cast<zd::ReportDocument*>(obj))
            obj->Loaded();
    };
    try {
        TextToProperties(attributes, obj);
    } catch (...) {
        finish();
        throw;
    }
    finish();
    return obj;
}

void TzdXMLSerializer::ReadPersistent(TzdComponent* Root, plat::TPersistent* Obj, const QByteArray& Text)
{
    Owner = Root;
    m_reader->SetRoot(Root);
    m_reader->BeginReferences();
    TextToProperties(Text, Obj);
    ResolveFixups();
}

// ---------------------------------------------------------------------------
// References

void TzdXMLSerializer::AddFixup(plat::TPersistent* Obj, const plat::TPropInfo* Property, const QString& Name)
{
    m_fixups.push_back(TzdFixupItem{Obj, Property, Name});
}

void TzdXMLSerializer::ResolveFixups()
{
    std::vector<TzdFixupItem> pending;
    pending.swap(m_fixups);
    for (const TzdFixupItem& fixup : pending) {
        // "nil" clears a reference that the ancestor had.
        if (fixup.Value.isEmpty() || fixup.Value.compare(u"nil", Qt::CaseInsensitive) == 0) {
            plat::SetObjectProp(fixup.Obj, fixup.Property, nullptr);
            continue;
        }
        plat::TComponent* found = Owner ? Owner->FindObject(fixup.Value) : nullptr;
        if (!found) {
            try {
                found = zdFindComponent(Owner, fixup.Value);
            } catch (const plat::Exception&) {
                found = nullptr;
            }
        }
        if (!found) {
            // Unresolved references are reported, not dropped in silence.
            m_errors.Add(QStringLiteral("Nelze nalézt objekt %1 (%2)")
                             .arg(fixup.Value, propertyPath(fixup.Obj, fixup.Property)));
            continue;
        }
        try {
            plat::SetObjectProp(fixup.Obj, fixup.Property, found);
        } catch (const plat::Exception& e) {
            m_errors.Add(e.message());
        }
    }
    m_reader->FixupReferences();
    m_reader->EndReferences();
}

void TzdXMLSerializer::ClearFixups()
{
    m_fixups.clear();
}

void TzdXMLSerializer::CopyFixups(std::vector<TzdFixupItem>& List) const
{
    List.insert(List.end(), m_fixups.begin(), m_fixups.end());
}
