#pragma once
// The script engine's lexer. It yields no token stream: the grammar
// interpreter asks, at the current position, for one token of a given kind
// and moves the position back itself when a match fails. Every language
// difference (comments, quotes, hexadecimal prefix, keywords, identifier
// characters, escapes, case, line ends) is a setting.
//
// Positions are 1-based indexes into SourceText; the text is followed by one
// NUL character so that reading at TextLength + 1 is safe.

#include <QStringList>
#include <QString>
#include <bitset>
#include <vector>

class TzsParser {
public:
    TzsParser();

    bool CaseSensitive = false;
    QString CommentLine1;
    QString CommentLine2;
    QString HexSequence;
    // Characters that may form a word, by their code page 1250 byte.
    std::bitset<256> IdentifierChars;
    int TokenStart = 1;
    int CurrentPos = 1;
    int TextLength = 0;
    QString SkipChar;
    bool SkipEOL = true;
    bool AutoSkip = true;
    QString StringQuotes;
    QString SourceText;
    bool TrackLines = true;
    // Entry 0 is 0, then the 1-based position of every line feed.
    std::vector<int> LineStarts;
    bool SpecStrChar = false;

    const QString& CommentBlock1() const { return m_commentBlock1; }
    const QString& CommentBlock2() const { return m_commentBlock2; }

    void Clear();
    void SetCommentBlock1(const QString& pair);
    void SetCommentBlock2(const QString& pair);
    void SetIdentChars(const QString& chars);
    void AddKeyword(const QString& word);
    const QStringList& Keywords() const { return m_keywords; }
    void SetText(const QString& text);
    void SetPosition(int position);

    void SkipSpaces();
    bool GetEOL();
    QString GetWord();
    QString GetKeyWord() { return GetWord(); }
    bool IsKeyWord(const QString& word) const;
    QString GetIdent();
    QString GetChar();
    QString GetString();
    QString GetNumber();
    QString GetZDString();
    QString GetXYPosition() const;
    QString PositionToXY(int position) const;
    int PositionOfPoint(int column, int line) const;

    // Our own: the 1-based start of the last block comment that ran to the
    // end of the text without its closing delimiter, 0 if none since reset.
    int UnterminatedComment = 0;

    bool isIdentChar(QChar c) const;

    // Allocation-free forms for the grammar interpreter: the span of the
    // token read (1-based start, length; 0 when none) instead of its text.
    int scanWord();       // as GetWord
    int scanChar();       // as GetChar
    bool isKeyWord(QStringView word) const;
    QStringView view(int start, int length) const { return QStringView(SourceText).mid(start - 1, length); }

private:
    QChar ch(int position) const
    {
        return position >= 1 && position <= int(SourceText.size()) ? SourceText.at(position - 1) : QChar(u'\0');
    }
    bool atText(int position, const QString& what) const;
    bool matchLineComment(int position, const QString& opener) const;
    bool skipOneComment();
    bool readInteger();

    QString m_commentBlock1;
    QString m_commentBlock2;
    QString m_block1Open, m_block1Close, m_block2Open, m_block2Close;
    QStringList m_keywords;
    std::vector<QString> m_keywordsExact;  // sorted exactly
    std::vector<QString> m_keywordsFolded; // sorted ignoring case
};
