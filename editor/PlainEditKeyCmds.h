#pragma once
// Editor commands and the key map.
//
// Everything the user can do to the editor by keyboard is a numbered
// command; a collection of bindings maps a key, or a sequence of two keys,
// with its modifiers to a command. Commands stream by name through one
// table of 101 names.

#include "PlainEditTypes.h"

#include "Collections.h"
#include "Controls.h"

#include <QString>

#include <span>

// clang-format off
inline constexpr TPlainEditorCommand ecNone = 0;
inline constexpr TPlainEditorCommand ecLeft = 1, ecRight = 2, ecUp = 3, ecDown = 4, ecWordLeft = 5,
    ecWordRight = 6, ecLineStart = 7, ecLineEnd = 8, ecPageUp = 9, ecPageDown = 10, ecPageLeft = 11,
    ecPageRight = 12, ecPageTop = 13, ecPageBottom = 14, ecEditorTop = 15, ecEditorBottom = 16, ecGotoXY = 17;
// The movements extending the selection: the movement's number + 100.
inline constexpr TPlainEditorCommand ecSelection = 100;
inline constexpr TPlainEditorCommand ecSelLeft = 101, ecSelRight = 102, ecSelUp = 103, ecSelDown = 104,
    ecSelWordLeft = 105, ecSelWordRight = 106, ecSelLineStart = 107, ecSelLineEnd = 108, ecSelPageUp = 109,
    ecSelPageDown = 110, ecSelPageLeft = 111, ecSelPageRight = 112, ecSelPageTop = 113, ecSelPageBottom = 114,
    ecSelEditorTop = 115, ecSelEditorBottom = 116, ecSelGotoXY = 117;
inline constexpr TPlainEditorCommand ecSelWord = 198, ecSelectAll = 199;
inline constexpr TPlainEditorCommand ecDeleteLastChar = 501, ecDeleteChar = 502, ecDeleteWord = 503,
    ecDeleteLastWord = 504, ecDeleteBOL = 505, ecDeleteEOL = 506, ecDeleteLine = 507, ecClearAll = 508,
    ecLineBreak = 509, ecInsertLine = 510, ecChar = 511, ecImeStr = 550;
inline constexpr TPlainEditorCommand ecUndo = 601, ecRedo = 602, ecCut = 603, ecCopy = 201, ecPaste = 604;
inline constexpr TPlainEditorCommand ecScrollUp = 211, ecScrollDown = 212, ecScrollLeft = 213, ecScrollRight = 214;
inline constexpr TPlainEditorCommand ecInsertMode = 221, ecOverwriteMode = 222, ecToggleMode = 223;
inline constexpr TPlainEditorCommand ecBlockIndent = 610, ecBlockUnindent = 611, ecTab = 612, ecShiftTab = 613;
inline constexpr TPlainEditorCommand ecMatchBracket = 250, ecCommentBlock = 251;
inline constexpr TPlainEditorCommand ecNormalSelect = 231, ecColumnSelect = 232, ecLineSelect = 233;
inline constexpr TPlainEditorCommand ecAutoCompletion = 650, ecUserFirst = 1001, ecContextHelp = 490;
inline constexpr TPlainEditorCommand ecGotoMarker0 = 301, ecGotoMarker9 = 310;
inline constexpr TPlainEditorCommand ecSetMarker0 = 351, ecSetMarker9 = 360;
inline constexpr TPlainEditorCommand ecUpperCase = 620, ecLowerCase = 621, ecToggleCase = 622, ecTitleCase = 623,
    ecUpperCaseBlock = 625, ecLowerCaseBlock = 626, ecToggleCaseBlock = 627, ecString = 630;
// Sent when the window gains and loses the focus; no name, no effect.
inline constexpr TPlainEditorCommand ecFocusEnter = 480, ecFocusExit = 481;
// clang-format on

struct TPlainEditorCommandName {
    TPlainEditorCommand Command;
    const char* Name;
};
// The 101 names in their order.
std::span<const TPlainEditorCommandName> EditorCommandNames();
// A name matches regardless of case; a number gives its first entry.
bool IdentToCommand(const QString& Ident, int& Command);
bool CommandToIdent(int Command, QString& Ident);
// The name, or the number in decimal.
QString CommandToCodeString(int Command);

// The type descriptor of commands (a Word whose values stream by name).
struct TPlainEditorCommandType {
    using value_type = quint16;
    static const plat::TTypeInfo* typeInfo();
};

class TPlainEditKeyStrokes;

class TPlainEditKeyStroke : public plat::TCollectionItem {
    PLAT_CLASS(TPlainEditKeyStroke, plat::TCollectionItem)
public:
    explicit TPlainEditKeyStroke(plat::TCollection* Collection);

    void Assign(plat::TPersistent* Source) override;
    QString GetDisplayName() override;

    quint16 Key() const { return m_key; }
    void SetKey(quint16 key) { m_key = key; }
    plat::TShiftState Shift() const { return m_shift; }
    void SetShift(plat::TShiftState shift) { m_shift = shift; }
    quint16 Key2() const { return m_key2; }
    void SetKey2(quint16 key) { m_key2 = key; }
    plat::TShiftState Shift2() const { return m_shift2; }
    void SetShift2(plat::TShiftState shift) { m_shift2 = shift; }
    TPlainEditorCommand Command() const { return m_command; }
    void SetCommand(TPlainEditorCommand command) { m_command = command; }

    // Setting a pair another binding of the collection has raises
    // EPlainKeyError "Shortcut already exists"; 0 never raises.
    plat::TShortCut ShortCut() const { return plat::ShortCut(m_key, m_shift); }
    void SetShortCut(plat::TShortCut value);
    plat::TShortCut ShortCut2() const { return plat::ShortCut(m_key2, m_shift2); }
    void SetShortCut2(plat::TShortCut value);

private:
    bool pairExists(plat::TShortCut first, plat::TShortCut second) const;

    quint16 m_key = 0;
    plat::TShiftState m_shift;
    quint16 m_key2 = 0;
    plat::TShiftState m_shift2;
    TPlainEditorCommand m_command = ecNone;
};

class TPlainEditKeyStrokes : public plat::TCollection {
    PLAT_CLASS(TPlainEditKeyStrokes, plat::TCollection)
public:
    // The owner is the control the key map belongs to.
    explicit TPlainEditKeyStrokes(plat::TPersistent* AOwner = nullptr);

    TPlainEditKeyStroke* Add() { return static_cast<TPlainEditKeyStroke*>(plat::TCollection::Add()); }
    TPlainEditKeyStroke* Items(int Index) const { return static_cast<TPlainEditKeyStroke*>(TCollection::Items(Index)); }
    void Assign(plat::TPersistent* Source) override;
    void AddBinding(TPlainEditorCommand Command, quint16 Key, plat::TShiftState Shift);
    int LookupKey(quint16 Key, plat::TShiftState Shift) const;
    int LookupKeyPair(quint16 Key, plat::TShiftState Shift, quint16 Key2, plat::TShiftState Shift2) const;
    int LookupShortCutPair(plat::TShortCut ShortCut, plat::TShortCut ShortCut2) const;
    void ResetDefaults();
};

struct TPlainDefaultBinding {
    quint16 Key;
    quint8 Shift; // the shift state byte
    TPlainEditorCommand Command;
};
// The 82 bindings of the default key map, in the order they are added.
std::span<const TPlainDefaultBinding> DefaultKeyBindings();
