#ifndef ENERGYDELIVERY_H
#define ENERGYDELIVERY_H

// The screen shown while energy flows: phase heading, energy to go and time
// remaining, the battery, the five live values and the "Stop" button. Its
// 200 ms refresh also ends sessions stuck in preparing or stopping and leaves
// the screen once charging has finished.

#include <QString>
#include <QTimer>
#include <QWidget>

namespace Ui {
class EnergyDelivery;
}

// Refresh state, kept across showings.
extern qint32 soc_progressbar;  // value last given to the battery bar
extern quint16 prepare_count;   // consecutive refresh ticks preparing
extern quint16 stop_count;      // ... stopping
extern quint16 finish_count;    // ... finished
extern quint16 propare_n;       // step of the dot animation, 0-3
extern QTimer timer_SocRefresh; // the 200 ms refresh

class QLabel;

// A large figure (energy to go, time remaining): the value in the 60 px run,
// the unit in the 36 px run. A smaller value size scales both runs.
// The power the shown voltage and current make, in kW with one decimal
// ("22.5kW"); "--" when either is not known.
QString chargingPowerText(const QString &volts, const QString &amps);

QString chargingFigureText(const QString &value, const QString &unit, int valuePx = 60);

// Sets a large figure on its label; a value too wide for the box at the full
// size (a long remaining time, a large target) is set smaller rather than
// clipped at both ends.
void setChargingFigure(QLabel *label, const QString &value, const QString &unit);

class EnergyDelivery : public QWidget
{
    Q_OBJECT
public:
    explicit EnergyDelivery(QWidget *parent = nullptr);
    ~EnergyDelivery() override;

signals:
    void jump_complete();
    void show_charging_child1();
    void signal_gun_stop(ushort ConnectorId);
    void pop_stopreason(int);

public slots:
    void page_show();
    void page_hide();
    void InfoUpdate();
    void Soc_Refresh();
    void on_pushButton_stop_clicked();

private:
    void retranslate();
    void setHead(const QString &head, const QString &dots = QString());
    void dotStep();
    void showBar(int value);

    Ui::EnergyDelivery *ui;
    QString m_head, m_headDots; // the phase heading shown, in the source language
};

#endif // ENERGYDELIVERY_H
