#include "StrumentiPdf.h"

#include <QProcess>
#include <QRegularExpression>

namespace StrumentiPdf {

namespace {

QString Esegui(const QString& programma, const QStringList& argomenti)
{
    QProcess p;
    p.start(programma, argomenti);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

// Typographic ligatures ("ﬃ") read back as their letters.
QString Testo(const QString& pdf)
{
    return Esegui(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), pdf, QStringLiteral("-") })
        .normalized(QString::NormalizationForm_KC);
}

QString TestoPagina(const QString& pdf, int pagina)
{
    const QString n = QString::number(pagina);
    return Esegui(QStringLiteral("pdftotext"),
        { QStringLiteral("-layout"), QStringLiteral("-f"), n, QStringLiteral("-l"), n, pdf,
            QStringLiteral("-") })
        .normalized(QString::NormalizationForm_KC);
}

QList<Parola> Parole(const QString& pdf)
{
    QList<Parola> parole;
    const QString html
        = Esegui(QStringLiteral("pdftotext"), { QStringLiteral("-bbox"), pdf, QStringLiteral("-") });
    static const QRegularExpression parola(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>([^<]*)</word>"));
    for (auto m = parola.globalMatch(html); m.hasNext();) {
        const QRegularExpressionMatch p = m.next();
        QString testo = p.captured(3);
        testo.replace(QLatin1String("&amp;"), QLatin1String("&"))
            .replace(QLatin1String("&lt;"), QLatin1String("<"))
            .replace(QLatin1String("&gt;"), QLatin1String(">"));
        parole << Parola { testo, p.captured(1).toDouble(), p.captured(2).toDouble() };
    }
    return parole;
}

int Pagine(const QString& pdf)
{
    const QString info = Esegui(QStringLiteral("pdfinfo"), { pdf });
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

QList<QSizeF> Fogli(const QString& pdf)
{
    const int pagine = Pagine(pdf);
    if (pagine == 0)
        return {};
    const QString info = Esegui(QStringLiteral("pdfinfo"),
        { QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"), QString::number(pagine), pdf });
    QList<QSizeF> fogli;
    static const QRegularExpression foglio(QStringLiteral("Page +\\d+ size:\\s+([0-9.]+) x ([0-9.]+) pts"));
    for (auto m = foglio.globalMatch(info); m.hasNext();) {
        const QRegularExpressionMatch f = m.next();
        fogli << QSizeF(f.captured(1).toDouble(), f.captured(2).toDouble());
    }
    return fogli;
}

QStringList Caratteri(const QString& pdf)
{
    QStringList nomi;
    const QStringList righe = Esegui(QStringLiteral("pdffonts"), { pdf }).split(QLatin1Char('\n'));
    // Two header lines, then one font a line, its name first (with a subset prefix "ABCDEF+").
    for (qsizetype i = 2; i < righe.size(); ++i) {
        const QString nome = righe.at(i).section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
        if (!nome.isEmpty())
            nomi << nome.section(QLatin1Char('+'), -1);
    }
    return nomi;
}

int Immagini(const QString& pdf)
{
    const QStringList righe = Esegui(QStringLiteral("pdfimages"), { QStringLiteral("-list"), pdf })
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return std::max(0, int(righe.size()) - 2);
}

} // namespace StrumentiPdf
