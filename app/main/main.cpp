#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sorvamet Pro"));
    // The main window comes with the application layer; until then the
    // program starts and leaves cleanly.
    return 0;
}
