#ifndef DEBUGFUN_H
#define DEBUGFUN_H

// Service overlay of the simulated build: "charger" stands in for plugging
// the gun into a vehicle, the three-state "RFID" box for presenting a card,
// first to start and then to stop a session.

#include <QWidget>

namespace Ui {
class DebugFun;
}

class DebugFun : public QWidget
{
    Q_OBJECT
public:
    explicit DebugFun(QWidget *parent = nullptr);
    ~DebugFun() override;

signals:
    void signal_authorize_req(ushort ConnectorId);

public slots:
    // 0 clears the box, 1 and 2 put it in the middle (start-card) state.
    void set_checkBox_RFID_state(int state);
    void on_checkBox_charger_stateChanged(int state);
    void on_checkBox_RFID_stateChanged(int state);
    void on_pushButton_debug_toggled(bool checked);

private:
    Ui::DebugFun *ui;
};

// Card identifier of the simulated card: the "IDtag" string of IDtag.json in
// the data directory; empty when the file is missing or unusable.
QString simulatedIdTag();

#endif // DEBUGFUN_H
