#include "errormsg.h"
#include "ui_errormsg.h"

#include "globalvariable.h"
#include "screensetup.h"
#include "screentext.h"
#include "styletokens.h"


QTimer timer_page_errpage;

namespace {
// The messages as the session sends them (and as other parts may match
// them) and as the driver reads them: the spelling is mended on screen only.
const char *const mended[][2] = {
    {"Information:The transaction is stopped by Remote command!",
     QT_TRANSLATE_NOOP("screens", "Information: The transaction is stopped by Remote command!")},
    {"Information: The cable is unpluged at car side!",
     QT_TRANSLATE_NOOP("screens", "Information: The cable is unplugged at car side!")},
    {"Information:The transaction is rejected by the Centtral System!",
     QT_TRANSLATE_NOOP("screens", "Information: The transaction is rejected by the Central System!")},
    {"Information: The card is invalid on this charge point!!   Please change another one.",
     QT_TRANSLATE_NOOP("screens", "Information: The card is invalid on this charge point!! Please change another one.")},
    {"Stop Reason:", QT_TRANSLATE_NOOP("screens", "Stop Reason:")},
};
} // namespace

QString errorMessageText(const QString &message)
{
    for (const auto &m : mended)
        if (message == QLatin1String(m[0]))
            return screenText(QString::fromLatin1(m[1]));
    return screenText(message);
}

ErrorMsg::ErrorMsg(QWidget *parent) : QWidget(parent), ui(new Ui::ErrorMsg)
{
    ui->setupUi(this);
    setupPopupWindow(this, ui->frame, child_window_sty, 12, 10, 40, 20,
                     Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setWindowTitle("Error Msg");
    ui->label->setGeometry(unitRect(5, 3, 30, 8));
    ui->label->setStyleSheet(errorpage_label_style);
    ui->label->setTextFormat(Qt::PlainText);
    ui->label->setWordWrap(true);
    m_message = "Stop Reason:";
    retranslateOnLanguageChange(this, [this] { retranslate(); });
    retranslate();
    ui->pushButton->setGeometry(unitRect(14, 14, 12, 4));
    ui->pushButton->setStyleSheet(chargingchild_pushbotton_sty);

    connect(&timer_page_errpage, &QTimer::timeout, this, &ErrorMsg::on_pushButton_clicked);
}

ErrorMsg::~ErrorMsg()
{
    timer_page_errpage.stop();
    delete ui;
}

// A new message while the card is up replaces the text and gives it the full
// ten seconds again.
void ErrorMsg::page_show(QString msg)
{
    show();
    timer_page_errpage.start(10000);
    m_message = msg;
    retranslate();
}

void ErrorMsg::retranslate()
{
    ui->label->setText(errorMessageText(m_message));
    ui->pushButton->setText(screenText(QT_TRANSLATE_NOOP("screens", "OK")));
}

void ErrorMsg::page_hide()
{
    hide();
    timer_page_errpage.stop();
}

void ErrorMsg::on_pushButton_clicked()
{
    hide();
    timer_page_errpage.stop();
}

