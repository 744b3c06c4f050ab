#include "Piattaforma.h"

#include "platform/Servizi.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QUrl>

#include <cstdlib>

namespace Piattaforma {

void TerminaProgramma()
{
    if (servizi().terminaProgramma) {
        servizi().terminaProgramma();
        return;
    }
    std::exit(0);
}

QString CartellaSpeciale(const QString& nome)
{
    QString percorso;
    if (nome == QLatin1String("CartellaDocumenti"))
        percorso = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    else if (nome == QLatin1String("Desktop"))
        percorso = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    else if (nome == QLatin1String("CartellaProgrammi"))
        percorso = QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
    if (percorso.isEmpty())
        return {};
    percorso = QDir::toNativeSeparators(QDir::cleanPath(percorso));
    while (percorso.size() > 1 && percorso.endsWith(QDir::separator()))
        percorso.chop(1);
    return percorso;
}

QString CartellaCondivisa()
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\Rovello");
#else
    return QDir::toNativeSeparators(
        QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
            .filePath(QStringLiteral("Rovello")));
#endif
}

QString CartellaBackupPredefinita()
{
#ifdef Q_OS_WIN
    return QStringLiteral("c:\\BackupCartavia\\");
#else
    return QDir::toNativeSeparators(QDir::home().filePath(QStringLiteral("BackupCartavia")))
        + QDir::separator();
#endif
}

bool PercorsoDiRete(const QString& percorso)
{
    if (percorso.startsWith(QLatin1String("\\\\")) || percorso.startsWith(QLatin1String("//")))
        return true;
#ifndef Q_OS_WIN
    QFileInfo info(percorso);
    QString esistente = info.absoluteFilePath();
    while (!esistente.isEmpty() && !QFileInfo::exists(esistente))
        esistente = QFileInfo(esistente).absolutePath() == esistente ? QString()
                                                                     : QFileInfo(esistente).absolutePath();
    if (esistente.isEmpty())
        return false;
    const QByteArray tipo = QStorageInfo(esistente).fileSystemType().toLower();
    static const char* const diRete[] = { "nfs", "nfs4", "cifs", "smb", "smb3", "smbfs", "fuse.sshfs", "9p",
        "afs", "ncpfs", "davfs", "fuse.davfs2", "glusterfs", "ceph" };
    for (const char* t : diRete)
        if (tipo == t)
            return true;
#endif
    return false;
}

bool ApriConShell(const QString& obiettivo)
{
    if (obiettivo.trimmed().isEmpty())
        return false;
    QUrl url;
    if (obiettivo.contains(QLatin1String("://")) || obiettivo.startsWith(QLatin1String("mailto:")))
        url = QUrl(obiettivo);
    else if (obiettivo.contains(QLatin1Char('@')) && !QFileInfo::exists(obiettivo))
        url = QUrl(QStringLiteral("mailto:") + obiettivo.trimmed());
    else if (obiettivo.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        url = QUrl(QStringLiteral("http://") + obiettivo.trimmed());
    else
        url = QUrl::fromLocalFile(obiettivo);
    return ApriUrl(url);
}

bool ApriUrl(const QUrl& url)
{
    if (servizi().apriUrl)
        return servizi().apriUrl(url);
    return QDesktopServices::openUrl(url);
}

QString UnisciPercorso(const QString& cartella, const QString& nome)
{
    if (cartella.isEmpty())
        return nome;
    QString c = cartella;
    if (c.endsWith(QLatin1Char('/')) || c.endsWith(QLatin1Char('\\')))
        return c + nome;
    return c + QDir::separator() + nome;
}

} // namespace Piattaforma
