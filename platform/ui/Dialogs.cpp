#include "Dialogs.h"

#include "Graphics.h"

namespace plat {

PLAT_DEFINE_CLASS(TCommonDialog, c)
{
    c.property("HelpContext", &TCommonDialog::HelpContext).defaultValue(0);
}

PLAT_DEFINE_CLASS(TOpenDialog, c)
{
    using C = TOpenDialog;
    c.property("DefaultExt", &C::DefaultExt);
    c.property("FileName", &C::FileName);
    c.property("Filter", &C::Filter);
    c.property("FilterIndex", &C::FilterIndex).defaultValue(1);
    c.property("InitialDir", &C::InitialDir);
    c.property("Options", &C::Options).defaultValue(TOpenOptions{ofHideReadOnly, ofEnableSizing});
    c.property("Title", &C::Title);
}

PLAT_DEFINE_CLASS(TSaveDialog, c) { (void)c; }

PLAT_DEFINE_CLASS(TColorDialog, c)
{
    c.property<ti::TColor>("Color", &TColorDialog::Color).defaultValue(clBlack);
    c.property("Options", &TColorDialog::Options).defaultValue(TColorDialogOptions{});
}

PLAT_DEFINE_CLASS(TFontDialog, c)
{
    c.property("Device", &TFontDialog::Device).defaultValue(fdScreen);
    c.property("Font", &TFontDialog::Font, &TFontDialog::SetFont);
    c.property("Options", &TFontDialog::Options).defaultValue(TFontDialogOptions{fdEffects});
}

PLAT_DEFINE_CLASS(TPrintDialog, c)
{
    using C = TPrintDialog;
    c.property("Collate", &C::Collate).defaultValue(false);
    c.property("Copies", &C::Copies).defaultValue(0);
    c.property("FromPage", &C::FromPage).defaultValue(0);
    c.property("MinPage", &C::MinPage).defaultValue(0);
    c.property("MaxPage", &C::MaxPage).defaultValue(0);
    c.property("Options", &C::Options).defaultValue(TPrintDialogOptions{});
    c.property("PrintToFile", &C::PrintToFile).defaultValue(false);
    c.property("PrintRange", &C::PrintRange).defaultValue(prAllPages);
    c.property("ToPage", &C::ToPage).defaultValue(0);
}

PLAT_DEFINE_CLASS(TPrinterSetupDialog, c) { (void)c; }

TOpenDialog::TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
TOpenDialog::~TOpenDialog() = default;

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
    m_files.Clear();
    for (const QString& f : result.files)
        m_files.Add(f);
    FileName = result.FileName();
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

void TFontDialog::SetFont(TFont* Value)
{
    if (Value)
        m_font->Assign(Value);
}

bool TFontDialog::Execute()
{
    // The dialog works on a copy, so that a cancelled dialog changes nothing.
    TFont copy;
    copy.AssignFont(*m_font);
    if (!Services().FontDialog(copy, Options))
        return false;
    m_font->AssignFont(copy);
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

void RegisterDialogClasses()
{
    RegisterClasses({TOpenDialog::StaticClass(), TSaveDialog::StaticClass(), TColorDialog::StaticClass(),
                     TFontDialog::StaticClass(), TPrintDialog::StaticClass(), TPrinterSetupDialog::StaticClass()});
}

} // namespace plat
