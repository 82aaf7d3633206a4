#pragma once
// Report settings: printer and copies, engine switches, password,
// inheritance from a base template, and the report's description. The
// copies are checked before anything is written.

#include <QDialog>
#include <QStringList>

#include <memory>

namespace plat {
class TPicture;
} // namespace plat

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QRadioButton;
class TzdCustomDesigner;
class TzdReport;

namespace zd {

enum InheritChoice { icDontChange, icDetach, icInherit };

struct ReportSettingsFields {
    // The printer list as shown: the default entry first, then the
    // installed printers; PrinterIndex -1 when none is selected.
    QStringList Printers;
    int PrinterIndex = -1;
    QString Copies = QStringLiteral("1");
    bool Collate = true;
    bool DoublePass = false;
    bool PrintIfEmpty = true;
    QString Password;
    InheritChoice Inherit = icDontChange;
    QString Template; // the chosen template file, for icInherit
    QString Name, Author;
    QStringList Description;
    // The report's picture as chosen; none leaves the report's picture.
    std::shared_ptr<plat::TPicture> Picture;
    QString VersionMajor, VersionMinor, VersionRelease, VersionBuild;
};

// The fields showing Report; Printers are the installed printers' names.
ReportSettingsFields reportSettingsOf(TzdReport* Report, const QStringList& Printers);
// Writes the fields; a copies text that is no whole number raises before
// anything is written. Inheritance changes lock the designer (when given)
// and reload it afterwards, also when they fail; such a failure is shown
// and the remaining settings are still written.
void applyReportSettings(TzdReport* Report, const ReportSettingsFields& Fields, TzdCustomDesigner* Designer);
// The template files of a folder with the extension, sorted.
QStringList templateFiles(const QString& Folder, const QString& Extension);

} // namespace zd

class TzdReportEditorForm : public QDialog {
public:
    TzdReportEditorForm(TzdReport* Report, TzdCustomDesigner* Designer, QWidget* Parent = nullptr);
    ~TzdReportEditorForm() override;
    zd::ReportSettingsFields Fields() const;
    // Fills the template list from a folder.
    void SetTemplateFolder(const QString& Folder);
    // The picture button: the picture dialog on a copy of the shown
    // picture, which takes the result on OK.
    void EditPicture();

private:
    void showPicture();

    TzdReport* m_report;
    TzdCustomDesigner* m_designer;
    QStringList m_printers;
    QStringList m_templates;
    QListWidget* m_printerList;
    QLineEdit* m_copies;
    QCheckBox *m_collate, *m_doublePass, *m_printIfEmpty;
    QLineEdit* m_password;
    QRadioButton *m_dontChange, *m_detach, *m_inherit;
    QListWidget* m_templateList;
    QLineEdit* m_path;
    QLineEdit *m_name, *m_author;
    QPlainTextEdit* m_description;
    QLabel* m_pictureImg;
    std::shared_ptr<plat::TPicture> m_picture;
    QLineEdit *m_major, *m_minor, *m_release, *m_build;
};
