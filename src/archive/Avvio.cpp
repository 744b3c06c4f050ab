#include "Avvio.h"

#include "archive/Module1.h"

#include <QApplication>
#include <QLabel>
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

int Esegui(QApplication& app)
{
    app.setApplicationName(QStringLiteral("Cartavia"));
    app.setApplicationVersion(Module1::VersioneProgramma);
    CaricaTraduzioni(app);
    QLabel segnaposto(QStringLiteral("Cartavia ver.") + Module1::VersioneProgramma);
    segnaposto.setMinimumSize(400, 120);
    segnaposto.setAlignment(Qt::AlignCenter);
    segnaposto.show();
    return app.exec();
}

} // namespace Avvio
