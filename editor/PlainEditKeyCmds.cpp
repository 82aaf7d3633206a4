#include "PlainEditKeyCmds.h"

#include "Exceptions.h"
#include "CodePage.h"
#include "PropStream.h"

#include <mutex>

using plat::TShiftState;

namespace {

// clang-format off
constexpr TPlainEditorCommandName kCommandNames[] = {
    {ecNone, "ecNone"}, {ecLeft, "ecLeft"}, {ecRight, "ecRight"}, {ecUp, "ecUp"}, {ecDown, "ecDown"},
    {ecWordLeft, "ecWordLeft"}, {ecWordRight, "ecWordRight"}, {ecLineStart, "ecLineStart"},
    {ecLineEnd, "ecLineEnd"}, {ecPageUp, "ecPageUp"}, {ecPageDown, "ecPageDown"}, {ecPageLeft, "ecPageLeft"},
    {ecPageRight, "ecPageRight"}, {ecPageTop, "ecPageTop"}, {ecPageBottom, "ecPageBottom"},
    {ecEditorTop, "ecEditorTop"}, {ecEditorBottom, "ecEditorBottom"}, {ecGotoXY, "ecGotoXY"},
    {ecSelLeft, "ecSelLeft"}, {ecSelRight, "ecSelRight"}, {ecSelUp, "ecSelUp"}, {ecSelDown, "ecSelDown"},
    {ecSelWordLeft, "ecSelWordLeft"}, {ecSelWordRight, "ecSelWordRight"}, {ecSelLineStart, "ecSelLineStart"},
    {ecSelLineEnd, "ecSelLineEnd"}, {ecSelPageUp, "ecSelPageUp"}, {ecSelPageDown, "ecSelPageDown"},
    {ecSelPageLeft, "ecSelPageLeft"}, {ecSelPageRight, "ecSelPageRight"}, {ecSelPageTop, "ecSelPageTop"},
    {ecSelPageBottom, "ecSelPageBottom"}, {ecSelEditorTop, "ecSelEditorTop"},
    {ecSelEditorBottom, "ecSelEditorBottom"}, {ecSelGotoXY, "ecSelGotoXY"},
    {ecSelWord, "ecSelWord"}, {ecSelectAll, "ecSelectAll"},
    {ecDeleteLastChar, "ecDeleteLastChar"}, {ecDeleteChar, "ecDeleteChar"}, {ecDeleteWord, "ecDeleteWord"},
    {ecDeleteLastWord, "ecDeleteLastWord"}, {ecDeleteBOL, "ecDeleteBOL"}, {ecDeleteEOL, "ecDeleteEOL"},
    {ecDeleteLine, "ecDeleteLine"}, {ecClearAll, "ecClearAll"}, {ecLineBreak, "ecLineBreak"},
    {ecInsertLine, "ecInsertLine"}, {ecChar, "ecChar"}, {ecImeStr, "ecImeStr"},
    {ecUndo, "ecUndo"}, {ecRedo, "ecRedo"}, {ecCut, "ecCut"}, {ecCopy, "ecCopy"}, {ecPaste, "ecPaste"},
    {ecScrollUp, "ecScrollUp"}, {ecScrollDown, "ecScrollDown"}, {ecScrollLeft, "ecScrollLeft"},
    {ecScrollRight, "ecScrollRight"},
    {ecInsertMode, "ecInsertMode"}, {ecOverwriteMode, "ecOverwriteMode"}, {ecToggleMode, "ecToggleMode"},
    {ecBlockIndent, "ecBlockIndent"}, {ecBlockUnindent, "ecBlockUnindent"}, {ecTab, "ecTab"},
    {ecShiftTab, "ecShiftTab"},
    {ecMatchBracket, "ecMatchBracket"}, {ecCommentBlock, "ecCommentBlock"},
    {ecNormalSelect, "ecNormalSelect"}, {ecColumnSelect, "ecColumnSelect"}, {ecLineSelect, "ecLineSelect"},
    {ecAutoCompletion, "ecAutoCompletion"}, {ecUserFirst, "ecUserFirst"}, {ecContextHelp, "ecContextHelp"},
    {301, "ecGotoMarker0"}, {302, "ecGotoMarker1"}, {303, "ecGotoMarker2"}, {304, "ecGotoMarker3"},
    {305, "ecGotoMarker4"}, {306, "ecGotoMarker5"}, {307, "ecGotoMarker6"}, {308, "ecGotoMarker7"},
    {309, "ecGotoMarker8"}, {310, "ecGotoMarker9"},
    {351, "ecSetMarker0"}, {352, "ecSetMarker1"}, {353, "ecSetMarker2"}, {354, "ecSetMarker3"},
    {355, "ecSetMarker4"}, {356, "ecSetMarker5"}, {357, "ecSetMarker6"}, {358, "ecSetMarker7"},
    {359, "ecSetMarker8"}, {360, "ecSetMarker9"},
    {ecUpperCase, "ecUpperCase"}, {ecLowerCase, "ecLowerCase"}, {ecToggleCase, "ecToggleCase"},
    {ecTitleCase, "ecTitleCase"}, {ecUpperCaseBlock, "ecUpperCaseBlock"}, {ecLowerCaseBlock, "ecLowerCaseBlock"},
    {ecToggleCaseBlock, "ecToggleCaseBlock"}, {ecString, "ecString"},
};
static_assert(std::size(kCommandNames) == 101);

// Modifier bytes of the default key map: bit 0 Shift, bit 1 Alt, bit 2 Ctrl.
constexpr quint8 kNone = 0, kShift = 1, kAlt = 2, kCtrl = 4, kCtrlShift = 5, kShiftAlt = 3;
constexpr TPlainDefaultBinding kDefaultBindings[] = {
    {plat::VK_UP, kNone, ecUp}, {plat::VK_UP, kShift, ecSelUp}, {plat::VK_UP, kCtrl, ecScrollUp},
    {plat::VK_DOWN, kNone, ecDown}, {plat::VK_DOWN, kShift, ecSelDown}, {plat::VK_DOWN, kCtrl, ecScrollDown},
    {plat::VK_LEFT, kNone, ecLeft}, {plat::VK_LEFT, kShift, ecSelLeft}, {plat::VK_LEFT, kCtrl, ecWordLeft},
    {plat::VK_LEFT, kCtrlShift, ecSelWordLeft},
    {plat::VK_RIGHT, kNone, ecRight}, {plat::VK_RIGHT, kShift, ecSelRight}, {plat::VK_RIGHT, kCtrl, ecWordRight},
    {plat::VK_RIGHT, kCtrlShift, ecSelWordRight},
    {plat::VK_NEXT, kNone, ecPageDown}, {plat::VK_NEXT, kShift, ecSelPageDown}, {plat::VK_NEXT, kCtrl, ecPageBottom},
    {plat::VK_NEXT, kCtrlShift, ecSelPageBottom},
    {plat::VK_PRIOR, kNone, ecPageUp}, {plat::VK_PRIOR, kShift, ecSelPageUp}, {plat::VK_PRIOR, kCtrl, ecPageTop},
    {plat::VK_PRIOR, kCtrlShift, ecSelPageTop},
    {plat::VK_HOME, kNone, ecLineStart}, {plat::VK_HOME, kShift, ecSelLineStart}, {plat::VK_HOME, kCtrl, ecEditorTop},
    {plat::VK_HOME, kCtrlShift, ecSelEditorTop},
    {plat::VK_END, kNone, ecLineEnd}, {plat::VK_END, kShift, ecSelLineEnd}, {plat::VK_END, kCtrl, ecEditorBottom},
    {plat::VK_END, kCtrlShift, ecSelEditorBottom},
    {plat::VK_INSERT, kNone, ecToggleMode}, {plat::VK_INSERT, kCtrl, ecCopy}, {plat::VK_DELETE, kShift, ecCut},
    {plat::VK_INSERT, kShift, ecPaste}, {plat::VK_DELETE, kNone, ecDeleteChar},
    {plat::VK_BACK, kNone, ecDeleteLastChar}, {plat::VK_BACK, kShift, ecDeleteLastChar}, {plat::VK_BACK, kCtrl, ecDeleteLastWord},
    {plat::VK_BACK, kAlt, ecUndo}, {plat::VK_BACK, kShiftAlt, ecRedo},
    {plat::VK_RETURN, kNone, ecLineBreak}, {plat::VK_RETURN, kShift, ecLineBreak},
    {plat::VK_TAB, kNone, ecTab}, {plat::VK_TAB, kShift, ecShiftTab},
    {plat::VK_F1, kNone, ecContextHelp},
    {'A', kCtrl, ecSelectAll}, {'C', kCtrl, ecCopy}, {'V', kCtrl, ecPaste}, {'X', kCtrl, ecCut},
    {'I', kCtrlShift, ecBlockIndent}, {'U', kCtrlShift, ecBlockUnindent},
    {'M', kCtrl, ecLineBreak}, {'N', kCtrl, ecInsertLine}, {'T', kCtrl, ecDeleteWord}, {'Y', kCtrl, ecDeleteLine},
    {'Y', kCtrlShift, ecDeleteEOL}, {'Z', kCtrl, ecUndo}, {'Z', kCtrlShift, ecRedo},
    {'0', kCtrl, 301}, {'1', kCtrl, 302}, {'2', kCtrl, 303}, {'3', kCtrl, 304}, {'4', kCtrl, 305},
    {'5', kCtrl, 306}, {'6', kCtrl, 307}, {'7', kCtrl, 308}, {'8', kCtrl, 309}, {'9', kCtrl, 310},
    {'0', kCtrlShift, 351}, {'1', kCtrlShift, 352}, {'2', kCtrlShift, 353}, {'3', kCtrlShift, 354},
    {'4', kCtrlShift, 355}, {'5', kCtrlShift, 356}, {'6', kCtrlShift, 357}, {'7', kCtrlShift, 358},
    {'8', kCtrlShift, 359}, {'9', kCtrlShift, 360},
    {'N', kCtrlShift, ecNormalSelect}, {'C', kCtrlShift, ecColumnSelect}, {'L', kCtrlShift, ecLineSelect},
    {'B', kCtrlShift, ecMatchBracket},
};
static_assert(std::size(kDefaultBindings) == 82);
// clang-format on

bool identToCommand64(const QString& ident, qint64& value)
{
    int command = 0;
    if (!IdentToCommand(ident, command))
        return false;
    value = command;
    return true;
}

bool commandToIdent64(qint64 value, QString& ident) { return CommandToIdent(int(value), ident); }

// Command names stream through the property stream from the first key map on.
void registerCommandIdents()
{
    static std::once_flag once;
    std::call_once(once, [] {
        plat::RegisterIntegerConsts(TPlainEditorCommandType::typeInfo(), identToCommand64, commandToIdent64);
    });
}

} // namespace

