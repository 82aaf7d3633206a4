#pragma once
// Test classes with one published property of every kind.

#include "Collections.h"
#include "Objects.h"
#include "TypeInfo.h"
#include "../TestUtil.h"

#include <ostream>


namespace fixture {

enum TTestKind { tkdPlain, tkdFancy, tkdOdd };
PLAT_DECLARE_ENUM(TTestKind)
enum TTestOption { toBold, toItalic, toUnder };
PLAT_DECLARE_ENUM(TTestOption)
using TTestOptions = plat::TSet<TTestOption>;
PLAT_DECLARE_SET(TTestOptions)

PLAT_ALIAS_TYPE(TTestCaption, QString)

// A nested persistent object, as a font is.
class TTestSub : public plat::TPersistent {
    PLAT_CLASS(TTestSub, plat::TPersistent)
public:
    TTestSub() = default;
    int Size() const { return m_size; }
    void SetSize(int v) { m_size = v; }
    QString Name() const { return m_name; }
    void SetName(const QString& v) { m_name = v; }
    void Assign(plat::TPersistent* source) override;

private:
    int m_size = 10;
    QString m_name = QStringLiteral("Arial");
};

class TTestObject : public plat::TComponent {
    PLAT_CLASS(TTestObject, plat::TComponent)
public:
    explicit TTestObject(plat::TComponent* owner);
    ~TTestObject() override;

    int IntValue() const { return m_int; }
    void SetIntValue(int v) { m_int = v; }
    quint8 ByteValue() const { return m_byte; }
    void SetByteValue(quint8 v) { m_byte = v; }
    qint64 BigValue() const { return m_big; }
    void SetBigValue(qint64 v) { m_big = v; }
    char CharValue() const { return m_char; }
    void SetCharValue(char v) { m_char = v; }
    QChar WideCharValue() const { return m_wchar; }
    void SetWideCharValue(QChar v) { m_wchar = v; }
    bool Flag() const { return m_flag; }
    void SetFlag(bool v) { m_flag = v; }
    TTestKind Kind() const { return m_kind; }
    void SetKind(TTestKind v) { m_kind = v; }
    TTestOptions Options() const { return m_options; }
    void SetOptions(TTestOptions v) { m_options = v; }
    qint32 Color() const { return m_color; }
    void SetColor(qint32 v) { m_color = v; }
    double When() const { return m_when; }
    void SetWhen(double v) { m_when = v; }
    double Ratio() const { return m_ratio; }
    void SetRatio(double v) { m_ratio = v; }
    float SingleValue() const { return m_single; }
    void SetSingleValue(float v) { m_single = v; }
    long double ExtValue() const { return m_ext; }
    void SetExtValue(long double v) { m_ext = v; }
    double Money() const { return m_money; }
    void SetMoney(double v) { m_money = v; }
    const QString& Text() const { return m_text; }
    void SetText(const QString& v) { m_text = v; }
    QString Wide() const { return m_wide; }
    void SetWide(const QString& v) { m_wide = v; }
    QString Caption() const { return m_caption; }
    void SetCaption(const QString& v) { m_caption = v; }
    bool IsCaptionStored() const { return !m_caption.startsWith(u'#'); }
    plat::Variant Value() const { return m_value; }
    void SetValue(const plat::Variant& v) { m_value = v; }
    TTestSub* Sub() const { return m_sub; }
    void SetSub(TTestSub* v) { m_sub->Assign(v); }
    TTestObject* Link() const { return m_link; }
    void SetLink(TTestObject* v);
    double Edge(int index) const { return m_edges[index]; }
    void SetEdge(int index, double v) { m_edges[index] = v; }
    int ReadOnlyValue() const { return 42; }
    plat::TCollection* Items() const { return m_items; }
    void SetItems(plat::TCollection* v) { m_items->Assign(v); }

    plat::TNotifyEvent OnChange;

    // Custom data: a list of strings stored as records "Lines" and "Blob".
    QStringList lines;
    QByteArray blob;
    void DefineProperties(plat::TFiler& filer) override;

protected:
    void Notification(plat::TComponent* component, plat::TOperation operation) override;

private:
    int m_int = 0;
    quint8 m_byte = 0;
    qint64 m_big = 0;
    char m_char = 'A';
    QChar m_wchar = QChar(u'Ž');
    bool m_flag = true;
    TTestKind m_kind = tkdPlain;
    TTestOptions m_options;
    qint32 m_color = 0;
    double m_when = 0;
    double m_ratio = 0;
    float m_single = 0;
    long double m_ext = 0;
    double m_money = 0;
    QString m_text;
    QString m_wide;
    QString m_caption;
    plat::Variant m_value;
    TTestSub* m_sub;
    TTestObject* m_link = nullptr;
    double m_edges[2] = {0, 0};
    plat::TCollection* m_items;
};

// A descendant that redeclares Flag with another default and adds one.
class TTestDerived : public TTestObject {
    PLAT_CLASS(TTestDerived, TTestObject)
public:
    explicit TTestDerived(plat::TComponent* owner) : TTestObject(owner) {}
    int Extra() const { return m_extra; }
    void SetExtra(int v) { m_extra = v; }

private:
    int m_extra = 0;
};

class TTestItem : public plat::TCollectionItem {
    PLAT_CLASS(TTestItem, plat::TCollectionItem)
public:
    explicit TTestItem(plat::TCollection* collection) : plat::TCollectionItem(collection) {}
    QString Label() const { return m_label; }
    void SetLabel(const QString& v) { m_label = v; }
    int Weight() const { return m_weight; }
    void SetWeight(int v) { m_weight = v; }
    void Assign(plat::TPersistent* source) override;

private:
    QString m_label;
    int m_weight = 0;
};

} // namespace fixture
