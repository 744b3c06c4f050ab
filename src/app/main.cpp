#include "archive/ComandiRiga.h"
#include "archive/Avvio.h"

#include <QApplication>
#include <QCoreApplication>

int main(int argc, char* argv[])
{
    // Commands that need no display run on a console-only application.
    if (ComandiRiga::RichiedeSoloConsole(argc, argv)) {
        QCoreApplication app(argc, argv);
        return ComandiRiga::Esegui(app.arguments());
    }
    QApplication app(argc, argv);
    return Avvio::Esegui(app);
}
