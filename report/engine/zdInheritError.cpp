#include "zdInheritError.h"

#include "zdRes.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

TzdInheritErrorForm::TzdInheritErrorForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("zdInheritErrorForm"));
    setWindowTitle(zdGetResText(6000));
    setFixedSize(256, 152);
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("PaintBox1"));
    picture->setGeometry(12, 16, 32, 32);
    picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));
    auto* message = new QLabel(zdGetResText(6001), this);
    message->setObjectName(QStringLiteral("MessageL"));
    message->setWordWrap(true);
    message->setGeometry(56, 16, 189, 41);
    DeleteRB = new QRadioButton(zdGetResText(6002), this);
    DeleteRB->setObjectName(QStringLiteral("DeleteRB"));
    DeleteRB->setGeometry(56, 64, 189, 17);
    DeleteRB->setChecked(true);
    RenameRB = new QRadioButton(zdGetResText(6003), this);
    RenameRB->setObjectName(QStringLiteral("RenameRB"));
    RenameRB->setGeometry(56, 84, 189, 17);
    auto* ok = new QPushButton(zdGetResText(1), this);
    ok->setObjectName(QStringLiteral("OkB"));
    ok->setGeometry(90, 120, 75, 25);
    ok->setDefault(true);
    auto* cancel = new QPushButton(zdGetResText(2), this);
    cancel->setObjectName(QStringLiteral("CancelB"));
    cancel->setGeometry(170, 120, 75, 25);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    if (layoutDirection() == Qt::RightToLeft)
        for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            w->move(width() - w->x() - w->width(), w->y());
}
