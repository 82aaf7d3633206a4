#pragma once
// The abstract syntax-highlighter framework. No concrete highlighter exists
// in the program: the editor works without one, and a highlighter, once
// attached, colours tokens and supplies the identifier and word-break
// characters.

#include "PlainEditMiscClasses.h"
#include "PlainEditMiscProcs.h"

#include "Graphics.h"
#include "KeyStore.h"

#include <map>
#include <memory>
#include <vector>

namespace plat {
class TStrings;
}

class TPlainTokenAttributes : public plat::TPersistent {
    PLAT_CLASS(TPlainTokenAttributes, plat::TPersistent)
public:
    explicit TPlainTokenAttributes(const QString& Name = {});
    void Assign(plat::TPersistent* Source) override;

    const QString& Name() const { return m_name; }
    plat::TColor Background() const { return m_background; }
    void SetBackground(plat::TColor value);
    plat::TColor Foreground() const { return m_foreground; }
    void SetForeground(plat::TColor value);
    plat::TFontStyles Style() const { return m_style; }
    void SetStyle(plat::TFontStyles value);
    // Bit 0 bold, 1 italic, 2 underline, 3 strike-out.
    int StyleAsInteger() const;
    void SetStyleFromInteger(int value);

    // Reads and writes the subkey named after the attribute under the open key.
    bool LoadFromRegistry(plat::KeyStore& Reg);
    bool SaveToRegistry(plat::KeyStore& Reg);

    std::function<void(TPlainTokenAttributes*)> OnChange;

protected:
    virtual void Changed();

private:
    QString m_name;
    plat::TColor m_background = plat::clNone;
    plat::TColor m_foreground = plat::clNone;
    plat::TFontStyles m_style;
};

// The kind DefaultAttribute gives the attribute of blanks for; its
// background, when set, is the editor's background.
inline constexpr int kPlainAttrWhitespace = 4;

enum TPlainHighlighterCapability { hcUserSettings, hcRegistry };
using TPlainHighlighterCapabilities = plat::TSet<TPlainHighlighterCapability>;

class TPlainCustomHighlighter : public plat::TComponent {
    PLAT_CLASS(TPlainCustomHighlighter, plat::TComponent)
public:
    explicit TPlainCustomHighlighter(plat::TComponent* AOwner);
    ~TPlainCustomHighlighter() override;
    void Assign(plat::TPersistent* Source) override;
    void Loaded() override;

    virtual int AttributeCount() const { return int(m_attributes.size()); }
    // None outside the range.
    virtual TPlainTokenAttributes* AttributeAt(int Index) const;
    virtual TPlainTokenAttributes* DefaultAttribute(int Kind) const = 0;
    virtual QString DefaultFilter() const { return m_defaultFilter; }
    virtual TPlainCharSet IdentifierCharacters() const;
    virtual QString SampleText() const { return {}; }
    virtual bool IsFilterStored() const { return true; }
    virtual void SetDefaultFilter(const QString& Value) { m_defaultFilter = Value; }
    virtual void SetSampleText(const QString&) {}
    virtual void SetWordBreakCharacters(const TPlainCharSet& Value) { m_wordBreakChars = Value; }
    virtual TPlainHighlighterCapabilities Capabilities() const { return {hcRegistry}; }
    virtual QString LanguageName() const { return QStringLiteral("<Unknown>"); }
    virtual bool AtLineEnd() const = 0;
    virtual qintptr RangeState() const { return 0; }
    virtual QString TokenText() const = 0;
    virtual TPlainTokenAttributes* TokenAttribute() const = 0;
    virtual int TokenKind() const = 0;
    virtual int TokenStart() const = 0;
    virtual bool IsKeyword(const QString&) const { return false; }
    virtual void NextToken() = 0;
    virtual void StartLine(const QString& Text, int LineNumber) = 0;
    virtual void SetRangeState(qintptr) {}
    virtual void ResetRangeState() {}
    virtual bool ApplyUserSetting(int) { return false; }
    virtual void ListUserSettings(plat::TStrings& List);
    virtual bool ReadFromRegistry(plat::KeyScope RootKey, const QString& Key);
    virtual bool WriteToRegistry(plat::KeyScope RootKey, const QString& Key);

    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool Value);
    const TPlainCharSet& WordBreakCharacters() const { return m_wordBreakChars; }

    void BeginUpdate() { ++m_updateCount; }
    void EndUpdate();
    void NotifyAttrChange(plat::TObject* Sender);
    void HookAttrChange(const plat::TNotifyEvent& Event) { m_attrChangeChain.AddHandler(Event); }
    void UnhookAttrChange(const plat::TNotifyEvent& Event) { m_attrChangeChain.RemoveHandler(Event); }
    void SkipToLineEnd();

protected:
    // Adds an attribute (owned); a second of the same name is rejected.
    void AddAttribute(std::unique_ptr<TPlainTokenAttributes> Attribute);

private:
    std::map<QString, std::unique_ptr<TPlainTokenAttributes>> m_attributes;
    TPlainNotifyEventChain m_attrChangeChain;
    int m_updateCount = 0;
    bool m_enabled = true;
    TPlainCharSet m_wordBreakChars;
    QString m_defaultFilter;
    bool m_changePending = false;
};

// The process-wide list of highlighter classes (nothing registers one here).
std::vector<const plat::TClass*>& PlainHighlighterList();
void RegisterPlaceableHighlighter(const plat::TClass* HighlighterClass);
