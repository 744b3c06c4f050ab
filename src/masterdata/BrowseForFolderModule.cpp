#include "BrowseForFolderModule.h"

#include "platform/Messaggi.h"

#include <QDir>
#include <QFileInfo>

namespace BrowseForFolderModule {

QString ScegliCartella(const QString& cartellaIniziale, QWidget* proprietario)
{
    Q_UNUSED(proprietario);
    const QString inizio = QFileInfo(cartellaIniziale).isDir() ? cartellaIniziale : QString();
    QString scelta = messaggi().ScegliCartella(QStringLiteral("Seleziona una cartella:"), inizio);
    if (scelta.isEmpty())
        return {};
    scelta = QDir::toNativeSeparators(scelta);
    // A root keeps its separator ("/", "C:\"); any other folder has none at the end.
    while (scelta.size() > 1 && scelta.endsWith(QDir::separator()) && !scelta.endsWith(QStringLiteral(":\\")))
        scelta.chop(1);
    return scelta;
}

QString AggiungiSeparatore(const QString& cartella)
{
    if (cartella.isEmpty() || cartella.endsWith(QDir::separator()))
        return cartella;
    return cartella + QDir::separator();
}

QString ScegliPercorso(QWidget* proprietario)
{
    return AggiungiSeparatore(ScegliCartella(QString(), proprietario));
}

} // namespace BrowseForFolderModule
