#include "zdAbout.h"

#include "Services.h"
#include "zdDlgUtils.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TzdAboutForm::TzdAboutForm(QWidget* Parent) : QDialog(Parent)
{
    setObjectName(QStringLiteral("TzdAboutForm"));
    setWindowTitle(zd::dlg::res(2600, "O programu"));
    m_lines = new QVBoxLayout;
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(m_lines);
    AddLine(QStringLiteral("ZazaDuzudi"));
    auto* ok = new QPushButton(zd::dlg::res(1, "OK"), this);
    ok->setObjectName(QStringLiteral("OkB"));
    ok->setDefault(true);
    layout->addWidget(ok);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

QLabel* TzdAboutForm::AddLine(const QString& Text, int Tag)
{
    auto* label = new QLabel(Text, this);
    label->setObjectName(QStringLiteral("Label%1").arg(m_lines->count() + 1));
    label->setProperty("tag", Tag);
    if (Tag) {
        label->setCursor(Qt::PointingHandCursor);
        label->installEventFilter(this);
    }
    m_lines->addWidget(label);
    return label;
}

bool TzdAboutForm::OpenLine(int Tag, const QString& Text)
{
    if (Tag == 1)
        return plat::Services().ShellOpen(Text);
    if (Tag == 2)
        return plat::Services().ShellOpen(QStringLiteral("mailto:") + Text);
    return false;
}

bool TzdAboutForm::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Event->type() == QEvent::MouseButtonRelease)
        if (auto* label = qobject_cast<QLabel*>(Watched)) {
            zd::dlg::guard([&] { OpenLine(label->property("tag").toInt(), label->text()); });
            return true;
        }
    return QDialog::eventFilter(Watched, Event);
}
