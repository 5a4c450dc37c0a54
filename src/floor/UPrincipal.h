#pragma once
// The table floor: the main window, every table as a tile.

#include "floor/PictureFile.h"

#include <QElapsedTimer>
#include <QUrl>
#include <QWidget>

class QFrame;
class QLabel;
class QPushButton;
class QTimer;
class TDm;
class TFPesqMesa;
class TFComanda;
class TFConf;
class TFMsgSimNaoTablet;

namespace zk {
class DbCtrlGrid;
class TileImage;
class TileText;
} // namespace zk

class TFPRincipal : public QWidget {
    Q_OBJECT
public:
    // The windows created after this one are only referred to here; they are used once
    // start-up has created them all.
    TFPRincipal(TDm& Dm, TFPesqMesa& FPesqMesa, TFComanda& FComanda, TFConf& FConf, TFMsgSimNaoTablet& FMsgSimNaoTablet);
    ~TFPRincipal() override;

    // Tablet mode, read once from the settings file when the window is created.
    bool ModoTablet = false;

    void FormCreate();
    void DBCtrlGrid1PaintPanel(zk::DbCtrlGrid& grid, int index);
    // Opening the touched table (AbreMesa.cpp).
    void DBCtrlGrid1Click();
    void Mesas1Click();
    void SpeedButton1Click();
    void Sair1Click();
    void Image4Click();
    void Vendas1Click();

    // The live floor: another terminal, or the back office, changed a table or an order
    // line. The floor is brought up to date at once when nothing covers it (the changed tables
    // merged, or all read again), at most once every 100 ms; under a dialog it waits for the dialog to close (the ticket reads it as it
    // closes). The current table and the first tile shown stay where those tables still are.
    void PisoMudou();
    static constexpr int IntervaloDoPisoVivo = 100; // ms

    // The folder holding img/3.bmp (free) and img/4.bmp (occupied): the program's own
    // unless set otherwise.
    void setPastaDoPrograma(const QString& pasta);

    static const QUrl SiteDoFabricante;

    // Header
    QWidget* Panel2;
    QLabel* Image3;
    QLabel* Label3;
    // Toolbar
    QFrame* Panel1;
    QLabel* Image1;
    QLabel* Label1;
    QLabel* Image2;
    QLabel* Label2;
    QLabel* ImVendas;
    QLabel* LbVendas;
    QLabel* Image4;
    // Tiles: a touch on one opens its table (DBCtrlGrid1Click), with it current in QPesqMesa.
    zk::DbCtrlGrid* DBCtrlGrid1;
    zk::TileImage* ImStatus;
    zk::TileText* LbNrMesa;
    zk::TileText* DBText2;
    // Bottom band
    QWidget* Panel3;
    QPushButton* SpeedButton1; // "Conf"
    QPushButton* BitBtn1;      // "Sair"

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ReleAoVivo();
    bool Descoberto() const;
    void CriaCabecalho();
    void CriaBarra();
    void CriaGrade();
    void CriaRodape();
    void AplicaLayout();

    TDm& Dm;
    TFPesqMesa& FPesqMesa;
    TFComanda& FComanda;
    TFConf& FConf;
    TFMsgSimNaoTablet& FMsgSimNaoTablet;
    PictureFile MesaLivre;
    PictureFile MesaOcupada;
    QTimer* Releitura;
    QElapsedTimer UltimaReleitura;
};
