#include "zdDsgnDialogs.h"

#include "Exceptions.h"

namespace {
TzdDesignerDialogs* g_dialogs = nullptr;
}

TzdDesignerDialogs::~TzdDesignerDialogs() = default;

TzdDesignerDialogs& zdDesignerDialogs()
{
    if (!g_dialogs)
        throw plat::EInvalidOperation(QStringLiteral("No designer dialogs installed"));
    return *g_dialogs;
}

TzdDesignerDialogs* zdSetDesignerDialogs(TzdDesignerDialogs* Dialogs)
{
    TzdDesignerDialogs* previous = g_dialogs;
    g_dialogs = Dialogs;
    return previous;
}
