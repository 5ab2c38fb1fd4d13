#include "chargerconnect.h"
#include "ui_chargerconnect.h"

#include "globalvariable.h"
#include "screensetup.h"
#include "screentext.h"
#include "styletokens.h"


#include <QPixmap>

Chargerconnect::Chargerconnect(QWidget *parent) : PopupDialog(parent), ui(new Ui::Chargerconnect)
{
    ui->setupUi(this);
    setupPopupWindow(this, ui->frame, chargeconnect_window_sty, 12, 10, 40, 20);
    ui->frame->lower();
    ui->label_icon->setGeometry(unitRect(18, 2, 4, 4));
    ui->label_icon->setPixmap(QPixmap(image_charger_discon_red));
    ui->label_icon->setScaledContents(true);
    ui->label->setGeometry(unitRect(0, 6, 40, 6));
    // The second line's "text-align:top" names no horizontal place; centre it.
    ui->label->setAlignment(Qt::AlignCenter);
    ui->pushButton->setGeometry(unitRect(15, 14, 10, 4));
    ui->pushButton->setStyleSheet(chargeconnect_pushbutton_sty);
    // A dialog's default button would answer Enter; this prompt only answers touch.
    ui->pushButton->setAutoDefault(false);
    ui->pushButton->setFocusPolicy(Qt::NoFocus);
    retranslateOnLanguageChange(this, [this] { retranslate(); });
    retranslate();
}

void Chargerconnect::retranslate()
{
    ui->label->setText(screenText(chargeconnect_label_str));
    ui->pushButton->setText(screenText(QT_TRANSLATE_NOOP("screens", "back")));
}

Chargerconnect::~Chargerconnect()
{
    delete ui;
}

void Chargerconnect::page_show()
{
    show();
}

void Chargerconnect::page_hide()
{
    hide();
}

void Chargerconnect::on_pushButton_clicked()
{
    emit jump_home();
}

