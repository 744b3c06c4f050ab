#include "FileIni.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringList>

namespace FileIni {

namespace {
constexpr int LunghezzaMassima = 255;

QString decodifica(const QByteArray& dati)
{
    // Files written on Windows are in the ANSI code page; anything that is not UTF-8 is read as Latin-1.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString testo = utf8.decode(dati);
    if (utf8.hasError())
        testo = QString::fromLatin1(dati);
    if (testo.startsWith(QChar(0xFEFF)))
        testo.remove(0, 1);
    return testo;
}

// A "[nome]" line gives the name; anything else gives a null string.
QString nomeSezione(const QString& riga)
{
    const QString t = riga.trimmed();
    if (t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']')))
        return t.mid(1, t.size() - 2).trimmed();
    return {};
}

bool rigaChiave(const QString& riga, QString* chiave, QString* valore)
{
    const qsizetype uguale = riga.indexOf(QLatin1Char('='));
    if (uguale < 0)
        return false;
    *chiave = riga.left(uguale).trimmed();
    if (chiave->isEmpty() || chiave->startsWith(QLatin1Char(';')))
        return false;
    if (valore) {
        QString v = riga.mid(uguale + 1).trimmed();
        if (v.size() >= 2
            && ((v.startsWith(QLatin1Char('"')) && v.endsWith(QLatin1Char('"')))
                || (v.startsWith(QLatin1Char('\'')) && v.endsWith(QLatin1Char('\'')))))
            v = v.mid(1, v.size() - 2);
        *valore = v;
    }
    return true;
}

QStringList righe(const QString& testo)
{
    QString t = testo;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList r = t.split(QLatin1Char('\n'));
    if (!r.isEmpty() && r.last().isEmpty())
        r.removeLast();
    return r;
}
} // namespace

QString LeggiDaTesto(const QByteArray& contenuto, const QString& sezione, const QString& chiave)
{
    bool dentro = false;
    const QStringList tutte = righe(decodifica(contenuto));
    for (const QString& riga : tutte) {
        const QString s = nomeSezione(riga);
        if (!s.isNull()) {
            dentro = s.compare(sezione.trimmed(), Qt::CaseInsensitive) == 0;
            continue;
        }
        QString k, v;
        if (dentro && rigaChiave(riga, &k, &v) && k.compare(chiave.trimmed(), Qt::CaseInsensitive) == 0)
            return v.left(LunghezzaMassima);
    }
    return {};
}

QString Leggi(const QString& file, const QString& sezione, const QString& chiave)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    // A profile file is small; a huge one is not ours and is not read whole.
    return LeggiDaTesto(f.read(1024 * 1024), sezione, chiave);
}

bool Scrivi(const QString& file, const QString& sezione, const QString& chiave, const QString& valore)
{
    QString pulito = valore;
    pulito.remove(QLatin1Char('\r'));
    pulito.remove(QLatin1Char('\n'));
    const QString k = chiave.trimmed();
    const QString sez = sezione.trimmed();
    if (k.isEmpty() || sez.isEmpty() || k.contains(QLatin1Char('=')))
        return false;

    QStringList tutte;
    {
        QFile f(file);
        if (f.exists() && f.open(QIODevice::ReadOnly))
            tutte = righe(decodifica(f.readAll()));
    }

    const QString nuova = k + QLatin1Char('=') + pulito;
    bool dentro = false;
    qsizetype fineSezione = -1; // index after the last line of our section
    bool scritta = false;
    for (qsizetype i = 0; i < tutte.size(); ++i) {
        const QString s = nomeSezione(tutte.at(i));
        if (!s.isNull()) {
            if (dentro)
                break;
            dentro = s.compare(sez, Qt::CaseInsensitive) == 0;
            if (dentro)
                fineSezione = i + 1;
            continue;
        }
        if (!dentro)
            continue;
        QString chiaveRiga;
        if (rigaChiave(tutte.at(i), &chiaveRiga, nullptr)
            && chiaveRiga.compare(k, Qt::CaseInsensitive) == 0) {
            tutte[i] = nuova;
            scritta = true;
            break;
        }
        if (!tutte.at(i).trimmed().isEmpty())
            fineSezione = i + 1;
    }
    if (!scritta) {
        if (fineSezione >= 0) {
            tutte.insert(fineSezione, nuova);
        } else {
            tutte << QLatin1Char('[') + sez + QLatin1Char(']') << nuova;
        }
    }

#ifdef Q_OS_WIN
    const QString acapo = QStringLiteral("\r\n");
#else
    const QString acapo = QStringLiteral("\n");
#endif
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write((tutte.join(acapo) + acapo).toUtf8());
    return out.commit();
}

} // namespace FileIni
