#pragma once
// The common-dialog components: settings and results as published
// properties, Execute shows the dialog through the user-interface services
// and tells whether the user accepted it.

#include "Objects.h"
#include "Services.h"

#include <memory>

namespace plat {

class TFont;

class TCommonDialog : public TComponent {
    PLAT_CLASS(TCommonDialog, TComponent)
public:
    explicit TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}
    virtual bool Execute() { return false; }
};

class TOpenDialog : public TCommonDialog {
    PLAT_CLASS(TOpenDialog, TCommonDialog)
public:
    explicit TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
    bool Execute() override;

    QString DefaultExt;
    QString FileName;
    QString Filter;
    int FilterIndex = 1;
    QString InitialDir;
    TOpenOptions Options{ofHideReadOnly, ofEnableSizing};
    QString Title;
    // Every file chosen, one per line (several with ofAllowMultiSelect).
    QString Files;

protected:
    virtual FileDialogRequest::Kind kind() const { return FileDialogRequest::Open; }
};

class TSaveDialog : public TOpenDialog {
    PLAT_CLASS(TSaveDialog, TOpenDialog)
public:
    explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}

protected:
    FileDialogRequest::Kind kind() const override { return FileDialogRequest::Save; }
};

class TColorDialog : public TCommonDialog {
    PLAT_CLASS(TColorDialog, TCommonDialog)
public:
    explicit TColorDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
    bool Execute() override;
    TColor Color = clBlack;
    TColorDialogOptions Options;
};

class TFontDialog : public TCommonDialog {
    PLAT_CLASS(TFontDialog, TCommonDialog)
public:
    explicit TFontDialog(TComponent* AOwner);
    ~TFontDialog() override;
    bool Execute() override;
    TFont* Font() const { return m_font.get(); }
    void SetFont(TFont* font);
    TFontDialogDevice Device = fdScreen;
    TFontDialogOptions Options{fdEffects};

private:
    std::unique_ptr<TFont> m_font;
};

class TPrintDialog : public TCommonDialog {
    PLAT_CLASS(TPrintDialog, TCommonDialog)
public:
    explicit TPrintDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
    bool Execute() override;
    bool Collate = false;
    int Copies = 1;
    int FromPage = 0;
    int MinPage = 0;
    int MaxPage = 0;
    TPrintDialogOptions Options;
    TPrintRange PrintRange = prAllPages;
    bool PrintToFile = false;
    int ToPage = 0;
};

class TPrinterSetupDialog : public TCommonDialog {
    PLAT_CLASS(TPrinterSetupDialog, TCommonDialog)
public:
    explicit TPrinterSetupDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
    bool Execute() override;
};

} // namespace plat
