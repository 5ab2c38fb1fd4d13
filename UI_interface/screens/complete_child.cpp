#include "complete_child.h"
#include "ui_complete_child.h"

#include "globalvariable.h"
#include "screensetup.h"
#include "styletokens.h"

Complete_child::Complete_child(QWidget *parent) : PopupDialog(parent), ui(new Ui::Complete_child)
{
    ui->setupUi(this);
    setupPopupWindow(this, ui->frame, child_window_sty, 12, 10, 40, 20);
    ui->label->setGeometry(unitRect(0, 3, 40, 8));
    ui->label->setText(comchild_label_str);
    ui->pushButton->setGeometry(unitRect(15, 14, 10, 4));
    ui->pushButton->setStyleSheet(comchild_pushbotton_sty);
}

Complete_child::~Complete_child() { delete ui; }

QString Complete_child::reasonText(SessionEnd end)
{
    switch (end) {
    case SessionEnd::Paid:
        return QString();
    case SessionEnd::Rejected:
        return tr("The central system rejected the transaction.");
    case SessionEnd::NotConfirmed:
        return tr("The central system did not confirm the transaction.");
    case SessionEnd::Aborted:
        return tr("Stopped before any energy was delivered.");
    case SessionEnd::NoEnergy:
        return tr("No energy was delivered.");
    case SessionEnd::RemoteStop:
        return tr("Stopped by the central system.");
    case SessionEnd::Fault:
        return tr("Stopped by a charger fault.");
    case SessionEnd::EvDisconnected:
        return tr("The cable was unplugged at the car.");
    }
    return QString();
}

void Complete_child::showOutcome(SessionEnd end)
{
    if (end == SessionEnd::Paid) {
        ui->label->setText(comchild_label_str);
        return;
    }
    ui->label->setText("<p style='" + font_H3 + "color:black;text-align:center;'>" + tr("Session ended") + "</p>"
                       + "<p style='" + font_Body + "color:black;text-align:center;margin-top:12px;'>" + reasonText(end).toHtmlEscaped()
                       + "</p>");
}

void Complete_child::page_show() { show(); }
void Complete_child::page_hide() { hide(); }
void Complete_child::on_pushButton_clicked() { emit jump_home(); }
