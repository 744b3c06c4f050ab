#include "archive/ComandiRiga.h"
#include "gui/archive/Avvio.h"
#include "archive/Module1.h"
#include "archive/Presenza.h"
#include "gui/diary/F_Avvio.h"
#include "gui/platform/ServiziGrafici.h"
#include "gui/printing/StampaElenco.h"
#include "platform/Servizi.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QIcon>
#include <QTextStream>

namespace {
// `--apri-archivio PERCORSO`: straight to the main window on that archive, skipping the
// selection window (for trying out and screenshots).
int ApriArchivio(QApplication& app, const QString& percorso)
{
    const QFileInfo file(percorso);
    if (percorso.isEmpty() || !file.isFile()) {
        QTextStream(stderr) << "Errore: archivio non trovato: " << percorso << '\n';
        return 2;
    }
    app.setApplicationName(QStringLiteral("Cartavia"));
    app.setApplicationVersion(Module1::VersioneProgramma);
    Avvio::CaricaTraduzioni(app);
    Module1::PercorsoArchivio = file.absoluteFilePath();
    Module1::NomeArchivio = file.fileName();
    Presenza::Inizia(Module1::PercorsoArchivio);
    if (!F_Avvio::Apri())
        return 1;
    return app.exec();
}
} // namespace

int main(int argc, char* argv[])
{
    // Commands that need no display run on a console-only application.
    if (ComandiRiga::RichiedeSoloConsole(argc, argv)) {
        QCoreApplication app(argc, argv);
        return ComandiRiga::Esegui(app.arguments());
    }
    QApplication app(argc, argv);
    // The installed menu entry and icon carry this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.cartavia.Cartavia"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("example.cartavia.Cartavia")));
    ServiziGrafici::Installa(servizi());
    servizi().apriPrincipale = [] { F_Avvio::Apri(); };
    StampaElenco::Registra();
    // What is left once the toolkit took its own options.
    const QStringList argomenti = app.arguments();
    if (argomenti.size() > 1) {
        QString percorso;
        if (!ComandiRiga::ApriArchivioValido(argomenti, &percorso))
            return ComandiRiga::Esegui(argomenti);
        return ApriArchivio(app, percorso);
    }
    return Avvio::Esegui(app);
}
