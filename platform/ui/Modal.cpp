#include "Modal.h"

#include <QDialog>

namespace plat {

namespace {
ModalRunner& modalRunner()
{
    static ModalRunner runner;
    return runner;
}
} // namespace

ModalRunner SetModalRunner(ModalRunner runner)
{
    ModalRunner previous = std::move(modalRunner());
    modalRunner() = std::move(runner);
    return previous;
}

int ExecModal(QDialog& dialog)
{
    if (modalRunner())
        return modalRunner()(dialog);
    return dialog.exec();
}

} // namespace plat
