#include "zdDlgUtils.h"

#include "Application.h"
#include "Exceptions.h"
#include "Services.h"
#include "SysUtils.h"
#include "IniFiles.h"
#include "zdClass_report.h"
#include "zdDock.h"
#include "zdDsgnIntf_view.h"
#include "zdRes.h"
#include "zdUtils.h"

#include "Canvas.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPainter>
#include <QDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolBar>

namespace zd::dlg {

QString res(int Id, const char* Fallback)
{
    const QString text = zdGetResText(Id);
    // The table answers an unknown number with the number itself.
    return text.isEmpty() || text == QString::number(Id) ? QString::fromUtf8(Fallback) : text;
}

QString key(const char* Key) { return zd::menuText(Key); }

bool parseNumber(const QString& Text, long double& Value, QString* Error)
{
    try {
        Value = zdParseFloat(Text);
        return true;
    } catch (const plat::Exception& e) {
        if (Error)
            *Error = e.message();
        return false;
    }
}

bool parseInteger(const QString& Text, int& Value, QString* Error)
{
    try {
        Value = plat::StrToInt(Text);
        return true;
    } catch (const plat::Exception& e) {
        if (Error)
            *Error = e.message();
        return false;
    }
}

void showError(const QString& Message) { zdErrorMessage(Message); }

bool guard(const std::function<void()>& Handler) { return plat::Application().Guard(Handler); }

namespace {

// The last good text of a field, kept on the widget itself.
const char* const kGoodText = "zdLastGoodText";

void bindField(QWidget* Field, std::function<QString()> Text, std::function<void(const QString&)> SetText,
               std::function<void(long double)> Apply)
{
    Field->setProperty(kGoodText, Text());
    auto edited = [=](const QString& text) {
        long double value = 0;
        if (!parseNumber(text, value))
            return; // keep the previous value while the number is typed
        Field->setProperty(kGoodText, text);
        guard([&] { Apply(value); });
    };
    auto left = [=] {
        long double value = 0;
        QString error;
        if (parseNumber(Text(), value, &error))
            return;
        const QString good = Field->property(kGoodText).toString();
        SetText(good);
        showError(error);
    };
    if (auto* edit = qobject_cast<QLineEdit*>(Field)) {
        QObject::connect(edit, &QLineEdit::textEdited, edit, edited);
        QObject::connect(edit, &QLineEdit::editingFinished, edit, left);
    } else if (auto* combo = qobject_cast<QComboBox*>(Field)) {
        QObject::connect(combo, &QComboBox::currentTextChanged, combo, edited);
        if (combo->lineEdit())
            QObject::connect(combo->lineEdit(), &QLineEdit::editingFinished, combo, left);
    }
}

} // namespace

void bindNumberEdit(QLineEdit* Edit, std::function<void(long double)> Apply)
{
    bindField(
        Edit, [Edit] { return Edit->text(); }, [Edit](const QString& t) { Edit->setText(t); }, std::move(Apply));
}

void bindNumberCombo(QComboBox* Combo, std::function<void(long double)> Apply)
{
    bindField(
        Combo, [Combo] { return Combo->currentText(); },
        [Combo](const QString& t) {
            const QSignalBlocker block(Combo);
            Combo->setCurrentText(t);
        },
        std::move(Apply));
}

ColorButton::ColorButton(QWidget* Parent) : QPushButton(Parent)
{
    setColor(plat::clBlack);
    connect(this, &QPushButton::clicked, this, [this] { guard([this] { choose(); }); });
}

void ColorButton::setColor(plat::TColor Value)
{
    m_color = Value;
    const plat::TColor rgb = Value == plat::clNone ? plat::clWhite : plat::ColorToRGB(Value);
    const QColor c(rgb & 0xff, (rgb >> 8) & 0xff, (rgb >> 16) & 0xff);
    setText(Value == plat::clNone ? QStringLiteral("—") : c.name());
    setStyleSheet(QStringLiteral("background-color: %1").arg(c.name()));
}

bool ColorButton::choose()
{
    const auto chosen = plat::Services().ColorDialog(m_color, {});
    if (!chosen)
        return false;
    setColor(*chosen);
    if (OnColorChanged)
        OnColorChanged(*chosen);
    return true;
}

SampleBox::SampleBox(QWidget* Parent) : QWidget(Parent) {}

void SampleBox::paintEvent(QPaintEvent*)
{
    if (!Paint || width() <= 0 || height() <= 0)
        return;
    plat::TBitmap bitmap;
    bitmap.SetSize(width(), height());
    guard([&] { Paint(bitmap.Canvas(), width(), height()); });
    QPainter painter(this);
    painter.drawImage(0, 0, bitmap.Image());
}

QLineEdit* namedEdit(QWidget* Parent, const char* Name)
{
    auto* e = new QLineEdit(Parent);
    e->setObjectName(QString::fromLatin1(Name));
    return e;
}

QCheckBox* namedCheck(QWidget* Parent, const char* Name, const QString& Caption)
{
    auto* c = new QCheckBox(Caption, Parent);
    c->setObjectName(QString::fromLatin1(Name));
    return c;
}

QWidget* okCancelRow(QDialog* Dialog, const QString& OkName, const QString& CancelName, std::function<bool()> Accept)
{
    auto* row = new QWidget(Dialog);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch(1);
    auto* ok = new QPushButton(res(1, "OK"), row);
    ok->setObjectName(OkName);
    ok->setDefault(true);
    auto* cancel = new QPushButton(res(2, "Zrušit"), row);
    cancel->setObjectName(CancelName);
    layout->addWidget(ok);
    layout->addWidget(cancel);
    QObject::connect(ok, &QPushButton::clicked, Dialog, [Dialog, Accept] {
        bool accepted = false;
        guard([&] { accepted = !Accept || Accept(); });
        if (accepted)
            Dialog->accept();
    });
    QObject::connect(cancel, &QPushButton::clicked, Dialog, &QDialog::reject);
    return row;
}

QAction* toolAction(QToolBar* Bar, const char* Name, const QString& Hint)
{
    QAction* a = Bar->addAction(Hint);
    a->setObjectName(QString::fromLatin1(Name));
    a->setToolTip(Hint);
    return a;
}

namespace {

QString placeSection(QWidget* Dialog) { return QStringLiteral("Form5.") + zd::FormClassName(Dialog); }

// Runs Work on the report's settings store; the store's failures stay here.
void withSettings(TzdReport* Report, const std::function<void(plat::TCustomIniFile&)>& Work)
{
    if (!Report)
        return;
    try {
        std::unique_ptr<plat::TCustomIniFile> settings = Report->OpenSettingsFile();
        if (!settings)
            return;
        Work(*settings);
        settings->UpdateFile();
    } catch (const std::exception&) {
        // The window's place is a convenience: it never stops the dialog.
    }
}

} // namespace

void restoreDialogPlace(QWidget* Dialog, TzdReport* Report, const SettingsAccess& Extra)
{
    withSettings(Report, [&](plat::TCustomIniFile& settings) {
        const QString section = placeSection(Dialog);
        settings.WriteBool(section, QStringLiteral("Visible"), true);
        zdRestoreFormPosition(settings, Dialog);
        if (Extra)
            Extra(settings, section);
    });
}

void saveDialogPlace(QWidget* Dialog, TzdReport* Report, const SettingsAccess& Extra)
{
    withSettings(Report, [&](plat::TCustomIniFile& settings) {
        zdSaveFormPosition(settings, Dialog);
        if (Extra)
            Extra(settings, placeSection(Dialog));
    });
}

} // namespace zd::dlg
