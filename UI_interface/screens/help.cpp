#include "help.h"
#include "ui_help.h"

#include "globalvariable.h"
#include "localclock.h"
#include "screensetup.h"
#include "screentext.h"
#include "styletokens.h"

#include <QCoreApplication>

#include <QLabel>
#include <QListView>
#include <QStandardItemModel>

namespace {
// A help page: a heading, then numbered steps or icon rows, then a note.
QString helpText(const char *text) { return QCoreApplication::translate("screens", text); }
QString helpHeading(const QString &text)
{
    return "<p style='" + font_H3 + "line-height:100%;margin-bottom:18px;" + font_color_basic + "'>" + text + "</p>";
}
QString helpNote(const QString &text)
{
    return "<p style='" + font_Body + "color:" + Natural_Light + "margin-top:14px;" + "'>" + text + "</p>";
}
QString helpRow(const QString &lead, const QString &text)
{
    return "<tr><td width='64' style='vertical-align:middle;'>" + lead
        + "</td><td style='vertical-align:middle;'><span style='" + font_Body + font_color_basic + "'>" + text
        + "</span></td></tr>";
}
QString helpStep(int n, const QString &text)
{
    return helpRow("<span style='" + font_M + "color:" + Secondary_Orange + "'>" + QString::number(n) + "</span>", text);
}
QString helpIcon(const QString &image, const QString &text)
{
    return helpRow("<img src=':/images/" + image + ".png' width='40' height='40'>", text);
}
QString helpTable(const QString &rows)
{
    return "<table cellspacing='0' cellpadding='9'>" + rows + "</table>";
}

// The page of a topic in the language chosen; price is the price line.
QString helpPage(int topic, const QString &price)
{
    switch (topic) {
    case 0:
        return helpHeading(helpText(QT_TRANSLATE_NOOP("screens", "Charge your battery full")))
            + helpTable(helpStep(1, helpText(QT_TRANSLATE_NOOP("screens", "Touch <b>Fast Charge</b> on the home screen.")))
                        + helpStep(2, helpText(QT_TRANSLATE_NOOP("screens", "Present your NFC or credit card on the Paypad in front of the charger.")))
                        + helpStep(3, helpText(QT_TRANSLATE_NOOP("screens", "Plug the charging cable into your vehicle.")))
                        + helpStep(4, helpText(QT_TRANSLATE_NOOP("screens", "Check your choice on the <b>Standby</b> screen and touch <b>Start</b>."))))
            + helpNote(helpText(QT_TRANSLATE_NOOP("screens", "Charging ends when your vehicle reports a full battery. While it runs, the screen shows the "
                          "state of charge, the energy charged, the time spent and the cost.")));
    case 1:
        return helpHeading(helpText(QT_TRANSLATE_NOOP("screens", "Charge a set amount")))
            + helpTable(helpStep(1, helpText(QT_TRANSLATE_NOOP("screens", "Touch <b>Fixed Amount</b> on the home screen.")))
                        + helpStep(2, helpText(QT_TRANSLATE_NOOP("screens", "Choose an amount (€5 to €30) or a quantity (5 to 30 kWh), or touch "
                                         "<b>Custom</b> and type any value up to 100.")))
                        + helpStep(3, helpText(QT_TRANSLATE_NOOP("screens", "Touch <b>Confirm</b>. The other value is worked out at %1.")).arg(price))
                        + helpStep(4, helpText(QT_TRANSLATE_NOOP("screens", "Pay, plug in and touch <b>Start</b>, as for Fast Charge."))))
            + helpNote(helpText(QT_TRANSLATE_NOOP("screens", "While charging, the screen shows the energy still to go and the time remaining.")));
    case 2:
        return helpHeading(helpText(QT_TRANSLATE_NOOP("screens", "How to pay")))
            + helpTable(helpStep(1, helpText(QT_TRANSLATE_NOOP("screens", "Pay with an NFC card or a credit card on the Paypad in front of the charger "
                                       "when the screen asks how you would like to pay.")))
                        + helpStep(2, helpText(QT_TRANSLATE_NOOP("screens", "Energy costs %1. The cost so far is shown while charging, the total on the "
                                         "summary.")).arg(price))
                        + helpStep(3, helpText(QT_TRANSLATE_NOOP("screens", "Keep your card at hand: the same card ends the session."))))
            + helpNote(helpText(QT_TRANSLATE_NOOP("screens", "If a card is refused, a message asks you to use another one.")));
    case 3:
        return helpHeading(helpText(QT_TRANSLATE_NOOP("screens", "How to stop charging")))
            + helpTable(helpStep(1, helpText(QT_TRANSLATE_NOOP("screens", "Touch <b>Stop</b> on the charging screen.")))
                        + helpStep(2, helpText(QT_TRANSLATE_NOOP("screens", "Present the card you paid with on the Paypad.")))
                        + helpStep(3, helpText(QT_TRANSLATE_NOOP("screens", "Touch <b>Confirm</b> to end the charging process.")))
                        + helpStep(4, helpText(QT_TRANSLATE_NOOP("screens", "Check the summary, touch <b>Confirm</b> and then <b>OK</b>.")))
                        + helpStep(5, helpText(QT_TRANSLATE_NOOP("screens", "Unplug the cable and hang it back on the charger."))))
            + helpNote(helpText(QT_TRANSLATE_NOOP("screens", "Before charging starts, <b>Abort</b> on the Standby screen ends the session.")));
    case 4:
        return helpHeading(helpText(QT_TRANSLATE_NOOP("screens", "What the icons mean")))
            + helpTable(helpIcon("ico_connected", helpText(QT_TRANSLATE_NOOP("screens", "Cable plugged into your vehicle")))
                        + helpIcon("ico_dsiconnected", helpText(QT_TRANSLATE_NOOP("screens", "Cable not plugged in")))
                        + helpIcon("ico_signal_good", helpText(QT_TRANSLATE_NOOP("screens", "Charger online")))
                        + helpIcon("ico_signal_unsync", helpText(QT_TRANSLATE_NOOP("screens", "Online, but the charging network cannot be reached")))
                        + helpIcon("ico_signal_lost", helpText(QT_TRANSLATE_NOOP("screens", "No network connection")))
                        + helpIcon("ico_home", helpText(QT_TRANSLATE_NOOP("screens", "Back to the home screen")))
                        + helpIcon("ico_faq", helpText(QT_TRANSLATE_NOOP("screens", "This help"))));
    default:
        return QString();
    }
}
} // namespace

