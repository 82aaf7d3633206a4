#pragma once
// The designer's editor dialogs for pictures, hyperlinks, display formats,
// groups, data bands, system texts and barcodes, with the same calls as the
// designer-dialogs service (zdDsgnDialogs.h), which hands its requests on to
// them; and the connections, tab order and report datasets dialogs that the
// designer's menus open. Each shows its window modally and returns true when
// the user confirmed; a cancelled dialog changes nothing.

#include <QString>

namespace plat {
class TPicture;
} // namespace plat

class TzdComponent;
class TzdCustomDesigner;
class TzdCustomMemoView;
class TzdFormatCollection;
class TzdHyperlink;
class TzdReport;
class TzdView;

namespace zd::dialogs {

bool EditPicture(plat::TPicture& Picture);
bool EditHyperlink(TzdView* View, TzdHyperlink& Result);
bool EditDisplayFormat(TzdCustomMemoView* Memo, TzdFormatCollection& Result);
// Text: the memo's lines, each followed by CR LF; edited wide.
bool EditSysMemo(TzdComponent* Memo, QString& Text);
bool EditDataBand(TzdComponent* Band);
bool EditGroupHeader(TzdComponent* Band);
bool EditBarcode(TzdComponent* Barcode);

// The stored connections of both stores; Report gives the connection
// string editor (may be null).
bool EditConnections(TzdReport* Report);
// The tab order of the controls of the first selected object, else of the
// designer's current page. True on OK (the designer then marks the report
// modified).
bool EditTabOrder(TzdCustomDesigner* Designer);
// The report's datasets, or its stored connection in the standalone designer.
bool EditReportData(TzdReport* Report);

} // namespace zd::dialogs
