#include "zdPassw.h"

#include "zdRes.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

TzdPasswordForm::TzdPasswordForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("zdPasswordForm"));
    setWindowTitle(zdGetResText(5000));
    setFixedSize(252, 92);
    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setGeometry(8, 8, 32, 32);
    image->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    auto* label = new QLabel(zdGetResText(5001), this);
    label->setObjectName(QStringLiteral("PasswordL"));
    label->move(52, 8);
    PasswordE = new QLineEdit(this);
    PasswordE->setObjectName(QStringLiteral("PasswordE"));
    PasswordE->setGeometry(52, 28, 189, 21);
    PasswordE->setEchoMode(QLineEdit::Password);
    label->setBuddy(PasswordE);
    auto* ok = new QPushButton(zdGetResText(1), this);
    ok->setObjectName(QStringLiteral("OkB"));
    ok->setGeometry(86, 60, 75, 25);
    ok->setDefault(true);
    auto* cancel = new QPushButton(zdGetResText(2), this);
    cancel->setObjectName(QStringLiteral("CancelB"));
    cancel->setGeometry(166, 60, 75, 25);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    if (layoutDirection() == Qt::RightToLeft)
        for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            w->move(width() - w->x() - w->width(), w->y());
}
