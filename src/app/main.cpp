#include "ComandiRiga.h"
#include "gui/archive/Avvio.h"
#include "archive/Archivio.h"
#include "archive/IndirizzoServer.h"
#include "archive/Module1.h"
#include "archive/Presenza.h"
#include "archive/Sessione.h"
#include "gui/diary/F_Avvio.h"
#include "gui/platform/ServiziGrafici.h"
#include "platform/Servizi.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QTextStream>

namespace {
// `--apri-archivio PERCORSO`: straight to the main window on that archive, skipping the
// selection window (for trying out and screenshots).
int ApriArchivio(QApplication& app, Sessione& sessione, const QString& percorso)
{
    const QFileInfo file(percorso);
    const bool server = IndirizzoServer::E(percorso);
    if (percorso.isEmpty() || (server ? !Archivio::Esiste(percorso) : !file.isFile())) {
        QTextStream(stderr) << "Errore: archivio non trovato: " << percorso << '\n';
        return 2;
    }
    app.setApplicationName(QStringLiteral("Cartavia"));
    app.setApplicationVersion(Module1::VersioneProgramma);
    Avvio::CaricaTraduzioni(app);
    sessione.PercorsoArchivio = server ? percorso.trimmed() : file.absoluteFilePath();
    sessione.NomeArchivio = server ? IndirizzoServer::Leggi(percorso)->database : file.fileName();
    Presenza::Inizia(sessione.PercorsoArchivio);
    if (!F_Avvio::Apri(sessione))
        return 1;
    return app.exec();
}
} // namespace

int main(int argc, char* argv[])
{
    // Commands that need no display run on a console-only application.
    if (ComandiRiga::RichiedeSoloConsole(argc, argv)) {
        if (ComandiRiga::ImpaginaTesti(argc, argv)) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
            // A job run from a script or cron has no desktop session: the toolkit's note that it
            // picks a runtime folder of its own is not the user's business.
            if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
                qInstallMessageHandler(
                    [](QtMsgType tipo, const QMessageLogContext& contesto, const QString& testo) {
                        if (!testo.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
                            QTextStream(stderr) << qFormatLogMessage(tipo, contesto, testo) << '\n';
                    });
            QGuiApplication app(argc, argv);
            return ComandiRiga::Esegui(app.arguments());
        }
        QCoreApplication app(argc, argv);
        return ComandiRiga::Esegui(app.arguments());
    }
    QApplication app(argc, argv);
    // The installed menu entry and icon carry this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.cartavia.Cartavia"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("example.cartavia.Cartavia")));
    // What this run keeps, handed to the windows.
    Sessione sessione;
    ServiziGrafici::Installa(servizi());
    servizi().apriPrincipale = [&sessione] { F_Avvio::Apri(sessione); };
    // What is left once the toolkit took its own options.
    const QStringList argomenti = app.arguments();
    if (argomenti.size() > 1) {
        QString percorso;
        if (!ComandiRiga::ApriArchivioValido(argomenti, &percorso))
            return ComandiRiga::Esegui(argomenti);
        return ApriArchivio(app, sessione, percorso);
    }
    return Avvio::Esegui(app, sessione);
}