std::span<const TPlainEditorCommandName> EditorCommandNames() { return kCommandNames; }
std::span<const TPlainDefaultBinding> DefaultKeyBindings() { return kDefaultBindings; }

bool IdentToCommand(const QString& Ident, int& Command)
{
    for (const TPlainEditorCommandName& entry : kCommandNames) {
        if (plat::SameText(Ident, QString::fromLatin1(entry.Name))) {
            Command = entry.Command;
            return true;
        }
    }
    return false;
}

bool CommandToIdent(int Command, QString& Ident)
{
    for (const TPlainEditorCommandName& entry : kCommandNames) {
        if (entry.Command == Command) {
            Ident = QLatin1String(entry.Name);
            return true;
        }
    }
    return false;
}

QString CommandToCodeString(int Command)
{
    QString ident;
    return CommandToIdent(Command, ident) ? ident : QString::number(Command);
}

const plat::TTypeInfo* TPlainEditorCommandType::typeInfo()
{
    static const plat::TTypeInfo ti = plat::TTypeInfo::alias("TPlainEditorCommand", plat::typeInfoOf<quint16>());
    return &ti;
}

// ------------------------------------------------------------ key stroke

PLAT_DEFINE_CLASS(TPlainEditKeyStroke, c)
{
    c.property<TPlainEditorCommandType>("Command", &TPlainEditKeyStroke::Command, &TPlainEditKeyStroke::SetCommand);
    c.property<plat::ti::TShortCut>("ShortCut", &TPlainEditKeyStroke::ShortCut, &TPlainEditKeyStroke::SetShortCut)
        .defaultValue(0);
    c.property<plat::ti::TShortCut>("ShortCut2", &TPlainEditKeyStroke::ShortCut2, &TPlainEditKeyStroke::SetShortCut2)
        .defaultValue(0);
}

