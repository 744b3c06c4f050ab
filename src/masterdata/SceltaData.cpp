#include "SceltaData.h"

#include "masterdata/F_Calendario.h"

namespace {
std::function<QString(QWidget*, const QString&)>& sceltaSostitutiva()
{
    static std::function<QString(QWidget*, const QString&)> f;
    return f;
}
} // namespace

void ImpostaSceltaData(std::function<QString(QWidget*, const QString&)> scelta)
{
    sceltaSostitutiva() = std::move(scelta);
}

QString ScegliDataDaCalendario(QWidget* parent, const QString& dataIniziale)
{
    if (sceltaSostitutiva())
        return sceltaSostitutiva()(parent, dataIniziale);
    F_Calendario calendario(parent, dataIniziale);
    calendario.exec();
    return F_Calendario::DataSceltaCalendario;
}
