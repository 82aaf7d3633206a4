#include "Dialogs.h"

#include "Graphics.h"
#include "TypeInfo.h"

namespace plat {

PLAT_DEFINE_CLASS(TCommonDialog, c) {}

PLAT_DEFINE_CLASS(TOpenDialog, c)
{
    c.property("DefaultExt", &TOpenDialog::DefaultExt);
    c.property("FileName", &TOpenDialog::FileName);
    c.property("Files", &TOpenDialog::Files).stored(false);
    c.property("Filter", &TOpenDialog::Filter);
    c.property("FilterIndex", &TOpenDialog::FilterIndex).defaultValue(1);
    c.property("InitialDir", &TOpenDialog::InitialDir);
    c.property("Options", &TOpenDialog::Options);
    c.property("Title", &TOpenDialog::Title);
}

PLAT_DEFINE_CLASS(TSaveDialog, c) {}

PLAT_DEFINE_CLASS(TColorDialog, c)
{
    c.property<ti::TColor>("Color", &TColorDialog::Color);
    c.property("Options", &TColorDialog::Options);
}

PLAT_DEFINE_CLASS(TFontDialog, c)
{
    c.property("Device", &TFontDialog::Device).defaultValue(fdScreen);
    c.property("Font", &TFontDialog::Font, &TFontDialog::SetFont);
    c.property("Options", &TFontDialog::Options);
}

PLAT_DEFINE_CLASS(TPrintDialog, c)
{
    c.property("Collate", &TPrintDialog::Collate).defaultValue(false);
    c.property("Copies", &TPrintDialog::Copies).defaultValue(1);
    c.property("FromPage", &TPrintDialog::FromPage).defaultValue(0);
    c.property("MinPage", &TPrintDialog::MinPage).defaultValue(0);
    c.property("MaxPage", &TPrintDialog::MaxPage).defaultValue(0);
    c.property("Options", &TPrintDialog::Options);
    c.property("PrintRange", &TPrintDialog::PrintRange).defaultValue(prAllPages);
    c.property("PrintToFile", &TPrintDialog::PrintToFile).defaultValue(false);
    c.property("ToPage", &TPrintDialog::ToPage).defaultValue(0);
}

PLAT_DEFINE_CLASS(TPrinterSetupDialog, c) {}

bool TOpenDialog::Execute()
{
    FileDialogRequest request;
    request.kind = kind();
    request.title = Title;
    request.filter = Filter;
    request.filterIndex = FilterIndex;
    request.initialDir = InitialDir;
    request.fileName = FileName;
    request.defaultExt = DefaultExt;
    request.options = Options;
    const FileDialogResult result = Services().FileDialog(request);
    if (!result.accepted)
        return false;
    FileName = result.FileName();
    Files = result.files.join(QLatin1Char('\n'));
    FilterIndex = result.filterIndex;
    return true;
}

bool TColorDialog::Execute()
{
    const std::optional<TColor> chosen = Services().ColorDialog(Color, Options);
    if (!chosen)
        return false;
    Color = *chosen;
    return true;
}

TFontDialog::TFontDialog(TComponent* AOwner) : TCommonDialog(AOwner), m_font(std::make_unique<TFont>()) {}

TFontDialog::~TFontDialog() = default;

void TFontDialog::SetFont(TFont* font)
{
    m_font->Assign(font);
}

bool TFontDialog::Execute()
{
    // The user's choice lands in the dialog's font only when accepted.
    TFont chosen;
    chosen.AssignFont(*m_font);
    if (!Services().FontDialog(chosen, Options))
        return false;
    m_font->AssignFont(chosen);
    return true;
}

bool TPrintDialog::Execute()
{
    PrintDialogRequest request;
    request.fromPage = FromPage;
    request.toPage = ToPage;
    request.minPage = MinPage;
    request.maxPage = MaxPage;
    request.copies = Copies;
    request.collate = Collate;
    request.printToFile = PrintToFile;
    request.printRange = PrintRange;
    request.options = Options;
    if (!Services().PrintDialog(request))
        return false;
    FromPage = request.fromPage;
    ToPage = request.toPage;
    Copies = request.copies;
    Collate = request.collate;
    PrintToFile = request.printToFile;
    PrintRange = request.printRange;
    return true;
}

bool TPrinterSetupDialog::Execute()
{
    return Services().PrinterSetupDialog();
}

} // namespace plat
