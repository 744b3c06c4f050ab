#pragma once

// Another program instance for the tests: the test executable started again in a helper mode,
// where it takes the presence of an archive (shared, or exclusive as a compaction does) and keeps
// it until its standard input is closed. Record locks belong to a process, so only a second
// process can stand for another instance.

#include "archive/Presenza.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTest>

#include <cstdio>

namespace ProcessoPresenza {

inline const char* const VariabileModo = "CARTAVIA_TEST_PRESENZA";
inline const char* const VariabileArchivio = "CARTAVIA_TEST_ARCHIVIO";

inline const char* testoStato(Presenza::Stato s)
{
    switch (s) {
    case Presenza::Stato::Ottenuta:
        return "ottenuta";
    case Presenza::Stato::Occupata:
        return "occupata";
    case Presenza::Stato::NonDisponibile:
        break;
    }
    return "nondisponibile";
}

inline void attendiFineIngresso()
{
    while (std::fgetc(stdin) != EOF) { }
}

// First thing in main(): the helper's exit code when the executable was started as the helper,
// else -1 (run the tests).
inline int EseguiSeRichiesto()
{
    const QByteArray modo = qgetenv(VariabileModo);
    if (modo.isEmpty())
        return -1;
    const QString archivio = qEnvironmentVariable(VariabileArchivio);
    if (modo == "condivisa") {
        std::printf("%s\n", testoStato(Presenza::Inizia(archivio)));
        std::fflush(stdout);
        attendiFineIngresso();
        Presenza::Termina();
        return 0;
    }
    if (modo == "esclusiva" || modo == "prova") {
        Presenza::Esclusiva esclusiva(archivio);
        std::printf("%s\n", testoStato(esclusiva.stato()));
        std::fflush(stdout);
        if (modo == "esclusiva")
            attendiFineIngresso();
        return 0;
    }
    return 2;
}

// Starts the helper in `modo` on `archivio` and waits for its first line (the state it got).
class Processo
{
public:
    Processo(const QString& modo, const QString& archivio)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(VariabileModo), modo);
        env.insert(QString::fromLatin1(VariabileArchivio), archivio);
        m_processo.setProcessEnvironment(env);
        m_processo.setProgram(QCoreApplication::applicationFilePath());
        m_processo.start();
        if (!m_processo.waitForStarted(30000))
            return;
        while (!m_processo.canReadLine() && m_processo.waitForReadyRead(30000)) { }
        m_stato = QString::fromLatin1(m_processo.readLine()).trimmed();
    }
    ~Processo() { termina(); }
    Processo(const Processo&) = delete;
    Processo& operator=(const Processo&) = delete;

    QString stato() const { return m_stato; }
    void termina()
    {
        if (m_processo.state() == QProcess::NotRunning)
            return;
        m_processo.closeWriteChannel();
        if (!m_processo.waitForFinished(30000))
            m_processo.kill();
        m_processo.waitForFinished(30000);
    }

private:
    QProcess m_processo;
    QString m_stato;
};

// The state another instance would get trying the exclusive lock now.
inline QString ProvaEsclusiva(const QString& archivio)
{
    Processo p(QStringLiteral("prova"), archivio);
    return p.stato();
}

} // namespace ProcessoPresenza

// A test main that can also act as the helper process.
#define CARTAVIA_MAIN_CON_PRESENZA(ClasseApp, ClasseTest)                                                    \
    int main(int argc, char* argv[])                                                                         \
    {                                                                                                        \
        const int figlio = ProcessoPresenza::EseguiSeRichiesto();                                            \
        if (figlio >= 0)                                                                                     \
            return figlio;                                                                                   \
        ClasseApp app(argc, argv);                                                                           \
        ClasseTest test;                                                                                     \
        QTEST_SET_MAIN_SOURCE_PATH                                                                           \
        return QTest::qExec(&test, argc, argv);                                                              \
    }
