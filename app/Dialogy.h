#pragma once
// Message boxes, text windows, the about box, the shell call, the program's
// version and the small text functions of the application. Every message of
// the application goes through these, captioned with the application title.

#include <QString>

namespace plat {
class TStrings;
}

// --- message boxes
void ZpravaInfo(const QString& text);
void ZpravaInfoTitulek(const QString& caption, const QString& text);
// kind 1: Yes/No, question; 2: Yes/No, warning; 3: Yes/No/Cancel, question;
// 4: Yes/No/Cancel, warning; "No" is the default. Returns IDYES, IDNO or
// IDCANCEL; another kind shows nothing and returns 0.
int Dotaz(const QString& caption, const QString& text, int kind);

// --- modal text windows
void TextoveOkno(const QString& caption, const QString& text, bool scrollBar);
// scrollKind: 0 both, 1 horizontal, 2 none, 3 vertical.
void TextoveOknoParam(const QString& caption, const QString& text, int width, int height, bool wordWrap,
                      int scrollKind, bool fixedPitch, bool readOnly);

// --- shell and program information
bool OtevritDokument(const QString& file, const QString& parameters);
// "major.minor" of the program's version; empty when it has none.
QString VerzeProgramu();
int AktualniRok();
void OknoOProgramu(const QString& version, const QString& buildDate, const QString& moduleText);

// --- text functions
QString OpakovatZnak(QChar c, int n);
// mode 0 zeros behind, 2 in front, 1 split (the smaller half in front).
QString DoplnitNulami(const QString& text, int length, int mode);
QString NahraditZnak(const QString& text, QChar from, QChar to);
bool JenCislice(const QString& text);
QString BezDiakritiky(const QString& text);
void RozdelitCarou(const QString& line, plat::TStrings& list);
void RozdelitZnakem(const QString& line, QChar separator, plat::TStrings& list);

namespace zd {
// Opens a web page in the default browser; when that cannot be done (no
// browser, no page), says so in an information box. True when opened.
bool OtevritStranku(const QString& address);

// The about box's fixed texts.
inline constexpr const char* kWebAddress = "www.sorvamet.cz";
} // namespace zd
