#pragma once
// The display format dialog: one format per bracketed expression of a text
// object's text, kept in a working copy of the object's formats; on OK the
// caller takes the copy. The dialog can also be embedded in the memo
// editor (EmbedIn and Finish).

#include <QDialog>
#include <QStringList>

#include <memory>
#include <vector>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class TzdCustomMemoView;
class TzdFormat;
class TzdFormatCollection;

namespace zd::format {

struct Preset {
    QString Sample;
    QString Format;
};

// The four category texts, in format kind order.
QStringList categories();
// The predefined formats of a kind (none for text).
std::vector<Preset> presets(int Kind);
// The bracketed expressions of Text, each with its delimiters, in order;
// the scan stops at an opening delimiter without its closing one.
QStringList expressions(const QString& Text, const QString& Delimiters);

// The dialog without its window.
class EditorModel {
public:
    explicit EditorModel(TzdCustomMemoView* Memo);
    ~EditorModel();

    QStringList Expressions;
    bool ExpressionsEnabled() const { return !Expressions.isEmpty(); }
    TzdFormatCollection& Working() { return *m_working; }
    int Current() const { return m_current; }
    TzdFormat* CurrentFormat() const;
    // Stores the fields into the edited format: the text kind keeps no
    // format string and no separators.
    void Store(int Kind, const QString& FormatStr, const QString& Separator);
    // Makes another expression's format the edited one.
    void Select(int Index);
    // The predefined entry matching the edited format (the last such), or -1.
    int PresetIndex() const;

private:
    std::unique_ptr<TzdFormatCollection> m_working;
    int m_current = 0;
};

} // namespace zd::format

class TzdFormatEditorForm : public QDialog {
public:
    explicit TzdFormatEditorForm(QWidget* parent = nullptr);
    ~TzdFormatEditorForm() override;

    void SetMemo(TzdCustomMemoView* Memo);
    // Puts the controls on a tab of the host (at Index, or last) and prepares
    // them; Finish with the host's result writes back (on OK) and takes them
    // home.
    void EmbedIn(QTabWidget* Host, const QString& Caption, int Index = -1);
    void Finish(int ModalResult);
    // The working formats (valid after SetMemo).
    TzdFormatCollection& Result();

    QWidget* Body;
    QLabel *ExpressionL, *CategoryL, *FormatL, *FormatStrL, *SeparatorL;
    QComboBox* ComboBox1;
    QListWidget *CategoryLB, *FormatLB;
    QGroupBox* GroupBox1;
    QLineEdit *FormatE, *SeparatorE;
    QPushButton *OkB, *CancelB;

    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showFormat();
    void storeFormat();
    void categoryChosen();

    TzdCustomMemoView* m_memo = nullptr;
    std::unique_ptr<zd::format::EditorModel> m_model;
    QTabWidget* m_host = nullptr;
    bool m_filling = false;
};
