#pragma once
// Edit masks: "mask;save-literals;blank" with the mask characters
// ! > < \ L l A a C c 0 9 # : / _ of the platform's masked edit.

#include <QString>

namespace plat {

// Lays out `value` by the edit mask, as the masked edit would display it
// (or, when the mask says literals are not saved, as its saved text is
// expanded for display).
QString FormatMaskText(const QString& editMask, const QString& value);

// The displayed places of a mask, for an editor: at each place either a
// literal (literals[i]) or a place for input (maskChars[i] the mask
// character, literals[i] null); caseModes[i] is '>', '<' or ' '.
struct EditMaskLayout {
    QString literals;
    QString maskChars;
    QString caseModes;
    QChar blank = u'_';
    bool saveLiterals = true;
    qsizetype size() const { return literals.size(); }
    bool isSlot(qsizetype i) const { return i >= 0 && i < maskChars.size() && !maskChars[i].isNull(); }
};
EditMaskLayout ParseEditMask(const QString& editMask);
// Whether the character may stand at a place of this mask character
// (0 9 digits, # digits and signs, L l letters, A a letters and digits,
// C c anything).
bool MaskCharAccepts(QChar maskChar, QChar c);

} // namespace plat
