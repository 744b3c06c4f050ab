#pragma once

#include <QString>

#include <exception>

// Engine failures carry the numbers the error routine acts on.
namespace CodiciErrore {
constexpr int OggettoNonImpostato = 91;
constexpr int Generico = 3000;
constexpr int FileNonTrovato = 3024;
constexpr int DiscoPieno = 3026;
constexpr int SolaLettura = 3027;
constexpr int ErroreDisco = 3043;
constexpr int PercorsoNonValido = 3044;
constexpr int NonUnArchivio = 3049;
constexpr int FileInUso = 3051;
constexpr int Annullato = 3059; // the user stopped a long operation
constexpr int TabellaNonTrovata = 3078;
constexpr int ArchivioInUso = 3196;
constexpr int Bloccato = 3260;
constexpr int CampoNonTrovato = 3265;
constexpr int AccessoEsclusivo = 3356;
} // namespace CodiciErrore

class ErroreArchivio : public std::exception
{
public:
    ErroreArchivio(int numero, QString descrizione)
        : m_numero(numero)
        , m_descrizione(std::move(descrizione))
        , m_utf8(m_descrizione.toUtf8())
    { }

    int numero() const { return m_numero; }
    const QString& descrizione() const { return m_descrizione; }
    // The archive that failed, when the error came from an open one ("" otherwise).
    const QString& archivio() const { return m_archivio; }
    ErroreArchivio& suArchivio(const QString& percorso)
    {
        m_archivio = percorso;
        return *this;
    }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    int m_numero;
    QString m_descrizione;
    QString m_archivio;
    QByteArray m_utf8;
};
