#include "Griglia.h"

#include <algorithm>

Griglia::Griglia(QObject* parent)
    : QObject(parent)
{ }

bool Griglia::valida(int riga, int colonna) const
{
    return riga >= 0 && riga < righe() && colonna >= 0 && colonna < m_colonne;
}

void Griglia::inizia()
{
    if (m_ricostruzioni++ == 0)
        emit ricostruzioneIniziata();
}

void Griglia::finisci()
{
    if (--m_ricostruzioni == 0)
        emit ricostruzioneFinita();
}

Griglia::Ricostruzione::Ricostruzione(Griglia& griglia)
    : m_griglia(griglia)
{
    m_griglia.inizia();
}

Griglia::Ricostruzione::~Ricostruzione()
{
    m_griglia.finisci();
}

void Griglia::impostaRighe(int n)
{
    n = std::max(n, 0);
    if (n == righe())
        return;
    Ricostruzione r(*this);
    if (n < righe()) {
        m_celle.resize(n);
    } else {
        m_celle.reserve(n);
        while (righe() < n)
            m_celle.append(QList<Cella>(m_colonne));
    }
}

void Griglia::impostaColonne(int n)
{
    n = std::max(n, 0);
    if (n == m_colonne)
        return;
    Ricostruzione r(*this);
    m_colonne = n;
    m_formati.resize(n);
    for (auto& riga : m_celle)
        riga.resize(n);
}

void Griglia::impostaRigheFisse(int n)
{
    if (n == m_righeFisse)
        return;
    Ricostruzione r(*this);
    m_righeFisse = std::max(n, 0);
}

void Griglia::impostaColonneFisse(int n)
{
    if (n == m_colonneFisse)
        return;
    Ricostruzione r(*this);
    m_colonneFisse = std::max(n, 0);
}

int Griglia::aggiungiRiga()
{
    Ricostruzione r(*this);
    m_celle.append(QList<Cella>(m_colonne));
    return righe() - 1;
}

QString Griglia::testo(int riga, int colonna) const
{
    return valida(riga, colonna) ? m_celle.at(riga).at(colonna).testo : QString();
}

void Griglia::impostaTesto(int riga, int colonna, const QString& testo)
{
    if (!valida(riga, colonna) || m_celle.at(riga).at(colonna).testo == testo)
        return;
    m_celle[riga][colonna].testo = testo;
    if (!m_ricostruzioni)
        emit cellaCambiata(riga, colonna);
}

QColor Griglia::sfondo(int riga, int colonna) const
{
    return valida(riga, colonna) ? m_celle.at(riga).at(colonna).sfondo : QColor();
}

void Griglia::impostaSfondo(int riga, int colonna, const QColor& colore)
{
    if (!valida(riga, colonna) || m_celle.at(riga).at(colonna).sfondo == colore)
        return;
    m_celle[riga][colonna].sfondo = colore;
    if (!m_ricostruzioni)
        emit cellaCambiata(riga, colonna);
}

QString Griglia::suggerimento(int riga, int colonna) const
{
    return valida(riga, colonna) ? m_celle.at(riga).at(colonna).suggerimento : QString();
}

void Griglia::impostaSuggerimento(int riga, int colonna, const QString& testo)
{
    if (!valida(riga, colonna) || m_celle.at(riga).at(colonna).suggerimento == testo)
        return;
    m_celle[riga][colonna].suggerimento = testo;
    if (!m_ricostruzioni)
        emit cellaCambiata(riga, colonna);
}

Qt::Alignment Griglia::allineamento(int riga, int colonna) const
{
    if (!valida(riga, colonna))
        return {};
    const Qt::Alignment propria = m_celle.at(riga).at(colonna).allineamento;
    return propria ? propria : m_formati.at(colonna).allineamento;
}

void Griglia::impostaAllineamentoCella(int riga, int colonna, Qt::Alignment allineamento)
{
    if (!valida(riga, colonna) || m_celle.at(riga).at(colonna).allineamento == allineamento)
        return;
    m_celle[riga][colonna].allineamento = allineamento;
    if (!m_ricostruzioni)
        emit cellaCambiata(riga, colonna);
}

int Griglia::larghezza(int colonna) const
{
    return colonna >= 0 && colonna < m_colonne ? m_formati.at(colonna).larghezza : 0;
}

void Griglia::impostaLarghezza(int colonna, int twips)
{
    if (colonna < 0 || colonna >= m_colonne || m_formati.at(colonna).larghezza == twips)
        return;
    m_formati[colonna].larghezza = std::max(twips, 0);
    if (!m_ricostruzioni)
        emit colonnaCambiata(colonna);
}

Qt::Alignment Griglia::allineamentoColonna(int colonna) const
{
    return colonna >= 0 && colonna < m_colonne ? m_formati.at(colonna).allineamento : Qt::Alignment();
}

void Griglia::impostaAllineamentoColonna(int colonna, Qt::Alignment allineamento)
{
    if (colonna < 0 || colonna >= m_colonne || m_formati.at(colonna).allineamento == allineamento)
        return;
    m_formati[colonna].allineamento = allineamento;
    if (!m_ricostruzioni)
        emit colonnaCambiata(colonna);
}

void Griglia::svuota()
{
    Ricostruzione r(*this);
    for (auto& riga : m_celle)
        for (Cella& c : riga)
            c = Cella();
}
