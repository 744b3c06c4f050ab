#include "Avvio.h"

#include "gui/archive/AvvioSelezione.h"
#include "archive/Module1.h"
#include "archive/Presenza.h"
#include "platform/Servizi.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace Avvio {

void CaricaTraduzioni(QApplication& app)
{
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    auto* qt = new QTranslator(&app);
    if (qt->load(QLocale(QLocale::Italian), QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(qt);
}

int Esegui(QApplication& app, Sessione& sessione)
{
    app.setApplicationName(QStringLiteral("Cartavia"));
    app.setApplicationVersion(Module1::VersioneProgramma);
    CaricaTraduzioni(app);
    AvvioSelezione selezione(sessione);
    // "Disconnetti": this instance no longer uses the archive, and the choice starts again.
    servizi().apriSelezione = [&selezione] {
        Presenza::Termina();
        selezione.MostraDiNuovo();
    };
    selezione.show();
    const int esito = app.exec();
    servizi().apriSelezione = {};
    Presenza::Termina();
    return esito;
}

} // namespace Avvio
