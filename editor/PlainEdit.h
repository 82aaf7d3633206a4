#pragma once
// The multi-line plain-text editor control: lines read by index and count,
// a line deleted by index, the whole text replaced or cleared, a gutter
// with line numbers, the editor options and the fonts of text and gutter.

#include "Objects.h"

#include <QFont>
#include <QString>
#include <QWidget>

class QPlainTextEdit;

enum TPlainEditOption {
    eoAltSetsColumnMode,
    eoAutoIndent,
    eoDragDropEditing,
    eoEnhanceEndKey,
    eoGroupUndo,
    eoScrollPastEol,
    eoShowScrollHint,
    eoShowSpecialChars,
    eoSmartTabDelete,
    eoSmartTabs,
    eoTabsToSpaces,
};
using TPlainEditOptions = plat::TSet<TPlainEditOption>;

class TPlainMemo;

// The memo's lines, the way a string list shows them.
class TPlainMemoLines {
public:
    int Count() const;
    // Raises EStringListError "List index out of bounds (%d)" outside 0..Count-1.
    QString Strings(int index) const;
    void Delete(int index);
    void Clear();
    QString Text() const;
    void SetText(const QString& text);

private:
    friend class TPlainMemo;
    explicit TPlainMemoLines(TPlainMemo& memo) : m_memo(memo) {}
    TPlainMemo& m_memo;
};

class TPlainMemo : public QWidget {
public:
    explicit TPlainMemo(QWidget* parent = nullptr);
    ~TPlainMemo() override;

    TPlainMemoLines& Lines() { return m_lines; }
    const TPlainMemoLines& Lines() const { return m_lines; }
    QString Text() const;
    void SetText(const QString& text);
    void Clear();

    TPlainEditOptions Options() const { return m_options; }
    void SetOptions(TPlainEditOptions options);
    // The tab width in characters (tabs shown and typed).
    int TabWidth() const { return m_tabWidth; }
    void SetTabWidth(int width);

    // Font of the text: setFont. The gutter has its own.
    QFont GutterFont() const { return m_gutterFont; }
    void SetGutterFont(const QFont& font);
    bool ShowLineNumbers() const { return m_showLineNumbers; }
    void SetShowLineNumbers(bool on);
    int GutterWidth() const;

    // The inner editor (for focus and for tests that type into it).
    QPlainTextEdit* Editor() const;

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class TPlainMemoLines;
    class Edit;
    class Gutter;
    void updateGutter();
    void paintGutter(QWidget& gutter, QPaintEvent* event);

    TPlainMemoLines m_lines{*this};
    Edit* m_edit = nullptr;
    Gutter* m_gutter = nullptr;
    TPlainEditOptions m_options;
    QFont m_gutterFont;
    bool m_showLineNumbers = false;
    int m_tabWidth = 8;
};