TPlainEditKeyStroke::TPlainEditKeyStroke(plat::TCollection* Collection) : plat::TCollectionItem(Collection)
{
    registerCommandIdents();
}

void TPlainEditKeyStroke::Assign(plat::TPersistent* Source)
{
    if (auto* other = dynamic_cast<TPlainEditKeyStroke*>(Source)) {
        m_command = other->m_command;
        m_key = other->m_key;
        m_key2 = other->m_key2;
        m_shift = other->m_shift;
        m_shift2 = other->m_shift2;
        return;
    }
    plat::TCollectionItem::Assign(Source);
}

QString TPlainEditKeyStroke::GetDisplayName()
{
    QString name = CommandToCodeString(m_command) + QStringLiteral(" - ") + plat::ShortCutToText(ShortCut());
    if (m_key2 != 0)
        name += QLatin1Char(' ') + plat::ShortCutToText(ShortCut2());
    return name;
}

bool TPlainEditKeyStroke::pairExists(plat::TShortCut first, plat::TShortCut second) const
{
    auto* strokes = dynamic_cast<TPlainEditKeyStrokes*>(Collection());
    if (!strokes)
        return false;
    const int found = strokes->LookupShortCutPair(first, second);
    return found >= 0 && strokes->Items(found) != this;
}

