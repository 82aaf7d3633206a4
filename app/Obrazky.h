#pragma once
// The images of the main window's actions that the widget style has no
// fitting picture for, drawn at 16 by 16 pixels.

#include <QIcon>
#include <QString>

namespace zd {
// A null icon for names without a drawing of their own.
QIcon ObrazekAkce(const QString& actionName);
} // namespace zd
