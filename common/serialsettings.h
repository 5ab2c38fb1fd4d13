#ifndef SERIALSETTINGS_H
#define SERIALSETTINGS_H

// Line settings of a serial link, applied when its worker opens the port.

#include <QSerialPort>
#include <QString>

struct serailSettings
{
    QString name;
    QSerialPort::BaudRate baudRate = QSerialPort::Baud9600;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
    QSerialPort::FlowControl flowControl = QSerialPort::NoFlowControl;
};

inline void applySerialSettings(QSerialPort *port, const serailSettings &settings)
{
    port->setBaudRate(settings.baudRate, QSerialPort::AllDirections);
    port->setDataBits(settings.dataBits);
    port->setParity(settings.parity);
    port->setStopBits(settings.stopBits);
    port->setFlowControl(settings.flowControl);
}

#endif // SERIALSETTINGS_H