void TPlainEditKeyStroke::SetShortCut(plat::TShortCut value)
{
    if (value != 0 && pairExists(value, ShortCut2()))
        throw plat::EPlainKeyError(QStringLiteral("Shortcut already exists"));
    int key = 0;
    TShiftState shift;
    plat::ShortCutToKey(value, key, shift);
    m_key = quint16(key);
    m_shift = shift;
}

void TPlainEditKeyStroke::SetShortCut2(plat::TShortCut value)
{
    if (value != 0 && pairExists(ShortCut(), value))
        throw plat::EPlainKeyError(QStringLiteral("Shortcut already exists"));
    int key = 0;
    TShiftState shift;
    plat::ShortCutToKey(value, key, shift);
    m_key2 = quint16(key);
    m_shift2 = shift;
}

// ------------------------------------------------------------ key strokes

PLAT_DEFINE_CLASS(TPlainEditKeyStrokes, c) { (void)c; }

TPlainEditKeyStrokes::TPlainEditKeyStrokes(plat::TPersistent* AOwner)
    : plat::TCollection(AOwner, TPlainEditKeyStroke::StaticClass())
{
}

void TPlainEditKeyStrokes::Assign(plat::TPersistent* Source)
{
    auto* other = dynamic_cast<TPlainEditKeyStrokes*>(Source);
    if (!other) {
        plat::TCollection::Assign(Source);
        return;
    }
    if (other == this)
        return;
    BeginUpdate();
    try {
        Clear();
        for (int i = 0; i < other->Count(); ++i)
            Add()->Assign(other->Items(i));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TPlainEditKeyStrokes::AddBinding(TPlainEditorCommand Command, quint16 Key, TShiftState Shift)
{
    TPlainEditKeyStroke* stroke = Add();
    try {
        stroke->SetCommand(Command);
        stroke->SetKey(Key);
        stroke->SetShift(Shift);
        stroke->SetKey2(0);
        stroke->SetShift2(TShiftState());
    } catch (...) {
        Delete(stroke->Index());
        throw;
    }
}

int TPlainEditKeyStrokes::LookupKey(quint16 Key, TShiftState Shift) const
{
    for (int i = 0; i < Count(); ++i) {
        const TPlainEditKeyStroke* s = Items(i);
        if (s->Key() == Key && s->Shift() == Shift && s->Key2() == 0)
            return i;
    }
    return -1;
}

int TPlainEditKeyStrokes::LookupKeyPair(quint16 Key, TShiftState Shift, quint16 Key2, TShiftState Shift2) const
{
    for (int i = 0; i < Count(); ++i) {
        const TPlainEditKeyStroke* s = Items(i);
        if (s->Key() == Key && s->Shift() == Shift && s->Key2() == Key2 && s->Shift2() == Shift2)
            return i;
    }
    return -1;
}

int TPlainEditKeyStrokes::LookupShortCutPair(plat::TShortCut ShortCut, plat::TShortCut ShortCut2) const
{
    for (int i = 0; i < Count(); ++i) {
        const TPlainEditKeyStroke* s = Items(i);
        if (s->ShortCut() == ShortCut && s->ShortCut2() == ShortCut2)
            return i;
    }
    return -1;
}

void TPlainEditKeyStrokes::ResetDefaults()
{
    BeginUpdate();
    try {
        Clear();
        for (const TPlainDefaultBinding& b : kDefaultBindings)
            AddBinding(b.Command, b.Key, TShiftState::fromMask(b.Shift));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}
