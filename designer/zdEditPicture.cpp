#include "zdEditPicture.h"

#include "Modal.h"
#include "Services.h"
#include "zdDialogsSecondHalf.h"
#include "zdDialogsSecondHalf_p.h"

#include <QBuffer>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollArea>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

using namespace zd::dialogs::detail;

namespace {
// Clipboard formats a picture may come in, the most faithful first.
const char* const kPictureFormats[] = {"image/png", "image/bmp", "image/jpeg"};
} // namespace

QString zd::picture::fileFilter()
{
    return res("ftPictures") + QStringLiteral(" (*.bmp *.jpg *.png *.ico *.wmf *.emf)|*.bmp;*.jpg;*.png;*.ico;*.wmf;*.emf|") +
           res("ftAllFiles") + QStringLiteral("|*.*");
}

bool zd::picture::loadFile(plat::TPicture& Picture, const QString& FileName)
{
    // TPicture raises before it changes, so a damaged file keeps the old one.
    return guarded([&] { Picture.LoadFromFile(FileName); });
}

bool zd::picture::paste(plat::TPicture& Picture)
{
    plat::UiServices& ui = plat::Services();
    for (const char* format : kPictureFormats) {
        const QString name = QString::fromLatin1(format);
        if (!ui.ClipboardHasFormat(name))
            continue;
        try {
            plat::TPicture pasted;
            pasted.LoadFromBytes(ui.ClipboardData(name));
            Picture.Assign(&pasted);
            return true;
        } catch (const plat::Exception&) {
            // a damaged clipboard picture counts as none
        }
    }
    zdErrorMessage(res("erInvalidImg"));
    return false;
}

void zd::picture::copy(const plat::TPicture& Picture)
{
    if (Picture.Empty())
        return;
    const QImage image = Picture.Graphic()->ToImage();
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
    }
    plat::Services().SetClipboardData(QStringLiteral("image/png"), bytes);
}

QString zd::picture::statusText(const plat::TPicture& Picture)
{
    if (Picture.Empty())
        return res("piEmpty");
    return QStringLiteral("%1 x %2").arg(Picture.Width()).arg(Picture.Height());
}

TzdPictureEditorForm::TzdPictureEditorForm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("zdPictureEditorForm"));
    setWindowTitle(res(4000));
    resize(400, 300);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    ToolBar = named(new QToolBar(this), "ToolBar");
    auto button = [this](const char* name, int image, const QString& hint) {
        auto* b = named(new QToolButton(ToolBar), name);
        b->setToolTip(hint);
        b->setText(hint);
        zdGetResources()->SetButtonGlyph(b, image);
        ToolBar->addWidget(b);
        return b;
    };
    LoadB = button("LoadB", 1, res(4001));
    CopyB = button("CopyB", 6, res(4002));
    PasteB = button("PasteB", 7, res(4003));
    ClearB = button("ClearB", 82, res(4004));
    ToolBar->addSeparator();
    CancelB = button("CancelB", 55, res(2));
    OkB = button("OkB", 56, res(1));
    layout->addWidget(ToolBar);
    ScrollBox = named(new QScrollArea(this), "ScrollBox");
    ScrollBox->setFrameShape(QFrame::StyledPanel);
    ScrollBox->setAlignment(Qt::AlignCenter);
    Image = named(new QLabel, "Image");
    Image->setAlignment(Qt::AlignCenter);
    ScrollBox->setWidget(Image);
    ScrollBox->setWidgetResizable(true);
    layout->addWidget(ScrollBox, 1);
    StatusBar = named(new QStatusBar(this), "StatusBar");
    StatusBar->setSizeGripEnabled(false);
    layout->addWidget(StatusBar);

    connect(LoadB, &QToolButton::clicked, this, [this] {
        plat::FileDialogRequest request;
        request.kind = plat::FileDialogRequest::Open;
        request.filter = zd::picture::fileFilter();
        const plat::FileDialogResult chosen = plat::Services().FileDialog(request);
        if (chosen.accepted && zd::picture::loadFile(m_picture, chosen.FileName()))
            UpdateImage();
    });
    connect(CopyB, &QToolButton::clicked, this, [this] { guarded([this] { zd::picture::copy(m_picture); }); });
    connect(PasteB, &QToolButton::clicked, this, [this] {
        if (zd::picture::paste(m_picture))
            UpdateImage();
    });
    connect(ClearB, &QToolButton::clicked, this, [this] {
        m_picture.Clear();
        UpdateImage();
    });
    connect(OkB, &QToolButton::clicked, this, &QDialog::accept);
    connect(CancelB, &QToolButton::clicked, this, &QDialog::reject);
    UpdateImage();
}

void TzdPictureEditorForm::UpdateImage()
{
    StatusBar->showMessage(zd::picture::statusText(m_picture));
    if (m_picture.Empty()) {
        Image->setPixmap(QPixmap());
        return;
    }
    QImage image = m_picture.Graphic()->ToImage();
    // Larger than the window: shrunk to fit; smaller: centred at its size.
    const QSize room = ScrollBox->viewport()->size();
    if (image.width() > room.width() || image.height() > room.height())
        image = image.scaled(room, Qt::IgnoreAspectRatio);
    Image->setPixmap(QPixmap::fromImage(image));
}

void TzdPictureEditorForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        zdGetResources()->ShowHelpForClass(QStringLiteral("TzdPictureEditorForm"));
        return;
    }
    QDialog::keyPressEvent(event);
}

bool zd::dialogs::EditPicture(plat::TPicture& Picture)
{
    TzdPictureEditorForm form(plat::HasServices() ? plat::Services().DialogParent() : nullptr);
    form.Picture().Assign(&Picture);
    form.UpdateImage();
    if (plat::ExecModal(form) != QDialog::Accepted)
        return false;
    Picture.Assign(&form.Picture());
    return true;
}