Help::Help(QWidget *parent) : QMainWindow(parent), ui(new Ui::Help), model(new QStandardItemModel(this))
{
    ui->setupUi(this);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setGeometry(unitRect(0, 0, 64, 40));
    QFont f = font();
    f.setFamily("Roboto");
    setFont(f);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(Natural_Darker.chopped(1))); // the window colour #000D12
    setPalette(pal);
    setAutoFillBackground(true);

    ui->label_statusbar->setGeometry(unitRect(0, 0, 64, 2));
    ui->label_statusbar->setStyleSheet(statusbar_backgound + font_S + font_color_basic + alignment_C);
    ui->label_statusbar->setText(statusbar_str);
    ui->label_time->setGeometry(int(2 * dpX), 0, 200, int(2 * dpY));
    ui->label_time->setStyleSheet(statusbar_backgound + font_color_basic + font_S);
    ui->label_time->setText(localClockText());
    ui->label_time->raise();
    ui->pushButton_back->setGeometry(unitRect(2, 3, 5, 4));
    ui->pushButton_back->setStyleSheet("QPushButton{" + navigationbar_style + image_back + "}" + navigation_pressed);
    ui->pushButton_language->setGeometry(unitRect(53, 3, 4, 4));

    ui->label_title->setGeometry(unitRect(8, 3, 48, 4));

    // Topics: one touch target per row.
    for (int i = 0; i < 5; ++i) {
        auto *item = new QStandardItem;
        item->setEditable(false);
        model->appendRow(item);
    }
    ui->listView_topics->setGeometry(unitRect(2, 9, 18, 29));
    ui->listView_topics->setModel(model);
    ui->listView_topics->setStyleSheet(help_topics_style);
    ui->listView_topics->setFocusPolicy(Qt::NoFocus);
    ui->listView_topics->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ui->listView_topics->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ui->listView_topics->setSelectionMode(QAbstractItemView::SingleSelection);
    ui->listView_topics->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(ui->listView_topics, &QListView::clicked, this, &Help::topicChosen);

    ui->frame_content->setGeometry(unitRect(21, 9, 41, 29));
    ui->frame_content->setStyleSheet("#frame_content{" + help_card_style + "}");
    ui->label_content->setGeometry(unitRect(1.5, 1, 38, 27));
    ui->label_content->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ui->label_content->setTextFormat(Qt::RichText);
    ui->label_content->setWordWrap(true);

    retranslateOnLanguageChange(this, [this] { retranslate(); });
    retranslate();
    showTopic(0);

    m_health = new QLabel(this);
    m_health->setObjectName("label_health");
    m_health->setGeometry(unitRect(21, 38, 41, 2));
    m_health->setStyleSheet(font_Caption + "color:" + Natural_Light);
    m_health->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void Help::setHealthDetail(const QString &text)
{
    if (m_health->text() != text)
        m_health->setText(text);
}

QString Help::healthDetail() const
{
    return m_health->text();
}

void Help::retranslate()
{
    ui->pushButton_language->setStyleSheet(Language::buttonStyle());
    ui->label_title->setText(screenText(help_title_str));
    const QString price = moneyText(double(f_price)) + "/kWh";
    const QString topics[] = {help_topic1_str, help_topic2_str, help_topic3_str, help_topic4_str, help_topic5_str};
    for (int i = 0; i < 5; ++i) {
        QStandardItem *item = model->item(i);
        item->setText(screenText(topics[i]));
        item->setData(helpPage(i, price), ContentRole);
    }
    const QModelIndex shown = ui->listView_topics->currentIndex();
    if (shown.isValid())
        topicChosen(shown);
}

// The same languages as the main window's button; the choice is the
// session's and applies to every screen.
void Help::on_pushButton_language_clicked() { Language::next(); }

Help::~Help() { delete ui; }

int Help::topicCount() const { return model->rowCount(); }

int Help::currentTopic() const { return ui->listView_topics->currentIndex().row(); }

void Help::showTopic(int row)
{
    const QModelIndex index = model->index(row, 0);
    if (!index.isValid())
        return;
    ui->listView_topics->setCurrentIndex(index);
    topicChosen(index);
}

void Help::topicChosen(const QModelIndex &index)
{
    ui->label_content->setText(index.data(ContentRole).toString());
}

void Help::timerUpdate() { ui->label_time->setText(localClockText()); }

void Help::page_show() { show(); }

void Help::page_hide() { hide(); }

void Help::on_pushButton_back_clicked() { emit jump_home(); }
