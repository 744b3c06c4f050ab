#include "AttesaLavoro.h"

#include "archive/LavoroInSottofondo.h"

#include <QApplication>
#include <QEventLoop>
#include <QProgressDialog>

#include <memory>

void AttendiLavoroConFinestra(LavoroInSottofondo& lavoro, const QString& testo)
{
    QEventLoop ciclo;
    QObject::connect(&lavoro, &LavoroInSottofondo::terminato, &ciclo, &QEventLoop::quit);
    std::unique_ptr<QProgressDialog> finestra;
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        finestra = std::make_unique<QProgressDialog>(
            testo, QStringLiteral("Annulla"), 0, 100, QApplication::activeWindow());
        finestra->setWindowTitle(QStringLiteral("Cartavia"));
        finestra->setWindowModality(Qt::ApplicationModal);
        finestra->setMinimumDuration(0);
        finestra->setAutoClose(false);
        finestra->setAutoReset(false);
        // The main window rebuilds when one of the program's windows closes: not for this one.
        finestra->setProperty("CartaviaPasseggera", true);
        QObject::connect(
            &lavoro, &LavoroInSottofondo::avanzamento, finestra.get(), &QProgressDialog::setValue);
        QObject::connect(finestra.get(), &QProgressDialog::canceled, &lavoro, [&lavoro, &finestra] {
            finestra->setLabelText(QStringLiteral("Annullamento in corso..."));
            lavoro.annulla();
        });
        finestra->setValue(0);
        finestra->show();
    }
    lavoro.avvia();
    ciclo.exec();
}
