#pragma once
// The style editor: a working copy of the report's styles, written back
// only on OK. StyleEditModel holds the commands; the window shows the
// styles as a tree with editable labels.

#include <QDialog>
#include <QString>

#include <memory>

class QCheckBox;
class QTreeWidget;
class QTreeWidgetItem;
class QToolButton;
class QPushButton;
class QAction;
class TzdCustomFill;
class TzdFrame;
class TzdReport;
class TzdStyleItem;
class TzdStyles;

namespace plat {
class TFont;
} // namespace plat

namespace zd {

namespace dlg {
class SampleBox;
} // namespace dlg

class StyleEditModel {
public:
    StyleEditModel();
    ~StyleEditModel();
    TzdStyles& Styles() { return *m_styles; }
    int Count() const;
    TzdStyleItem* Item(int Index) const;

    void Load(TzdReport* Report);
    // The report takes the working styles and its text objects take them.
    void Commit(TzdReport* Report);

    // A new style named "Style" + the smallest free number; its index.
    int Add();
    // The index to select afterwards (-1 when none is left).
    int Delete(int Index);
    // Raises "Duplicate name" when another style has the name.
    void Rename(int Index, const QString& Name);
    void SetApply(int Index, bool Fill, bool Font, bool Frame);
    void SetFill(int Index, TzdCustomFill* Fill);
    void SetFrame(int Index, TzdFrame* Frame);
    void SetFont(int Index, plat::TFont* Font, bool DefaultCharset);
    void SetDefaultCharset(int Index);

    void LoadFromFile(const QString& FileName);
    // Writes the styles to FileName with the extension ".zs3" (atomically);
    // returns the name written.
    QString SaveToFile(const QString& FileName);

    // The save command: asks for a file through the save dialog until the
    // name chosen is the one that will be written, so that the overwrite
    // question is always about that file. False when cancelled.
    bool SaveAs(const QString& InitialDir);
    bool LoadAsk(const QString& InitialDir);

private:
    std::unique_ptr<TzdStyles> m_styles;
};

// The style file name that a chosen name gives (extension ".zs3").
QString styleFileName(const QString& Chosen);

} // namespace zd

class TzdStyleEditorForm : public QDialog {
public:
    explicit TzdStyleEditorForm(TzdReport* Report, QWidget* Parent = nullptr);
    ~TzdStyleEditorForm() override;
    zd::StyleEditModel& Model() { return m_model; }
    int Selected() const;
    void Select(int Index);
    QString OpenDir, SaveDir;

    void accept() override;

private:
    void rebuild(int Select);
    void refresh();
    void labelEdited(QTreeWidgetItem* Item);

    TzdReport* m_report;
    zd::StyleEditModel m_model;
    bool m_filling = false;
    QTreeWidget* m_tree;
    QAction *m_addB, *m_deleteB, *m_editB, *m_loadB, *m_saveB;
    QCheckBox *m_applyFill, *m_applyFont, *m_applyFrame, *m_def;
    QPushButton *m_colorB, *m_fontB, *m_frameB;
    zd::dlg::SampleBox* m_sample;
};
