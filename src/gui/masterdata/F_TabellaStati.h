#pragma once

#include "gui/masterdata/F_TabellaCodici.h"

// The editor of the attendance state codes (TabellaStati).
class F_TabellaStati : public F_TabellaCodici
{
    Q_OBJECT

public:
    explicit F_TabellaStati(const QString& archivio, QWidget* parent = nullptr);

    // The open window, or a new one owned by `proprietario`.
    static F_TabellaStati* Apri(const QString& archivio, QWidget* proprietario);
};
