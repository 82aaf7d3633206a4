#include "PlainEditHighlighter.h"

#include "CodePage.h"
#include "Exceptions.h"
#include "StringList.h"

using plat::TColor;

// ------------------------------------------------------------ attributes

PLAT_DEFINE_CLASS(TPlainTokenAttributes, c) { (void)c; }

TPlainTokenAttributes::TPlainTokenAttributes(const QString& Name) : m_name(Name) {}

void TPlainTokenAttributes::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TPlainTokenAttributes::SetBackground(TColor value)
{
    if (m_background != value) {
        m_background = value;
        Changed();
    }
}

void TPlainTokenAttributes::SetForeground(TColor value)
{
    if (m_foreground != value) {
        m_foreground = value;
        Changed();
    }
}

void TPlainTokenAttributes::SetStyle(plat::TFontStyles value)
{
    if (!(m_style == value)) {
        m_style = value;
        Changed();
    }
}

int TPlainTokenAttributes::StyleAsInteger() const { return int(m_style.mask() & 0x0F); }

void TPlainTokenAttributes::SetStyleFromInteger(int value) { SetStyle(plat::TFontStyles::fromMask(quint32(value) & 0x0F)); }

void TPlainTokenAttributes::Assign(plat::TPersistent* Source)
{
    if (auto* src = dynamic_cast<TPlainTokenAttributes*>(Source)) {
        m_name = src->m_name;
        const bool changed = m_background != src->m_background || m_foreground != src->m_foreground
                             || !(m_style == src->m_style);
        m_background = src->m_background;
        m_foreground = src->m_foreground;
        m_style = src->m_style;
        if (changed)
            Changed();
        return;
    }
    TPersistent::Assign(Source);
}

bool TPlainTokenAttributes::LoadFromRegistry(plat::KeyStore& Reg)
{
    const QString back = QLatin1Char('\\') + Reg.CurrentPath();
    if (!Reg.OpenKeyReadOnly(m_name))
        return false;
    if (Reg.ValueExists(QStringLiteral("Background")))
        SetBackground(Reg.ReadInteger(QStringLiteral("Background")));
    if (Reg.ValueExists(QStringLiteral("Foreground")))
        SetForeground(Reg.ReadInteger(QStringLiteral("Foreground")));
    if (Reg.ValueExists(QStringLiteral("Style")))
        SetStyleFromInteger(Reg.ReadInteger(QStringLiteral("Style")));
    Reg.OpenKeyReadOnly(back);
    return true;
}

bool TPlainTokenAttributes::SaveToRegistry(plat::KeyStore& Reg)
{
    const QString back = QLatin1Char('\\') + Reg.CurrentPath();
    if (!Reg.OpenKey(m_name, true))
        return false;
    Reg.WriteInteger(QStringLiteral("Background"), m_background);
    Reg.WriteInteger(QStringLiteral("Foreground"), m_foreground);
    Reg.WriteInteger(QStringLiteral("Style"), StyleAsInteger());
    Reg.OpenKey(back, false);
    return true;
}

// ------------------------------------------------------------ highlighter

PLAT_DEFINE_CLASS(TPlainCustomHighlighter, c)
{
    c.property("DefaultFilter", &TPlainCustomHighlighter::DefaultFilter, &TPlainCustomHighlighter::SetDefaultFilter);
    c.property("Enabled", &TPlainCustomHighlighter::Enabled, &TPlainCustomHighlighter::SetEnabled).defaultValue(true);
}

TPlainCustomHighlighter::TPlainCustomHighlighter(plat::TComponent* AOwner)
    : plat::TComponent(AOwner),
      m_attrChangeChain(this),
      m_wordBreakChars({{33, 34}, {39, 47}, {58, 59}, {61, 61}, {63, 63}, {91, 94}, {123, 125}})
{
}

TPlainCustomHighlighter::~TPlainCustomHighlighter() = default;

