#include "zdSearchForm.h"

#include "zdRes.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

TzdSearchForm::TzdSearchForm(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("zdSearchForm"));
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    lblFind = new QLabel(zdGetResText(301), this);
    lblFind->setObjectName(QStringLiteral("lblFind"));
    edtFind = new QLineEdit(this);
    edtFind->setObjectName(QStringLiteral("edtFind"));
    edtFind->installEventFilter(this);
    gbSearch = new QGroupBox(zdGetResText(302), this);
    gbSearch->setObjectName(QStringLiteral("gbSearch"));
    auto* options = new QVBoxLayout(gbSearch);
    chkBeg = new QCheckBox(zdGetResText(304), gbSearch);
    chkBeg->setObjectName(QStringLiteral("chkBeg"));
    chkCase = new QCheckBox(zdGetResText(305), gbSearch);
    chkCase->setObjectName(QStringLiteral("chkCase"));
    chkFindAll = new QCheckBox(zdGetResText(306), gbSearch);
    chkFindAll->setObjectName(QStringLiteral("chkFindAll"));
    for (QCheckBox* box : {chkBeg, chkCase, chkFindAll})
        options->addWidget(box);
    btnFind = new QPushButton(zdGetResText(300), this);
    btnFind->setObjectName(QStringLiteral("btnFind"));
    trvFind = new QTreeWidget(this);
    trvFind->setObjectName(QStringLiteral("trvFind"));
    trvFind->setHeaderHidden(true);
    trvFind->hide();
    layout->addWidget(lblFind);
    layout->addWidget(edtFind);
    layout->addWidget(gbSearch);
    layout->addWidget(btnFind);
    layout->addWidget(trvFind, 1);
    layout->addStretch(0);
    connect(chkFindAll, &QCheckBox::clicked, this, [this] { findAllClicked(); });
    setMinimumWidth(50);
}

void TzdSearchForm::findAllClicked()
{
    trvFind->clear();
    trvFind->setVisible(chkFindAll->isChecked());
}

void TzdSearchForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    edtFind->setFocus();
    edtFind->selectAll();
}

void TzdSearchForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F && event->modifiers() == Qt::ControlModifier) {
        if (OnToggle)
            OnToggle();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TzdSearchForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edtFind && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            btnFind->click();
            return true;
        }
        if (key->key() == Qt::Key_F && key->modifiers() == Qt::ControlModifier) {
            if (OnToggle)
                OnToggle();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
