// The declaration guide at the top of TypeInfo.h, as a class would copy it.

#include "Exceptions.h"
#include "Handles.h"
#include "TypeInfo.h"

#include <gtest/gtest.h>

namespace guide {

enum TWidgetKind { wkPlain, wkFancy };
PLAT_DECLARE_ENUM(TWidgetKind)
enum TWidgetOption { woBold, woWide };
using TWidgetOptions = plat::TSet<TWidgetOption>;
PLAT_DECLARE_ENUM(TWidgetOption)
PLAT_DECLARE_SET(TWidgetOptions)

using TColor = qint32; // Graphics.h in the program
inline constexpr TColor clBlack = 0;

class TWidget : public plat::TComponent {
    PLAT_CLASS(TWidget, plat::TComponent)
public:
    explicit TWidget(plat::TComponent* AOwner) : plat::TComponent(AOwner) {}
    int Size() const { return m_size; }
    void SetSize(int v) { m_size = v; }
    TColor Color() const { return m_color; }
    void SetColor(TColor v) { m_color = v; }
    TWidgetKind Kind() const { return m_kind; }
    void SetKind(TWidgetKind v) { m_kind = v; }
    TWidgetOptions Options() const { return m_options; }
    void SetOptions(TWidgetOptions v) { m_options = v; }
    QString Caption() const { return m_caption; }
    void SetCaption(const QString& v) { m_caption = v; }
    bool IsCaptionStored() const { return !m_caption.isEmpty(); }
    TWidget* Buddy() const { return m_buddy; }
    void SetBuddy(TWidget* v)
    {
        if (m_buddy)
            m_buddy->RemoveFreeNotification(this);
        m_buddy = v;
        if (m_buddy)
            m_buddy->FreeNotification(this);
    }
    plat::TNotifyEvent OnChange;

protected:
    void Notification(plat::TComponent* AComponent, plat::TOperation Operation) override
    {
        plat::TComponent::Notification(AComponent, Operation);
        if (Operation == plat::opRemove && AComponent == m_buddy)
            m_buddy = nullptr;
    }

private:
    int m_size = 10;
    TColor m_color = clBlack;
    TWidgetKind m_kind = wkPlain;
    TWidgetOptions m_options;
    QString m_caption;
    TWidget* m_buddy = nullptr;
};

PLAT_DEFINE_ENUM(TWidgetKind, "wkPlain", "wkFancy")
PLAT_DEFINE_ENUM(TWidgetOption, "woBold", "woWide")
PLAT_DEFINE_SET(TWidgetOptions, TWidgetOption)
PLAT_DEFINE_CLASS(TWidget, c)
{
    c.property("Size", &TWidget::Size, &TWidget::SetSize).defaultValue(10);
    c.property<plat::ti::TColor>("Color", &TWidget::Color, &TWidget::SetColor).defaultValue(clBlack);
    c.property("Kind", &TWidget::Kind, &TWidget::SetKind).defaultValue(wkPlain);
    c.property("Options", &TWidget::Options, &TWidget::SetOptions).defaultValue(TWidgetOptions{});
    c.property("Caption", &TWidget::Caption, &TWidget::SetCaption).stored(&TWidget::IsCaptionStored);
    c.property("Buddy", &TWidget::Buddy, &TWidget::SetBuddy);
    c.property("OnChange", &TWidget::OnChange);
}

} // namespace guide

TEST(Guide, TheExampleClassWorksAsDescribed)
{
    using namespace plat;
    RegisterClass(guide::TWidget::StaticClass());
    TComponent form(nullptr);
    auto* w = static_cast<guide::TWidget*>(CreateComponentByName(u"TWidget", &form));
    auto* buddy = new guide::TWidget(&form);
    w->SetName("Widget1");
    SetPropValue(w, u"kind", Variant(QStringLiteral("wkFancy")));
    SetPropValue(w, u"Options", Variant(QStringLiteral("[woWide]")));
    SetPropValue(w, u"Buddy", ObjectToVariant(buddy));
    EXPECT_EQ(w->Kind(), guide::wkFancy);
    EXPECT_EQ(w->Options(), guide::TWidgetOptions{guide::woWide});
    EXPECT_EQ(w->Buddy(), buddy);
    EXPECT_EQ(GetPropInfo(w, u"Color")->PropType()->Name(), "TColor");
    EXPECT_FALSE(IsStoredProp(w, GetPropInfo(w, u"Caption")));
    QStringList names;
    for (const TPropInfo* p : w->ClassType()->Properties())
        names << p->Name();
    EXPECT_EQ(names, (QStringList{"Name", "Tag", "Size", "Color", "Kind", "Options", "Caption", "Buddy", "OnChange"}));
    delete buddy;
    EXPECT_EQ(w->Buddy(), nullptr);
    UnRegisterClass(guide::TWidget::StaticClass());
}