TPlainTokenAttributes* TPlainCustomHighlighter::AttributeAt(int Index) const
{
    if (Index < 0 || Index >= int(m_attributes.size()))
        return nullptr;
    auto it = m_attributes.begin();
    std::advance(it, Index);
    return it->second.get();
}

TPlainCharSet TPlainCustomHighlighter::IdentifierCharacters() const
{
    return TPlainCharSet({{33, 255}}, TPlainCharSet::OutsideLettersDigits);
}

void TPlainCustomHighlighter::ListUserSettings(plat::TStrings& List) { List.Clear(); }

void TPlainCustomHighlighter::AddAttribute(std::unique_ptr<TPlainTokenAttributes> Attribute)
{
    const QString key = plat::foldCase(Attribute->Name());
    if (m_attributes.count(key))
        throw plat::EStringListError(QStringLiteral("String list does not allow duplicates"));
    Attribute->OnChange = [this](TPlainTokenAttributes*) { NotifyAttrChange(nullptr); };
    m_attributes.emplace(key, std::move(Attribute));
}

void TPlainCustomHighlighter::SetEnabled(bool Value)
{
    if (m_enabled == Value)
        return;
    m_enabled = Value;
    NotifyAttrChange(nullptr);
}

void TPlainCustomHighlighter::EndUpdate()
{
    if (m_updateCount > 0 && --m_updateCount == 0 && m_changePending) {
        m_changePending = false;
        NotifyAttrChange(nullptr);
    }
}

void TPlainCustomHighlighter::NotifyAttrChange(plat::TObject* Sender)
{
    if (m_updateCount > 0) {
        m_changePending = true;
        return;
    }
    if (ComponentState().contains(plat::csLoading))
        return;
    m_attrChangeChain.SetSender(Sender);
    m_attrChangeChain.FireChain();
}

void TPlainCustomHighlighter::Loaded()
{
    plat::TComponent::Loaded();
    NotifyAttrChange(nullptr);
}

void TPlainCustomHighlighter::SkipToLineEnd()
{
    while (!AtLineEnd())
        NextToken();
}

void TPlainCustomHighlighter::Assign(plat::TPersistent* Source)
{
    auto* src = dynamic_cast<TPlainCustomHighlighter*>(Source);
    if (!src) {
        plat::TComponent::Assign(Source);
        return;
    }
    for (auto& [key, attr] : m_attributes) {
        for (int i = 0; i < src->AttributeCount(); ++i) {
            TPlainTokenAttributes* other = src->AttributeAt(i);
            if (other->Name() == attr->Name())
                attr->Assign(other);
        }
    }
    if (src->InheritsFrom(ClassType()))
        SetSampleText(src->SampleText());
    m_wordBreakChars = src->m_wordBreakChars;
    m_defaultFilter = src->DefaultFilter();
    SetEnabled(src->Enabled());
}

bool TPlainCustomHighlighter::ReadFromRegistry(plat::KeyScope RootKey, const QString& Key)
{
    plat::KeyStore reg(RootKey);
    if (!reg.OpenKeyReadOnly(Key))
        return false;
    bool all = true;
    for (int i = 0; i < AttributeCount(); ++i)
        all = AttributeAt(i)->LoadFromRegistry(reg) && all;
    return all;
}

bool TPlainCustomHighlighter::WriteToRegistry(plat::KeyScope RootKey, const QString& Key)
{
    plat::KeyStore reg(RootKey);
    if (reg.ReadOnly() || !reg.OpenKey(Key, true))
        return false;
    bool all = true;
    for (int i = 0; i < AttributeCount(); ++i)
        all = AttributeAt(i)->SaveToRegistry(reg) && all;
    return all;
}

std::vector<const plat::TClass*>& PlainHighlighterList()
{
    static std::vector<const plat::TClass*> list;
    return list;
}

void RegisterPlaceableHighlighter(const plat::TClass* HighlighterClass)
{
    auto& list = PlainHighlighterList();
    if (std::find(list.begin(), list.end(), HighlighterClass) == list.end())
        list.push_back(HighlighterClass);
}
