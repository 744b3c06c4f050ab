#pragma once

#include <QDialog>

namespace Ui {
class F_PercorsoBakup;
}
class QListWidgetItem;

// The older folder chooser: a drive list, the folders of the current one, the chosen path.
// "Conferma" hands the path, ending with one separator, to what the window was opened for.
class F_PercorsoBakup : public QDialog
{
    Q_OBJECT

public:
    enum class Scopo {
        Backup, // the settings window's backup folder
        EsportazioneExcel, // given back to the caller only
    };

    explicit F_PercorsoBakup(Scopo scopo, QWidget* parent = nullptr);
    ~F_PercorsoBakup() override;

    // Opens the window modally on `cartellaIniziale` (when it exists); the confirmed path, or "".
    static QString Scegli(Scopo scopo, const QString& cartellaIniziale, QWidget* parent = nullptr);

    // The folder the list shows.
    QString Cartella() const { return m_cartella; }
    void ImpostaCartella(const QString& cartella);
    // The path confirmed, "" until "Conferma".
    const QString& PercorsoScelto() const { return m_scelto; }

    // The path with exactly one trailing separator.
    static QString ConSeparatoreFinale(const QString& percorso);

private:
    void Form_Load();
    void Drive1_Change();
    void Dir1_DblClick(QListWidgetItem* voce);
    void Dir1_Change();
    void Command2_Click(); // "Conferma"
    void Command1_Click(); // "Chiudi"

    const QScopedPointer<Ui::F_PercorsoBakup> m_ui;
    Scopo m_scopo;
    QString m_cartella;
    QString m_scelto;
};
