#include "ObjectsFixture.h"

#include "PropStream.h"
#include "Streams.h"

namespace fixture {

PLAT_DEFINE_ENUM(TTestKind, "tkdPlain", "tkdFancy", "tkdOdd")
PLAT_DEFINE_ENUM(TTestOption, "toBold", "toItalic", "toUnder")
PLAT_DEFINE_SET(TTestOptions, TTestOption)

PLAT_DEFINE_CLASS(TTestSub, c)
{
    c.property("Size", &TTestSub::Size, &TTestSub::SetSize).defaultValue(10);
    c.property<plat::ti::TFontName>("Name", &TTestSub::Name, &TTestSub::SetName);
}

void TTestSub::Assign(plat::TPersistent* source)
{
    if (auto* s = dynamic_cast<TTestSub*>(source)) {
        m_size = s->m_size;
        m_name = s->m_name;
        return;
    }
    plat::TPersistent::Assign(source);
}

PLAT_DEFINE_CLASS(TTestObject, c)
{
    using T = TTestObject;
    c.property("IntValue", &T::IntValue, &T::SetIntValue);
    c.property("ByteValue", &T::ByteValue, &T::SetByteValue).defaultValue(0);
    c.property("BigValue", &T::BigValue, &T::SetBigValue);
    c.property("CharValue", &T::CharValue, &T::SetCharValue).defaultValue('A');
    c.property("WideCharValue", &T::WideCharValue, &T::SetWideCharValue);
    c.property("Flag", &T::Flag, &T::SetFlag).defaultValue(true);
    c.property("Kind", &T::Kind, &T::SetKind).defaultValue(tkdPlain);
    c.property("Options", &T::Options, &T::SetOptions).defaultValue(TTestOptions{});
    c.property<plat::ti::TColor>("Color", &T::Color, &T::SetColor).defaultValue(0);
    c.property<plat::ti::TDateTime>("When", &T::When, &T::SetWhen);
    c.property("Ratio", &T::Ratio, &T::SetRatio);
    c.property("SingleValue", &T::SingleValue, &T::SetSingleValue);
    c.property("ExtValue", &T::ExtValue, &T::SetExtValue);
    c.property<plat::ti::Currency>("Money", &T::Money, &T::SetMoney);
    c.property("Text", &T::Text, &T::SetText);
    c.property<plat::ti::WideString>("Wide", &T::Wide, &T::SetWide);
    c.property<TTestCaption>("Caption", &T::Caption, &T::SetCaption).stored(&T::IsCaptionStored);
    c.property("Value", &T::Value, &T::SetValue);
    c.property("Sub", &T::Sub, &T::SetSub);
    c.property("Link", &T::Link, &T::SetLink);
    c.indexedProperty("EdgeLeft", 0, &T::Edge, &T::SetEdge);
    c.indexedProperty("EdgeTop", 1, &T::Edge, &T::SetEdge);
    c.property("ReadOnlyValue", &T::ReadOnlyValue);
    c.property("Items", &T::Items, &T::SetItems);
    c.property("OnChange", &T::OnChange);
}

TTestObject::TTestObject(plat::TComponent* owner)
    : plat::TComponent(owner), m_sub(new TTestSub), m_items(new plat::TCollection(this, TTestItem::StaticClass()))
{
}

TTestObject::~TTestObject()
{
    delete m_items;
    delete m_sub;
}

void TTestObject::SetLink(TTestObject* v)
{
    if (v == m_link)
        return;
    if (m_link)
        m_link->RemoveFreeNotification(this);
    m_link = v;
    if (m_link)
        m_link->FreeNotification(this);
}

void TTestObject::Notification(plat::TComponent* component, plat::TOperation operation)
{
    plat::TComponent::Notification(component, operation);
    if (operation == plat::opRemove && component == m_link)
        m_link = nullptr;
}

void TTestObject::DefineProperties(plat::TFiler& filer)
{
    filer.DefineProperty(
        QStringLiteral("Lines"),
        [this](plat::TReader& r) {
            lines.clear();
            r.ReadListBegin();
            while (!r.EndOfList())
                lines.append(r.ReadString());
            r.ReadListEnd();
        },
        [this](plat::TWriter& w) {
            w.WriteListBegin();
            for (const QString& s : lines)
                w.WriteString(s);
            w.WriteListEnd();
        },
        // Like a string list: written when it differs from the ancestor's.
        [&] {
            if (auto* ancestor = dynamic_cast<TTestObject*>(filer.Ancestor()))
                return lines != ancestor->lines;
            return !lines.isEmpty();
        }());
    filer.DefineBinaryProperty(
        QStringLiteral("Blob"), [this](plat::TStream& s) { blob = s.readAll(); },
        [this](plat::TStream& s) { s.writeBytes(blob); }, !blob.isEmpty());
}

PLAT_DEFINE_CLASS(TTestDerived, c)
{
    c.property("Flag", &TTestDerived::Flag, &TTestDerived::SetFlag).defaultValue(false);
    c.property("Extra", &TTestDerived::Extra, &TTestDerived::SetExtra).defaultValue(0);
}

PLAT_DEFINE_CLASS(TTestItem, c)
{
    c.property("Label", &TTestItem::Label, &TTestItem::SetLabel);
    c.property("Weight", &TTestItem::Weight, &TTestItem::SetWeight).defaultValue(0);
}

void TTestItem::Assign(plat::TPersistent* source)
{
    if (auto* s = dynamic_cast<TTestItem*>(source)) {
        m_label = s->m_label;
        m_weight = s->m_weight;
        return;
    }
    plat::TCollectionItem::Assign(source);
}

} // namespace fixture
