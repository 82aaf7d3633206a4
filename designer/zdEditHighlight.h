#pragma once
// The highlight editor of a text object: a working list of conditions,
// each with the frame, fill, font and visibility it gives the object. The
// model (HighlightEditModel) loads, edits and writes back; the window or
// the memo editor's tab only shows it.

#include <QDialog>

#include <functional>
#include <memory>

class QCheckBox;
class QGroupBox;
class QListWidget;
class QPushButton;
class QToolButton;
class TzdCustomMemoView;
class TzdHighlight;
class TzdHighlightCollection;

namespace zd {

namespace dlg {
class SampleBox;
} // namespace dlg

class HighlightEditModel {
public:
    HighlightEditModel();
    ~HighlightEditModel();
    TzdHighlightCollection& Items() { return *m_items; }
    int Count() const;
    TzdHighlight* Item(int Index) const;

    // One highlight with no condition stands for none: the list is empty.
    void Load(TzdCustomMemoView* Memo);
    // An empty list is stored as one highlight with no condition.
    void WriteBack(TzdCustomMemoView* Memo);

    // A new default highlight with Condition at the end; -1 (nothing added)
    // for an empty condition.
    int Add(const QString& Condition);
    bool Edit(int Index, const QString& Condition);
    // The index to select afterwards (-1 when the list is empty).
    int Delete(int Index);
    // Moves by Delta places; the new index.
    int Move(int Index, int Delta);

private:
    std::unique_ptr<TzdHighlightCollection> m_items;
};

} // namespace zd

class TzdHighlightEditorForm : public QDialog {
public:
    explicit TzdHighlightEditorForm(QWidget* Parent = nullptr);
    ~TzdHighlightEditorForm() override;

    // The object whose highlights are edited; loads them.
    void SetMemo(TzdCustomMemoView* Memo);
    zd::HighlightEditModel& Model() { return m_model; }
    // Moves the two groups onto Host (the memo editor's tab).
    void EmbedIn(QWidget* Host);
    // Stores the host's result; OK writes the highlights back.
    void Finish(int ModalResult);
    // The condition prompt (the designer's expression editor by default);
    // returns the new condition, empty when cancelled.
    std::function<QString(const QString&)> EditExpression;

    int Selected() const;
    void Select(int Index);
    void AddCondition();
    void EditCondition();
    void DeleteCondition();
    void MoveCondition(int Delta);

private:
    void fillList(int Select);
    void refresh();
    void flagsChanged();
    QString askCondition(const QString& Text);

    zd::HighlightEditModel m_model;
    TzdCustomMemoView* m_memo = nullptr;
    bool m_filling = false;
    QGroupBox* m_conditionsGB;
    QGroupBox* m_styleGB;
    QListWidget* m_list;
    QPushButton *m_add, *m_delete, *m_edit;
    QToolButton *m_up, *m_down;
    QCheckBox *m_frameCB, *m_fillCB, *m_fontCB, *m_visibleCB;
    QToolButton *m_frameB, *m_fillB, *m_fontB;
    zd::dlg::SampleBox* m_sample;
};
