#include "zdPrinter.h"
#include "zdPrinter_p.h"

#include "Modal.h"
#include "zdRes.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>

namespace zd {

namespace {

QString resText(const char* key) { return zdGetResources()->GetText(QString::fromLatin1(key)); }

// The sides a driver knows, in the order its dialog lists them.
struct SidesItem {
    const char* key;
    int duplex;
};
constexpr SidesItem kSides[] = {{"dupSimpl", 1}, {"dupVert", 2}, {"dupHorz", 3}};

} // namespace

bool ShowPrinterPropertiesDialog(const TzdCustomPrinter& printer, bool canDuplex, PrinterProperties& props)
{
    QDialog dialog(QApplication::activeWindow());
    dialog.setObjectName(QStringLiteral("PrinterPropertiesForm"));
    dialog.setWindowTitle(printer.Name());
    auto* layout = new QFormLayout(&dialog);

    auto* bins = new QComboBox(&dialog);
    bins->setObjectName(QStringLiteral("BinCB"));
    for (int i = 0; i < printer.BinList().Count(); ++i)
        bins->addItem(printer.BinList().Strings(i), printer.BinNumber(i));
    bins->setCurrentIndex(std::max(0, printer.IndexOfBin(props.Bin)));
    layout->addRow(zdGetResText(2711), bins);

    auto* sides = new QComboBox(&dialog);
    sides->setObjectName(QStringLiteral("DuplexCB"));
    for (const SidesItem& item : kSides)
        sides->addItem(resText(item.key), item.duplex);
    sides->setCurrentIndex(std::max(0, sides->findData(props.Duplex)));
    sides->setEnabled(canDuplex);
    layout->addRow(zdGetResText(216), sides);

    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* ok = buttons->addButton(zdGetResText(1), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OkB"));
    ok->setDefault(true);
    buttons->addButton(zdGetResText(2), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("CancelB"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addRow(buttons);

    if (plat::ExecModal(dialog) != QDialog::Accepted)
        return false;
    props.Bin = bins->currentData().toInt();
    props.Duplex = sides->currentData().toInt();
    return true;
}

} // namespace zd
