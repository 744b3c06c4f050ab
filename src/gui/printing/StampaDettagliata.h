#pragma once

#include <QString>

#include <functional>

class Griglia;
class Lavagna;
struct Sessione;
class QWidget;
class VistaGriglia;

// The detailed print of the month: the grid the main window shows, page by page under the
// company header, each page in the preview window Lavagna. The pages a user prints form one job
// (one PDF file) on the printer the print request made current, handed over when the last page
// is printed; a job refused leaves that page open to send them all again.
namespace StampaDettagliata {

// What is printed: the grid and its view, and the main window's state.
struct Sorgente
{
    Sessione* sessione = nullptr; // the printer made current, and whether the user prints
    Griglia* griglia = nullptr;
    VistaGriglia* vista = nullptr;
    QString dal;
    QString al;
    QString mese;
    QString anno;
    QString legenda; // the states legend under the grid
    int numeroTipi = 0; // extra types: an employee block is numeroTipi + 1 rows
    QWidget* finestra = nullptr; // owner of the preview
    QString feste; // the month's holidays, a line under the states legend ("" for none)
};

// Grid rows per page on the screen the view is on.
int CalcolaNumeroRigheInStampa(const VistaGriglia& vista, int numeroTipi);

// Shows the pages; returns when the last page was closed or the user left.
void PreparaStampa2(const Sorgente& sorgente);

} // namespace StampaDettagliata
